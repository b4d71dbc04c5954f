#pragma once
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>

#include <array>

namespace getkelo {

class PressContSetup;
class PressSettings;
class TextSource;

// One tab of TPressSettings: the fields "Kp", "Ki", "Kd" of one pressure PID set.
class TPressContSetup : public QWidget {
    Q_OBJECT
  public:
    TPressContSetup(PressContSetup& logic, QWidget* parent);
    // Shows what the logic holds.
    void refresh();

    QLineEdit* txtKp;
    QLineEdit* txtKi;
    QLineEdit* txtKd;

  private:
    PressContSetup& logic_;
};

// "Druckregelungseinstellungen [Auf eigene Gefahr!]": the pressure controller's expert
// settings, opened from the page "Druckregelung" after its warning.
class TPressSettings : public QDialog {
    Q_OBJECT
  public:
    TPressSettings(PressSettings& logic, QWidget* parent = nullptr);
    void applyLanguage(const TextSource& texts);
    // FormShow and the modal run; what "Übernehmen" or "Zurück" ends with.
    int run();
    // FormShow without the modal run (tests, screenshots).
    void FormShow();

    QLineEdit* txtScaleZero;
    QLineEdit* txtScaleFull;
    QLineEdit* txtUnit;
    QCheckBox* chkInvert;
    QComboBox* cboMode;
    QLineEdit* txtK0;
    QLineEdit* txtK1;
    QLineEdit* txtFilter;
    QLabel* lblActiveSetOutside;
    QTabWidget* PageControl1;
    std::array<TPressContSetup*, 5> frames{};
    QPushButton* btnSave;
    QPushButton* btnAbort;

  private:
    void refresh();
    void btnSaveClick();

    PressSettings& logic_;
};

} // namespace getkelo
