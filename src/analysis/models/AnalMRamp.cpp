#include "analysis/models/AnalMRamp.h"

#include <cmath>

RampNetwork RampNetworkOf(const ControlInputRec& in) {
    RampNetwork n;
    n.ra = in.slopeResistance;
    n.rb = in.rampFilterResistance;
    n.rc = in.slopeEmitterResistance;
    n.ca = in.slopeCapacitance;
    n.cb = in.rampFilterCapacitance;
    n.offset = in.slopeTransistorVbe;
    return n;
}

bool RampNetworkValid(const RampNetwork& n) {
    auto positive = [](double v) { return std::isfinite(v) && v > 0.0; };
    return positive(n.ra) && positive(n.rb) && positive(n.rc) && positive(n.ca) && positive(n.cb) &&
           std::isfinite(n.offset);
}

int32_t SolveCurrentRampNetwork(const RampNetwork& n, double vs, double vx, double s, ControlStateRec* st) {
    const double ga = 1.0 / n.ra, gA = n.ca * s, gB = n.cb * s;
    const double vAprev = st->clockDividerVoltage, vBprev = st->rampCapacitorVoltage;
    const double l = 1.0 / (n.rb * gB + 1.0);
    const double k = (gB * (vs - vBprev) + gA * vAprev) * l;
    const double m = -l * (ga + gA);
    const double nn = 1.0 / (n.rb * m - 1.0);
    const double p = (vs - n.rb * k) * nn;
    double x = (vAprev * gA - p * (ga + gA)) / ((ga + gA) * (-nn * n.rc) + 1.0);
    if (vx - n.offset > x * n.rc) x = (vx - n.offset) / n.rc;
    const double vA = x * (-nn * n.rc) + p;
    const double iB = vA * m + k;
    const double vB = vs - n.rb * iB;
    st->clockDividerVoltage = vA;
    st->clockDividerAux = (vA - vAprev) * gA;
    st->clockDividerCurrent = vA * ga;
    st->clockDividerAux2 = vA;
    st->rampCapacitorVoltage = vB;
    st->rampCapacitorCurrent = (vB - vBprev) * gB;
    st->rampDifference = x * n.rc;
    st->r9ResistorCurrent = x;
    st->feedForwardResistorCurrent = iB;  // R7's current (shown under R7 in this mode)
    return std::isfinite(vB) && std::isfinite(vA) ? 1 : 0;
}

bool FeedForwardRampValid(const ControlInputRec& in) {
    auto positive = [](double v) { return std::isfinite(v) && v > 0.0; };
    return positive(in.rampResistance) && positive(in.rampCapacitance) && positive(in.resetSwitchResistance);
}

int32_t SolveFeedForwardRamp(const ControlInputRec& in, double bulk, bool driveOn, double s, ControlStateRec* st) {
    const double r = in.rampResistance, rs = in.resetSwitchResistance;
    const double k = in.rampCapacitance * r * s;
    const double previous = st->rampCapacitorVoltage;
    double v = 0.0;
    if (driveOn) {
        v = (k * previous + bulk) / (k + 1.0);
        st->resetSwitchCurrent = 0.0;
    } else {
        v = (k * previous + bulk) * rs / ((k + 1.0) * rs + r);
        st->resetSwitchCurrent = v / rs;
    }
    st->rampCapacitorVoltage = v;
    st->rampCapacitorCurrent = (v - previous) * in.rampCapacitance * s;
    st->feedForwardResistorCurrent = (bulk - v) / r;
    return std::isfinite(v) ? 1 : 0;
}
