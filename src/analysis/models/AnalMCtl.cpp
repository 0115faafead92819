#include "analysis/models/AnalMCtl.h"

#include "analysis/models/AnalMVea.h"

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

namespace {
VeaNetwork NetworkT7(const ErrorAmpT7& a) {
    VeaNetwork n;
    n.topology = 7;
    n.r1 = a.r1;
    n.rfb = a.rfb;
    n.c3 = a.c3;
    n.lower = a.lower;
    n.upper = a.upper;
    return n;
}
}  // namespace

int32_t SolveVoltageErrorAmpLinearT7(const ErrorAmpT7& a, double input, double reference, double s,
                                     ControlStateRec* st) {
    return SolveVoltageErrorAmpLinear(NetworkT7(a), input, reference, s, st);
}

int32_t SolveVoltageErrorAmpClampedT7(const ErrorAmpT7& a, double input, double s, ControlStateRec* st) {
    return SolveVoltageErrorAmpClamped(NetworkT7(a), input, s, st);
}

int32_t CalcVoltageErrorAmpT7(const ErrorAmpT7& a, double input, double reference, double s, ControlStateRec* st) {
    return CalcVoltageErrorAmp(NetworkT7(a), input, reference, s, st);
}

double CalcCurrentLimitFilter(double input, double r, double c, double s, double previous) {
    return (input / r + c * s * previous) / (1.0 / r + c * s);
}
