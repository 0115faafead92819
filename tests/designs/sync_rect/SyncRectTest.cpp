// Transistor rectifiers end to end: the first configuration with both rectifiers synchronous,
// run as a turn-on transient until the output has settled, its output against the closed form
// with the channels' drops in place of the diodes'.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "analysis/timedomain/AnalFigures.h"
#include "designs/AnalHeadless.h"
#include "circuit/Doc.h"
#include "circuit/SecSec.h"
#include "designs/Designs.h"

namespace {

#ifdef PQ_SANITIZE
constexpr double kCycles = 1500;
#else
constexpr double kCycles = 2000;
#endif

// The first configuration's values (FirstConfigDesign.cpp) with the two channels.
constexpr double kVin = 48.0, kRline = 0.1, kDuty = 0.25, kPeriod = 1e-5;
constexpr double kLp = 200e-6, kLs = 200e-6, kLeakage = 2e-6;
constexpr double kRpri = 2e-3 + 1e-6;             // both primary switches and the sense resistor
constexpr double kL = 100e-6 + 1e-10, kRchoke = 2e-6, kR = 5.0;
constexpr double kRon1 = 0.02, kRon2 = 0.03;      // channels of rectifiers 1 and 2
constexpr double kVf2 = 0.7, kRd2 = 0.01;         // the diode beside rectifier 2

// Steady state at the fixed duty, continuous choke current; fixed point over Vo. The forward
// converter's closed form with each conducting diode replaced by its driven channel:
//   IL   = Vo/R;  Vbulk = Vin - Rline·Deff·k·IL;  Im = Vp·D·T/Lp
//   Vp   = Vbulk - (k·IL + Im/2)·Rpri;  E = k·Vp·sqrt(Ls/Lp)
//   Von  = (E - Ron1·IL)·L/(L + Llk) + Vo·Llk/(L + Llk)      rectifier 1's channel, no Vf
//   Voff = -Ron2·IL                                         rectifier 2's channel, no Vf
//   dIL  = (Von - Vo)·Deff·T/L
// At the on-edge rectifier 2's channel is let go and its diode carries the choke current while
// the leakage Llk = Ls(1 - k²) takes it over into rectifier 1's channel; the choke node sits at
// -(Vf2 + Rd2·i2), so the leakage sees E + Vf2 + Rd2·i2 - Ron1·i1, about E + Vf2 - Ron1·IL:
//   tc   = Llk·(IL - dIL/2)/(E + Vf2 - Ron1·IL),  Deff = D - tc/T
//   Vo   = Deff·Von + (1 - Deff)·Voff - Rchoke·IL
// (The off-edge commutation runs against the reset voltage, some 50 V: a few ns.)
double SyncOutput() {
    const double k = std::sqrt(1.0 - kLeakage / kLs);
    double vo = 11.0, deff = kDuty, vp = kVin;
    for (int pass = 0; pass < 60; ++pass) {
        const double il = vo / kR;
        const double vbulk = kVin - kRline * deff * k * il;
        const double im = vp * kDuty * kPeriod / kLp;
        vp = vbulk - (k * il + im / 2.0) * kRpri;
        const double e = k * vp * std::sqrt(kLs / kLp);
        const double von = (e - kRon1 * il) * kL / (kL + kLeakage) + vo * kLeakage / (kL + kLeakage);
        const double voff = -kRon2 * il;
        const double dil = (von - vo) * deff * kPeriod / kL;
        const double tc = kLeakage * (il - dil / 2.0) / (e + kVf2 + kRd2 * il - kRon1 * il);
        deff = kDuty - tc / kPeriod;
        vo = deff * von + (1.0 - deff) * voff - kRchoke * il;
    }
    return vo;
}

TEST(SyncRectifier, OutputSettlesOnTheChannelDropClosedForm) {
    std::string problem;
    std::unique_ptr<CPwrQuorraDoc> doc = OpenRegressionDesign("sync_rect", &problem);
    ASSERT_TRUE(doc) << problem;
    CRunFigures fig(0.0);
    const HeadlessRun run = RunDesignHeadless(*doc, kCycles, &fig, nullptr);
    ASSERT_EQ(run.ran, 1) << run.problem;
    const double expected = SyncOutput();
    EXPECT_NEAR(fig.OutputAverage(), expected, 0.01 * expected);
    // The diode version of the same design sits a diode drop lower: the channels are in use.
    EXPECT_GT(fig.OutputAverage(), 10.7 + 0.4);
    EXPECT_NEAR(fig.Duty(), kDuty, 0.002);
}

// The transistors block what the diodes would: rectifier 1 the reset swing of the winding,
// rectifier 2 its on-time voltage E, both near the 48 V input. Rated below that they are
// reported, once each, with their own text; rated above it nothing is.
TEST(SyncRectifier, TransistorsRatedBelowTheirBlockingVoltageAreReported) {
    struct Case {
        double rating1, rating2;
        std::vector<std::string> parts;
    };
    const Case cases[] = {
        {30.0, 1e4, {"Break Down Volt Problem with output synchronous rectifier, D.1, output 1."}},
        {1e4, 30.0, {"Break Down Volt Problem with output synchronous rectifier, D.2, output 1."}},
        {1e4, 1e4, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.rating1) + " " + std::to_string(c.rating2));
        CPwrQuorraDoc doc;
        doc.OnNewDocument();
        BuildSyncRectifier(doc);
        doc.GetSecondarySection1()->GetTransistorRectifier1().m_dBreakdownVoltage = c.rating1;
        doc.GetSecondarySection1()->GetTransistorRectifier2().m_dBreakdownVoltage = c.rating2;
        const HeadlessRun run = RunDesignHeadless(doc, 100, nullptr, nullptr);
        ASSERT_EQ(run.ran, 1) << run.problem;
        ASSERT_EQ(run.messages.size(), c.parts.size());
        for (size_t i = 0; i < c.parts.size(); ++i) EXPECT_EQ(run.messages[i].substr(0, c.parts[i].size()), c.parts[i]);
    }
}

}  // namespace
