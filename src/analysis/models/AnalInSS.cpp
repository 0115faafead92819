// Steady-state starting values.
//
// The converter is taken at the start of a switching period in periodic operation: the
// clock at its top and falling, the drive off, the primary switches open with the
// transformer reset (magnetising current 0 in the two-switch forward), each output choke
// freewheeling through its second rectifier at its lowest current of the period.
//
// Duty of output k (continuous choke current), from the volt-second balance of the choke
// with the on-state drops referred to the secondary (n = N_k / N_p):
//   D_k·(n·Vin) = (n²·Rp + Rw + Ro)·I + V + Vd        (sign s = +1; -1 mirrors V and I)
// Discontinuous: the choke current rises from 0 to X in D·T, X from the output energy per
// period ½·L·X² = P·T, P = (R1 + R2)·I² + Vc·I:  X = √(2·P·T / L),  D_k = L·X / (T·Vdrive').
//   Vdrive' = n·Vin - Vd - s·Vc is the voltage across the choke during the on-time; the
//   secondary sees n·Vin, so n·Vin serves the test and the duty of every output alike.
// Choke current at the period start (continuous): the mean I less half the ripple gives the
// minimum I_min = I + (1 - D)·T·m/2, m = -(s·Vf + V)/L the freewheeling slope; the period
// starts T·s2/(s2 - s1) (the clock's fall) plus the switch's turn-on delay before the on-time,
// so the current is still falling there: I_0 = I_min - (T·s2/(s2 - s1) + t_on)·m.
// Control voltage that gives duty D on the rising ramp of slope s2 from the lower limit:
//   N = T·s2·D + V_low   (voltage mode, the clock inhibiting during its fall);
// the step's own control networks are charged for that control voltage (ChargeControlNetworks,
// every mode's modulator), and in an overload the duty is the one the current limit leaves
// (CurrentLimitedDuty), with the error amplifier wound up to its upper limit.
// The feedback's modulator term: each output's rectified voltage through an RC lag of time
// constant tau, weighted. The loop holds the weighted sum of the mean rectified voltages and
// the output voltages, each over its target, at feedback gain over reference (1 as designs
// set it); with the choke's mean voltage its resistive drop alone, the mean rectified voltage
// is V_c + R_ch·I. Each output's voltage rises with the duty (its own duty for a voltage
// rises with it), so bisections give the duty that balances the feedback and each output's
// voltage at it. Without the modulator term the duty stays each output's own duty, weighted.
// The lag's state at the period start, its input taken as V_l (the rectified voltage at the
// period start) but V_h over the on-time [t_a, t_a + D·T], V_h = V_l + (mean - V_l)/D:
//   τ·dV/dt = u - V periodic over T gives
//   V(0) = V_l + (V_h - V_l)·exp(-(T - t_a - D·T)/τ)·(1 - exp(-D·T/τ))/(1 - exp(-T/τ)),
// the mean itself for τ » T, V_l for τ « T; t_a is the clock's fall plus the turn-on delay
// (as for the choke current). A discontinuous choke's short freewheeling dip counts into V_h.
// The line draws the input power at the bulk voltage: I_line = P / V_in; the bulk sits at
// V_in less the drop of the line's own resistance at that current.
// A saturable core (AnalMSat.h) enters these forms at the chord inductance over its ripple (the
// ripple's volt-seconds over the span of current they give), a dry-running choke's from 0 to
// its peak; the period-start currents follow its flux linkage Φ back from the valley, and the
// state takes the inductance the step looks up there.
// A skim inductor Ls in series with the choke carries the choke's current: every slope of it is
// the voltage over Lc + Ls, its resistance adds to the choke's. With a saturable choke the
// branch's flux linkage is Φ(i) + Ls·i; the ripple d over volt-seconds F solves
// Φ(I + d/2) - Φ(I - d/2) + Ls·d = F, and the dry peak X holds the energy W(X) + Ls·X²/2
// (both rising, so bisections between 0 and the choke's own answer find them).
#include "analysis/models/AnalInSS.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

#include "analysis/context/AnalContext.h"
#include "analysis/context/AnalTableIndex.h"
#include "analysis/models/AnalMCtl.h"
#include "analysis/models/AnalMHyst.h"
#include "analysis/models/AnalMOpto.h"
#include "analysis/models/AnalMOut.h"
#include "analysis/models/AnalMPri.h"
#include "analysis/models/AnalMSync.h"
#include "analysis/models/AnalMSat.h"
#include "analysis/models/AnalMWind.h"
#include "analysis/models/AnalMVea.h"
#include "platform/core/Format.h"
#include "records/Utils.h"
#include "resources/StringTable.h"

namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;

int32_t Sign(int32_t s) { return s < 0 ? -1 : 1; }

// The primary current sense transformer's ratio as its step takes it (AnalMPri.h).
double SenseRatio(const PrimaryInputRec& pi) {
    const AnalysisContext* ctx = GetAnalysisContext();
    const TimeMagnitudeTable* table = ctx ? ctx->pTable[kSenseXfmrTable] : nullptr;
    if (!table || table->count < 1) return pi.senseXfmrPrimaryTurnsCount / pi.senseXfmrSecondaryTurnsCount;
    return SenseTransformerRatio(table->points[0].magnitude, pi.senseXfmrSecondaryNominal, pi.senseXfmrCoupling);
}

// The capacitor sense transformer's ratio M/Ls at its nominal windings (the design's primary
// inductance, the table's point at 0 A), which its step takes (AnalMFlt.h).
double CapacitorSenseRatio(const OutputFilterInputRec& fi) {
    return SenseTransformerRatio(fi.csScaleDen, fi.csScaleNum, fi.csCoupling);
}

// Primary resistance in the on-state loop: the switches (two in the two-switch forward) and
// the current sense, referred through the sense transformer when there is one.
double PrimaryResistance(const PrimaryInputRec& pi) {
    double rp = pi.primarySeriesResistance * (pi.diode1On ? 2.0 : 1.0);
    if (pi.directSenseOn) return rp + pi.senseResistance;
    const double ratio = SenseRatio(pi);
    return rp + (pi.senseResistance + pi.senseXfmrSecondaryResistance + pi.senseSeriesResistance) * ratio * ratio +
           pi.senseXfmrWindingResistance;
}

// Second-stage filter resistance in the load path: its inductor beside the damping branch.
double FilterSeriesResistance(const OutputFilterInputRec& fi) {
    const double ra = fi.hasInductorB ? fi.secondInductorResistance : 0.0;
    const double rb = (fi.dampingInductorOn ? fi.dampingInductorResistance : 0.0) +
                      (fi.hasDampingB ? fi.dampingResistance : 0.0);
    const double rt = ra + rb;
    if (rt <= 0.0) return 0.0;
    if (rb <= 0.0 || !fi.hasDampingB) return ra;
    return ra * rb / rt;
}

// Output j's skim inductor (H) as the step takes it, the first point of its table; 0 without one.
double SkimInductanceOf(const AnalysisContext& ctx, int32_t j) {
    if (!ctx.pOutputChokeInput[j]->skimWindingOn) return 0.0;
    const TimeMagnitudeTable* t = ctx.pTable[OutputTableIndex(j + 1, kSkimTable)];
    return t && t->count > 0 ? t->points[0].magnitude : 0.0;
}

double ChokeResistance(const OutputChokeInputRec& ch) {
    return ch.windingResistance + (ch.seriesElementOn ? ch.seriesResistance : 0.0) +
           (ch.skimWindingOn ? ch.skimResistance : 0.0);
}

// The windings' effective resistances above their DC ones at the operating point the losses
// were last seeded at (AnalMWind.h): 0 before, and for a winding without losses. The estimate
// runs once with the DC ones, seeds the means at its operating point and runs again with
// these, so that it starts where the effective resistances hold the output.
double Excess(const WindingLoss& w, int32_t on, double dc) {
    const double r = on ? w.windingResistance - dc : 0.0;
    return std::isfinite(r) ? r : 0.0;
}
double PrimaryExcess(const AnalysisContext& ctx) {
    const MagneticLossStore& l = ctx.engine.loss;
    return Excess(l.primary, l.primaryOn, ctx.pPrimaryInput->primaryWindingResistance);
}
double OutputExcess(const AnalysisContext& ctx, int32_t j) {
    const MagneticLossStore& l = ctx.engine.loss;
    return Excess(l.secondary[j], l.secondaryOn[j], ctx.pSecondaryRectifierInput[j]->windingResistance) +
           Excess(l.choke[j], l.chokeOn[j], ctx.pOutputChokeInput[j]->windingResistance) +
           (ctx.pOutputChokeInput[j]->skimWindingOn
                ? Excess(l.output[j][kLossSkim].w, l.output[j][kLossSkim].on, ctx.pOutputChokeInput[j]->skimResistance)
                : 0.0);
}
bool Seeded(const AnalysisContext& ctx) {
    const MagneticLossStore& l = ctx.engine.loss;
    bool on = l.primaryOn != 0;
    for (int32_t j = 0; j < kMaxOutputs; ++j) on = on || l.secondaryOn[j] || l.chokeOn[j] || l.output[j][kLossSkim].on;
    return on;
}

// The x in [lo, hi] at which a rising f(x) reaches target, by sixty halvings of the interval.
template <class F>
double RisingCrossing(const F& f, double target, double lo, double hi) {
    for (int32_t i = 0; i < 60; ++i) {
        const double mid = 0.5 * (lo + hi);
        if (f(mid) < target) lo = mid;
        else hi = mid;
    }
    return 0.5 * (lo + hi);
}

// A saturable core's table, or null where the inductance stays nominal.
const TimeMagnitudeTable* SaturableCore(const TimeMagnitudeTable* table) { return Saturable(table) ? table : nullptr; }
const TimeMagnitudeTable* ChokeCore(const AnalysisContext& ctx, int32_t j) {
    return SaturableCore(ctx.pTable[OutputTableIndex(j + 1, kChokeTable)]);
}
const TimeMagnitudeTable* TransformerCore(const AnalysisContext& ctx) {
    return SaturableCore(ctx.pTable[kPowerXfmrTable]);
}

// Output j's choke inductance over a continuous ripple around the mean current whose falling
// slope takes the volt-seconds `fall`: a saturable core's chord |fall| / ripple (AnalMSat.h),
// which puts the linear formulas at the ripple the core gives; its inductance at the mean
// without a fall. Nominal without saturation.
// With a skim inductor, the branch's: the skim's in series (see the file's head).
double ChokeInductanceOver(const AnalysisContext& ctx, int32_t j, double mean, double fall) {
    const TimeMagnitudeTable* core = ChokeCore(ctx, j);
    const double skim = SkimInductanceOf(ctx, j);
    if (!core) return ctx.pOutputChokeInput[j]->inductance + skim;
    const double f = std::fabs(fall);
    double ripple = RippleAtFlux(core->points, core->count, mean, f);
    if (ripple > 0.0 && skim > 0.0) {
        const auto flux = [&](double d) {
            return FluxLinkage(core->points, core->count, mean + d / 2.0) -
                   FluxLinkage(core->points, core->count, mean - d / 2.0) + skim * d;
        };
        ripple = RisingCrossing(flux, f, 0.0, ripple);
    }
    if (ripple > 0.0) return f / ripple;
    int32_t cursor = 0;
    double l = 0.0, slope = 0.0;
    InterpolateInductance(&l, &slope, core->points, core->count, &cursor, mean);
    return l + skim;
}

// Output j's choke inductance when its current runs dry: from 0 to the peak X at which the
// core holds the energy the output takes per period, the chord Φ(X) / X, so that the on-time's
// volt-seconds L·X are the core's. Nominal without saturation.
double ChokeInductanceToPeak(const AnalysisContext& ctx, int32_t j, double energy) {
    const TimeMagnitudeTable* core = ChokeCore(ctx, j);
    const double skim = SkimInductanceOf(ctx, j);
    if (!core) return ctx.pOutputChokeInput[j]->inductance + skim;
    double x = CurrentAtEnergy(core->points, core->count, std::fabs(energy));
    if (x > 0.0 && skim > 0.0) {
        const auto held = [&](double c) { return CoreEnergy(core->points, core->count, c) + skim * c * c / 2.0; };
        x = RisingCrossing(held, std::fabs(energy), 0.0, x);
    }
    return x > 0.0 ? FluxLinkage(core->points, core->count, x) / x + skim : core->points[0].magnitude + skim;
}

// Sum of the load's series resistances that are present.
double LoadSeriesSum(const LoadNetworkInputRec& ld) {
    double s = 0.0;
    if (ld.firstBranchOn) s += ld.firstResistance;
    if (ld.firstInductorOn) s += ld.firstInductorResistance;
    if (ld.resistorOn) s += ld.resistance;
    if (ld.inductorOn) s += ld.inductorResistance;
    return s;
}

// Load current at the output voltage V. With a current source and a load resistor the node
// between the branches takes (I_s·R_p + V) / S, which is also the line-power form
// I_s + (V - (R1 + RL1)·I_s) / S.
double LoadCurrentAt(const LoadNetworkInputRec& ld, double v, double open) {
    if (!ld.currentSourceOn) return v / LoadSeriesSum(ld);
    if (!ld.resistorOn) return ld.sourceCurrent + v / open;
    const double rl = ld.resistance + (ld.inductorOn ? ld.inductorResistance : 0.0);
    return (ld.sourceCurrent * rl + v) / LoadSeriesSum(ld);
}

double LoadCurrent(const LoadNetworkInputRec& ld, double open) { return LoadCurrentAt(ld, ld.outputVoltage, open); }

bool DiodeRectifier(const SecondaryRectifierInputRec& ri) { return !ri.resistiveRectifier; }

// A transistor in either position: the step's model of AnalMSync.h, not the resistive rectifier.
bool Synchronous(const SecondaryRectifierInputRec& ri) {
    return ri.frequencyAnalysisFlagA != 0 || ri.frequencyAnalysisFlagB != 0;
}

// The freewheeling position conducts either way (a driven channel), so its current never ends.
bool FreewheelChannel(const SecondaryRectifierInputRec& ri) {
    return Synchronous(ri) ? SyncPosition(ri, 1) : !DiodeRectifier(ri);
}

