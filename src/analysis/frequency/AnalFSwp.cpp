#include "analysis/frequency/AnalFSwp.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <limits>
#include <numbers>
#include <numeric>

#include "analysis/context/AnalContext.h"
#include "analysis/context/AnalGraphSink.h"
#include "analysis/frequency/AnalFAmp.h"
#include "analysis/frequency/AnalFCLp.h"
#include "analysis/frequency/AnalFI2O.h"
#include "analysis/frequency/AnalFVLR.h"
#include "analysis/timedomain/AnalThrd.h"
#include "analysis/timedomain/AnalABCP.h"
#include "analysis/timedomain/AnalChck.h"
#include "analysis/timedomain/AnalDABC.h"
#include "analysis/timedomain/AnalLoop.h"
#include "analysis/timedomain/AnalLpQk.h"
#include "analysis/timedomain/AnalSetT.h"
#include "analysis/timedomain/AnalTime.h"
#include "records/Utils.h"

namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;
constexpr double kDegrees = 180.0 / std::numbers::pi;
constexpr UINT kMsgSweepNotRunnable = 58880;
constexpr int32_t kStepBoxes[6] = {52210, 52187, 52211, 0, 52187, 52211};

std::atomic<int32_t> g_lastPointCount{0};
std::atomic<int64_t> g_lastStepCount{0};

bool QuitRequested(const AnalysisContext& ctx) { return ctx.pQuitEvent && ctx.pQuitEvent->IsSet(); }

// Undoes the driver's begin on every way out of the sweep.
struct SweepScope {
    const SweepDriver& driver;
    AnalysisContext& ctx;
    bool begun = false;
    ~SweepScope() {
        if (begun && driver.finish) driver.finish(ctx);
    }
};

// One step of the model; inject(h) writes the injection target's value for the end of the
// step of h seconds about to be taken. 0 done, else the index 1..6 of the call that failed.
template <typename Inject>
int32_t SweepStep(AnalysisContext& ctx, const Inject& inject) {
    if (!DeterminePrimarySwitchState()) return 1;
    if (!UpdateControlSectionState()) return 2;
    if (!DetermineTimeStep()) return 3;
    inject(ctx.stepState.inverseTimeStepTermA);
    if (!AssembleStateMatrices()) return 4;
    if (!CalcControlSectionQuantities() || !StepStayedFinite()) return 5;
    return 0;
}

int32_t StepFailed(const SweepDriver& d, AnalysisContext& ctx, int32_t first, int32_t which) {
    ReportMessage1(d.module, first + which - 1, FALSE);
    if (kStepBoxes[which - 1]) ReportMessageFirstBox(UINT(kStepBoxes[which - 1]));
    ctx.pParams->runStatus = 2;
    return 1;
}


int32_t Stopped(AnalysisContext& ctx) {
    ReportMessage(53002, FALSE);
    ctx.pParams->runStatus = 2;
    return 0;
}

}  // namespace

double SweepWindowLength(double frequency, double period) {
    double w = 0.0;
    do w += 1.0 / frequency;
    while (w < 100.0 * period);
    return w;
}

bool LineRipples(const LineSourceInputRec& line) {
    return line.lineMagnitude != 0.0 && std::isfinite(line.lineMagnitude) && line.lineFrequency > 0.0 &&
           std::isfinite(line.lineFrequency);
}

LineRippleWindow LoopRippleWindow(double frequency, double lineFrequency, int32_t rectifierCase, int32_t phases) {
    LineRippleWindow w;
    if (!(frequency > 0.0) || !(lineFrequency > 0.0) || !std::isfinite(frequency) || !std::isfinite(lineFrequency))
        return w;
    // Ripple periods per line period: the line's own without a rectifier or through a half-wave
    // one, twice that full-wave, three times that again on three phases.
    double perLine = rectifierCase == 0 || (rectifierCase >= 1 && rectifierCase <= 3) ? 1.0 : 2.0;
    if (rectifierCase != 0 && phases == 3) perLine *= 3.0;
    const double q = frequency / (lineFrequency * perLine);  // injection over ripple frequency
    // f / f_r' = p / k with p and k coprime and k >= 2: never a whole number, so no ripple
    // harmonic lands on the injection, and the window p injection periods = k ripple periods.
    // The fewest ripple periods that move the ripple by at most 10 %, else the least move.
    // Far below the ripple one injection period holds round(1/q) ripples, moved by q/2 at most.
    double bestMove = std::numeric_limits<double>::infinity(), bestP = 0.0, bestK = 0.0;
    if (q < 0.2) {
        bestP = 1.0;
        bestK = std::round(1.0 / q);
    }
    // p = round(k·q) moves the line by 1/(2p) at most: k up to 5/q finds p >= 5.
    const double kLast = q < 0.2 ? 0.0 : std::max(10.0, std::ceil(5.0 / q) + 1.0);
    for (double k = 2.0; k <= kLast; k += 1.0) {
        const double centre = std::max(1.0, std::round(k * q));
        for (double p : {centre, centre - 1.0, centre + 1.0}) {
            if (p < 1.0 || std::gcd(static_cast<int64_t>(p), static_cast<int64_t>(k)) != 1) continue;
            const double move = std::fabs(k * q / p - 1.0);  // the line's move
            if (move < bestMove) {
                bestMove = move;
                bestP = p;
                bestK = k;
            }
        }
        if (bestMove <= 0.1 + 1e-12) break;
    }
    if (!(bestP > 0.0)) return w;
    w.window = bestP / frequency;
    w.lineFrequency = frequency * bestK / bestP / perLine;
    return w;
}

