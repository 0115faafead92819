#include "analysis/models/AnalMOpto.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

bool Positive(double v) { return std::isfinite(v) && v > 0.0; }

void Led(const OptoNetwork& o, double iF, ControlStateRec* st) {
    st->optoOutputCurrent = iF;
    st->optoTransferDrop = o.driveResistance * iF;
    st->optoOutputStageVoltage = o.ledResistance * iF + o.ledVoltage;
}

}  // namespace

OptoNetwork OptoNetworkOf(const ControlInputRec& in) {
    OptoNetwork o;
    o.topology = in.optoVariant;
    o.driveVoltage = in.optoDriveVoltage;
    o.driveResistance = in.optoDriveResistance;
    o.ledVoltage = in.optoLedVoltage;
    o.ledResistance = in.optoLedResistance;
    o.transistorVbe = in.optoDriveTransistorVbe;
    o.biasVoltage = in.optoBiasVoltage;
    o.ctr = in.optoCurrentTransferRatio;
    o.bandwidth = in.optoBandwidth;
    o.loadResistance = in.optoLoadResistance;
    o.poleCapacitance = in.optoPoleCapacitance;
    o.ampResistor1 = in.optoAmpResistor1;
    o.ampResistor2 = in.optoAmpResistor2;
    o.ampUpper = in.optoAmpUpperLimit;
    o.ampLower = in.optoAmpLowerLimit;
    o.ampReference = in.optoReferenceValue;
    return o;
}

bool OptoNetworkValid(const OptoNetwork& o) {
    if (o.topology == 6) return true;
    if (o.topology < 0 || o.topology > 6) return false;
    if (!Positive(o.driveResistance) || !Positive(o.ctr) || !Positive(o.bandwidth) || !Positive(o.loadResistance) ||
        !std::isfinite(o.ledVoltage) || !(o.ledResistance >= 0.0) || !std::isfinite(o.driveVoltage) ||
        !std::isfinite(o.biasVoltage) || !std::isfinite(o.transistorVbe))
        return false;
    if (o.HasPole() && !Positive(o.poleCapacitance)) return false;
    if (o.HasInverter() && (!Positive(o.ampResistor1) || !Positive(o.ampResistor2) || !std::isfinite(o.ampReference) ||
                            !std::isfinite(o.ampUpper) || !std::isfinite(o.ampLower) || !(o.ampLower < o.ampUpper)))
        return false;
    return true;
}

int32_t SolveOptoVoltageDriveTransmitter(const OptoNetwork& o, double vea, ControlStateRec* st) {
    const double iF = std::max(0.0, (o.driveVoltage - vea - o.ledVoltage) / (o.ledResistance + o.driveResistance));
    Led(o, iF, st);
    st->optoSupplyDrop = 0.0;
    return std::isfinite(iF) ? 1 : 0;
}

int32_t SolveOptoCurrentDriveTransmitter(const OptoNetwork& o, double vea, ControlStateRec* st) {
    const double iF = std::max(0.0, (vea - o.transistorVbe) / o.driveResistance);
    Led(o, iF, st);
    st->optoSupplyDrop = o.driveVoltage - st->optoOutputStageVoltage;
    return std::isfinite(iF) ? 1 : 0;
}

int32_t SolveOptoPhotoTransistor(const OptoNetwork& o, double s, ControlStateRec* st) {
    const double tau = 1.0 / (2.0 * std::numbers::pi * o.bandwidth);
    st->optoLedCurrent = (st->optoLedCurrent * s * tau + o.ctr * st->optoOutputCurrent) / (s * tau + 1.0);
    return std::isfinite(st->optoLedCurrent) ? 1 : 0;
}

int32_t SolveOptoReceiverT0(const OptoNetwork& o, ControlStateRec* st) {
    const double iC = st->optoLedCurrent;
    const double out = o.biasVoltage - o.loadResistance * iC;
    st->optoResistorCurrent = iC;
    st->optoNodeVoltage = o.loadResistance * iC;
    st->optoCoupledError = out > 0.0 ? out : 0.0;
    st->optoLimitDifference = st->optoCoupledError;
    return 1;
}

int32_t SolveOptoReceiverT1(const OptoNetwork& o, ControlStateRec* st) {
    const double iC = st->optoLedCurrent;
    const double out = o.loadResistance * iC;
    st->optoResistorCurrent = iC;
    st->optoNodeVoltage = out;
    st->optoCoupledError = out < o.biasVoltage ? out : o.biasVoltage;
    st->optoLimitDifference = o.biasVoltage - st->optoCoupledError;
    return 1;
}

int32_t SolveOptoReceiverT2(const OptoNetwork& o, double s, ControlStateRec* st) {
    const double gp = o.poleCapacitance * s;
    const double rl = o.loadResistance;
    const double vPrev = o.biasVoltage - st->errorAmpStateA;  // the output before the step
    const double iL = (gp * (o.biasVoltage - vPrev) + st->optoLedCurrent) / (rl * gp + 1.0);
    st->optoCPoleCapacitorCurrent = ((o.biasVoltage - vPrev) - rl * iL) * gp;
    st->optoResistorCurrent = iL;
    st->optoNodeVoltage = rl * iL;
    st->errorAmpStateA = rl * iL;
    const double out = o.biasVoltage - rl * iL;
    st->optoCoupledError = out > 0.0 ? out : 0.0;
    st->optoLimitDifference = st->optoCoupledError;
    return std::isfinite(out) ? 1 : 0;
}

