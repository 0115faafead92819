#include "analysis/models/AnalMFlt.h"

#include <cmath>

#include "analysis/models/AnalMLoss.h"

namespace {

bool DampedInductor(int32_t v) { return v == 2 || v == 4 || v == 5 || v == 6; }
bool DampingInductor(int32_t v) { return v == 4 || v == 6; }
bool DampingCapacitor(int32_t v) { return v == 3 || v == 5 || v == 6; }

}  // namespace

bool SecondStageVariantBuilt(int32_t variant) { return variant >= 0 && variant <= 6; }

int32_t CalcSecondStageCoeffs(const SecondStageValues& v, double s, const SecondStageStart& start,
                              const BranchPair& downstream, SecondStageCoeffs* out) {
    if (!SecondStageVariantBuilt(v.variant)) return 0;
    if (v.variant == 0) {
        out->total = downstream;
        out->outputNode = downstream;
        return 1;
    }
    CalcInductorBranchCoeffs(v.inductance, v.resistance, s, start.inductorCurrent, &out->inductor);
    out->inductor = ShuntedBranch(out->inductor, v.inductorConductance);
    out->series = out->inductor;
    if (DampedInductor(v.variant)) {
        const double l3 = DampingInductor(v.variant) ? v.dampingInductance : 0.0;
        const double r3 = DampingInductor(v.variant) ? v.dampingInductorResistance : 0.0;
        const double g3 = DampingInductor(v.variant) ? v.dampingInductorConductance : 0.0;
        CalcInductorBranchCoeffs(l3, r3, s, start.dampingCurrent, &out->dampingWinding);
        out->dampingWinding = ShuntedBranch(out->dampingWinding, g3);
        out->damping = {out->dampingWinding.z + v.dampingResistance, out->dampingWinding.e};
        out->series = ParallelBranches(out->inductor, out->damping);
    }
    CalcCapacitorBranchCoeffs(v.capacitor, s, start.capacitorVoltage, start.capacitorCurrent, &out->capacitor);
    out->outputNode = ParallelBranches(out->capacitor, downstream);
    if (DampingCapacitor(v.variant)) {
        CalcCapacitorBranchCoeffs(v.dampingCapacitor, s, start.dampingCapacitorVoltage, start.dampingCapacitorCurrent,
                                  &out->dampingCapacitor);
        out->outputNode = ParallelBranches(out->outputNode, out->dampingCapacitor);
    }
    out->total = {out->series.z + out->outputNode.z, out->series.e + out->outputNode.e};
    return std::isfinite(out->total.z) && std::isfinite(out->total.e) ? 1 : 0;
}

int32_t UpdateSecondStage(const SecondStageValues& v, double s, const SecondStageStart& start,
                          const SecondStageCoeffs& c, double vn1, SecondStageResult* out) {
    out->current = BranchCurrent(c.total, vn1);
    if (v.variant == 0) {
        out->outputVoltage = vn1;
        return std::isfinite(out->current) ? 1 : 0;
    }
    out->outputVoltage = c.outputNode.z * out->current + c.outputNode.e;
    const double across = vn1 - out->outputVoltage;
    const double branch = BranchCurrent(c.inductor, across);
    out->inductorVoltage = across;
    out->inductorCurrent = branch - v.inductorConductance * across;
    out->dampingCurrent = DampedInductor(v.variant) ? BranchCurrent(c.damping, across) : 0.0;
    out->dampingInductorVoltage = DampingInductor(v.variant) ? c.dampingWinding.z * out->dampingCurrent + c.dampingWinding.e : 0.0;
    out->dampingInductorCurrent = out->dampingCurrent -
                                  (DampingInductor(v.variant) ? v.dampingInductorConductance : 0.0) * out->dampingInductorVoltage;
    out->capacitorCurrent = BranchCurrent(c.capacitor, out->outputVoltage);
    out->capacitorVoltage = UpdateCapacitorBranch(v.capacitor, s, start.capacitorVoltage, out->capacitorCurrent);
    out->dampingCapacitorCurrent = 0.0;
    out->dampingCapacitorVoltage = 0.0;
    if (DampingCapacitor(v.variant)) {
        out->dampingCapacitorCurrent = BranchCurrent(c.dampingCapacitor, out->outputVoltage);
        out->dampingCapacitorVoltage = UpdateCapacitorBranch(v.dampingCapacitor, s, start.dampingCapacitorVoltage,
                                                             out->dampingCapacitorCurrent);
    }
    return std::isfinite(out->outputVoltage) && std::isfinite(out->inductorCurrent) ? 1 : 0;
}