double LineFittedWindow(LineSourceInputRec& line, const AnalysisSettingsRec& set, double designLineFrequency,
                        double frequency, double period) {
    const LineRippleWindow w =
        LoopRippleWindow(frequency, designLineFrequency, set.lineRectifierVariant, set.linePhaseCount);
    if (!(w.window > 0.0) || !std::isfinite(w.window)) return SweepWindowLength(frequency, period);
    line.lineFrequency = w.lineFrequency;
    double window = w.window;
    while (window < 100.0 * period) window += w.window;
    return window;
}

void MakeInjectionTheOnlyAcDrive(AnalysisContext& ctx, DutyFlagClear clear) {
    if (clear != DutyFlagClear::kNone) ctx.stepState.periodIrregular = 0;
    if (clear == DutyFlagClear::kBothFlags) ctx.control.controlFlagA = 0;
    ControlInputRec& ci = *ctx.pControlInput;
    ci.veaReferenceAmplitude = ci.veaReferenceFrequency = 0.0;
    ci.errorInjectionAmplitude = ci.errorInjectionFrequency = 0.0;
    ci.currentInjectionAmplitude = ci.currentInjectionFrequency = 0.0;
    for (LoadNetworkInputRec* ld : ctx.pLoadNetworkInput)
        if (ld) ld->sourceSineAmplitude = ld->sourceFrequency = 0.0;
}

void WarnDutyExtremeOnce(const AnalysisContext& ctx, bool* shown) {
    if (*shown || !(ctx.control.controlFlagA || ctx.stepState.periodIrregular)) return;
    ReportMessage(53022, TRUE);
    *shown = true;
}

void FrequencySweepState::Init(double start, double stop, double stimulusAmplitude, int32_t measuredChannels,
                               int32_t quantityCount, CGraphSampleSink* sink) {
    *this = FrequencySweepState{};
    amplitude = stimulusAmplitude;
    measuredCount = std::clamp(measuredChannels, 0, kMaxMeasured);
    for (int i = 0; i < kQuantities; ++i) {
        int graph = 0;
        if (i < quantityCount && sink && sink->GetVariableGraph(i + 1, graph)) {
            plotted[i] = 1;
            AddSpecialFrequency(sink->GetGraphStart(graph), start, stop);
            AddSpecialFrequency(sink->GetGraphStop(graph), start, stop);
        }
    }
    std::sort(special, special + specialCount);
    specialCursor = 0;
}

void FrequencySweepState::AddSpecialFrequency(double x, double start, double stop) {
    if (!(start < x && x <= stop * 1.00001) || specialCount >= kMaxSpecial) return;
    for (int k = 0; k < specialCount; ++k)
        if (special[k] == x) return;
    special[specialCount++] = x;
}

void FrequencySweepState::AvoidFrequency(double avoided, double stepFactor) {
    if (0.9999 * avoided < frequency && frequency < 1.0001 * avoided) frequency /= std::sqrt(stepFactor);
}

void FrequencySweepState::NextFrequency(double start, double avoided, double stepFactor) {
    if (frequency == kNotSet) {
        frequency = start;
        AvoidFrequency(avoided, stepFactor);
        return;
    }
    frequency *= stepFactor;
    AvoidFrequency(avoided, stepFactor);
    if (specialCursor < specialCount && previousFrequency < special[specialCursor] &&
        special[specialCursor] <= frequency) {
        if (special[specialCursor] == avoided) {
            stopInterpolation = 1;
        } else {
            frequency = special[specialCursor];
            ++specialCursor;
        }
    }
}

