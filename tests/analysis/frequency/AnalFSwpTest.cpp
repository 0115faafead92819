// The sweep's measurement and bookkeeping: the exact Fourier sums on synthetic signals, the
// special-frequency list, the avoided frequency, convergence and the plotted points.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "analysis/context/AnalGraphSink.h"
#include "analysis/frequency/AnalFSwp.h"

namespace {

constexpr double kPi = std::numbers::pi;

// Steps a synthetic x(t) through the sums over `periods` whole injection periods, with steps
// that vary in length the way a switching run's do.
struct Synthetic {
    double f, gain, phaseDeg, dc, ripple, fs;
};

void Measure(const Synthetic& s, int periods, FrequencySweepState& st) {
    st.Init(1.0, 2.0, 1.0, 2, 0, nullptr);
    st.frequency = s.f;
    st.angularFrequency = 2.0 * kPi * s.f;
    auto x = [&](double t) {
        return s.dc + s.gain * std::sin(2.0 * kPi * s.f * t + s.phaseDeg * kPi / 180.0) +
               s.ripple * std::sin(2.0 * kPi * s.fs * t);
    };
    auto ref = [&](double t) { return std::sin(2.0 * kPi * s.f * t); };
    const double end = periods / s.f;
    const double base = 1.0 / s.fs / 50.0;
    double t = 0.0;
    st.measured[0] = ref(0.0);
    st.measured[1] = x(0.0);
    for (int k = 0; t < end; ++k) {
        double h = base * (k % 3 == 0 ? 0.37 : (k % 7 == 0 ? 1.6 : 1.0));
        if (t + h > end) h = end - t;
        st.SavePreviousStepValues();
        st.AdvancePhase(h);
        t += h;
        st.measured[0] = ref(t);
        st.measured[1] = x(t);
        st.AccumulateSums(h);
    }
    st.MeasureChannels();
}

TEST(FourierMeasurement, SyntheticSignalsGiveTheirGainAndPhase) {
    const Synthetic cases[] = {
        {100.0, 1.0, 0.0, 0.0, 0.0, 100e3},        // plain sine
        {1000.0, 2.5, 45.0, 12.0, 0.5, 100e3},     // DC offset and switching ripple
        {317.0, 0.01, -120.0, 5.0, 0.05, 200e3},   // small response, large ripple
        {20e3, 3.0, 170.0, -2.0, 1.0, 100e3},      // a fifth of the switching frequency
        {2000.0, 0.5, -179.0, 0.0, 0.2, 250e3},    // phase near the wrap
    };
    for (const Synthetic& s : cases) {
        FrequencySweepState st;
        // The smallest whole number of periods spanning 100 switching periods, as a window is.
        const int periods = std::max(1, static_cast<int>(std::ceil(100.0 * s.f / s.fs)));
        Measure(s, periods, st);
        EXPECT_NEAR(st.magnitude[0], 1.0, 1e-3) << s.f;
        EXPECT_NEAR(st.phaseOf[0] * 180.0 / kPi, 0.0, 0.1) << s.f;
        EXPECT_NEAR(st.magnitude[1] / st.magnitude[0], s.gain, 1e-3 * s.gain) << s.f;
        double dp = (st.phaseOf[1] - st.phaseOf[0]) * 180.0 / kPi - s.phaseDeg;
        dp = std::remainder(dp, 360.0);
        EXPECT_NEAR(dp, 0.0, 0.1) << s.f;
    }
}

TEST(FourierMeasurement, PhaseWrapsEveryTurnAndTheSecondPhaseFollows) {
    FrequencySweepState st;
    st.angularFrequency = 2.0 * kPi;  // 1 Hz
    for (int k = 0; k < 1000; ++k) {
        st.AdvancePhase(0.0123);
        ASSERT_GE(st.phase, 0.0);
        ASSERT_LE(st.phase, 2.0 * kPi);
        ASSERT_LE(st.secondPhase, 2.0 * kPi);
        EXPECT_NEAR(std::sin(st.secondPhase), std::sin(2.0 * st.phase), 1e-9);
    }
}

// A graph store that records what the sweep asks and plots.
class FakeSink : public CGraphSampleSink {
public:
    int graphOf[6] = {};
    double start[5] = {}, stop[5] = {};
    struct Sample {
        int graph;
        double x, y;
    };
    std::vector<Sample> samples;
    BOOL GetVariableGraph(int q, int& g) override {
        g = graphOf[q - 1];
        return g != 0;
    }
    double GetGraphStart(int g) override { return start[g]; }
    double GetGraphStop(int g) override { return stop[g]; }
    BOOL PlotSample(int g, double x, double y, double) override {
        samples.push_back({g, x, y});
        return TRUE;
    }
};

TEST(SweepFrequencies, SpecialFrequenciesAreLandedOnAndTheAvoidedOneRefused) {
    FakeSink sink;
    sink.graphOf[0] = 1;
    sink.graphOf[1] = 2;
    sink.graphOf[2] = 3;
    sink.start[1] = 150.0;                 // inside: landed on
    sink.stop[1] = 1000.0 * 1.000005;      // just above the stop: still added
    sink.start[2] = 100.0;                 // equal to the sweep start: not added
    sink.stop[2] = 150.0;                  // equal to another: once
    sink.start[3] = 50.0;                  // below: not added
    sink.stop[3] = 600.0;
    FrequencySweepState st;
    st.Init(100.0, 1000.0, 0.1, 1, 6, &sink);
    ASSERT_EQ(st.specialCount, 3);
    EXPECT_EQ(st.special[0], 150.0);
    EXPECT_EQ(st.special[1], 600.0);
    EXPECT_EQ(st.plotted[0] + st.plotted[1] + st.plotted[2] + st.plotted[3], 3);

    const double factor = std::pow(10.0, 1.0 / 5.0);
    std::vector<double> points;
    const double avoided = 600.0;
    while (true) {
        st.NextFrequency(100.0, avoided, factor);
        points.push_back(st.frequency);
        if (st.stopInterpolation) break;
        st.previousFrequency = st.frequency;
        if (st.frequency * 1.00001 >= 1000.0) break;
    }
    EXPECT_EQ(points[0], 100.0);
    EXPECT_EQ(points[1], 150.0);  // the special frequency instead of 158.5
    EXPECT_NEAR(points[2], 150.0 * factor, 1e-9);
    // 600 Hz is avoided: the list stops there and the step goes on past it.
    EXPECT_EQ(st.stopInterpolation, 1);
    EXPECT_GT(points.back(), 600.0);
    EXPECT_EQ(st.specialCursor, 1);
}

TEST(SweepFrequencies, AStartOnTheAvoidedFrequencyMovesHalfAStepDown) {
    FrequencySweepState st;
    st.Init(1000.0, 2000.0, 0.1, 1, 0, nullptr);
    const double factor = 10.0;
    st.NextFrequency(1000.0, 1000.05, factor);
    EXPECT_NEAR(st.frequency, 1000.0 / std::sqrt(10.0), 1e-9);
    // Outside 0.01 %: kept.
    st.Init(1000.0, 2000.0, 0.1, 1, 0, nullptr);
    st.NextFrequency(1000.0, 1000.2, factor);
    EXPECT_EQ(st.frequency, 1000.0);
}

TEST(SweepConvergence, GainSettlesFromTheThirdWindowAndOscillationDoublesTheWindow) {
    struct Case {
        std::vector<double> values;  // one per window
        int convergedAt;             // window index n that converges, -1 none
        bool doubled;
    };
    const Case cases[] = {
        {{-10.0, -10.1, -10.1}, 2, false},
        {{-10.0, -8.0, -10.0, -8.0, -10.0}, -1, true},   // oscillates
    };
    for (const Case& c : cases) {
        FrequencySweepState st;
        int convergedAt = -1;
        bool doubled = false;
        for (int n = 0; n < static_cast<int>(c.values.size()); ++n) {
            int32_t converged = n >= 2 ? 1 : 0, doubling = 0;
            ConvergeQuantity(st, 0, c.values[size_t(n)], false, n, n < 20, &converged, &doubling);
            doubled = doubled || doubling;
            if (converged && convergedAt < 0) convergedAt = n;
        }
        EXPECT_EQ(convergedAt, c.convergedAt);
        EXPECT_EQ(doubled, c.doubled);
    }
    // Past the growth limits the point is taken whatever it does.
    FrequencySweepState st;
    int32_t converged = 1, doubling = 0;
    ConvergeQuantity(st, 0, 50.0, false, 20, false, &converged, &doubling);
    EXPECT_EQ(converged, 1);
}

TEST(SweepConvergence, PhaseChangeAcrossTheWrapCountsAsSmall) {
    FrequencySweepState st;
    st.value[1] = 179.8;
    st.change[1] = 0.3;
    int32_t converged = 1, doubling = 0;
    ConvergeQuantity(st, 1, -179.9, true, 3, true, &converged, &doubling);
    EXPECT_EQ(converged, 1);
    EXPECT_NEAR(st.change[1], 0.3, 1e-9);
}

TEST(SweepPlot, ZeroDenominatorAndPhaseWindow) {
    EXPECT_EQ(GainDb(1.0, 0.0, 1000.0), 1000.0);
    EXPECT_EQ(GainDb(1.0, 0.0, 0.0), 0.0);
    EXPECT_NEAR(GainDb(10.0, 1.0, 0.0), 20.0, 1e-12);
    EXPECT_EQ(IntoPhaseWindow(-200.0, 0.0, -360.0), -200.0);
    EXPECT_EQ(IntoPhaseWindow(200.0, 0.0, -360.0), -160.0);
    EXPECT_EQ(IntoPhaseWindow(-700.0, 180.0, -180.0), 20.0);
}

TEST(SweepPlot, AnAvoidedGraphStopIsPlottedByInterpolation) {
    FakeSink sink;
    sink.graphOf[0] = 1;
    sink.stop[1] = 1000.0;
    FrequencySweepState st;
    st.Init(100.0, 2000.0, 0.1, 1, 1, &sink);
    st.previousFrequency = 100.0;
    st.plottedValue[0] = 0.0;
    st.frequency = 10000.0;
    st.value[0] = -40.0;
    st.stopInterpolation = 1;
    ASSERT_EQ(PlotSweepPoint(st, 1, &sink, 56012, 5500, 5501), 1);
    ASSERT_EQ(sink.samples.size(), 2u);
    EXPECT_EQ(sink.samples[0].x, 1000.0);
    EXPECT_NEAR(sink.samples[0].y, -20.0, 1e-9);  // half way on the log scale
    EXPECT_EQ(sink.samples[1].x, 10000.0);
    EXPECT_EQ(st.previousFrequency, 10000.0);
    EXPECT_EQ(st.plottedValue[0], -40.0);
}

}  // namespace