// The dry-running choke's inductance at the energy its output takes per period, the load's
// (R1 + R2)·I² + Vc·I over T (the duty's discontinuous form).
double ChokeDryInductance(const AnalysisContext& ctx, int32_t j, double period) {
    if (!ChokeCore(ctx, j)) return ctx.pOutputChokeInput[j]->inductance + SkimInductanceOf(ctx, j);
    const OutputChokeInputRec& ch = *ctx.pOutputChokeInput[j];
    const LoadNetworkInputRec& ld = *ctx.pLoadNetworkInput[j];
    const double i = LoadCurrent(ld, ctx.pSettings->openResistance);
    const double vc = FilterSeriesResistance(*ctx.pOutputFilterInput[j]) * i + ld.outputVoltage;
    const double r12 = ChokeResistance(ch);
    return ChokeInductanceToPeak(ctx, j, (r12 * i + vc) * i * period);
}

// Drop of the conducting forward rectifier at the load current.
double RectifierDrop(const SecondaryRectifierInputRec& ri, int32_t sign, double current) {
    if (DiodeRectifier(ri)) return sign * ri.dynamicResistance * current + ri.diodeDrop;
    double vd = ri.onResistance * current;
    if (ri.maximumDrop < vd) vd = ri.maximumDrop;
    if (ri.diodeDrop < vd) vd = ri.diodeDrop;
    return vd;
}

int32_t Stacked(int32_t flag) { return flag == 1 ? 1 : 0; }

int32_t OutputsInUse(const AnalysisSettingsRec& set) {
    return set.outputCount >= 1 && set.outputCount <= kMaxOutputs ? set.outputCount : 0;
}

// A failure of a routine: its own message with a box, the general one for the run's first.
int32_t Fail(UINT first, UINT second) {
    ReportMessage(first, TRUE);
    if (second) ReportMessageFirstBox(second);
    return 0;
}

int32_t FailOutput(UINT first, UINT second, int32_t k) {
    ReportMessage1(first, k, TRUE);
    ReportMessage1FirstBox(second, k);
    return 0;
}

}  // namespace

double AbsValue(double x) { return std::fabs(x); }

double EffectiveSecondaryTurns(int32_t k) {
    const AnalysisContext* ctx = GetAnalysisContext();
    const PrimaryInputRec& pi = *ctx->pPrimaryInput;
    const int32_t n = OutputsInUse(*ctx->pSettings);
    if (k < 1 || k > n) return 0.0;
    double nt[kMaxOutputs + 1] = {};
    for (int32_t j = 1; j <= n; ++j) nt[j] = ctx->pSecondaryRectifierInput[j - 1]->windingTurns;
    const int32_t c1 = Stacked(pi.stack2On1), c2 = Stacked(pi.stack1On2), c3 = Stacked(pi.stack3On2);
    const int32_t c4 = Stacked(pi.stack2On3), c5 = Stacked(pi.stack4On3), c6 = Stacked(pi.stack3On4);
    double e[kMaxOutputs + 1] = {};
    if (n == 4) {
        e[4] = ((c1 * nt[1] + nt[2]) * c3 + nt[3]) * c5 + nt[4];
        e[3] = c6 * nt[4] + (c1 * nt[1] + nt[2]) * c3 + nt[3];
        e[2] = c1 * nt[1] + (c6 * nt[4] + nt[3]) * c4 + nt[2];
        e[1] = ((c6 * nt[4] + nt[3]) * c4 + nt[2]) * c2 + nt[1];
    }
    if (n >= 3 && e[4] == 0.0) {
        e[3] = (c1 * nt[1] + nt[2]) * c3 + nt[3];
        e[2] = c1 * nt[1] + c4 * nt[3] + nt[2];
        e[1] = (c4 * nt[3] + nt[2]) * c2 + nt[1];
    }
    if (n >= 2 && e[3] == 0.0) {
        e[2] = c1 * nt[1] + nt[2];
        e[1] = c2 * nt[2] + nt[1];
    }
    if (e[2] == 0.0) e[1] = nt[1];
    return e[k];
}

namespace {

// Output k's own duty for its output at v (signed, as its target), with what the estimate
// keeps of it.
struct OutputDuty {
    double duty = 0.0;
    double current = 0.0;           // load current at v (A)
    double capacitorVoltage = 0.0;  // first-stage capacitor (V)
    double loadResistance = 0.0;    // second stage and load in series (ohm)
    double forwardVoltage = 0.0;    // forward rectifier drop (V)
    int32_t continuous = 1;
};

OutputDuty OutputDutyAt(const AnalysisContext& ctx, int32_t k, double v, double vin) {
    const AnalysisSettingsRec& set = *ctx.pSettings;
    const PrimaryInputRec& pi = *ctx.pPrimaryInput;
    const double period = 1.0 / set.switchingFrequency;
    const int32_t j = k - 1;
    const SecondaryRectifierInputRec& ri = *ctx.pSecondaryRectifierInput[j];
    const OutputChokeInputRec& ch = *ctx.pOutputChokeInput[j];
    const OutputFilterInputRec& fi = *ctx.pOutputFilterInput[j];
    const LoadNetworkInputRec& ld = *ctx.pLoadNetworkInput[j];
    const int32_t s = Sign(fi.outputSign);
    const double rf = FilterSeriesResistance(fi);
    const double ro = rf + ChokeResistance(ch) + OutputExcess(ctx, j);
    const double i = LoadCurrentAt(ld, v, set.openResistance);
    OutputDuty r;
    r.current = i;
    r.loadResistance = rf + LoadSeriesSum(ld);
    const double vc = rf * i + v;
    r.capacitorVoltage = vc;
    const double n = EffectiveSecondaryTurns(k) / pi.primaryTurns;
    const double rp = PrimaryResistance(pi) + PrimaryExcess(ctx);
    const bool sync = Synchronous(ri);
    const double vd = sync ? ConductingDrop(ri, 0, i) : RectifierDrop(ri, s, i);
    const double vfw = sync ? ConductingDrop(ri, 1, i) : vd;
    r.forwardVoltage = vd;
    r.duty = sync ? SyncDuty(n * vin, n * n * rp + ri.windingResistance, ro, s * v, s * i, vd, vfw)
                  : ((((n * n * rp + ri.windingResistance + ro) * i + v) * s + vd) / n) / vin;
    const double l = ChokeInductanceOver(ctx, j, i, (1.0 - r.duty) * period * (s * vfw + vc));
    const double valley = (i - (1.0 - r.duty) * ((s * vfw + vc) / l) * period / 2.0) * s;
    if (valley < 0.0 && !FreewheelChannel(ri)) {
        r.continuous = 0;
        const double r12 = ChokeResistance(ch);
        const double dry = ChokeDryInductance(ctx, j, period);
        const double x = std::sqrt((r12 * i + vc) * i * period * 2.0 / dry);
        const double across = n * vin - vd - s * vc;
        r.duty = across <= 0.0 ? 1.0 : (dry * x / period) / across;
    }
    return r;
}

// Output k's voltage magnitude at duty D: its own duty rises with it, so a bisection from 0
// to the secondary's whole on-state voltage finds it.
double OutputVoltageAtDuty(const AnalysisContext& ctx, int32_t k, double duty, double vin) {
    const int32_t s = Sign(ctx.pOutputFilterInput[k - 1]->outputSign);
    const double hi = EffectiveSecondaryTurns(k) / ctx.pPrimaryInput->primaryTurns * vin;
    if (!(hi > 0.0) || OutputDutyAt(ctx, k, s * hi, vin).duty <= duty) return hi;
    return RisingCrossing([&](double v) { return OutputDutyAt(ctx, k, s * v, vin).duty; }, duty, 0.0, hi);
}

// The feedback over the reference at duty D, each output at its voltage for D: the weighted
// output voltage and the weighted mean rectified voltage, which the modulator's lag passes
// on as the voltage of the choke's capacitor side plus the choke's resistive drop (the
// choke's own mean voltage is that drop alone), each over its target.
double FeedbackShare(const AnalysisContext& ctx, double duty, double vin, double* volts) {
    double sum = 0.0;
    for (int32_t k = OutputsInUse(*ctx.pSettings); k >= 1; --k) {
        const int32_t j = k - 1;
        const LoadNetworkInputRec& ld = *ctx.pLoadNetworkInput[j];
        const double wm = ctx.pSecondaryRectifierInput[j]->dutyWeight;
        if (wm == 0.0 && ld.rippleWeight == 0.0) continue;  // no part in the feedback, maybe no target
        const int32_t s = Sign(ctx.pOutputFilterInput[j]->outputSign);
        const double v = s * OutputVoltageAtDuty(ctx, k, duty, vin);
        const OutputDuty at = OutputDutyAt(ctx, k, v, vin);
        const double rectified =
            at.capacitorVoltage + (ChokeResistance(*ctx.pOutputChokeInput[j]) + OutputExcess(ctx, j)) * at.current;
        sum += (wm * rectified + ld.rippleWeight * v) / ld.outputVoltage;
        if (volts) volts[j] = v;
    }
    return sum;
}

}  // namespace

int32_t CalcSteadyStateDutyCycle(double* duty) {
    AnalysisContext* ctx = GetAnalysisContext();
    const AnalysisSettingsRec& set = *ctx->pSettings;
    const ControlInputRec& ci = *ctx->pControlInput;
    const double vin = ctx->inputCapacitor.inputVoltage;
    const auto keep = [&](int32_t j, const OutputDuty& r) {
        ctx->outputFilter[j].loadResistance = r.loadResistance;
        ctx->outputFilter[j].capacitorVoltage = r.capacitorVoltage;
        ctx->secondaryRectifier[j].forwardVoltage = r.forwardVoltage;
        ctx->outputChoke[j].continuousConduction = r.continuous;
    };
    bool modulator = false;
    for (int32_t k = OutputsInUse(set); k >= 1; --k) {
        const int32_t j = k - 1;
        const SecondaryRectifierInputRec& ri = *ctx->pSecondaryRectifierInput[j];
        const OutputDuty r = OutputDutyAt(*ctx, k, ctx->pLoadNetworkInput[j]->outputVoltage, vin);
        keep(j, r);
        modulator = modulator || ri.dutyWeight != 0.0;
        *duty += (ri.dutyWeight + ctx->pLoadNetworkInput[j]->rippleWeight) * r.duty;
    }
    // With the modulator's voltage in the feedback the loop holds the mean rectified voltages,
    // not the outputs, at their weighted targets: the duty is the one whose outputs put the
    // feedback at the reference (the feedback gain over it: 1 as the design sets it). The
    // feedback rises with the duty; a bisection finds it.
    if (modulator) {
        const double gain = ci.feedbackGain, ref = ci.veaReferenceValue;
        const double target = std::isfinite(gain) && std::isfinite(ref) && gain > 0.0 && ref > 0.0 ? ref / gain : 1.0;
        if (FeedbackShare(*ctx, 1.0, vin, nullptr) < target) {
            *duty = 1.0;  // no operating point below a whole period
        } else {
            *duty = RisingCrossing([&](double d) { return FeedbackShare(*ctx, d, vin, nullptr); }, target, 0.0, 1.0);
            double volts[kMaxOutputs];
            for (int32_t j = 0; j < kMaxOutputs; ++j) volts[j] = j < OutputsInUse(set) ? ctx->pLoadNetworkInput[j]->outputVoltage : 0.0;
            FeedbackShare(*ctx, *duty, vin, volts);
            for (int32_t j = 0; j < OutputsInUse(set); ++j) keep(j, OutputDutyAt(*ctx, j + 1, volts[j], vin));
        }
    }
    if (CheckFloatingPointStatus()) return Fail(52074, 52212);
    return 1;
}

int32_t CalcInitialSwitchingPeriod(double* period, double duty, double vin) {
    AnalysisContext* ctx = GetAnalysisContext();
    const AnalysisSettingsRec& set = *ctx->pSettings;
    const ControlInputRec& ci = *ctx->pControlInput;
    ctx->primary.cycleAccumulator = 0.0;
    if (ci.controlMode != 3) {
        *period = set.switchingPeriodSetting;
    } else if (set.analysisKind == 0) {
        *period = 1.0 / set.switchingFrequency;
    } else {
        const double vref = ci.referenceInPercent ? ci.referenceValue * vin / 100.0 : ci.referenceValue;
        const double band = vref * ci.hystDividerResistance / (ci.hystFilterResistance + ci.hystDividerResistance);
        double slopes = 0.0;
        for (int32_t k = OutputsInUse(set); k >= 1; --k) {
            const int32_t j = k - 1;
            const SecondaryRectifierInputRec& ri = *ctx->pSecondaryRectifierInput[j];
            const OutputChokeInputRec& ch = *ctx->pOutputChokeInput[j];
            const OutputFilterInputRec& fi = *ctx->pOutputFilterInput[j];
            const LoadNetworkInputRec& ld = *ctx->pLoadNetworkInput[j];
            double vd = ri.diodeDrop;
            if (ri.resistiveRectifier && !(vd < 0.0)) vd = 0.0;
            const double i = LoadCurrent(ld, set.openResistance);
            if (Synchronous(ri)) vd = ConductingDrop(ri, 1, i);
            const double l = ChokeInductanceOver(*ctx, j, i, 0.0);
            double term = (Sign(fi.outputSign) * ld.outputVoltage + vd) / l;
            if (ci.senseSource == 1)
                term *= ch.senseWeight * ch.seriesElementFactor * ch.seriesResistance;
            else
                term *= CapacitorSenseRatio(fi) * ch.senseWeight * fi.senseResistance;
            slopes += term;
        }
        *period = band / (1.0 - duty) / slopes;
    }
    return CheckFloatingPointStatus() ? 0 : 1;
}

