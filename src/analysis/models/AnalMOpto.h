// Opto-isolator: a transmitter drives the light-emitting diode from the error amplifier's
// output vEA, the photo transistor turns the diode current into a collector current, and a
// receiver turns that back into the control voltage.
//
// Transmitters (LED threshold VF, dynamic resistance rF, drive resistor Rd):
//   voltage drive  iF = (Vdrive - vEA - VF)/(rF + Rd)   the amplifier sinks the LED current
//   current drive  iF = (vEA - VBE)/Rd                  through a drive transistor; its
//                                                       voltage Vdrive - (rF·iF + VF)
//   A diode carries no reverse current: iF is not taken below 0.
// Photo transistor: iC = CTR·iF through a first-order lag at its bandwidth fp, tau = 1/(2·pi·fp):
//   tau·diC/dt = CTR·iF - iC   =>   iC = (iCprev·s·tau + CTR·iF)/(s·tau + 1)
// Receivers (bias Vb, load resistor RL; p the photo transistor's node):
//   0 inverter   RL from Vb to the collector: out = Vb - RL·iC, not below 0
//   1 follower   RL from the emitter to the return: out = RL·iC, not above Vb
//   2 inverter with the pole capacitor Cp across RL (companion Cp·s, previous voltage
//     Vb - vprev): iL = (Cp·s·(Vb - vprev) + iC)/(RL·Cp·s + 1), out = Vb - RL·iL, not below 0
//   3-5 with an op-amp inverter: Ra1 from p to its inverting node (held at its reference Vr
//     while linear), Ra2 from that node to its output. With ia the current from the node
//     through Ra1 into p:
//     3 (inverter, p = collector):  (Vb - p)/RL + ia = iC
//         linear   ia = (Vr - Vb + RL·iC)/(RL + Ra1)
//         held at Vc  the node is free on the chain RL, Ra1, Ra2 from the Thevenin source
//                  Vb - RL·iC to Vc: vn = ((Vb - RL·iC)·Ra2 + (RL + Ra1)·Vc)/(RL + Ra1 + Ra2)
//     4 (follower, p = emitter):    p/RL = iC + ia
//         linear   ia = (Vr - RL·iC)/(RL + Ra1)
//         held     vn = ((iC·Ra2 + Vc)·RL + Vc·Ra1)/(RL + Ra1 + Ra2)
//     5 (4 with Cp across RL; GL = 1/RL + Cp·s, pprev the previous emitter voltage):
//         p·GL - Cp·s·pprev = iC + ia
//         linear   p = (iC + Cp·s·pprev + Vr/Ra1)/(GL + 1/Ra1),  ia = (Vr - p)/Ra1
//         held     with Ra = Ra1 + Ra2: p = (iC + Cp·s·pprev + Vc/Ra)/(GL + 1/Ra),
//                  ia = (Vc - p)/Ra, vn = Vc - Ra2·ia
//     linear output Vr + Ra2·ia; held: ia = (Vc - vn)/Ra2 and the output is Vc.
//     The transistor cannot pull p past the return (3) or push it past Vb (4, 5): iC is
//     first limited to the current that puts p there, then to 0 from below.
//   The inverter's state: 0 linear, 1 held high, 2 held low. Linear, an output at or above
//   its upper limit holds it there (at or below the lower, there); held high it is released
//   when its node is no longer below Vr, held low when no longer above it.
//   6 None: the control voltage is vEA.
// Small-signal DC gain of the whole chain d(out)/d(vEA), positive in every arrangement:
//   0, 2  RL·CTR/(rF + Rd)         1  RL·CTR/Rd
//   3     CTR/Rd·RL·Ra2/(RL + Ra1)  4, 5  CTR/(rF + Rd)·RL·Ra2/(RL + Ra1)
// State written: optoOutputCurrent = iF (drive resistor, LED, drive transistor),
// optoTransferDrop = Rd·iF, optoOutputStageVoltage = LED voltage, optoSupplyDrop = drive
// transistor voltage, optoLedCurrent = iC, optoLimitDifference = photo transistor voltage,
// optoResistorCurrent / optoNodeVoltage = RL current / voltage, optoCPoleCapacitorCurrent and
// errorAmpStateA = Cp current and voltage, optoBranchCurrent = ia, optoReferenceCopy = vn,
// optoDividerUpperDrop / LowerDrop = Ra1 / Ra2 voltages, optoCoupledError = the output.
#pragma once

