// The AC-line designs end to end: written and read back as design files, run as turn-on
// transients, measured over the last whole line period against the capacitor-input
// rectifier's closed form below.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <memory>
#include <numbers>
#include <string>
#include <unistd.h>

#include "analysis/timedomain/AnalFigures.h"
#include "designs/AnalHeadless.h"
#include "circuit/Doc.h"
#include "designs/Designs.h"
#include "platform/core/ReportSink.h"

namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kF = 400.0, kVf = 0.8, kRd = 0.02, kRline = 0.1;
constexpr double kPeriod = 1e-5;

// Long enough for the bulk and the output filter to settle; the window (the last tenth) is
// one whole line period, which the doubler needs to see its upper diode conduct at all, so
// the sanitizer build runs the same (a few seconds).
constexpr double kCycles = 2500;

struct DesignRun {
    HeadlessRun run;
    CRunFigures fig{0.0};
};

DesignRun RunDesign(const char* name) {
    DesignRun r;
    for (const RegressionDesign& d : RegressionDesigns()) {
        if (std::string(d.name) != name) continue;
        const std::string path = ::testing::TempDir() + name + std::to_string(::getpid()) + ".SEF";
        EXPECT_TRUE(WriteRegressionDesign(d, path));
        std::string problem;
        std::unique_ptr<CPwrQuorraDoc> doc = OpenDesignHeadless(path, &problem);
        std::remove(path.c_str());
        if (!doc) {
            r.run.problem = problem;
            return r;
        }
        r.run = RunDesignHeadless(*doc, kCycles, &r.fig, nullptr);
    }
    return r;
}

struct RectifierForm {
    double vmax, ripple, conductionDegrees;
};

// Capacitor-input rectifier with a draw Idc (the converter's mean input current; it follows
// the bulk only by the ripple's few per cent, so it is taken as constant). Per capacitor C
// charged through `diodes` forward drops and the series resistance R = Rline + diodes·Rd:
//   with ideal diodes the charge stops where the falling line outruns the discharge,
//     Vpk·w·cos(th_e) = -Idc/C               =>  th_e = pi/2 + asin(Idc/(C·w·Vpk))
//   R delays the end by the charging loop's phase lag (first order in R·C·w: the current
//   i = C·u' - R·C²·u'' + Idc vanishes at cos(th - phi) = -cos(phi)·Idc/(C·w·Vpk)),
//     th_end = pi/2 + phi + asin(cos(phi)·Idc/(C·w·Vpk)),  phi = atan(R·C·w)
//   the capacitor's peak, where its current crosses zero and the line carries Idc:
//     Vc = Vpk·sin(th_e) - diodes·Vf - Idc·R
//   the discharge from th_e to the next start th_s, where the line reaches the capacitor's
//   lowest voltage plus the drops: Vc_min = Vc - Idc·td/C, th_s = asin((Vc_min + diodes·Vf)/Vpk)
//   (a fixed point, a few passes), and the conduction angle th_end - th_s.
// Bridge (two drops, one capacitor recharged every half period): td = (pi - th_e + th_s)/w;
// the bulk is Vc, its ripple Vc - Vc_min.
// Half-wave doubler (one drop, each capacitor recharged once a period, half a period apart;
// both carry Idc): td = (2·pi - th_e + th_s)/w; the sum peaks as one capacitor ends its
// charge while the other is half a period into its discharge, Vmax = 2·Vc - Idc·pi/(w·C),
// and is lowest as the other starts its charge, Vmin = 2·Vc - Idc·(3·pi - 2·th_e + 2·th_s)/(w·C);
// its conduction angle is that of one diode per line period.
RectifierForm Rectifier(double vpk, double c, double idc, bool doubler) {
    const double w = 2.0 * kPi * kF;
    const int diodes = doubler ? 1 : 2;
    const double r = kRline + diodes * kRd;
    const double phi = std::atan(r * c * w);
    const double x = idc / (c * w * vpk);
    const double thE = kPi / 2.0 + std::asin(x);
    const double thEnd = kPi / 2.0 + phi + std::asin(std::cos(phi) * x);
    const double vc = vpk * std::sin(thE) - diodes * kVf - idc * r;
    const double span = doubler ? 2.0 * kPi : kPi;
    double vcMin = vc, ths = 0.0;
    for (int pass = 0; pass < 50; ++pass) {
        ths = std::asin((vcMin + diodes * kVf) / vpk);
        vcMin = vc - idc * (span - thE + ths) / w / c;
    }
    const double degrees = (thEnd - ths) * 180.0 / kPi;
    if (!doubler) return {vc, vc - vcMin, degrees};
    const double vmax = 2.0 * vc - idc * kPi / (w * c);
    const double vmin = 2.0 * vc - idc * (3.0 * kPi - 2.0 * thE + 2.0 * ths) / (w * c);
    return {vmax, vmax - vmin, degrees};
}

