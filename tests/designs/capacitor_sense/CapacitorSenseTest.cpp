// The output capacitor's current sensed through its current sense transformer, end to end:
// the switching frequency's component of the output, of the capacitor's current and of the
// sensed current against the filter's and the transformer's closed forms.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <memory>
#include <numbers>
#include <string>

#include "analysis/context/AnalContext.h"
#include "analysis/timedomain/AnalFigures.h"
#include "designs/AnalHeadless.h"
#include "circuit/Doc.h"
#include "designs/Designs.h"

namespace {

using C = std::complex<double>;

constexpr double kCycles = 1000;
constexpr double kPeriod = 1e-5;  // 100 kHz

// Each quantity's component at the switching frequency over the window (its step value held
// over the step, integrated exactly), and the choke current's extremes.
class Harmonics {
public:
    explicit Harmonics(double windowStart) : from_(windowStart) {}
    void Observe(const AnalysisContext& ctx) {
        const double h = ctx.stepState.inverseTimeStepTermA, t = ctx.stepState.time;
        const double a = std::max(t - h, from_);
        if (t <= from_) return;
        const double w = 2.0 * std::numbers::pi / kPeriod;
        // integral of exp(-j w t) over [a, t]
        const C k = (std::exp(C(0.0, -w * t)) - std::exp(C(0.0, -w * a))) / C(0.0, -w);
        const OutputFilterStateRec& f = ctx.outputFilter[0];
        choke_ += ctx.outputChoke[0].chokeCurrent * k;
        output_ += f.outputVoltage * k;
        capacitor_ += f.csValue1 * k;
        sensed_ += f.senseXfmrSecondaryCurrent * k;
        senseOutput_ += f.currentSenseOutput * k;
        span_ += t - a;
        chokeMin_ = std::min(chokeMin_, ctx.outputChoke[0].chokeCurrent);
        chokeMax_ = std::max(chokeMax_, ctx.outputChoke[0].chokeCurrent);
        if (ctx.stepState.driveOn) onTime_ += t - a;
    }
    // Phasors (amplitude and phase of the component).
    C Choke() const { return 2.0 * choke_ / span_; }
    C Output() const { return 2.0 * output_ / span_; }
    C Capacitor() const { return 2.0 * capacitor_ / span_; }
    C Sensed() const { return 2.0 * sensed_ / span_; }
    C SenseOutput() const { return 2.0 * senseOutput_ / span_; }
    double ChokeRipple() const { return chokeMax_ - chokeMin_; }
    double Duty() const { return onTime_ / span_; }

private:
    double from_;
    C choke_{}, output_{}, capacitor_{}, sensed_{}, senseOutput_{};
    double span_ = 0.0, onTime_ = 0.0;
    double chokeMin_ = 1e300, chokeMax_ = -1e300;
};

// The sense transformer and its network are linear while the diode conducts, and in the
// steady state it conducts the whole period but for an instant: the secondary then carries
// (Ip - Im)·M/Ls, with the magnetising current Im resting near the capacitor current's
// minimum, so the switching frequency's components follow the phasor forms at w = 2·pi/T:
//   Znode  = Rcs || Rb1 || (Rb2 + 1/(jwCb))                            the sense node
//   Zs     = jwLs + Rs + Rd + Znode                                    the secondary loop
//   Zp     = Rp + jwLp + (wM)²/Zs                                      the primary as the branch sees it
//   Zb     = ESR + jw·ESL + 1/(jwC) + Zp                               the sensed branch
//   Zl     = Rload + jw·ESLload
//   Vo     = IL·(Zb || Zl),  Ic = IL·Zl/(Zb + Zl),  Is = Ic·jwM/Zs,  Vsense = Is·Znode/(1 + jwCb·Rb2)
// The choke current is the forward converter's triangle of peak-to-peak dI rising for the
// duty D of the period: its component has the amplitude
//   |IL| = dI·sin(pi·D)/(pi²·D·(1 - D)).
// Backward Euler at steps of at most T/100 adds about h/(2C) = 0.5 mohm to the capacitor and
// w²·L·h/2 to each inductance's reactance: well under the tolerances.
struct Expected {
    C zb, zl, zs, znode, transfer;
};

// With damping (variant 3) Capacitor Damp 1 of 220 uF behind Resistor Damp 1 of 0.3 ohm
// stands beside Capacitor Out 1 above the primary: Zb = (Zc || Zd) + Zp.
Expected ClosedForm(bool damped) {
    const double w = 2.0 * std::numbers::pi / kPeriod;
    const C j(0.0, 1.0);
    const double lp = 1e-6, ls = 10e-3, k = std::sqrt(0.99), m = k * std::sqrt(lp * ls);
    // The windings' resistances are their effective ones (DC 1 mohm and 0.1 ohm, the preset's
    // 1 ohm AC on each): the primary carries the capacitor's current, whose mean is 0 in the
    // steady state, so all of it is ripple and sees the AC resistance. The secondary's lies
    // between its DC and AC ones by its current's ripple share; against w·Ls = 6.3 kohm in Zs
    // either moves the forms by below 1e-4.
    const double rp = 1.0, rs = 1.0, rd = 0.01, rcs = 1.0, rb1 = 10e3, rb2 = 1e3, cb = 100e-12;
    Expected e;
    const C bias2 = rb2 + 1.0 / (j * w * cb);
    e.znode = 1.0 / (1.0 / rcs + 1.0 / rb1 + 1.0 / bias2);
    e.zs = j * w * ls + rs + rd + e.znode;
    const C zp = rp + j * w * lp + (w * m) * (w * m) / e.zs;
    C zc = 0.01 + j * w * 1e-9 + 1.0 / (j * w * 100e-6);
    if (damped) {
        const C zd = 0.3 + 1e-6 + j * w * 2e-10 + 1.0 / (j * w * 220e-6);
        zc = zc * zd / (zc + zd);
    }
    e.zb = zc + zp;
    e.zl = 5.0 + j * w * 1e-10;
    e.transfer = j * w * m / e.zs;
    return e;
}

class CapacitorSense : public ::testing::TestWithParam<bool> {};

TEST_P(CapacitorSense, RippleAndSensedCurrentFollowTheClosedForms) {
    const bool damped = GetParam();
    std::string problem;
    std::unique_ptr<CPwrQuorraDoc> doc = OpenRegressionDesign("capacitor_sense", &problem);
    ASSERT_TRUE(doc) << problem;
    if (damped) {
        C1StgOutputFilter& f1 = *doc->Get1StgOutputFilter1();
        f1.SetTopology(3);
        f1.GetCapacitorDamp1().m_dCapacitance = 220e-6;
        f1.GetResistorDamp1().m_dResistance = 0.3;
        doc->CheckAllSections();
    }
    Harmonics hx(FigureWindowStart(kCycles * kPeriod));
    CRunFigures fig(FigureWindowStart(kCycles * kPeriod));
    const HeadlessRun run =
        RunDesignHeadless(*doc, kCycles, &fig, nullptr, [&hx](const AnalysisContext& ctx) { hx.Observe(ctx); });
    ASSERT_EQ(run.ran, 1) << run.problem;
    const Expected e = ClosedForm(damped);
    const double d = hx.Duty(), di = hx.ChokeRipple();
    const double pi = std::numbers::pi;
    const double il = di * std::sin(pi * d) / (pi * pi * d * (1.0 - d));
    EXPECT_NEAR(std::abs(hx.Choke()), il, 0.02 * il);
    const double vo = std::abs(hx.Choke() * e.zb * e.zl / (e.zb + e.zl));
    EXPECT_NEAR(std::abs(hx.Output()), vo, 0.05 * vo);
    const double ic = std::abs(hx.Choke() * e.zl / (e.zb + e.zl));
    EXPECT_NEAR(std::abs(hx.Capacitor()), ic, 0.02 * ic);
    const double is = std::abs(hx.Capacitor() * e.transfer);
    EXPECT_NEAR(std::abs(hx.Sensed()), is, 0.02 * is);
    const double vs = std::abs(hx.Sensed() * e.znode / (1.0 + C(0.0, 2.0 * pi / kPeriod * 100e-12 * 1e3)));
    EXPECT_NEAR(std::abs(hx.SenseOutput()), vs, 0.02 * vs);
}

INSTANTIATE_TEST_SUITE_P(FirstStage, CapacitorSense, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return info.param ? std::string("WithDamping") : std::string("SingleCapacitor");
                         });

}  // namespace