int32_t PredictOutputVoltage(double* predicted, double source, const LoadNetworkInputRec& ld,
                             const OutputChokeInputRec& ch, const SecondaryRectifierInputRec& ri,
                             const OutputFilterInputRec& fi) {
    AnalysisContext* ctx = GetAnalysisContext();
    const AnalysisSettingsRec& set = *ctx->pSettings;
    const PrimaryInputRec& pi = *ctx->pPrimaryInput;
    const int32_t s = Sign(fi.outputSign);
    const double rp = PrimaryResistance(pi) + PrimaryExcess(*ctx);
    double ro = FilterSeriesResistance(fi) + ChokeResistance(ch);
    for (int32_t j = 0; j < OutputsInUse(set); ++j)
        if (ctx->pSecondaryRectifierInput[j] == &ri) ro += OutputExcess(*ctx, j);
    const double i = LoadCurrent(ld, set.openResistance);
    const double n = fi.secondaryTurns / pi.primaryTurns;
    double vd = s * ri.diodeDrop;
    if (ri.resistiveRectifier) vd = s * ri.onResistance * i;
    if (s * vd > ri.maximumDrop && ri.resistiveRectifier) vd = s * ri.maximumDrop;
    if (s * vd > ri.diodeDrop) vd = s * ri.diodeDrop;
    *predicted = source - i * (n * n * rp + ri.windingResistance + ro) - vd;
    if (Synchronous(ri)) {
        // Continuous, the source is the secondary's mean E·D: the duty it was built from. A
        // choke that runs dry (rectifier 2 a diode) is estimated as with diodes.
        bool continuous = true;
        for (int32_t j = 0; j < OutputsInUse(set); ++j)
            if (ctx->pSecondaryRectifierInput[j] == &ri) continuous = ctx->outputChoke[j].continuousConduction != 0;
        const double e = n * ctx->inputCapacitor.inputVoltage;
        const double d = std::clamp(s * source / e, 0.0, 1.0);
        *predicted = continuous ? s * SyncOutputVoltage(e, d, n * n * rp + ri.windingResistance, ro, s * i,
                                                        ConductingDrop(ri, 0, i), ConductingDrop(ri, 1, i))
                                : source - i * (n * n * rp + ri.windingResistance + ro) - s * ConductingDrop(ri, 0, i);
    }
    if (CheckFloatingPointStatus()) {
        ReportMessage(52064, TRUE);
        return 0;
    }
    if (set.analysisKind != 0) {
        const double target = ld.outputVoltage;
        const bool far = *predicted == 0.0 ? AbsValue(target) > 0.2
                                           : AbsValue((*predicted - target) / *predicted) > 0.2;
        if (far) ReportMessage1(53027, fi.outputNumber, TRUE);
    }
    return 1;
}

namespace {

// Inductance of a line filter inductor at the start: the table's first point (the step holds
// every inductance at its nominal value).
void NominalInductance(const TimeMagnitudeTable3* table, double* inductance, double* slope) {
    if (!table || table->count < 1) return;
    *inductance = table->points[0].magnitude;
    *slope = 0.0;
}

// Every line rectifier diode blocking at the line's peak, the bulk slots at their voltages.
int32_t InitSteadyStateLineRectifier(AnalysisContext& ctx, double vin) {
    const LineSourceInputRec& li = *ctx.pLineSourceInput;
    LineRectifierStateRec& lr = ctx.lineRectifier;
    InputCapacitorStateRec& cap = ctx.inputCapacitor;
    const double open = ctx.pSettings->openResistance;
    const double vpk = li.lineMagnitude + li.lineOffset;
    const double vf = li.rectifierForwardVoltage;
    const double ph2 = ctx.linePhase[1].phaseVoltage, ph3 = ctx.linePhase[2].phaseVoltage;
    const int32_t present[8] = {li.diode1Present, li.diode2Present, li.diode3Present, li.diode4Present,
                                li.diode5Present, li.diode6Present, li.diode7Present, li.diode8Present};
    double* current[8] = {&lr.diode1Current, &lr.diode2Current, &lr.diode3Current, &lr.diode4Current,
                          &lr.diode5Current, &lr.diode6Current, &lr.diode7Current, &lr.diode8Current};
    double* second[8] = {&lr.diode1SecondCurrent, &lr.diode2SecondCurrent, &lr.diode3SecondCurrent,
                         &lr.diode4SecondCurrent, &lr.diode5SecondCurrent, &lr.diode6SecondCurrent,
                         &lr.diode7SecondCurrent, &lr.diode8SecondCurrent};
    double* resistance[8] = {&lr.diode1Resistance, &lr.diode2Resistance, &lr.diode3Resistance, &lr.diode4Resistance,
                             &lr.diode5Resistance, &lr.diode6Resistance, &lr.diode7Resistance, &lr.diode8Resistance};
    double* voltage[8] = {&lr.diode1Voltage, &lr.diode2Voltage, &lr.diode3Voltage, &lr.diode4Voltage,
                          &lr.diode5Voltage, &lr.diode6Voltage, &lr.diode7Voltage, &lr.diode8Voltage};
    // The blocking voltage of each diode the form names (NaN: not named).
    const double none = std::numeric_limits<double>::quiet_NaN();
    double blocking[8] = {none, none, none, none, none, none, none, none};
    const auto slots = [&](double low, double high) {
        cap.capSlot1Voltage = cap.capSlot1VoltageHeld = low;
        cap.capSlot2Voltage = cap.capSlot2VoltageHeld = low;
        cap.capSlot3Voltage = cap.capSlot3VoltageHeld = high;
        cap.capSlot4Voltage = cap.capSlot4VoltageHeld = high;
    };
    const auto halfWave = [&]() {
        blocking[0] = blocking[1] = -vin;
        blocking[4] = -vin - ph2;
        blocking[5] = -vin + ph2;
        blocking[6] = -vin - ph3;
        blocking[7] = -vin + ph3;
    };
    switch (ctx.pSettings->lineRectifierForm) {
    case 1:
        lr.negativeRectifierVoltage = vpk;
        slots(0.0, vin - vf);
        halfWave();
        break;
    case 2:
    case 4:
        lr.negativeRectifierVoltage = 0.0;
        slots(0.0, vin);
        blocking[0] = blocking[1] = blocking[2] = blocking[3] = -vin / 2.0;
        blocking[4] = -(vin - ph2) / 2.0;
        blocking[5] = -(ph2 + vin) / 2.0;
        blocking[6] = -(vin - ph3) / 2.0;
        blocking[7] = -(ph3 + vin) / 2.0;
        if (li.diode1Present) cap.capSlot2Voltage = -vin / 2.0;
        break;
    case 3:
    case 5:
        lr.negativeRectifierVoltage = vpk;
        slots(vin / 2.0 - vf, vin / 2.0 - vf);
        halfWave();
        break;
    default:
        lr.negativeRectifierVoltage = 0.0;
        slots(0.0, vin);
        break;
    }
    for (int d = 0; d < 8; ++d) {
        if (!present[d] || std::isnan(blocking[d])) continue;
        *voltage[d] = blocking[d];
        *current[d] = 0.0;
        *second[d] = 0.0;
        *resistance[d] = open;
    }
    lr.positiveRectifierVoltage = vpk;
    if (CheckFloatingPointStatus()) return Fail(52063, 52170);
    return 1;
}

// One line phase at the DC line current: the filter inductors carrying it (the second stage
// sharing it with its damping branch by their resistances), their resistive drops taken off
// the bulk. The line's own series resistance drops its share as well.
int32_t InitSteadyStateLinePhase(AnalysisContext& ctx, int32_t p, double i) {
    const LineSourceInputRec& li = *ctx.pLineSourceInput;
    const double open = ctx.pSettings->openResistance;
    LinePhaseStateRec& ph = ctx.linePhase[p];
    InputCapacitorStateRec& cap = ctx.inputCapacitor;
    ph.firstInductorVoltage = 0.0;
    if (li.firstInductorOn) {
        ph.firstInductorCurrent = ph.firstInductorMeanCurrent = ph.firstInductorCurrentCopy = i;
        NominalInductance(ctx.pTable3[0], &ph.firstInductance, &ph.firstInductanceSlope);
        ph.firstInductorCurrentSlope = 0.0;
        ph.firstInductorParallelResistance = open;
        ph.firstInductorWindingResistance = li.firstInductorResistance;
        ph.firstInductorVoltage = li.firstInductorResistance * i;
        cap.inputVoltage -= ph.firstInductorVoltage;
    }
    const double lineDrop = li.lineResistance * i;
    cap.inputVoltage -= lineDrop;
    if (li.sourceOn) {
        ph.firstStageCapacitorCurrent = 0.0;
        ph.sourceVoltage = ph.phaseVoltage;
        ph.filterVoltage = ph.phaseVoltage - ph.firstInductorVoltage;
    }
    // The filter's capacitors (Capacitor In and the damping one beside it) hold the filter
    // node's DC voltage: the line less the drops before that node.
    if (li.sourceOn || li.inputCapacitorOn) {
        ph.filterCapCurrent = ph.firstStageCapacitorDampingResistorVoltage = 0.0;
        ph.filterCapVoltage = ph.filterCapVoltage2 = ph.lineVoltage - li.lineResistance * i - ph.firstInductorVoltage;
    }
    // Without the damping branch's resistor no current is shared into it.
    ph.dampingBranchCurrent = 0.0;
    ph.secondInductorVoltage = 0.0;
    if (li.secondInductorOn) {
        double i2 = i;
        if (li.dampingResistorOn) {
            const double r2 = li.secondInductorResistance;
            const double rb = li.dampingResistance + (li.dampingInductorOn ? li.dampingInductorResistance : 0.0);
            i2 = i * rb / (r2 + rb);
            ph.dampingBranchCurrent = i * r2 / (r2 + rb);
        }
        ph.secondInductorCurrent = ph.secondInductorMeanCurrent = ph.secondInductorCurrentCopy = i2;
        NominalInductance(ctx.pTable3[1], &ph.secondInductance, &ph.secondInductanceSlope);
        ph.secondInductorCurrentSlope = 0.0;
        ph.secondInductorParallelResistance = open;
        ph.secondInductorWindingResistance = li.secondInductorResistance;
        ph.secondInductorVoltage = li.secondInductorResistance * i2;
        cap.inputVoltage -= ph.secondInductorVoltage;
    }
    if (li.dampingInductorOn) {
        const double ib = ph.dampingBranchCurrent;
        ph.dampingInductorCurrent = ph.dampingInductorMeanCurrent = ph.dampingInductorCurrentCopy = ib;
        NominalInductance(ctx.pTable3[2], &ph.dampingInductance, &ph.dampingInductanceSlope);
        ph.dampingInductorCurrentSlope = 0.0;
        ph.dampingInductorParallelResistance = open;
        ph.dampingInductorWindingResistance = li.dampingInductorResistance;
        ph.dampingInductorVoltage = ib * li.dampingInductorResistance;
    }
    if (li.dampingResistorOn) ph.dampingResistorDrop = ph.dampingBranchCurrent * li.dampingResistance;
    ph.startValueCopy = ph.lineVoltage - ph.firstInductorVoltage - ph.secondInductorVoltage - lineDrop;
    ph.startTermA = i;
    ph.lineCurrentHeld = i;
    // The step's line branch: the source current at the bulk's voltage.
    ph.firstInductorCurrentSlope = 0.0;
    if (!li.sourceOn) {
        ph.firstStageCapacitorCurrent = i;
        ph.sourceVoltage = ph.lineVoltage;
        ph.filterVoltage = ph.lineVoltage - lineDrop;
    }
    if (CheckFloatingPointStatus()) return Fail(52056, 52088);
    return 1;
}

// The primary at the period start: the switches open, the reset (or clamp) circuit at its
// steady voltage, the magnetising current at the bottom of its ripple (0 where the reset
// ends it), the blocking elements at the voltages they hold.
}  // namespace

