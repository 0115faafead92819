// A steady-state run of a regression design with losses set on it, measuring a core-loss
// shunt's power (and two further quantities) over the run's second half, and the check that a
// winding's effective resistance takes its current's AC/DC split.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "analysis/context/AnalContext.h"
#include "circuit/AnalCfg.h"
#include "circuit/Doc.h"
#include "designs/AnalHeadless.h"
#include "designs/Designs.h"

// A quantity at one step; the first each run measures is a shunt's power (W).
using Quantity = std::function<double(const AnalysisContext&)>;

struct ShuntRun {
    HeadlessRun run;
    MagneticLossStore loss;
    double shuntPower = 0.0;  // mean over the run's second half (W)
    double meanA = 0.0, meanB = 0.0;  // the caller's two further quantities, means over the second half
};

inline ShuntRun RunShunted(const char* design, const std::function<void(CPwrQuorraDoc&)>& set, const Quantity& power,
                    const Quantity& a = nullptr, const Quantity& b = nullptr, double cycles = 200) {
    ShuntRun r;
    std::string problem;
    auto doc = OpenRegressionDesign(design, &problem);
    if (!doc) {
        r.run.problem = problem;
        return r;
    }
    set(*doc);
    doc->GetAnalysisConfig()->SetAnalysisKind(CAnalysisConfig::KIND_STEADY_STATE);
    doc->CheckAllSections();
    double span = 0.0, shunt = 0.0, sumA = 0.0, sumB = 0.0, start = -1.0;
    r.run = RunDesignHeadless(*doc, cycles, nullptr, nullptr, [&](const AnalysisContext& c) {
        r.loss = c.engine.loss;
        if (start < 0.0) start = cycles * c.stepState.switchingPeriod / 2.0;
        if (c.stepState.time < start) return;
        const double h = c.stepState.inverseTimeStepTermA;
        span += h;
        shunt += power(c) * h;
        if (a) sumA += a(c) * h;
        if (b) sumB += b(c) * h;
    });
    if (span > 0.0) {
        r.shuntPower = shunt / span;
        r.meanA = sumA / span;
        r.meanB = sumB / span;
    }
    return r;
}

// The effective resistance's rise over the DC one is the ripple's share of the mean square
// current times the AC resistance's excess: Reff - Rdc = σ²/b·(Rac - Rdc), σ² = b - m².
inline void ExpectAcDcSplit(const WindingLoss& w, double dc, double ac) {
    ASSERT_GT(w.periods, 10);
    ASSERT_GT(w.meanSquareCurrent, 0.0);
    const double share = (w.meanSquareCurrent - w.meanCurrent * w.meanCurrent) / w.meanSquareCurrent;
    EXPECT_GT(share, 0.0);
    EXPECT_NEAR(w.windingResistance - dc, share * (ac - dc), 1e-9 * ac);
}
