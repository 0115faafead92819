#include "analysis/models/AnalMBranch.h"

namespace {

double LeakageConductance(const CapacitorGroup& cap) {
    return cap.leakageA * cap.leakageB != 0.0 && cap.leakageResistance > 0.0 ? 1.0 / cap.leakageResistance : 0.0;
}

}  // namespace

int32_t CalcInductorBranchCoeffs(double inductance, double resistance, double s, double currentPrev,
                                 BranchPair* out) {
    out->z = resistance + inductance * s;
    out->e = -inductance * s * currentPrev;
    return 1;
}

int32_t CalcCapacitorBranchCoeffs(const CapacitorGroup& cap, double s, double voltagePrev, double currentPrev,
                                  BranchPair* out) {
    const double y = cap.capacitance * s + LeakageConductance(cap);
    out->z = cap.esr + cap.esl * s + 1.0 / y;
    out->e = cap.capacitance * s * voltagePrev / y - cap.esl * s * currentPrev;
    return 1;
}

double UpdateCapacitorBranch(const CapacitorGroup& cap, double s, double voltagePrev, double current) {
    return (current + cap.capacitance * s * voltagePrev) / (cap.capacitance * s + LeakageConductance(cap));
}

int32_t CalcRectifierCoeffs(int32_t conducting, double forwardVoltage, double onResistance, double offResistance,
                            BranchPair* out) {
    out->z = conducting ? onResistance : offResistance;
    out->e = conducting ? forwardVoltage : 0.0;
    return 1;
}

int32_t CalcSwitchCoeffs(int32_t conducting, double onResistance, double offResistance, BranchPair* out) {
    return CalcRectifierCoeffs(conducting, 0.0, onResistance, offResistance, out);
}

BranchPair ParallelBranches(const BranchPair& first, const BranchPair& second) {
    const double sum = first.z + second.z;
    return {first.z * second.z / sum, (first.e * second.z + second.e * first.z) / sum};
}
