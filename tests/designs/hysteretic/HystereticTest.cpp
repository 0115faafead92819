// Hysteretic current control: the choke current swings through the comparator's window, its
// period follows from the window and the choke's slopes, and the outer loop holds the output
// on its set point. A design whose period is far from the target is told so, once.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>

#include "analysis/context/AnalContext.h"
#include "analysis/timedomain/AnalFigures.h"
#include "designs/AnalHeadless.h"
#include "circuit/Doc.h"
#include "designs/Designs.h"
#include "designs/ForwardClosedForm.h"
#include "resources/StringTable.h"

namespace {

// The drive's rising edges in the figures' window: their mean spacing.
struct EdgeTimes {
    double first = -1.0, last = -1.0;
    int count = 0;
    double Period() const { return count > 1 ? (last - first) / (count - 1) : 0.0; }
};

struct Outcome {
    HeadlessRun run;
    CRunFigures fig{0.0};
    EdgeTimes edges;
};

// The design with its window's lower resistor R9.
Outcome RunHysteretic(double r9) {
    Outcome o;
    std::string problem;
    std::unique_ptr<CPwrQuorraDoc> doc = OpenRegressionDesign("hysteretic", &problem);
    if (!doc) {
        o.run.problem = problem;
        return o;
    }
    doc->GetControlSection()->GetResistor9().m_dResistance = r9;
    EdgeTimes* edges = &o.edges;
    o.run = RunDesignHeadless(*doc, 0.0, &o.fig, nullptr, [edges](const AnalysisContext& ctx) {
        const StepStateRec& step = ctx.stepState;
        if (step.time < FigureWindowStart(ctx.pSettings->endTime) || !step.driveOn || step.driveOnPrevious) return;
        if (edges->count == 0) edges->first = step.time;
        edges->last = step.time;
        ++edges->count;
    });
    return o;
}

int WarningsOf(const HeadlessRun& run) {
    const std::string text = res::FindString(53026);
    return static_cast<int>(std::count(run.messages.begin(), run.messages.end(), text));
}

// The closed form of the hysteretic period. The choke current rises at a while the forward
// rectifier conducts and falls at b while the freewheel one does (1:1 windings, coupling
// k = sqrt(0.99), leakage Llk = 2 uH, choke L = 100 uH with 1 mohm of winding and 1 mohm of
// sense, rectifiers Vf = 0.7 V and rd = 10 mohm, Vbulk the measured bulk):
//   E = k·Vbulk                                  (the primary path's 2 mohm drop is 0.01 %)
//   a = (E - Vf - (rd + Rl)·IL - Vo)/(L + Llk),   b = (Vo + Vf + (rd + Rl)·IL)/L
// The sense (G = 0.1 V/A) swings through the window band = VL·R9/(R10 + R9) and past it: the
// sense filter reaches each edge tau = R7·C6 late; the switch opens t_off = 30 ns after the
// upper edge (turn-off delay, fall time, comparator delay) and closes t_on = 30 ns after the
// lower one, and then the forward rectifier takes over the choke current through the leakage
// in tc = Llk·Ivalley/(E - 2·Vf - rd·IL), the choke falling on meanwhile:
//   dI = band/G + (a + b)·tau + a·t_off + b·(t_on + tc),   T = dI·(1/a + 1/b)
designs::HystereticWindow ClosedForm(double r9, double vo, double il, double vbulk) {
    return designs::HystereticWindowClosedForm(0.1, 5.0 * r9 / (1e5 + r9), 100.0 * 100e-12, vo, il, vbulk);
}

TEST(Hysteretic, SwitchesWithTheWindowAndRegulates) {
    const Outcome o = RunHysteretic(1.6e3);
    ASSERT_EQ(o.run.ran, 1) << o.run.problem;
    // Set point: the target, 10 V (the feedback gain equals VRef).
    EXPECT_NEAR(o.fig.OutputAverage(), 10.0, 0.005 * 10.0);
    const designs::HystereticWindow cf =
        ClosedForm(1.6e3, o.fig.OutputAverage(), o.fig.ChokeAverage(), o.fig.BulkAverage());
    EXPECT_NEAR(o.fig.ChokePeakToPeak(), cf.ripple, 0.01 * cf.ripple);
    ASSERT_GT(o.edges.count, 50);
    EXPECT_NEAR(o.edges.Period(), cf.period, 0.01 * cf.period);
    // Near the 10 us target: no warning.
    EXPECT_EQ(WarningsOf(o.run), 0);
}

TEST(Hysteretic, APeriodFarFromTheTargetWarnsOncePerRun) {
    // R9 = 4.7 kohm opens the window to 5 V·4.7/104.7 = 224 mV: about three times the period.
    const Outcome o = RunHysteretic(4.7e3);
    ASSERT_EQ(o.run.ran, 1) << o.run.problem;
    const designs::HystereticWindow cf =
        ClosedForm(4.7e3, o.fig.OutputAverage(), o.fig.ChokeAverage(), o.fig.BulkAverage());
    EXPECT_NEAR(o.edges.Period(), cf.period, 0.01 * cf.period);
    EXPECT_GT(cf.period, 2.0 * 1e-5);
    EXPECT_EQ(WarningsOf(o.run), 1);
}

}  // namespace
