// What the step assembly hands from its forward pass to its reverse pass, and the device
// states and event bookkeeping that the step logic keeps between steps. One per run, inside
// the context, so a step never allocates. Slots a step does not write keep their values.
#pragma once

#include <cstdint>

#include "analysis/context/AnalConst.h"

// Linear form of a two-terminal branch: V = z·I + e (ohm, V), I entering the positive end.
struct BranchPair {
    double z = 0.0;
    double e = 0.0;
};

// One output between the transformer secondary and the load.
struct OutputStepStore {
    int32_t polarity = 1;          // +1: the rectifier sits on the winding's dotted end
    BranchPair forwardRectifier;   // rectifier 1 (winding to the choke node)
    BranchPair freewheelRectifier; // rectifier 2 (return to the choke node)
    BranchPair choke;              // choke winding and its sense resistor
    BranchPair filterCapacitor;    // first-stage capacitor group
    BranchPair load;               // load branch to return
    BranchPair secondStage;        // what the first stage sees behind it (second stage and load)
    BranchPair outputNode;         // the filter and load seen from the choke
    double outputVoltage = 0.0;    // first-stage node after the solve (V)
    double chokeCurrent = 0.0;     // after the solve (A)
    double forwardCurrent = 0.0;   // rectifier 1 current of the solve (A)
    double freewheelCurrent = 0.0; // rectifier 2 current of the solve (A)
    double chokeNodeVoltage = 0.0; // rectifier output node (V)
    // Last-step values kept for the event predictions (A/s, V).
    double forwardSlope = 0.0;
    double freewheelSlope = 0.0;
    double forwardVoltage = 0.0;   // anode to cathode of rectifier 1
    double freewheelVoltage = 0.0; // anode to cathode of rectifier 2
    // The conduction the last solve used (-1 before the first): a difference is a change of
    // conduction whose currents are handed over before the next step.
    int32_t solvedForwardOn = -1;
    int32_t solvedFreewheelOn = -1;
};

// The power transformer as the step uses it, taken from the input records once per run.
struct TransformerParams {
    int32_t outputs = 1;
    double lp = 0.0;  // primary open-circuit inductance (H)
    double rp = 0.0;  // primary winding resistance (ohm)
    double ls[kMaxOutputs] = {};
    double rs[kMaxOutputs] = {};
    double mps[kMaxOutputs] = {};               // primary-secondary mutuals, with the sign (H)
    double mss[kMaxOutputs][kMaxOutputs] = {};  // secondary-secondary mutuals (H), zero diagonal
};

// The reset winding of the single-switch variants, beside the primary on the same core.
struct ResetWindingParams {
    double lr = 0.0;                // open-circuit inductance (H)
    double rr = 0.0;                // resistance (ohm)
    double mpr = 0.0;               // primary-reset mutual (H)
    double mrs[kMaxOutputs] = {};   // reset-secondary mutuals (H)
};

// The quantities the step-size rules watch, with their values and rates of the last step
// (rates from the difference over the step just taken: the models keep no slope for most).
enum StepWatchOutput { kWatchChoke, kWatchNode, kWatchSecondCurrent, kWatchSecondVoltage, kWatchLoadVoltage,
                       kWatchLoadCurrent, kWatchForwardVoltage, kWatchFreewheelVoltage, kWatchOutputCount };
enum StepWatchLine { kWatchFirstInductor, kWatchDampingInductor, kWatchSecondInductor, kWatchFilterCapacitor,
                     kWatchLineCount };
enum StepWatchPrimary { kWatchWindingVoltage, kWatchResetCapacitorCurrent, kWatchSenseCurrent, kWatchSenseCurrent2,
                        kWatchBulkDraw, kWatchPrimaryCount };
struct StepWatch {
    double value = 0.0;
    double rate = 0.0;  // per second; 0 until two steps have been seen
    int32_t seen = 0;
};
struct StepWatchStore {
    StepWatch output[kMaxOutputs][kWatchOutputCount];
    StepWatch line[kMaxLinePhases][kWatchLineCount];
    StepWatch primary[kWatchPrimaryCount];
    double senseCurrentPeak[2] = {0.0, 0.0};  // largest |sense transformer current| of the run (A)
    double chokeCurrentPeak[kMaxOutputs] = {};  // largest |choke current| of the run (A)
};

