#pragma once
#include <QDialog>
#include <QLabel>
#include <QTableWidget>
#include <string>
#include <vector>

namespace getkelo {

struct SetupDifference;

// "Vergleichen": the keys in which the selected device differs from a setup file, one row
// each, the file's value beside the device's.
class TSetupDiff : public QDialog {
    Q_OBJECT
  public:
    explicit TSetupDiff(QWidget* parent = nullptr);
    // Fills the table; the heading names the file (and says when nothing differs).
    void setDifferences(const std::vector<SetupDifference>& diffs, const std::string& file,
                        const std::string& equalText);
    QTableWidget* table() const { return table_; }
    QLabel* heading() const { return heading_; }

  private:
    QLabel* heading_;
    QTableWidget* table_;
};

} // namespace getkelo