void InitSteadyStatePrimary(double duty) {
    AnalysisContext& ctx = *GetAnalysisContext();
    const PrimaryInputRec& pi = *ctx.pPrimaryInput;
    const double open = ctx.pSettings->openResistance;
    const double vin = ctx.inputCapacitor.inputVoltage;
    const double period = ctx.stepState.switchingPeriod;
    PrimaryStateRec& p = ctx.primary;
    // A saturable core's magnetising current swings between -X and X with 2·Φ(X) = Vin·D·T,
    // and a clamp resistor burns the energy W(Ipk) of the peak Φ(Ipk) = Vin·D·T each period:
    // Vc²/Rc·T = W (AnalMSat.h; with a linear core X = Vin·D·T/(2·Lm) and W = ½·Lm·Ipk²).
    // The active clamp holds such a core at -Vc = -D/(1 - D)·Vin through the off-time, and
    // the period starts the clock's fall and the switch's turn-on delay t before the bottom -X:
    // Φ(I_0) = -Φ(X) + Vc·t.
    const TimeMagnitudeTable* core = TransformerCore(ctx);
    const double swing = core ? CurrentAtFlux(core->points, core->count, vin * period * duty / 2.0) : 0.0;
    double clampStart = -swing;
    if (core && pi.hasClampCapacitor && !pi.clampResistorOn) {
        const ControlInputRec& ci = *ctx.pControlInput;
        const double before =
            (ci.clockEnabled ? period * ci.clockSecondSlope / (ci.clockSecondSlope - ci.clockFirstSlope) : 0.0) +
            pi.turnOnDelay;
        const double flux = -vin * period * duty / 2.0 + duty / (1.0 - duty) * vin * before;
        clampStart = CurrentAtFlux(core->points, core->count, std::min(flux, vin * period * duty / 2.0));
    }
    if (pi.hasClampCapacitor) {
        if (!pi.clampResistorOn) {
            p.clampCapacitorVoltage = duty / (1.0 - duty) * vin;
            p.clampCapacitorCurrent =
                core ? clampStart : -(vin / pi.magnetizingInductanceNominal * period * duty) / 2.0;
        } else if (core) {
            const double peak = CurrentAtFlux(core->points, core->count, vin * period * duty);
            const double energy = CoreEnergy(core->points, core->count, peak);
            p.clampCapacitorVoltage = std::sqrt(pi.clampResistance * energy / period);
            p.clampCapacitorCurrent = -p.clampCapacitorVoltage / pi.clampResistance;
        } else {
            p.clampCapacitorVoltage = std::sqrt(period * pi.clampResistance / pi.magnetizingInductanceNominal / 2.0) *
                                      vin * duty;
            p.clampCapacitorCurrent = -p.clampCapacitorVoltage / pi.clampResistance;
        }
        p.clampCapacitorVoltageState = p.clampCapacitorVoltage;
        p.resetCurrentCopy = 0.0;
    }
    if (pi.clampResistorOn) p.clampResistorCurrent = -p.clampCapacitorCurrent;
    if (pi.senseResistorOn) p.currentSenseResistorVoltage = 0.0;
    if (pi.diode1On) {
        p.diode1Voltage = -vin / 2.0;
        p.diode1Current = 0.0;
        p.diode1Aux = 0.0;
        p.diode1Resistance = open;
        if (pi.secondSwitchOn) {
            p.diode2Voltage = -vin / 2.0;
            p.diode2Current = 0.0;
        }
    }
    if (pi.resetDiodeOn) {
        p.resetDiodeVoltage = -p.clampCapacitorVoltage;
        p.resetDiodeCurrent = 0.0;
        p.resetDiodeResistance = open;
    }
    if (pi.senseDiodeOn) {
        p.senseDiodeResistance = open;
        p.currentSenseRectifierAnodeToCathodeVoltage = 0.0;
    }
    if (pi.senseAmplifierOn) {
        p.senseAmpCurrent = 0.0;
        p.senseAmpResistance = open;
        p.senseAmpVoltage = 0.0;
    }
    if (pi.clampCapacitorOn) p.capacitorVoltage = p.capacitorVoltageCopy = vin + 1.0;
    // SW1 carries no current while open: its body diode (forward voltage above 0) is off.
    if (pi.switch1On) {
        p.switch1Current = 0.0;
        p.switch1Resistance = open;
        p.switch1OffResistance = open;
        p.switch1Aux1 = 0.0;
        p.switch1Aux2 = 0.0;
        p.switch1Voltage = pi.secondSwitchOn ? vin / 2.0 : vin;
        p.switch1VoltageCopy = p.switch1Voltage;
        p.switch1DrainToSourceCurrent = 0.0;
        p.switch1DiodeConducting = 0;
        p.switch1DiodeCurrent = 0.0;
        if (pi.secondSwitchOn) {
            p.switch2Current = 0.0;
            p.switch2Voltage = p.switch1VoltageCopy;
            p.switch2Link = 0.0;
        }
    }
    if (pi.powerTransformerOn) {
        p.primaryWindingCurrentSlope = 0.0;
        p.primaryOpenResistance = open;
        p.primaryWindingResistance = pi.primaryWindingResistance;
        p.magnetizingCurrentCopy5 = 0.0;
        p.magnetizingInductance = pi.magnetizingInductanceNominal;
        p.magnetizingInductanceSlope = 0.0;
        p.switchState = 0;
        // Half the magnetising ripple, negative at the period start, where the reset swings it.
        const double ripple = core ? -swing : -(vin / pi.magnetizingInductanceNominal * period * duty) / 2.0;
        switch (pi.topology) {
        case 4:
        case 5:
            p.magnetizingCurrent = p.magnetizingCurrentCopy1 = p.transformerPrimaryCurrent = ripple;
            p.idleTestCurrent = p.resetCapacitorCurrent = p.magnetizingCurrentCopy5 = ripple;
            p.primaryWindingCurrent = ripple;
            p.switchState = 1;
            p.primaryWindingVoltage = -1.0;
            p.capacitorVoltage = p.capacitorVoltageCopy = p.switch1VoltageCopy = vin + 1.0;
            break;
        case 6:
        case 7:
            p.magnetizingCurrent = p.magnetizingCurrentCopy1 = p.transformerPrimaryCurrent =
                core && pi.hasClampCapacitor ? clampStart : ripple;
            p.idleTestCurrent = p.primaryWindingCurrent = p.magnetizingCurrent;
            p.primaryWindingVoltage = -p.clampCapacitorVoltage;
            p.switchState = 1;
            p.clampSwitchActive = 1;
            p.clampSwitchVoltage = 0.0;
            p.clampSwitchCurrent = -p.magnetizingCurrent;
            p.clampSwitchOnResistance = pi.clampSwitchOnResistance;
            p.clampSwitchAux1 = p.clampSwitchAux2 = p.clampSwitchAux3 = p.clampSwitchAux4 = 0.0;
            // The switch carries the current in its channel: its body diode stays off.
            p.clampSwitchDiodeConducting = 0;
            p.clampSwitchResistance = open;
            p.clampSwitchDiodeCurrent = 0.0;
            break;
        default:
            p.magnetizingCurrent = p.magnetizingCurrentCopy1 = p.transformerPrimaryCurrent = 0.0;
            p.idleTestCurrent = p.primaryWindingVoltage = 0.0;
            p.primaryWindingCurrent = 0.0;
            break;
        }
        // The step takes a saturable core's inductance at the magnetising current it starts from.
        if (core) {
            double lm = 0.0, slope = 0.0;
            if (LookUpInductance(&lm, &slope, *ctx.pTable[kPowerXfmrTable], p.magnetizingCurrent)) {
                p.magnetizingInductance = lm;
                p.magnetizingInductanceSlope = slope;
            }
        }
    }
    if (pi.currentSenseTransformerOn) {
        p.senseXfmrCurrent = p.senseXfmrVoltage = p.senseXfmrSecondaryCurrent = p.senseXfmrSecondaryVoltage = 0.0;
        p.senseXfmrAux1 = p.senseXfmrAux2 = 0.0;
        p.senseXfmrOffResistance = p.senseXfmrOffResistance2 = open;
        p.senseXfmrWindingResistance = p.senseXfmrResistance = pi.senseXfmrWindingResistance;
        p.senseXfmrSecondaryResistance = pi.senseXfmrSecondaryResistance;
    }
    if (pi.resetWindingOn) {
        p.resetWindingCurrent = p.resetWindingVoltage = p.resetWindingAux = 0.0;
        p.resetWindingResistance = pi.resetWindingResistance;
    }
    if (!pi.powerTransformerOn) p.switchState = 0;
    p.switch1Conducting = 0;
    p.switch1OnRequest = 0;
    p.switch1OffRequest = 0;
    p.resetRectifiersOn = 0;
    p.resetRectifiersOffRequest = 0;
    p.reflectedSecondaryCurrent = 0.0;
    p.currentSenseOutput = 0.0;
}

