// The current transformer's magnetising droop against the continuous circuit.
#include <gtest/gtest.h>

#include <cmath>

#include "analysis/context/AnalContext.h"
#include "designs/AnalHeadless.h"
#include "circuit/Doc.h"
#include "designs/Designs.h"

namespace {

constexpr double kCycles = 60;

}  // namespace

// While the sense rectifier conducts, the magnetising inductance Lm sits across the secondary
// loop seen from the primary, n²·R (AnalMPri.h), so the magnetising current follows
//     dIm/dt = (I - Im)/τ,   τ = Lm/(n²·R)
// from 0 at each turn-on (the core resets while the rectifier blocks). On each straight
// segment of the switch current, I = a + b·u, exactly
//     Im(u) = a - b·τ + b·u + (Im0 - a + b·τ)·exp(-u/τ),
// which the test integrates over the run's own switch current. The sensed current n·(I - Im)
// at the end of the last on-time falls below the reflected n·I by n·Im; here τ = 5 nH /
// (1e-4 · 10.012 ohm) = 5 us against the 2.5 us on-time: 1 - exp(-0.5) = 39 % of a flat
// current, about a fifth of this one, which rises from the choke's valley. The engine's step
// takes Im from backward Euler at up to T/100 = 0.1 us: within 3 % of that droop.
struct Droop {
    double engine = 0.0, continuous = 0.0, reflected = 0.0;
    int64_t steps = 0;
};

// The run's droop of the sensed current at the end of its last on-time, and that of the
// continuous magnetising branch driven by the run's own switch current.
Droop RunDroop(double largeFactor, double smallFactor) {
    CPwrQuorraDoc doc;
    doc.OnNewDocument();
    BuildSenseDroop(doc);
    CUSData& us = *doc.GetUSData();
    us.m_dLargeStepFactor = largeFactor;
    us.m_dSmallStepFactor = smallFactor;
    Droop result;
    double n = 0.0, tau = 0.0, rs = 0.0;
    double im = 0.0, iPrev = 0.0, tPrev = 0.0;  // the continuous magnetising current
    double lastI = 0.0, lastSensed = 0.0, lastIm = 0.0;
    int32_t onSteps = 0;
    bool wasOn = false;
    const HeadlessRun run = RunDesignHeadless(doc, kCycles, nullptr, nullptr, [&](const AnalysisContext& c) {
        const PrimaryInputRec& pi = *c.pPrimaryInput;
        n = pi.senseXfmrPrimaryTurnsCount / pi.senseXfmrSecondaryTurnsCount;
        rs = pi.senseResistance;
        tau = c.primary.senseXfmrInductance / (n * n * (rs + pi.senseXfmrSecondaryResistance + pi.senseSeriesResistance));
        const bool on = c.engine.senseTransformerConducting != 0;
        const double i = c.primary.switch1Current, t = c.stepState.time;
        if (on && !wasOn) {
            im = 0.0;
            iPrev = i;  // the current steps up with the turn-on; the segment starts there
            tPrev = t - 1.0 / c.stepState.inverseTimeStep;
            onSteps = 0;
        }
        if (on) {
            const double u = t - tPrev, b = (i - iPrev) / u, a = iPrev;
            im = a - b * tau + b * u + (im - a + b * tau) * std::exp(-u / tau);
            lastI = i;
            lastSensed = c.primary.currentSenseResistorVoltage / rs;
            lastIm = im;
            ++onSteps;
        }
        iPrev = i;
        tPrev = t;
        wasOn = on;
    });
    EXPECT_EQ(run.ran, 1) << run.problem;
    EXPECT_GT(onSteps, 5);
    result.engine = n * lastI - lastSensed;
    result.continuous = n * lastIm;
    result.reflected = n * lastI;
    result.steps = run.steps;
    return result;
}

TEST(SenseDroop, TheSensedCurrentDroopsAsTheMagnetisingBranchSays) {
    const Droop d = RunDroop(0.9, 0.98);
    EXPECT_GT(d.continuous, 0.15 * d.reflected);  // a droop of about a fifth
    EXPECT_NEAR(d.engine, d.continuous, 0.03 * d.continuous);
}

// The sense transformer's step rule takes the user's step attenuation: factors of 0.5 take
// shorter steps through the on-time than the usual 0.9 and 0.98, and the droop comes closer
// to the continuous one (from 2.7 % to 2.2 % above it).
TEST(SenseDroop, LowerStepAttenuationMovesTheDroopTowardTheContinuousOne) {
    const Droop usual = RunDroop(0.9, 0.98), fine = RunDroop(0.5, 0.5);
    EXPECT_GT(fine.steps, usual.steps);
    EXPECT_LT(std::fabs(fine.engine - fine.continuous), 0.9 * std::fabs(usual.engine - usual.continuous));
}
