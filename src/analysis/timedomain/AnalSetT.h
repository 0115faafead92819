// The per-step set-up around the assembly: the primary switch state, the drive latch and its
// delay timers, the choice of the time step from the coming events, the control quantities
// after the step, and the conduction events found after it.
//
// Time step: the step proposed after the previous step (the maximum step, or the next entry of
// the step-time list or the end time, landed on) is cut to
//   - the expiry of a pending drive-edge timer, the clock's next turn and the PWM crossing
//     (landed exactly: the events are known in advance); an event within the timer
//     resolution is due now: a timer or the comparator's crossing happens without a step, a
//     crossing that only the solve shows is passed with a step of the resolution;
//   - the next breakpoint of the line's, the control sources' and the load source's tables;
//     pi/(10·2·pi·f) for a control-side sine while the comparator closes in on its crossing;
//   - the predicted end of a conducting rectifier's current, -I/(dI/dt), of the reset current
//     in switch state 1, and a blocking output rectifier's turn-on, (Vf - V)/(dV/dt) (through
//     the limiter, which steps a little short);
//   - the overlap step while a freewheel rectifier hands its current over to the forward one
//     with the switch on (in a time-domain run), the input capacitor's reversed current's
//     turn with the switch on, and each load resistor's zero crossing;
//   - one per cent of each line-filter and output storage element's reference over its rate,
//     and the current sense transformer's likewise (with the user's attenuation);
//   - while the sense transformer's rectifier conducts, a hundredth of its magnetising time
//     constant Ls/R, Ls as the core's lookup gives it (with the user's attenuation);
//   - the resonant reset's capacitor rules (the winding's zero, the ramp in eighth steps, the
//     capacitor current's end);
//   - 1 ns after a switch-state change or a device event (32 ns at rest), 10 ns after a step of
//     1 ns or less, and otherwise at most twice the last step.
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
