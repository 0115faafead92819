// The checks every analysis driver makes at each step: the breakdown ratings of the parts
// against their present voltages, the switching-frequency plausibility warning, and (first
// in the step assembly) the conduction consistency tests that only write the log.
//
// The checks live beside the time-domain drivers because every driver calls them, the
// frequency drivers included, and those stand on the time-domain ones.
//
// Each problem is shown once per run: its latch is cleared at the run's first step (step
// counter 0) and set when its message is shown. The checks only warn; they never change
// the run.
#pragma once

#include <cstdint>

#include "analysis/context/AnalContext.h"
#include "platform/core/Types.h"

// Once at every step, before the step's switch state is decided; firstStep is 1 at step
// counter 0. A voltage that no model of the run computes (still at its not-set preset) is
// not compared.
void CheckStepLimits(int32_t firstStep);
// After the last step of a run that ended normally: in hysteretic control, a run whose first
// step had no measured period yet (a turn-on run) is judged once, on the mean period of the
// drive's rising edges in the last tenth of the run; fewer than two whole periods there are
// not judged.
void CheckProjectedFrequencyAtRunEnd();
void CheckBreakdownVoltages(int32_t firstStep);
// The core-walk warning (once per run): the switch has turned on while the reset still carried
// the core's current, with more of it each time, on three turn-ons in a row (a growth of at
// least 1 % each) in a scheme that resets at a fixed voltage (two switch, reset winding), each
// of those turn-ons after an on-time no longer than the one before it (a rising duty leaves
// the reset less time each cycle and so more current, without a walk that lasts) and with a
// growth not 2 % below the one before (a falling duty ending a start-up's overshoot).
void CheckCoreWalk(int32_t firstStep);
// The problem box of one rating: its text, the voltage, the rating and the run time.
// Nothing is shown when the text cannot be found.
void ReportBreakdownProblem(UINT messageId, double voltage, double rating);

// How a check compares its voltage V with the rating R.
enum class BreakdownCompare {
    kMagnitudeAtLeast,  // |V| >= R
    kMagnitudeAbove,    // |V| > R (the clamp and reset capacitors)
    kReverse,           // V <= -R (only a reverse voltage counts)
};

// One of the 71 checks as it stands at this step: its place in the order (0..70), its
// message, whether its part is in the circuit, the present voltage and the rating.
struct BreakdownCheck {
    int32_t order;
    UINT messageId;
    bool guard;
    double voltage;
    double rating;
    BreakdownCompare compare;
};
constexpr int32_t kBreakdownCheckCount = 71;

// Visits the checks in their order. A per-output or per-phase check beyond the run's count
// is visited with its guard false, so every check keeps its place.
template <class Visit>
void ForEachBreakdownCheck(const AnalysisContext& ctx, Visit&& visit);

// First in every step's assembly, before the previous-step copies are taken. The step
// set-up (AnalSetT) decides the conduction states: the switch state before the step, each
// device's turn-on and turn-off after the last one. Here their currents are handed over
// across each change (KeepCurrentsContinuous: 0 fails the step), then the settled states are
// tested for consistency (log only) and, with checks on, the floating-point status is logged
// (13237). Returns 1 otherwise.
int32_t CheckSwitchQuantities();

// Current continuity across the conduction changes the step set-up made after the last
// step: an output whose rectifiers changed has the choke's current handed to the rectifier
// that conducts (SplitRectifierCurrents), its windings' currents recomputed, and their change
// moved into the winding that carries the core's flux (a move too small against the step to
// count, CountsAsCurrentChange, is none). That winding keeps the flux Lc·Ic + sum_k M[k]·Is[k]:
//     dIc = -sum_k M[k]·dIs[k] / Lc
// It is the primary (or the reset winding through its reset) while its path conducts, and a
// primary whose switch closes at this step as well: a transistor rectifier driven on with the
// switch hands the choke's reversed current to it. An open primary takes none. A failure fails
// the step (0): a
// share that is not a number logs 13200, the change's code (13201 rectifier 1 off, 13205
// rectifier 2 off, 13207 overlap ended, 13204/13208 rectifier 1/2 on) and its output's
// 13216-13219, and shows 52180; a floating-point fault after it (checks on) logs 13242 and
// the output's code; a transistor position left conducting alone whose channel's share
// fails logs 13202 (rectifier 1 off) or 13206 (rectifier 2 off); the primary's share logs
// 13220 and shows 52181, or, while the active clamp's switch carries it, 13221 and 52182.
// Only the run's first message gets a box.
int32_t KeepCurrentsContinuous();
// A hand-over of the core's current whose size over the step is below this rate (A/s) is
// rounding left by the rectifiers' currents, not a change: it moves no current.
constexpr double kLeastCurrentChangeRate = 0.0001;
bool CountsAsCurrentChange(double change, double inverseTimeStep);
int32_t UpdateRectifierCurrentsOnChange(int32_t output, int32_t* changed);
// A transistor position (0 forward, 1 freewheel) left conducting alone: its channel, when
// driven, takes the position's current, else its diode does. 0 when the channel's current or
// drop is not a number (logged 13206 / 13202 by the caller, which shows 52180).
int32_t HandOverToSyncPosition(int32_t output, int32_t position);
int32_t SplitRectifierCurrents(int32_t output);

