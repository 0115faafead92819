#include "graphs/GraphPageRun.h"

#include "circuit/AnalCfg.h"
#include "circuit/DocServices.h"
#include "graphs/GraphMgr.h"

namespace {

CRunGraphPage::WindowFactory& Factory() {
    static CRunGraphPage::WindowFactory factory;
    return factory;
}

CAnalysisConfig* CurrentConfig() {
    CDocServices* doc = GetCurrentDoc();
    return doc ? doc->GetAnalysisConfig() : nullptr;
}

std::string TextOf(const std::string* s) { return s ? *s : std::string(); }

}  // namespace

size_t CStorePoints::Count() const { return static_cast<size_t>(GraphMgr().GetLastIndex(graph_) + 1); }

double CStorePoints::X(size_t i) const { return GraphMgr().GetXData(graph_)[i]; }

double CStorePoints::Y(size_t i) const { return GraphMgr().GetYData(graph_)[i]; }

CRunGraphPage::CRunGraphPage() {
    GraphMgr().SetPageRebuilder([this] { RebuildPage(); });
}

CRunGraphPage::~CRunGraphPage() { GraphMgr().SetPageRebuilder(nullptr); }

void CRunGraphPage::SetWindowFactory(WindowFactory factory) { Factory() = std::move(factory); }

void CRunGraphPage::CreatePage() {
    CGraphMgr& mgr = GraphMgr();
    const CAnalysisConfig* config = CurrentConfig();
    const int count = config ? config->CountGraphsWithData() : 0;
    mgr.Reset(count);
    if (config) {
        config->AssignGraphNumbers();
        for (int g = 1; g <= count; ++g) {
            const int n = mgr.GetGraphSetting(g);
            // The chart is known by its graph number; the items by their place.
            WORD ids[kGraphItemIds];
            for (int k = 0; k < kGraphItemIds; ++k) ids[k] = static_cast<WORD>(g * 16 + k + 1);
            mgr.AttachGraph(g, g, ids, config->GetXMin(n), config->GetXMax(n));
        }
    }
    mgr.SetShowAll(TRUE);
    exists_ = true;
    page_.Rebuild();
    if (!window_ && Factory()) window_ = Factory()(page_);
    page_.SetWindow(window_.get());
    page_.RedrawPage();
}

void CRunGraphPage::DestroyPage() {
    page_.SetWindow(nullptr);
    window_.reset();
    page_.Rebuild();
    exists_ = false;
}

void CRunGraphPage::RebuildPage() {
    if (exists_) CreatePage();
}

void CRunGraphPage::ClearAndRecreatePage() {
    GraphMgr().Reset(0);
    RebuildPage();
}

int CRunGraphPage::GetGraphCount() { return GraphMgr().GetGraphCount(); }

chart::ChartSettings CRunGraphPage::SettingsOf(const CGraphMgr& mgr, const CAnalysisConfig& config, int graph) {
    const int n = mgr.GetGraphSetting(graph);
    chart::ChartSettings s;
    s.title = TextOf(config.GetGraphTitle(n));
    s.xLabel = TextOf(config.GetXAxisLabel(n));
    s.yLabel = TextOf(config.GetYAxisLabel(n));
    s.xMin = config.GetXMin(n);
    s.xMax = config.GetXMax(n);
    s.yMin = config.GetYMin(n);
    s.yMax = config.GetYMax(n);
    s.xMinorTicks = config.GetXMinorTicks(n);
    s.yMinorTicks = config.GetYMinorTicks(n);
    s.axisColor = config.GetAxisColor(n);
    s.traceColor = config.GetTraceColor(n);
    s.gridType = config.GetGridType(n);
    s.gridColor = config.GetGridColor(n);
    s.frequency = mgr.IsFrequencyRun() != FALSE;
    return s;
}

chart::ChartSettings CRunGraphPage::GetSettings(int graph) {
    const CAnalysisConfig* config = CurrentConfig();
    return config ? SettingsOf(GraphMgr(), *config, graph) : chart::ChartSettings{};
}

const chart::PointSource* CRunGraphPage::GetPoints(int graph) {
    return graph >= 1 && graph <= 4 ? &points_[graph - 1] : nullptr;
}

bool CRunGraphPage::IsRunning() { return GraphMgr().IsAnalysisRunning() != FALSE; }

void CRunGraphPage::BlownUpChanged(bool blownUp) { GraphMgr().SetShowAll(blownUp ? FALSE : TRUE); }

CRunGraphPage& RunGraphPage() {
    static CRunGraphPage page;
    return page;
}
