#include "analysis/timedomain/AnalFigures.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "analysis/context/AnalContext.h"

namespace {

// Above what a reverse-biased rectifier leaks through its open resistance.
constexpr double kConducting = 1e-3;  // A

// The mean over a step's last `share` (0..1) of a quantity that runs straight from `start`
// to `end` across it.
double TailMean(double start, double end, double share) { return end - 0.5 * share * (end - start); }

}  // namespace

void CRunFigures::Observe(const AnalysisContext& ctx) {
    const StepStateRec& step = ctx.stepState;
    const double h = step.inverseTimeStepTermA;
    // The currents and powers that ramp through a step are read as the mean of its two ends:
    // the step's end value alone reads a ramp half its rise too high (the primary's draw rises
    // through the whole on-time, a figure 2 to 3 % high at the default steps).
    StepEnds now;
    now.draw = ctx.engine.bulkDraw;
    const int32_t phases = ctx.pSettings->linePhaseCount >= 1 && ctx.pSettings->linePhaseCount <= kMaxLinePhases
                               ? ctx.pSettings->linePhaseCount
                               : 1;
    for (int32_t p = 0; p < phases; ++p) {
        now.inputPower += ctx.linePhase[p].lineVoltage * ctx.lineStep.sol.phaseCurrent[p];
        now.inputCurrent += ctx.lineStep.sol.phaseCurrent[p];
    }
    for (int32_t k = 0; k < ctx.pSettings->outputCount && k < kMaxOutputs; ++k)
        now.outputPower += ctx.outputFilter[k].outputVoltage * ctx.loadNetwork[k].loadCurrent;
    const StepEnds start = endsSeen_ ? ends_ : now;
    ends_ = now;
    endsSeen_ = true;
    // The step ending at step.time began at step.time - h; only its part inside the window
    // counts. The drive state of the step is the one that was latched before it.
    if (levelReached_ < 0.0 && ctx.outputFilter[0].outputVoltage >= watchedLevel_) levelReached_ = step.time;
    if (referenceStart_ < 0.0 && !ctx.control.referenceLockout) {
        referenceStart_ = step.time;
        referenceStartBulk_ = ctx.inputCapacitor.inputVoltage;
    }
    if (firstDrive_ < 0.0 && step.driveOn) firstDrive_ = step.time;
    const double from = std::max(step.time - h, windowStart_);
    const PrimaryStateRec& pri = ctx.primary;
    const bool turnOn = pri.switchState == 2 && statePrevious_ != 2;
    const double imBefore = imPrevious_;
    imPrevious_ = pri.magnetizingCurrent;
    statePrevious_ = pri.switchState;
    if (step.time <= windowStart_) return;
    if (turnOn) {
        if (turnOns_ == 0) imFirst_ = imBefore;
        imLast_ = imBefore;
        imMin_ = std::min(imMin_, imBefore);
        imMax_ = std::max(imMax_, imBefore);
        ++turnOns_;
    }
    const double w = step.time - from;
    const double vout = ctx.outputFilter[0].outputVoltage;
    const double il = ctx.outputChoke[0].chokeCurrent;
    span_ += w;
    voutArea_ += vout * w;
    for (int32_t k = 0; k < ctx.pSettings->outputCount && k < 4; ++k)
        voutAreas_[k] += ctx.outputFilter[k].outputVoltage * w;
    ilArea_ += il * w;
    const double vbulk = ctx.inputCapacitor.inputVoltage;
    vbulkArea_ += vbulk * w;
    if (ctx.pPrimaryInput && ctx.pPrimaryInput->hasClampCapacitor) vclampArea_ += pri.clampCapacitorVoltage * w;
    // The capacitors' own voltage: the bulk node also carries their ESR and ESL drops at the
    // switching edges.
    const InputCapacitorStateRec& cap = ctx.inputCapacitor;
    const double vcap = cap.capacitorVoltage1 + (ctx.pLineSourceInput->outputCapacitorDoubled ? cap.capacitorVoltage2 : 0.0);
    vbulkMin_ = std::min(vbulkMin_, vcap);
    vbulkMax_ = std::max(vbulkMax_, vcap);
    const double share = h > 0.0 ? w / h : 1.0;
    drawArea_ += TailMean(start.draw, now.draw, share) * w;
    inputPowerArea_ += TailMean(start.inputPower, now.inputPower, share) * w;
    inputCurrentArea_ += TailMean(start.inputCurrent, now.inputCurrent, share) * w;
    outputPowerArea_ += TailMean(start.outputPower, now.outputPower, share) * w;
    if (ctx.lineRectifier.positiveRectifierCurrent > kConducting) lineConductionTime_ += w;
    if (step.driveOn) driveOnTime_ += w;
    veaArea_ += ctx.control.veaOutput * w;
    controlArea_ += ctx.control.pwmControlVoltage * w;
    // The step holds its end value over the step: integrate the sine and cosine over it
    // exactly, so that a constant part drops out over whole periods.
    const double period = ctx.pSettings->switchingPeriodSetting;
    if (period > 0.0) {
        const double k = 2.0 * std::numbers::pi / period;
        const double c = (std::sin(k * step.time) - std::sin(k * from)) / k;
        const double s = (std::cos(k * from) - std::cos(k * step.time)) / k;
        const double first = ctx.engine.output[0].outputVoltage;
        firstCos_ += first * c;
        firstSin_ += first * s;
        outCos_ += vout * c;
        outSin_ += vout * s;
    }
    // The reset or clamp interval, with the forward rectifiers still conducting or not.
    if (ctx.primary.switchState == 1 || ctx.primary.switchState == 3) {
        resetTime_ += w;
        vswResetArea_ += ctx.primary.switch1Voltage * w;
    }
    voutMin_ = std::min(voutMin_, vout);
    voutMax_ = std::max(voutMax_, vout);
    ilMin_ = std::min(ilMin_, il);
    ilMax_ = std::max(ilMax_, il);
    ipMax_ = std::max(ipMax_, ctx.primary.primaryWindingCurrent);
    vswMax_ = std::max(vswMax_, ctx.primary.switch1Voltage);
    ++steps_;
}
