// The sections outside the primary in the step: each reduces itself in the forward pass to
// a linear form seen from the section inwards, and writes its new state from the solved
// quantities in the reverse pass. Each selects by its section variant and fails (0) for a
// variant the engine does not simulate.
//
// Output side (per output, outputs N..1): load network -> second stage -> first stage (its
// capacitor group, with the damping branch beside it and the current sense transformer's
// primary below them where the variant has them, in parallel with what the second stage
// shows) -> the choke with its sense resistor. The rectifiers and the
// coupled solve of all outputs are in AnalMOut.h.
// Line side: the phases (DC or AC, with their transient tables) behind the line's inductance
// and resistance -> line filter "None" -> the line rectifier of its case into one capacitor
// or two in series, solved together as one network (AnalMLrc.h, AnalLine.h).
#pragma once

#include <cstdint>

int32_t AssembleLoadNetworkPass1();
int32_t AssembleSecondStageFilterPass1();
int32_t AssembleFirstStageFilterPass1();
int32_t AssembleOutputChokePass1();
int32_t AssembleLineSourcePass1();
int32_t AssembleLineFilterPass1();
int32_t AssembleInputCapacitorPass1();
int32_t AssembleLineRectifierPass1();
// Rectifier element forms of every output, by their conduction states.
int32_t AssembleSecRectifierElementsPass1();
// All outputs' rectifier and choke currents at once, with the reduced secondaries.
int32_t CalcCoupledOutputChokeQuantities();
int32_t AssembleSecRectifierElementsPass2();

int32_t AssembleLineRectifierPass2();
int32_t AssembleInputCapacitorPass2();
int32_t AssembleLineFilterPass2();
int32_t AssembleLineSourcePass2();
int32_t AssembleOutputChokePass2();
int32_t AssembleFirstStageFilterPass2();
int32_t AssembleSecondStageFilterPass2();
int32_t AssembleLoadNetworkPass2();

// After the step: the first stages' capacitor current sense diodes turn on and off (1 when one
// did); before it: the end of a sense diode's falling current is proposed as an event.
struct StepStateRec;
int32_t UpdateFilterSenseDiodes();
void ProposeFilterSenseEvents(StepStateRec& step);
