// The frequency sweep: a sine of one frequency rides on one quantity of the time-domain
// model; whole periods of it are stepped, the quantities on both sides of the injection point
// are Fourier-integrated over the window, and the window repeats until the gains and phases
// stop changing.
//
// Fourier sums, exact for a quantity linear over the step. With x(t) = x0 + m·(t - t0),
// theta = w·t, s/c the sine and cosine at the step's start (0) and end (1), h = t1 - t0:
//   ∫ x sin(theta) dt = [-x cos/w + m sin/w²]  = x0(c0 - c1)/w - m·h·c1/w + m(s1 - s0)/w²
//   ∫ x cos(theta) dt = [ x sin/w + m cos/w²]  = x0(s1 - s0)/w + m·h·s1/w + m(c1 - c0)/w²
//   ∫ sin² dt = h/2 - (sin 2theta1 - sin 2theta0)/(4w),  ∫ cos² dt = h/2 + (same)/(4w)
// so that over a window the fundamental of x is  a·sin(theta) + b·cos(theta) with
// a = Σsin/Σsin², b = Σcos/Σcos²: magnitude sqrt(a² + b²), phase atan2(b, a) against the sine.
// A DC offset integrates to zero over whole periods and the switching ripple, far above w,
// averages out; both are exact up to the window's edges.
#pragma once

#include <cstdint>

class CGraphSampleSink;

struct FrequencySweepState {
    static constexpr int kMaxMeasured = 3;
    static constexpr int kQuantities = 6;
    static constexpr int kMaxSpecial = 8;
    static constexpr double kNotSet = -9999.9;

    int32_t direction[kQuantities] = {};  // 1: the last value grew
    double angularFrequency = 0.0;        // rad/s
    double frequency = kNotSet;           // Hz
    double previousFrequency = kNotSet;   // Hz, of the last plotted point
    double timeAtFrequency = 0.0;         // s
    double windowEnd = 0.0;               // s (run time)
    double windowLength = 0.0;            // s
    double amplitude = 0.0;               // V
    double nominal = 0.0;                 // V, the injection target's value at the operating point
    double phase = 0.0;                   // rad, [0, 2 pi]
    double secondPhase = 0.0;             // rad, [0, 2 pi]
    double sine = 0.0, previousSine = 0.0;
    double secondSine = 0.0, previousSecondSine = 0.0;
    double cosine = 1.0, previousCosine = 1.0;

    int32_t measuredCount = 0;
    double measured[kMaxMeasured] = {};
    double previousMeasured[kMaxMeasured] = {};
    double sumSin[kMaxMeasured] = {};
    double sumCos[kMaxMeasured] = {};
    double sumSinSq = 0.0, sumCosSq = 0.0;
    double magnitude[kMaxMeasured] = {};
    double phaseOf[kMaxMeasured] = {};  // rad, against the injected sine

    double value[kQuantities] = {};          // last window's value (dB or degrees)
    double plottedValue[kQuantities] = {};   // value at the last plotted frequency
    double change[kQuantities] = {};         // last change (signed for phases)
    int32_t stopInterpolation = 0;
    int32_t specialCount = 0;
    int32_t specialCursor = 0;
    double special[kMaxSpecial] = {};
    int32_t plotted[kQuantities] = {};

    // Start values; the graphs showing quantities 1..quantityCount give the special frequencies.
    void Init(double start, double stop, double stimulusAmplitude, int32_t measuredChannels, int32_t quantityCount,
              CGraphSampleSink* sink);
    void AddSpecialFrequency(double x, double start, double stop);
    void AvoidFrequency(double avoided, double stepFactor);
    // The next frequency of the sweep (the start frequency first), the special list and the
    // avoided frequency taken into account.
    void NextFrequency(double start, double avoided, double stepFactor);
    void SavePreviousStepValues();
    // Moves the injection phase by one step of h seconds and takes the new sine and cosine.
    void AdvancePhase(double h);
    // One step's exact integrals (h the step, measured[] the end-of-step values).
    void AccumulateSums(double h);
    void ClearSums();
    // Magnitudes and phases of the measured channels from the sums.
    void MeasureChannels();
};

// Gain in dB of a over b; `zero` when b is 0.
double GainDb(double a, double b, double zero);
double RadiansToDegrees(double radians);
// Within 180 degrees of the previous window's value by one turn at most: a measured phase
// difference of two angles in (-180, 180] is never more than one turn away.
double ContinuePhase(double degrees, double previous);
// Shifts by whole turns until lower <= phase <= upper.
double IntoPhaseWindow(double degrees, double upper, double lower);

