#pragma once
#include "comm/register_tool.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <functional>

namespace getkelo {

class TTesra;
class UiAdapter;

// The raw register tool's dialog ("Register", always on top, shown modally). Its logic is
// RegisterTool; this form only shows that state and forwards the events.
class TextSource;

class TRegister : public QDialog {
    Q_OBJECT
  public:
    TRegister(UiAdapter& ui, std::function<TTesra*()> connection, QWidget* parent = nullptr);

    RegisterTool& tool() { return tool_; }

    void LesenBtnClick();
    void SchreibenBtnClick();
    void VarTypClick(int index);
    void HexCheckClick(bool checked);
    void applyLanguage(const TextSource& texts);

    QLineEdit* AdresseEdit = nullptr;
    QLineEdit* WertEdit = nullptr;
    QGroupBox* VarTyp = nullptr;
    QButtonGroup* varTypChoice = nullptr;
    QCheckBox* HexCheck = nullptr;
    QPushButton* LesenBtn = nullptr;
    QPushButton* SchreibenBtn = nullptr;
    QLabel* wertPrefix = nullptr; // the "0x" the value field covers without "Hex-Wert"
    QLabel* adresseLabel = nullptr;
    QLabel* wertLabel = nullptr;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void render();
    void selectField();

    RegisterTool tool_;
    std::function<TTesra*()> connection_;
};

} // namespace getkelo
