#include "graphs/live_graph.h"

#include "base/clock.h"
#include "base/date_time.h"
#include "base/number_format.h"
#include "comm/ttesra.h"
#include "console/device_list.h"
#include "console/logging/log_file.h"
#include "console/text_source.h"
#include "console/tick_hooks.h"
#include "graphs/graph_host.h"
#include "ui/ui_adapter.h"

namespace getkelo {

LiveGraph::LiveGraph(GraphHost& host, UiAdapter& ui, const TextSource& texts, GraphKind kind)
    : host_(host), ui_(ui), texts_(texts), kind_(kind) {}

LiveGraph::~LiveGraph() = default;

std::string LiveGraph::text(const std::string& key, const std::string& fallback) const {
    std::string t = texts_.text(key);
    return t.empty() ? fallback : t;
}

int LiveGraph::selectedRow() const {
    const DeviceList& list = host_.devices();
    if (list.count() == 0) return 0;
    const int r = list.selectedRow();
    return r >= 1 && r <= list.count() ? r : 0;
}

TTesra* LiveGraph::addressed(int row) {
    TTesra* t = host_.connection();
    if (!t || row < 1) return nullptr;
    t->Address = host_.devices().record(row).address;
    return t;
}

void LiveGraph::beginPrepare(int row) {
    const DeviceList& list = host_.devices();
    const uint8_t address = list.record(row).address;
    const std::string& serial = list.cell(row, kColSerial);
    if (address != preparedAddress_ || serial != preparedSerial_) {
        // Another device: its plot starts afresh.
        samples_.clear();
        steps_.clear();
        setIndex_ = 0;
    }
    prepared_ = true;
    preparedAddress_ = address;
    preparedSerial_ = serial;
}

LiveGraph::PlotStep LiveGraph::TimerTimer() {
    PlotStep step;
    if (!host_.tickDone().take()) return step;
    const int row = selectedRow();
    if (row == 0) return step;
    const DeviceList& list = host_.devices();
    if (!prepared_ || list.record(row).address != preparedAddress_ ||
        list.cell(row, kColSerial) != preparedSerial_) {
        FormActivate();
        step.prepared = true;
    }
    const std::optional<Sample> s = takeSample(row);
    valveText_ = formatGeneral(list.record(row).valve, 7) + " %";
    if (!s) return step;
    step.sampled = true;
    step.dropped = samples_.append(*s);
    step.stepsChanged =
        steps_.feed(s->tMs, s->y[kSeriesSetpoint], s->y[kSeriesMeasured], tuningInForce());
    return step;
}

void LiveGraph::RstGraphClick() {
    samples_.clear();
    steps_.clear();
}

std::string LiveGraph::barMoved(int p, int position) {
    return pairs_[p].barMoved(position, values_[p]);
}

int LiveGraph::editTyped(int p, const std::string& text) {
    return pairs_[p].editTyped(text, values_[p]);
}

bool LiveGraph::takeParametersChanged() {
    const bool c = parametersChanged_;
    parametersChanged_ = false;
    return c;
}

std::string LiveGraph::SpeichernMnuClick() {
    const int row = selectedRow();
    const std::string serial = row ? host_.devices().cell(row, kColSerial) : std::string();
    const std::string path = LogFile::joinPath(
        host_.graphDirectory(), LogFile::fileName(serial, localDateTime(host_.clock().nowMs())));
    std::string error;
    if (!writeGraphFile(path, kind_, unit_, samples_.samples(), &error)) {
        ui_.messageBox(text("infoGraphNotSaved", "Der Graph konnte nicht gespeichert werden:") +
                           "\n" + path + "\n" + error,
                       "Speichern", MsgIcon::Error);
        return "";
    }
    ui_.messageBox(text("infoGraphSaved", "Graph gespeichert:") + "\n" + path, "Speichern",
                   MsgIcon::Information);
    return path;
}

bool LiveGraph::OeffnenMnuClick() {
    const auto path = ui_.chooseFile("Öffnen", host_.graphDirectory(),
                                     "Graph-Dateien (*.log)|*.log|Alle Dateien|*", false);
    return path && openGraphFile(*path);
}

bool LiveGraph::openGraphFile(const std::string& path) {
    GraphFileRead r = readGraphFile(path, kind_);
    std::string why;
    switch (r.status) {
    case GraphFileRead::Ok:
        break;
    case GraphFileRead::Unreadable:
        why = text("infoGraphFileUnreadable", "Die Datei kann nicht gelesen werden:");
        break;
    case GraphFileRead::Foreign:
        why = text(kind_ == GraphKind::Flow ? "infoGraphFileForeign" : "infoPGraphFileForeign",
                   kind_ == GraphKind::Flow ? "Die Datei ist keine Durchfluss-Graph-Datei:"
                                            : "Die Datei ist keine Druck-Graph-Datei:");
        break;
    case GraphFileRead::Damaged:
        why = text("infoGraphFileDamaged", "Die Graph-Datei ist beschädigt, Zeile") + " " +
              std::to_string(r.line) + ":";
        break;
    }
    if (!why.empty()) {
        ui_.messageBox(why + "\n" + path + "\n" +
                           text("infoGraphNothingLoaded", "Es wurde nichts geladen."),
                       "Öffnen", MsgIcon::Warning);
        return false;
    }
    samples_.clear();
    steps_.clear();
    for (const Sample& s : r.samples)
        samples_.append(s);
    unit_ = r.unit;
    return true;
}

std::vector<std::string> LiveGraph::printHeaderLines() const {
    const DeviceList& list = host_.devices();
    const int row = selectedRow();
    const double set = samples_.empty() ? (row ? list.record(row).setpoint : 0.0)
                                        : samples_.back().y[kSeriesSetpoint];
    auto cell = [&](int column) { return row ? list.cell(row, column) : std::string(); };
    return {"Date:          " + formatShortDate(localDateTime(host_.clock().nowMs())),
            "Serial No:  " + cell(kColSerial),
            "Typ-Code: " + cell(kColTypeCode),
            "Gas:           " + cell(kColGas),
            "Range:       " + formatGeneral(fullScale_, 7) + " " + unit_,
            "Set: " + formatGeneral(set, 7) + " " + unit_};
}

} // namespace getkelo