void FrequencySweepState::SavePreviousStepValues() {
    previousSine = sine;
    previousSecondSine = secondSine;
    previousCosine = cosine;
    for (int k = 0; k < measuredCount; ++k) previousMeasured[k] = measured[k];
}

void FrequencySweepState::AdvancePhase(double h) {
    phase += h * angularFrequency;
    if (phase > kTwoPi) {
        phase -= kTwoPi;
        secondPhase = 2.0 * phase;
    } else {
        secondPhase += 2.0 * h * angularFrequency;
        if (secondPhase > kTwoPi) secondPhase -= kTwoPi;
    }
    sine = std::sin(phase);
    cosine = std::cos(phase);
}

void FrequencySweepState::AccumulateSums(double h) {
    const double w = angularFrequency;
    const double w2 = w * w;
    const double s0 = previousSine, s1 = sine, c0 = previousCosine, c1 = cosine;
    for (int k = 0; k < measuredCount; ++k) {
        const double x0 = previousMeasured[k];
        const double m = (measured[k] - x0) / h;
        sumSin[k] += (s1 - s0) * m / w2 + x0 * (c0 - c1) / w - m * h * c1 / w;
        sumCos[k] += m * h * s1 / w + x0 * (s1 - s0) / w + (c1 - c0) * m / w2;
    }
    secondSine = std::sin(secondPhase);
    const double d = (secondSine - previousSecondSine) / 4.0 / w;
    sumSinSq += h / 2.0 - d;
    sumCosSq += h / 2.0 + d;
}

void FrequencySweepState::ClearSums() {
    for (int k = 0; k < kMaxMeasured; ++k) sumSin[k] = sumCos[k] = 0.0;
    sumSinSq = sumCosSq = 0.0;
}

void FrequencySweepState::MeasureChannels() {
    for (int k = 0; k < measuredCount; ++k) {
        const double a = sumSinSq != 0.0 ? sumSin[k] / sumSinSq : 0.0;
        const double b = sumCosSq != 0.0 ? sumCos[k] / sumCosSq : 0.0;
        magnitude[k] = std::sqrt(a * a + b * b);
        phaseOf[k] = std::atan2(sumCos[k], sumSin[k]);
    }
}

double GainDb(double a, double b, double zero) { return b == 0.0 ? zero : 20.0 * std::log10(a / b); }

double ContinuePhase(double degrees, double previous) {
    if (degrees - previous > 180.0) return degrees - 360.0;
    if (degrees - previous < -180.0) return degrees + 360.0;
    return degrees;
}

double IntoPhaseWindow(double degrees, double upper, double lower) {
    // A window narrower than one turn cannot hold every phase: leave the value rather than loop.
    if (!(upper - lower >= 360.0 - 1e-9) || !std::isfinite(degrees)) return degrees;
    while (degrees > upper) degrees -= 360.0;
    while (degrees < lower) degrees += 360.0;
    return degrees;
}

void ConvergeQuantity(FrequencySweepState& st, int i, double newValue, bool isPhase, int32_t n, bool limitsHold,
                      int32_t* converged, int32_t* doubling) {
    const double previous = st.value[i];
    const double lastChange = st.change[i];
    double change = newValue - previous;
    bool unsettled = false;
    bool grew = false;
    if (isPhase) {
        if (change > 180.0) change -= 360.0;
        if (change < -180.0) change += 360.0;
        unsettled = std::fabs(lastChange) > 2.0 || std::fabs(change) > 1.0 || n < 2;
        grew = std::fabs(change) > std::fabs(lastChange);
    } else {
        change = std::fabs(change);
        unsettled = lastChange > 1.0 || change > 0.5 || n < 2;
        grew = change > lastChange;
    }
    if (unsettled && limitsHold) {
        *converged = 0;
        const int32_t direction = newValue > previous ? 1 : 0;
        const bool turned = direction != st.direction[i];
        if (n >= 2 && (turned || grew)) *doubling = 1;
        st.direction[i] = direction;
    }
    st.change[i] = change;
    st.value[i] = newValue;
}

