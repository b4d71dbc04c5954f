#include "graphs/graph_file.h"

#include "base/cp1252.h"
#include "base/date_time.h"
#include "base/ini_file.h"
#include "base/number_format.h"

#include <cstdio>
#include <fstream>
#include <sstream>

namespace getkelo {

namespace {

const char* measuredName(GraphKind kind) {
    return kind == GraphKind::Flow ? "Flow [" : "Pressure [";
}

std::vector<std::string> split(const std::string& line, char sep) {
    std::vector<std::string> fields;
    std::string field;
    std::istringstream in(line);
    while (std::getline(in, field, sep))
        fields.push_back(field);
    if (!line.empty() && line.back() == sep) fields.emplace_back();
    return fields;
}

bool startsWith(const std::string& s, const std::string& prefix) {
    return s.compare(0, prefix.size(), prefix) == 0;
}

// "dd.MM.yy hh:mm:ss:zzz"
bool parseTimestamp(const std::string& s, int64_t& ms) {
    DateTime t;
    char tail = 0;
    if (s.size() != 21 || std::sscanf(s.c_str(), "%2d.%2d.%2d %2d:%2d:%2d:%3d%c", &t.day, &t.month,
                                      &t.year, &t.hour, &t.minute, &t.second, &t.ms, &tail) != 7)
        return false;
    if (t.month < 1 || t.month > 12 || t.day < 1 || t.day > 31 || t.hour > 23 || t.minute > 59 ||
        t.second > 59 || t.ms < 0 || t.hour < 0 || t.minute < 0 || t.second < 0)
        return false;
    t.year += 2000;
    ms = toEpochMs(t);
    return true;
}

} // namespace

std::string graphFileHeader(GraphKind kind, const std::string& unit) {
    return std::string("Timestamp;") + measuredName(kind) + unit + "];Set [" + unit + "];Valve [%]";
}

std::string graphFileLine(const Sample& s) {
    return formatDateTime("dd.MM.yy hh:mm:ss:zzz", localDateTime(s.tMs)) + ";" +
           formatGeneral(s.y[kSeriesMeasured], 7) + ";" + formatGeneral(s.y[kSeriesSetpoint], 7) +
           ";" + formatFixedMax(s.y[kSeriesValve], 2);
}

bool writeGraphFile(const std::string& path, GraphKind kind, const std::string& unit,
                    const std::deque<Sample>& samples, std::string* error) {
    std::string text = graphFileHeader(kind, unit) + "\r\n";
    for (const Sample& s : samples)
        text += graphFileLine(s) + "\r\n";
    return writeFileAtomically(path, utf8ToCp1252(text), error);
}

GraphFileRead readGraphFile(const std::string& path, GraphKind kind) {
    GraphFileRead r;
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        r.status = GraphFileRead::Unreadable;
        return r;
    }
    std::string all((std::istreambuf_iterator<char>(in)), {});
    if (in.bad()) {
        r.status = GraphFileRead::Unreadable;
        return r;
    }
    all = cp1252ToUtf8(all);
    std::vector<std::string> lines = split(all, '\n');
    for (auto& l : lines)
        if (!l.empty() && l.back() == '\r') l.pop_back();
    while (!lines.empty() && lines.back().empty())
        lines.pop_back();

    auto fail = [](GraphFileRead::Status status, int line) {
        GraphFileRead f;
        f.status = status;
        f.line = line;
        return f;
    };
    if (lines.empty()) return fail(GraphFileRead::Foreign, 1);
    const std::vector<std::string> head = split(lines[0], ';');
    const std::string measured = measuredName(kind);
    if (head.size() < 4 || head[0] != "Timestamp" || !startsWith(head[1], measured) ||
        head[1].back() != ']' || !startsWith(head[2], "Set ["))
        return fail(GraphFileRead::Foreign, 1);
    size_t valveColumn = 0;
    for (size_t c = 3; c < head.size() && !valveColumn; ++c)
        if (startsWith(head[c], "Valve")) valveColumn = c;
    if (!valveColumn) return fail(GraphFileRead::Foreign, 1);
    r.unit = head[1].substr(measured.size(), head[1].size() - measured.size() - 1);

    for (size_t i = 1; i < lines.size(); ++i) {
        const std::vector<std::string> f = split(lines[i], ';');
        Sample s;
        double measuredValue, set, valve;
        if (f.size() != head.size() || !parseTimestamp(f[0], s.tMs) ||
            !parseNumber(f[1], measuredValue) || !parseNumber(f[2], set) ||
            !parseNumber(f[valveColumn], valve))
            return fail(GraphFileRead::Damaged, static_cast<int>(i) + 1);
        s.y = {measuredValue, set, valve};
        r.samples.push_back(s);
    }
    if (r.samples.size() > SampleWindow::kMaxSamples)
        r.samples.erase(r.samples.begin(),
                        r.samples.end() - static_cast<long>(SampleWindow::kMaxSamples));
    return r;
}

} // namespace getkelo
