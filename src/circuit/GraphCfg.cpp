#include "circuit/GraphCfg.h"

#include <cmath>

#include "circuit/LoadCheck.h"
#include "platform/core/Fields.h"
#include "records/Record.h"

namespace {
fw::RegisterClass<CGraphCfg> g_register("CGraphCfg");

// The graph divides by the span of each axis.
bool IsRange(double lo, double hi) { return std::isfinite(lo) && std::isfinite(hi) && lo < hi; }
}  // namespace

void CGraphCfg::InitDefaults() {
    m_strTag = kGraphCfgTag;
    m_strTitle.clear();
    m_nTraceColor = COLOR_CYAN;
    m_nAxisColor = COLOR_RED;
    m_strXAxisLabel = "Micro Seconds";
    m_dXMin = 0.0;
    m_dXMax = 1.0;
    m_nXMinorTicks = 0;
    m_strYAxisLabel.clear();
    m_dYMin = 0.0;
    m_dYMax = 1.0;
    m_nYMinorTicks = 0;
    m_nGridType = GRID_NONE;
    m_nGridColor = GRID_LIGHT_GRAY;
}

void CGraphCfg::Serialize(fw::Archive& ar) {
    if (ar.IsStoring()) {
        WriteRecordHeader(ar, m_strTag, 0);
        fw::StoreFields(ar, FieldsOf(*this));
        return;
    }
    if (ReadRecordHeader(ar, m_strTag, kGraphCfgTag, kModuleGraphCfg, 2700, [this] { InitDefaults(); }) < 0) return;
    fw::LoadFields(ar, FieldsOf(*this));

    const CGraphCfg defaults;
    bool damaged = false;
    auto fixInt = [&](int32_t& v, int32_t lo, int32_t hi, int32_t def) {
        if (!InRange(v, lo, hi)) {
            v = def;
            damaged = true;
        }
    };
    fixInt(m_nTraceColor, COLOR_BLUE, COLOR_MAGENTA, defaults.m_nTraceColor);
    fixInt(m_nAxisColor, COLOR_BLUE, COLOR_MAGENTA, defaults.m_nAxisColor);
    fixInt(m_nXMinorTicks, 0, kMaxMinorTicks, defaults.m_nXMinorTicks);
    fixInt(m_nYMinorTicks, 0, kMaxMinorTicks, defaults.m_nYMinorTicks);
    fixInt(m_nGridType, GRID_NONE, GRID_BOTH, defaults.m_nGridType);
    fixInt(m_nGridColor, GRID_OFF_WHITE, GRID_MEDIUM_GRAY, defaults.m_nGridColor);
    if (!IsRange(m_dXMin, m_dXMax)) {
        m_dXMin = defaults.m_dXMin;
        m_dXMax = defaults.m_dXMax;
        damaged = true;
    }
    if (!IsRange(m_dYMin, m_dYMax)) {
        m_dYMin = defaults.m_dYMin;
        m_dYMax = defaults.m_dYMax;
        damaged = true;
    }
    if (damaged) ReportDamagedValue(kModuleGraphCfg, 2702);
}

CGraphCfg& CGraphCfg::operator=(const CGraphCfg& other) {
    m_strTag = other.m_strTag;
    fw::CopyFields(FieldsOf(*this), FieldsOf(other));
    return *this;
}

BOOL CGraphCfg::operator!=(const CGraphCfg& other) const {
    return (m_strTag != other.m_strTag || fw::FieldsDiffer(FieldsOf(*this), FieldsOf(other))) ? TRUE : FALSE;
}
