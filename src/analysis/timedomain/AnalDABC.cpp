#include "analysis/timedomain/AnalDABC.h"

#include <cmath>

#include "analysis/context/AnalContext.h"
#include "analysis/models/AnalInit.h"
#include "analysis/models/AnalMBranch.h"
#include "analysis/models/AnalMOut.h"
#include "analysis/models/AnalMXfmr.h"
#include "analysis/timedomain/AnalLine.h"
#include "records/Utils.h"

namespace {

constexpr UINT kModuleAnalDABC = 56006;

// Codes of the assembly's steps and the messages that follow them.
struct StepFailure {
    int code;
    UINT message;
};
constexpr StepFailure kFirstStagePass1{10403, 52190};
constexpr StepFailure kPrimaryPass1{10409, 52130};
constexpr StepFailure kUnknownVariant{10423, 52130};
constexpr StepFailure kCoupledChokes{10427, 52191};
constexpr StepFailure kPrimaryPass2{10444, 52130};
constexpr StepFailure kFirstStagePass2{10441, 52190};
constexpr StepFailure kLineSidePass2{10447, 52169};
constexpr StepFailure kLineSidePass1{10401, 52169};
constexpr StepFailure kLineSource{10400, 52089};
constexpr int kCodeTransformerValues = 10410;
constexpr int32_t kTwoSwitchSenseResistor = 1;

double Coupling(double k, double la, double lb) { return k * std::sqrt(la * lb); }

CapacitorGroup FilterCapacitor(const OutputFilterInputRec& in, double open) {
    return {open, in.rippleInductance, in.rippleResistance, in.sectionQuantityParamA, in.sectionQuantityParamB,
            in.capACapacitance};
}

double ChokeInductance(const OutputChokeInputRec& in) {
    return in.inductance + (in.seriesElementOn ? in.seriesInductance : 0.0);
}

double ChokeResistance(const OutputChokeInputRec& in) {
    return in.windingResistance + (in.seriesElementOn ? in.seriesResistance : 0.0);
}

int32_t Polarity(const OutputFilterInputRec& in) { return in.outputSign < 0 ? -1 : 1; }

bool Finite(double v) { return std::isfinite(v); }

// A step's failure: its code, then its message (a box only for the run's first).
int32_t Fail(const StepFailure& f) {
    ReportMessage1(kModuleAnalDABC, f.code, FALSE);
    ReportMessageFirstBox(f.message);
    return 0;
}

// With data logging on the members' arithmetic is checked for floating-point faults; a
// result that is not a number ends the step whatever the logging state, since a step that
// went on would spread it into every later state.
bool StepFaulted(const AnalysisSettingsRec& set, double a, double b) {
    if (!Finite(a) || !Finite(b)) return true;
    return set.loggingOn && CheckFloatingPointStatus();
}

}  // namespace

int32_t PrepareStepEngine() {
    AnalysisContext* ctx = GetAnalysisContext();
    const PrimaryInputRec& pi = *ctx->pPrimaryInput;
    TransformerParams& t = ctx->engine.xfmr;
    t = TransformerParams();
    t.outputs = ctx->pSettings->outputCount;
    t.lp = pi.magnetizingInductanceNominal;
    t.rp = pi.primaryWindingResistance;
    const double sign = pi.primarySign < 0 ? -1.0 : 1.0;
    const double kps[kMaxOutputs] = {pi.couplingPriSec1, pi.couplingPriSec2, pi.couplingPriSec3, pi.couplingPriSec4};
    const double kss[kMaxOutputs][kMaxOutputs] = {
        {0.0, pi.couplingSec1Sec2, pi.couplingSec1Sec3, pi.couplingSec1Sec4},
        {pi.couplingSec1Sec2, 0.0, pi.couplingSec2Sec3, pi.couplingSec2Sec4},
        {pi.couplingSec1Sec3, pi.couplingSec2Sec3, 0.0, pi.couplingSec3Sec4},
        {pi.couplingSec1Sec4, pi.couplingSec2Sec4, pi.couplingSec3Sec4, 0.0}};
    for (int32_t j = 0; j < t.outputs; ++j) {
        const SecondaryRectifierInputRec& ri = *ctx->pSecondaryRectifierInput[j];
        t.ls[j] = ri.nominalWindingInductance;
        t.rs[j] = ri.windingResistance;
        t.mps[j] = sign * Coupling(kps[j], t.lp, t.ls[j]);
    }
    for (int32_t j = 0; j < t.outputs; ++j)
        for (int32_t k = 0; k < t.outputs; ++k)
            t.mss[j][k] = j == k ? 0.0 : Coupling(kss[j][k], t.ls[j], t.ls[k]);
    double* mutuals[kMaxOutputs] = {&ctx->primary.mutualPriSec1, &ctx->primary.mutualPriSec2,
                                    &ctx->primary.mutualPriSec3, &ctx->primary.mutualPriSec4};
    for (int32_t j = 0; j < t.outputs; ++j) {
        *mutuals[j] = t.mps[j];
        ctx->secondaryWinding[j].windingInductance = t.ls[j];
        ctx->secondaryWinding[j].windingResistance = t.rs[j];
    }
    ctx->primary.magnetizingInductance = t.lp;
    ctx->primary.primaryWindingResistance = t.rp;
    bool finite = Finite(t.lp) && Finite(t.rp);
    for (int32_t j = 0; j < t.outputs; ++j) finite = finite && Finite(t.mps[j]) && Finite(t.ls[j]);
    if (!finite) {
        ReportMessage1(kModuleAnalDABC, kCodeTransformerValues, FALSE);
        ReportMessageFirstBox(52085);
        return 0;
    }
    return 1;
}