namespace {

// The capacitor current sense at the period's start: the primary carries the capacitor's
// current, which is at the bottom of its ripple and negative, so the sense diode blocks and
// the secondary is idle; the bias filter holds the sense node's voltage from V Bias alone,
// Resistor Cap Sense below Resistor Bias 1 (the bias branch carries no DC current).
void InitSteadyStateCapacitorSense(const OutputFilterInputRec& fi, OutputFilterStateRec& f) {
    const double ip = f.capacitorCurrent;
    const double is = std::max(0.0, ip * CapacitorSenseRatio(fi));
    const double rcs = fi.senseResistance, rb1 = fi.biasUpperResistance;
    const double vn = fi.biasVoltage * rcs / (rcs + rb1) + rcs * rb1 / (rcs + rb1) * is;
    f.csValue1 = f.senseXfmrMeanCurrent = ip;
    f.senseXfmrSecondaryCurrent = f.senseDiodeCurrent = is;
    f.filterFlagA = is > 0.0 ? 1 : 0;
    f.csValue12 = f.biasNodeVoltage = f.senseResistorVoltage = f.currentSenseOutput = vn;
    f.senseResistorCurrent = vn / rcs;
    f.biasCurrent = 0.0;
}

// The transistor positions at the period start, as the last off-edge's timers left them:
// rectifier 1's channel let go and blocking; rectifier 2's channel driven and carrying the
// choke current ic (a diode in its place carries it, or has run dry, as the diodes' estimate).
void InitSteadyStateSyncRectifiers(const SecondaryRectifierInputRec& ri, int32_t s, double ic, bool continuous,
                                   double open, double capacitorVoltage, SecondaryRectifierStateRec& rs) {
    rs.switchPathAOn = 0;
    rs.switchPathASettled = rs.delayExpired = SyncPosition(ri, 0) ? 1 : 0;
    rs.secondDiodeConducting = 0;
    if (SyncPosition(ri, 0)) {
        rs.switch1DrainToSourceVoltage = 0.0;
        rs.switch1DrainToSourceCurrent = 0.0;
        rs.switchPathAResistance = open;
    }
    const bool channel = SyncPosition(ri, 1);
    rs.switchPathBOn = rs.switchPathBSettled = channel ? 1 : 0;
    if (channel) {
        const double ron = ri.secondOnResistance;
        rs.diodeConducting = 1;
        rs.diodeCurrent = s * ic;
        rs.diodeResistance = ron;
        rs.rectifierVoltage = ron * rs.diodeCurrent;
        rs.channelResistance = ron;
        rs.channelCurrent = -rs.diodeCurrent;
        rs.channelVoltage = -rs.rectifierVoltage;
    } else if (!continuous) {
        rs.diodeCurrent = 0.0;
        rs.rectifierVoltage = -s * capacitorVoltage;
        rs.diodeResistance = open;
        rs.diodeConducting = 0;
    } else {
        const RectifierDiode d = PositionDiode(ri, 1);
        rs.diodeCurrent = s * ic;
        rs.rectifierVoltage = rs.diodeCurrent * d.resistance + d.forwardVoltage;
        rs.diodeResistance = d.resistance;
        rs.diodeConducting = 1;
    }
    rs.rectifier2TotalAnodeToCathodeCurrent = rs.diodeCurrent;
}

// One output at the start of the period. Adds its power to *power and its ripple term to
// *ripple; *current is its load current.
int32_t InitSteadyStateOutput(AnalysisContext& ctx, int32_t k, double duty, double vk, double* power,
                              double* current, double* ripple) {
    const int32_t j = k - 1;
    const AnalysisSettingsRec& set = *ctx.pSettings;
    const ControlInputRec& ci = *ctx.pControlInput;
    const PrimaryInputRec& pi = *ctx.pPrimaryInput;
    const LoadNetworkInputRec& ld = *ctx.pLoadNetworkInput[j];
    const OutputChokeInputRec& chi = *ctx.pOutputChokeInput[j];
    const SecondaryRectifierInputRec& ri = *ctx.pSecondaryRectifierInput[j];
    const OutputFilterInputRec& fi = *ctx.pOutputFilterInput[j];
    LoadNetworkStateRec& lo = ctx.loadNetwork[j];
    OutputChokeStateRec& ch = ctx.outputChoke[j];
    SecondaryRectifierStateRec& rs = ctx.secondaryRectifier[j];
    OutputFilterStateRec& f = ctx.outputFilter[j];
    SecondaryWindingStateRec& w = ctx.secondaryWinding[j];
    const double open = set.openResistance;
    const double period = ctx.stepState.switchingPeriod;
    const int32_t s = Sign(fi.outputSign);

    double vo = 0.0;
    if (!PredictOutputVoltage(&vo, vk, ld, chi, ri, fi)) return 0;

    // Load.
    const double rsum = LoadSeriesSum(ld);
    const double rpar = (ld.resistorOn ? ld.resistance : 0.0) + (ld.inductorOn ? ld.inductorResistance : 0.0);
    double i = 0.0;
    if (!ld.currentSourceOn) {
        i = vo / rsum;
    } else {
        lo.sourceResistance = open;
        i = ld.resistorOn ? (ld.sourceCurrent * rpar + vo) / rsum : ld.sourceCurrent + vo / open;
    }
    *power += i * vo;
    const double reff = FilterSeriesResistance(fi);
    *power += i * i * reff;
    lo.loadCurrent = i;
    double vnode = vo;
    if (ld.firstBranchOn) {
        lo.firstBranchCurrent = i;
        lo.firstResistorDrop = ld.firstResistance * i;
        vnode -= lo.firstResistorDrop;
        if (ld.firstInductorOn) {
            lo.load1MeanCurrent = i;
            lo.load1CurrentCopy = i;
            lo.load1SquareCurrentIntegral = 0.0;
            lo.load1ParallelResistance = open;
            lo.load1WindingResistance = ld.firstInductorResistance;
            lo.load1Voltage = ld.firstInductorResistance * i;
            vnode -= lo.load1Voltage;
        }
    }
    if (ld.currentSourceOn) {
        lo.sourcePhase = 0.0;
        lo.sourceDcCurrent = ld.sourceCurrent;
        lo.sourceCurrentSlope = ld.sourceSineAmplitude * ld.sourceFrequency * kTwoPi;
        lo.sourceVoltage = vnode;
    }
    const double branch = ld.currentSourceOn ? i - ld.sourceCurrent : i;
    if (ld.inductorOn) {
        lo.load2MeanCurrent = branch;
        lo.load2CurrentCopy = branch;
        lo.load2SquareCurrentIntegral = 0.0;
        lo.load2ParallelResistance = open;
        lo.load2WindingResistance = ld.inductorResistance;
        lo.load2Voltage = ld.currentSourceOn ? 0.0 : vnode - (ld.resistorOn ? ld.resistance * i : 0.0);
    }
    if (ld.resistorOn) {
        lo.resistorAux = 0.0;
        lo.resistorCurrent = branch;
        lo.resistorVoltage = ld.currentSourceOn ? lo.sourceVoltage
                                                : vnode - (ld.inductorOn ? branch * ld.inductorResistance : 0.0);
    }
    lo.outputNodeVoltage = vnode;

    // Choke.
    const double vf = DiodeRectifier(ri) ? ri.forwardVoltage : 0.0;
    double slope = 0.0;
    const double skim = SkimInductanceOf(ctx, j);
    if (chi.chokeOn) {
        const TimeMagnitudeTable* core = ChokeCore(ctx, j);
        // The voltage the choke falls by while the freewheeling position conducts.
        const double fallVoltage = Synchronous(ri)       ? s * ConductingDrop(ri, 1, i) + vo
                                   : DiodeRectifier(ri) ? s * ri.forwardVoltage + vo
                                                        : ri.secondOnResistance * i + vo;
        double l = ch.continuousConduction ? ChokeInductanceOver(ctx, j, i, (1.0 - duty) * period * fallVoltage)
                                           : ChokeDryInductance(ctx, j, period);
        if (!ch.continuousConduction) {
            ch.currentSlope = 0.0;
            ch.chokeCurrent = 0.0;
            ch.lookupCurrent = 0.0;
            ch.windingVoltage = 0.0;
            ch.meanCurrent = i;
            const double x = std::sqrt(2.0 * period * *power / l);
            const double fall_v = s * vo + rs.forwardVoltage;
            double fall = fall_v <= 0.0 ? 1.0 : (l * x / fall_v) / period;
            if (fall > 1.0) fall = 1.0;
            if (!fi.hasInductorB)
                *ripple += (fi.rippleResistance * x + (x / period) * (1.0 / fall + 1.0 / duty) * fi.rippleInductance) *
                           ld.rippleWeight;
        } else {
            slope = -fallVoltage / l;
            ch.currentSlope = slope;
            ch.meanCurrent = i;
            const double imax = i - (1.0 - duty) * period * slope / 2.0;
            double imin = i + (1.0 - duty) * period * slope / 2.0;
            if (!FreewheelChannel(ri) && s * imin < 0.0) imin = 0.0;
            if (!fi.hasInductorB)
                *ripple += ((imax - imin) * fi.rippleResistance +
                            ((imax - imin) / period) * (1.0 / duty + 1.0 / (1.0 - duty)) * fi.rippleInductance) *
                           ld.rippleWeight;
            ch.chokeCurrent = i;
            // Hysteretic control starts its period at the drive's rising edge: the valley.
            if (ci.controlMode == 3) ch.chokeCurrent = imin;
            else if (ci.clockEnabled) {
                const double before = period * ci.clockSecondSlope / (ci.clockSecondSlope - ci.clockFirstSlope) +
                                      pi.turnOnDelay;
                // A saturable core still falls that long before its valley: Φ(I_0) = Φ(I_min) - slope·L·t.
                const double flux = core ? FluxLinkage(core->points, core->count, imin) - before * slope * l : 0.0;
                ch.chokeCurrent = core ? CurrentAtFlux(core->points, core->count, flux)
                                       : imin - period * ci.clockSecondSlope * slope /
                                                    (ci.clockSecondSlope - ci.clockFirstSlope) -
                                             pi.turnOnDelay * slope;
                if (core && skim > 0.0) {
                    // The branch's flux, the skim's linear part with it, falls by the same volt-seconds.
                    const auto branch = [&](double c) { return FluxLinkage(core->points, core->count, c) + skim * c; };
                    const double target = branch(imin) - before * slope * l;
                    const double span = std::fabs(before * slope * l) / skim + std::fabs(imin) + 1.0;
                    ch.chokeCurrent = RisingCrossing(branch, target, imin - span, imin + span);
                }
            }
            // The step falls from there at the inductance its core has at that current.
            if (core) {
                double at = 0.0, dl = 0.0;
                if (LookUpInductance(&at, &dl, *ctx.pTable[OutputTableIndex(k, kChokeTable)], ch.chokeCurrent))
                    slope *= l / (at + skim);
                ch.currentSlope = slope;
            }
            ch.lookupCurrent = ch.chokeCurrent;
            ch.windingVoltage = Synchronous(ri)       ? slope * l
                                : DiodeRectifier(ri) ? -(s * ri.forwardVoltage + vo)
                                                     : -vo - ch.chokeCurrent * ri.secondOnResistance;
        }
        ch.inductance = l - skim;  // the choke's own; the skim's below
        ch.inductanceSlope = 0.0;
        if (core) {
            double lookedUp = 0.0;
            if (LookUpInductance(&lookedUp, &ch.inductanceSlope, *ctx.pTable[OutputTableIndex(k, kChokeTable)],
                                 ch.chokeCurrent))
                ch.inductance = lookedUp;
        }
        ch.reportedChokeCurrent = ch.chokeCurrent;
        SetFlagIfSameSign(&ch.chokeFlagA, ri.resistiveRectifier, ch.reportedChokeCurrent, fi.outputSign);
        ch.squareCurrentIntegral = 0.0;
        ch.parallelResistance = open;
        ch.windingResistance = chi.windingResistance;
        ch.totalResistance = chi.windingResistance;
        ch.totalInductance = l - skim;
    }
    if (chi.skimWindingOn) {
        // The step's own form: the skim carries the choke's current at the choke's slope.
        ch.skimMeanCurrent = i;
        ch.skimCurrent = ch.chokeCurrent;
        ch.skimParallelResistance = open;
        ch.skimWindingResistance = chi.skimResistance;
        ch.skimInductance = skim;
        ch.skimInductanceSlope = 0.0;
        ch.skimVoltage = skim * slope + chi.skimResistance * ch.chokeCurrent;
        ch.totalResistance += chi.skimResistance;
        ch.totalInductance += skim;
    }
    if (chi.seriesElementOn) {
        ch.seriesElementVoltage = (chi.seriesInductance * slope + ch.chokeCurrent * chi.seriesResistance) * s;
        ch.currentSenseOutput = chi.seriesElementFactor * ch.seriesElementVoltage;
        ch.totalResistance += chi.seriesResistance;
        ch.totalInductance += chi.seriesInductance;
    }
    *power += ch.totalResistance * ch.chokeCurrent * ch.chokeCurrent;
    *power += Synchronous(ri)       ? s * ch.chokeCurrent * ConductingDrop(ri, 1, ch.chokeCurrent)
              : DiodeRectifier(ri) ? s * ch.chokeCurrent * ri.forwardVoltage
                                   : ch.chokeCurrent * ch.chokeCurrent * ri.onResistance;

    // Second-stage filter: its inductor beside the damping branch share the load current
    // inversely to their resistances.
    const double ra = fi.hasInductorB ? fi.secondInductorResistance : 0.0;
    const double rb = (fi.dampingInductorOn ? fi.dampingInductorResistance : 0.0) +
                      (fi.hasDampingB ? fi.dampingResistance : 0.0);
    const double rt = ra + rb;
    if (fi.dampingInductorOn) {
        const double ib = ra / rt * i;
        f.dampingInductorCurrent = f.dampingInductorMeanCurrent = f.dampingInductorCurrentCopy = ib;
        f.dampingInductorCurrentSlope = 0.0;
        f.dampingInductorParallelResistance = open;
        f.dampingInductorWindingResistance = fi.dampingInductorResistance;
        f.dampingInductorVoltage = fi.dampingInductorResistance * ib;
    }
    if (fi.hasInductorB) {
        const double ia = fi.hasDampingB ? rb / rt * i : i;
        f.secondInductorCurrent = f.secondInductorMeanCurrent = f.inductorBCurrent = ia;
        f.secondInductorCurrentCopy2 = ia;
        f.secondInductorCurrentSlope = 0.0;
        f.secondInductorParallelResistance = open;
        f.secondInductorWindingResistance = ra;
        f.secondInductorVoltage = ra * ia;
    }
    if (fi.hasDampingB) {
        f.dampingInductorCurrent = ra / rt * i;
        f.dampingResistorDrop = f.dampingInductorCurrent * fi.dampingResistance;
    }

    // First-stage capacitor at the load's voltage, carrying the choke's excess over the load.
    f.capacitorCurrent = ch.chokeCurrent - i;
    f.capacitorVoltage = i * reff + vo;
    f.outputVoltage = vo;
    *current = i;
    if (fi.capacitorOn) {
        f.capAVoltage = f.capacitorVoltage;
        f.capacitorCurrent1 = f.capacitorCurrent;
        f.capacitorVoltage1 = f.capAVoltage;
    }
    if (fi.senseXfmrOn) InitSteadyStateCapacitorSense(fi, f);
    if (fi.hasCapA2) {
        f.capacitor2Current = 0.0;
        f.capA2Voltage = f.capacitor2Voltage = f.capacitor2VoltageCopy = f.capacitorVoltage;
    }
    if (fi.hasCapB) {
        f.outputCapacitorCurrent = 0.0;
        f.capBVoltage = f.outputCapacitorVoltageCopy = vo;
    }
    if (fi.hasCapB2) {
        f.outputCapacitor2Current = 0.0;
        f.capB2Voltage = f.outputCapacitor2Voltage = f.outputCapacitor2VoltageCopy = vo;
    }

    // Rectifiers: the forward one blocking, the freewheeling one carrying the choke current.
    rs.outputSideVoltage = vo;
    rs.rectifier1Resistance = open;
    rs.rectifier1On = 0;
    rs.rectifierCurrent = 0.0;
    rs.rectifier1AnodeToCathodeCurrent = 0.0;
    rs.rectifier1AnodeToCathodeVoltage = 0.0;
    rs.chokeCurrentCopy = ch.chokeCurrent;
    const double ic = ch.chokeCurrent;
    if (Synchronous(ri)) {
        InitSteadyStateSyncRectifiers(ri, s, ic, ch.continuousConduction != 0, open, f.capAVoltage, rs);
    } else if (!DiodeRectifier(ri)) {
        // The channel, its body diode (Vf, Rd) and the diode beside it (Vx, Rx) share the
        // drop: a diode conducts once the voltage across them passes its forward voltage.
        const double ron = ri.secondOnResistance, rd = ri.secondDynamicResistance, vfd = ri.forwardVoltage;
        const double vx = ri.secondDiodeVoltage, rx = ri.secondDiodeResistance;
        rs.resistiveActive = 1;
        rs.channelResistance = ron;
        rs.diodeConducting = rs.secondDiodeConducting = 0;
        rs.diodeCurrent = rs.secondDiodeCurrent = 0.0;
        rs.diodeResistance = rs.secondDiodeResistanceNow = open;
        const double v = s * ic * ron;
        const bool bodyFirst = vfd <= vx;
        const double vLow = bodyFirst ? vfd : vx, rLow = bodyFirst ? rd : rx, vHigh = bodyFirst ? vx : vfd;
        bool all = false;
        if (v <= vLow) {
            rs.rectifierVoltage = v;
            rs.channelCurrent = -s * ic;
        } else {
            const double u = (s * ic * rLow + vLow) * ron / (ron + rLow);
            if (u > vHigh) {
                all = true;
            } else if (bodyFirst) {
                rs.diodeConducting = 1;
                rs.diodeResistance = rd;
                rs.diodeCurrent = (u - vfd) / rd;
                rs.channelCurrent = s * ic - rs.diodeCurrent;
                rs.rectifierVoltage = ron * rs.channelCurrent;
            } else {
                rs.secondDiodeConducting = 1;
                rs.secondDiodeResistanceNow = rx;
                rs.secondDiodeCurrent = (u - vx) / rx;
                rs.rectifierVoltage = u;
                rs.channelCurrent = -s * ic;
            }
        }
        if (all) {
            const double ich = (rd * vx + rx * vfd + s * ic * rx * rd) / (rx * rd + ron * rd + ron * rx);
            rs.secondDiodeCurrent = (ich * ron - vx) / rx;
            rs.diodeCurrent = (ron * ich - vfd) / rd;
            rs.rectifierVoltage = ron * ich;
            rs.channelCurrent = rs.secondDiodeCurrent + ich;
            rs.diodeConducting = rs.secondDiodeConducting = 1;
            rs.diodeResistance = rd;
            rs.secondDiodeResistanceNow = rx;
        }
        rs.rectifier2TotalAnodeToCathodeCurrent = s * ic;
        rs.channelVoltage = rs.rectifierVoltage;
    } else if (!ch.continuousConduction) {
        rs.diodeCurrent = 0.0;
        rs.rectifierVoltage = -s * f.capAVoltage;
        rs.diodeResistance = open;
        rs.diodeConducting = 0;
        rs.rectifier2TotalAnodeToCathodeCurrent = 0.0;
    } else {
        rs.diodeCurrent = s * ch.chokeCurrent;
        rs.rectifierVoltage = s * ch.chokeCurrent * ri.secondDynamicResistance + vf;
        rs.diodeResistance = ri.secondDynamicResistance;
        rs.diodeConducting = 1;
        rs.rectifier2TotalAnodeToCathodeCurrent = rs.diodeCurrent;
    }
    rs.outputConducting = rs.rectifier1On || rs.diodeConducting;
    rs.rectifiedVoltage = -s * rs.rectifierVoltage;

    if (pi.powerTransformerOn) {
        w.windingInductance = ctx.primary.magnetizingInductance / pi.magnetizingInductanceNominal *
                              ri.nominalWindingInductance;
        w.windingResistance = ri.windingResistance;
        w.windingCurrent = 0.0;
        w.windingVoltage = 0.0;
    }

    // The step's own hand-over slots: the freewheeling rectifier carries the choke current.
    OutputStepStore& o = ctx.engine.output[j];
    o = OutputStepStore();
    o.freewheelCurrent = rs.diodeCurrent;
    o.freewheelSlope = rs.diodeConducting ? s * slope : 0.0;
    o.freewheelVoltage = rs.diodeConducting ? rs.rectifierVoltage : 0.0;
    o.chokeNodeVoltage = rs.rectifiedVoltage;
    ctx.engine.secondaryCurrent[j] = 0.0;

    if (CheckFloatingPointStatus()) {
        ReportMessage(52066, TRUE);
        return 0;
    }
    return 1;
}

// The modulator's lag at the period start (see the file's head): the rectified voltage as a
// pulse over the on-time on the period start's own level, its height giving the mean.
void PlaceModulatorLag(AnalysisContext& ctx, int32_t j, double duty) {
    const SecondaryRectifierInputRec& ri = *ctx.pSecondaryRectifierInput[j];
    SecondaryRectifierStateRec& rs = ctx.secondaryRectifier[j];
    if (ri.dutyWeight == 0.0) return;
    const double tau = ctx.pOutputFilterInput[j]->engineSetupParamA;
    const double low = rs.rectifiedVoltage;
    if (!(tau > 0.0) || !(duty > 0.0)) {
        rs.modulatorVoltage = low;  // no lag: the step takes the rectified voltage itself
        return;
    }
    const ControlInputRec& ci = *ctx.pControlInput;
    const double t = ctx.stepState.switchingPeriod;
    const double mean = ctx.outputFilter[j].capacitorVoltage +
                        (ChokeResistance(*ctx.pOutputChokeInput[j]) + OutputExcess(ctx, j)) * ctx.loadNetwork[j].loadCurrent;
    const double high = low + (mean - low) / duty;
    double on = ctx.pPrimaryInput->turnOnDelay > 0.0 ? ctx.pPrimaryInput->turnOnDelay : 0.0;
    if (ci.clockEnabled) on += t * ci.clockSecondSlope / (ci.clockSecondSlope - ci.clockFirstSlope);
    on = std::clamp(on, 0.0, (1.0 - duty) * t);
    rs.modulatorVoltage =
        low + (high - low) * std::exp(-(t - on - duty * t) / tau) * std::expm1(-duty * t / tau) / std::expm1(-t / tau);
}

// The duty the current limit leaves in an overload: the pulse ends where the sensed primary
// current reaches the threshold (the short limit filter lagging it by its R·C), the switch
// turning off the limit's delay later. At duty D each output k (turns ratio n_k, load R_k =
// target voltage over target current, on-state resistance R_t, drop V_d) sits at
//   V_k = (n_k·V_in·D - V_d)·R_k/(R_k + R_t),  I_k = V_k/R_k,
// its choke peaking at I_k + (1 - D)·T·(V_k + V_d)/(2·L_k), and the primary peaks at
//   I_p = sum of n_k·(choke peak) + V_in·D·T/L_m  (the magnetising current from 0).
// The peak rises with D: a bisection finds the D_x where gain·I_p meets the threshold, and
// the limited duty is D_x + (delay + R·C)/T, never above the duty the targets need. Returns
// D unchanged without an overload (or without a primary-sensing limit); *limited says which.
double CurrentLimitedDuty(const AnalysisContext& ctx, double duty, bool* limited) {
    *limited = false;
    const ControlInputRec& ci = *ctx.pControlInput;
    const PrimaryInputRec& pi = *ctx.pPrimaryInput;
    const AnalysisSettingsRec& set = *ctx.pSettings;
    if (!ci.currentLimitEnabled || ci.currentSenseSource != 0 || !(ci.currentLimitThreshold > 0.0)) return duty;
    const double gain = pi.currentSenseTransformerOn
                            ? SenseRatio(pi) * pi.senseResistance
                            : pi.senseAmpGain * pi.senseResistance;
    if (!(gain > 0.0) || !std::isfinite(gain)) return duty;
    const double period = set.switchingPeriodSetting;
    const double vin = ctx.inputCapacitor.inputVoltage;
    const double rp = PrimaryResistance(pi) + PrimaryExcess(ctx);
    const TimeMagnitudeTable* core = TransformerCore(ctx);
    const auto peak = [&](double d) {
        double ip = core ? CurrentAtFlux(core->points, core->count, vin * d * period)
                         : vin * d * period / pi.magnetizingInductanceNominal;
        for (int32_t j = 0; j < OutputsInUse(set); ++j) {
            const SecondaryRectifierInputRec& ri = *ctx.pSecondaryRectifierInput[j];
            const OutputChokeInputRec& ch = *ctx.pOutputChokeInput[j];
            const LoadNetworkInputRec& ld = *ctx.pLoadNetworkInput[j];
            const double n = EffectiveSecondaryTurns(j + 1) / pi.primaryTurns;
            const double vd = ctx.secondaryRectifier[j].forwardVoltage;
            const double rk = std::fabs(ld.outputVoltage / LoadCurrent(ld, set.openResistance));
            const double rt = n * n * rp + ri.windingResistance + FilterSeriesResistance(*ctx.pOutputFilterInput[j]) +
                              ChokeResistance(ch) + OutputExcess(ctx, j);
            const double v = std::max(n * vin * d - vd, 0.0) * rk / (rk + rt);
            const double l = ChokeInductanceOver(ctx, j, v / rk, (1.0 - d) * period * (v + vd));
            ip += n * (v / rk + (1.0 - d) * period * (v + vd) / (2.0 * l));
        }
        return gain * ip;
    };
    if (!(peak(duty) > ci.currentLimitThreshold)) return duty;
    const double reached = RisingCrossing(peak, ci.currentLimitThreshold, 0.0, duty);
    const double rc = ci.currentLimitFilterResistance * ci.currentLimitFilterCapacitance;
    const double delay = (std::isfinite(pi.stepSetupParamQ) && pi.stepSetupParamQ > 0.0 ? pi.stepSetupParamQ : 0.0) +
                         (std::isfinite(rc) && rc > 0.0 ? rc : 0.0);
    const double limitedDuty = std::min(reached + delay / period, duty);
    if (!std::isfinite(limitedDuty) || !(limitedDuty > 0.0)) return duty;
    *limited = true;
    return limitedDuty;
}

// The control voltage at which the modulator gives duty D, as the step's modulator compares:
//   voltage mode and the current amplifier's output: the rising clock, Vc = T·s2·D + V_low;
//   feed-forward: the ramp charged from the bulk through R·C since the on-edge,
//     Vc = Vb·(1 - exp(-D·T/(R·C)));
//   peak current: the sensed primary current at the turn-off, reflected load current at its
//     peak plus the magnetising current Vb·D·T/Lm, times the sense gain (the filter is short
//     against the on-time and the slope compensation is left to the loop).
double ModulatorControlVoltage(const AnalysisContext& ctx, double duty, double ipk) {
    const ControlInputRec& ci = *ctx.pControlInput;
    const PrimaryInputRec& pi = *ctx.pPrimaryInput;
    const double period = ctx.stepState.switchingPeriod;
    const double vb = ctx.inputCapacitor.inputVoltage;
    switch (ci.controlMode) {
    case 1: return vb * (1.0 - std::exp(-duty * period / (ci.rampResistance * ci.rampCapacitance)));
    case 0: {
        const double gain = pi.currentSenseTransformerOn
                                ? SenseRatio(pi) * pi.senseResistance
                                : pi.senseAmpGain * pi.senseResistance;
        const TimeMagnitudeTable* core = TransformerCore(ctx);
        return gain * (ipk + (core ? CurrentAtFlux(core->points, core->count, vb * duty * period)
                                   : vb * duty * period / pi.magnetizingInductanceNominal));
    }
    default: return period * ci.clockSecondSlope * duty + ci.clockLowerLimit;
    }
}

// One amplifier at its DC operating point with its output at out: linear, the inverting node
// at the reference and every capacitor of the feedback at out - ref (no DC current in
// C2's branch), the input capacitor at the drop across the input network (the feedback at
// the reference: 0); beyond a limit, held there with the node at the input (no DC current
// through R1 when the feedback has no resistor to carry it).
AmpState AmpAtOutput(const VeaNetwork& a, double input, double reference, double out) {
    AmpState st;
    if (out > a.upper || out < a.lower) {
        st.clampState = out > a.upper ? 1 : 2;
        st.clampValue = st.clampState == 1 ? a.upper : a.lower;
        st.out = st.clampValue;
        st.node = input;
    } else {
        st.out = out;
        st.node = reference;
    }
    st.vf = st.out - st.node;
    st.vc2 = a.HasR3C2() ? st.vf : 0.0;
    st.vc1 = a.HasInputBranch() ? input - st.node : 0.0;
    return st;
}

// The error amplifier's output that puts the opto-isolator's output at m: the chain is
// non-decreasing in it, so a bisection over the amplifier's range at DC (no capacitor
// current) finds it; the chain's DC state is left in c.
int32_t OptoInputFor(const OptoNetwork& o, double m, double lower, double upper, ControlStateRec& c) {
    if (o.topology == 6) return CalcOptoIsolator(o, std::clamp(m, lower, upper), 0.0, &c) ? 1 : 0;
    const auto chain = [&](double vea) {
        ControlStateRec t = c;
        t.optoAmpClampState = 0;
        // A second pass takes the inverter's limit state the first one found.
        CalcOptoIsolator(o, vea, 0.0, &t);
        CalcOptoIsolator(o, vea, 0.0, &t);
        return t.optoCoupledError;
    };
    const double vea = RisingCrossing(chain, m, lower, upper);
    c.optoAmpClampState = 0;
    if (!CalcOptoIsolator(o, vea, 0.0, &c) || !CalcOptoIsolator(o, vea, 0.0, &c)) return 0;
    c.veaOutput = vea;
    return 1;
}

// The step's own control networks charged for duty D: the modulator's control voltage, the
// current amplifier (average current control) holding the mean sensed current at its
// reference, the opto-isolator worked back to the error amplifier's output, and the error
// amplifier's capacitors at that output with the feedback at its reference. 1, or 0.
int32_t ChargeControlNetworks(AnalysisContext& ctx, double duty, double ipk, double vmean, bool limited) {
    const ControlInputRec& ci = *ctx.pControlInput;
    ControlStateRec& c = ctx.control;
    // Hysteretic control regulates the sensed current's mean to the control voltage.
    const double vc = ci.controlMode == 3 ? vmean : ModulatorControlVoltage(ctx, duty, ipk);
    double chain = vc;
    if (ci.controlMode == 4) {
        // The amplifier balances the sensed current over the whole period: the primary
        // current flows during the on-time only.
        chain = ci.senseSource == 0 ? vmean * duty : vmean;
        const VeaNetwork ca = CurrentAmpNetworkOf(ci);
        const AmpState st = AmpAtOutput(ca, chain + ci.currentInjectionOffset, chain, vc);
        c.currentAmpStateA = st.vc2;
        c.currentAmpStateB = st.vf;
        c.currentAmpFlowA = c.currentAmpAux1 = c.currentAmpFlowB = 0.0;
        c.currentEaInvertingInput = st.node;
        c.currentEaOutput = st.out;
        c.currentEaClampState = st.clampState;
        c.currentEaClampValue = st.clampValue;
    }
    if (ci.controlMode == 0) {
        // The ramp at the period start: the primary carries no current, the capacitors empty.
        c.rampCapacitorVoltage = ci.currentInjectionOffset;
        c.rampCapacitorCurrent = c.clockDividerVoltage = c.clockDividerAux = c.clockDividerCurrent = 0.0;
        c.clockDividerAux2 = 0.0;
        c.rampDifference = ci.clockUpperLimit - ci.slopeTransistorVbe;
    }
    const VeaNetwork vea = VeaNetworkOf(ci);
    const double reference = c.referenceLockout ? 0.0 : ci.veaReferenceValue;
    if (!OptoInputFor(OptoNetworkOf(ci), chain, vea.lower, vea.upper, c)) return 0;
    // In an overload the amplifier has wound up to its upper limit.
    const double out = limited ? std::numeric_limits<double>::infinity() : ci.optoVariant == 6 ? chain : c.veaOutput;
    // The feedback sits at the reference with every output on its target.
    const AmpState st = AmpAtOutput(vea, reference, reference, out);
    c.errorAmpAux = st.vc1;
    c.errorAmpStateB = st.vc2;
    c.errorAmpStateC = st.vf;
    c.errorAmpFlowA = c.errorAmpFlowB = c.errorAmpFlowC = c.errorAmpStateCAux = c.veaStateScaled = 0.0;
    c.veaInvertingInput = st.node;
    c.veaOutput = st.out;
    c.veaClampState = st.clampState;
    c.veaClampValue = st.clampValue;
    if (!CalcOptoIsolator(OptoNetworkOf(ci), c.veaOutput, 0.0, &c)) return 0;
    c.limitedError = c.optoCoupledError;
    c.pwmControlVoltage = ci.controlMode == 4 ? c.currentEaOutput : c.limitedError;
    c.pwmComparatorNonInverting = c.comparatorCopy = c.pwmControlVoltage;
    return std::isfinite(c.pwmControlVoltage) && !CheckFloatingPointStatus() ? 1 : 0;
}

// Control section at the operating point: the comparator at the control voltage of duty D,
// the error amplifier and opto-isolator worked back from it, the clock at its top.
int32_t InitSteadyStateControlSection(AnalysisContext& ctx, const double* currents, double duty, double ipk, double iavg,
                                     double ripple, bool limited) {
    const ControlInputRec& ci = *ctx.pControlInput;
    const PrimaryInputRec& pi = *ctx.pPrimaryInput;
    const double tf = ctx.pSettings->switchingPeriodSetting;
    const double period = ctx.stepState.switchingPeriod;
    ControlStateRec& c = ctx.control;

    // The sensed current at the period start: its peak, mean and slope.
    double vpeak = 0.0, vmean = 0.0, vslope = 0.0;
    if (ci.controlMode == 0 || ci.controlMode == 3 || ci.controlMode == 4) {
        if (ci.senseSource == 0) {
            const double gain = pi.currentSenseTransformerOn
                                    ? SenseRatio(pi) * pi.senseResistance
                                    : pi.senseAmpGain * pi.senseResistance;
            vpeak = gain * ipk;
            vmean = gain * iavg;
            vslope = (2.0 * (vpeak - vmean) / duty) / period;
        } else if (ci.senseSource == 1 || ci.senseSource == 2) {
            for (int32_t k = OutputsInUse(*ctx.pSettings); k >= 1; --k) {
                const int32_t j = k - 1;
                const OutputChokeInputRec& ch = *ctx.pOutputChokeInput[j];
                const OutputFilterInputRec& fi = *ctx.pOutputFilterInput[j];
                const SecondaryRectifierInputRec& ri = *ctx.pSecondaryRectifierInput[j];
                const int32_t s = Sign(fi.outputSign);
                const double vo = ctx.pLoadNetworkInput[j]->outputVoltage;
                const double vf = Synchronous(ri)      ? ConductingDrop(ri, 1, currents[j])
                                  : DiodeRectifier(ri) ? ri.forwardVoltage
                                                       : 0.0;
                // the choke's fall, its skim in series
                const double down = (s * vo + vf) / (ctx.outputChoke[j].inductance + SkimInductanceOf(ctx, j));
                // Over the whole ripple a saturable core falls at its chord inductance.
                const double across =
                    (s * vo + vf) / ChokeInductanceOver(ctx, j, currents[j], (1.0 - duty) * period * (s * vo + vf));
                if (ci.senseSource == 1) {
                    const double g = ch.senseWeight * ch.seriesElementFactor * ch.seriesResistance;
                    vmean += s * g * currents[j];
                    vpeak += (s * currents[j] + (1.0 - duty) * across * period / 2.0) * g;
                    vslope += down * g;
                } else {
                    const double bias = fi.csTermC * fi.biasVoltage / (fi.biasUpperResistance + fi.csTermC);
                    const double n = CapacitorSenseRatio(fi);
                    vmean += bias * ch.senseWeight;
                    vpeak += (bias + (1.0 - duty) * across * period * n * 0.5 * fi.senseResistance) * ch.senseWeight;
                    vslope += down * n * ch.senseWeight * fi.senseResistance;
                }
            }
        }
        if (CheckFloatingPointStatus()) return Fail(52054, 52213);
    }
    // The output ripple carried through the error amplifier's network.
    double x = 0.0;
    if (ci.hasErrorAmpFlowC) {
        const double r1 = ci.errorAmpStateBGain, r2 = ci.rippleGainResistance2, r3 = ci.rippleGainResistance3;
        x = ci.hasErrorAmpFlowB ? (r2 + r3) * (r1 * ripple / r2) / r3 : r1 * ripple / r3;
        if (ci.hasErrorAmpStateC) x = x / (tf * ci.rippleFilterCapacitance * r1 * kTwoPi + 1.0);
    }
    if (ci.hasRippleStage) {
        x = (ci.offsetGainDen2 * ci.offsetGainDen1 / ci.offsetGainNum) * x;
        if (ci.hasErrorAmpStateA) x = x / (tf * ci.offsetGainDen1 * ci.rippleStageCapacitance * kTwoPi + 1.0);
    }
    const double rff = ci.rampResistance, rs = ci.senseSummingResistance;
    double hystValley = NOT_SET, hystControl = vmean;
    switch (ci.controlMode) {
    case 0:
        c.pwmComparatorNonInverting = rs * vpeak / (rff + rs) +
                                      ((ci.clockLowerLimit - ci.rampOffset) + tf * ci.clockSecondSlope * duty) * rff /
                                          (rff + rs) -
                                      ci.rampCapacitance * rff * vslope + x / 2.0;
        c.pwmControlVoltage = c.pwmComparatorNonInverting;
        c.pwmComparatorInverting = (ci.clockLowerLimit - ci.rampOffset) * rff / (rff + rs);
        break;
    case 1:
        c.pwmComparatorNonInverting = ((ctx.inputCapacitor.inputVoltage / rff) / ci.rampCapacitance) * tf * duty + x / 2.0;
        c.pwmComparatorInverting = 0.0;
        c.pwmControlVoltage = c.pwmComparatorNonInverting;
        break;
    case 3:
        c.pwmComparatorNonInverting = vmean;
        c.pwmComparatorInverting = (3.0 * vmean - vpeak) / 2.0;
        c.pwmControlVoltage = vmean;
        if (ci.senseSource == 2) {
            // The capacitor's sense rectifier passes only the rise from the valley: the
            // sense sits on its bias there, and the window's lower edge with it.
            hystValley = vmean;
            const double vl = HystereticLogicLevel(ci, ctx.inputCapacitor.inputVoltage);
            hystControl = HystereticControlVoltage(HystNetworkOf(ci), vl, duty, hystValley);
            c.pwmComparatorInverting = hystValley;
            c.pwmControlVoltage = c.pwmComparatorNonInverting = hystControl;
        }
        break;
    case 4:
        c.pwmComparatorNonInverting = period * ci.clockSecondSlope * duty + ci.clockLowerLimit + x / 2.0;
        c.currentEaOutput = c.pwmComparatorNonInverting;
        c.pwmControlVoltage = vmean;
        c.pwmComparatorInverting = ci.clockUpperLimit;
        c.currentAmpStateA = c.currentAmpStateB = c.pwmComparatorNonInverting - vmean;
        break;
    default:  // 2, voltage mode
        c.pwmComparatorNonInverting = tf * ci.clockSecondSlope * duty + ci.clockLowerLimit + x / 2.0;
        c.pwmComparatorInverting = ci.clockUpperLimit;
        c.pwmControlVoltage = c.pwmComparatorNonInverting;
        break;
    }
    c.pwmComparatorDifferential = -0.0001;
    c.currentFeedbackVoltage = hystValley == NOT_SET ? 2.0 * vmean - vpeak : hystValley;

    // Error amplifier and opto-isolator, worked back from the control voltage M.
    const double offset = std::isfinite(ci.errorAmpOffset) ? ci.errorAmpOffset : 0.0;
    const double m = c.pwmControlVoltage;
    if (ci.optoVariant == 6) {
        c.limitedError = m - offset;
    } else {
        c.optoCoupledError = m - offset;
        if (ci.optoReferenceOn) {
            c.optoReferenceVoltage = ci.optoReferenceValue;
            c.optoReferencePhase = 0.0;
        }
        if (!ci.limitSetB) {
            c.optoNodeVoltage = m;
        } else {
            c.optoBranchCurrent = (c.optoCoupledError - c.optoReferenceVoltage) / ci.offsetDividerDen;
            c.optoNodeVoltage = c.optoReferenceVoltage - ci.offsetDividerNum * c.optoBranchCurrent;
        }
        if (!ci.optoDiodeForm) {
            c.optoResistorCurrent = (ci.pwmLimitUpperA - c.optoNodeVoltage) / ci.offsetGainDen1;
            c.optoLedCurrent = c.optoResistorCurrent + (ci.limitSetB ? c.optoBranchCurrent : 0.0);
        } else {
            c.optoResistorCurrent = c.optoNodeVoltage / ci.offsetGainDen1;
            c.optoLedCurrent = c.optoResistorCurrent - (ci.limitSetB ? c.optoBranchCurrent : 0.0);
        }
        c.optoOutputCurrent = c.optoLedCurrent / ci.offsetGainDen2;
        c.limitedError = !ci.optoOutputForm ? (c.optoSupplyVoltage - ci.optoOutputBias) -
                                                  (ci.optoOutputResistance + ci.offsetGainNum) * c.optoOutputCurrent
                                            : c.optoOutputCurrent * ci.offsetGainNum + ci.optoOutputOffset;
    }
    if (ci.optoVariant == 6) c.optoCoupledError = c.limitedError;
    c.veaOutput = c.limitedError;
    const double d = c.veaOutput - ci.veaReferenceValue;
    if (ci.veaStateScaledOn) c.veaStateScaled = d / ci.veaStateScaledDivisor;
    if (ci.hasErrorAmpStateC) c.errorAmpStateC = d;
    if (ci.hasErrorAmpStateB) c.errorAmpStateB = d;
    if (CheckFloatingPointStatus()) return Fail(52077, 52184);

    if (ci.veaOn) {
        c.veaInvertingInput = ci.veaReferenceValue;
        c.errorUpperClamp = ci.errorUpperLimit;
        c.veaClampValue = ci.errorUpperLimit;
    }
    c.veaClampState = 0;
    if (ci.clockEnabled) {
        c.clockVoltage = ci.clockUpperLimit;
        c.clockSlope = ci.clockFirstSlope;
        c.clockAux = 0.0;
    }
    if (ci.hasErrorAmpStateC) c.errorAmpStateCAux = 0.0;
    if (ci.hasErrorAmpFlowC) c.errorAmpFlowC = c.errorAmpFlowCAux = 0.0;
    if (ci.hasErrorAmpFlowB) c.errorAmpFlowB = c.errorAmpFlowBAux = 0.0;
    if (ci.hasErrorAmpFlowA) c.errorAmpFlowA = c.errorAmpFlowAAux = 0.0;
    if (ci.hasErrorAmpAux) c.errorAmpAux = 0.0;
    if (ci.optoDividerUpperOn) c.optoDividerUpperDrop = ci.offsetDividerNum * c.optoBranchCurrent;
    if (ci.optoDividerLowerOn) c.optoDividerLowerDrop = c.optoBranchCurrent * ci.offsetDividerDen;
    if (ci.limitSetB) c.optoReferenceCopy = c.optoReferenceVoltage;
    if (ci.optoTransferOn) c.optoTransferDrop = c.optoOutputCurrent * ci.offsetGainNum;
    if (ci.limitSetA) c.optoOutputStageVoltage = ci.optoOutputResistance * c.optoOutputCurrent + ci.optoOutputBias;
    if (ci.optoSupplyOn) c.optoSupplyDrop = c.optoSupplyVoltage - c.optoTransferDrop - c.optoOutputStageVoltage;
    if (ci.hasErrorAmpStateA) c.errorAmpStateA = c.optoNodeVoltage;
    if (ci.optoLimitOn) c.optoLimitDifference = ci.pwmLimitUpperA - c.optoNodeVoltage;
    if (ci.hasCurrentAmp) c.currentEaInvertingInput = c.currentEaOutput - c.currentAmpStateB;
    if (ci.currentAmpFlowAOn) c.currentAmpFlowA = 0.0;
    if (ci.currentAmpAux1On) c.currentAmpAux1 = 0.0;
    if (ci.currentAmpAux2On) c.currentAmpAux2 = 0.0;
    if (ci.currentAmpFlowBOn) c.currentAmpFlowB = c.currentAmpFlowBAux = 0.0;
    if (ci.hystOn) c.hystFiltered = c.controlReference * duty - c.currentFeedbackVoltage;
    if (ci.hystAux1On) c.hystAux1 = 0.0;
    if (ci.hystAux2On) c.r10ResistorCurrent = c.hystAux3 = 0.0;
    if (ci.clockDividerOn) {
        c.clockDividerAux = 0.0;
        c.clockDividerVoltage = (ci.clockUpperLimit - ci.rampOffset) * rs / (rff + rs);
    }
    if (ci.clockDividerCurrentOn) {
        c.clockDividerCurrent = c.clockDividerVoltage / rs;
        c.clockDividerAux2 = 0.0;
    }
    if (ci.currentInjectionOn) c.currentInjectionPhase = c.currentLoopInjection = 0.0;
    if (ci.hystInputOn) c.hystInput = 0.0;
    if (ci.rampCapacitorOn) {
        c.rampCapacitorCurrent = 0.0;
        if (ci.controlMode == 1) c.rampCapacitorVoltage = 0.0;
        else if (ci.controlMode == 3) c.rampCapacitorVoltage = c.currentFeedbackVoltage;
        else c.rampCapacitorVoltage = (ci.clockUpperLimit - ci.rampOffset) * rff / (rff + rs);
    }
    if (ci.rampDifferenceOn) c.rampDifference = c.clockVoltage - ci.rampOffset;
    if (ci.resetSwitchOn) c.resetSwitchCurrent = ctx.inputCapacitor.inputVoltage / rff;
    if (ci.feedForwardOn) {
        c.feedForwardResistorCurrent = ci.resetSwitchOn ? c.resetSwitchCurrent : 0.0;
        c.feedForwardVoltage = ci.resetSwitchOn ? rff * c.feedForwardResistorCurrent : 0.0;
    }
    // The soft start has long finished: its capacitor at the top of its charge.
    if (ci.softStartCapOn) c.softStartCapVoltage = kSoftStartTop;
    if (ci.softStartControlOn) c.softStartControl = kSoftStartTop + ci.softStartOffset;
    if (ci.errorInjectionOn) {
        c.errorInjectionPhase = 0.0;
        c.errorInjection = ci.errorAmpOffset;
    }
    if (ci.veaReferenceAcOn) c.veaReferencePhase = 0.0;
    c.veaReferenceCopy = ci.veaReferenceValue;
    c.veaReference = ci.veaReferenceValue;
    c.referenceLockout = ctx.inputCapacitor.inputVoltage >= ci.lockoutLevelA ? 0 : 1;
    c.currentLimitFeedback = 0.0;
    c.currentLimitFeedbackSlope = 0.0;
    c.comparatorAux = 0.0;
    c.comparatorCopy = c.pwmComparatorNonInverting;
    if (CheckFloatingPointStatus()) return Fail(52055, 52187);
    if (!ChargeControlNetworks(ctx, duty, ipk, ci.controlMode == 3 ? hystControl : vmean, limited))
        return Fail(52077, 52184);
    if (ci.controlMode == 3 &&
        !StartHystereticWindow(HystNetworkOf(ci), HystereticLogicLevel(ci, ctx.inputCapacitor.inputVoltage), duty,
                               c.pwmControlVoltage, &c))
        return Fail(52077, 52184);
    return 1;
}

}  // namespace

