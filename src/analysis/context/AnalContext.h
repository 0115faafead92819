// The whole state of one analysis run: the step data, one state record and one snapshot per
// section, and the run's own copies of the settings, the section input records and the
// transient tables. Every analysis module reaches it through GetAnalysisContext().
//
// Ownership: an AnalysisRun builds the context, makes it the current one, and frees it when
// the run ends. Only one run is live at a time; a second run cannot start (and cannot free
// the live context) until the first has ended.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>

#include "analysis/context/AnalConst.h"
#include "analysis/context/AnalEngine.h"
#include "analysis/context/AnalInputRec.h"
#include "analysis/context/AnalLineStore.h"
#include "analysis/context/AnalLoadStore.h"
#include "analysis/context/AnalParams.h"
#include "analysis/context/AnalRec.h"
#include "analysis/context/AnalTables.h"

// Places of the 101-point tables in the context (they follow the parameter block's tables in
// the order 5, 6, 1, 2, 3, 4, 7, 8, 9, 10).
constexpr int kLineOffsetTable = 0;
constexpr int kLineMagnitudeTable = 1;
constexpr int kOptoReferenceTable = 2;  // the block's first table
constexpr int kVeaReferenceTable = 3;
constexpr int kErrorInjectionTable = 4;
constexpr int kCurrentInjectionTable = 5;
// Block table (0-based) behind each context table.
constexpr int kTable101BlockIndex[10] = {4, 5, 0, 1, 2, 3, 6, 7, 8, 9};

class AnalysisContext {
public:
    // Builds every record at its presets and takes the run's copies from the block.
    explicit AnalysisContext(AnalysisThreadParams& params);
    AnalysisContext(const AnalysisContext&) = delete;
    AnalysisContext& operator=(const AnalysisContext&) = delete;

    // Copies the settings, the input records and the tables from the block again, with every
    // table cursor at 0. The worker calls it when a run starts, after the document has filled
    // its records; nothing a run changes in its copies reaches the document. A block pointer
    // that is null leaves that copy at its presets.
    void TakeRunInputs();

    // Per-output arrays index by output number - 1, per-phase arrays by phase number - 1.
    AnalysisThreadParams* pParams;
    intptr_t* pNotifyWnd;  // the block's window word: the document sets it when it starts the run
    fw::Event* pStartEvent;
    fw::Event* pBusyEvent;
    fw::Event* pQuitEvent;
    fw::Event* pFinishedEvent;
    AnalysisSettingsRec* pSettings;
    StepStateRec stepState;
    LineSourceInputRec* pLineSourceInput;
    LinePhaseStateRec linePhase[kMaxLinePhases];
    LinePhaseSnapshot linePhaseSnapshot[kMaxLinePhases];
    LineRectifierStateRec lineRectifier;
    LineRectifierSnapshot lineRectifierSnapshot;
    InputCapacitorStateRec inputCapacitor;
    InputCapacitorSnapshot inputCapacitorSnapshot;
    PrimaryInputRec* pPrimaryInput;
    PrimaryStateRec primary;
    PrimarySnapshot primarySnapshot;
    SecondaryWindingStateRec secondaryWinding[kMaxOutputs];
    SecondaryWindingSnapshot secondaryWindingSnapshot[kMaxOutputs];
    SecondaryRectifierInputRec* pSecondaryRectifierInput[kMaxOutputs];
    SecondaryRectifierStateRec secondaryRectifier[kMaxOutputs];
    SecondaryRectifierSnapshot secondaryRectifierSnapshot[kMaxOutputs];
    OutputChokeInputRec* pOutputChokeInput[kMaxOutputs];
    OutputChokeStateRec outputChoke[kMaxOutputs];
    OutputChokeSnapshot outputChokeSnapshot[kMaxOutputs];
    OutputFilterInputRec* pOutputFilterInput[kMaxOutputs];
    OutputFilterStateRec outputFilter[kMaxOutputs];
    OutputFilterSnapshot outputFilterSnapshot[kMaxOutputs];
    LoadNetworkInputRec* pLoadNetworkInput[kMaxOutputs];
    LoadNetworkStateRec loadNetwork[kMaxOutputs];
    LoadNetworkSnapshot loadNetworkSnapshot[kMaxOutputs];
    ControlInputRec* pControlInput;
    ControlStateRec control;
    ControlSnapshot controlSnapshot;
    TimeMagnitudeTable101* pTable101[10];  // see kTable101BlockIndex
    TimeMagnitudeTable3* pTable3[3];
    TimeMagnitudeTable* pTable[30];
    const CEquation* pEquation[4];
    EngineStore engine;  // the step assembly's hand-over slots and device bookkeeping
    LineStepStore lineStep;  // the line side's step
    LoadStepStore loadStep;  // the load networks' step

private:
    // The run's copies, which the record and table pointers above point to.
    AnalysisSettingsRec settings_;
    LineSourceInputRec lineSourceInput_;
    PrimaryInputRec primaryInput_;
    SecondaryRectifierInputRec secondaryRectifierInput_[kMaxOutputs];
    OutputChokeInputRec outputChokeInput_[kMaxOutputs];
    OutputFilterInputRec outputFilterInput_[kMaxOutputs];
    LoadNetworkInputRec loadNetworkInput_[kMaxOutputs];
    ControlInputRec controlInput_;
    TimeMagnitudeTable101 table101_[10];
    TimeMagnitudeTable3 table3_[3];
    TimeMagnitudeTable table_[30];
};

// The live run's context, or nullptr when no run is live. For the analysis worker thread.
// Inline: every model reaches the context through it, several times a step.
extern std::atomic<AnalysisContext*> g_currentContext;
inline AnalysisContext* GetAnalysisContext() { return g_currentContext.load(std::memory_order_acquire); }

// One run's hold on its context: the constructor builds the context from the block and makes
// it current, the destructor clears the current pointer and frees the context. A run whose
// context could not be built or installed has no context (Context() is nullptr) and leaves
// the live one alone.
class AnalysisRun {
public:
    enum class Status {
        kLive,            // the context is built and current
        kOutOfMemory,     // the caller reports 52094
        kAnotherRunLive,  // one run per program at a time
    };

    explicit AnalysisRun(AnalysisThreadParams& params);
    ~AnalysisRun();
    AnalysisRun(const AnalysisRun&) = delete;
    AnalysisRun& operator=(const AnalysisRun&) = delete;

    Status GetStatus() const { return status_; }
    AnalysisContext* Context() const { return context_.get(); }

private:
    Status status_;
    std::unique_ptr<AnalysisContext> context_;
};
