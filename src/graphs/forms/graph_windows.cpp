#include "graphs/forms/graph_windows.h"

#include "base/number_format.h"
#include "comm/register_catalogue.h"
#include "comm/ttesra.h"
#include "console/console.h"
#include "console/control_mode.h"
#include "console/software_generation.h"
#include "graphs/console_graph_host.h"
#include "graphs/flow_graph.h"
#include "graphs/forms/tgraph.h"
#include "graphs/forms/tpgraph.h"
#include "graphs/forms/zoom_windows.h"
#include "graphs/pressure_graph.h"

namespace getkelo {

GraphWindows::GraphWindows(Console& console, UiAdapter& ui, const TextSource& texts,
                           QWidget* parent)
    : QObject(parent), console_(console), host_(std::make_unique<ConsoleGraphHost>(console)) {
    flowLogic_ = std::make_unique<FlowGraph>(*host_, ui, texts);
    pressureLogic_ = std::make_unique<PressureGraph>(*host_, ui, texts);
    graph_ = new TGraph(*flowLogic_, ui, parent);
    pgraph_ = new TPGraph(*pressureLogic_, ui, parent);
    zooms_ = new ZoomWindows(console.devices(), console.settings().file(), ui, parent, this);
    graph_->resize(console.settings().graphWidth, console.settings().graphHeight);
    pgraph_->resize(console.settings().graphWidth, console.settings().graphHeight);
}

GraphWindows::~GraphWindows() {
    // The windows hold references to the logic: they go first.
    delete graph_;
    delete pgraph_;
}

ZoomHook* GraphWindows::zoomHook() {
    return zooms_;
}

void GraphWindows::GraphMenuClick() {
    DeviceList& list = console_.devices();
    TTesra* t = console_.connection();
    if (list.count() == 0 || !t) return;
    const skelo& rec = list.record(list.selectedRow());
    bool pressure = false;
    if (hasPressureControl(rec.softwareVersion, rec.functions)) {
        t->Address = rec.address;
        const std::string mode = t->ReadValue(reg::kControlMode);
        pressure = mode != "Fehler" && isPressureControlMode(static_cast<int>(textToDouble(mode)));
    }
    GraphWindow* show = pressure ? static_cast<GraphWindow*>(pgraph_) : graph_;
    GraphWindow* other = pressure ? static_cast<GraphWindow*>(graph_) : pgraph_;
    if (other->isVisible()) other->close();
    if (show->isVisible()) {
        show->raise();
        show->activateWindow();
        return;
    }
    show->show();
}

bool GraphWindows::graphShown() const {
    return graph_->isVisible() || pgraph_->isVisible();
}

void GraphWindows::openZoom(int row) {
    zooms_->open(row);
}

void GraphWindows::applyLanguage(const TextSource& texts) {
    graph_->applyLanguage(texts);
    pgraph_->applyLanguage(texts);
    zooms_->applyLanguage(texts);
}

void GraphWindows::setFlowGraphSize(int width, int height) {
    graph_->resize(width, height);
}

void GraphWindows::flowGraphSize(int& width, int& height) const {
    width = graph_->width();
    height = graph_->height();
}

} // namespace getkelo
