#include "designs/SteadyStart.h"

#include <algorithm>
#include <cmath>

#include "analysis/context/AnalContext.h"
#include "analysis/models/AnalInSS.h"
#include "analysis/timedomain/AnalFigures.h"
#include "circuit/Doc.h"

namespace {

// Step-weighted averages over each switching period; a period ends at the step that starts
// the next one.
class PeriodAverager {
public:
    void Observe(const AnalysisContext& c) {
        const double h = c.stepState.inverseTimeStepTermA;
        span_ += h;
        vout_ += c.outputFilter[0].outputVoltage * h;
        il_ += c.outputChoke[0].chokeCurrent * h;
        // Hysteretic control counts its periods at the drive's rising edges.
        const bool start = c.pControlInput->controlMode == 3 ? count_ >= 0 && c.stepState.periodCount != count_
                                                             : c.stepState.cycleTime == 0.0;
        count_ = c.stepState.periodCount;
        period_ = c.pSettings->switchingPeriodSetting;
        last_ = {c.outputFilter[0].capacitorVoltage, c.outputChoke[0].chokeCurrent};
        if (start && span_ > 0.0) {
            averages.push_back({vout_ / span_, il_ / span_});
            ends.push_back({c.outputFilter[0].capacitorVoltage, c.outputChoke[0].chokeCurrent});
            span_ = vout_ = il_ = 0.0;
        }
    }
    // A run ends exactly on its end time, where the clock would start the next period: a
    // period left open there is complete (within the clock's own period, a little off the
    // nominal one).
    void Close() {
        if (!(period_ > 0.0) || span_ < 0.99 * period_) return;
        averages.push_back({vout_ / span_, il_ / span_});
        ends.push_back(last_);
        span_ = vout_ = il_ = 0.0;
    }
    std::vector<OutputPoint> averages;
    std::vector<OutputPoint> ends;

private:
    double period_ = 0.0;
    OutputPoint last_{};
    double span_ = 0.0, vout_ = 0.0, il_ = 0.0;
    int32_t count_ = -1;  // the period count at the last step
};

}  // namespace

SteadyStartRun RunSteadyStart(CPwrQuorraDoc& doc, int32_t initMode, double cycles) {
    CAnalysisConfig& cfg = *doc.GetAnalysisConfig();
    cfg.SetAnalysisKind(CAnalysisConfig::KIND_STEADY_STATE);
    cfg.m_nInitMode = initMode;
    SteadyStartRun result;
    PeriodAverager periods;
    bool first = true;
    result.run = RunDesignHeadless(doc, cycles, nullptr, nullptr, [&](const AnalysisContext& c) {
        if (first) {
            // The state the first step started from.
            result.start = OutputPoint{c.outputFilterSnapshot[0].capacitorVoltage1, c.outputChokeSnapshot[0].chokeCurrent};
            const double t = c.stepState.switchingPeriod;
            result.capTolerance = std::max(
                std::fabs(t * c.loadNetwork[0].loadCurrent / c.pOutputFilterInput[0]->capACapacitance / 100.0), 0.001);
            result.chokeTolerance = std::max(
                std::fabs(t * c.pLoadNetworkInput[0]->outputVoltage / c.pOutputChokeInput[0]->inductance / 100.0),
                0.001);
            first = false;
        }
        periods.Observe(c);
    });
    periods.Close();
    // The first cycle: the periods the run was asked for.
    const size_t n = std::min(periods.averages.size(), static_cast<size_t>(std::max(1.0, std::round(cycles))));
    if (n > 0) {
        OutputPoint sum;
        for (size_t k = 0; k < n; ++k) {
            sum.vout += periods.averages[k].vout;
            sum.il += periods.averages[k].il;
        }
        result.firstAverage = {sum.vout / static_cast<double>(n), sum.il / static_cast<double>(n)};
        result.end = periods.ends[n - 1];
    }
    return result;
}

TurnOnRun RunTurnOn(CPwrQuorraDoc& doc, double cycles) {
    doc.GetAnalysisConfig()->SetAnalysisKind(CAnalysisConfig::KIND_TURN_ON);
    TurnOnRun result;
    PeriodAverager periods;
    CRunFigures fig(0.0);
    result.run = RunDesignHeadless(doc, cycles, &fig, nullptr, [&](const AnalysisContext& c) { periods.Observe(c); });
    periods.Close();
    result.periodAverages = periods.averages;
    result.settled = {fig.OutputAverage(), fig.ChokeAverage()};
    return result;
}

int32_t TurnOnRun::PeriodsToSettle(double tolerance, int32_t cycle) const {
    const auto off = [&](double v, double s) { return std::fabs(v - s) > tolerance * std::fabs(s); };
    const int32_t n = static_cast<int32_t>(periodAverages.size());
    if (cycle <= 1) {
        for (int32_t i = n - 1; i >= 0; --i)
            if (off(periodAverages[i].vout, settled.vout) || off(periodAverages[i].il, settled.il)) return i + 1;
        return 0;
    }
    const OutputPoint last = MeanOfLast(cycle);
    OutputPoint window;
    for (int32_t i = n - 1; i >= 0; --i) {
        window.vout += periodAverages[i].vout;
        window.il += periodAverages[i].il;
        if (i + cycle < n) {
            window.vout -= periodAverages[i + cycle].vout;
            window.il -= periodAverages[i + cycle].il;
        }
        if (i + cycle > n) continue;
        if (off(window.vout / cycle, last.vout) || off(window.il / cycle, last.il)) return i + cycle;
    }
    return cycle;
}

int32_t SourceCyclePeriods(CPwrQuorraDoc& doc) {
    const LoadNetworkInputRec* loads[kMaxOutputs];
    for (int32_t j = 0; j < kMaxOutputs; ++j) loads[j] = doc.GetLoadNetworkInput(j);
    return std::max(SwitchingPeriodsPerSourceCycle(*doc.GetAnalysisSettings(), *doc.GetLineSourceInput(), loads), 1);
}

OutputPoint TurnOnRun::MeanOfLast(int32_t periods) const {
    const size_t m = periodAverages.size();
    const size_t n = std::min(m, static_cast<size_t>(std::max(periods, 1)));
    OutputPoint sum;
    for (size_t k = m - n; k < m; ++k) {
        sum.vout += periodAverages[k].vout;
        sum.il += periodAverages[k].il;
    }
    return n ? OutputPoint{sum.vout / static_cast<double>(n), sum.il / static_cast<double>(n)} : sum;
}
