// Display settings of one XY graph: title, trace and axis colours, the label,
// range and minor ticks of each axis, grid type and colour. The colour and
// grid codes are the positions of the settings dialogs' radio buttons.
#pragma once

#include <cstdint>
#include <string>
#include <tuple>

#include "platform/core/Archive.h"
#include "platform/core/Types.h"

constexpr UINT kModuleGraphCfg = 56041;
constexpr const char* kGraphCfgTag = "<GRAPH_CFG_DATA>";

class CGraphCfg : public fw::Object {
public:
    enum { COLOR_BLUE = 0, COLOR_GREEN, COLOR_CYAN, COLOR_RED, COLOR_MAGENTA };
    enum { GRID_NONE = 0, GRID_MAJOR, GRID_MINOR, GRID_BOTH };
    enum { GRID_OFF_WHITE = 0, GRID_LIGHT_GRAY, GRID_MEDIUM_GRAY };
    static constexpr int32_t kMaxMinorTicks = 50;

    CGraphCfg() { InitDefaults(); }
    CGraphCfg(const CGraphCfg&) = default;
    static const char* StaticClassName() { return "CGraphCfg"; }
    const char* GetClassName() const override { return StaticClassName(); }

    void InitDefaults();
    // A range whose minimum is not below its maximum, a tick count outside
    // 0-50 or a colour or grid code outside its buttons, read from a file, is
    // damage (52080, code 2702) and takes its default.
    void Serialize(fw::Archive& ar) override;
    // Every field, the tag included.
    CGraphCfg& operator=(const CGraphCfg& other);
    BOOL operator!=(const CGraphCfg& other) const;

    std::string m_strTag;
    std::string m_strTitle;
    int32_t m_nTraceColor = COLOR_CYAN;
    int32_t m_nAxisColor = COLOR_RED;
    std::string m_strXAxisLabel;
    double m_dXMin = 0.0;
    double m_dXMax = 1.0;
    int32_t m_nXMinorTicks = 0;
    std::string m_strYAxisLabel;
    double m_dYMin = 0.0;
    double m_dYMax = 1.0;
    int32_t m_nYMinorTicks = 0;
    int32_t m_nGridType = GRID_NONE;
    int32_t m_nGridColor = GRID_LIGHT_GRAY;

private:
    // Archive and comparison order after the tag.
    template <class Self>
    static auto FieldsOf(Self& s) {
        return std::tie(s.m_strTitle, s.m_nTraceColor, s.m_nAxisColor, s.m_strXAxisLabel, s.m_dXMin, s.m_dXMax,
                        s.m_nXMinorTicks, s.m_strYAxisLabel, s.m_dYMin, s.m_dYMax, s.m_nYMinorTicks, s.m_nGridType,
                        s.m_nGridColor);
    }
};
