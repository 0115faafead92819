// What the second-stage filter's and the load network's steps hand from their forward pass
// to their reverse pass (see AnalMFlt.h and AnalMLoad.h for the networks).
#pragma once

#include <cstdint>

#include "analysis/context/AnalConst.h"
#include "analysis/context/AnalEngine.h"

// One load network's values (see AnalMLoad.h).
struct LoadNetworkValues {
    int32_t variant = 0;      // 0..3
    double resistance = 0.0;  // shunt: load resistor (ohm)
    double resistorEsl = 0.0; // shunt: its ESL (H)
    double inductorResistance = 0.0;  // shunt: load inductor (variants 1, 3) (ohm)
    double inductance = 0.0;          // (H)
    double seriesResistance = 0.0;    // series branch: resistor 1 plus inductor 1's resistance (ohm)
    double seriesInductance = 0.0;    // (H)
};

// The branches of one load network over the step, each V = z·I + e to the return.
struct LoadNetworkCoeffs {
    BranchPair shunt;     // the load resistor with its ESL and, when present, the load inductor
    BranchPair source;    // the current source with its resistance (Thevenin form)
    BranchPair parallel;  // what stands behind the series branch
    BranchPair series;    // the series branch (resistor and inductor 1)
    BranchPair load;      // the whole network seen from the output node
};

// The second-stage output filter over the step (see AnalMFlt.h).
struct SecondStageCoeffs {
    BranchPair inductor, damping, series, capacitor, dampingCapacitor, outputNode, total;
    BranchPair dampingWinding;  // Inductor Out 3 alone, with its core-loss resistance across it
};

// The first stage's capacitor current sense over the step (see AnalMFlt.h).
struct CapacitorSenseCoeffs {
    BranchPair primary{};      // the transformer's primary in the sensed branch
    double gain = 0.0;         // secondary current = gain·primary current + offset
    double offset = 0.0;
    BranchPair node{};         // the sense node seen from the diode
    BranchPair biasBranch{};   // Resistor Bias 2 and Capacitor Bias
    BranchPair biasCapacitor{};
};

struct LoadStepStore {
    LoadNetworkCoeffs output[kMaxOutputs];
    SecondStageCoeffs secondStage[kMaxOutputs];
    BranchPair firstStageDamping[kMaxOutputs];  // the first stage's damping branch
    CapacitorSenseCoeffs capacitorSense[kMaxOutputs];
    BranchPair sensedBranch[kMaxOutputs];  // the capacitors above the sense transformer's primary
    double senseCurrentSlope[kMaxOutputs] = {};  // the sense diode's current over the last step (A/s)
    double loadVoltage[kMaxOutputs] = {};  // the output node behind the second stage (V)
    // The output chokes on one core: M[j][k]·s (ohm), zero diagonal; all zero when uncoupled.
    double chokeMutual[kMaxOutputs][kMaxOutputs] = {};
    double sourceCurrent[kMaxOutputs] = {};  // the current source's value of the step (A)
    double chokePeak[kMaxOutputs] = {};      // the highest choke current so far (A)
    int32_t tableCursor[kMaxOutputs] = {};   // the load current tables' cursors and active flags
    int32_t tableActive[kMaxOutputs] = {};
    // Each load's values, taken from its records once per run.
    LoadNetworkValues values[kMaxOutputs];
    int32_t valuesReady = 0;
};
