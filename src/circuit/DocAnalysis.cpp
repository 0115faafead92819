// The document's side of an analysis run: the settings word it owns, the run's events and
// the parameter block, the start, and the end or stop of the worker.
#include "circuit/AnalFill.h"
#include "circuit/AppServices.h"
#include "circuit/Doc.h"
#include "circuit/GraphServices.h"
#include "records/Utils.h"

BOOL CPwrQuorraDoc::PrepareAnalysis() {
    // A live worker still reads the block and its events.
    if (m_analysis.HasWorker()) return FALSE;
    // A failed calculation of initial values refuses the run it happened in, not every
    // later one: each start tries again.
    m_analysis.RearmInitValues();
    // From the logging state of this run, whatever an earlier run had.
    m_AnalysisSettings.loggingOn = (AppIsLoggingOn() || m_pDesign->m_USData.GetDataLogging()) ? 1 : 0;
    // Never run on a design the records cannot stand for.
    CAnalysisFill fill(*this);
    if (!fill.FillAnalysisRecords()) {
        ReportText(fill.GetProblem().c_str(), TRUE);
        return FALSE;
    }
    if (!m_analysis.CreateRunEvents()) return FALSE;
    FillThreadParams();
    return TRUE;
}

void CPwrQuorraDoc::FillThreadParams() {
    AnalysisThreadParams& p = m_analysis.Params();
    p.pSettings = &m_AnalysisSettings;
    p.pLineSourceInput = &m_LineSourceInput;
    for (size_t n = 0; n < 4; ++n) {
        p.pLoadNetworkInput[n] = &m_LoadNetworkInput[n];
        p.pOutputChokeInput[n] = &m_OutputChokeInput[n];
        p.pSecondaryRectifierInput[n] = &m_SecondaryRectifierInput[n];
        p.pOutputFilterInput[n] = &m_OutputFilterInput[n];
    }
    p.pPrimaryInput = &m_PrimaryInput;
    p.pControlInput = &m_ControlInput;
    for (size_t i = 0; i < m_Table101.size(); ++i) p.pTable101[i] = &m_Table101[i];
    for (size_t i = 0; i < m_Table3.size(); ++i) p.pTable3[i] = &m_Table3[i];
    for (size_t i = 0; i < m_Table.size(); ++i) p.pTable[i] = &m_Table[i];
    for (int v = 1; v <= CAnalysisConfig::kVariables; ++v)
        p.pEquation[v - 1] = m_pDesign->m_AnalysisConfig.GetEquation(v);
}

BOOL CPwrQuorraDoc::StartAnalysis() {
    return m_analysis.Start(AppGetMainWindowHandle(), [] {
        if (CGraphMgrServices* mgr = GetCurrentGraphMgr()) mgr->RebuildPage();
    });
}

void CPwrQuorraDoc::EndAnalysis() {
    m_analysis.End();
    ReportMessage1(kModuleDoc, 300, FALSE);
    ReportMessage2(56083, 300, m_analysis.GetRunStatus(), FALSE);
}

void CPwrQuorraDoc::StopAnalysis() { m_analysis.Stop(); }
