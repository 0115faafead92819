// The steady-state start: the shooting search of the periodic operating point from the
// steady-state estimate (the initialisation loop), its one-period trial runs, and what the
// quick settling run shares with it (source phasing, the run clock's reset). Worker thread.
#pragma once

#include <cstdint>

// Quantities the loop corrects, sampled at the start and at the end of one period.
struct CycleSample {
    double capA[4];
    double capA2[4];
    double capB[4];
    double capB2[4];
    double inductorB[4];
    double choke[4];
    double currentEaOutput;
    double currentAmpStateA;
    double currentAmpStateB;
    double errorAmpStateA;
    double errorAmpStateB;
    double errorAmpStateC;
    double clampCapacitorVoltage;
    double clampCapacitorCurrent;
};

// phase = -2π·f·t wrapped to [0, 2π): the source passes phase 0 at time t.
int32_t SetInitialPhase(double* phase, double frequency, double t);
// Every enabled periodic source phased to pass 0 at time t.
void SetSourcePhases(double t);
// Run time and step count back to 0, settling over, every table cursor rewound.
void ResetRunClock();
int32_t CaptureCycleSample(CycleSample* sample);

// 0 success, 1 failure (reported), 2 quit, 3 an iteration limit reached (reported).
int32_t RunInitializationLoop();
