// The loop closed across the opto-isolator regulates on the same set point; the error
// amplifier settles where the opto chain, through its current transfer ratio, turns its
// output into the control voltage the set point needs.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <string>
#include <unistd.h>

#include "analysis/context/AnalContext.h"
#include "analysis/timedomain/AnalFigures.h"
#include "designs/AnalHeadless.h"
#include "circuit/Doc.h"
#include "designs/Designs.h"

namespace {

// The design's values (OptoLoopDesign.cpp, ClosedLoopDesign.cpp).
constexpr double kSetPoint = 10.0;  // the target (the feedback gain equals VRef)
constexpr double kDrive = 5.0, kRd = 1e3, kVf = 1.1, kRf = 5.0;
constexpr double kBias = 5.0, kCtr = 0.5, kRl = 2.2e3;

TEST(OptoLoop, RegulatesThroughTheCurrentTransferRatio) {
    std::string problem;
    std::unique_ptr<CPwrQuorraDoc> doc = OpenRegressionDesign("opto_loop", &problem);
    ASSERT_TRUE(doc) << problem;
    CRunFigures fig(0.0);
    const HeadlessRun run = RunDesignHeadless(*doc, 0.0, &fig, nullptr);
    ASSERT_EQ(run.ran, 1) << run.problem;

    EXPECT_NEAR(fig.OutputAverage(), kSetPoint, 0.005 * kSetPoint);
    // Settled, the collector current holds the control voltage Vc: iC = (Vb - Vc)/RL; the
    // diode carries iC/CTR, which the amplifier sinks: vEA = Vdrive - VF - (rF + Rd)·iC/CTR.
    // Vc itself is near 1.52 V (the closed-loop design's derivation), so vEA is near 0.72 V.
    const double vc = fig.ControlAverage();
    EXPECT_NEAR(vc, 1.523, 0.02 * 1.523);
    const double vea = kDrive - kVf - (kRf + kRd) * (kBias - vc) / kRl / kCtr;
    EXPECT_NEAR(fig.ErrorAmpAverage(), vea, 0.005 * vea);
}

// The opto-isolator's VRef plays its sine and its transient table in every arrangement (the
// op-amp inverters regulate to it; in the others it is a waveform of its own). Whatever the
// sine's phase when the recorded run starts, VRef less its DC value and the table's ramp
// swings between -A and +A over the run's two sine periods; a table that did not play would
// leave the residual reaching down to -A - 0.2 V, a sine that did not play would leave it flat.
TEST(OptoLoop, ReferenceSourcePlaysInEveryArrangement) {
    constexpr double kAmplitude = 0.05, kFrequency = 1e4;  // V, Hz
    constexpr double kRampFrom = 50e-6, kRampTo = 150e-6, kRampRise = 0.2;  // s, s, V
    const auto table = [&](double t) {
        return t <= kRampFrom ? 0.0 : t >= kRampTo ? kRampRise : kRampRise * (t - kRampFrom) / (kRampTo - kRampFrom);
    };
    for (int variant = 0; variant <= 5; ++variant) {
        SCOPED_TRACE(variant);
        std::string problem;
        std::unique_ptr<CPwrQuorraDoc> doc = OpenRegressionDesign("opto_loop", &problem);
        ASSERT_TRUE(doc) << problem;
        COptoIsolator& o = *doc->GetOptoIsolator();
        if (variant != 0) {
            o.SetTopology(variant);
            o.SetDefaults();
        }
        CCrntVoltSource& ref = o.GetVoltageSourceVRef();
        const double dc = ref.m_dDCMagnitude;
        ref.m_dACPeakMagnitude = kAmplitude;
        ref.m_dACFrequency = kFrequency;
        ref.m_Transient.DeleteAll();
        CObTimeMagnitude point;
        point.m_dTime = kRampFrom;
        point.m_dMagnitude = 0.0;
        ref.m_Transient.AddCopy(0, point);
        point.m_dTime = kRampTo;
        point.m_dMagnitude = kRampRise;
        ref.m_Transient.AddCopy(1, point);
        doc->CheckAllSections();
        doc->GetAnalysisConfig()->SetAnalysisKind(CAnalysisConfig::KIND_STEADY_STATE);
        doc->GetAnalysisConfig()->m_dTime = 2e-4;
        double low = 1e9, high = -1e9;
        const HeadlessRun run = RunDesignHeadless(*doc, 0.0, nullptr, nullptr, [&](const AnalysisContext& ctx) {
            if (ctx.stepState.settling) return;
            const double t = ctx.stepState.time;
            const double r = ctx.control.optoReferenceVoltage - dc - table(t);
            low = std::min(low, r);
            high = std::max(high, r);
        });
        ASSERT_EQ(run.ran, 1) << run.problem;
        EXPECT_NEAR(high, kAmplitude, 0.02 * kAmplitude);
        EXPECT_NEAR(low, -kAmplitude, 0.02 * kAmplitude);
    }
}

}  // namespace