struct Expected {
    const char* design;
    double vpk, c;
    bool doubler;
    double conductionScale;  // the measured share of the window in degrees of the angle
};

// The bridge feeds the bulk on every half period, the doubler's upper diode once a period.
TEST(AcLine, RectifierIntoTheBulkFollowsTheClosedForm) {
    const Expected cases[] = {
        {"ac_bridge", 60.0, 150e-6, false, 180.0},
        {"ac_doubler", 30.0, 330e-6, true, 360.0},
    };
    for (const Expected& e : cases) {
        SCOPED_TRACE(e.design);
        const DesignRun r = RunDesign(e.design);
        ASSERT_EQ(r.run.ran, 1) << r.run.problem;
        const double idc = r.fig.DrawAverage();
        ASSERT_GT(idc, 0.1);
        const RectifierForm cf = Rectifier(e.vpk, e.c, idc, e.doubler);
        EXPECT_NEAR(r.fig.BulkMax(), cf.vmax, 0.005 * cf.vmax);
        EXPECT_NEAR(r.fig.BulkMax() - r.fig.BulkMin(), cf.ripple, 0.03 * cf.ripple);
        EXPECT_NEAR(r.fig.LineConduction() * e.conductionScale, cf.conductionDegrees, 0.03 * cf.conductionDegrees);
    }
}

// The bridge design behind the fullest line filter (two stages, damping capacitor, damping
// resistor with its inductor) and with the damped input capacitor. The filter's 2 uH and
// 5.7 uF barely touch the line at 400 Hz (5 mohm, 70 ohm), and the damping branch (10 uF
// behind 1 ohm, 40 ohm at 400 Hz and 20 ohm at the ripple's 800 Hz) holds its charge with the
// bulk: the bulk follows the same closed form with 160 uF, within 1 % for its peak and 5 %
// for its ripple.
TEST(AcLine, FilteredLineAndDampedBulkFollowTheSameClosedForm) {
    fw::RecordingSink sink;
    fw::ScopedReportSink scoped(&sink);
    CPwrQuorraDoc doc;
    doc.OnNewDocument();
    BuildAcBridge(doc);
    CLineFilter& filter = *doc.GetLineFilter();
    const double ac = filter.GetLineVoltage().m_dACPeakMagnitude;
    filter.SetTopology(8);
    filter.SetDefaults();
    filter.GetLineVoltage().m_dACPeakMagnitude = ac;
    filter.GetLineVoltage().m_dACFrequency = kF;
    filter.GetLineVoltage().m_dDCMagnitude = 0.0;
    filter.GetLineInductance().m_dInductance = 1e-6;
    filter.GetLineResistance().m_dResistance = kRline;
    for (CInductor* l : {&filter.GetInductorIn1(), &filter.GetInductorIn2()}) {
        l->m_dInductance = 1e-6;
        l->m_dDcResistance = 0.01;
    }
    filter.GetInductorDamp().m_dInductance = 2e-6;
    filter.GetCapacitorIn().m_dCapacitance = 1e-6;
    filter.GetCapacitorDamp().m_dCapacitance = 4.7e-6;
    filter.GetResistorDamp1().m_dResistance = 1.0;
    filter.GetResistorDamp2().m_dResistance = 1.0;
    CInputCapacitor& in = *doc.GetInputCapacitor();
    in.SetTopology(CInputCapacitor::CAP_SINGLE_DAMPED);
    in.SetDefaults();
    in.GetCapacitorIn().m_dCapacitance = 150e-6;
    in.GetCapacitorDamp().m_dCapacitance = 10e-6;
    in.GetResistorDamp().m_dResistance = 1.0;
    doc.CheckAllSections();

    CRunFigures fig(0.0);
    const HeadlessRun run = RunDesignHeadless(doc, kCycles, &fig, nullptr);
    ASSERT_EQ(run.ran, 1) << run.problem;
    const RectifierForm cf = Rectifier(60.0, 160e-6, fig.DrawAverage(), false);
    EXPECT_NEAR(fig.BulkMax(), cf.vmax, 0.01 * cf.vmax);
    EXPECT_NEAR(fig.BulkMax() - fig.BulkMin(), cf.ripple, 0.05 * cf.ripple);
}

