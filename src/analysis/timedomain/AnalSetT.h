// The per-step set-up around the assembly: the primary switch state, the drive latch and its
// delay timers, the choice of the time step from the coming events, the control quantities
// after the step, and the conduction events found after it.
//
// Time step: the step proposed after the previous step (the maximum step) is cut to
//   - the expiry of a pending drive-edge timer, the clock's next turn and the PWM crossing
//     (landed exactly: the events are known in advance); an event within the timer
//     resolution is due now: a timer or the comparator's crossing happens without a step, a
//     crossing that only the solve shows is passed with a step of the resolution;
//   - the predicted end of a conducting rectifier's current, -I/(dI/dt), and of the reset
//     current in switch state 1 (through the limiter, which steps a little short);
//   - the overlap step right after a switch-state change or a conduction change, and
//     from there at most twice the last step, so that the step grows back over a few steps.
// A device whose current has reached zero, or would within the event floor, turns off; a
// rectifier whose forward voltage exceeds its threshold turns on for the next step, and so
// does the resting transformer's reset path. The currents left in a device turned off are
// handed over at the next assembly (KeepCurrentsContinuous, AnalChck).
#pragma once

#include <cstdint>

int32_t DeterminePrimarySwitchState();
int32_t UpdateControlSectionState();
int32_t DetermineTimeStep();
int32_t CalcControlSectionQuantities();
int32_t DetermineTimeStepAfterStep();