namespace {

// Peak current control reading the capacitor's sensed current instead of the primary's (the
// peak_current design with this first stage, Resistor Cap Sense raised to 50 ohm, Capacitor Bias
// cut to 10 pF, the current feedback network weighting output 1 by 100 %): the sensed current
// rises from about 0 at each turn-on with the choke current, so each pulse ends when the sense
// output, (IL - ILmin)·M/Ls through Rcs || Rb1 = 49.75 ohm, plus the bias 1 V·50/(10 k + 50)
// = 5 mV, reaches the control voltage Vc, and the voltage loop holds the output on its 10 V set
// point through it. The sense output peaks above Vc by its rise over the lags: Resistor Bias 2
// into Capacitor Bias (10 ns), the ramp filter R7·C6 (10 ns) and the 30 ns turn-off delay,
// rising at the capacitor's share of the choke's up-slope dI/(D·T) times M/Ls·49.75 ohm. Over
// the tens of nanoseconds of the lags the capacitor's branch is resistive (1/(w·C) at the
// ramp's harmonics far below its resistances): the sense primary's effective 1 ohm (the
// preset's AC resistance; the capacitor current's mean is 0) and the 10 mohm ESR, against the
// load's R, take the share R/(R + 1.01 ohm).
TEST(CapacitorSense, PeakCurrentControlRegulatesThroughTheSensedCapacitorCurrent) {
    std::string problem;
    std::unique_ptr<CPwrQuorraDoc> doc = OpenRegressionDesign("peak_current", &problem);
    ASSERT_TRUE(doc) << problem;
    {
        CPwrQuorraDoc sensed;
        sensed.OnNewDocument();
        BuildCapacitorSense(sensed);
        *doc->Get1StgOutputFilter1() = *sensed.Get1StgOutputFilter1();
    }
    doc->Get1StgOutputFilter1()->GetResistorCapSense().m_dResistance = 50.0;
    doc->Get1StgOutputFilter1()->GetCapacitorBias().m_dCapacitance = 10e-12;
    doc->GetControlSection()->GetFeedbackCurrentSourceVIS().m_iSensedCurrent = CCrntSensSource::SENSE_OUTPUT_CAPACITOR;
    CCurrentFeedbackNetwork& cfn = *doc->GetCurrentFeedbackNetwork();
    cfn.m_bOutputEnable[0] = TRUE;
    cfn.m_dOutputWeight[0] = 100.0;
    doc->CheckAllSections();
    const double from = FigureWindowStart(0.03);
    CRunFigures fig(from);
    double sensePeak = -1e300;
    const HeadlessRun run = RunDesignHeadless(*doc, 0.0, &fig, nullptr, [&](const AnalysisContext& ctx) {
        if (ctx.stepState.time > from) sensePeak = std::max(sensePeak, ctx.outputFilter[0].currentSenseOutput);
    });
    ASSERT_EQ(run.ran, 1) << run.problem;
    EXPECT_NEAR(fig.OutputAverage(), 10.0, 0.005 * 10.0);
    const double rl = doc->GetLoadNetworkInput(0)->resistance;
    const double share = rl / (rl + 1.0 + 0.01);
    const double slope = fig.ChokePeakToPeak() / (fig.Duty() * kPeriod) * share * std::sqrt(0.99) * 0.01 * 49.75;
    const double expected = fig.ControlAverage() + slope * 50e-9;
    EXPECT_NEAR(sensePeak, expected, 0.005 * expected);
}

}  // namespace
