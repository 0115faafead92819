// Voltage error amplifier, every network: an ideal op-amp with the reference Vr at its
// non-inverting input, an input network from the feedback voltage Vin to the inverting node
// and a feedback network from the node to the output.
//
//   topology (n + 4 is n with Rfb across the whole feedback network)
//     0  input R1 || (R2 + C1)   feedback C3 || (R3 + C2)
//     1  input R1                feedback C3 || (R3 + C2)
//     2  input R1                feedback R3 + C2
//     3  input R1                feedback C3
//
// Backward Euler, step factor s = 1/h; a capacitor is the conductance g = C·s beside the
// source g·vprev. A series R-C branch carrying i under the voltage v then obeys
//     v = R·i + vC,  vC = vprev + i/g   =>   i = y·(v - vprev),  y = g/(1 + R·g)
// and its capacitor voltage is vC = (vprev·R·g + v)/(1 + R·g).
// With d = Vin - node (across the input network) and vf = output - node (across the
// feedback network, also the voltage of C3 and Rfb):
//     input current, Vin to node:      Iin = Yin·d - Jin,   Yin = 1/R1 + y1,  Jin = y1·vC1prev
//     feedback current, output to node: If = Yf·vf - Jf,  Yf = g3 + y2 + 1/Rfb,
//                                                          Jf = g3·vC3prev + y2·vC2prev
// (absent elements add nothing). No current enters the op-amp: Iin + If = 0.
//   Linear form: the node is held at Vr, d = Vin - Vr = u:
//       vf = (Jf - Yin·u + Jin)/Yf,  output = Vr + vf
//   Clamped form: the output is held at the limit Vc, the node n is free:
//       Yin·(Vin - n) - Jin + Yf·(Vc - n) - Jf = 0
//       =>  n = (Yin·Vin - Jin + Yf·Vc - Jf)/(Yin + Yf)
// Every topology has C3 or C2 in its feedback, so Yf > 0 for any step.
// In the sinusoidal steady state the step is the network's transfer function
// output - Vr = -Zf/Zin · u with s replaced by (1 - exp(-jwh))/h.
//
// State written: errorAmpAux = vC1, errorAmpFlowB = iC1 (= iR2), errorAmpStateB = vC2,
// errorAmpFlowC = iC2 (= iR3), errorAmpStateC = vf (vC3, vRfb), errorAmpStateCAux = iC3,
// errorAmpFlowA = iR1, veaStateScaled = iRfb, veaInvertingInput = n, veaOutput.
// The amplifier starts linear, is held at a limit once its output would pass it, and comes
// back to the linear form when the node crosses the reference (from below at the upper
// limit, from above at the lower one): veaClampState 0 linear, 1 upper, 2 lower.
#pragma once

#include <complex>
#include <cstdint>

#include "analysis/context/AnalInputRec.h"
#include "analysis/context/AnalRec.h"

struct VeaNetwork {
    int32_t topology = 3;                   // 0-7
    double r1 = 0, r2 = 0, r3 = 0;          // ohm
    double c1 = 0, c2 = 0, c3 = 0;          // F
    double rfb = 0;                         // ohm, topologies 4-7
    double lower = 0, upper = 0;            // output limits (V)

    bool HasInputBranch() const { return topology % 4 == 0; }
    bool HasC3() const { return topology % 4 != 2; }
    bool HasR3C2() const { return topology % 4 != 3; }
    bool HasRfb() const { return topology >= 4; }
};

// The amplifier's own state, whichever amplifier of the control section it is.
struct AmpState {
    double vc1 = 0, vc2 = 0, vf = 0;            // V: C1, C2, feedback network (C3, Rfb)
    double ic1 = 0, ic2 = 0, ic3 = 0;           // A
    double ir1 = 0, irfb = 0;                   // A
    double node = 0, out = 0;                   // V: inverting input, output
    int32_t clampState = 0;                     // 0 linear, 1 upper, 2 lower
    double clampValue = 0;                      // V
};
int32_t SolveAmpLinear(const VeaNetwork& a, double input, double reference, double s, AmpState& st);
int32_t SolveAmpClamped(const VeaNetwork& a, double input, double s, AmpState& st);
int32_t CalcAmp(const VeaNetwork& a, double input, double reference, double s, AmpState& st);

// The linear stage's transfer function -Zf/Zin at the complex frequency x (jw for the
// continuous network, (1 - exp(-jwh))/h for the step's own).
std::complex<double> VeaTransfer(const VeaNetwork& a, std::complex<double> x);

VeaNetwork VeaNetworkOf(const ControlInputRec& in);
// 1 when every element the topology uses is finite and positive and the limits are ordered.
bool VeaNetworkValid(const VeaNetwork& a);

int32_t SolveVoltageErrorAmpLinear(const VeaNetwork& a, double input, double reference, double s,
                                   ControlStateRec* st);
int32_t SolveVoltageErrorAmpClamped(const VeaNetwork& a, double input, double s, ControlStateRec* st);
// The step of the amplifier: the form of its state, moved to the other form where the rules
// above say so.
int32_t CalcVoltageErrorAmp(const VeaNetwork& a, double input, double reference, double s, ControlStateRec* st);

// The current error amplifier of average current control is the same stage with the network
// of topology 1: input resistor R4 (R1), feedback C5 (C3) in parallel with R5 (R3) in series
// with C4 (C2); its input is the sensed current voltage plus the current-loop injection and
// its reference the soft-start limited error voltage. (Its coefficients ga = C4·s,
// gb = C5·s, h = R5·ga give 1/D = h·gb + ga + gb = (1 + R5·ga)·Yf with Yf of that network.)
// State: currentAmpStateA = vC4, currentAmpStateB = vf (vC5), currentAmpFlowA = iC4,
// currentAmpAux1 = iC5, currentAmpFlowB = iR4, currentEaInvertingInput, currentEaOutput,
// currentEaClampState, currentEaClampValue.
VeaNetwork CurrentAmpNetworkOf(const ControlInputRec& in);
int32_t CalcCurrentErrorAmp(const VeaNetwork& a, double input, double reference, double s, ControlStateRec* st);
