#pragma once
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <functional>
#include <map>
#include <string>

class QCheckBox;
class QGroupBox;

namespace getkelo {

class Konfig2;
class TTesra;
class UiAdapter;

// The factory configuration dialog ("Konfiguration") of the second and third generation: the
// device's configuration fields, one lookup-table slot with its parameters and 129 values.
// The logic (config/konfig2.h) reads, checks and writes; the dialog shows its state, marks
// edited fields yellow and refused ones red.
class TKonfig2 : public QDialog {
    Q_OBJECT
  public:
    TKonfig2(Konfig2& logic, UiAdapter& ui, QWidget* parent = nullptr);

    // Shows the dialog for the device at the connection's address; reads it first.
    int open(TTesra& tesra);
    // "Data": opens the data-set window.
    std::function<void()> onData;

    void FormActivate();
    void LuTBoxSelect(int index);
    void OKBtnClick();
    // Shows the logic's state: values, marks, the slot and its table.
    void refresh();

    QLineEdit* field(const std::string& name) const;
    QComboBox* choice(const std::string& name) const;
    QComboBox* lutBox() const { return lutBox_; }
    QTableWidget* table() const { return table_; }
    QPushButton* okButton() const { return btnOk_; }

  private:
    QGroupBox* group(const char* caption,
                     std::initializer_list<std::pair<const char*, const char*>> fields);
    QWidget* editorFor(const std::string& name, QWidget* parent);
    void edited(const std::string& name);

    Konfig2& logic_;
    UiAdapter& ui_;
    std::map<std::string, QLineEdit*> fields_;
    std::map<std::string, QComboBox*> choices_;
    std::map<std::string, QLineEdit*> slotFields_;
    std::map<unsigned, QCheckBox*> switches_;
    QComboBox* lutBox_;
    QTableWidget* table_;
    QLineEdit* korrektur_;
    QLineEdit* mess_;
    QPushButton* btnOk_;
    bool showing_ = false;
};

} // namespace getkelo
