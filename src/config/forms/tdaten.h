#pragma once
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <functional>

namespace getkelo {

class Daten;
class UiAdapter;

// The data-set window ("Data"): which parts a load or save covers, the data file and its
// lookup section, and the table transfer with the device. The logic (config/data_sets.h) does
// the work; `changed` tells the factory dialog to show what was loaded or read.
class TDaten : public QDialog {
    Q_OBJECT
  public:
    TDaten(Daten& logic, UiAdapter& ui, QWidget* parent = nullptr);

    std::function<void()> changed;
    // The file the dialog starts with (the device's data file).
    void setFile(const std::string& path);

    void SuchenClick();
    void LadenClick();
    void SichernClick();
    void LesenClick();
    void SchreibenClick();

    QLineEdit* fileEdit() const { return file_; }
    QComboBox* sectionBox() const { return sections_; }
    QCheckBox* box(const char* name) const;

  private:
    void listSections();
    void syncBoxes();

    Daten& logic_;
    UiAdapter& ui_;
    QCheckBox* config_;
    QCheckBox* lookup_;
    QCheckBox* pid_;
    QLineEdit* file_;
    QComboBox* sections_;
    QPushButton* btnSchreiben_;
};

} // namespace getkelo
