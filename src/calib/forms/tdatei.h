#pragma once
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <string>
#include <vector>

namespace getkelo {

// The data-set chooser frame: a label over a drop-down list of the data sets of a
// calibration data file (calib/data_set_chooser.h decides which and how they read).
class TDatei : public QFrame {
    Q_OBJECT
  public:
    explicit TDatei(QWidget* parent = nullptr);

    // Lists the sections the query admits (entries 0..6: file, prefix, filter key, filter
    // value, three keys shown); the newest, the last one, is chosen.
    void FillDataSetChooser(const std::vector<std::string>& query);
    // The same with entries already read; the last one is chosen.
    void setEntries(const std::vector<std::string>& entries);
    // Chooses the entry of a section; false when the list has none.
    bool chooseSection(const std::string& section);
    // The section of the chosen entry, or "" when the list is empty.
    std::string chosenSection() const;

    QLabel* Label;
    QComboBox* ComboBox;
};

} // namespace getkelo
