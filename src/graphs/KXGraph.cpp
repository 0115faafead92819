#include "graphs/KXGraph.h"

#include <sys/stat.h>

#include <algorithm>
#include <ctime>
#include <memory>

#include "circuit/AnalCfg.h"
#include "circuit/Doc.h"
#include "graphs/GraphMgr.h"
#include "records/Utils.h"

namespace {

constexpr UINT kMsgViewerFileFailed = 52161;
constexpr UINT kMsgKvxCorrupted = 58101;
constexpr UINT kMsgKvxVersion = 58102;
constexpr WORD kViewerVersion = 0;
constexpr size_t kPointBytes = 2 * sizeof(double);

void TellCorrupted(KVXLoadFlags& flags) {
    if (flags.corrupted) return;
    flags.corrupted = TRUE;
    ReportMessage(kMsgKvxCorrupted, TRUE);
}

void TellVersion(KVXLoadFlags& flags) {
    if (flags.version) return;
    flags.version = TRUE;
    ReportMessage(kMsgKvxVersion, TRUE);
}

std::string OrDefault(const std::string* s, const char* fallback) { return s ? *s : std::string(fallback); }

}  // namespace

// ---------------------------------------------------------------------------------------
// Graph record

CKVXGraphObj::CKVXGraphObj() { CKVXGraphObj::SetDefaults(); }

void CKVXGraphObj::SetDefaults() {
    m_strTag = kViewerGraphTag;
    m_strTitle = "Graph Title";
    m_strXLabel = "X Axis Label";
    m_strYLabel = "Y Axis Label";
    m_dXMin = 0.0;
    m_dXMax = 1.0;
    m_dYMin = 0.0;
    m_dYMax = 1.0;
    m_nXMinorTicks = 0;
    m_nYMinorTicks = 0;
    m_nAxisColor = 4;
    m_nTraceColor = 11;
    m_bFrequency = 0;
    m_bGain = 0;
    m_nGridType = -1;
    m_nGridColor = 19;
}

void CKVXGraphObj::Serialize(fw::Archive& ar) {
    if (ar.IsStoring()) {
        ar.WriteString(m_strTag);
        ar.WriteU16(kViewerVersion);
        ar.WriteString(m_strTitle);
        ar.WriteString(m_strXLabel);
        ar.WriteString(m_strYLabel);
        ar.WriteF64(m_dXMin);
        ar.WriteF64(m_dXMax);
        ar.WriteF64(m_dYMin);
        ar.WriteF64(m_dYMax);
        for (int32_t v : {m_nXMinorTicks, m_nYMinorTicks, m_nAxisColor, m_nTraceColor, m_bFrequency, m_bGain,
                          m_nGridType, m_nGridColor})
            ar.WriteI32(v);
        if (m_pPoints) {
            const CKVXPointStore& p = *m_pPoints;
            const int32_t last = std::min<int32_t>(p.lastIndex, int32_t(std::min(p.x.size(), p.y.size())) - 1);
            ar.WriteI32(last);
            for (int32_t i = 0; i <= last; ++i) {
                ar.WriteF64(p.x[size_t(i)]);
                ar.WriteF64(p.y[size_t(i)]);
            }
        }
        return;
    }

    // A record that fails its checks shows no points of an earlier load.
    if (m_pPoints) *m_pPoints = CKVXPointStore();
    if (ar.ReadString() != kViewerGraphTag) {
        TellCorrupted(Flags());
        SetDefaults();
        return;
    }
    if (ar.ReadU16() != kViewerVersion) {
        TellVersion(Flags());
        SetDefaults();
        return;
    }
    m_strTitle = ar.ReadString();
    m_strXLabel = ar.ReadString();
    m_strYLabel = ar.ReadString();
    m_dXMin = ar.ReadF64();
    m_dXMax = ar.ReadF64();
    m_dYMin = ar.ReadF64();
    m_dYMax = ar.ReadF64();
    for (int32_t* v : {&m_nXMinorTicks, &m_nYMinorTicks, &m_nAxisColor, &m_nTraceColor, &m_bFrequency, &m_bGain,
                       &m_nGridType, &m_nGridColor})
        *v = ar.ReadI32();
    if (m_pPoints) LoadPoints(ar);
}

void CKVXGraphObj::LoadPoints(fw::Archive& ar) {
    const int32_t last = ar.ReadI32();
    if (last < -1 || last > kGraphStorePoints - 1) {
        TellCorrupted(Flags());
        throw fw::ArchiveError("point count out of range");
    }
    const size_t wanted = size_t(last + 1);
    // Only as many points as the bytes left can hold; a file that ends early keeps those.
    const size_t n = std::min(wanted, ar.Remaining() / kPointBytes);
    CKVXPointStore& p = *m_pPoints;
    p.x.resize(n);
    p.y.resize(n);
    for (size_t i = 0; i < n; ++i) {
        p.x[i] = ar.ReadF64();
        p.y[i] = ar.ReadF64();
    }
    p.lastIndex = int32_t(n) - 1;
    if (n < wanted) {
        TellCorrupted(Flags());
        throw fw::ArchiveError("points cut short");
    }
}

// ---------------------------------------------------------------------------------------
// Root record

CPwrQuorraViewerObj::CPwrQuorraViewerObj() { CPwrQuorraViewerObj::SetDefaults(); }

void CPwrQuorraViewerObj::SetDefaults() {
    m_strTag = kViewerRootTag;
    m_strDesignFile = "Unknown";
    m_strNotes.clear();
    m_nGraphCount = 0;
    for (int i = 0; i < kGraphs; ++i) {
        m_graphs[i].SetDefaults();
        m_graphs[i].AttachPointStore(&m_points[i]);
        m_graphs[i].SetLoadFlags(&m_flags);
        m_points[i] = CKVXPointStore();
    }
}

