#include "app/GraphLink.h"

#include "graphs/GraphMgr.h"
#include "graphs/GraphPageRun.h"

void CAppGraphLink::SetRunning(BOOL running) {
    GraphMgr().SetRunning(running);
    RunGraphPage().Page().RedrawPage();
}

BOOL CAppGraphLink::IsAnalysisRunning() { return GraphMgr().IsAnalysisRunning(); }

BOOL CAppGraphLink::HasGraphData() { return GraphMgr().HasGraphData(); }

int CAppGraphLink::GetGraphCount() { return GraphMgr().GetGraphCount(); }

BOOL CAppGraphLink::IsBlownUp() { return RunGraphPage().Page().IsBlownUp() ? TRUE : FALSE; }

void CAppGraphLink::ClearAndRecreatePage() { RunGraphPage().ClearAndRecreatePage(); }

BOOL CAppGraphLink::HasEmptyGraph() {
    const CGraphMgr& mgr = GraphMgr();
    for (int g = 1; g <= mgr.GetGraphCount(); ++g)
        if (mgr.GetLastIndex(g) < 0) return TRUE;
    return FALSE;
}

CAppGraphLink& AppGraphLink() {
    static CAppGraphLink link;
    return link;
}
