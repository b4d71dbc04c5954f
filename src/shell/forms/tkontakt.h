#pragma once
#include <QDialog>
#include <QLabel>

namespace getkelo {

class TextSource;

// The maker's contact data from "Kontakt.txt".
class TKontakt : public QDialog {
    Q_OBJECT
  public:
    explicit TKontakt(QWidget* parent = nullptr);
    // Reads "Kontakt.txt" of the program directory again and shows it.
    void load(const std::string& programDir);
    QString shownText() const { return text_->text(); }
    // Title and the words before phone and fax.
    void applyLanguage(const TextSource& texts);

  private:
    QLabel* text_;
    QString phone_ = "Tel.:";
    QString fax_ = "Fax:";
};

} // namespace getkelo