// The consistency tests: each finding writes one internal code of this module to the log and
// changes nothing. They run only with checks on (data logging) and the bulk voltage above
// the control's threshold (the undervoltage turn-on level). A test whose forward voltage or
// turns the design leaves unset is skipped rather than judged against a not-set value.
int32_t LogConductionConsistency();
int32_t LogDiodeVoltageChecks();
int32_t LogTransformerVoltageChecks();
int32_t LogSecRectifierInconsistencies(int32_t output);
int32_t LogSecDiodeVoltageChecks(int32_t output);
int32_t LogSecWindingVoltageChecks(int32_t output);

// ---------------------------------------------------------------------------------------
// The checks in their order. Voltages are the quantities the waveform catalogue shows under
// each part's name; ratings and presence come from the input records.
template <class Visit>
void ForEachBreakdownCheck(const AnalysisContext& ctx, Visit&& visit) {
    using C = BreakdownCompare;
    const AnalysisSettingsRec& set = *ctx.pSettings;
    const PrimaryInputRec& pi = *ctx.pPrimaryInput;
    const LineSourceInputRec& li = *ctx.pLineSourceInput;
    const ControlInputRec& ci = *ctx.pControlInput;
    const PrimaryStateRec& p = ctx.primary;
    const LineRectifierStateRec& lr = ctx.lineRectifier;
    const InputCapacitorStateRec& ic = ctx.inputCapacitor;
    int32_t order = 0;
    auto check = [&](UINT id, bool guard, double v, double r, C compare) {
        visit(BreakdownCheck{order++, id, guard, v, r, compare});
    };
    const bool pair = pi.diode1On != 0;
    const bool passiveClamp = pi.resetDiodeOn && !pi.resetWindingOn;
    const bool resetRectifier = pi.resetDiodeOn && pi.resetWindingOn;
    check(51035, pair, p.diode1Voltage, pi.rectifierBreakdownVoltage, C::kMagnitudeAtLeast);
    check(51036, pair && pi.secondSwitchOn, p.diode2Voltage, pi.rectifierBreakdownVoltage, C::kMagnitudeAtLeast);
    check(51034, passiveClamp, p.resetDiodeVoltage, pi.clampRectifierBreakdownVoltage, C::kMagnitudeAtLeast);
    check(51033, pi.senseDiodeOn != 0, p.currentSenseRectifierAnodeToCathodeVoltage,
          pi.senseRectifierBreakdownVoltage, C::kMagnitudeAtLeast);
    check(51037, resetRectifier, p.senseAmpVoltage, pi.resetRectifierBreakdownVoltage, C::kMagnitudeAtLeast);

    const int32_t linePresent[8] = {li.diode1Present, li.diode2Present, li.diode3Present, li.diode4Present,
                                    li.diode5Present, li.diode6Present, li.diode7Present, li.diode8Present};
    const double lineVoltage[8] = {lr.diode1Voltage, lr.diode2Voltage, lr.diode3Voltage, lr.diode4Voltage,
                                   lr.diode5Voltage, lr.diode6Voltage, lr.diode7Voltage, lr.diode8Voltage};
    for (int32_t d = 0; d < 8; ++d)
        check(UINT(51001 + d), linePresent[d] != 0, lineVoltage[d], li.rectifierBreakdownVoltage,
              d == 0 ? C::kReverse : C::kMagnitudeAtLeast);

    // The opto-isolator's light emitting diode is there in every variant but "None" (6).
    const bool led = ci.optoVariant >= 0 && ci.optoVariant < 6;
    check(51000, led, ctx.control.optoOutputStageVoltage, ci.ledBreakdownVoltage, C::kReverse);
    check(51038, pi.turnOnFlagA != 0, p.clampSwitchAux4, pi.clampSwitchBreakdownVoltage, C::kMagnitudeAtLeast);
    check(51039, pi.switch1On != 0, p.switch1VoltageCopy, pi.switchBreakdownVoltage, C::kMagnitudeAtLeast);
    check(51040, pi.switch1On && pi.secondSwitchOn, p.switch2Voltage, pi.switchBreakdownVoltage,
          C::kMagnitudeAtLeast);

    const int32_t outputs = set.outputCount;
    for (int32_t n = kMaxOutputs; n >= 1; --n) {
        const bool in = outputs >= 1 && outputs <= kMaxOutputs && n <= outputs;
        const OutputFilterInputRec& fi = *ctx.pOutputFilterInput[n - 1];
        const SecondaryRectifierInputRec& ri = *ctx.pSecondaryRectifierInput[n - 1];
        const OutputFilterStateRec& f = ctx.outputFilter[n - 1];
        const SecondaryRectifierStateRec& r = ctx.secondaryRectifier[n - 1];
        check(UINT(51024 + n), in && fi.senseDiodeOn, f.senseDiodeAux, fi.senseRectifierBreakdownVoltage,
              C::kMagnitudeAtLeast);
        check(UINT(51028 + n), in && fi.senseDiodeOn, f.senseDiodeAux2, fi.senseRectifierBreakdownVoltage,
              C::kMagnitudeAtLeast);
        check(UINT(51008 + n), in && ri.sectionQuantityFlagA, r.rectifier1AnodeToCathodeVoltage,
              ri.rectifier1BreakdownVoltage, C::kMagnitudeAtLeast);
        check(UINT(51012 + n), in && ri.sectionQuantityFlagB, r.rectifierVoltage, ri.rectifier2BreakdownVoltage,
              C::kMagnitudeAtLeast);
        check(UINT(51016 + n), in && ri.frequencyAnalysisFlagA, r.switch1DrainToSourceVoltage,
              ri.syncRectifier1BreakdownVoltage, C::kMagnitudeAtLeast);
        check(UINT(51020 + n), in && ri.frequencyAnalysisFlagB, r.channelVoltage, ri.syncRectifier2BreakdownVoltage,
              C::kMagnitudeAtLeast);
    }

    const int32_t rectCase = set.lineRectifierVariant;
    const int32_t capVariant = set.inputCapacitorVariant;
    const double bulk = li.bulkCapacitorBreakdownVoltage;
    check(51050, rectCase == 5 || rectCase == 7 || rectCase == 9, ic.capacitorVoltage2, bulk, C::kMagnitudeAtLeast);
    check(51051, true, ic.capacitorVoltage1, bulk, C::kMagnitudeAtLeast);
    check(51052, capVariant == 2 || capVariant == 3, ic.capSlot1VoltageHeld, bulk, C::kMagnitudeAtLeast);
    check(51053, true, ic.capSlot3VoltageHeld, bulk, C::kMagnitudeAtLeast);
    check(51054, capVariant == 3, ic.capSlot2VoltageHeld, li.bulkDampingCapacitorBreakdownVoltage,
          C::kMagnitudeAtLeast);
    check(51055, capVariant == 1 || capVariant == 3, ic.capSlot4VoltageHeld, li.bulkDampingCapacitorBreakdownVoltage,
          C::kMagnitudeAtLeast);

    const int32_t phases = set.linePhaseCount;
    for (int32_t ph = kMaxLinePhases; ph >= 1; --ph) {
        const bool in = ph == 1 || (ph == 2 && (phases == 2 || phases == 3)) || (ph == 3 && phases == 3);
        const LinePhaseStateRec& lp = ctx.linePhase[ph - 1];
        const UINT id = UINT(51056 + 2 * (kMaxLinePhases - ph));
        check(id, in && li.sourceOn, lp.filterVoltage, li.filterCapacitorBreakdownVoltage, C::kMagnitudeAtLeast);
        check(id + 1, in && li.inputCapacitorOn, lp.filterCapVoltage2, li.filterDampingCapacitorBreakdownVoltage,
              C::kMagnitudeAtLeast);
    }

    check(51062, pi.hasClampCapacitor != 0, p.clampCapacitorVoltage, pi.clampCapacitorBreakdownVoltage,
          C::kMagnitudeAbove);
    check(51063, pi.sectionQuantityFlagA != 0, p.capacitorVoltage, pi.resetCapacitorBreakdownVoltage,
          C::kMagnitudeAbove);

    for (int32_t n = kMaxOutputs; n >= 1; --n) {
        const bool in = outputs >= 1 && outputs <= kMaxOutputs && n <= outputs;
        const OutputFilterInputRec& fi = *ctx.pOutputFilterInput[n - 1];
        const OutputFilterStateRec& f = ctx.outputFilter[n - 1];
        const UINT id = UINT(51064 + 4 * (kMaxOutputs - n));
        check(id, in && fi.capacitorOn, f.capacitorVoltage, fi.capacitorBreakdownVoltage, C::kMagnitudeAtLeast);
        check(id + 1, in && fi.hasCapA2, f.capA2Voltage, fi.dampingCapacitorBreakdownVoltage, C::kMagnitudeAtLeast);
        check(id + 2, in && fi.hasCapB, f.capBVoltage, fi.outputCapacitorBreakdownVoltage, C::kMagnitudeAtLeast);
        check(id + 3, in && fi.hasCapB2, f.capB2Voltage, fi.outputDampingCapacitorBreakdownVoltage,
              C::kMagnitudeAtLeast);
    }
}