int32_t AssembleStateMatrices() {
    AnalysisContext* ctx = GetAnalysisContext();
    const AnalysisSettingsRec& set = *ctx->pSettings;
    EngineStore& st = ctx->engine;
    const double s = ctx->stepState.inverseTimeStep;
    const int32_t n = set.outputCount;
    const double open = set.openResistance;

    StorePreviousStateVariables();
    if (!CalcLineSourceQuantities()) return Fail(kLineSource);

    // Output side, forward pass: load, first-stage filter, choke, rectifiers.
    int32_t polarity[kMaxOutputs] = {1, 1, 1, 1};
    for (int32_t j = n - 1; j >= 0; --j) {
        OutputStepStore& o = st.output[j];
        const LoadNetworkInputRec& ld = *ctx->pLoadNetworkInput[j];
        const OutputFilterInputRec& fi = *ctx->pOutputFilterInput[j];
        const OutputChokeInputRec& ci = *ctx->pOutputChokeInput[j];
        const SecondaryRectifierInputRec& ri = *ctx->pSecondaryRectifierInput[j];
        const SecondaryRectifierStateRec& rs = ctx->secondaryRectifier[j];
        polarity[j] = Polarity(fi);
        CalcInductorBranchCoeffs(ld.closedFormParamB, ld.resistance, s, ctx->loadNetwork[j].resistorCurrent, &o.load);
        CalcCapacitorBranchCoeffs(FilterCapacitor(fi, open), s, ctx->outputFilter[j].capacitorVoltage,
                                  ctx->outputFilter[j].capacitorCurrent, &o.filterCapacitor);
        o.outputNode = ParallelBranches(o.filterCapacitor, o.load);
        CalcInductorBranchCoeffs(ChokeInductance(ci), ChokeResistance(ci), s, ctx->outputChoke[j].chokeCurrent,
                                 &o.choke);
        CalcRectifierCoeffs(rs.rectifier1On, ri.diodeDrop, ri.dynamicResistance, open, &o.forwardRectifier);
        CalcRectifierCoeffs(rs.diodeConducting, ri.forwardVoltage, ri.secondDynamicResistance, open,
                            &o.freewheelRectifier);
        if (StepFaulted(set, o.outputNode.z, o.outputNode.e)) return Fail(kFirstStagePass1);
    }

    // Line side, forward pass: the phases, the line rectifier and the input capacitor seen
    // from the bulk node.
    if (!AssembleLineSidePass1(s)) return Fail(kLineSidePass1);

    // Primary loop of the present switch state.
    const PrimaryInputRec& pi = *ctx->pPrimaryInput;
    if (pi.topology != kTwoSwitchSenseResistor) return Fail(kUnknownVariant);
    PrimaryStateRec& pri = ctx->primary;
    const int32_t state = pri.switchState;
    const double ron = pri.switchState == 2 ? pi.primarySeriesResistance : open;
    const double vf = pi.sectionQuantityParamI;
    const double rd = pi.runCheckParamB;
    const double senseCurrentPrev = pri.switch1Current;
    CalcInductorBranchCoeffs(pi.senseResistorInductance, pi.senseResistance, s, senseCurrentPrev, &st.senseResistor);
    if (state == 1) {
        st.loopA = -(st.bulk.z + 2.0 * rd);
        st.loopB = -(st.bulk.e + 2.0 * vf);
    } else {
        st.loopA = -(st.bulk.z + 2.0 * ron + st.senseResistor.z);
        st.loopB = st.bulk.e - st.senseResistor.e;
    }

    if (StepFaulted(set, st.loopA, st.loopB)) return Fail(kPrimaryPass1);

    // Transformer, centre, and all outputs together. A winding's current is kept as the
    // current its rectifier draws; the transformer terms take the current into the dotted end.
    double isPrev[kMaxOutputs] = {};
    for (int32_t j = 0; j < n; ++j) isPrev[j] = -polarity[j] * ctx->secondaryWinding[j].windingCurrent;
    const double ipPrev = pri.primaryWindingCurrent;
    CalcTransformerCoeffs(st.xfmr, s, ipPrev, isPrev, &st);
    BuildPrimaryCentre(n, &st);
    if (!SolveCoupledOutputs(n, polarity, &st)) return Fail(kCoupledChokes);
    for (int32_t j = n - 1; j >= 0; --j)
        SetFlagIfSameSign(&ctx->outputChoke[j].chokeFlagA, ctx->pSecondaryRectifierInput[j]->resistiveRectifier,
                          st.output[j].forwardCurrent + st.output[j].freewheelCurrent,
                          ctx->pOutputFilterInput[j]->outputSign);

    // Reverse pass: primary and transformer.
    const double ip = PrimaryCurrentFromRow(n, st, st.secondaryCurrent);
    const double vw = st.loopA * ip + st.loopB;
    const double draw = state == 1 ? -ip : ip;
    const double vbulk = st.bulk.e - st.bulk.z * draw;
    if (StepFaulted(set, ip, vbulk)) return Fail(kPrimaryPass2);
    st.bulkDraw = draw;
    st.primaryCurrentSlope = (ip - ipPrev) * s;

    double reflected = 0.0;
    for (int32_t j = n - 1; j >= 0; --j) {
        SecondaryWindingStateRec& w = ctx->secondaryWinding[j];
        w.windingCurrent = -polarity[j] * st.secondaryCurrent[j];
        reflected += polarity[j] * ctx->pSecondaryRectifierInput[j]->windingTurns * w.windingCurrent / pi.primaryTurns;
        double vs = st.m[j] * ip + st.es[j];
        for (int32_t k = 0; k < n; ++k) vs += st.zs[j][k] * st.secondaryCurrent[k];
        w.windingVoltage = vs;
    }
    pri.primaryWindingCurrent = ip;
    pri.primaryWindingVoltage = vw;
    pri.transformerPrimaryCurrent = ip;
    pri.primaryWindingCurrentSlope = st.primaryCurrentSlope;
    pri.reflectedSecondaryCurrent = reflected;
    pri.magnetizingCurrent = ip - reflected;
    pri.magnetizingCurrentCopy1 = pri.magnetizingCurrent;
    pri.magnetizingCurrentCopy5 = draw;

    const double senseCurrent = state == 1 ? 0.0 : ip;
    const double vsense = state == 1 ? 0.0 : st.senseResistor.z * senseCurrent + st.senseResistor.e;
    pri.currentSenseResistorVoltage = vsense;
    pri.currentSenseOutput = pi.senseAmpGain * vsense;
    pri.switch1Current = senseCurrent;
    pri.switch2Current = senseCurrent;
    pri.switch1DrainToSourceCurrent = senseCurrent;
    // Switch 1 is the low-side switch over the sense resistor, switch 2 the high-side one;
    // rectifier 1 returns the low-side drain to the bulk, rectifier 2 the return to the
    // high-side source. Both switches carry the same current, so they share one voltage.
    double vsw = 0.0;
    if (state == 1) {
        const double vd = vf + rd * ip;
        pri.diode1Current = ip;
        pri.diode2Current = ip;
        pri.diode1Voltage = vd;
        pri.diode2Voltage = vd;
        vsw = vbulk + vd;
    } else {
        pri.diode1Current = 0.0;
        pri.diode2Current = 0.0;
        vsw = ron * ip;
        pri.diode1Voltage = vsense + vsw - vbulk;  // low-side drain to the bulk
        pri.diode2Voltage = -(vbulk - vsw);        // return to the high-side source
    }
    pri.switch1Voltage = vsw;
    pri.switch2Voltage = vsw;
    pri.switch1VoltageCopy = vsw;
    pri.switch1Resistance = state == 2 ? pi.primarySeriesResistance : open;

    // Line side, reverse pass.
    if (!AssembleLineSidePass2(draw, s)) return Fail(kLineSidePass2);

    // Output side, reverse pass.
    for (int32_t j = n - 1; j >= 0; --j) {
        OutputStepStore& o = st.output[j];
        const OutputFilterInputRec& fi = *ctx->pOutputFilterInput[j];
        const LoadNetworkInputRec& ld = *ctx->pLoadNetworkInput[j];
        const SecondaryRectifierInputRec& ri = *ctx->pSecondaryRectifierInput[j];
        SecondaryRectifierStateRec& rs = ctx->secondaryRectifier[j];
        OutputChokeStateRec& ch = ctx->outputChoke[j];
        OutputFilterStateRec& f = ctx->outputFilter[j];
        LoadNetworkStateRec& lo = ctx->loadNetwork[j];

        const double chokeCurrentPrev = ch.chokeCurrent;
        const double chokeCurrent = o.forwardCurrent + o.freewheelCurrent;
        const double vout = o.outputNode.z * chokeCurrent + o.outputNode.e;
        if (StepFaulted(set, vout, chokeCurrent)) return Fail(kFirstStagePass2);

        const double filterCurrent = BranchCurrent(o.filterCapacitor, vout);
        f.capacitorVoltage = UpdateCapacitorBranch(FilterCapacitor(fi, open), s, f.capacitorVoltage, filterCurrent);
        f.capacitorCurrent = filterCurrent;
        f.capacitorVoltage1 = f.capacitorVoltage;
        f.capacitorCurrent1 = filterCurrent;
        f.outputVoltage = vout;

        const double loadCurrent = BranchCurrent(o.load, vout);
        lo.resistorCurrent = loadCurrent;
        lo.resistorVoltage = ld.resistance * loadCurrent;
        lo.loadCurrent = loadCurrent;
        lo.outputNodeVoltage = vout;

        ch.chokeCurrent = chokeCurrent;
        ch.reportedChokeCurrent = chokeCurrent;
        ch.currentSlope = (chokeCurrent - chokeCurrentPrev) * s;
        ch.windingVoltage = o.chokeNodeVoltage - vout;
        const OutputChokeInputRec& ci = *ctx->pOutputChokeInput[j];
        if (ci.seriesElementOn)
            ch.currentSenseOutput = ci.seriesElementFactor *
                                    (ci.seriesResistance * chokeCurrent + ci.seriesInductance * ch.currentSlope);

        const double forwardPrev = rs.rectifier1AnodeToCathodeCurrent;
        const double freewheelPrev = rs.diodeCurrent;
        o.forwardSlope = (o.forwardCurrent - forwardPrev) * s;
        o.freewheelSlope = (o.freewheelCurrent - freewheelPrev) * s;
        o.forwardVoltage = o.forwardRectifier.z * o.forwardCurrent + o.forwardRectifier.e;
        o.freewheelVoltage = o.freewheelRectifier.z * o.freewheelCurrent + o.freewheelRectifier.e;
        rs.rectifier1AnodeToCathodeCurrent = o.forwardCurrent;
        rs.rectifier1AnodeToCathodeVoltage = o.forwardVoltage;
        rs.rectifierCurrent = o.forwardCurrent;
        rs.rectifier1Resistance = rs.rectifier1On ? ri.dynamicResistance : open;
        rs.diodeCurrent = o.freewheelCurrent;
        rs.rectifier2TotalAnodeToCathodeCurrent = o.freewheelCurrent;
        rs.rectifierVoltage = o.freewheelVoltage;
        rs.diodeResistance = rs.diodeConducting ? ri.secondDynamicResistance : open;
        rs.chokeCurrentCopy = chokeCurrent;
        rs.rectifiedVoltage = o.chokeNodeVoltage;
        rs.rectifierSectionInputVoltage = polarity[j] * ctx->secondaryWinding[j].windingVoltage;
    }

    return 1;
}