int32_t CalcFirstStageDampingCoeffs(const FirstStageDamping& d, double s, double capacitorVoltagePrev,
                                    double currentPrev, BranchPair* out) {
    // The resistor joins the ESR: the companion's step correction comes off the branch's whole
    // series resistance (AnalMBranch.h).
    CapacitorGroup cap = d.capacitor;
    cap.esr += d.resistance;
    BranchPair c, rl;
    CalcCapacitorBranchCoeffs(cap, s, capacitorVoltagePrev, currentPrev, &c);
    CalcInductorBranchCoeffs(d.inductance, 0.0, s, currentPrev, &rl);
    *out = {c.z + rl.z, c.e + rl.e};
    return std::isfinite(out->z) && std::isfinite(out->e) ? 1 : 0;
}

CapacitorGroup BiasCapacitorGroup(double capacitance) { return {1.0e8, 1.0e-9, 1.0e-9, 0.0, 1.0e-9, capacitance}; }

int32_t CalcCapacitorSenseCoeffs(const CapacitorSenseValues& v, double s, const CapacitorSenseStart& start,
                                 CapacitorSenseCoeffs* out) {
    CalcCapacitorBranchCoeffs(v.biasCapacitor, s, start.biasCapacitorVoltage, start.biasCapacitorCurrent,
                              &out->biasCapacitor);
    out->biasBranch = {v.biasResistance2 + out->biasCapacitor.z, out->biasCapacitor.e};
    out->node = ParallelBranches(ParallelBranches({v.senseResistance, 0.0}, {v.biasResistance1, v.biasVoltage}),
                                 out->biasBranch);
    const double ms = v.mutualInductance * s;
    if (start.diodeOn) {
        const double zs = v.secondaryInductance * s + v.secondaryResistance + v.diodeResistance + out->node.z;
        out->gain = ms / zs;
        out->offset = (v.secondaryInductance * s * start.secondaryCurrent - ms * start.primaryCurrent -
                       v.diodeForwardVoltage - out->node.e) /
                      zs;
    } else {
        out->gain = 0.0;
        out->offset = 0.0;
    }
    out->primary = {v.primaryResistance + v.primaryInductance * s - ms * out->gain,
                    -v.primaryInductance * s * start.primaryCurrent + ms * (start.secondaryCurrent - out->offset)};
    if (v.coreConductance > 0.0) {
        const double k = 1.0 / (1.0 + v.coreConductance * out->primary.z);
        out->primary = {out->primary.z * k, out->primary.e * k};
    }
    return std::isfinite(out->primary.z) && std::isfinite(out->primary.e) && std::isfinite(out->offset) ? 1 : 0;
}

int32_t UpdateCapacitorSense(const CapacitorSenseValues& v, double s, const CapacitorSenseStart& start,
                             const CapacitorSenseCoeffs& c, double primaryCurrent, CapacitorSenseResult* out) {
    const double ms = v.mutualInductance * s;
    out->primaryVoltage = c.primary.z * primaryCurrent + c.primary.e;
    out->windingCurrent = primaryCurrent - v.coreConductance * out->primaryVoltage;
    out->secondaryCurrent = c.gain * out->windingCurrent + c.offset;
    out->nodeVoltage = c.node.z * out->secondaryCurrent + c.node.e;
    if (start.diodeOn) {
        out->diodeVoltage = v.diodeResistance * out->secondaryCurrent + v.diodeForwardVoltage;
        out->secondaryVoltage = out->diodeVoltage + out->nodeVoltage;
    } else {
        out->secondaryVoltage = ms * (out->windingCurrent - start.primaryCurrent);
        out->diodeVoltage = out->secondaryVoltage - out->nodeVoltage;
    }
    out->senseResistorCurrent = out->nodeVoltage / v.senseResistance;
    out->bias1Current = (v.biasVoltage - out->nodeVoltage) / v.biasResistance1;
    out->bias2Current = BranchCurrent(c.biasBranch, out->nodeVoltage);
    out->biasCapacitorVoltage =
        UpdateCapacitorBranch(v.biasCapacitor, s, start.biasCapacitorVoltage, out->bias2Current);
    out->output = out->nodeVoltage - v.biasResistance2 * out->bias2Current;
    return std::isfinite(out->secondaryCurrent) && std::isfinite(out->output) && std::isfinite(out->diodeVoltage) ? 1
                                                                                                               : 0;
}
