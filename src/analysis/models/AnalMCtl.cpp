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

int32_t SolveVoltageErrorAmpT7(double feedback, double reference, double r1, double rfb, double c3, double s,
                               double lower, double upper, ControlStateRec* st) {
    const double input = (feedback - reference) / r1;
    double vn = (input + c3 * s * st->errorAmpStateA) / (1.0 / rfb + c3 * s);
    double out = reference - vn;
    st->veaClampState = 0;
    if (out > upper) {
        out = upper;
        st->veaClampState = 1;
    } else if (out < lower) {
        out = lower;
        st->veaClampState = 2;
    }
    if (st->veaClampState) vn = reference - out;
    st->errorAmpStateA = vn;
    st->veaInvertingInput = reference;
    st->veaOutput = out;
    return 1;
}

double CalcCurrentLimitFilter(double input, double r, double c, double s, double previous) {
    return (input / r + c * s * previous) / (1.0 / r + c * s);
}
