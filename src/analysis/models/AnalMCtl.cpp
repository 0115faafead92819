#include "analysis/models/AnalMCtl.h"

int32_t AdvanceSawtoothClock(const ControlInputRec& in, ControlStateRec& st, double h, int32_t* periodStart) {
    *periodStart = 0;
    double v = st.clockVoltage + st.clockSlope * h;
    // A step lands on the turn; rounding may carry it a hair past, which is the turn too.
    constexpr double kTurnTolerance = 1e-9;  // V
    if (st.clockSlope < 0.0) {
        if (v <= in.clockLowerLimit + kTurnTolerance) {
            v = in.clockLowerLimit;
            st.clockSlope = in.clockSecondSlope;
        }
    } else if (v >= in.clockUpperLimit - kTurnTolerance) {
        v = in.clockUpperLimit;
        st.clockSlope = in.clockFirstSlope;
        *periodStart = 1;
    }
    st.clockVoltage = v;
    return 1;
}

double TimeToClockTurn(const ControlInputRec& in, const ControlStateRec& st) {
    const double limit = st.clockSlope < 0.0 ? in.clockLowerLimit : in.clockUpperLimit;
    const double t = (limit - st.clockVoltage) / st.clockSlope;
    return t > 0.0 ? t : 0.0;
}

int32_t SolveVoltageErrorAmpLinearT7(const ErrorAmpT7& a, double input, double reference, double s,
                                     ControlStateRec* st) {
    const double g3 = a.c3 * s;
    const double u = input - reference;
    const double vc3 = (st->errorAmpStateC * g3 * a.r1 - u) * a.rfb / (a.rfb * g3 * a.r1 + a.r1);
    st->errorAmpStateC = vc3;
    st->veaInvertingInput = reference;
    st->veaOutput = reference + vc3;
    return 1;
}

int32_t SolveVoltageErrorAmpClampedT7(const ErrorAmpT7& a, double input, double s, ControlStateRec* st) {
    const double g3 = a.c3 * s;
    const double g = 1.0 / a.rfb + g3;
    const double held = st->veaClampValue;
    const double i = ((held - input) * g - g3 * st->errorAmpStateC) / (1.0 + a.r1 * g);
    const double node = input + i * a.r1;
    st->veaInvertingInput = node;
    st->errorAmpStateC = held - node;
    st->veaOutput = held;
    return 1;
}

int32_t CalcVoltageErrorAmpT7(const ErrorAmpT7& a, double input, double reference, double s, ControlStateRec* st) {
    const double vc3Prev = st->errorAmpStateC;
    if (st->veaClampState == 0) {
        SolveVoltageErrorAmpLinearT7(a, input, reference, s, st);
        if (st->veaOutput > a.upper || st->veaOutput < a.lower) {
            st->veaClampState = st->veaOutput > a.upper ? 1 : 2;
            st->veaClampValue = st->veaClampState == 1 ? a.upper : a.lower;
            st->errorAmpStateC = vc3Prev;
            SolveVoltageErrorAmpClampedT7(a, input, s, st);
        }
        return 1;
    }
    SolveVoltageErrorAmpClampedT7(a, input, s, st);
    const bool released = st->veaClampState == 1 ? st->veaInvertingInput > reference
                                                 : st->veaInvertingInput < reference;
    if (released) {
        st->veaClampState = 0;
        st->errorAmpStateC = vc3Prev;
        SolveVoltageErrorAmpLinearT7(a, input, reference, s, st);
    }
    return 1;
}

double CalcCurrentLimitFilter(double input, double r, double c, double s, double previous) {
    return (input / r + c * s * previous) / (1.0 / r + c * s);
}
