#pragma once
#include <QObject>
#include <memory>

class QWidget;

namespace getkelo {

class Console;
class ConsoleGraphHost;
class FlowGraph;
class PressureGraph;
class TGraph;
class TPGraph;
class TextSource;
class UiAdapter;
class ZoomHook;
class ZoomWindows;

// The main window's door to the graphs: the flow graph and the pressure graph (created once,
// they live for the whole run) and the zoom windows. At most one graph is open at a time.
class GraphWindows : public QObject {
    Q_OBJECT
  public:
    GraphWindows(Console& console, UiAdapter& ui, const TextSource& texts, QWidget* parent);
    ~GraphWindows() override;

    // Menu "Graph": the pressure graph for a pressure controller in pressure-control mode
    // (5 or 6), otherwise the flow graph.
    void GraphMenuClick();
    // True while a graph window plots (the tick then leaves the alarm page alone).
    bool graphShown() const;
    // The zoom window of a device-list row.
    void openZoom(int row);
    void applyLanguage(const TextSource& texts);
    void setFlowGraphSize(int width, int height);
    void flowGraphSize(int& width, int& height) const;

    ZoomHook* zoomHook();
    TGraph* flowGraph() const { return graph_; }
    TPGraph* pressureGraph() const { return pgraph_; }
    ZoomWindows* zooms() const { return zooms_; }

  private:
    Console& console_;
    std::unique_ptr<ConsoleGraphHost> host_;
    std::unique_ptr<FlowGraph> flowLogic_;
    std::unique_ptr<PressureGraph> pressureLogic_;
    TGraph* graph_;
    TPGraph* pgraph_;
    ZoomWindows* zooms_;
};

} // namespace getkelo
