#pragma once
#include "calib/measured_steps.h"

#include <optional>
#include <string>
#include <vector>

namespace getkelo {

// The steps of a run that are not stored in the data file yet, kept beside it ("<name>.run")
// so that a crash or a closed window never takes them: every change of the measuring grid
// is written at once (atomic replacement), a stored run removes the file, and the next
// showing of the window offers what it holds.
class RunJournal {
  public:
    struct Contents {
        std::string date, time; // when the last step was kept
        std::string refUnit, deviceUnit;
        int mode = 0;
        std::vector<StepRow> rows;
    };

    // The journal of a data file ("/x/123t03.dat" -> "/x/123t03.run"); empty path: none.
    explicit RunJournal(const std::string& dataFile);
    const std::string& path() const { return path_; }

    // Keeps the rows up to the last one with anything in it; false when the file could not
    // be written (`error` says why).
    bool save(const Contents& contents, std::string* error = nullptr);
    // What the journal holds, or nullopt when there is none (or it has no step).
    std::optional<Contents> load() const;
    void clear();

  private:
    std::string path_;
};

} // namespace getkelo
