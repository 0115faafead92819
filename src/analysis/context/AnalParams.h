// The parameter block of the analysis worker: held by the document, filled before a run,
// handed to the worker thread. The document owns everything it points to; a run reads the
// records and tables through it once, when it starts, and works on copies (AnalContext.h).
#pragma once

#include <cstdint>

#include "analysis/context/AnalGraphSink.h"
#include "analysis/context/AnalInputRec.h"
#include "analysis/context/AnalTables.h"
#include "platform/core/Event.h"

class CEquation;

struct AnalysisThreadParams {
    // 1 success, 2 not successful, 3 terminated with error 11, other values an error.
    int32_t runStatus = 0;
    intptr_t hNotifyWnd = 0;               // the window that receives the run-finished message; 0 none
    fw::Event* hStartEvent = nullptr;      // auto-reset
    fw::Event* hBusyEvent = nullptr;       // manual-reset, set while no analysis runs
    fw::Event* hQuitEvent = nullptr;       // manual-reset: a stop stays seen until the next start
    fw::Event* hFinishedEvent = nullptr;   // auto-reset
    const AnalysisSettingsRec* pSettings = nullptr;
    const LineSourceInputRec* pLineSourceInput = nullptr;
    const LoadNetworkInputRec* pLoadNetworkInput[kMaxOutputs] = {};         // outputs 1-4
    const OutputChokeInputRec* pOutputChokeInput[kMaxOutputs] = {};
    const SecondaryRectifierInputRec* pSecondaryRectifierInput[kMaxOutputs] = {};
    const OutputFilterInputRec* pOutputFilterInput[kMaxOutputs] = {};
    const PrimaryInputRec* pPrimaryInput = nullptr;
    const ControlInputRec* pControlInput = nullptr;
    const TimeMagnitudeTable101* pTable101[10] = {};   // the document's ten, in member order
    const TimeMagnitudeTable3* pTable3[3] = {};
    const TimeMagnitudeTable* pTable[30] = {};
    const CEquation* pEquation[4] = {};                // time-domain graph variables 1-4
    CGraphSampleSink* pGraphSink = nullptr;            // the graph store; none: samples are dropped
};