// Convergence of one plotted quantity (a gain when isPhase is 0). Updates value, change and
// direction of quantity i; clears *converged when it has not settled, sets *doubling when the
// window should double. limitsHold: n < 20 and the time at frequency within its limit.
void ConvergeQuantity(FrequencySweepState& st, int i, double newValue, bool isPhase, int32_t n, bool limitsHold,
                      int32_t* converged, int32_t* doubling);
// Plots the point of every quantity shown on a graph (with the interpolated graph-stop point
// first when the avoided frequency was refused). Returns 0 on an internal fault (code given).
int32_t PlotSweepPoint(FrequencySweepState& st, int32_t quantityCount, CGraphSampleSink* sink, uint32_t module,
                       int32_t interpolationCode, int32_t plotCode);

class AnalysisContext;

enum class DutyFlagClear : int32_t { kNone, kStepFlag, kBothFlags };

// What one frequency analysis adds to the common sweep.
struct SweepDriver {
    uint32_t module;            // module string of its codes
    int32_t setupFailedCode;    // operating point failed / stopped: +1
    int32_t settleCode;         // first of the six settling-step codes
    int32_t stepCode;           // first of the five window-step codes before the step ends
    int32_t afterStepCode;      // window step: the next time step failed
    int32_t sumsCode;
    int32_t interpolationCode, plotCode;
    int32_t measuredCount, quantityCount;
    // Which duty-extreme flags set-up clears (a flag left raised shows 53022 at the first point).
    DutyFlagClear clearDutyFlags;
    bool settleWholeWindow;     // the start frequency settles for a window, not one sine period
    // Writes amplitude x sine + the target's nominal value into the injection target.
    void (*inject)(AnalysisContext& ctx, double value);
    // Reads the measured channels into st.measured; 0 on an internal fault (reported inside).
    int32_t (*read)(AnalysisContext& ctx, FrequencySweepState& st);
    // Gains, phases and convergence after window n; 0 on an internal fault (reported inside).
    int32_t (*evaluate)(AnalysisContext& ctx, FrequencySweepState& st, int32_t n, int32_t* converged);
    // Once the operating point stands: take the injection target's nominal value, open what
    // must be opened. Undone by finish on every way out.
    // Returns the nominal value.
    double (*begin)(AnalysisContext& ctx);
    void (*finish)(AnalysisContext& ctx);
    // The measurement window at a new frequency (null: whole sine periods spanning 100
    // switching periods); may retune the model to fit it.
    double (*window)(AnalysisContext& ctx, double frequency, double period) = nullptr;
    // A floating-point fault in the sums shows the unrecoverable-error box before 52207.
    bool unrecoverableFirst = false;
};

// Whole sine periods of `frequency` spanning 100 switching periods.
double SweepWindowLength(double frequency, double period);
struct LineSourceInputRec;
struct AnalysisSettingsRec;
// An AC line, whose ripple the windows must fit.
bool LineRipples(const LineSourceInputRec& line);
// The window of a loop sweep on an AC line: p injection periods that are k ripple periods of
// a line retuned from `lineFrequency` (the ripple the line's own period without a rectifier,
// as RippleCommensurateWindow takes it otherwise), p and k coprime and k >= 2, so that no
// harmonic of the ripple falls on the injection (it would pass the window's filter as if it
// were the response): the fewest ripple periods that move the line by at most 10 %.
struct LineRippleWindow;
LineRippleWindow LoopRippleWindow(double frequency, double lineFrequency, int32_t rectifierCase, int32_t phases);
// On an AC line: the smallest whole number of those windows spanning 100 switching periods,
// the line retuned to fit.
double LineFittedWindow(LineSourceInputRec& line, const AnalysisSettingsRec& set, double designLineFrequency,
                        double frequency, double period);
// Set-up of every sweep once the operating point stands: the injection becomes the only AC
// drive (the control side's and the loads' sines are zeroed); clear names the duty-extreme
// flags cleared.
void MakeInjectionTheOnlyAcDrive(AnalysisContext& ctx, DutyFlagClear clear);
// 53022 once per run: *shown latches it.
void WarnDutyExtremeOnce(const AnalysisContext& ctx, bool* shown);

// The whole sweep of one analysis on the run's context: 1 finished (the status word tells
// how), 0 stopped by the user.
int32_t RunFrequencySweep(const SweepDriver& driver);
// The projected switching period of the run (s).
double ProjectedSwitchingPeriod(const AnalysisContext& ctx);
// Whether the window may still grow: n < 20 and less than 5000 projected periods spent.
bool SweepLimitsHold(const AnalysisContext& ctx, const FrequencySweepState& st, int32_t n);

// Hands the frequency drivers to the analysis worker.
void InstallFrequencyDrivers();
// Points plotted by the last sweep that ended (read once the worker is done).
int32_t LastSweepPointCount();
// Steps of the last sweep that ended (read once the worker is done).
int64_t LastSweepStepCount();