// Three phases of 20 V peak through the six-diode bridge into the same 150 uF: the bulk
// rides the line-to-line envelope sqrt(3)·Vpk·|sin| and peaks, with the capacitor current
// crossing zero, at sqrt(3)·Vpk - 2·Vf - Idc·(2·Rline + 2·Rd) (two lines and two diodes in
// the path); it is recharged six times a line period, so it falls by less than
// Idc·T/(6·C) between charges.
TEST(AcLine, ThreePhaseBridgeRidesTheLineToLinePeak) {
    fw::RecordingSink sink;
    fw::ScopedReportSink scoped(&sink);
    CPwrQuorraDoc doc;
    doc.OnNewDocument();
    BuildAcBridge(doc);
    CLineFilter& filter = *doc.GetLineFilter();
    filter.SetLineSourceType(CLineFilter::SOURCE_3_PHASE_AC);
    filter.SetTopology(CLineFilter::FILTER_NONE);
    filter.SetDefaults();
    filter.GetLineVoltage().m_dDCMagnitude = 0.0;
    filter.GetLineVoltage().m_dACPeakMagnitude = 20.0;
    filter.GetLineVoltage().m_dACFrequency = kF;
    filter.GetLineInductance().m_dInductance = 1e-6;
    filter.GetLineResistance().m_dResistance = kRline;
    CLineRectifier& rect = *doc.GetLineRectifier();
    rect.SetTopology(CLineRectifier::RECT_FULL_WAVE_SINGLE_CAP);
    rect.SetDefaults();
    rect.GetDiode().m_dForwardVoltage = kVf;
    rect.GetDiode().m_dForwardVoltageTempCoef = 0.0;
    rect.GetDiode().m_dDynamicResistance = kRd;
    doc.CheckAllSections();

    CRunFigures fig(0.0);
    const HeadlessRun run = RunDesignHeadless(doc, kCycles, &fig, nullptr);
    ASSERT_EQ(run.ran, 1) << run.problem;
    const double idc = fig.DrawAverage();
    ASSERT_GT(idc, 0.1);
    const double vmax = std::sqrt(3.0) * 20.0 - 2.0 * kVf - idc * (2.0 * kRline + 2.0 * kRd);
    EXPECT_NEAR(fig.BulkMax(), vmax, 0.01 * vmax);
    EXPECT_GT(fig.BulkMax() - fig.BulkMin(), 0.0);
    EXPECT_LT(fig.BulkMax() - fig.BulkMin(), idc / (6.0 * kF * 150e-6));
}

}  // namespace
