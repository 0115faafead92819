#include "analysis/models/AnalMPri.h"

#include <cmath>

int32_t CalcPassiveClampNetworkCoeffs(const CapacitorGroup& cap, double resistance, double s, double voltagePrev,
                                      double capCurrentPrev, BranchPair* capacitor, BranchPair* network) {
    CalcCapacitorBranchCoeffs(cap, s, voltagePrev, capCurrentPrev, capacitor);
    *network = ParallelBranches(*capacitor, {resistance, 0.0});
    return std::isfinite(network->z) && std::isfinite(network->e) ? 1 : 0;
}

int32_t CalcPassiveClampLoop(int32_t switchState, double ron, const BranchPair& sense, const BranchPair& network,
                             double rectifierDrop, double rectifierResistance, EngineStore* st) {
    if (switchState == 1) {
        st->loopA = -(network.z + rectifierResistance);
        st->loopB = -(network.e + rectifierDrop);
    } else {
        st->loopA = -(st->bulk.z + ron + sense.z);
        st->loopB = st->bulk.e - sense.e;
    }
    return std::isfinite(st->loopA) && std::isfinite(st->loopB) ? 1 : 0;
}

PassiveClampResult UpdatePassiveClamp(int32_t switchState, double primaryCurrent, const CapacitorGroup& cap,
                                      double resistance, double s, double voltagePrev, const BranchPair& capacitor,
                                      const BranchPair& network) {
    PassiveClampResult r{};
    r.clampCurrent = switchState == 1 ? primaryCurrent : 0.0;
    r.nodeVoltage = network.z * r.clampCurrent + network.e;
    r.capacitorCurrent = BranchCurrent(capacitor, r.nodeVoltage);
    r.resistorCurrent = r.nodeVoltage / resistance;
    r.capacitorVoltage = UpdateCapacitorBranch(cap, s, voltagePrev, r.capacitorCurrent);
    return r;
}

BranchPair ResonantSwitchElement(int32_t switchState, int32_t bodyDiodeOn, double onResistance, double open,
                                 double bodyDiodeDrop, double bodyDiodeResistance) {
    if (switchState == 2) return {onResistance, 0.0};
    if (bodyDiodeOn) return {bodyDiodeResistance, -bodyDiodeDrop};
    return {open, 0.0};
}

int32_t CalcResonantResetLoop(const BranchPair& drainSource, const BranchPair& sense, EngineStore* st) {
    st->loopA = -(st->bulk.z + drainSource.z + sense.z);
    st->loopB = st->bulk.e - drainSource.e - sense.e;
    return std::isfinite(st->loopA) && std::isfinite(st->loopB) ? 1 : 0;
}

ResonantResetResult UpdateResonantReset(double primaryCurrent, const CapacitorGroup& cap, double s, double voltagePrev,
                                        const BranchPair& capacitor, const BranchPair& drainSource) {
    ResonantResetResult r{};
    r.drainSourceVoltage = drainSource.z * primaryCurrent + drainSource.e;
    r.capacitorCurrent = BranchCurrent(capacitor, r.drainSourceVoltage);
    r.switchCurrent = primaryCurrent - r.capacitorCurrent;
    r.capacitorVoltage = UpdateCapacitorBranch(cap, s, voltagePrev, r.capacitorCurrent);
    return r;
}

BranchPair ActiveClampSwitchElement(int32_t switchState, int32_t channelOn, int32_t bodyDiodeOn, double onResistance,
                                    double open, double bodyDiodeDrop, double bodyDiodeResistance) {
    if (switchState != 2) return {open, 0.0};
    if (channelOn || !bodyDiodeOn) return {onResistance, 0.0};
    return {bodyDiodeResistance, -bodyDiodeDrop};
}

BranchPair ClampSwitchElement(int32_t channelOn, int32_t bodyDiodeOn, double onResistance, double bodyDiodeDrop,
                              double bodyDiodeResistance) {
    if (channelOn && bodyDiodeOn) return ParallelBranches({onResistance, 0.0}, {bodyDiodeResistance, bodyDiodeDrop});
    if (channelOn || !bodyDiodeOn) return {onResistance, 0.0};
    return {bodyDiodeResistance, bodyDiodeDrop};
}

int32_t CalcActiveClampLoop(int32_t switchState, const BranchPair& switchElement, const BranchPair& sense,
                            const BranchPair& capacitor, const BranchPair& clampElement, EngineStore* st) {
    if (switchState == 1 || switchState == 3) {
        st->loopA = -(capacitor.z + clampElement.z);
        st->loopB = -(capacitor.e + clampElement.e);
    } else {
        st->loopA = -(st->bulk.z + switchElement.z + sense.z);
        st->loopB = st->bulk.e - switchElement.e - sense.e;
    }
    return std::isfinite(st->loopA) && std::isfinite(st->loopB) ? 1 : 0;
}

namespace {

double Reflected(const SenseTransformer& ct) {
    return ct.ratio * ct.ratio * (ct.senseResistance + ct.secondaryResistance + ct.rectifierResistance);
}

}  // namespace

bool SetSenseTransformerWindings(double primaryInductance, double secondaryInductance, double coupling,
                                 SenseTransformer* ct) {
    if (!(secondaryInductance > 0.0) || !(coupling > 0.0 && coupling <= 1.0) || !std::isfinite(secondaryInductance))
        return false;
    const double lp = primaryInductance > 0.0 ? primaryInductance : 0.0;
    ct->ratio = SenseTransformerRatio(lp, secondaryInductance, coupling);
    ct->magnetizingInductance = coupling * coupling * lp;
    ct->leakageInductance = (1.0 - coupling * coupling) * lp;
    return std::isfinite(ct->ratio) && std::isfinite(ct->magnetizingInductance);
}

BranchPair CalcSenseTransformerBranch(const SenseTransformer& ct, int32_t conducting, double s,
                                      double magnetizingPrev, double pathPrev) {
    const double xl = ct.leakageInductance * s;
    BranchPair b{ct.primaryResistance + xl, -xl * pathPrev};
    if (!conducting) return b;
    const double r = Reflected(ct);
    if (!(ct.magnetizingInductance > 0.0)) return {b.z + r, b.e};
    const double x = ct.magnetizingInductance * s;
    return {b.z + x * r / (x + r), b.e - x * r * magnetizingPrev / (x + r)};
}

double SenseMagnetizingCurrent(const SenseTransformer& ct, int32_t conducting, double s, double magnetizingPrev,
                               double current) {
    if (!conducting || !(ct.magnetizingInductance > 0.0)) return 0.0;
    const double r = Reflected(ct), x = ct.magnetizingInductance * s;
    return (r * current + x * magnetizingPrev) / (x + r);
}

TransformerParams ResetWindingAsCentre(const TransformerParams& t, const ResetWindingParams& r) {
    TransformerParams c = t;
    c.lp = r.lr;
    c.rp = r.rr;
    for (int32_t j = 0; j < kMaxOutputs; ++j) c.mps[j] = r.mrs[j];
    return c;
}