int32_t ComputeSteadyStateInitialValues() {
    AnalysisContext* ctx = GetAnalysisContext();
    const AnalysisSettingsRec& set = *ctx->pSettings;
    const LineSourceInputRec& li = *ctx->pLineSourceInput;
    const PrimaryInputRec& pi = *ctx->pPrimaryInput;
    const ControlInputRec& ci = *ctx->pControlInput;
    const int32_t n = OutputsInUse(set);

    // 1. Rectified input voltage.
    const double vpk = li.lineMagnitude + li.lineOffset;
    const double vf = li.rectifierForwardVoltage;
    double vin = vpk;
    switch (set.lineRectifierForm) {
    case 1: vin = vpk - vf; break;
    case 2:
    case 4: {
        const double v = set.linePhaseCount == 2 ? 2.0 * vpk : set.linePhaseCount == 3 ? std::sqrt(3.0) * vpk : vpk;
        vin = v - 2.0 * vf;
        break;
    }
    case 3:
    case 5: vin = 2.0 * vpk - 2.0 * vf; break;
    default: break;
    }
    if (!(vin > 0.0)) return 0;

    // 2, 3. Output power and the line current that carries it.
    double power = 0.0;
    for (int32_t k = n; k >= 1; --k) {
        const LoadNetworkInputRec& ld = *ctx->pLoadNetworkInput[k - 1];
        double i = ld.currentSourceOn ? ld.sourceCurrent : 0.0;
        if (ld.resistorOn) {
            if (ld.currentSourceOn)
                i += (ld.outputVoltage - (ld.firstResistance + ld.firstInductorResistance) * ld.sourceCurrent) /
                     (ld.resistance + ld.firstResistance + ld.inductorResistance + ld.firstInductorResistance);
            else if (ld.inductorOn)
                i += ld.outputVoltage / (ld.resistance + ld.inductorResistance);
            else
                i += ld.outputVoltage / ld.resistance;
        }
        power += ld.outputVoltage * i;
    }
    const double lineCurrent = li.lineMagnitude <= li.lineOffset ? power / vin : 0.0;

    // 4, 5. Input capacitor and control reference.
    InputCapacitorStateRec& cap = ctx->inputCapacitor;
    cap.inputVoltage = vin;
    if (set.inputCapacitorVariant == 0 || set.inputCapacitorVariant == 1) {
        cap.capacitorVoltage1 = vin;
        cap.capacitorVoltage2 = 0.0;
    } else if (set.inputCapacitorVariant == 2 || set.inputCapacitorVariant == 3) {
        cap.capacitorVoltage1 = vin / 2.0;
        cap.capacitorVoltage2 = vin / 2.0;
    }
    ControlStateRec& ctl = ctx->control;
    ctl = ControlStateRec();
    ctl.controlReference = ci.controlMode == 3 && ci.referenceInPercent ? ci.referenceValue * vin / 100.0
                                                                        : ci.referenceValue;
    // The control states the turn-on start also zeroes.
    ctl.errorAmpStateA = ctl.errorAmpStateB = ctl.errorAmpStateC = ctl.errorAmpAux = 0.0;
    ctl.errorAmpFlowA = ctl.errorAmpFlowB = ctl.errorAmpFlowC = 0.0;
    ctl.currentAmpFlowA = ctl.currentAmpFlowB = 0.0;
    ctl.currentEaInvertingInput = ctl.currentAmpStateA = ctl.currentAmpStateB = ctl.currentEaOutput = 0.0;
    ctl.rampCapacitorVoltage = 0.0;
    ctl.softStartCapVoltage = 0.0;
    ctl.softStartControl = 0.0;
    ctl.hystInput = 0.0;
    ctl.hystFiltered = 0.0;

    // 6, 7. Line side: the rectifier, then the phases, highest first.
    if (!InitSteadyStateLineRectifier(*ctx, vin)) return 0;
    const int32_t phases = set.linePhaseCount >= 1 && set.linePhaseCount <= kMaxLinePhases ? set.linePhaseCount : 1;
    static constexpr UINT kPhaseFailure[kMaxLinePhases] = {52057, 52058, 52059};
    for (int32_t p = phases - 1; p >= 0; --p)
        if (!InitSteadyStateLinePhase(*ctx, p, lineCurrent)) return Fail(kPhaseFailure[p], 52088);
    // The bulk capacitor keeps the line current that the primary does not draw while open.
    if (set.inputCapacitorVariant == 0 || set.inputCapacitorVariant == 1) cap.capacitorVoltage1 = cap.inputVoltage;
    cap.upperBulkCapacitorCurrent = lineCurrent;
    cap.positiveCapacitorCurrent = lineCurrent;

    // 8. Duty.
    double duty = 0.0;
    if (!CalcSteadyStateDutyCycle(&duty)) return 0;
    // A duty outside (0, 1) has no operating point: it would give a negative period or reset.
    if (!(duty > 0.0 && duty < 1.0)) return 0;
    bool limited = false;
    duty = CurrentLimitedDuty(*ctx, duty, &limited);

    // 9. Period.
    if (!CalcInitialSwitchingPeriod(&ctx->stepState.switchingPeriod, duty, vin)) return Fail(52075, 52216);

    // 10. Primary.
    InitSteadyStatePrimary(duty);
    if (CheckFloatingPointStatus()) {
        ReportMessage(52070, TRUE);
        return 0;
    }

    // 11. Outputs.
    const double u = cap.inputVoltage * duty / pi.primaryTurns;
    double pacc = 0.0, ripple = 0.0;
    double currents[kMaxOutputs] = {};
    const double period = ctx->stepState.switchingPeriod;
    for (int32_t k = n; k >= 1; --k) {
        const int32_t j = k - 1;
        const OutputFilterInputRec& fi = *ctx->pOutputFilterInput[j];
        const LoadNetworkInputRec& ld = *ctx->pLoadNetworkInput[j];
        const int32_t s = Sign(fi.outputSign);
        const double nk = fi.secondaryTurns;
        const double vs = nk * u / duty;
        const double vd = ctx->secondaryRectifier[j].forwardVoltage;
        const double dry = ChokeDryInductance(*ctx, j, period);
        double vk = 0.0;
        if (ctx->outputChoke[j].continuousConduction) {
            vk = s * nk * u;
        } else if (!ld.currentSourceOn) {
            const double rk = ctx->outputFilter[j].loadResistance;
            vk = vs - vd <= 0.0 ? 0.0
                                : s * ((vs - vd) * duty / (std::sqrt(2.0 * dry / (rk * period)) + duty) + vd);
        } else {
            double req = 0.0;
            if (!ld.firstBranchOn) {
                req = ld.sourceCurrent == 0.0 ? set.openResistance : ld.outputVoltage / ld.sourceCurrent;
            } else {
                const double rp = ld.resistance + ld.inductorResistance;
                req = (ld.firstResistance + ld.firstInductorResistance + rp) * ld.outputVoltage /
                      (ld.sourceCurrent * rp + ld.outputVoltage);
            }
            vk = req == set.openResistance
                     ? s * vs
                     : s * ((vs - vd) * duty / (std::sqrt(2.0 * dry / (req * period)) + duty) + vd);
        }
        if (!InitSteadyStateOutput(*ctx, k, duty, vk, &pacc, &currents[j], &ripple))
            return FailOutput(52067, 52203, k);
        PlaceModulatorLag(*ctx, j, duty);
    }

    // 12. Primary currents: the mean on-time current and the peak with each output's ripple.
    const double iavg = (pacc / duty) / cap.inputVoltage;
    double ipk = iavg;
    for (int32_t k = n; k >= 1; --k) {
        const int32_t j = k - 1;
        const SecondaryRectifierInputRec& ri = *ctx->pSecondaryRectifierInput[j];
        const double nk = ctx->pOutputFilterInput[j]->secondaryTurns;
        const double vr = Synchronous(ri)        ? ConductingDrop(ri, 1, currents[j])
                          : ri.resistiveRectifier ? 0.0
                                                  : ri.forwardVoltage;
        const int32_t s = Sign(ctx->pOutputFilterInput[j]->outputSign);
        const double fall = (1.0 - duty) * period * (s * ctx->pLoadNetworkInput[j]->outputVoltage + vr);
        const double l = ctx->outputChoke[j].continuousConduction ? ChokeInductanceOver(*ctx, j, currents[j], fall)
                                                                   : ChokeDryInductance(*ctx, j, period);
        if (!ctx->outputChoke[j].continuousConduction)
            ipk += ((nk / pi.primaryTurns * cap.inputVoltage - ctx->secondaryRectifier[j].forwardVoltage -
                     ctx->outputFilter[j].capacitorVoltage) /
                    l * period * duty / 2.0) *
                   nk / pi.primaryTurns;
        else
            ipk += ((1.0 - duty) * (s * ctx->pLoadNetworkInput[j]->outputVoltage + vr) / l * nk * period /
                    pi.primaryTurns) /
                   2.0;
    }

    // 13. Uncoupled chokes.
    StepStateRec& step = ctx->stepState;
    step.mutualInductance12 = step.mutualInductance13 = step.mutualInductance14 = 0.0;
    step.mutualInductance23 = step.mutualInductance24 = step.mutualInductance34 = 0.0;

    // 14. Control.
    if (!InitSteadyStateControlSection(*ctx, currents, duty, ipk, iavg, ripple, limited)) return 0;

    // The step logic's own bookkeeping at a period start: drive off, timers idle.
    EngineStore& st = ctx->engine;
    st.IdleEdgeTimers();
    st.switchStateChanged = 0;
    st.deviceEventThisStep = 0;
    st.stepRampPeak = 0.0;
    st.currentLimitFiltered = 0.0;
    st.primaryCurrentSlope = 0.0;
    step.driveOn = 0;
    step.driveOnPrevious = 0;
    step.cycleTime = 0.0;
    // The winding means of the operating point, so that the effective and core-loss resistances
    // start where the steady state holds them.
    if (!SeedMagneticLosses(*ctx, duty, cap.inputVoltage)) return 0;
    static thread_local bool again = false;
    if (!again && Seeded(*ctx)) {
        again = true;
        const int32_t done = ComputeSteadyStateInitialValues();
        again = false;
        return done;
    }

    // 15.
    if (CheckFloatingPointStatus()) {
        ReportMessage(52085, TRUE);
        return 0;
    }
    return 1;
}

