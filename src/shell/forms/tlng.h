#pragma once
#include "shell/language_file.h"

#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QPushButton>

namespace getkelo {

// The language dialog: the languages of the program directory with their flags in one
// drop-down. OK takes the selected name; Cancel keeps the current one.
class TLng : public QDialog {
    Q_OBJECT
  public:
    explicit TLng(QWidget* parent = nullptr);

    // Fills the list from the program directory and selects the current language.
    void fill(const std::string& programDir, const std::string& current);
    // Title and label ("Language") and the text of the second button ("Exit").
    void setTexts(const QString& language, const QString& exitText);

    // Shows the dialog modally; returns the name to use from now on (the old one on Cancel).
    std::string ChooseLanguage(const std::string& programDir, const std::string& current);

    QComboBox* languageBox() const { return box_; }
    QPushButton* okButton() const { return ok_; }
    QPushButton* cancelButton() const { return cancel_; }
    // The name the dialog would take on OK.
    std::string selectedName() const;

  private:
    QLabel* label_;
    QComboBox* box_;
    QPushButton* ok_;
    QPushButton* cancel_;
};

} // namespace getkelo
