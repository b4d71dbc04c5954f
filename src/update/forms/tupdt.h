#pragma once
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTreeWidget>
#include <string>

namespace getkelo {

class TextSource;
class UpdateDialog;
class FirmwareUpdate;
class DeviceList;

// The dialog "Software Update": Express mode updates with the newest firmware file, Expert
// mode with the one chosen in the list. The logic (update/update_dialog.h) does the work;
// during a run the window repaints as the image goes out and takes no input.
class TUpdt : public QDialog {
    Q_OBJECT
  public:
    TUpdt(UpdateDialog& logic, const TextSource& texts, QWidget* parent = nullptr);

    // The folder of the firmware files and the device list (for update-all), read on show.
    void setSources(std::string updateFolder, const DeviceList* devices);
    // Captions from the language file (the German ones stay where a key is empty).
    void applyLanguage(const TextSource& texts);

    void FormActivate();
    void rgpModusClick(int mode);
    void btnExUpdateClick();
    void btnExpertUpdateClick();
    void btnCloseClick() { accept(); }

    QPushButton* expressUpdate() const { return btnExUpdate_; }
    QPushButton* expertUpdate() const { return btnExpertUpdate_; }
    QPushButton* closeButton() const { return btnClose_; }
    QTreeWidget* firmwareList() const { return list_; }
    QPlainTextEdit* statusMemo() const { return memo_; }

  protected:
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void reject() override;

  private:
    void refresh();
    void runStarted();

    UpdateDialog& logic_;
    const TextSource& texts_;
    std::string folder_;
    const DeviceList* devices_ = nullptr;
    bool running_ = false;
    QRadioButton* rdbExpress_;
    QRadioButton* rdbExpert_;
    QStackedWidget* pages_;
    QLabel* lblSerial_;
    QLabel* lblAddress_;
    QLabel* lblFirmware_;
    QLabel* lblCurrent_;
    QGroupBox* gbxModus_;
    QLabel* capSerial_;
    QLabel* capAddress_;
    QLabel* capFirmware_;
    QLabel* capCurrent_;
    QLabel* capStatus_;
    std::string noFirmwareText_ = "Keine Firmware gefunden!";
    QTreeWidget* list_;
    QPlainTextEdit* info_;
    QPlainTextEdit* memo_;
    QProgressBar* bar_;
    QPushButton* btnExUpdate_;
    QPushButton* btnExpertUpdate_;
    QPushButton* btnClose_;
};

} // namespace getkelo
