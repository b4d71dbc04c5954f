#pragma once
#include <QDialog>
#include <QListWidget>
#include <QPushButton>

#include <string>

namespace getkelo {

class T4Lookup;
class TextSource;

// "Kalibrierungen": the lookup-table slots of a series-4 device ("Kalibrierungen auf dem
// Gerät") beside the LOOKUP sections of its data file ("Kalibrierungen im Dat File").
class TT4Lookup : public QDialog {
    Q_OBJECT
  public:
    TT4Lookup(T4Lookup& logic, QWidget* parent = nullptr);
    void applyLanguage(const TextSource& texts);
    // FormActivate for the data file and the modal run.
    int run(const std::string& dataFilePath);
    // FormActivate without the modal run (tests, screenshots).
    void FormActivate(const std::string& dataFilePath);

    QListWidget* clbCalib;
    QListWidget* lstFile;
    QPushButton* btnActivateLut;
    QPushButton* btnDeleteLut;
    QPushButton* btnUpload;

  private:
    void refresh();

    T4Lookup& logic_;
    bool filling_ = false;
};

} // namespace getkelo
