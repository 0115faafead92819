// The key figures of a time-domain run, measured step by step over a window at its end:
// time averages weighted by the step, extremes, and the drive's duty. The headless runner
// and the regression designs read them; nothing here allocates.
#pragma once

#include <cmath>
#include <cstdint>

class AnalysisContext;

class CRunFigures {
public:
    // Measures from windowStart (s) on.
    explicit CRunFigures(double windowStart) : windowStart_(windowStart) {}

    void Observe(const AnalysisContext& ctx);
    // The time the output first reaches level (from the run's start, whatever the window).
    void WatchOutputLevel(double level) { watchedLevel_ = level; }
    double WatchedLevel() const { return watchedLevel_; }
    double LevelReachedTime() const { return levelReached_; }  // s, -1 while not reached
    // When the references first ran (the under-voltage lockout let go) and the bulk voltage
    // then, and when the drive first turned on; -1 while not seen.
    double ReferenceStartTime() const { return referenceStart_; }
    double ReferenceStartBulk() const { return referenceStartBulk_; }
    double FirstDriveTime() const { return firstDrive_; }

    double OutputAverage() const { return span_ > 0.0 ? voutArea_ / span_ : 0.0; }
    double OutputPeakToPeak() const { return voutMax_ - voutMin_; }
    double ChokePeakToPeak() const { return ilMax_ - ilMin_; }
    double ChokeAverage() const { return span_ > 0.0 ? ilArea_ / span_ : 0.0; }
    double PrimaryPeak() const { return ipMax_; }
    double SwitchVoltagePeak() const { return vswMax_; }
    // Mean switch voltage while the transformer resets (switch state 1).
    double SwitchPlateau() const { return resetTime_ > 0.0 ? vswResetArea_ / resetTime_ : 0.0; }
    double BulkAverage() const { return span_ > 0.0 ? vbulkArea_ / span_ : 0.0; }
    // Mean error amplifier output and PWM control voltage.
    double ErrorAmpAverage() const { return span_ > 0.0 ? veaArea_ / span_ : 0.0; }
    double ControlAverage() const { return span_ > 0.0 ? controlArea_ / span_ : 0.0; }
    // Extremes of the bulk capacitor voltage (both capacitors of a doubler together).
    double BulkMin() const { return vbulkMin_; }
    double BulkMax() const { return vbulkMax_; }
    // Mean current the primary takes from the bulk.
    double DrawAverage() const { return span_ > 0.0 ? drawArea_ / span_ : 0.0; }
    // Mean power the line delivers (every phase, its source ahead of the line's impedance) and
    // the sum of the phases' mean currents (a DC line's input current), the power the outputs'
    // loads take, and their ratio (0 while the line delivers nothing).
    double InputPower() const { return span_ > 0.0 ? inputPowerArea_ / span_ : 0.0; }
    double InputCurrentAverage() const { return span_ > 0.0 ? inputCurrentArea_ / span_ : 0.0; }
    double OutputPower() const { return span_ > 0.0 ? outputPowerArea_ / span_ : 0.0; }
    double Efficiency() const { return InputPower() > 0.0 ? OutputPower() / InputPower() : 0.0; }
    // Share of the window in which the line rectifier feeds the bulk.
    double LineConduction() const { return span_ > 0.0 ? lineConductionTime_ / span_ : 0.0; }
    // Amplitudes of the switching frequency's component over the window: the first stage's
    // node and the output (behind the second stage).
    double FirstStageRippleAmplitude() const { return Amplitude(firstCos_, firstSin_); }
    double OutputRippleAmplitude() const { return Amplitude(outCos_, outSin_); }
    double Duty() const { return span_ > 0.0 ? driveOnTime_ / span_ : 0.0; }
    double Span() const { return span_; }
    // Output k's average (k from 0), for designs with several outputs.
    double OutputAverage(int k) const { return span_ > 0.0 && k >= 0 && k < 4 ? voutAreas_[k] / span_ : 0.0; }
    double ClampAverage() const { return span_ > 0.0 ? vclampArea_ / span_ : 0.0; }
    // The magnetising current as each on-time starts: the first and last of the window and
    // the spread between the cycles; a core that does not reset walks from cycle to cycle.
    double MagnetizingAtTurnOnFirst() const { return imFirst_; }
    double MagnetizingAtTurnOnLast() const { return imLast_; }
    double MagnetizingAtTurnOnSpread() const { return turnOns_ > 0 ? imMax_ - imMin_ : 0.0; }
    int64_t TurnOns() const { return turnOns_; }
    int64_t Steps() const { return steps_; }

private:
    double Amplitude(double c, double s) const { return span_ > 0.0 ? 2.0 * std::hypot(c, s) / span_ : 0.0; }

    double windowStart_;
    double span_ = 0.0;
    double voutArea_ = 0.0;
    double ilArea_ = 0.0;
    double vbulkArea_ = 0.0;
    double driveOnTime_ = 0.0;
    double resetTime_ = 0.0;
    double vswResetArea_ = 0.0;
    double drawArea_ = 0.0;
    double inputPowerArea_ = 0.0, inputCurrentArea_ = 0.0, outputPowerArea_ = 0.0;
    // The last step's end values of the quantities averaged over each step as a whole: the
    // mean of the step's two ends (primed once a step has been seen).
    struct StepEnds {
        double draw = 0.0, inputPower = 0.0, inputCurrent = 0.0, outputPower = 0.0;
    } ends_;
    bool endsSeen_ = false;
    double firstCos_ = 0.0, firstSin_ = 0.0, outCos_ = 0.0, outSin_ = 0.0;
    double lineConductionTime_ = 0.0;
    double vbulkMin_ = 1e300, vbulkMax_ = -1e300;
    double voutMin_ = 1e300, voutMax_ = -1e300;
    double ilMin_ = 1e300, ilMax_ = -1e300;
    double ipMax_ = -1e300;
    double vswMax_ = -1e300;
    int64_t steps_ = 0;
    double veaArea_ = 0.0;
    double controlArea_ = 0.0;
    double watchedLevel_ = 1e300;
    double levelReached_ = -1.0;
    double referenceStart_ = -1.0;
    double referenceStartBulk_ = -1.0;
    double firstDrive_ = -1.0;
    double vclampArea_ = 0.0;
    double voutAreas_[4] = {};
    double imPrevious_ = 0.0;
    int32_t statePrevious_ = 0;
    double imFirst_ = 0.0, imLast_ = 0.0;
    double imMin_ = 1e300, imMax_ = -1e300;
    int64_t turnOns_ = 0;
};
