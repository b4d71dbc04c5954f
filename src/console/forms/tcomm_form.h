#pragma once
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>

#include <array>
#include <functional>
#include <string>
#include <vector>

namespace getkelo {

class IniFile;
class TComm;
struct ComPortEntry;

// The dialog's own texts, chosen by the first letter of the language name.
struct CommFormTexts {
    std::string caption, portGroup, device, baud;
    std::string local;       // the serial choice ("Lokal PC")
    std::string path;        // label of the port's device path
    std::string unknownType; // a port that does not tell its type
};
CommFormTexts commFormTexts(const std::string& languageName);

// A drop-down that tells before it opens its list (the device box saves then).
class SaveOnPopupComboBox : public QComboBox {
    Q_OBJECT
  public:
    using QComboBox::QComboBox;
    void showPopup() override;
  signals:
    void aboutToPopup();
};

// The connection-settings dialog: serial port ("Lokal PC") or TCP gateway, per settings
// section (the Device box). Its texts are built in, in three languages. The port list holds
// the COM numbers that open and the other serial ports of the system; the path of the chosen
// port goes to "ComPath_<n>", so a USB adapter needs no hand edit of the settings.
class TCommForm : public QDialog {
    Q_OBJECT
  public:
    explicit TCommForm(TComm& comm, QWidget* parent = nullptr);

    // Replaces the port probe (tests).
    void setPortProbe(std::function<std::vector<ComPortEntry>()> probe) {
        probe_ = std::move(probe);
    }

    // What showing the dialog does first: device box, port list, stored values, texts.
    void FormActivate();
    // Stores the values of the device box's section (OK, and opening the device box).
    void save();
    // The texts of the current language name (its first letter).
    void applyTexts();

    QComboBox* deviceBox() const { return device_; }
    QComboBox* connectionBox() const { return connection_; }
    QListWidget* portList() const { return ports_; }
    QComboBox* baudBox() const { return baud_; }
    QLineEdit* octet(int i) const { return octets_[i]; }
    QLineEdit* tcpPortEdit() const { return tcpPort_; }
    QLineEdit* pathEdit() const { return path_; }
    QGroupBox* portGroup() const { return portGroup_; }
    QLabel* deviceLabel() const { return deviceLabel_; }
    QLabel* baudLabel() const { return baudLabel_; }

  protected:
    void showEvent(QShowEvent* e) override;
    void accept() override;

  private:
    void loadSection(const QString& section);
    void applyConnectionChoice();
    void portChosen();
    // The COM number a port path is stored under.
    int comNumberFor(const std::string& path, int fallback) const;

    TComm& comm_;
    std::function<std::vector<ComPortEntry>()> probe_;
    SaveOnPopupComboBox* device_;
    QComboBox* connection_;
    QListWidget* ports_;
    QComboBox* baud_;
    std::array<QLineEdit*, 4> octets_{};
    QLineEdit* tcpPort_;
    QLineEdit* path_;
    QLabel* pathLabel_;
    QLabel* ipLabel_;
    QLabel* portLabel_;
    QGroupBox* portGroup_;
    QLabel* deviceLabel_;
    QLabel* baudLabel_;
    bool loading_ = false;
};

} // namespace getkelo
