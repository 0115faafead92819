#include "graphs/ViewerData.h"

#include <algorithm>

#include "records/Utils.h"

namespace {

constexpr UINT kMsgCannotOpenViewerFile = 52161;

}  // namespace

size_t CKVXPoints::Count() const { return store_ ? std::min(store_->x.size(), store_->y.size()) : 0; }

CViewerGraphData::CViewerGraphData() : root_(std::make_unique<CPwrQuorraViewerObj>()) {
    for (int i = 0; i < 4; ++i) points_[i].Attach(&root_->Points(i));
}

CViewerGraphData::~CViewerGraphData() = default;

BOOL CViewerGraphData::Open(const std::string& path) {
    auto root = std::make_unique<CPwrQuorraViewerObj>();
    if (!LoadViewerFile(path, *root)) {
        ReportMessage(kMsgCannotOpenViewerFile, TRUE);
        return FALSE;
    }
    root_ = std::move(root);
    for (int i = 0; i < 4; ++i) points_[i].Attach(&root_->Points(i));
    path_ = path;
    return TRUE;
}

const std::string& CViewerGraphData::GetDesignText() const { return root_->m_strDesignFile; }

int CViewerGraphData::GetGraphCount() { return std::min<int>(root_->m_nGraphCount, 4); }

chart::ChartSettings CViewerGraphData::GetSettings(int graph) {
    chart::ChartSettings s;
    if (graph < 1 || graph > 4) return s;
    const CKVXGraphObj& g = root_->Graph(graph - 1);
    s.title = g.m_strTitle;
    s.xLabel = g.m_strXLabel;
    s.yLabel = g.m_strYLabel;
    s.xMin = g.m_dXMin;
    s.xMax = g.m_dXMax;
    s.yMin = g.m_dYMin;
    s.yMax = g.m_dYMax;
    s.xMinorTicks = g.m_nXMinorTicks;
    s.yMinorTicks = g.m_nYMinorTicks;
    s.axisColor = g.m_nAxisColor;
    s.traceColor = g.m_nTraceColor;
    s.gridType = g.m_nGridType;
    s.gridColor = g.m_nGridColor;
    s.frequency = g.m_bFrequency != 0;
    return s;
}

const chart::PointSource* CViewerGraphData::GetPoints(int graph) {
    return graph >= 1 && graph <= 4 ? &points_[graph - 1] : nullptr;
}

std::string CViewerGraphData::GetJobName() {
    const size_t slash = path_.find_last_of('/');
    return slash == std::string::npos ? path_ : path_.substr(slash + 1);
}
