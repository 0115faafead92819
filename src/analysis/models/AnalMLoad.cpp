#include "analysis/models/AnalMLoad.h"

#include <cmath>

#include "analysis/models/AnalMBranch.h"

namespace {

bool HasShunt(int32_t variant) { return variant != 2; }
bool HasSource(int32_t variant) { return variant == 2 || variant == 3; }

}  // namespace

int32_t CalcLoadNetworkCoeffs(const LoadNetworkValues& v, double s, const LoadNetworkStart& start,
                              LoadNetworkCoeffs* out) {
    if (v.variant < 0 || v.variant > 3) return 0;
    const bool inductor = v.variant == 1 || v.variant == 3;
    CalcInductorBranchCoeffs(v.resistorEsl + (inductor ? v.inductance : 0.0),
                             v.resistance + (inductor ? v.inductorResistance : 0.0), s, start.shuntCurrent,
                             &out->shunt);
    out->source = {start.sourceResistance, -start.sourceResistance * start.sourceCurrent};
    if (v.variant == 3)
        CalcInductorBranchCoeffs(v.seriesInductance, v.seriesResistance, s, start.seriesCurrent, &out->series);
    else
        out->series = {0.0, 0.0};
    if (!HasSource(v.variant)) out->parallel = out->shunt;
    else if (!HasShunt(v.variant)) out->parallel = out->source;
    else out->parallel = ParallelBranches(out->shunt, out->source);
    out->load = {out->series.z + out->parallel.z, out->series.e + out->parallel.e};
    return std::isfinite(out->load.z) && std::isfinite(out->load.e) ? 1 : 0;
}

int32_t UpdateLoadNetwork(const LoadNetworkValues& v, const LoadNetworkCoeffs& c, double outputVoltage,
                          LoadNetworkResult* out) {
    out->current = BranchCurrent(c.load, outputVoltage);
    out->seriesVoltage = v.variant == 3 ? c.series.z * out->current + c.series.e : 0.0;
    const double vp = outputVoltage - out->seriesVoltage;
    out->shuntVoltage = HasShunt(v.variant) ? vp : 0.0;
    out->shuntCurrent = HasShunt(v.variant) ? BranchCurrent(c.shunt, vp) : 0.0;
    out->sourceVoltage = HasSource(v.variant) ? vp : 0.0;
    return std::isfinite(out->current) && std::isfinite(out->shuntCurrent) ? 1 : 0;
}

double LoadSourceResistance(int32_t sign, double sourceVoltage) {
    return static_cast<double>(sign) * sourceVoltage > 0.0 ? kLoadSourceOpen : kLoadSourceShort;
}
