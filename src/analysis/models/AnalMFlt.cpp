#include "analysis/models/AnalMFlt.h"

#include <cmath>

bool SecondStageVariantBuilt(int32_t variant) { return variant == 0 || variant == 1 || variant == 2 || variant == 4; }

int32_t CalcSecondStageCoeffs(const SecondStageValues& v, double s, const SecondStageStart& start,
                              const BranchPair& downstream, SecondStageCoeffs* out) {
    if (!SecondStageVariantBuilt(v.variant)) return 0;
    if (v.variant == 0) {
        out->total = downstream;
        out->outputNode = downstream;
        return 1;
    }
    CalcInductorBranchCoeffs(v.inductance, v.resistance, s, start.inductorCurrent, &out->inductor);
    out->series = out->inductor;
    if (v.variant == 2 || v.variant == 4) {
        const double l3 = v.variant == 4 ? v.dampingInductance : 0.0;
        const double r3 = v.variant == 4 ? v.dampingInductorResistance : 0.0;
        CalcInductorBranchCoeffs(l3, v.dampingResistance + r3, s, start.dampingCurrent, &out->damping);
        out->series = ParallelBranches(out->inductor, out->damping);
    }
    CalcCapacitorBranchCoeffs(v.capacitor, s, start.capacitorVoltage, start.capacitorCurrent, &out->capacitor);
    out->outputNode = ParallelBranches(out->capacitor, downstream);
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
    out->inductorCurrent = BranchCurrent(c.inductor, across);
    out->dampingCurrent = v.variant == 1 ? 0.0 : BranchCurrent(c.damping, across);
    out->capacitorCurrent = BranchCurrent(c.capacitor, out->outputVoltage);
    out->capacitorVoltage = UpdateCapacitorBranch(v.capacitor, s, start.capacitorVoltage, out->capacitorCurrent);
    return std::isfinite(out->outputVoltage) && std::isfinite(out->inductorCurrent) ? 1 : 0;
}