int32_t SolveOptoReceiverInverter(const OptoNetwork& o, double s, bool held, double clamp, ControlStateRec* st) {
    const double rl = o.loadResistance, ra1 = o.ampResistor1, ra2 = o.ampResistor2, vb = o.biasVoltage;
    const double vr = o.ampReference;
    const double gp = o.topology == 5 ? o.poleCapacitance * s : 0.0;
    const double gl = 1.0 / rl + gp;
    const double pPrev = o.topology == 5 ? st->errorAmpStateA : 0.0;
    // The far end of Ra1 as seen from p: Vr behind Ra1 (linear) or Vc behind Ra1 + Ra2 (held).
    const double far = held ? clamp : vr;
    const double ra = held ? ra1 + ra2 : ra1;

    double iC = st->optoLedCurrent;
    double p = 0.0, ia = 0.0;
    if (o.topology == 3) {
        iC = std::max(0.0, std::min(iC, vb / rl + far / ra));  // p not below the return
        p = (vb / rl + far / ra - iC) / (1.0 / rl + 1.0 / ra);
        ia = (far - p) / ra;
        st->optoResistorCurrent = (vb - p) / rl;
        st->optoNodeVoltage = vb - p;
        st->optoLimitDifference = p;
    } else {
        iC = std::max(0.0, std::min(iC, vb * (gl + 1.0 / ra) - gp * pPrev - far / ra));  // p not above Vb
        p = (iC + gp * pPrev + far / ra) / (gl + 1.0 / ra);
        ia = (far - p) / ra;
        st->optoResistorCurrent = p / rl;
        st->optoNodeVoltage = p;
        st->optoLimitDifference = vb - p;
        if (o.topology == 5) {
            st->optoCPoleCapacitorCurrent = gp * (p - pPrev);
            st->errorAmpStateA = p;
        }
    }
    st->optoLedCurrent = iC;
    st->optoBranchCurrent = ia;
    const double node = held ? clamp - ra2 * ia : vr;
    st->optoReferenceCopy = node;
    st->optoDividerUpperDrop = node - p;
    st->optoDividerLowerDrop = ra2 * ia;
    st->optoCoupledError = held ? clamp : vr + ra2 * ia;
    return std::isfinite(st->optoCoupledError) && std::isfinite(node) ? 1 : 0;
}

int32_t SolveOptoInverterOutput(const OptoNetwork& o, ControlStateRec* st) {
    const double vr = o.ampReference;
    if (st->optoAmpClampState == 0) {
        if (st->optoCoupledError >= o.ampUpper) {
            st->optoAmpClampState = 1;
            st->optoCoupledError = o.ampUpper;
        } else if (st->optoCoupledError <= o.ampLower) {
            st->optoAmpClampState = 2;
            st->optoCoupledError = o.ampLower;
        }
    } else if (st->optoAmpClampState == 1 ? st->optoReferenceCopy >= vr : st->optoReferenceCopy <= vr) {
        st->optoAmpClampState = 0;
    }
    return 1;
}

int32_t SetOptoNoneOutput(double vea, ControlStateRec* st) {
    st->optoCoupledError = vea;
    return 1;
}

int32_t CalcOptoIsolator(const OptoNetwork& o, double vea, double s, ControlStateRec* st) {
    if (o.topology == 6) return SetOptoNoneOutput(vea, st);
    if (o.topology < 0 || o.topology > 6) return 0;
    if (!(o.CurrentDrive() ? SolveOptoCurrentDriveTransmitter(o, vea, st) : SolveOptoVoltageDriveTransmitter(o, vea, st)))
        return 0;
    if (!SolveOptoPhotoTransistor(o, s, st)) return 0;
    switch (o.topology) {
        case 0: return SolveOptoReceiverT0(o, st);
        case 1: return SolveOptoReceiverT1(o, st);
        case 2: return SolveOptoReceiverT2(o, s, st);
        default: break;
    }
    const bool held = st->optoAmpClampState != 0;
    const double clamp = st->optoAmpClampState == 1 ? o.ampUpper : o.ampLower;
    if (!SolveOptoReceiverInverter(o, s, held, clamp, st)) return 0;
    return SolveOptoInverterOutput(o, st);
}

std::complex<double> OptoTransfer(const OptoNetwork& o, std::complex<double> x) {
    using cd = std::complex<double>;
    if (o.topology == 6) return 1.0;
    if (o.topology < 0 || o.topology > 6) return 0.0;
    const double drive = o.CurrentDrive() ? 1.0 / o.driveResistance : -1.0 / (o.ledResistance + o.driveResistance);
    const double tau = 1.0 / (2.0 * std::numbers::pi * o.bandwidth);
    const cd photo = o.ctr / (1.0 + x * tau);
    const double rl = o.loadResistance, ra1 = o.ampResistor1, ra2 = o.ampResistor2, cp = o.poleCapacitance;
    cd receiver = 0.0;
    switch (o.topology) {
        case 0: receiver = -rl; break;
        case 1: receiver = rl; break;
        case 2: receiver = -rl / (1.0 + x * rl * cp); break;
        case 3: receiver = ra2 * rl / (rl + ra1); break;
        case 4: receiver = -ra2 * rl / (rl + ra1); break;
        default: receiver = -ra2 / (1.0 + ra1 / rl + x * ra1 * cp); break;
    }
    return drive * photo * receiver;
}