// A winding's running integrals, means and the resistances derived from them (units as above).
struct WindingLoss {
    double currentIntegral = 0.0;        // A·s
    double squareCurrentIntegral = 0.0;  // A²·s
    double squareVoltageIntegral = 0.0;  // V²·s
    double meanCurrent = 0.0;            // A
    double meanSquareCurrent = 0.0;      // A²
    double meanSquareVoltage = 0.0;      // V²
    double parallelResistance = 0.0;     // ohm; 0: no core-loss resistance
    double windingResistance = 0.0;      // ohm
    double currentPrev = 0.0;            // the step's starting values (A, V)
    double voltagePrev = 0.0;
    int32_t periods = 0;                 // periods in the means
};

// An inductor outside the transformer and the chokes with losses: its slot, its part's values,
// its core-loss conductance and its winding with that across it for the step. Off: no losses
// beyond its DC resistance, and the step builds it as before.
struct InductorLoss {
    WindingLoss w;
    double acResistance = 0.0;  // ohm
    double coreLoss = 0.0;      // W
    double dcResistance = 0.0;  // ohm
    double conductance = 0.0;   // 1/Rp (S)
    BranchPair winding;         // the shunted winding of the step
    int32_t on = 0;
};
enum LineLossInductor { kLossFirstInductor, kLossSecondInductor, kLossDampingInductor, kLossLineInductors };
enum OutputLossInductor { kLossSkim, kLossSecondStage, kLossOutputDamping, kLossLoad1, kLossLoad2,
                          kLossSensePrimary, kLossSenseSecondary, kLossOutputInductors };

// The magnetic parts' losses (AnalMLoss.h): each winding's slot, the time the integrals ran
// and where the last period ended.
struct MagneticLossStore {
    int32_t active = 0;           // some part has a core loss or an AC resistance above its DC one
    double periodTime = 0.0;      // s the integrals have run
    double lastCycleTime = 0.0;   // the cycle time at the last step (a smaller one: a period ended)
    double primaryConductance = 0.0;  // 1/Rp across the primary (S)
    double centreConductance = 0.0;   // the same referred to the step's centre winding (S)
    double centreWindingCurrent = 0.0;  // the centre winding's own current of the solve (A)
    WindingLoss primary, reset, secondary[kMaxOutputs], choke[kMaxOutputs];
    // Which of those have a loss: only they are integrated and averaged, and a choke without
    // one is built as a plain inductor.
    int32_t primaryOn = 0, resetOn = 0, secondaryOn[kMaxOutputs] = {}, chokeOn[kMaxOutputs] = {};
    double chokeConductance[kMaxOutputs] = {};
    BranchPair chokeWinding[kMaxOutputs];  // the shunted choke winding of the step
    // Chokes on one core with a core loss: the windings' branch impedances and terms of the
    // step with every shunt (AnalMLoss.h), the winding voltages V = Z'·Ib + E'.
    int32_t coupledShunts = 0;
    double coupledZ[kMaxOutputs][kMaxOutputs] = {};
    double coupledE[kMaxOutputs] = {};
    InductorLoss line[kMaxLinePhases][kLossLineInductors];
    InductorLoss output[kMaxOutputs][kLossOutputInductors];
};

struct EngineStore {
    TransformerParams xfmr;
    StepWatchStore watch;
    // Line side. Seen from the node it feeds, a source branch carries minus its current:
    // V = z·(-I) + e. The primary sees Vbulk = bulk.e - bulk.z·Idraw.
    BranchPair line;              // the line inductor's companion
    double lineSourceVoltage = 0.0;
    BranchPair lineSource;        // the line behind its inductance, seen from the filter
    BranchPair lineFilterOutput;  // the filter's output, seen from the input capacitor
    BranchPair bulkCapacitor;
    BranchPair bulk;              // the line rectifier's output, seen from the primary
    double bulkDraw = 0.0;        // current the primary takes from the bulk node (A)
    double bulkVoltage = 0.0;     // after the solve (V)
    double lineFilterCurrent = 0.0;  // current out of the line filter into the bulk (A)

