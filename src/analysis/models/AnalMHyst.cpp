#include "analysis/models/AnalMHyst.h"

#include <cmath>

namespace {

bool Positive(double v) { return std::isfinite(v) && v > 0.0; }

}  // namespace

HystNetwork HystNetworkOf(const ControlInputRec& in) {
    HystNetwork n;
    n.ra = in.hystFilterResistance;
    n.rb = in.hystDividerResistance;
    n.cc = in.hystFilterCapacitance;
    n.rs = in.rampResistance;
    n.cs = in.rampCapacitance;
    return n;
}

bool HystNetworkValid(const HystNetwork& n) {
    return Positive(n.ra) && Positive(n.rb) && Positive(n.cc) && Positive(n.rs) && Positive(n.cs);
}

double HystereticLogicLevel(const ControlInputRec& in, double bulk) {
    return in.referenceInPercent ? in.referenceValue * bulk / 100.0 : in.referenceValue;
}

int32_t SolveHystereticSenseFilter(const HystNetwork& n, double u, double injection, double s, ControlStateRec* st) {
    const double k = n.cs * n.rs * s;
    const double previous = st->rampCapacitorVoltage;
    const double v = (k * previous + injection + u) / (k + 1.0);
    st->rampCapacitorVoltage = v;
    st->rampCapacitorCurrent = (v - previous) * n.cs * s;
    st->feedForwardResistorCurrent = st->rampCapacitorCurrent;  // R7 feeds C6 alone
    return std::isfinite(v) ? 1 : 0;
}

int32_t SolveHystereticComparatorNetwork(const HystNetwork& n, double vIn, double vRef, double s,
                                         ControlStateRec* st) {
    const double gc = n.cc * s;
    const double previous = st->hystFiltered;
    const double i = (vIn - vRef - previous) * gc / ((n.ra + n.rb) * gc + 1.0);
    const double node = vRef + n.rb * i;
    st->hystInput = vIn;
    st->hystFiltered = previous + i / gc;
    st->r10ResistorCurrent = i;
    st->hystAux1 = n.ra * i;
    st->hystAux3 = n.rb * i;
    st->pwmComparatorNonInverting = node;
    return std::isfinite(node) && std::isfinite(st->hystFiltered) ? 1 : 0;
}

int32_t StartHystereticWindow(const HystNetwork& n, double vl, double duty, double vRef, ControlStateRec* st) {
    const double vc = duty * vl - vRef;
    const double i = -(vRef + vc) / (n.ra + n.rb);
    st->hystInput = 0.0;
    st->hystFiltered = vc;
    st->r10ResistorCurrent = i;
    st->hystAux1 = n.ra * i;
    st->hystAux3 = n.rb * i;
    st->pwmComparatorNonInverting = vRef + n.rb * i;
    return std::isfinite(st->pwmComparatorNonInverting) && std::isfinite(vc) ? 1 : 0;
}

double HystereticControlVoltage(const HystNetwork& n, double vl, double duty, double valley) {
    return valley + duty * vl * n.rb / (n.ra + n.rb);
}

double TimeToHystereticCrossing(const ControlStateRec& st) {
    const double d = st.pwmComparatorDifferential, rate = st.pwmComparatorDifferentialSlope;
    if (!std::isfinite(d) || !std::isfinite(rate) || !(d * rate < 0.0)) return -1.0;
    return -d / rate;
}
