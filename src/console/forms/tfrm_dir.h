#pragma once
#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace getkelo {

class ConsoleSettings;
class TextSource;
class UiAdapter;

// The directory dialog: working, update and data-file folders and the data-structure flag.
class TfrmDir : public QDialog {
    Q_OBJECT
  public:
    TfrmDir(ConsoleSettings& settings, UiAdapter& ui, QWidget* parent = nullptr);

    // Fills the fields from the in-memory values (each time before it is shown).
    void fill();
    void applyLanguage(const TextSource& texts);

    void btnSaveClick(); // "Übernehmen"
    // "..." beside field 0 (work), 1 (update), 2 (data files).
    void browse(int field);

    QLineEdit* field(int i) const { return fields_[i]; }
    QCheckBox* newStructureBox() const { return chkNewDirectoryStruct_; }
    QPushButton* saveButton() const { return btnSave_; }

  protected:
    void showEvent(QShowEvent* e) override;

  private:
    std::string* valueOf(int field);

    ConsoleSettings& settings_;
    UiAdapter& ui_;
    QLineEdit* fields_[3];
    QLabel* labels_[3]; // lblArbeitsverzeichnis, lblUpdate, lblDat
    QLabel* lblInfo_;
    QCheckBox* chkNewDirectoryStruct_;
    QPushButton* btnSave_;
    QPushButton* btnClose_;
};

} // namespace getkelo