namespace {

// Switching periods T in the fewest whole source periods 1/f (at most
// kMaxSourcePeriodsPerCycle of them) that hold a whole number of T: a 60 Hz line at 100 kHz
// repeats after three line periods, 5000 switching periods. 0 when none does within the caps.
int32_t WholePeriods(double f, double t) {
    if (!(f > 0.0) || !(t > 0.0)) return 1;
    const double ratio = 1.0 / (f * t);
    if (!std::isfinite(ratio)) return 0;
    for (int32_t m = 1; m <= kMaxSourcePeriodsPerCycle; ++m) {
        const double x = m * ratio;
        const double n = std::round(x);
        if (n > kMaxPeriodsPerSourceCycle) return 0;
        if (n >= 1.0 && std::fabs(x - n) <= 1e-6 * x) return static_cast<int32_t>(n);
    }
    return 0;
}

constexpr UINT kSourceRetunedWarning = 58431;

bool LoadSineOn(const LoadNetworkInputRec* ld) {
    return ld && ld->currentSourceOn && ld->sourceSineAmplitude != NOT_SET && ld->sourceSineAmplitude != 0.0;
}

int32_t LeastCommonMultiple(int32_t a, int32_t b) {
    int32_t x = a, y = b;
    while (y != 0) {
        const int32_t r = x % y;
        x = y;
        y = r;
    }
    return a / x * b;
}

}  // namespace

