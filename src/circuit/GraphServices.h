// What the analysis configuration tells the graph manager when it numbers
// the graphs of a page, and what it asks back. The graph manager registers
// itself here; with none registered there is nothing to tell.
#pragma once

#include <cstdint>

class CGraphMgrServices {
public:
    virtual ~CGraphMgrServices() = default;

    // Running graph number (1 to 4) of a quantity (1 to 6).
    virtual void SetQuantityGraph(int32_t quantity, int32_t graph) = 0;
    // The source of running graph n: the variable (time domain) or the
    // user's graph number (frequency domain).
    virtual void SetGraphSource(int32_t source, int32_t graph) = 0;
    // The quantity shown by running graph n.
    virtual void SetGraphQuantity(int32_t quantity, int32_t graph) = 0;
    // The quantity shown on user graph g; a later call replaces it.
    virtual void SetChoiceQuantity(int32_t quantity, int32_t userGraph) = 0;
    virtual int32_t GetChoiceQuantity(int32_t userGraph) = 0;
    // Destroys and rebuilds the graph page when a view is active; called
    // before a run's worker starts.
    virtual void RebuildPage() {}
};

CGraphMgrServices* GetCurrentGraphMgr();
void SetCurrentGraphMgr(CGraphMgrServices* mgr);
