#pragma once
#include <QDialog>
#include <string>

class QListWidget;
class QPushButton;
class QGroupBox;

namespace getkelo {

class LutSlotManager;
class TDatei;
class UiAdapter;

// "Kalibrations Datensätze": the lookup-table slots of the selected device and the LOOKUP
// sections of its calibration data file. A thin form over LutSlotManager.
class TMultiLookup : public QDialog {
    Q_OBJECT
  public:
    TMultiLookup(LutSlotManager& logic, UiAdapter& ui, QWidget* parent = nullptr);

    // FormShow: the device's serial number names its data file in a chosen folder.
    void FormShow(const std::string& serial);

    QGroupBox* SatzBox;
    QListWidget* LuTBox;
    QPushButton *LuTBtn, *LuTDeleteBtn, *BitBtn1, *BitBtn2, *BitBtn3, *BitBtn4;
    TDatei* Datei3;

  private:
    void FillSlotList();
    void fillSections();
    void LuTBoxClick();
    int selectedSlot() const;

    LutSlotManager& logic_;
    UiAdapter& ui_;
    std::string serial_;
};

} // namespace getkelo