int32_t SwitchingPeriodsPerSourceCycle(const AnalysisSettingsRec& set, const LineSourceInputRec& line,
                                       const LoadNetworkInputRec* const* loads) {
    const double t = set.switchingPeriodSetting;
    int32_t periods = 1;
    const auto take = [&](double f) {
        const int32_t n = WholePeriods(f, t);
        if (n == 0 || periods == 0) {
            periods = 0;
            return;
        }
        const int64_t m = LeastCommonMultiple(periods, n);
        periods = m > kMaxPeriodsPerSourceCycle ? 0 : static_cast<int32_t>(m);
    };
    if (line.lineMagnitude != 0.0) take(line.lineFrequency);
    const int32_t outputs = set.outputCount >= 1 && set.outputCount <= kMaxOutputs ? set.outputCount : 0;
    for (int32_t j = 0; j < outputs; ++j) {
        if (LoadSineOn(loads[j])) take(loads[j]->sourceFrequency);
    }
    return periods;
}

namespace {

// The least move of f (within kMaxSourceRetune) that puts a whole number of T into at most
// kMaxSourcePeriodsPerCycle of its periods; 0 when none is near enough.
double RetunedFrequency(double f, double t) {
    if (!(f > 0.0) || !(t > 0.0) || !std::isfinite(f)) return 0.0;
    const double ratio = 1.0 / (f * t);
    if (!std::isfinite(ratio)) return 0.0;
    // The fewest source periods whose move stays within the bound: the search cycle is then
    // shortest (60 Hz at 97.345 kHz: one period, 0.026 %, rather than seven at 0.004 %).
    for (int32_t m = 1; m <= kMaxSourcePeriodsPerCycle; ++m) {
        const double n = std::round(m * ratio);
        if (n < 1.0 || n > kMaxPeriodsPerSourceCycle) continue;
        if (std::fabs(m * ratio / n - 1.0) <= kMaxSourceRetune) return m / (n * t);
    }
    return 0.0;
}

}  // namespace

SourceCyclePlan PlanSourceCycle(const AnalysisSettingsRec& set, const LineSourceInputRec& line,
                                const LoadNetworkInputRec* const* loads) {
    SourceCyclePlan plan;
    plan.lineFrequency = line.lineFrequency;
    const int32_t outputs = set.outputCount >= 1 && set.outputCount <= kMaxOutputs ? set.outputCount : 0;
    for (int32_t j = 0; j < outputs; ++j)
        if (loads[j]) plan.loadFrequency[j] = loads[j]->sourceFrequency;
    plan.periods = SwitchingPeriodsPerSourceCycle(set, line, loads);
    if (plan.periods >= 1) return plan;
    // Only the sources without a whole period of their own move; the common period is then
    // searched as for exact frequencies, and refused if it is still too long.
    const double t = set.switchingPeriodSetting;
    const auto retune = [&](double* f, bool* moved) {
        if (WholePeriods(*f, t) > 0) return true;
        const double g = RetunedFrequency(*f, t);
        if (!(g > 0.0)) return false;
        *f = g;
        *moved = true;
        return true;
    };
    if (line.lineMagnitude != 0.0 && !retune(&plan.lineFrequency, &plan.lineRetuned)) return plan;
    LineSourceInputRec runLine = line;
    runLine.lineFrequency = plan.lineFrequency;
    LoadNetworkInputRec runLoads[kMaxOutputs];
    const LoadNetworkInputRec* runLoad[kMaxOutputs] = {};
    for (int32_t j = 0; j < outputs; ++j) {
        if (!LoadSineOn(loads[j])) continue;
        if (!retune(&plan.loadFrequency[j], &plan.loadRetuned[j])) return plan;
        runLoads[j] = *loads[j];
        runLoads[j].sourceFrequency = plan.loadFrequency[j];
        runLoad[j] = &runLoads[j];
    }
    plan.periods = SwitchingPeriodsPerSourceCycle(set, runLine, runLoad);
    return plan;
}

void RetuneRunSources() {
    AnalysisContext* ctx = GetAnalysisContext();
    if (!ctx || !ctx->pSettings || !ctx->pLineSourceInput || ctx->pSettings->analysisKind == 0) return;
    // The sweeps silence the load sines: only the line counts for them.
    const LoadNetworkInputRec* const silenced[kMaxOutputs] = {};
    const LoadNetworkInputRec* const* own = ctx->pLoadNetworkInput;
    const LoadNetworkInputRec* const* loads = ctx->pSettings->analysisKind >= 2 ? silenced : own;
    const SourceCyclePlan plan = PlanSourceCycle(*ctx->pSettings, *ctx->pLineSourceInput, loads);
    if (plan.periods < 1) return;
    const auto tell = [](const std::string& source, double f) {
        const char* text = res::FindString(kSourceRetunedWarning);
        if (!text) {
            ReportMessage(kSourceRetunedWarning, TRUE);
            return;
        }
        ReportText(fw::Substitute(text, source, fw::Format("%.6g", f)).c_str(), TRUE);
    };
    if (plan.lineRetuned) {
        ctx->pLineSourceInput->lineFrequency = plan.lineFrequency;
        tell("The AC line", plan.lineFrequency);
    }
    for (int32_t j = 0; j < kMaxOutputs; ++j) {
        if (!plan.loadRetuned[j] || !ctx->pLoadNetworkInput[j]) continue;
        ctx->pLoadNetworkInput[j]->sourceFrequency = plan.loadFrequency[j];
        tell(fw::Format("The sine of output %d's Current Source Load", j + 1), plan.loadFrequency[j]);
    }
}

bool SteadyStartCovers(const AnalysisThreadParams& params) {
    const AnalysisSettingsRec* set = params.pSettings;
    const LineSourceInputRec* line = params.pLineSourceInput;
    const PrimaryInputRec* pri = params.pPrimaryInput;
    const ControlInputRec* ctl = params.pControlInput;
    if (!set || !line || !pri || !ctl) return false;
    // Every primary family, with either current sense.
    if (pri->topology < 0 || pri->topology > 9) return false;
    // Every control mode, every opto-isolator arrangement and None.
    if (ctl->controlMode < 0 || ctl->controlMode > 4 || ctl->optoVariant < 0 ||
        ctl->optoVariant > 6)
        return false;
    if (set->outputCount < 1 || set->outputCount > kMaxOutputs) return false;
    for (int32_t j = 0; j < set->outputCount; ++j) {
        const OutputChokeInputRec* ch = params.pOutputChokeInput[j];
        const OutputFilterInputRec* fi = params.pOutputFilterInput[j];
        if (!ch || !fi || !ch->chokeOn) return false;
        if (!params.pLoadNetworkInput[j]) return false;
    }
    return SourceCycleSearchable(params);
}

bool SourceCycleSearchable(const AnalysisThreadParams& params) {
    const AnalysisSettingsRec* set = params.pSettings;
    const LineSourceInputRec* line = params.pLineSourceInput;
    if (!set || !line) return false;
    // An AC line or a load source's sine repeats the operating point over whole periods of it:
    // the search runs over the sources' common period. The sweeps' windows hold whole ripple
    // periods of an AC line.
    // A sweep silences the load sines before it seeks its operating point: they count for
    // the time-domain runs only.
    const LoadNetworkInputRec* const silenced[kMaxOutputs] = {};
    const bool sweep = set->analysisKind >= 2;
    return PlanSourceCycle(*set, *line, sweep ? silenced : params.pLoadNetworkInput).periods >= 1;
}