void CPwrQuorraViewerObj::Serialize(fw::Archive& ar) {
    if (ar.IsStoring()) {
        const int count = std::min<int>(m_nGraphCount, kGraphs);
        ar.WriteString(m_strTag);
        ar.WriteU16(kViewerVersion);
        ar.WriteString(m_strDesignFile);
        ar.WriteString(m_strNotes);
        ar.WriteU16(uint16_t(count));
        for (int i = count - 1; i >= 0; --i) m_graphs[i].Serialize(ar);
        return;
    }

    SetDefaults();
    m_flags = KVXLoadFlags();
    try {
        if (ar.ReadString() != kViewerRootTag) {
            TellCorrupted(m_flags);
            SetDefaults();
            return;
        }
        if (ar.ReadU16() != kViewerVersion) {
            TellVersion(m_flags);
            SetDefaults();
            return;
        }
        m_strDesignFile = ar.ReadString();
        m_strNotes = ar.ReadString();
        const uint16_t count = ar.ReadU16();
        if (count > kGraphs) {
            TellCorrupted(m_flags);
            SetDefaults();
            return;
        }
        m_nGraphCount = count;
        for (int i = count - 1; i >= 0; --i) m_graphs[i].Serialize(ar);
    } catch (const fw::ArchiveError&) {
        // Cut short or out of range: what was read stays.
        TellCorrupted(m_flags);
    }
}

// ---------------------------------------------------------------------------------------
// Writing and reading files

std::string ViewerDesignText(const std::string& pathName) {
    struct stat st {};
    if (pathName.empty() || ::stat(pathName.c_str(), &st) != 0) return pathName + "   < file timestamp unknown >";
    std::tm local{};
    const std::time_t t = st.st_mtime;
    localtime_r(&t, &local);
    return pathName + "   " + SummaryDateText(local) + ", " + SummaryTimeText(local);
}

void FillViewerObject(const CGraphMgr& mgr, const CAnalysisConfig& config, const std::string& designText,
                      const std::string& notes, CPwrQuorraViewerObj& root) {
    root.SetDefaults();
    root.m_strDesignFile = designText;
    root.m_strNotes = notes;
    const int count = std::clamp(mgr.GetGraphCount(), 0, int(CPwrQuorraViewerObj::kGraphs));
    root.m_nGraphCount = uint16_t(count);
    for (int g = count + 1; g <= mgr.GetGraphCount(); ++g) ReportMessage1(kModuleGraphMgr, 2023, FALSE);
    for (int g = 1; g <= count; ++g) {
        const int n = mgr.GetGraphSetting(g);
        CKVXGraphObj& rec = root.Graph(g - 1);
        rec.m_strTitle = OrDefault(config.GetGraphTitle(n), "Graph Title");
        rec.m_strXLabel = OrDefault(config.GetXAxisLabel(n), "X Axis Label");
        rec.m_strYLabel = OrDefault(config.GetYAxisLabel(n), "Y Axis Label");
        rec.m_dXMin = config.GetXMin(n);
        rec.m_dXMax = config.GetXMax(n);
        rec.m_dYMin = config.GetYMin(n);
        rec.m_dYMax = config.GetYMax(n);
        rec.m_nXMinorTicks = config.GetXMinorTicks(n);
        rec.m_nYMinorTicks = config.GetYMinorTicks(n);
        rec.m_nAxisColor = config.GetAxisColor(n);
        rec.m_nTraceColor = config.GetTraceColor(n);
        rec.m_bFrequency = config.IsFrequencyDomain() ? 1 : 0;
        // From the quantity this page graph shows, so the flag agrees with its y label.
        rec.m_bGain = IsGainQuantity(config.GetAnalysisKind(), mgr.GetFreqQuantity(g)) ? 1 : 0;
        rec.m_nGridType = config.GetGridType(n);
        rec.m_nGridColor = config.GetGridColor(n);
        CKVXPointStore& points = root.Points(g - 1);
        const int last = mgr.GetLastIndex(g);
        const double* xs = mgr.GetXData(g);
        const double* ys = mgr.GetYData(g);
        points.x.assign(xs, xs + (last + 1));
        points.y.assign(ys, ys + (last + 1));
        points.lastIndex = last;
    }
}

std::vector<uint8_t> ViewerFileBytes(CPwrQuorraViewerObj& root) {
    fw::Archive ar;
    root.Serialize(ar);
    return ar.Bytes();
}

BOOL SaveGraphsForViewerFile(const CGraphMgr& mgr, const std::string& target, const CAnalysisConfig& config,
                             const std::string& pathName, const std::string& notes) {
    auto root = std::make_unique<CPwrQuorraViewerObj>();
    FillViewerObject(mgr, config, ViewerDesignText(pathName), notes, *root);
    if (fw::WriteFileAtomic(target, ViewerFileBytes(*root))) return TRUE;
    ReportMessage(kMsgViewerFileFailed, TRUE);
    return FALSE;
}

void LoadViewerBytes(const std::vector<uint8_t>& bytes, CPwrQuorraViewerObj& root) {
    fw::Archive ar(bytes);
    root.Serialize(ar);
}

BOOL LoadViewerFile(const std::string& path, CPwrQuorraViewerObj& root) {
    std::vector<uint8_t> bytes;
    try {
        bytes = fw::ReadFileBytes(path);
    } catch (const fw::ArchiveError&) {
        root.SetDefaults();
        return FALSE;
    }
    LoadViewerBytes(bytes, root);
    return TRUE;
}
