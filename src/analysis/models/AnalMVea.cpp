#include "analysis/models/AnalMVea.h"

#include <cmath>

namespace {

struct Admittances {
    double g1 = 0, y1 = 0, g2 = 0, y2 = 0, g3 = 0;
    double yin = 0, jin = 0, yf = 0, jf = 0;
};

Admittances Reduce(const VeaNetwork& a, double s, const ControlStateRec& st) {
    Admittances k;
    k.yin = 1.0 / a.r1;
    if (a.HasInputBranch()) {
        k.g1 = a.c1 * s;
        k.y1 = k.g1 / (1.0 + a.r2 * k.g1);
        k.yin += k.y1;
        k.jin = k.y1 * st.errorAmpAux;
    }
    if (a.HasC3()) {
        k.g3 = a.c3 * s;
        k.yf += k.g3;
        k.jf += k.g3 * st.errorAmpStateC;
    }
    if (a.HasR3C2()) {
        k.g2 = a.c2 * s;
        k.y2 = k.g2 / (1.0 + a.r3 * k.g2);
        k.yf += k.y2;
        k.jf += k.y2 * st.errorAmpStateB;
    }
    if (a.HasRfb()) k.yf += 1.0 / a.rfb;
    return k;
}

// Every branch from the input drop d and the feedback voltage vf.
void BackSubstitute(const VeaNetwork& a, const Admittances& k, double d, double vf, ControlStateRec* st) {
    st->errorAmpFlowA = d / a.r1;
    if (a.HasInputBranch()) {
        const double prev = st->errorAmpAux;
        st->errorAmpFlowB = k.y1 * (d - prev);
        st->errorAmpAux = (prev * a.r2 * k.g1 + d) / (1.0 + a.r2 * k.g1);
    }
    if (a.HasR3C2()) {
        const double prev = st->errorAmpStateB;
        st->errorAmpFlowC = k.y2 * (vf - prev);
        st->errorAmpStateB = (prev * a.r3 * k.g2 + vf) / (1.0 + a.r3 * k.g2);
    }
    st->errorAmpStateCAux = a.HasC3() ? k.g3 * (vf - st->errorAmpStateC) : 0.0;
    st->veaStateScaled = a.HasRfb() ? vf / a.rfb : 0.0;
    st->errorAmpStateC = vf;
}

bool Positive(double v) { return std::isfinite(v) && v > 0.0; }

}  // namespace

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
    const Admittances k = Reduce(a, s, *st);
    const double u = input - reference;
    const double vf = (k.jf - k.yin * u + k.jin) / k.yf;
    BackSubstitute(a, k, u, vf, st);
    st->veaInvertingInput = reference;
    st->veaOutput = reference + vf;
    return std::isfinite(vf) ? 1 : 0;
}

int32_t SolveVoltageErrorAmpClamped(const VeaNetwork& a, double input, double s, ControlStateRec* st) {
    const Admittances k = Reduce(a, s, *st);
    const double held = st->veaClampValue;
    const double node = (k.yin * input - k.jin + k.yf * held - k.jf) / (k.yin + k.yf);
    BackSubstitute(a, k, input - node, held - node, st);
    st->veaInvertingInput = node;
    st->veaOutput = held;
    return std::isfinite(node) ? 1 : 0;
}

int32_t CalcVoltageErrorAmp(const VeaNetwork& a, double input, double reference, double s, ControlStateRec* st) {
    // A form that is left within the step solves again from the step's start.
    const double vc1 = st->errorAmpAux, vc2 = st->errorAmpStateB, vf = st->errorAmpStateC;
    auto restart = [&] {
        st->errorAmpAux = vc1;
        st->errorAmpStateB = vc2;
        st->errorAmpStateC = vf;
    };
    if (st->veaClampState == 0) {
        if (!SolveVoltageErrorAmpLinear(a, input, reference, s, st)) return 0;
        if (st->veaOutput > a.upper || st->veaOutput < a.lower) {
            st->veaClampState = st->veaOutput > a.upper ? 1 : 2;
            st->veaClampValue = st->veaClampState == 1 ? a.upper : a.lower;
            restart();
            return SolveVoltageErrorAmpClamped(a, input, s, st);
        }
        return 1;
    }
    // The held level follows the limits, which the soft start may move.
    st->veaClampValue = st->veaClampState == 1 ? a.upper : a.lower;
    if (!SolveVoltageErrorAmpClamped(a, input, s, st)) return 0;
    const bool released = st->veaClampState == 1 ? st->veaInvertingInput > reference
                                                 : st->veaInvertingInput < reference;
    if (released) {
        st->veaClampState = 0;
        restart();
        return SolveVoltageErrorAmpLinear(a, input, reference, s, st);
    }
    return 1;
}
