// The line side within the step: the line sources of the step, the forward pass that
// leaves the bulk node's linear form in the engine store, the reverse pass that writes the
// line phase, line rectifier and input capacitor records from the solved draw, and the
// line diodes' conduction between steps.
#pragma once

#include <cstdint>

struct StepStateRec;

// Advances the line phases over the step and sets each phase's source voltage (sine, offset
// and the line transient tables). 1, or 0 after reporting the failure.
int32_t CalcLineSourceQuantities();
// Forward pass at step factor s: engine.bulk = (z, e). 1, or 0 after reporting.
int32_t AssembleLineSidePass1(double s);
// Reverse pass from the current the primary drew from the bulk node. 1, or 0 after reporting.
int32_t AssembleLineSidePass2(double draw, double s);
// Proposes the line diodes' next events: a conducting diode's current ending, an open one's
// reverse current reaching zero.
void ProposeLineDiodeEvents(StepStateRec& step);
// Switches the line diodes after the step: off when its current has ended, on when its
// voltage exceeds the forward voltage. 1 when any diode changed.
int32_t UpdateLineDiodeConduction();