#include <complex>
#include <cstdint>

#include "analysis/context/AnalInputRec.h"
#include "analysis/context/AnalRec.h"

struct OptoNetwork {
    int32_t topology = 6;                 // 0-6
    double driveVoltage = 0;              // V, the driver source
    double driveResistance = 0;           // ohm
    double ledVoltage = 0, ledResistance = 0;  // V, ohm
    double transistorVbe = 0;             // V, current drive
    double biasVoltage = 0;               // V
    double ctr = 0;                       // collector current per diode current
    double bandwidth = 0;                 // Hz
    double loadResistance = 0;            // ohm
    double poleCapacitance = 0;           // F
    double ampResistor1 = 0, ampResistor2 = 0;  // ohm
    double ampUpper = 0, ampLower = 0;    // V
    double ampReference = 0;              // V

    bool CurrentDrive() const { return topology == 1 || topology == 3; }
    bool HasPole() const { return topology == 2 || topology == 5; }
    bool HasInverter() const { return topology >= 3 && topology <= 5; }
};

// Small-signal transfer d(out)/d(vEA) of the linear chain at the complex frequency x, from the
// step above with every limit off: transmitter diF/dvEA = -1/(rF + Rd) (voltage drive) or 1/Rd
// (current drive); photo transistor CTR/(1 + x·tau); receiver d(out)/d(iC):
//   0 -RL   1 RL   2 -RL/(1 + x·RL·Cp)   3 Ra2·RL/(RL + Ra1)   4 -Ra2·RL/(RL + Ra1)
//   5 -Ra2/(1 + Ra1/RL + x·Ra1·Cp)  (ia = -iC/(Ra1·GL + 1) with GL = 1/RL + x·Cp)
// 6 None: 1. An unknown arrangement gives 0.
std::complex<double> OptoTransfer(const OptoNetwork& o, std::complex<double> x);

OptoNetwork OptoNetworkOf(const ControlInputRec& in);
bool OptoNetworkValid(const OptoNetwork& o);

int32_t SolveOptoVoltageDriveTransmitter(const OptoNetwork& o, double vea, ControlStateRec* st);
int32_t SolveOptoCurrentDriveTransmitter(const OptoNetwork& o, double vea, ControlStateRec* st);
// The collector current from the diode current of the step (optoOutputCurrent).
int32_t SolveOptoPhotoTransistor(const OptoNetwork& o, double s, ControlStateRec* st);
int32_t SolveOptoReceiverT0(const OptoNetwork& o, ControlStateRec* st);
int32_t SolveOptoReceiverT1(const OptoNetwork& o, ControlStateRec* st);
int32_t SolveOptoReceiverT2(const OptoNetwork& o, double s, ControlStateRec* st);
// 3-5, linear or held at clamp (the inverter's held output).
int32_t SolveOptoReceiverInverter(const OptoNetwork& o, double s, bool held, double clamp, ControlStateRec* st);
int32_t SolveOptoInverterOutput(const OptoNetwork& o, ControlStateRec* st);
int32_t SetOptoNoneOutput(double vea, ControlStateRec* st);

// The whole chain for the step: vEA in, optoCoupledError out. 0 on an unknown arrangement or
// a result that is not a number.
int32_t CalcOptoIsolator(const OptoNetwork& o, double vea, double s, ControlStateRec* st);
