// The frame's link to the graph manager and to the graph page of the design
// window.
#pragma once

#include "app/MainFrm.h"

class CAppGraphLink : public CGraphPageLink {
public:
    void SetRunning(BOOL running) override;
    BOOL IsAnalysisRunning() override;
    BOOL HasGraphData() override;
    int GetGraphCount() override;
    BOOL IsBlownUp() override;
    void ClearAndRecreatePage() override;
    BOOL HasEmptyGraph() override;
};

CAppGraphLink& AppGraphLink();
