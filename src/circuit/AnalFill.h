// The design-to-analysis fill: before a run the document writes the design into the flat
// records the analysis reads (settings, one input record per section, the saturation and
// transient point tables). Every record starts again from its presets, so a field that no
// section of the chosen design gives stays at its preset (NOT_SET for a double). One
// function per section; each field is assigned once, its source named beside it. A value
// that a model of the chosen design reads and that is still not set, or not a number, after
// the fill refuses the run with a message naming it.
//
// Derivations (T the requirements' operating temperature in Celsius, dT = T - 25):
// - Capacitance and ESR at T: X·(1 + (a·dT + b·dT²)/100), a and b the part's linear and
//   quadratic coefficients in %/K and %/K².
// - Resistance at T: R·(1 + (a·dT + b·dT²)·1e-6), coefficients in ppm/K and ppm/K².
// - Transistor on resistance at T: Ron·(1 + a·dT/100), a in %/K.
// - Diode forward voltage at T: Vf·exp(dT·c), c the exponential coefficient in 1/K (the
//   document's ScaleToOperatingTemp). Dynamic resistances, inductances, turns, delays and
//   junction capacitances have no temperature coefficient and are taken as they are.
// - Per cent to fraction: a weight or ratio w % becomes w / 100.
// - A capacitor is the six values (c1 breakdown rating, c2 ESL, c3 ESR, c4, c5, c6 C) of its
//   input-record group; the design gives no leakage model, so c4 = c5 = 0: an ideal capacitor
//   with its ESR and ESL, where c1 only serves the breakdown check.
// - The damped input capacitor's damping branch is Resistor Damp with its ESL: the model
//   adds A·(1/h) + B, so A = the ESL (H) and B = the resistance at T.
// - Switching period T_s = 1 / the requirements' target frequency. The largest time step (the
//   first step and the step every step starts from again) is T_s / 100, the overlap step
//   1 ns, and the comparator's longest cycle 10·T_s.
// - Sawtooth clock of p-p volts around its average, rising for pos % of its period T_c:
//   limits average ± p-p/2; rising slope p-p / (pos/100·T_c); falling slope
//   -p-p / ((1 - pos/100)·T_c). Leading-edge blanking LEB % gives the hold share LEB / 100.
// - Drive edge delays (the same sums as the control section's timing check): turn-on =
//   SW1 turn-on delay + rise time + PWM comparator delay; turn-off = SW1 turn-off delay +
//   fall time + PWM comparator delay; current-limit turn-off = SW1 turn-off delay + fall
//   time + the current-limit comparator's delay (PWM2, or PWM in hysteretic control).
//   The output leakage delays stay 0: the coupled windings already model the commutation,
//   so a delay would count it twice. The clamp switch SW2 turns off after the on-edge
//   (SW2 turn-off delay + fall time + PWM delay) and on after the off-edge (SW2 turn-on delay
//   + rise time + PWM delay, or + the current-limit comparator's delay); a transistor
//   rectifier likewise, rectifier 1 on after the on-edge and rectifier 2 after the off-edge.
// - Transitions: two switches in series for the two-switch variants (Vb, Cb the primary
//   rectifiers' forward voltage and junction capacitance), the reset winding (Nw its turns, Vd
//   and Cf the reset diode's, Cg its winding capacitance), the clamp capacitor's voltage for
//   the clamp variants; Csw SW1's output capacitance, Cd SW2's, Cc the primary winding's
//   capacitance; per output Cr1, Cr2 the rectifier diodes' junction capacitances and Cr3 the
//   secondary winding's. The resonant reset's capacitor is modelled in the step, so it sets no
//   flag. The design gives no Ce, Ve or fixed transition power: 0.
// - Soft-start rate = ISS current / CSS capacitance at T (V/s).
// - Hysteretic current control: the reference of the mode is Comparator PWM's logic level
//   (its per-cent flag with it); R10 and C8 are the upper, filtering element of the window's
//   divider, R9 its lower element; R7 and C6 filter the sense as the ramp network does.
// - Feedback: the error amplifier sees sum_k (w_mod,k·V_mod,k + w_load,k·V_load,k) / V_target,k
//   × gain, so with gain = the reference's DC value an output at its target presents the
//   reference to the amplifier.
// - Capacitor current sense of the first stage: the transformer is two coupled windings, its
//   primary inductance from its table, its secondary's = that × csScaleNum / csScaleDen (the
//   design's secondary and primary inductances) and their coupling csCoupling; Resistor Bias 2
//   in csTermA, Capacitor Bias in filterTermParamE, the diode's forward voltage in
//   sectionQuantityParamR; Resistor Cap Sense is both the sense resistor and the bias
//   divider's lower resistor csTermC (the estimate's bias Vb·csTermC/(Rb1 + csTermC)).
// - Secondary polarity s(k), effective turns T(k) and the stacking of joined windings come
//   from the primary section's winding arrangement (winding-end codes).
// - Saturation tables, (current A, inductance H): the part's core saturation characteristic
//   as given; when it is empty, or starts above 0 A, a first point (0 A, the part's
//   zero-current inductance) stands in front. Currents must rise strictly from 0 A and every
//   inductance be positive, or the run is refused.
// - Transient tables, (time s, magnitude): the source's transient points in order; point 0
//   is the time-0 point, so a design point at 0 s replaces it. Times must rise strictly.
#pragma once

