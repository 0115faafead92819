// What the line side's step hands from its forward pass to its reverse pass, and the
// line source's transient-table bookkeeping of the run (see AnalMLrc.h for the network).
#pragma once

#include <cstdint>

#include "analysis/context/AnalConst.h"
#include "analysis/context/AnalEngine.h"

constexpr int32_t kLineDiodes = 8;
constexpr int32_t kLineNodes = 12;
constexpr int32_t kLineCases = 10;

// One step's line side, filled by the caller before the forward pass.
struct LineSideInputs {
    int32_t rectifierCase = 0;   // 0..9
    int32_t doubledCapacitor = 0;  // two capacitors in series, midpoint C
    BranchPair phase[kMaxLinePhases];  // source branches (zb, eb as above)
    BranchPair diode[kLineDiodes];     // by the diode's present state
    BranchPair upperCapacitor;         // P to C (or P to M)
    BranchPair lowerCapacitor;         // C to M, with doubledCapacitor
    BranchPair upperDamping;           // the damped input capacitor's branches beside them
    BranchPair lowerDamping;
    int32_t dampedCapacitor = 0;
    // The line filter of each phase, by the elements present.
    int32_t firstInductorOn = 0;    // Inductor In1, source end to the filter node
    int32_t filterCapacitorOn = 0;  // Capacitor In, filter node to neutral
    int32_t dampingCapacitorOn = 0; // Capacitor Damp with Resistor Damp1, beside it
    int32_t secondInductorOn = 0;   // Inductor In2, filter node to the rectifier
    int32_t dampingBranchOn = 0;    // Resistor Damp2 (with Inductor Damp), beside Inductor In2
    BranchPair firstInductor[kMaxLinePhases];
    BranchPair filterCapacitor[kMaxLinePhases];
    BranchPair dampingCapacitor[kMaxLinePhases];
    BranchPair secondInductor[kMaxLinePhases];
    BranchPair dampingBranch[kMaxLinePhases];
};

// The reduction and what the reverse pass needs of it.
struct LineSideSolution {
    int32_t nodes = 0;
    double v0[kLineNodes] = {};
    double v1[kLineNodes] = {};
    double e = 0.0;  // Vbulk = e - z·Idraw (V, ohm)
    double z = 0.0;
    // Reverse pass (A, V): phase current neutral to terminal, diode current anode to
    // cathode and its voltage, capacitor currents from their upper end.
    double phaseCurrent[kMaxLinePhases] = {};
    double phaseTerminalVoltage[kMaxLinePhases] = {};  // V(Ap) - V(N)
    double diodeCurrent[kLineDiodes] = {};
    double diodeVoltage[kLineDiodes] = {};
    double upperCapacitorCurrent = 0.0;
    double lowerCapacitorCurrent = 0.0;
    double upperDampingCurrent = 0.0;
    double lowerDampingCurrent = 0.0;
    // The line filter's branch currents (in the direction of the line current; capacitor
    // branches from the filter node to the neutral) and its filter node's voltage to neutral.
    double firstInductorCurrent[kMaxLinePhases] = {};
    double filterCapacitorCurrent[kMaxLinePhases] = {};
    double dampingCapacitorCurrent[kMaxLinePhases] = {};
    double secondInductorCurrent[kMaxLinePhases] = {};
    double dampingBranchCurrent[kMaxLinePhases] = {};
    double filterNodeVoltage[kMaxLinePhases] = {};
    double midpointVoltage = 0.0;  // V(C), 0 without the second capacitor
    double rectifierCurrent = 0.0;  // into P from the rectifier (sum of the diodes at P)
};

// The run's line side: the step's network and its solution, and the line transient tables'
// cursors and active flags (set on the run's first step).
struct LineStepStore {
    LineSideInputs in;
    LineSideSolution sol;
    int32_t offsetCursor = 0;
    int32_t offsetActive = 0;
    int32_t magnitudeCursor = 0;
    int32_t magnitudeActive = 0;
    // The tables' last values: a table stops being walked on its last segment and then holds.
    double offsetValue = 0.0;
    double magnitudeValue = 0.0;
};
