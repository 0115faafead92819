#include "analysis/models/AnalMVea.h"

#include <cmath>

namespace {

struct Admittances {
    double g1 = 0, y1 = 0, g2 = 0, y2 = 0, g3 = 0;
    double yin = 0, jin = 0, yf = 0, jf = 0;
};

Admittances Reduce(const VeaNetwork& a, double s, const AmpState& st) {
    Admittances k;
    k.yin = 1.0 / a.r1;
    if (a.HasInputBranch()) {
        k.g1 = a.c1 * s;
        k.y1 = k.g1 / (1.0 + a.r2 * k.g1);
        k.yin += k.y1;
        k.jin = k.y1 * st.vc1;
    }
    if (a.HasC3()) {
        k.g3 = a.c3 * s;
        k.yf += k.g3;
        k.jf += k.g3 * st.vf;
    }
    if (a.HasR3C2()) {
        k.g2 = a.c2 * s;
        k.y2 = k.g2 / (1.0 + a.r3 * k.g2);
        k.yf += k.y2;
        k.jf += k.y2 * st.vc2;
    }
    if (a.HasRfb()) k.yf += 1.0 / a.rfb;
    return k;
}

// Every branch from the input drop d and the feedback voltage vf.
void BackSubstitute(const VeaNetwork& a, const Admittances& k, double d, double vf, AmpState& st) {
    st.ir1 = d / a.r1;
    if (a.HasInputBranch()) {
        st.ic1 = k.y1 * (d - st.vc1);
        st.vc1 = (st.vc1 * a.r2 * k.g1 + d) / (1.0 + a.r2 * k.g1);
    }
    if (a.HasR3C2()) {
        st.ic2 = k.y2 * (vf - st.vc2);
        st.vc2 = (st.vc2 * a.r3 * k.g2 + vf) / (1.0 + a.r3 * k.g2);
    }
    st.ic3 = a.HasC3() ? k.g3 * (vf - st.vf) : 0.0;
    st.irfb = a.HasRfb() ? vf / a.rfb : 0.0;
    st.vf = vf;
}

bool Positive(double v) { return std::isfinite(v) && v > 0.0; }

AmpState VeaState(const ControlStateRec& c) {
    AmpState a;
    a.vc1 = c.errorAmpAux;
    a.vc2 = c.errorAmpStateB;
    a.vf = c.errorAmpStateC;
    a.ic1 = c.errorAmpFlowB;
    a.ic2 = c.errorAmpFlowC;
    a.ic3 = c.errorAmpStateCAux;
    a.ir1 = c.errorAmpFlowA;
    a.irfb = c.veaStateScaled;
    a.node = c.veaInvertingInput;
    a.out = c.veaOutput;
    a.clampState = c.veaClampState;
    a.clampValue = c.veaClampValue;
    return a;
}

void StoreVea(const AmpState& a, ControlStateRec* c) {
    c->errorAmpAux = a.vc1;
    c->errorAmpStateB = a.vc2;
    c->errorAmpStateC = a.vf;
    c->errorAmpFlowB = a.ic1;
    c->errorAmpFlowC = a.ic2;
    c->errorAmpStateCAux = a.ic3;
    c->errorAmpFlowA = a.ir1;
    c->veaStateScaled = a.irfb;
    c->veaInvertingInput = a.node;
    c->veaOutput = a.out;
    c->veaClampState = a.clampState;
    c->veaClampValue = a.clampValue;
}

}  // namespace

int32_t SolveAmpLinear(const VeaNetwork& a, double input, double reference, double s, AmpState& st) {
    const Admittances k = Reduce(a, s, st);
    const double u = input - reference;
    const double vf = (k.jf - k.yin * u + k.jin) / k.yf;
    BackSubstitute(a, k, u, vf, st);
    st.node = reference;
    st.out = reference + vf;
    return std::isfinite(vf) ? 1 : 0;
}

int32_t SolveAmpClamped(const VeaNetwork& a, double input, double s, AmpState& st) {
    const Admittances k = Reduce(a, s, st);
    const double held = st.clampValue;
    const double node = (k.yin * input - k.jin + k.yf * held - k.jf) / (k.yin + k.yf);
    BackSubstitute(a, k, input - node, held - node, st);
    st.node = node;
    st.out = held;
    return std::isfinite(node) ? 1 : 0;
}

