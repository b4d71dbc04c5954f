#pragma once
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <map>
#include <string>

namespace getkelo {

class Konfig1;
class TextSource;
class TTesra;
class UiAdapter;

// The factory EEPROM dialog of first-generation devices ("OEM" for software major version
// below 2): the image's named values for editing, reading and writing the device's EEPROM,
// loading and saving image files. The logic (config/konfig1.h) does the work.
class TKonfig1 : public QDialog {
    Q_OBJECT
  public:
    TKonfig1(Konfig1& logic, UiAdapter& ui, QWidget* parent = nullptr);

    void applyLanguage(const TextSource& texts);
    // Shows the dialog for the device at the connection's address and reads its image first.
    int open(TTesra& tesra);

    void LesenClick();
    void SchreibenClick();
    void LadenClick();
    void SpeichernClick();

    QLineEdit* field(const std::string& key) const;
    QPushButton* readButton() const { return btnRead_; }
    QPushButton* writeButton() const { return btnWrite_; }

  protected:
    void showEvent(QShowEvent* e) override;

  private:
    QGroupBox* group(const char* name, const char* caption,
                     std::initializer_list<std::pair<const char*, const char*>> fields);
    void fieldEdited(const std::string& key);
    // Shows the logic's state: values, change marks, source line, button states.
    void refresh();
    std::string filter() const;

    Konfig1& logic_;
    UiAdapter& ui_;
    std::map<std::string, QLineEdit*> fields_;
    std::map<std::string, QLabel*> labels_;
    std::map<std::string, QGroupBox*> groups_;
    QLabel* lblSource_;
    QLabel* lblFlowScale_;
    QLabel* flowScale_;
    QPushButton* btnRead_;
    QPushButton* btnWrite_;
    QPushButton* btnLoad_;
    QPushButton* btnSave_;
    QPushButton* btnClose_;
    QString sourceCaption_ = "Abbild:", noImage_ = "kein Abbild gelesen",
            fromDevice_ = "vom Gerät, Seriennummer", fileFilter_ = "EEPROM-Abbilder",
            allFiles_ = "Alle Dateien";
    bool readOnShow_ = false;
    bool checking_ = false;
};

} // namespace getkelo
