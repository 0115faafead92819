#include "analysis/frequency/AnalFSwp.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "analysis/context/AnalGraphSink.h"
#include "records/Utils.h"

namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;
constexpr double kDegrees = 180.0 / std::numbers::pi;

}  // namespace

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