int32_t PlotSweepPoint(FrequencySweepState& st, int32_t quantityCount, CGraphSampleSink* sink, uint32_t module,
                       int32_t interpolationCode, int32_t plotCode) {
    if (quantityCount < 1 || quantityCount > FrequencySweepState::kQuantities) {
        ReportMessage1(module, st.stopInterpolation ? interpolationCode : plotCode, FALSE);
        ReportMessageFirstBox(52208);
        return 0;
    }
    if (st.stopInterpolation) {
        st.stopInterpolation = 0;
        for (int i = 0; i < quantityCount && sink; ++i) {
            int graph = 0;
            if (!sink->GetVariableGraph(i + 1, graph)) continue;
            const double x = sink->GetGraphStop(graph);
            if (st.previousFrequency < x && x < st.frequency) {
                const double y = InterpolateLogX(st.previousFrequency, x, st.frequency, st.plottedValue[i], st.value[i]);
                sink->PlotSample(graph, x, y, 0.0);
            }
        }
    }
    for (int i = 0; i < quantityCount && sink; ++i) {
        int graph = 0;
        if (!sink->GetVariableGraph(i + 1, graph)) continue;
        st.plottedValue[i] = st.value[i];
        sink->PlotSample(graph, st.frequency, st.value[i], 0.0);
    }
    st.previousFrequency = st.frequency;
    return 1;
}

double RadiansToDegrees(double r) { return r * kDegrees; }

double ProjectedSwitchingPeriod(const AnalysisContext& ctx) {
    const double p = ctx.stepState.switchingPeriod;
    return p > 0.0 ? p : ctx.pSettings->switchingPeriodSetting;
}

bool SweepLimitsHold(const AnalysisContext& ctx, const FrequencySweepState& st, int32_t n) {
    return n < 20 && st.timeAtFrequency < 5000.0 * ProjectedSwitchingPeriod(ctx);
}

