#pragma once
#include "graphs/step_response_log.h"

#include <QTableWidget>
#include <functional>

namespace getkelo {

class TextSource;

// The figures of the last five set-point steps, newest on top, with the P, I, D in force
// when each step began.
class StepResponseTable : public QTableWidget {
    Q_OBJECT
  public:
    explicit StepResponseTable(QWidget* parent = nullptr);

    void applyLanguage(const TextSource& texts);
    // `tuningText` formats a P, I or D (0, 1, 2) as the tuning box shows it.
    void show(const StepResponseLog& log, const std::function<QString(int, double)>& tuningText);

  private:
    QString never_ = "nie";
};

} // namespace getkelo