int32_t CalcAmp(const VeaNetwork& a, double input, double reference, double s, AmpState& st) {
    // A form that is left within the step solves again from the step's start.
    const AmpState start = st;
    auto restart = [&] {
        st.vc1 = start.vc1;
        st.vc2 = start.vc2;
        st.vf = start.vf;
    };
    if (st.clampState == 0) {
        if (!SolveAmpLinear(a, input, reference, s, st)) return 0;
        if (st.out > a.upper || st.out < a.lower) {
            st.clampState = st.out > a.upper ? 1 : 2;
            st.clampValue = st.clampState == 1 ? a.upper : a.lower;
            restart();
            return SolveAmpClamped(a, input, s, st);
        }
        return 1;
    }
    // The held level follows the limits, which the soft start may move.
    st.clampValue = st.clampState == 1 ? a.upper : a.lower;
    if (!SolveAmpClamped(a, input, s, st)) return 0;
    const bool released = st.clampState == 1 ? st.node > reference : st.node < reference;
    if (released) {
        st.clampState = 0;
        restart();
        return SolveAmpLinear(a, input, reference, s, st);
    }
    return 1;
}

VeaNetwork VeaNetworkOf(const ControlInputRec& in) {
    VeaNetwork a;
    a.topology = in.veaVariant;
    a.r1 = in.veaResistor1;
    a.r2 = in.veaResistor2;
    a.r3 = in.veaResistor3;
    a.c1 = in.veaCapacitor1;
    a.c2 = in.veaCapacitor2;
    a.c3 = in.veaCapacitor3;
    a.rfb = in.veaFeedbackResistor;
    a.lower = in.veaLowerLimit;
    a.upper = in.errorUpperLimit;
    return a;
}

bool VeaNetworkValid(const VeaNetwork& a) {
    if (a.topology < 0 || a.topology > 7 || !Positive(a.r1)) return false;
    if (a.HasInputBranch() && (!Positive(a.r2) || !Positive(a.c1))) return false;
    if (a.HasC3() && !Positive(a.c3)) return false;
    if (a.HasR3C2() && (!Positive(a.r3) || !Positive(a.c2))) return false;
    if (a.HasRfb() && !Positive(a.rfb)) return false;
    return std::isfinite(a.lower) && std::isfinite(a.upper) && a.lower < a.upper;
}

int32_t SolveVoltageErrorAmpLinear(const VeaNetwork& a, double input, double reference, double s,
                                   ControlStateRec* st) {
    AmpState amp = VeaState(*st);
    const int32_t ok = SolveAmpLinear(a, input, reference, s, amp);
    StoreVea(amp, st);
    return ok;
}

int32_t SolveVoltageErrorAmpClamped(const VeaNetwork& a, double input, double s, ControlStateRec* st) {
    AmpState amp = VeaState(*st);
    const int32_t ok = SolveAmpClamped(a, input, s, amp);
    StoreVea(amp, st);
    return ok;
}

int32_t CalcVoltageErrorAmp(const VeaNetwork& a, double input, double reference, double s, ControlStateRec* st) {
    AmpState amp = VeaState(*st);
    const int32_t ok = CalcAmp(a, input, reference, s, amp);
    StoreVea(amp, st);
    return ok;
}

VeaNetwork CurrentAmpNetworkOf(const ControlInputRec& in) {
    VeaNetwork a;
    a.topology = 1;
    a.r1 = in.currentAmpInputResistance;
    a.r3 = in.currentAmpSeriesResistance;
    a.c2 = in.currentAmpSeriesCapacitance;
    a.c3 = in.currentAmpParallelCapacitance;
    a.lower = in.currentEaLowerLimit;
    a.upper = in.currentEaUpperLimit;
    return a;
}

int32_t CalcCurrentErrorAmp(const VeaNetwork& a, double input, double reference, double s, ControlStateRec* st) {
    AmpState amp;
    amp.vc2 = st->currentAmpStateA;
    amp.vf = st->currentAmpStateB;
    amp.node = st->currentEaInvertingInput;
    amp.out = st->currentEaOutput;
    amp.clampState = st->currentEaClampState;
    amp.clampValue = st->currentEaClampValue;
    const int32_t ok = CalcAmp(a, input, reference, s, amp);
    st->currentAmpStateA = amp.vc2;
    st->currentAmpStateB = amp.vf;
    st->currentAmpFlowA = amp.ic2;
    st->currentAmpAux1 = amp.ic3;
    st->currentAmpFlowB = amp.ir1;
    st->currentEaInvertingInput = amp.node;
    st->currentEaOutput = amp.out;
    st->currentEaClampState = amp.clampState;
    st->currentEaClampValue = amp.clampValue;
    return ok;
}

std::complex<double> VeaTransfer(const VeaNetwork& a, std::complex<double> x) {
    std::complex<double> yin = 1.0 / a.r1;
    if (a.HasInputBranch()) yin += x * a.c1 / (1.0 + x * a.r2 * a.c1);
    std::complex<double> yf = 0.0;
    if (a.HasC3()) yf += x * a.c3;
    if (a.HasR3C2()) yf += x * a.c2 / (1.0 + x * a.r3 * a.c2);
    if (a.HasRfb()) yf += 1.0 / a.rfb;
    return -yin / yf;
}