int32_t RunFrequencySweep(const SweepDriver& d) {
    AnalysisContext& ctx = *GetAnalysisContext();
    const AnalysisSettingsRec& set = *ctx.pSettings;
    StepStateRec& step = ctx.stepState;
    PostRunStatus(1000);
    if (QuitRequested(ctx)) {
        ReportMessage(53002, FALSE);
        return 0;
    }
    // Settings filled some other way than from a design could never end the sweep.
    const bool runnable = std::isfinite(set.sweepStartFrequency) && set.sweepStartFrequency > 0.0 &&
                          std::isfinite(set.sweepEndFrequency) && set.sweepEndFrequency > 0.0 &&
                          std::isfinite(set.sweepFactor) && set.sweepFactor > 1.0 &&
                          std::isfinite(set.stimulusAmplitude) && std::isfinite(set.avoidedFrequency);
    if (!runnable) {
        ReportMessageFirstBox(kMsgSweepNotRunnable);
        ctx.pParams->runStatus = 2;
        return 1;
    }
    // The loads' sines are silenced before the operating point is sought rather than after
    // it: the state found then repeats every switching period, as the windows assume, instead
    // of settling away from a point found with the sines playing.
    for (LoadNetworkInputRec* ld : ctx.pLoadNetworkInput)
        if (ld) ld->sourceSineAmplitude = ld->sourceFrequency = 0.0;
    int32_t start = 3;
    if (!set.skipInitializationLoop) start = RunInitializationLoop();
    if (start == 3) start = RunQuickOperatingPoint();
    if (start == 0 && !PrepareStepEngine()) start = 1;
    if (start == 1 || start == 2) {
        ReportMessage1(d.module, d.setupFailedCode + (start == 2 ? 1 : 0), FALSE);
        ctx.pParams->runStatus = 2;
        return start == 2 ? 0 : 1;
    }
    step.stepCount = 0;
    MakeInjectionTheOnlyAcDrive(ctx, d.clearDutyFlags);
    SweepScope scope{d, ctx};
    const double nominal = d.begin ? d.begin(ctx) : 0.0;
    scope.begun = true;
    // An AC line's ripple runs through every quantity the sweeps measure: each window holds
    // whole periods of it and of the injection, the line retuned from the design's frequency.
    LineSourceInputRec* line = ctx.pLineSourceInput;
    const bool fitLine = !d.window && line && LineRipples(*line);
    const double designLineFrequency = fitLine ? line->lineFrequency : 0.0;

    FrequencySweepState st;
    CGraphSampleSink* sink = ctx.pParams->pGraphSink;
    st.Init(set.sweepStartFrequency, set.sweepEndFrequency, set.stimulusAmplitude, d.measuredCount, d.quantityCount,
            sink);
    st.nominal = nominal;
    const double period = ProjectedSwitchingPeriod(ctx);
    g_lastPointCount = 0;
    g_lastStepCount = 0;
    int32_t converged = 1;
    int32_t n = 0;
    bool dutyWarned = false;
    double window = 0.0;
    do {
        if (converged) {
            WarnDutyExtremeOnce(ctx, &dutyWarned);
            st.NextFrequency(set.sweepStartFrequency, set.avoidedFrequency, set.sweepFactor);
            window = d.window  ? d.window(ctx, st.frequency, period)
                     : fitLine ? LineFittedWindow(*line, set, designLineFrequency, st.frequency, period)
                               : SweepWindowLength(st.frequency, period);
            converged = 0;
            n = 0;
            if (st.frequency == set.sweepStartFrequency) {
                // One injection period (or one window) with the sine running before the first
                // window measures; a retuned line settles to its new ripple over whole windows.
                double settle = 1.0 / st.frequency;
                if (d.settleWholeWindow || fitLine) {
                    settle = window;
                    while (settle < 100.0 * period) settle += window;
                }
                double phase = 0.0;
                SetInitialPhase(&phase, st.frequency, settle);
                const double w = 2.0 * std::numbers::pi * st.frequency;
                while (step.time < settle) {
                    if (QuitRequested(ctx)) return Stopped(ctx);
                    if (step.stepCount % 1000 == 0) PostRunStatus(999);
                    CheckStepLimits(step.stepCount == 0 ? 1 : 0);
                    const int32_t failed = SweepStep(ctx, [&](double h) {
                        phase += h * w;
                        d.inject(ctx, st.amplitude * std::sin(phase) + st.nominal);
                    });
                    if (failed) return StepFailed(d, ctx, d.settleCode, failed);
                    ++step.stepCount;
                    if (!DetermineTimeStepAfterStep()) return StepFailed(d, ctx, d.settleCode, 6);
                    step.LimitTimeStep(settle - step.time, 0, 0);
                }
                step.lastDriveEdgeTime -= step.time;
                step.time = 0.0;
                st.phase = st.secondPhase = st.secondSine = st.windowEnd = 0.0;
            }
            st.angularFrequency = st.frequency * 2.0 * std::numbers::pi;
        }
        if (n == 0) {
            st.timeAtFrequency = 0.0;
            st.windowLength = window;
        }
        st.windowEnd += st.windowLength;
        while (step.time < st.windowEnd) {
            if (QuitRequested(ctx)) return Stopped(ctx);
            if (step.stepCount % 1000 == 0) PostRunStatus(999);
            CheckStepLimits(step.stepCount == 0 ? 1 : 0);
            const int32_t failed = SweepStep(ctx, [&](double h) {
                st.SavePreviousStepValues();
                st.timeAtFrequency += h;
                st.AdvancePhase(h);
                d.inject(ctx, st.amplitude * st.sine + st.nominal);
            });
            if (failed) return StepFailed(d, ctx, d.stepCode, failed);
            d.read(ctx, st);
            st.AccumulateSums(step.inverseTimeStepTermA);
            if (set.loggingOn && CheckFloatingPointStatus()) {
                ReportMessage1(d.module, d.sumsCode, FALSE);
                if (d.unrecoverableFirst) ReportMessage(52148, TRUE);
                ReportMessageFirstBox(52207);
                if (!d.unrecoverableFirst) ReportMessage(52148, TRUE);
            }
            ++step.stepCount;
            if (!DetermineTimeStepAfterStep()) return StepFailed(d, ctx, d.afterStepCode - 5, 6);
            step.LimitTimeStep(st.windowEnd - step.time, 0, 0);
        }
        d.evaluate(ctx, st, n, &converged);
        ++n;
        if (converged) {
            WarnDutyExtremeOnce(ctx, &dutyWarned);
            PlotSweepPoint(st, d.quantityCount, sink, d.module, d.interpolationCode, d.plotCode);
            ++g_lastPointCount;
        }
    } while (st.frequency * 1.00001 < set.sweepEndFrequency || !converged);
    g_lastStepCount = step.stepCount;
    PostRunStatus(1000);
    return 1;
}

void InstallFrequencyDrivers() {
    SetAnalysisKindDriver(2, RunVoltageLoopAnalysis);
    SetAnalysisKindDriver(3, RunCurrentLoopAnalysis);
    SetAnalysisKindDriver(4, RunLineToOutputAnalysis);
    SetAnalysisKindDriver(5, RunAmplifierAnalysis);
}

int32_t LastSweepPointCount() { return g_lastPointCount; }
int64_t LastSweepStepCount() { return g_lastStepCount; }
