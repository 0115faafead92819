#include "circuit/GraphServices.h"

#include <atomic>

namespace {
std::atomic<CGraphMgrServices*> g_graphMgr{nullptr};
}  // namespace

CGraphMgrServices* GetCurrentGraphMgr() { return g_graphMgr.load(); }
void SetCurrentGraphMgr(CGraphMgrServices* mgr) { g_graphMgr.store(mgr); }
