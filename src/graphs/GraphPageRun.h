// The graph page of the design window: the graph manager's curves drawn with
// the graph settings of the design's analysis configuration. The design's
// view creates the page on its first update and destroys it with the
// design; a run rebuilds it before its worker starts (through the graph
// manager's rebuild), so every run starts on empty graphs with fresh ranges.
#pragma once

#include <functional>
#include <memory>

#include "graphs/GraphPage.h"

class CAnalysisConfig;
class CGraphMgr;

// The curve of one graph of the graph manager: the points published so far.
class CStorePoints : public chart::PointSource {
public:
    explicit CStorePoints(int graph) : graph_(graph) {}
    size_t Count() const override;
    double X(size_t i) const override;
    double Y(size_t i) const override;

private:
    int graph_;
};

class CRunGraphPage : public CGraphPageData {
public:
    CRunGraphPage();
    ~CRunGraphPage() override;

    // The window binding makes the page's window inside the design window;
    // without one the page has no window (it still prints and copies).
    using WindowFactory = std::function<std::unique_ptr<CGraphPageWindow>(CGraphPage&)>;
    static void SetWindowFactory(WindowFactory factory);

    // The view's first update: the graphs in use are counted, the graph
    // manager reset and the graphs numbered and attached with their x ranges
    // at once (a run may start before the page is first painted); the charts
    // themselves are made at the first paint.
    void CreatePage();
    void DestroyPage();
    // A new page when one exists (a run starts).
    void RebuildPage();
    // Empties the four graphs and builds the page again.
    void ClearAndRecreatePage();
    bool HasPage() const { return exists_; }

    CGraphPage& Page() { return page_; }

    // CGraphPageData.
    int GetGraphCount() override;
    chart::ChartSettings GetSettings(int graph) override;
    const chart::PointSource* GetPoints(int graph) override;
    bool IsRunning() override;
    void BlownUpChanged(bool blownUp) override;

    // The settings of the manager's graph g from the configuration.
    static chart::ChartSettings SettingsOf(const CGraphMgr& mgr, const CAnalysisConfig& config, int graph);

private:
    CGraphPage page_{*this};
    CStorePoints points_[4] = {CStorePoints(1), CStorePoints(2), CStorePoints(3), CStorePoints(4)};
    std::unique_ptr<CGraphPageWindow> window_;
    bool exists_ = false;
};

// The program's one graph page, made on first use.
CRunGraphPage& RunGraphPage();
