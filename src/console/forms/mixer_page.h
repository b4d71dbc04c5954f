#pragma once
#include "console/forms/console_page.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>

#include <string>
#include <vector>

namespace getkelo {

class GasMixer;

// "Mischer": the mixer list with its activation boxes, the composition of the selected mixer
// and the mixture's setpoint, range, actual flow and totalizer. Every action goes to the
// GasMixer; the page shows the mixer's page state.
class MixerPage : public ConsolePageWidget {
    Q_OBJECT
  public:
    explicit MixerPage(QWidget* parent = nullptr);

    // Connects the page to the mixer logic (once, after both exist).
    void attach(GasMixer& mixer);
    // The console's list of mixer names at start-up: with a mixer attached it reads the
    // settings file again, so the page and the logic agree.
    void setMixerNames(const std::vector<std::string>& names);
    // Shows the mixer's current state.
    void render();
    void applyLanguage(const TextSource& texts) override;

    QListWidget* MischerListBox;
    QPushButton* NeuBtn;
    QPushButton* DeleteBtn;
    QComboBox* MischTypBox; // "Gasgemisch fix" / "Master - Slave - Mischer"
    QComboBox* AnteilBox;   // "Anteil [%]" / "Anteil [ppm]"
    QTableWidget* GasGrid;  // composition: gas -> share
    QPushButton* MixOKBtn;
    QComboBox* EinheitBox; // mixture flow unit
    QLineEdit* SollwertEdit;
    QPushButton* SollMixOKBtn;
    QLineEdit* TotalRangeEdit;
    QLineEdit* TotalFlowEdit;
    QComboBox* TotalEinheitBox;
    QLineEdit* GesamttotalEdit;
    QPushButton* CountRstBtn; // "Total löschen"
    QPushButton* MixBtn;
    QPushButton* StopBtn2;

  private:
    void renderComposition();
    GasMixer* mixer_ = nullptr;
};

} // namespace getkelo
