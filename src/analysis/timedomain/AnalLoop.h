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

// One corrected quantity of one output: its drift over the last trial period, and the factor
// that scales the next correction.
struct IterationVar {
    double error = 0.0;
    double previousError = 0.0;
    double factor = 0.5;
    int32_t sign = 0;  // 1 when error > 0
    int32_t previousSign = 0;
};

// Moves *value by factor x (end - start), the factor adapted first: halved when the drift
// grew, or changed sign and shrank by less than half; x1.5 (up to 0.6) when it kept its sign
// and shrank by less than a tenth. Clears *converged while the drift is above the tolerance
// (at least 0.001) and the factor above 0.001. 1, or 0 on a fault (code reported).
int32_t CorrectQuantity(IterationVar& v, int32_t* converged, double* value, double start, double end,
                        double tolerance, int code);

// phase = -2π·f·t wrapped to [0, 2π): the source passes phase 0 at time t.
int32_t SetInitialPhase(double* phase, double frequency, double t);
// Every enabled periodic source phased to pass 0 at time t.
void SetSourcePhases(double t);
// Run time and step count back to 0, settling over, every table cursor rewound.
void ResetRunClock();
int32_t CaptureCycleSample(CycleSample* sample);

// 0 success, 1 failure (reported), 2 quit, 3 an iteration limit reached (reported).
int32_t RunInitializationLoop();
// One Newton step of the loop's shooting refinement from the context's state, left in the
// context: the quick start's correction of the estimate. 0, 1 failure, 2 quit (run status 2).
int32_t RunQuickShootingStep();
