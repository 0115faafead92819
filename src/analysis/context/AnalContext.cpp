#include "analysis/context/AnalContext.h"

#include <atomic>
#include <new>

std::atomic<AnalysisContext*> g_currentContext{nullptr};

namespace {

template <class T>
void CopyOrPreset(T& copy, const T* source) {
    copy = source ? *source : T();
}

template <class Table>
void CopyTable(Table& copy, const Table* source) {
    if (source) copy = *source;
    else copy.Clear();
}

}  // namespace

AnalysisContext::AnalysisContext(AnalysisThreadParams& params)
    : pParams(&params),
      pNotifyWnd(&params.hNotifyWnd),
      pStartEvent(params.hStartEvent),
      pBusyEvent(params.hBusyEvent),
      pQuitEvent(params.hQuitEvent),
      pFinishedEvent(params.hFinishedEvent),
      pSettings(&settings_),
      pLineSourceInput(&lineSourceInput_),
      pPrimaryInput(&primaryInput_),
      pControlInput(&controlInput_) {
    stepState.settings = &settings_;
    for (int k = 0; k < kMaxOutputs; ++k) {
        pSecondaryRectifierInput[k] = &secondaryRectifierInput_[k];
        pOutputChokeInput[k] = &outputChokeInput_[k];
        pOutputFilterInput[k] = &outputFilterInput_[k];
        pLoadNetworkInput[k] = &loadNetworkInput_[k];
    }
    for (int i = 0; i < 10; ++i) pTable101[i] = &table101_[i];
    for (int i = 0; i < 3; ++i) pTable3[i] = &table3_[i];
    for (int i = 0; i < 30; ++i) pTable[i] = &table_[i];
    for (int i = 0; i < 4; ++i) pEquation[i] = params.pEquation[i];
    TakeRunInputs();
}

void AnalysisContext::TakeRunInputs() {
    const AnalysisThreadParams& block = *pParams;
    CopyOrPreset(settings_, block.pSettings);
    CopyOrPreset(lineSourceInput_, block.pLineSourceInput);
    CopyOrPreset(primaryInput_, block.pPrimaryInput);
    CopyOrPreset(controlInput_, block.pControlInput);
    for (int k = 0; k < kMaxOutputs; ++k) {
        CopyOrPreset(secondaryRectifierInput_[k], block.pSecondaryRectifierInput[k]);
        CopyOrPreset(outputChokeInput_[k], block.pOutputChokeInput[k]);
        CopyOrPreset(outputFilterInput_[k], block.pOutputFilterInput[k]);
        CopyOrPreset(loadNetworkInput_[k], block.pLoadNetworkInput[k]);
    }
    // A cursor only moves forward within a run; a run that began part-way into a table
    // would skip its start, so every copy starts at its first segment.
    for (int i = 0; i < 10; ++i) {
        CopyTable(table101_[i], block.pTable101[kTable101BlockIndex[i]]);
        table101_[i].cursor = 0;
    }
    for (int i = 0; i < 3; ++i) {
        CopyTable(table3_[i], block.pTable3[i]);
        for (int32_t& c : table3_[i].cursor) c = 0;
    }
    for (int i = 0; i < 30; ++i) {
        CopyTable(table_[i], block.pTable[i]);
        table_[i].cursor[0] = 0;
    }
    for (int i = 0; i < 4; ++i) pEquation[i] = block.pEquation[i];
}

AnalysisRun::AnalysisRun(AnalysisThreadParams& params) : status_(Status::kOutOfMemory) {
    try {
        context_ = std::make_unique<AnalysisContext>(params);
    } catch (const std::bad_alloc&) {
        return;
    }
    AnalysisContext* expected = nullptr;
    if (!g_currentContext.compare_exchange_strong(expected, context_.get(), std::memory_order_acq_rel)) {
        context_.reset();
        status_ = Status::kAnotherRunLive;
        return;
    }
    status_ = Status::kLive;
}

AnalysisRun::~AnalysisRun() {
    if (!context_) return;
    AnalysisContext* mine = context_.get();
    g_currentContext.compare_exchange_strong(mine, nullptr, std::memory_order_acq_rel);
}
