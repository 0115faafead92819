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
//   N = T·s2·D + V_low   (voltage mode, the clock inhibiting during its fall).
// The line draws the input power at the bulk voltage: I_line = P / V_in; the bulk sits at
// V_in less the drop of the line's own resistance at that current.
#include "analysis/models/AnalInSS.h"

#include <cmath>
#include <numbers>

#include "analysis/context/AnalContext.h"
#include "analysis/models/AnalMOut.h"
#include "records/Utils.h"

namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;

int32_t Sign(int32_t s) { return s < 0 ? -1 : 1; }

// Primary resistance in the on-state loop: the switches (two in the two-switch forward) and
// the current sense, referred through the sense transformer when there is one.
double PrimaryResistance(const PrimaryInputRec& pi) {
    double rp = pi.primarySeriesResistance * (pi.diode1On ? 2.0 : 1.0);
    if (pi.directSenseOn) return rp + pi.senseResistance;
    const double ratio = pi.senseXfmrPrimaryTurnsCount / pi.senseXfmrSecondaryTurnsCount;
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

double ChokeResistance(const OutputChokeInputRec& ch) {
    return ch.windingResistance + (ch.seriesElementOn ? ch.seriesResistance : 0.0) +
           (ch.skimWindingOn ? ch.skimResistance : 0.0);
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
double LoadCurrent(const LoadNetworkInputRec& ld, double open) {
    const double v = ld.outputVoltage;
    if (!ld.currentSourceOn) return v / LoadSeriesSum(ld);
    if (!ld.resistorOn) return ld.sourceCurrent + v / open;
    const double rl = ld.resistance + (ld.inductorOn ? ld.inductorResistance : 0.0);
    return (ld.sourceCurrent * rl + v) / LoadSeriesSum(ld);
}

bool DiodeRectifier(const SecondaryRectifierInputRec& ri) { return !ri.resistiveRectifier; }

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

int32_t CalcSteadyStateDutyCycle(double* duty) {
    AnalysisContext* ctx = GetAnalysisContext();
    const AnalysisSettingsRec& set = *ctx->pSettings;
    const PrimaryInputRec& pi = *ctx->pPrimaryInput;
    const double period = 1.0 / set.switchingFrequency;
    const double rp = PrimaryResistance(pi);
    const double vin = ctx->inputCapacitor.inputVoltage;
    for (int32_t k = OutputsInUse(set); k >= 1; --k) {
        const int32_t j = k - 1;
        const SecondaryRectifierInputRec& ri = *ctx->pSecondaryRectifierInput[j];
        const OutputChokeInputRec& ch = *ctx->pOutputChokeInput[j];
        const OutputFilterInputRec& fi = *ctx->pOutputFilterInput[j];
        const LoadNetworkInputRec& ld = *ctx->pLoadNetworkInput[j];
        const int32_t s = Sign(fi.outputSign);
        const double rf = FilterSeriesResistance(fi);
        const double ro = rf + ChokeResistance(ch);
        const double i = LoadCurrent(ld, set.openResistance);
        const double v = ld.outputVoltage;
        ctx->outputFilter[j].loadResistance = rf + LoadSeriesSum(ld);
        const double vc = rf * i + v;
        ctx->outputFilter[j].capacitorVoltage = vc;
        const double n = EffectiveSecondaryTurns(k) / pi.primaryTurns;
        const double vd = RectifierDrop(ri, s, i);
        ctx->secondaryRectifier[j].forwardVoltage = vd;
        double dk = (((n * n * rp + ri.windingResistance + ro) * i + v) * s + vd) / n / vin;
        OutputChokeStateRec& cs = ctx->outputChoke[j];
        cs.continuousConduction = 1;
        const double valley = (i - (1.0 - dk) * ((s * vd + vc) / ch.inductance) * period / 2.0) * s;
        if (valley < 0.0 && DiodeRectifier(ri)) {
            cs.continuousConduction = 0;
            const double r12 = ch.windingResistance + (ch.seriesElementOn ? ch.seriesResistance : 0.0);
            const double x = std::sqrt((r12 * i + vc) * i * period * 2.0 / ch.inductance);
            const double across = n * vin - vd - s * vc;
            dk = across <= 0.0 ? 1.0 : (ch.inductance * x / period) / across;
        }
        *duty += (ri.dutyWeight + ld.rippleWeight) * dk;
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
            double term = (Sign(fi.outputSign) * ld.outputVoltage + vd) / ch.inductance;
            if (ci.senseSource == 1)
                term *= ch.senseWeight * ch.seriesElementFactor * ch.seriesResistance;
            else
                term *= fi.senseXfmrPrimaryTurns / fi.senseXfmrSecondaryTurns * ch.senseWeight * fi.senseResistance;
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
    const double rp = PrimaryResistance(pi);
    const double ro = FilterSeriesResistance(fi) + ChokeResistance(ch);
    const double i = LoadCurrent(ld, set.openResistance);
    const double n = fi.secondaryTurns / pi.primaryTurns;
    double vd = s * ri.diodeDrop;
    if (ri.resistiveRectifier) vd = s * ri.onResistance * i;
    if (s * vd > ri.maximumDrop && ri.resistiveRectifier) vd = s * ri.maximumDrop;
    if (s * vd > ri.diodeDrop) vd = s * ri.diodeDrop;
    *predicted = source - i * (n * n * rp + ri.windingResistance + ro) - vd;
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

// The line side: the line's own source current at the input power, the bulk capacitor at
// the voltage that leaves at the primary.
void InitSteadyStateLine(AnalysisContext& ctx, double lineCurrent) {
    const LineSourceInputRec& li = *ctx.pLineSourceInput;
    ctx.lineRectifier.negativeRectifierVoltage = 0.0;
    ctx.lineRectifier.positiveRectifierVoltage = li.lineMagnitude + li.lineOffset;
    const int32_t phases = ctx.pSettings->linePhaseCount;
    const int32_t used = phases >= 1 && phases <= kMaxLinePhases ? phases : 1;
    for (int32_t p = used - 1; p >= 0; --p) {
        LinePhaseStateRec& ph = ctx.linePhase[p];
        const double drop = li.lineResistance * lineCurrent;
        ph.lineCurrentHeld = lineCurrent;
        ph.startTermA = lineCurrent;
        ph.firstStageCapacitorCurrent = lineCurrent;
        ph.firstInductorCurrentSlope = 0.0;
        ph.sourceVoltage = ph.lineVoltage;
        ph.filterVoltage = ph.lineVoltage - drop;
        ph.startValueCopy = ph.lineVoltage - drop;
        ctx.inputCapacitor.inputVoltage -= drop;
    }
}

// Two-switch forward (and the variants sharing its start): both switches open, each switch
// and each primary diode blocking half the bulk, the transformer reset.
void InitSteadyStatePrimary(AnalysisContext& ctx, double duty) {
    const PrimaryInputRec& pi = *ctx.pPrimaryInput;
    const double open = ctx.pSettings->openResistance;
    const double vin = ctx.inputCapacitor.inputVoltage;
    const double period = ctx.stepState.switchingPeriod;
    PrimaryStateRec& p = ctx.primary;
    if (pi.hasClampCapacitor) {
        if (!pi.clampResistorOn) {
            p.clampCapacitorVoltage = duty / (1.0 - duty) * vin;
            p.clampCapacitorCurrent = -(vin / pi.magnetizingInductanceNominal * period * duty) / 2.0;
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
        p.magnetizingCurrent = 0.0;
        p.magnetizingCurrentCopy1 = 0.0;
        p.transformerPrimaryCurrent = 0.0;
        p.idleTestCurrent = 0.0;
        p.primaryWindingVoltage = 0.0;
        p.primaryWindingCurrent = 0.0;
        p.magnetizingInductance = pi.magnetizingInductanceNominal;
        p.magnetizingInductanceSlope = 0.0;
    }
    p.switchState = 0;
    p.switch1Conducting = 0;
    p.switch1OnRequest = 0;
    p.switch1OffRequest = 0;
    p.resetRectifiersOn = 0;
    p.resetRectifiersOffRequest = 0;
    p.reflectedSecondaryCurrent = 0.0;
    p.currentSenseOutput = 0.0;
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
            lo.load1Voltage = ld.firstInductorResistance * i;
            vnode -= lo.load1Voltage;
        }
    }
    if (ld.currentSourceOn) {
        lo.sourcePhase = 0.0;
        lo.sourceDcCurrent = ld.sourceCurrent;
        lo.sourceVoltage = vnode;
    }
    const double branch = ld.currentSourceOn ? i - ld.sourceCurrent : i;
    if (ld.inductorOn) {
        lo.load2MeanCurrent = branch;
        lo.load2CurrentCopy = branch;
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
    if (chi.chokeOn) {
        const double l = chi.inductance;
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
            slope = DiodeRectifier(ri) ? -(s * ri.forwardVoltage + vo) / l : -(ri.secondOnResistance * i + vo) / l;
            ch.currentSlope = slope;
            ch.meanCurrent = i;
            const double imax = i - (1.0 - duty) * period * slope / 2.0;
            double imin = i + (1.0 - duty) * period * slope / 2.0;
            if (DiodeRectifier(ri) && s * imin < 0.0) imin = 0.0;
            if (!fi.hasInductorB)
                *ripple += ((imax - imin) * fi.rippleResistance +
                            ((imax - imin) / period) * (1.0 / duty + 1.0 / (1.0 - duty)) * fi.rippleInductance) *
                           ld.rippleWeight;
            ch.chokeCurrent = i;
            if (ci.clockEnabled)
                ch.chokeCurrent = imin -
                                  period * ci.clockSecondSlope * slope / (ci.clockSecondSlope - ci.clockFirstSlope) -
                                  pi.turnOnDelay * slope;
            ch.lookupCurrent = ch.chokeCurrent;
            ch.windingVoltage = DiodeRectifier(ri) ? -(s * ri.forwardVoltage + vo)
                                                   : -vo - ch.chokeCurrent * ri.secondOnResistance;
        }
        ch.inductance = l;
        ch.inductanceSlope = 0.0;
        ch.reportedChokeCurrent = ch.chokeCurrent;
        SetFlagIfSameSign(&ch.chokeFlagA, ri.resistiveRectifier, ch.reportedChokeCurrent, fi.outputSign);
        ch.squareCurrentIntegral = 0.0;
        ch.parallelResistance = open;
        ch.windingResistance = chi.windingResistance;
        ch.totalResistance = chi.windingResistance;
        ch.totalInductance = l;
    }
    if (chi.seriesElementOn) {
        ch.seriesElementVoltage = (chi.seriesInductance * slope + ch.chokeCurrent * chi.seriesResistance) * s;
        ch.currentSenseOutput = chi.seriesElementFactor * ch.seriesElementVoltage;
        ch.totalResistance += chi.seriesResistance;
        ch.totalInductance += chi.seriesInductance;
    }
    *power += ch.totalResistance * ch.chokeCurrent * ch.chokeCurrent;
    *power += DiodeRectifier(ri) ? s * ch.chokeCurrent * ri.forwardVoltage
                                 : ch.chokeCurrent * ch.chokeCurrent * ri.onResistance;

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

    // Rectifiers: the forward one blocking, the freewheeling one carrying the choke current.
    rs.outputSideVoltage = vo;
    rs.rectifier1Resistance = open;
    rs.rectifier1On = 0;
    rs.rectifierCurrent = 0.0;
    rs.rectifier1AnodeToCathodeCurrent = 0.0;
    rs.rectifier1AnodeToCathodeVoltage = 0.0;
    rs.chokeCurrentCopy = ch.chokeCurrent;
    if (DiodeRectifier(ri) && !ch.continuousConduction) {
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

// Control section at the operating point: the comparator at the control voltage of duty D,
// the error amplifier and opto-isolator worked back from it, the clock at its top.
int32_t InitSteadyStateControlSection(AnalysisContext& ctx, double duty, double ipk, double iavg, double ripple) {
    const ControlInputRec& ci = *ctx.pControlInput;
    const PrimaryInputRec& pi = *ctx.pPrimaryInput;
    const double tf = ctx.pSettings->switchingPeriodSetting;
    const double period = ctx.stepState.switchingPeriod;
    ControlStateRec& c = ctx.control;

    double vpeak = 0.0, vmean = 0.0, vslope = 0.0;
    if ((ci.controlMode == 0 || ci.controlMode == 3 || ci.controlMode == 4) && ci.senseSource == 0) {
        const double gain = pi.currentSenseTransformerOn
                                ? pi.senseXfmrPrimaryTurnsCount / pi.senseXfmrSecondaryTurnsCount * pi.senseResistance
                                : pi.senseAmpGain * pi.senseResistance;
        vpeak = gain * ipk;
        vmean = gain * iavg;
        vslope = (2.0 * (vpeak - vmean) / duty) / period;
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
    c.currentFeedbackVoltage = 2.0 * vmean - vpeak;

    // Error amplifier: without an opto-isolator it drives the PWM directly.
    const double offset = std::isfinite(ci.errorAmpOffset) ? ci.errorAmpOffset : 0.0;
    c.limitedError = c.pwmControlVoltage - offset;
    c.optoCoupledError = c.limitedError;
    c.veaOutput = c.limitedError;
    const double d = c.veaOutput - ci.veaReferenceValue;
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
    if (ci.softStartCapOn) c.softStartCapVoltage = ci.errorUpperLimit;
    if (ci.softStartControlOn) c.softStartControl = ci.errorUpperLimit;
    if (ci.errorInjectionOn) {
        c.errorInjectionPhase = 0.0;
        c.errorInjection = ci.errorAmpOffset;
    }
    c.veaReferenceCopy = ci.veaReferenceValue;
    c.veaReference = ci.veaReferenceValue;
    c.referenceLockout = ctx.inputCapacitor.inputVoltage >= ci.lockoutLevelA ? 1 : 0;
    c.currentLimitFeedback = 0.0;
    c.currentLimitFeedbackSlope = 0.0;
    c.comparatorAux = 0.0;
    c.comparatorCopy = c.pwmComparatorNonInverting;
    if (CheckFloatingPointStatus()) return Fail(52055, 52187);
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

    // 6, 7. Line side.
    InitSteadyStateLine(*ctx, lineCurrent);
    // The bulk capacitor keeps the line current that the primary does not draw while open.
    cap.capacitorVoltage1 = cap.inputVoltage;
    cap.upperBulkCapacitorCurrent = lineCurrent;
    cap.positiveCapacitorCurrent = lineCurrent;
    if (CheckFloatingPointStatus()) return Fail(52056, 52088);

    // 8. Duty.
    double duty = 0.0;
    if (!CalcSteadyStateDutyCycle(&duty)) return 0;
    // A duty outside (0, 1) has no operating point: it would give a negative period or reset.
    if (!(duty > 0.0 && duty < 1.0)) return 0;

    // 9. Period.
    if (!CalcInitialSwitchingPeriod(&ctx->stepState.switchingPeriod, duty, vin)) return Fail(52075, 52216);

    // 10. Primary.
    InitSteadyStatePrimary(*ctx, duty);
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
        const OutputChokeInputRec& ch = *ctx->pOutputChokeInput[j];
        const int32_t s = Sign(fi.outputSign);
        const double nk = fi.secondaryTurns;
        const double vs = nk * u / duty;
        const double vd = ctx->secondaryRectifier[j].forwardVoltage;
        double vk = 0.0;
        if (ctx->outputChoke[j].continuousConduction) {
            vk = s * nk * u;
        } else if (!ld.currentSourceOn) {
            const double rk = ctx->outputFilter[j].loadResistance;
            vk = vs - vd <= 0.0 ? 0.0
                                : s * ((vs - vd) * duty / (std::sqrt(2.0 * ch.inductance / (rk * period)) + duty) + vd);
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
                     : s * ((vs - vd) * duty / (std::sqrt(2.0 * ch.inductance / (req * period)) + duty) + vd);
        }
        if (!InitSteadyStateOutput(*ctx, k, duty, vk, &pacc, &currents[j], &ripple))
            return FailOutput(52067, 52203, k);
    }

    // 12. Primary currents: the mean on-time current and the peak with each output's ripple.
    const double iavg = (pacc / duty) / cap.inputVoltage;
    double ipk = iavg;
    for (int32_t k = n; k >= 1; --k) {
        const int32_t j = k - 1;
        const SecondaryRectifierInputRec& ri = *ctx->pSecondaryRectifierInput[j];
        const double nk = ctx->pOutputFilterInput[j]->secondaryTurns;
        const double l = ctx->pOutputChokeInput[j]->inductance;
        const double vr = ri.resistiveRectifier ? 0.0 : ri.forwardVoltage;
        const int32_t s = Sign(ctx->pOutputFilterInput[j]->outputSign);
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
    if (!InitSteadyStateControlSection(*ctx, duty, ipk, iavg, ripple)) return 0;

    // The step logic's own bookkeeping at a period start: drive off, timers idle.
    EngineStore& st = ctx->engine;
    st.onEdgeTimer = -1.0;
    st.offEdgeTimer = -1.0;
    st.switchStateChanged = 0;
    st.deviceEventThisStep = 0;
    st.currentLimitFiltered = 0.0;
    st.primaryCurrentSlope = 0.0;
    step.driveOn = 0;
    step.driveOnPrevious = 0;
    step.cycleTime = 0.0;

    // 15.
    if (CheckFloatingPointStatus()) {
        ReportMessage(52085, TRUE);
        return 0;
    }
    return 1;
}
