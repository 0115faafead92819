// The graph settings dialogs: a time-domain graph (template 229, with title
// and axis labels) and a frequency-domain graph (template 230, without). Both
// edit the given settings in place; callers pass a copy and commit it on
// IDOK. OK refuses an axis whose maximum is not above its minimum.
#pragma once

#include "circuit/GraphCfg.h"
#include "setup/BaseDlg.h"

// What the two dialogs share: the exchange and the axis check.
class CGraphCfgDlgBase : public CComponentDlgBase {
public:
    CGraphCfg* m_pGraphCfg;

protected:
    CGraphCfgDlgBase(CGraphCfg* graphCfg, UINT templateId, const char* caption, fw::Window* parent)
        : CComponentDlgBase(templateId, caption, parent), m_pGraphCfg(graphCfg) {}
    void ExchangeSettings(fw::DataExchange& dx, bool withLabels);
    // Message 52021 when an axis maximum is not above its minimum.
    BOOL CanCloseWithOK() override;
};

class CTimeGraphCfgDlg : public CGraphCfgDlgBase {
public:
    CTimeGraphCfgDlg(CGraphCfg* graphCfg, UINT templateId, const char* caption, fw::Window* parent)
        : CGraphCfgDlgBase(graphCfg, templateId, caption, parent) {}
    void DoDataExchange(fw::DataExchange& dx) override { ExchangeSettings(dx, true); }
};

class CFreqGraphCfgDlg : public CGraphCfgDlgBase {
public:
    CFreqGraphCfgDlg(CGraphCfg* graphCfg, UINT templateId, const char* caption, fw::Window* parent)
        : CGraphCfgDlgBase(graphCfg, templateId, caption, parent) {}
    void DoDataExchange(fw::DataExchange& dx) override { ExchangeSettings(dx, false); }
};