    // Primary loop seen by the primary winding: Vw = loopA·Ip + loopB.
    double loopA = 0.0;
    double loopB = 0.0;
    BranchPair senseResistor;
    // Passive clamp: its capacitor group alone and with the clamp resistor beside it.
    BranchPair clampCapacitor;
    BranchPair clampNetwork;
    ResetWindingParams reset;
    double resetCurrentSlope = 0.0;  // dIr/dt of the last step (A/s)
    double secondaryCurrentPrev[kMaxOutputs] = {};  // Is at the start of the step (A)
    double primaryCurrentPrev = 0.0;  // the primary's and the reset winding's at the start of the
    double resetCurrentPrev = 0.0;    // step, after a hand-over between them (A)
    // The current sense transformer's rectifier conducts in this step.
    int32_t senseTransformerConducting = 0;
    // Resonant reset: the reset capacitor (in clampCapacitor) beside switch 1.
    BranchPair drainSource;

    // Transformer: Vw = zpp·Ip + sum c[j]·Is[j] + ep; Vs[j] = m[j]·Ip + sum zs[j][k]·Is[k] + es[j]
    // (Is into the dotted end of the secondary).
    double zpp = 0.0;
    double ep = 0.0;
    double c[kMaxOutputs] = {};
    double m[kMaxOutputs] = {};
    double zs[kMaxOutputs][kMaxOutputs] = {};
    double es[kMaxOutputs] = {};
    // The primary current row Ip = sum a[k]·Is[k] + b and the reduced secondaries.
    double a[kMaxOutputs] = {};
    double b = 0.0;
    double zsr[kMaxOutputs][kMaxOutputs] = {};
    double esr[kMaxOutputs] = {};
    double secondaryCurrent[kMaxOutputs] = {};  // Is of the last solve (A)
    double primaryCurrent = 0.0;                // Ip of the last solve (A)
    double primaryCurrentSlope = 0.0;
    // Stacked windings: rectifier j sees sum_k stack[j][k]·Vs[k] (AnalMSec.h).
    double stack[kMaxOutputs][kMaxOutputs] = {};           // dIp/dt of the last step (A/s)
    int32_t stackReady = 0;  // stack holds the run's matrix (set up once, on the first solve)
    int32_t stackCouples = 0;  // it has a term off its diagonal: a winding sits on another

    OutputStepStore output[kMaxOutputs];

    // Drive timers: time left until the switch follows the drive edge (s); < 0 idle.
    double onEdgeTimer = -1.0;
    double offEdgeTimer = -1.0;
    // The clamp switch's (AnalEdge.h): it turns off when the on-edge one runs out, on when the
    // off-edge one does.
    double clampOnEdgeTimer = -1.0;
    double clampOffEdgeTimer = -1.0;
    // The synchronous rectifiers' [output][rectifier 1, 2].
    double rectOnEdgeTimer[kMaxOutputs][2] = {{-1.0, -1.0}, {-1.0, -1.0}, {-1.0, -1.0}, {-1.0, -1.0}};
    double rectOffEdgeTimer[kMaxOutputs][2] = {{-1.0, -1.0}, {-1.0, -1.0}, {-1.0, -1.0}, {-1.0, -1.0}};
    int32_t rectTimersOn = 0;  // a transistor rectifier's timer has been loaded in this run
    // The transition loss of the last whole switching period (W, AnalMTrans.h).
    double periodTransitionLoss = 0.0;
    void IdleEdgeTimers() {
        onEdgeTimer = offEdgeTimer = clampOnEdgeTimer = clampOffEdgeTimer = -1.0;
        rectTimersOn = 0;
        for (int32_t j = 0; j < kMaxOutputs; ++j)
            for (int32_t r = 0; r < 2; ++r) rectOnEdgeTimer[j][r] = rectOffEdgeTimer[j][r] = -1.0;
    }
    // Peak current control: the ramp ended this period's pulse; the next period starts the next.
    int32_t pulseEnded = 0;
    int32_t switchStateChanged = 0;  // the state of this step differs from the last one
    int32_t deviceEventThisStep = 0; // a device changed state after the last step
    // Every device change after the last step was an output rectifier's current running out.
    int32_t outputCurrentEndsOnly = 0;
    double stepRampPeak = 0.0;  // the largest step since the step last restarted (s)
    int32_t resetPathOnRequest = 0;  // the resting transformer's reset path came forward
    double currentLimitFiltered = 0.0;  // current-limit feedback after its RC filter (V)
    // Last: the step reads little of it while no part has losses.
    MagneticLossStore loss;
};
