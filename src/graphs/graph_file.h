#pragma once
#include "graphs/sample_window.h"

#include <deque>
#include <string>
#include <vector>

namespace getkelo {

// What a graph plots; the first column of its file says so ("Flow [..]" or "Pressure [..]").
enum class GraphKind { Flow, Pressure };

// Graph files: a header line "Timestamp;Flow [unit];Set [unit];Valve [%]" (Pressure for the
// pressure graph), then one line per sample "dd.MM.yy hh:mm:ss:zzz;measured;set;valve" with
// the measured value and the set point in general format (7 digits) and the valve in "0.##".
// Windows-1252, CR LF.
std::string graphFileHeader(GraphKind kind, const std::string& unit);
std::string graphFileLine(const Sample& s);

// Writes the whole file at once (atomic replacement); false with a reason in *error.
bool writeGraphFile(const std::string& path, GraphKind kind, const std::string& unit,
                    const std::deque<Sample>& samples, std::string* error);

struct GraphFileRead {
    enum Status { Ok, Unreadable, Foreign, Damaged } status = Ok;
    int line = 0; // the first damaged line (1 = the header)
    std::string unit;
    std::vector<Sample> samples;
};

// Reads a graph file of this kind. A file of another program or of the other kind is
// Foreign, a line that does not parse makes the file Damaged, and then nothing is returned:
// a graph is loaded whole or not at all. The valve column is the one headed "Valve"; the
// last SampleWindow::kMaxSamples samples are kept.
GraphFileRead readGraphFile(const std::string& path, GraphKind kind);

} // namespace getkelo