#include <string>
#include <vector>

#include "analysis/context/AnalTableIndex.h"
#include "platform/core/Types.h"
#include "records/DbParts.h"
#include "records/PartsSrc.h"

class CPwrQuorraDoc;

// Largest step as a share of the switching period, overlap step and the comparator's cycle
// limit in switching periods. (The overlap step holds the step through a rectifier hand-over
// at turn-on, some 70 ns through a few uH of leakage: 10 ns keeps the step from growing past
// it there; 1 ns would add half as many steps again as the whole period takes, for no figure
// that moves by more than a few hundredths of a per cent.)
constexpr double kStepsPerPeriod = 100.0;
constexpr double kOverlapTimeStep = 1e-8;
constexpr double kMaxCyclePeriods = 10.0;

class CAnalysisFill {
public:
    explicit CAnalysisFill(CPwrQuorraDoc& doc);

    // Presets, then every chosen section's records and tables from the design. FALSE when
    // the run cannot be made from the design (a value the models read is missing or not a
    // number, a point table out of order); GetProblem then holds the message for the user.
    // Sections that are not chosen are left at their presets.
    BOOL FillAnalysisRecords();
    const std::string& GetProblem() const { return m_problem; }

private:
    struct RequiredField {
        std::string name;
        const double* field;
    };

    void FillAnalysisSettings();
    void FillLineSourceInput();
    void FillPrimaryInput();
    void FillSecondaryRectifierInput(int output);
    void FillOutputChokeInput(int output);
    void FillOutputFilterInput(int output);
    void FillLoadNetworkInput(int output);
    void FillControlInput();
    void FillVoltageErrorAmpInput();
    void FillOptoIsolatorInput();

    // Assigns a field that the models of the chosen design read; it must end up a number.
    void Put(double& field, double value, const char* section, const char* name);
    // A value a part editor would not store (its range) refuses the run by the field's name;
    // the part's base values behind a temperature-scaled field are named by that field.
    void CheckEditorRange(double value, const char* section, const char* name);
    template <class Part>
    void CheckPartRanges(const Part& part) const;
    // Records the first problem; later ones are dropped.
    void Fail(unsigned messageId, const std::string& arg);
    // Each names its part or source for the messages.
    void FillSaturationTable(int index, const CCoreSatChar& characteristic, double zeroCurrentInductance,
                             const std::string& part);
    void FillLineSaturationTable(int index, const CCoreSatChar& characteristic,
                                 double zeroCurrentInductance, const std::string& part);
    void FillTransientTable(int blockIndex, const CObArrayTimeMagnitude& transient, const std::string& source);

    double CapacitanceAt(const CCapacitor& c) const;
    double EsrAt(const CCapacitor& c) const;
    double ResistanceAt(const CResistor& r) const;
    double OnResistanceAt(const CTransistorFE& q) const;
    double ForwardVoltageAt(const CDiode& d) const;

    CPwrQuorraDoc& m_doc;
    double m_dT = 0.0;  // operating temperature - 25 C
    int m_outputs = 0;  // outputs in use, 0 to 4
    std::vector<RequiredField> m_required;
    std::string m_problem;
    mutable std::string m_pendingRange;  // a scaled part's base value out of range, for the next Put
};
