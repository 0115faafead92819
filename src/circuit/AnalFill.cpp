// The design-to-analysis fill; the derivations stand in AnalFill.h.
#include "circuit/AnalFill.h"

#include <algorithm>
#include <cmath>

#include "analysis/context/AnalConst.h"
#include "circuit/Doc.h"
#include "platform/core/Format.h"
#include "resources/StringTable.h"

namespace {

constexpr UINT kNoValueMessage = 58300;
constexpr UINT kSaturationTableMessage = 58301;
constexpr UINT kTransientTableMessage = 58302;
constexpr UINT kRectifierMessage = 58303;
constexpr UINT kZeroCouplingMessage = 58910;
constexpr UINT kOutOfRangeMessage = 58304;
constexpr UINT kVariantMessage = 58305;

// The ranges the part editors allow (the widest where two editors edit the same value), for
// the values the fill takes from a part as they are stored. A row applies to a field whose
// name holds `part` (any, when empty) and ends in `quantity`; the first row that applies holds.
struct EditorRange {
    const char* part;
    const char* quantity;
    double min, max;
};
constexpr EditorRange kEditorRanges[] = {
    {"apacitor", " ESL", 0.0, 1000.0},
    {"", " ESL", 0.0, 10000.0},  // resistors
    {"apacitor", " breakdown voltage", 0.001, 100000.0},
    {"LED", " breakdown voltage", -1e300, 1e300},  // not in its editor
    {"iode", " breakdown voltage", 0.5, 100000.0},
    {"SW", " breakdown voltage", 0.1, 100000.0},
    {"Transistor", " breakdown voltage", 0.1, 100000.0},
    {"iode", " dynamic resistance", 0.0, 10000.0},
    {"iode", " junction capacitance", 1e-13, 0.001},
    {"Inductor", " inductance", 1e-9, 100.0},
    {"Inductor", " DC resistance", 1e-6, 10000.0},
    {"Inductor", " AC resistance", 1e-6, 10000.0},
    {"Inductor", " core loss", 0.0, 100000.0},
    {"", " body diode forward voltage", 0.0, 5.0},
    {"", " body diode voltage", 0.0, 5.0},
    {"", " body diode resistance", 1e-6, 10000.0},
    {"SW", " output capacitance", 1e-13, 0.0001},
    {"mplifier", " gain", 1e-6, 1e6},
    {"reset switch", " on resistance", 1e-6, 1e6},
    {"operational amplifier", " output", -1000.0, 1000.0},
    {"UVLO", " voltage", 0.1, 1e6},
    {"Driver Source", " voltage", 1.0, 1000.0},
    {"Bias Voltage", "", 1.0, 1000.0},
    {"Photo Transistor", " current transfer ratio", 0.001, 1000.0},
    {"Photo Transistor", " bandwidth", 100.0, 1e10},
    {"", " VBE", -20.0, 20.0},
    {"Q1", " forward bias voltage", -20.0, 20.0},
    {"Comparator PWM2", " soft start threshold", 0.0, 1000.0},
};

// A temperature-scaled value is checked at its part: the base values and coefficients.
template <class Part>
struct PartRange {
    double Part::*field;
    const char* what;
    double min, max;
};
const PartRange<CResistor> kResistorRanges[] = {
    {&CResistor::m_dResistance, "resistance", 1e-8, 1e10},
    {&CResistor::m_dTempCoefLinear, "linear temperature coefficient", -100000.0, 100000.0},
    {&CResistor::m_dTempCoefQuad, "quadratic temperature coefficient", -10000.0, 10000.0},
};
const PartRange<CCapacitor> kCapacitorRanges[] = {
    {&CCapacitor::m_dCapacitance, "capacitance", 1e-14, 1.0},
    {&CCapacitor::m_dCapTempCoefLinear, "linear temperature coefficient of capacitance", -20.0, 20.0},
    {&CCapacitor::m_dCapTempCoefQuad, "quadratic temperature coefficient of capacitance", -20.0, 20.0},
    {&CCapacitor::m_dEsr, "ESR", 0.0, 1e8},
    {&CCapacitor::m_dEsrTempCoefLinear, "linear temperature coefficient of ESR", -20.0, 20.0},
    {&CCapacitor::m_dEsrTempCoefQuad, "quadratic temperature coefficient of ESR", -10.0, 10.0},
};
const PartRange<CTransistorFE> kTransistorRanges[] = {
    {&CTransistorFE::m_dOnResistance, "on resistance", 1e-6, 100000.0},
    {&CTransistorFE::m_dOnResistanceTempCoef, "temperature coefficient of on resistance", -100.0, 100.0},
};
const PartRange<CDiode> kDiodeRanges[] = {
    {&CDiode::m_dForwardVoltage, "forward voltage", 0.0, 10.0},
    {&CDiode::m_dForwardVoltageTempCoef, "forward voltage temperature coefficient", -0.01, 0.0},
};
template <class Part, size_t N>
const PartRange<Part>* RangesOf(const PartRange<Part> (&rows)[N], size_t* n) {
    *n = N;
    return rows;
}
const PartRange<CResistor>* RangesOf(const CResistor*, size_t* n) { return RangesOf(kResistorRanges, n); }
const PartRange<CCapacitor>* RangesOf(const CCapacitor*, size_t* n) { return RangesOf(kCapacitorRanges, n); }
const PartRange<CTransistorFE>* RangesOf(const CTransistorFE*, size_t* n) { return RangesOf(kTransistorRanges, n); }
const PartRange<CDiode>* RangesOf(const CDiode*, size_t* n) { return RangesOf(kDiodeRanges, n); }

bool OutsideRange(double v, double min, double max) {
    // NaN and a missing value have their own message.
    return std::isfinite(v) && v != NOT_SET && (v < min || v > max);
}

std::string RangeText(double v, double min, double max) {
    return fw::Format("%.15g; from %.15g to %.15g", v, min, max);
}

bool EndsWith(const std::string& s, const char* tail) {
    const size_t n = std::char_traits<char>::length(tail);
    return s.size() >= n && s.compare(s.size() - n, n, tail) == 0;
}

bool Chosen(const CSection& s) { return s.GetTopology() != kTopologyNotChosen; }

bool IsIn(int value, std::initializer_list<int> set) {
    for (int v : set)
        if (v == value) return true;
    return false;
}

int32_t Flag(bool b) { return b ? 1 : 0; }

// The current limit's comparator: PWM2, or PWM in hysteretic control.
double LimitComparatorDelay(CControlSection& ctl) {
    return ctl.GetTopology() == CControlSection::HYSTERETIC_CURRENT ? ctl.GetComparator1().m_dDelay
                                                                    : ctl.GetComparator2().m_dDelay;
}

// The model case of the line rectifier for its form and the number of line phases; -1 for a
// combination that no case models.
int LineRectifierCase(int form, int phases) {
    switch (form) {
    case CLineRectifier::RECT_NONE: return 0;
    case CLineRectifier::RECT_HALF_WAVE: return (phases >= 1 && phases <= 3) ? phases : -1;
    case CLineRectifier::RECT_FULL_WAVE_BRIDGE: return phases == 1 ? 4 : -1;
    case CLineRectifier::RECT_HALF_WAVE_DOUBLER: return phases == 1 ? 5 : -1;
    case CLineRectifier::RECT_FULL_WAVE_SINGLE_CAP: return phases == 2 ? 6 : phases == 3 ? 8 : -1;
    case CLineRectifier::RECT_MULTI_PHASE_DOUBLER: return phases == 2 ? 7 : phases == 3 ? 9 : -1;
    default: return -1;
    }
}

// The line rectifier diodes D0..D7 that each model case uses (bit n: diode n + 1 present).
unsigned LineDiodesOfCase(int rectifierCase) {
    static const unsigned kDiodes[10] = {
        0x00,                                     // none
        0x01, 0x11, 0x51,                         // half wave, 1 to 3 phases: D0, D4, D6
        0x0F,                                     // bridge, 1 phase: D0-D3
        0x03,                                     // doubler, 1 phase: D0, D1
        0x33, 0x33,                               // 2 phases: D0, D1, D4, D5
        0xF3, 0xF3,                               // 3 phases: D0, D1, D4-D7
    };
    return (rectifierCase >= 0 && rectifierCase <= 9) ? kDiodes[rectifierCase] : 0;
}

CSecondarySection& SecondaryOf(CPwrQuorraDoc& d, int k) {
    switch (k) {
    case 1: return *d.GetSecondarySection1();
    case 2: return *d.GetSecondarySection2();
    case 3: return *d.GetSecondarySection3();
    default: return *d.GetSecondarySection4();
    }
}
COutputChoke& ChokeOf(CPwrQuorraDoc& d, int k) {
    switch (k) {
    case 1: return *d.GetOutputChoke1();
    case 2: return *d.GetOutputChoke2();
    case 3: return *d.GetOutputChoke3();
    default: return *d.GetOutputChoke4();
    }
}
C1StgOutputFilter& FirstStageOf(CPwrQuorraDoc& d, int k) {
    switch (k) {
    case 1: return *d.Get1StgOutputFilter1();
    case 2: return *d.Get1StgOutputFilter2();
    case 3: return *d.Get1StgOutputFilter3();
    default: return *d.Get1StgOutputFilter4();
    }
}
C2StgOutputFilter& SecondStageOf(CPwrQuorraDoc& d, int k) {
    switch (k) {
    case 1: return *d.Get2StgOutputFilter1();
    case 2: return *d.Get2StgOutputFilter2();
    case 3: return *d.Get2StgOutputFilter3();
    default: return *d.Get2StgOutputFilter4();
    }
}
CLoadNetwork& LoadOf(CPwrQuorraDoc& d, int k) {
    switch (k) {
    case 1: return *d.GetLoadNetwork1();
    case 2: return *d.GetLoadNetwork2();
    case 3: return *d.GetLoadNetwork3();
    default: return *d.GetLoadNetwork4();
    }
}

// A source is on when it has a sine part or transient points.
bool SourceVaries(const CCrntVoltSource& s) { return s.m_dACPeakMagnitude != 0.0 || s.m_Transient.GetCount() > 0; }

}  // namespace

CAnalysisFill::CAnalysisFill(CPwrQuorraDoc& doc) : m_doc(doc) {}

BOOL CAnalysisFill::FillAnalysisRecords() {
    m_required.clear();
    m_problem.clear();
    m_pendingRange.clear();
    CRequirements& req = *m_doc.GetRequirements();
    m_dT = req.GetOperatingTemp() - 25.0;
    const int enabled = req.CountEnabledOutputs();
    m_outputs = (enabled >= 0 && enabled <= kMaxOutputs) ? enabled : 0;

    m_doc.GetAnalysisSettings()->Init();
    m_doc.GetLineSourceInput()->Init();
    m_doc.GetPrimaryInput()->Init();
    for (int n = 0; n < kMaxOutputs; ++n) {
        m_doc.GetSecondaryRectifierInput(n)->Init();
        m_doc.GetOutputChokeInput(n)->Init();
        m_doc.GetOutputFilterInput(n)->Init(n + 1);
        m_doc.GetLoadNetworkInput(n)->Init();
    }
    m_doc.GetControlInput()->Init();
    for (int i = 0; i < 10; ++i) m_doc.GetTable101(i)->Clear();
    for (int i = 0; i < 3; ++i) m_doc.GetTable3(i)->Clear();
    for (int i = 0; i < 30; ++i) m_doc.GetTable(i)->Clear();

    // A variant past its section's list (set by a program, or a file read before that was
    // damage) is refused by name rather than run as another variant.
    const struct {
        CSection* section;
        const char* name;
    } sections[] = {{m_doc.GetLineFilter(), "line filter"},         {m_doc.GetLineRectifier(), "line rectifier"},
                    {m_doc.GetInputCapacitor(), "input capacitor"}, {m_doc.GetPrimarySection(), "primary section"},
                    {m_doc.GetVoltageErrorAmp(), "voltage error amplifier"},
                    {m_doc.GetOptoIsolator(), "opto-isolator"},      {m_doc.GetControlSection(), "control section"}};
    for (const auto& s : sections)
        if (Chosen(*s.section) && !s.section->HasListedVariant()) Fail(kVariantMessage, s.name);
    for (int k = 1; k <= m_outputs; ++k) {
        const std::pair<CSection*, const char*> outputSections[] = {
            {&SecondaryOf(m_doc, k), "secondary section"}, {&ChokeOf(m_doc, k), "output choke"},
            {&FirstStageOf(m_doc, k), "first stage output filter"}, {&SecondStageOf(m_doc, k), "second stage output filter"},
            {&LoadOf(m_doc, k), "load network"}};
        for (const auto& [section, name] : outputSections)
            if (Chosen(*section) && !section->HasListedVariant()) Fail(kVariantMessage, fw::Format("%s of output %d", name, k));
    }

    FillAnalysisSettings();
    FillLineSourceInput();
    FillPrimaryInput();
    for (int k = 1; k <= m_outputs; ++k) {
        FillSecondaryRectifierInput(k);
        FillOutputChokeInput(k);
        FillOutputFilterInput(k);
        FillLoadNetworkInput(k);
    }
    FillControlInput();
    FillVoltageErrorAmpInput();
    FillOptoIsolatorInput();

    for (const RequiredField& f : m_required) {
        if (*f.field == NOT_SET || !std::isfinite(*f.field)) Fail(kNoValueMessage, f.name);
    }
    if (!m_pendingRange.empty()) Fail(kOutOfRangeMessage, "part's " + m_pendingRange);
    m_pendingRange.clear();
    return m_problem.empty() ? TRUE : FALSE;
}

void CAnalysisFill::Put(double& field, double value, const char* section, const char* name) {
    field = value;
    m_required.push_back({std::string(name) + " of the " + section, &field});
    CheckEditorRange(value, section, name);
}

void CAnalysisFill::CheckEditorRange(double value, const char* section, const char* name) {
    const std::string what = std::string(name) + " of the " + section;
    if (!m_pendingRange.empty()) {
        Fail(kOutOfRangeMessage, what + " (its part's " + m_pendingRange + ")");
        m_pendingRange.clear();
    }
    const std::string n = name;
    for (const EditorRange& r : kEditorRanges) {
        if (n.find(r.part) == std::string::npos || !EndsWith(n, r.quantity)) continue;
        if (OutsideRange(value, r.min, r.max)) Fail(kOutOfRangeMessage, what + " (" + RangeText(value, r.min, r.max) + ")");
        return;
    }
}

template <class Part>
void CAnalysisFill::CheckPartRanges(const Part& part) const {
    size_t n = 0;
    const PartRange<Part>* rows = RangesOf(&part, &n);
    for (size_t i = 0; i < n && m_pendingRange.empty(); ++i) {
        const double v = part.*(rows[i].field);
        if (OutsideRange(v, rows[i].min, rows[i].max))
            m_pendingRange = std::string(rows[i].what) + " " + RangeText(v, rows[i].min, rows[i].max);
    }
}

void CAnalysisFill::Fail(unsigned messageId, const std::string& arg) {
    if (!m_problem.empty()) return;
    const char* text = res::FindString(messageId);
    m_problem = fw::Substitute(text ? text : "", arg);
}

double CAnalysisFill::CapacitanceAt(const CCapacitor& c) const {
    CheckPartRanges(c);
    return c.m_dCapacitance * (1.0 + (c.m_dCapTempCoefLinear * m_dT + c.m_dCapTempCoefQuad * m_dT * m_dT) / 100.0);
}

double CAnalysisFill::EsrAt(const CCapacitor& c) const {
    CheckPartRanges(c);
    return c.m_dEsr * (1.0 + (c.m_dEsrTempCoefLinear * m_dT + c.m_dEsrTempCoefQuad * m_dT * m_dT) / 100.0);
}

double CAnalysisFill::ResistanceAt(const CResistor& r) const {
    CheckPartRanges(r);
    return r.m_dResistance * (1.0 + (r.m_dTempCoefLinear * m_dT + r.m_dTempCoefQuad * m_dT * m_dT) * 1e-6);
}

double CAnalysisFill::OnResistanceAt(const CTransistorFE& q) const {
    CheckPartRanges(q);
    return q.m_dOnResistance * (1.0 + q.m_dOnResistanceTempCoef * m_dT / 100.0);
}

double CAnalysisFill::ForwardVoltageAt(const CDiode& d) const {
    CheckPartRanges(d);
    return m_doc.ScaleToOperatingTemp(d);
}

namespace {

// The characteristic into a point table of any kind; false when its points do not rise
// strictly from 0 A with positive inductances, or do not fit.
template <class Table>
bool BuildSaturationTable(Table& table, const CCoreSatChar& characteristic, double zeroCurrentInductance) {
    table.Clear();
    const int n = characteristic.m_arPoints.GetCount();
    const CObCurrentInductance* first = n > 0 ? characteristic.m_arPoints.GetPointAt(0) : nullptr;
    if (!first || first->m_dCurrent > 0.0) {
        if (!(zeroCurrentInductance > 0.0) || !std::isfinite(zeroCurrentInductance)) return false;
        table.Insert(0.0, zeroCurrentInductance);
    }
    double previous = -1.0;
    for (int i = 0; i < n; ++i) {
        const CObCurrentInductance* p = characteristic.m_arPoints.GetPointAt(i);
        if (!p) return false;
        const double current = p->m_dCurrent;
        const double inductance = p->m_dInductance;
        if (!std::isfinite(current) || current < 0.0 || current <= previous) return false;
        if (!std::isfinite(inductance) || !(inductance > 0.0)) return false;
        if (table.count > 0 && table.points[table.count - 1].time >= current) return false;
        if (!table.Insert(current, inductance)) return false;
        previous = current;
    }
    return true;
}

}  // namespace

void CAnalysisFill::FillSaturationTable(int index, const CCoreSatChar& characteristic, double zeroCurrentInductance,
                                        const std::string& part) {
    if (!BuildSaturationTable(*m_doc.GetTable(index), characteristic, zeroCurrentInductance))
        Fail(kSaturationTableMessage, part);
}

void CAnalysisFill::FillLineSaturationTable(int index, const CCoreSatChar& characteristic,
                                            double zeroCurrentInductance, const std::string& part) {
    if (!BuildSaturationTable(*m_doc.GetTable3(index), characteristic, zeroCurrentInductance))
        Fail(kSaturationTableMessage, part);
}

void CAnalysisFill::FillTransientTable(int blockIndex, const CObArrayTimeMagnitude& transient,
                                       const std::string& source) {
    TimeMagnitudeTable101& table = *m_doc.GetTable101(blockIndex);
    table.Clear();
    double previous = -1.0;
    for (int i = 0; i < transient.GetCount(); ++i) {
        const CObTimeMagnitude* p = transient.GetPointAt(i);
        const bool ok = p && std::isfinite(p->m_dTime) && p->m_dTime >= 0.0 && p->m_dTime > previous &&
                        std::isfinite(p->m_dMagnitude) && table.Insert(p->m_dTime, p->m_dMagnitude);
        if (!ok) {
            table.Clear();
            Fail(kTransientTableMessage, source);
            return;
        }
        previous = p->m_dTime;
    }
}

// ---------------------------------------------------------------------------------------
// The step-time list: a time-domain run lands a step on each edge of the time window of every
// graph in use (axes in microseconds), so that a plotted window starts and ends on a sample.
// Edges at or before the start, at or after the end time, and repeats are left out.
namespace {
void FillStepTimes(AnalysisSettingsRec& s, const CAnalysisConfig& cfg) {
    double* times = &s.stepSetupParamA;  // the eight step times
    constexpr int kCapacity = 8;
    int count = 0;
    const double end = cfg.GetTime();
    for (int n = 1; n <= CAnalysisConfig::kVariables; ++n) {
        const CEquation* eq = cfg.GetEquation(n);
        const CGraphCfg* g = cfg.GetGraphCfg(n - 1);
        if (!eq || !eq->IsInUse() || !g) continue;
        for (const double edge : {g->m_dXMin * 1e-6, g->m_dXMax * 1e-6}) {
            if (!(edge > 0.0) || !(edge < end) || count == kCapacity) continue;
            if (std::find(times, times + count, edge) == times + count) times[count++] = edge;
        }
    }
    std::sort(times, times + count);
    std::fill(times + count, times + kCapacity, 0.0);
    s.stepSetupFlagA = count;  // stepTimeCount
    s.stepSetupFlagB = 0;      // stepTimeIndex
}
}  // namespace

void CAnalysisFill::FillAnalysisSettings() {
    AnalysisSettingsRec& s = *m_doc.GetAnalysisSettings();
    const CAnalysisConfig& cfg = *m_doc.GetAnalysisConfig();
    const CRequirements& req = *m_doc.GetRequirements();
    const CUSData& us = *m_doc.GetUSData();
    const COutputChokeMutualInd& mutual = *m_doc.GetOutputChokeMutualInd();
    CLineFilter& filter = *m_doc.GetLineFilter();
    const char* sec = "analysis settings";

    s.analysisKind = cfg.GetAnalysisKind();                                               // analysis kind
    s.skipInitializationLoop = Flag(cfg.GetInitMode() == CAnalysisConfig::INIT_FAST);    // fast initialisation
    s.coupledOutputChokes = Flag(mutual.IsCouplingEnabled() && m_outputs > 1);          // magnetic coupling box
    for (int p = 0; p < COutputChokeMutualInd::kPairs; ++p)                              // k12 .. k34
        Put(s.outputChokeCoupling[p], s.coupledOutputChokes ? mutual.Coupling(COutputChokeMutualInd::Pair(p)) : 0.0,
            sec, "output choke coupling");
    s.outputCount = m_outputs;                                                           // enabled outputs
    const WORD source = filter.GetLineSourceType();
    s.linePhaseCount = (source == CLineFilter::SOURCE_DC) ? 1 : (source <= 3 ? int32_t(source) : 0);  // source type
    const CLineRectifier& rect = *m_doc.GetLineRectifier();
    if (Chosen(rect) && s.linePhaseCount > 0) {
        s.lineRectifierForm = rect.GetTopology();                                        // rectifier topology
        const int rectifierCase = LineRectifierCase(rect.GetTopology(), s.linePhaseCount);
        if (rectifierCase < 0)
            Fail(kRectifierMessage, "");
        else
            s.lineRectifierVariant = rectifierCase;                                     // form x phases
    }
    if (Chosen(filter)) s.lineFilterVariant = filter.GetTopology();                      // line filter topology
    if (Chosen(*m_doc.GetInputCapacitor())) s.inputCapacitorVariant = m_doc.GetInputCapacitor()->GetTopology();

    Put(s.openResistance, us.GetOffResistance(), sec, "off resistance");
    Put(s.largeStepAttenuationFactor, us.GetLargeStepFactor(), sec, "large time step attenuation factor");
    Put(s.largeStepAttenuationLimit, us.GetLargeStepLowerLimit(), sec, "large time step lower limit");
    Put(s.smallStepAttenuationFactor, us.GetSmallStepFactor(), sec, "small time step attenuation factor");
    Put(s.smallStepAttenuationLimit, us.GetSmallStepLowerLimit(), sec, "small time step lower limit");
    s.initIterationLimit = us.GetIterationLimit();                                       // iteration limit
    s.stabilisationCycles = us.GetStabilizationCycles();                                 // stabilization cycles

    const double f = req.GetSwitchingFrequency();                                        // target frequency
    const double period = 1.0 / f;
    Put(s.switchingFrequency, f, sec, "switching frequency");
    Put(s.switchingPeriodSetting, period, sec, "switching period");                      // 1 / f
    Put(s.targetSwitchingPeriod, period, sec, "target switching period");                // 1 / f
    Put(s.endTime, cfg.GetTime(), sec, "analysis time");                                 // total time
    FillStepTimes(s, cfg);                                                               // graph windows
    Put(s.initialTimeStep, period / kStepsPerPeriod, sec, "largest time step");          // T_s / 100
    Put(s.stepSetupParamB, kOverlapTimeStep, sec, "overlap time step");                 // 10 ns
    Put(s.comparatorHysteresisLimit, kMaxCyclePeriods * period, sec, "longest cycle");  // 10 T_s

    // The swept sine of the frequency analyses.
    const CFreqDomainStimulusCfg& stim = cfg.GetStimulusCfg();
    s.sweepStartFrequency = stim.m_dStartFrequency;
    s.sweepEndFrequency = stim.m_dStopFrequency;
    s.sweepFactor = std::pow(10.0, 1.0 / std::max(1, stim.m_nPointsPerDecade));
    s.stimulusAmplitude = stim.m_dAmplitude;
    s.inputToOutputOutput = stim.GetChoice(CFreqDomainStimulusCfg::CHOICE_I2O_OUTPUT);
    s.amplifierOutput = stim.GetChoice(CFreqDomainStimulusCfg::CHOICE_AMP_OUTPUT);
    const auto window = [&stim](double& max, double& min, int phase) {
        max = stim.m_dMaxPhase[size_t(phase)];
        min = max - 360.0;
    };
    window(s.voltageLoopPhaseMax1, s.voltageLoopPhaseMin1, 0);  // loop phase
    window(s.voltageLoopPhaseMax2, s.voltageLoopPhaseMin2, 1);  // control to feedback phase
    window(s.voltageLoopPhaseMax3, s.voltageLoopPhaseMin3, 2);  // error amplifier phase
    // Outside average current mode the current loop's setup is the peak or hysteretic one,
    // whose loop phase has its own maximum (entry 6).
    const bool averageCurrent = m_doc.GetControlSection()->GetTopology() == CAnalysisConfig::kAverageCurrentModeTopology;
    window(s.currentLoopPhaseMax1, s.currentLoopPhaseMin1, averageCurrent ? 3 : 6);
    window(s.currentLoopPhaseMax2, s.currentLoopPhaseMin2, 4);
    window(s.currentLoopPhaseMax3, s.currentLoopPhaseMin3, 5);
    window(s.inputToOutputPhaseMax1, s.inputToOutputPhaseMin1, 7);
    window(s.inputToOutputPhaseMax2, s.inputToOutputPhaseMin2, 8);
    window(s.inputToOutputPhaseMax3, s.inputToOutputPhaseMin3, 9);
    window(s.amplifierPhaseMax, s.amplifierPhaseMin, 10);
}

// ---------------------------------------------------------------------------------------
void CAnalysisFill::FillLineSourceInput() {
    LineSourceInputRec& r = *m_doc.GetLineSourceInput();
    CLineFilter& filter = *m_doc.GetLineFilter();
    const char* sec = "line filter";
    if (filter.GetLineSourceType() != kTopologyNotChosen) {
        CLineVoltage& v = filter.GetLineVoltage();
        Put(r.lineInductance, filter.GetLineInductance().m_dInductance, sec, "line inductance");
        Put(r.lineResistance, ResistanceAt(filter.GetLineResistance()), sec, "line resistance");  // at T
        Put(r.lineOffset, v.GetDCMagnitude(), sec, "DC magnitude");                              // DC part
        Put(r.lineFrequency, v.GetACFrequency(), sec, "AC frequency");
        Put(r.lineMagnitude, v.GetACPeakMagnitude(), sec, "AC peak magnitude");
        FillTransientTable(kLineOffsetBlockTable, v.GetDCMagnitudeTable(), "the DC line voltage");
        FillTransientTable(kLineMagnitudeBlockTable, v.GetACMagnitudeTable(), "the AC line voltage");
    }

    if (Chosen(filter)) {
        const int v = filter.GetTopology();
        // Parts of each filter variant: Inductor In1 in the two-stage variants, Inductor In2
        // ("Inductor In" of the one-stage ones) in all, Capacitor In in the two-stage ones.
        r.firstInductorOn = Flag(IsIn(v, {3, 4, 5, 6, 7, 8}));                             // Inductor In1
        r.secondInductorOn = Flag(IsIn(v, {0, 1, 2, 3, 4, 5, 6, 7, 8}));                    // Inductor In2
        r.dampingInductorOn = Flag(IsIn(v, {2, 6, 8}));                                     // Inductor Damp
        r.dampingResistorOn = Flag(IsIn(v, {1, 2, 5, 6, 7, 8}));                            // Resistor Damp2
        r.sourceOn = Flag(IsIn(v, {3, 4, 5, 6, 7, 8}));                                     // Capacitor In
        r.inputCapacitorOn = Flag(IsIn(v, {4, 7, 8}));                                      // C Damp + R Damp1
        r.timeRunFlagA = r.inputCapacitorOn;                                                // its damping branch
        if (r.sourceOn) {
            CCapacitor& c = filter.GetCapacitorIn();                                        // C.IN group
            Put(r.filterCapacitorBreakdownVoltage, c.m_dBreakdownVoltage, sec, "Capacitor In breakdown voltage");
            Put(r.sourceBranchInductance, c.m_dEsl, sec, "Capacitor In ESL");
            Put(r.sourceBranchResistance, EsrAt(c), sec, "Capacitor In ESR");
            Put(r.sectionQuantityParamA, 0.0, sec, "Capacitor In leakage term");
            Put(r.sectionQuantityParamB, 0.0, sec, "Capacitor In leakage term");
            Put(r.sourceBranchCapacitance, CapacitanceAt(c), sec, "Capacitor In capacitance");
        }
        if (r.inputCapacitorOn) {
            CCapacitor& c = filter.GetCapacitorDamp();                                      // C.DAMP group
            Put(r.filterDampingCapacitorBreakdownVoltage, c.m_dBreakdownVoltage, sec,
                "Capacitor Damp breakdown voltage");
            Put(r.inputCapacitorInductance, c.m_dEsl, sec, "Capacitor Damp ESL");
            Put(r.inputCapacitorResistance, EsrAt(c), sec, "Capacitor Damp ESR");
            Put(r.sectionQuantityParamC, 0.0, sec, "Capacitor Damp leakage term");
            Put(r.sectionQuantityParamD, 0.0, sec, "Capacitor Damp leakage term");
            Put(r.inputCapacitance, CapacitanceAt(c), sec, "Capacitor Damp capacitance");
            Put(r.inputCapacitorExtraResistance, ResistanceAt(filter.GetResistorDamp1()), sec, "Resistor Damp1");
        }
        if (r.firstInductorOn) {
            CInductor& l = filter.GetInductorIn1();
            Put(r.firstInductorAcResistance, l.m_dAcResistance, sec, "Inductor In1 AC resistance");
            Put(r.firstInductorCoreLoss, l.m_dCorePowerLoss, sec, "Inductor In1 core loss");
            Put(r.firstInductorResistance, l.m_dDcResistance, sec, "Inductor In1 DC resistance");
            Put(r.firstInductorInductance, l.m_dInductance, sec, "Inductor In1 inductance");
            FillLineSaturationTable(kLineFirstInductorTable, l.m_CoreSatChar, l.m_dInductance, "Inductor In1");
        }
        if (r.secondInductorOn) {
            CInductor& l = filter.GetInductorIn2();
            Put(r.secondInductorAcResistance, l.m_dAcResistance, sec, "Inductor In AC resistance");
            Put(r.secondInductorCoreLoss, l.m_dCorePowerLoss, sec, "Inductor In core loss");
            Put(r.secondInductorResistance, l.m_dDcResistance, sec, "Inductor In DC resistance");
            Put(r.secondInductorInductance, l.m_dInductance, sec, "Inductor In inductance");
            FillLineSaturationTable(kLineSecondInductorTable, l.m_CoreSatChar, l.m_dInductance, "Inductor In");
        }
        if (r.dampingInductorOn) {
            CInductor& l = filter.GetInductorDamp();
            Put(r.dampingInductorAcResistance, l.m_dAcResistance, sec, "Inductor Damp AC resistance");
            Put(r.dampingInductorCoreLoss, l.m_dCorePowerLoss, sec, "Inductor Damp core loss");
            Put(r.dampingInductorResistance, l.m_dDcResistance, sec, "Inductor Damp DC resistance");
            Put(r.dampingInductorInductance, l.m_dInductance, sec, "Inductor Damp inductance");
            FillLineSaturationTable(kLineDampingInductorTable, l.m_CoreSatChar, l.m_dInductance, "Inductor Damp");
        }
        if (r.dampingResistorOn) {
            CResistor& d = filter.GetResistorDamp2();
            Put(r.dampingResistance, ResistanceAt(d), sec, "Resistor Damp resistance");
            Put(r.dampingResistorInductance, d.m_dEsl, sec, "Resistor Damp ESL");
        }
    }

    CLineRectifier& rect = *m_doc.GetLineRectifier();
    if (Chosen(rect)) {
        const char* rsec = "line rectifier";
        CDiode& d = rect.GetDiode();
        Put(r.rectifierForwardVoltage, ForwardVoltageAt(d), rsec, "diode forward voltage");  // at T
        Put(r.stepSetupParamA, d.m_dDynamicResistance, rsec, "diode dynamic resistance");
        Put(r.rectifierBreakdownVoltage, d.m_dBreakdownVoltage, rsec, "diode breakdown voltage");
        const unsigned diodes = LineDiodesOfCase(m_doc.GetAnalysisSettings()->lineRectifierVariant);
        int32_t* present[8] = {&r.diode1Present, &r.diode2Present, &r.diode3Present, &r.diode4Present,
                               &r.diode5Present, &r.diode6Present, &r.diode7Present, &r.diode8Present};
        for (unsigned n = 0; n < 8; ++n) *present[n] = Flag((diodes >> n) & 1u);         // diodes of the case
    }

    CInputCapacitor& in = *m_doc.GetInputCapacitor();
    if (Chosen(in)) {
        const char* isec = "input capacitor";
        const int v = in.GetTopology();
        r.sectionQuantityFlagA = 1;                                    // the upper bulk capacitor, always
        r.outputCapacitorDoubled = Flag(IsIn(v, {2, 3}));              // doublers: C.IN1 and C.IN2
        r.outputCapacitor2On = Flag(IsIn(v, {1, 3}));                  // upper bulk damping branch
        r.sectionQuantityFlagB = Flag(v == 3);                         // lower bulk damping branch
        CCapacitor& c = in.GetCapacitorIn();                           // bulk group
        Put(r.bulkCapacitorBreakdownVoltage, c.m_dBreakdownVoltage, isec, "Capacitor In breakdown voltage");
        Put(r.outputCapacitorInductance, c.m_dEsl, isec, "Capacitor In ESL");
        Put(r.outputCapacitorResistance, EsrAt(c), isec, "Capacitor In ESR");
        Put(r.sectionQuantityParamE, 0.0, isec, "Capacitor In leakage term");
        Put(r.sectionQuantityParamF, 0.0, isec, "Capacitor In leakage term");
        Put(r.outputCapacitance, CapacitanceAt(c), isec, "Capacitor In capacitance");
        if (r.outputCapacitor2On) {
            CCapacitor& cd = in.GetCapacitorDamp();                    // bulk damping group
            Put(r.bulkDampingCapacitorBreakdownVoltage, cd.m_dBreakdownVoltage, isec,
                "Capacitor Damp breakdown voltage");
            Put(r.outputCapacitor2Inductance, cd.m_dEsl, isec, "Capacitor Damp ESL");
            Put(r.outputCapacitor2Resistance, EsrAt(cd), isec, "Capacitor Damp ESR");
            Put(r.sectionQuantityParamG, 0.0, isec, "Capacitor Damp leakage term");
            Put(r.sectionQuantityParamH, 0.0, isec, "Capacitor Damp leakage term");
            Put(r.outputCapacitor2Capacitance, CapacitanceAt(cd), isec, "Capacitor Damp capacitance");
            // The damping branch R + L in the damped capacitor model: L/h + R.
            Put(r.dampingCoeffA, in.GetResistorDamp().m_dEsl, isec, "Resistor Damp ESL");
            Put(r.dampingCoeffB, ResistanceAt(in.GetResistorDamp()), isec, "Resistor Damp");
        }
    }
}

// ---------------------------------------------------------------------------------------
void CAnalysisFill::FillPrimaryInput() {
    CPrimarySection& pri = *m_doc.GetPrimarySection();
    if (!Chosen(pri)) return;
    PrimaryInputRec& r = *m_doc.GetPrimaryInput();
    const char* sec = "primary section";
    const int v = pri.GetTopology();
    const bool odd = (v % 2) == 1;
    using X = CPwrTransformer;
    const CPwrTransformer& xfmr = pri.GetPowerTransformer();
    const CPrimarySection::WindingArrangement w = pri.GetWindingArrangement(*m_doc.GetRequirements());

    // Members of each variant.
    r.topology = v;
    r.switch1On = 1;                                               // SW1 in every variant
    r.secondSwitchOn = Flag(IsIn(v, {0, 1}));                       // the two-switch second switch
    r.diode1On = Flag(IsIn(v, {0, 1}));                             // diode 1 and diode 2
    r.senseResistorOn = Flag(odd);                                  // sense resistor in the switch path
    r.directSenseOn = Flag(odd);
    r.senseAmplifierOn = Flag(odd);
    r.currentSenseTransformerOn = Flag(!odd);
    r.senseDiodeOn = Flag(!odd);                                    // current sense diode
    r.powerTransformerOn = 1;
    r.resetWindingOn = Flag(IsIn(v, {2, 3}));
    r.resetDiodeOn = Flag(IsIn(v, {2, 3, 8, 9}));                   // reset diode or clamp diode
    r.clampCapacitorOn = Flag(IsIn(v, {4, 5, 6, 7, 8, 9}));         // reset or clamp capacitor
    r.hasClampCapacitor = Flag(IsIn(v, {6, 7, 8, 9}));              // clamps charged by the reset volt-seconds
    r.clampResistorOn = Flag(IsIn(v, {8, 9}));
    r.sectionQuantityFlagA = Flag(IsIn(v, {4, 5}));                 // reset capacitor
    r.turnOnFlagA = Flag(pri.HasClampSwitch());                     // clamp switch SW2
    r.primarySign = 1;                                              // the primary is the reference winding
    // Joined secondaries: the upper output's rectifier also sees the lower winding (up) or
    // the reverse (down).
    r.stack2On1 = w.up[0];
    r.stack1On2 = w.down[0];
    r.stack3On2 = w.up[1];
    r.stack2On3 = w.down[1];
    r.stack4On3 = w.up[2];
    r.stack3On4 = w.down[2];

    // Power transformer.
    Put(r.primaryTurns, xfmr.m_dTurns[X::kPrimary], sec, "primary turns");
    Put(r.magnetizingInductanceNominal, xfmr.m_dOpenInductance[X::kPrimary], sec, "primary inductance");
    Put(r.primaryWindingResistance, xfmr.m_dDcResistance[X::kPrimary], sec, "primary DC resistance");
    Put(r.primaryWindingAcResistance, xfmr.m_dAcResistance[X::kPrimary], sec, "primary AC resistance");
    Put(r.transformerCoreLoss, xfmr.m_dCorePowerLoss, sec, "transformer core loss");
    // A coupling of 0 between windings that exist was never computed (the
    // editor's range keeps a computed one above 0): such a winding would run
    // dead, so the run is refused by its name.
    auto coupling = [&](double& field, int earlier, int later, const char* name, const std::string& pair) {
        const double k = xfmr.Coupling(earlier, later);
        Put(field, k, sec, name);
        if (k == 0.0) Fail(kZeroCouplingMessage, pair);
    };
    auto winding = [](int w) { return w == X::kReset ? std::string("the reset winding") : "secondary " + std::to_string(w); };
    double* priSec[4] = {&r.couplingPriSec1, &r.couplingPriSec2, &r.couplingPriSec3, &r.couplingPriSec4};
    for (int k = 1; k <= m_outputs; ++k)  // k(Sk; P)
        coupling(*priSec[k - 1], X::kPrimary, X::kPrimary + k, "secondary coupling", "the primary and " + winding(k));
    struct SecPair {
        int j, k;
        double* field;
    };
    const SecPair pairs[6] = {{1, 2, &r.couplingSec1Sec2}, {1, 3, &r.couplingSec1Sec3}, {1, 4, &r.couplingSec1Sec4},
                              {2, 3, &r.couplingSec2Sec3}, {2, 4, &r.couplingSec2Sec4}, {3, 4, &r.couplingSec3Sec4}};
    for (const SecPair& p : pairs)
        if (p.k <= m_outputs)  // k(Sk; Sj)
            coupling(*p.field, X::kPrimary + p.j, X::kPrimary + p.k, "secondary coupling",
                     winding(p.j) + " and " + winding(p.k));
    if (r.resetWindingOn) {
        Put(r.resetTurns, xfmr.m_dTurns[X::kReset], sec, "reset winding turns");
        Put(r.resetWindingNominal, xfmr.m_dOpenInductance[X::kReset], sec, "reset winding inductance");
        Put(r.resetWindingResistance, xfmr.m_dDcResistance[X::kReset], sec, "reset winding DC resistance");
        Put(r.resetWindingAcResistance, xfmr.m_dAcResistance[X::kReset], sec, "reset winding AC resistance");
        coupling(r.couplingPriReset, X::kPrimary, X::kReset, "reset winding coupling",
                 "the primary and " + winding(X::kReset));
        double* resetSec[4] = {&r.couplingResetSec1, &r.couplingResetSec2, &r.couplingResetSec3,
                               &r.couplingResetSec4};
        for (int k = 1; k <= m_outputs; ++k)  // k(Reset; Sk)
            coupling(*resetSec[k - 1], X::kPrimary + k, X::kReset, "reset winding coupling",
                     winding(k) + " and " + winding(X::kReset));
    }
    FillSaturationTable(kPowerXfmrTable, xfmr.m_CoreSatChar, xfmr.m_dOpenInductance[X::kPrimary],
                        "Power Transformer");

    // Switch SW1 (both switches of the two-switch variants).
    const CTransistorFE& sw1 = pri.GetSwitchSW1();
    CControlSection& ctl = *m_doc.GetControlSection();
    const double pwmDelay = ctl.GetComparator1().m_dDelay;
    const double limitDelay = LimitComparatorDelay(ctl);
    Put(r.primarySeriesResistance, OnResistanceAt(sw1), sec, "SW1 on resistance");        // at T
    Put(r.switch1DiodeParamA, sw1.m_dBodyDiodeForwardVoltage, sec, "SW1 body diode forward voltage");
    Put(r.switch1DiodeParamB, sw1.m_dBodyDiodeResistance, sec, "SW1 body diode resistance");
    Put(r.switchBreakdownVoltage, sw1.m_dBreakdownVoltage, sec, "SW1 breakdown voltage");
    Put(r.turnOnDelay, sw1.m_dTurnOnDelay + sw1.m_dRiseTime + pwmDelay, sec, "SW1 turn on delay");
    Put(r.stepSetupParamP, sw1.m_dTurnOffDelay + sw1.m_dFallTime + pwmDelay, sec, "SW1 turn off delay");
    Put(r.stepSetupParamQ, sw1.m_dTurnOffDelay + sw1.m_dFallTime + limitDelay, sec,
        "SW1 current limit turn off delay");
    Put(r.stepSetupParamR, sw1.m_dOutputCapacitance, sec, "SW1 output capacitance");
    // The output leakage delays (stepSetupParamB to E) keep their preset 0: the coupled
    // windings already model the commutation, so a delay would count it twice.

    // The switching transitions: the two switches in series of the two-switch variants, the
    // reset winding, the clamp's capacitor; the winding capacitances of the transformer.
    r.transitionDoubled = r.diode1On;
    r.transitionWinding = r.resetWindingOn;
    r.transitionClamp = r.hasClampCapacitor;
    r.primaryWindingCapacitance = xfmr.m_dCapacitance[X::kPrimary];
    if (r.resetWindingOn) r.resetWindingCapacitance = xfmr.m_dCapacitance[X::kReset];

    if (pri.HasClampSwitch()) {
        const CTransistorFE& sw2 = pri.GetSwitchSW2();
        // SW2 turns off after the drive's on-edge and on after its off-edge.
        Put(r.clampSwitchOnEdgeDelay, sw2.m_dTurnOffDelay + sw2.m_dFallTime + pwmDelay, sec, "SW2 turn off delay");
        Put(r.clampSwitchOffEdgeDelay, sw2.m_dTurnOnDelay + sw2.m_dRiseTime + pwmDelay, sec, "SW2 turn on delay");
        Put(r.clampSwitchLimitDelay, sw2.m_dTurnOnDelay + sw2.m_dRiseTime + limitDelay, sec,
            "SW2 current limit turn on delay");
        r.clampSwitchCapacitance = sw2.m_dOutputCapacitance;
        Put(r.clampSwitchOnResistance, OnResistanceAt(sw2), sec, "SW2 on resistance");
        Put(r.clampSwitchDiodeParamA, sw2.m_dBodyDiodeForwardVoltage, sec, "SW2 body diode forward voltage");
        Put(r.clampSwitchDiodeParamB, sw2.m_dBodyDiodeResistance, sec, "SW2 body diode resistance");
        Put(r.clampSwitchBreakdownVoltage, sw2.m_dBreakdownVoltage, sec, "SW2 breakdown voltage");
    }
    if (r.diode1On) {
        CDiode& d = pri.GetDiode1And2();
        Put(r.sectionQuantityParamI, ForwardVoltageAt(d), sec, "Diode 1 and 2 forward voltage");  // at T
        Put(r.runCheckParamB, d.m_dDynamicResistance, sec, "Diode 1 and 2 dynamic resistance");
        Put(r.stepSetupParamG, d.m_dJunctionCapacitance, sec, "Diode 1 and 2 junction capacitance");
        Put(r.rectifierBreakdownVoltage, d.m_dBreakdownVoltage, sec, "Diode 1 and 2 breakdown voltage");
    }
    if (IsIn(v, {2, 3})) {
        CDiode& d = pri.GetResetDiode();
        Put(r.resetRectifierBreakdownVoltage, d.m_dBreakdownVoltage, sec, "reset diode breakdown voltage");
        Put(r.sectionQuantityParamJ, ForwardVoltageAt(d), sec, "reset diode forward voltage");  // at T
        Put(r.runCheckParamC, d.m_dDynamicResistance, sec, "reset diode dynamic resistance");
        Put(r.stepSetupParamH, d.m_dJunctionCapacitance, sec, "reset diode junction capacitance");
    }
    if (IsIn(v, {8, 9})) {
        CDiode& d = pri.GetClampDiode();
        Put(r.clampRectifierBreakdownVoltage, d.m_dBreakdownVoltage, sec, "clamp diode breakdown voltage");
        Put(r.sectionQuantityParamH, ForwardVoltageAt(d), sec, "clamp diode forward voltage");  // at T
        Put(r.runCheckParamA, d.m_dDynamicResistance, sec, "clamp diode dynamic resistance");
        Put(r.stepSetupParamF, d.m_dJunctionCapacitance, sec, "clamp diode junction capacitance");
    }
    if (IsIn(v, {4, 5})) {
        CCapacitor& c = pri.GetResetCapacitor();
        Put(r.resetCapacitorBreakdownVoltage, c.m_dBreakdownVoltage, sec, "reset capacitor breakdown voltage");
        Put(r.clampCapacitance, CapacitanceAt(c), sec, "reset capacitance");  // the model's one capacitor
    }
    if (r.hasClampCapacitor) {
        CCapacitor& c = pri.GetClampCapacitor();
        Put(r.clampCapacitance, CapacitanceAt(c), sec, "clamp capacitance");
        Put(r.clampCapacitorBreakdownVoltage, c.m_dBreakdownVoltage, sec, "clamp capacitor breakdown voltage");
    }
    if (r.clampResistorOn) Put(r.clampResistance, ResistanceAt(pri.GetClampResistor()), sec, "clamp resistance");

    // Current sense.
    CResistor& rs = pri.GetSenseResistor();
    Put(r.senseResistance, ResistanceAt(rs), sec, "sense resistance");
    if (odd) {
        Put(r.senseResistorInductance, rs.m_dEsl, sec, "sense resistor ESL");
        Put(r.senseAmpGain, pri.GetSenseAmplifier().m_dVoltageGain, sec, "sense amplifier gain");
    } else {
        CTransformer& ct = pri.GetCurrentSenseTransformer();
        Put(r.senseXfmrCoupling, ct.m_dCoupling, sec, "current sense transformer coupling");
        // The record carries the windings' DC resistances alone: they keep them through the run.
        Put(r.senseXfmrWindingResistance, ct.m_dPrimaryDcResistance, sec, "current sense transformer resistance");
        Put(r.senseXfmrPrimaryTurnsCount, ct.m_dPrimaryTurns, sec, "current sense transformer primary turns");
        Put(r.senseXfmrSecondaryResistance, ct.m_dSecondaryDcResistance, sec,
            "current sense transformer secondary resistance");
        Put(r.senseXfmrSecondaryTurnsCount, ct.m_dSecondaryTurns, sec,
            "current sense transformer secondary turns");
        Put(r.senseXfmrSecondaryNominal, ct.m_dSecondaryInductance, sec,
            "current sense transformer secondary inductance");
        Put(r.senseRectifierBreakdownVoltage, pri.GetCurrentSenseDiode().m_dBreakdownVoltage, sec,
            "current sense diode breakdown voltage");
        Put(r.senseRectifierForwardVoltage, ForwardVoltageAt(pri.GetCurrentSenseDiode()), sec,
            "current sense diode forward voltage");  // at T
        // The sense path's further series element is the current sense diode.
        Put(r.senseSeriesResistance, pri.GetCurrentSenseDiode().m_dDynamicResistance, sec,
            "current sense diode dynamic resistance");
        FillSaturationTable(kSenseXfmrTable, ct.m_CoreSatChar, ct.m_dPrimaryInductance, "Current Sense Transformer");
    }
}

// ---------------------------------------------------------------------------------------
void CAnalysisFill::FillSecondaryRectifierInput(int k) {
    CSecondarySection& s = SecondaryOf(m_doc, k);
    SecondaryRectifierInputRec& r = *m_doc.GetSecondaryRectifierInput(k - 1);
    const CVoltageFeedbackNetwork& vfn = *m_doc.GetVoltageFeedbackNetwork();
    const size_t i = size_t(k - 1);
    // Modulator k's weight counts when the network enables it.
    Put(r.dutyWeight, vfn.m_bModulatorEnable[i] ? vfn.m_dModulatorWeight[i] / 100.0 : 0.0,  // per cent
        "voltage feedback network", "modulator weight");
    CPrimarySection& pri = *m_doc.GetPrimarySection();
    if (Chosen(pri)) {
        using X = CPwrTransformer;
        const CPwrTransformer& xfmr = pri.GetPowerTransformer();
        const char* sec = "power transformer";
        Put(r.windingTurns, xfmr.m_dTurns[size_t(X::kPrimary + k)], sec, "secondary turns");
        Put(r.nominalWindingInductance, xfmr.m_dOpenInductance[size_t(X::kPrimary + k)], sec,
            "secondary inductance");
        Put(r.windingResistance, xfmr.m_dDcResistance[size_t(X::kPrimary + k)], sec, "secondary DC resistance");
        Put(r.windingAcResistance, xfmr.m_dAcResistance[size_t(X::kPrimary + k)], sec, "secondary AC resistance");
        Put(r.stepSetupParamC, xfmr.m_dCapacitance[size_t(X::kPrimary + k)], sec, "secondary capacitance");
    }
    if (!Chosen(s)) return;
    const char* sec = "secondary section";
    r.sectionQuantityFlagA = 1;                                                 // rectifier 1
    r.sectionQuantityFlagB = 1;                                                 // rectifier 2
    r.frequencyAnalysisFlagA = Flag(s.GetRectifier1Kind() == CSecondarySection::SYNCHRONOUS);
    r.frequencyAnalysisFlagB = Flag(s.GetRectifier2Kind() == CSecondarySection::SYNCHRONOUS);
    r.resistiveRectifier = Flag(s.IsSynchronous());
    CDiode& d1 = s.GetDiodeRectifier1();
    CDiode& d2 = s.GetDiodeRectifier2();
    Put(r.diodeDrop, ForwardVoltageAt(d1), sec, "Diode Rectifier 1 forward voltage");     // at T
    Put(r.dynamicResistance, d1.m_dDynamicResistance, sec, "Diode Rectifier 1 dynamic resistance");
    Put(r.rectifier1BreakdownVoltage, d1.m_dBreakdownVoltage, sec, "Diode Rectifier 1 breakdown voltage");
    Put(r.stepSetupParamA, d1.m_dJunctionCapacitance, sec, "Diode Rectifier 1 junction capacitance");
    Put(r.forwardVoltage, ForwardVoltageAt(d2), sec, "Diode Rectifier 2 forward voltage");  // at T
    Put(r.secondDynamicResistance, d2.m_dDynamicResistance, sec, "Diode Rectifier 2 dynamic resistance");
    Put(r.rectifier2BreakdownVoltage, d2.m_dBreakdownVoltage, sec, "Diode Rectifier 2 breakdown voltage");
    Put(r.stepSetupParamB, d2.m_dJunctionCapacitance, sec, "Diode Rectifier 2 junction capacitance");
    // The transistor rectifiers' drive delays: rectifier 1 turns on after the drive's on-edge,
    // rectifier 2 after its off-edge.
    CControlSection& ctl = *m_doc.GetControlSection();
    const double pwmDelay = ctl.GetComparator1().m_dDelay;
    const double limitDelay = LimitComparatorDelay(ctl);
    if (r.frequencyAnalysisFlagA) {
        const CTransistorFE& q = s.GetTransistorRectifier1();
        Put(r.rect1OnEdgeDelay, q.m_dTurnOnDelay + q.m_dRiseTime + pwmDelay, sec, "Transistor Rectifier 1 turn on delay");
        Put(r.rect1OffEdgeDelay, q.m_dTurnOffDelay + q.m_dFallTime + pwmDelay, sec,
            "Transistor Rectifier 1 turn off delay");
        Put(r.rect1LimitDelay, q.m_dTurnOffDelay + q.m_dFallTime + limitDelay, sec,
            "Transistor Rectifier 1 current limit turn off delay");
    }
    if (r.frequencyAnalysisFlagB) {
        const CTransistorFE& q = s.GetTransistorRectifier2();
        Put(r.rect2OnEdgeDelay, q.m_dTurnOffDelay + q.m_dFallTime + pwmDelay, sec, "Transistor Rectifier 2 turn off delay");
        Put(r.rect2OffEdgeDelay, q.m_dTurnOnDelay + q.m_dRiseTime + pwmDelay, sec, "Transistor Rectifier 2 turn on delay");
        Put(r.rect2LimitDelay, q.m_dTurnOnDelay + q.m_dRiseTime + limitDelay, sec,
            "Transistor Rectifier 2 current limit turn on delay");
    }
    if (r.frequencyAnalysisFlagA) {
        CTransistorFE& q = s.GetTransistorRectifier1();
        Put(r.onResistance, OnResistanceAt(q), sec, "Transistor Rectifier 1 on resistance");
        Put(r.syncRectifier1BreakdownVoltage, q.m_dBreakdownVoltage, sec,
            "Transistor Rectifier 1 breakdown voltage");
        Put(r.secondDiodeVoltage, q.m_dBodyDiodeForwardVoltage, sec, "Transistor Rectifier 1 body diode voltage");
        Put(r.secondDiodeResistance, q.m_dBodyDiodeResistance, sec, "Transistor Rectifier 1 body diode resistance");
    }
    if (r.frequencyAnalysisFlagB) {
        CTransistorFE& q = s.GetTransistorRectifier2();
        Put(r.secondOnResistance, OnResistanceAt(q), sec, "Transistor Rectifier 2 on resistance");
        Put(r.syncRectifier2BreakdownVoltage, q.m_dBreakdownVoltage, sec,
            "Transistor Rectifier 2 breakdown voltage");
        Put(r.bodyDiode2Voltage, q.m_dBodyDiodeForwardVoltage, sec, "Transistor Rectifier 2 body diode voltage");
        Put(r.bodyDiode2Resistance, q.m_dBodyDiodeResistance, sec, "Transistor Rectifier 2 body diode resistance");
    }
}

// ---------------------------------------------------------------------------------------
void CAnalysisFill::FillOutputChokeInput(int k) {
    COutputChoke& c = ChokeOf(m_doc, k);
    OutputChokeInputRec& r = *m_doc.GetOutputChokeInput(k - 1);
    const size_t i = size_t(k - 1);
    CControlSection& ctl = *m_doc.GetControlSection();
    const CCurrentFeedbackNetwork& cfn = *m_doc.GetCurrentFeedbackNetwork();
    const CCurrentLimitNetwork& cln = *m_doc.GetCurrentLimitNetwork();
    // The current networks weigh the choke currents only when the control senses the choke.
    Put(r.senseWeight,
        (Chosen(ctl) && ctl.IsFeedbackSourceNotPrimary() && cfn.m_bOutputEnable[i]) ? cfn.m_dOutputWeight[i] / 100.0
                                                                                   : 0.0,
        "current feedback network", "output weight");
    Put(r.currentSenseWeight,
        (Chosen(ctl) && ctl.IsLimitSourceChoke() && cln.m_bOutputEnable[i]) ? cln.m_dOutputWeight[i] / 100.0 : 0.0,
        "current limit network", "output weight");
    if (!Chosen(c)) return;
    const char* sec = "output choke";
    r.chokeOn = 1;
    r.skimWindingOn = Flag(c.GetTopology() == 1);
    r.seriesElementOn = 1;                        // Resistor Sense in both variants
    r.engineSetupFlagA = 1;                       // its sense amplifier
    CResistor& rs = c.GetSenseResistor();
    Put(r.seriesResistance, ResistanceAt(rs), sec, "Resistor Sense resistance");
    Put(r.seriesInductance, rs.m_dEsl, sec, "Resistor Sense ESL");
    Put(r.seriesElementFactor, c.GetSenseAmplifier().m_dVoltageGain, sec, "Amplifier Sense gain");
    CInductor& l = c.GetInductorOut1();
    Put(r.inductance, l.m_dInductance, sec, "Inductor Out 1 inductance");
    Put(r.windingResistance, l.m_dDcResistance, sec, "Inductor Out 1 DC resistance");
    Put(r.chokeAcResistance, l.m_dAcResistance, sec, "Inductor Out 1 AC resistance");
    Put(r.chokeCoreLoss, l.m_dCorePowerLoss, sec, "Inductor Out 1 core loss");
    FillSaturationTable(OutputTableIndex(k, kChokeTable), l.m_CoreSatChar, l.m_dInductance,
                        fw::Format("Inductor Out 1 of output %d", k));
    if (r.skimWindingOn) {
        CInductor& skim = c.GetSkimInductor();
        Put(r.skimResistance, skim.m_dDcResistance, sec, "Inductor Skim DC resistance");
        Put(r.skimAcResistance, skim.m_dAcResistance, sec, "Inductor Skim AC resistance");
        Put(r.skimCoreLoss, skim.m_dCorePowerLoss, sec, "Inductor Skim core loss");
        FillSaturationTable(OutputTableIndex(k, kSkimTable), skim.m_CoreSatChar, skim.m_dInductance,
                            fw::Format("Inductor Skim of output %d", k));
    }
}

// ---------------------------------------------------------------------------------------
void CAnalysisFill::FillOutputFilterInput(int k) {
    OutputFilterInputRec& r = *m_doc.GetOutputFilterInput(k - 1);
    const size_t i = size_t(k - 1);
    CPrimarySection& pri = *m_doc.GetPrimarySection();
    if (Chosen(pri)) {
        const CPrimarySection::WindingArrangement w = pri.GetWindingArrangement(*m_doc.GetRequirements());
        r.outputSign = w.polarity[i];                                              // s(k)
        Put(r.secondaryTurns, w.effectiveTurns[i], "power transformer", "effective turns");  // T(k)
    }
    const CVoltageFeedbackNetwork& vfn = *m_doc.GetVoltageFeedbackNetwork();
    Put(r.engineSetupParamA, vfn.m_dModulatorRC[i], "voltage feedback network", "modulator RC");

    C1StgOutputFilter& f1 = FirstStageOf(m_doc, k);
    if (Chosen(f1)) {
        const char* sec = "first stage output filter";
        const int v = f1.GetTopology();
        r.sectionQuantityFlagA = v;
        r.capacitorOn = 1;                                                         // Capacitor Out 1, always
        r.hasCapA2 = Flag(IsIn(v, {1, 3}));                                        // Capacitor Damp 1
        r.timeRunFlagA = r.hasCapA2;                                               // its damping branch
        const bool sensing = f1.HasCurrentSensing() != 0;
        r.senseDiodeOn = Flag(sensing);
        r.senseResistorOn = Flag(sensing);
        r.senseXfmrOn = Flag(sensing);
        r.biasDividerOn = Flag(sensing);
        r.senseBranchAOn = Flag(sensing);                                          // Resistor Cap Sense
        r.senseBranchBOn = Flag(sensing);                                          // Resistor Bias 1
        CCapacitor& c = f1.GetCapacitorOut1();                                     // C.OUT1 group
        Put(r.capacitorBreakdownVoltage, c.m_dBreakdownVoltage, sec, "Capacitor Out 1 breakdown voltage");
        Put(r.rippleInductance, c.m_dEsl, sec, "Capacitor Out 1 ESL");
        Put(r.rippleResistance, EsrAt(c), sec, "Capacitor Out 1 ESR");
        Put(r.sectionQuantityParamA, 0.0, sec, "Capacitor Out 1 leakage term");
        Put(r.sectionQuantityParamB, 0.0, sec, "Capacitor Out 1 leakage term");
        Put(r.capACapacitance, CapacitanceAt(c), sec, "Capacitor Out 1 capacitance");
        if (r.hasCapA2) {
            CCapacitor& cd = f1.GetCapacitorDamp1();                                   // C.DAMP1 group
            Put(r.dampingCapacitorBreakdownVoltage, cd.m_dBreakdownVoltage, sec, "Capacitor Damp 1 breakdown voltage");
            Put(r.sectionQuantityParamC, cd.m_dEsl, sec, "Capacitor Damp 1 ESL");
            Put(r.sectionQuantityParamD, EsrAt(cd), sec, "Capacitor Damp 1 ESR");
            Put(r.sectionQuantityParamE, 0.0, sec, "Capacitor Damp 1 leakage term");
            Put(r.sectionQuantityParamF, 0.0, sec, "Capacitor Damp 1 leakage term");
            Put(r.sectionQuantityParamG, CapacitanceAt(cd), sec, "Capacitor Damp 1 capacitance");
            Put(r.filterTermParamA, ResistanceAt(f1.GetResistorDamp1()), sec, "Resistor Damp 1");   // in series
            Put(r.filterTermParamB, f1.GetResistorDamp1().m_dEsl, sec, "Resistor Damp 1 ESL");
        }
        if (sensing) {
            CTransformer& ct = f1.GetCurrentSenseTransformer();
            Put(r.csCoupling, ct.m_dCoupling, sec, "current sense transformer coupling");
            Put(r.senseResistance, ResistanceAt(f1.GetResistorCapSense()), sec, "Resistor Cap Sense");
            Put(r.biasVoltage, f1.GetVoltageSourceVBias().m_dDCMagnitude, sec, "Voltage Source V Bias");
            Put(r.biasUpperResistance, ResistanceAt(f1.GetResistorBias1()), sec, "Resistor Bias 1");
            Put(r.csTermA, ResistanceAt(f1.GetResistorBias2()), sec, "Resistor Bias 2");
            Put(r.csTermC, ResistanceAt(f1.GetResistorCapSense()), sec, "Resistor Cap Sense (bias divider)");
            Put(r.filterTermParamE, CapacitanceAt(f1.GetCapacitorBias()), sec, "Capacitor Bias capacitance");
            Put(r.sectionQuantityParamR, ForwardVoltageAt(f1.GetCurrentSenseDiode()), sec,
                "Current Sense Diode forward voltage");
            Put(r.csScaleNum, ct.m_dSecondaryInductance, sec, "current sense transformer secondary inductance");
            Put(r.csScaleDen, ct.m_dPrimaryInductance, sec, "current sense transformer primary inductance");
            Put(r.senseDiodeResistance, f1.GetCurrentSenseDiode().m_dDynamicResistance, sec,
                "Current Sense Diode dynamic resistance");
            Put(r.senseRectifierBreakdownVoltage, f1.GetCurrentSenseDiode().m_dBreakdownVoltage, sec,
                "Current Sense Diode breakdown voltage");
            Put(r.senseXfmrResistance, ct.m_dPrimaryDcResistance, sec, "current sense transformer resistance");
            Put(r.senseXfmrAcResistance, ct.m_dPrimaryAcResistance, sec,
                "current sense transformer AC resistance");
            Put(r.senseXfmrCoreLoss, ct.m_dCorePowerLoss, sec, "current sense transformer core loss");
            Put(r.senseXfmrPrimaryTurns, ct.m_dPrimaryTurns, sec, "current sense transformer primary turns");
            Put(r.senseXfmrSecondaryResistance, ct.m_dSecondaryDcResistance, sec,
                "current sense transformer secondary resistance");
            Put(r.senseXfmrSecondaryAcResistance, ct.m_dSecondaryAcResistance, sec,
                "current sense transformer secondary AC resistance");
            Put(r.senseXfmrSecondaryTurns, ct.m_dSecondaryTurns, sec, "current sense transformer secondary turns");
            FillSaturationTable(OutputTableIndex(k, kCapSenseXfmrTable), ct.m_CoreSatChar, ct.m_dPrimaryInductance,
                                fw::Format("Current Sense Transformer of output %d", k));
        }
    }

    C2StgOutputFilter& f2 = SecondStageOf(m_doc, k);
    if (Chosen(f2)) {
        const char* sec = "second stage output filter";
        const int v = f2.GetTopology();
        r.sectionQuantityFlagB = v;
        r.hasCapB = Flag(v >= 1 && v <= 6);                                        // Capacitor Out 2
        r.hasInductorB = r.hasCapB;                                                // Inductor Out 2
        r.hasCapB2 = Flag(IsIn(v, {3, 5, 6}));                                     // Capacitor Damp 2
        r.timeRunFlagB = r.hasCapB2;                                               // its damping branch
        r.hasDampingB = Flag(IsIn(v, {2, 4, 5, 6}));                               // Resistor Damp 2
        r.dampingInductorOn = Flag(IsIn(v, {4, 6}));                               // Inductor Out 3
        if (r.hasCapB) {
            CCapacitor& c = f2.GetCapacitorOut2();
            Put(r.outputCapacitorBreakdownVoltage, c.m_dBreakdownVoltage, sec, "Capacitor Out 2 breakdown voltage");
            Put(r.sectionQuantityParamH, c.m_dEsl, sec, "Capacitor Out 2 ESL");
            Put(r.sectionQuantityParamI, EsrAt(c), sec, "Capacitor Out 2 ESR");
            Put(r.sectionQuantityParamJ, 0.0, sec, "Capacitor Out 2 leakage term");
            Put(r.sectionQuantityParamK, 0.0, sec, "Capacitor Out 2 leakage term");
            Put(r.capBCapacitance, CapacitanceAt(c), sec, "Capacitor Out 2 capacitance");
            CInductor& l = f2.GetInductorOut2();
            Put(r.secondInductorResistance, l.m_dDcResistance, sec, "Inductor Out 2 DC resistance");
            Put(r.secondInductorAcResistance, l.m_dAcResistance, sec, "Inductor Out 2 AC resistance");
            Put(r.secondInductorCoreLoss, l.m_dCorePowerLoss, sec, "Inductor Out 2 core loss");
            FillSaturationTable(OutputTableIndex(k, kSecondStageInductorTable), l.m_CoreSatChar, l.m_dInductance,
                                fw::Format("Inductor Out 2 of output %d", k));
        }
        if (r.hasCapB2) {
            CCapacitor& c = f2.GetCapacitorDamp2();                                   // C.DAMP2 group
            Put(r.outputDampingCapacitorBreakdownVoltage, c.m_dBreakdownVoltage, sec,
                "Capacitor Damp 2 breakdown voltage");
            Put(r.sectionQuantityParamL, c.m_dEsl, sec, "Capacitor Damp 2 ESL");
            Put(r.sectionQuantityParamM, EsrAt(c), sec, "Capacitor Damp 2 ESR");
            Put(r.sectionQuantityParamN, 0.0, sec, "Capacitor Damp 2 leakage term");
            Put(r.sectionQuantityParamO, 0.0, sec, "Capacitor Damp 2 leakage term");
            Put(r.filterTermParamC, CapacitanceAt(c), sec, "Capacitor Damp 2 capacitance");
            Put(r.filterTermParamD, ResistanceAt(f2.GetResistorDamp3()), sec, "Resistor Damp 3");  // in series
        }
        if (r.hasDampingB) Put(r.dampingResistance, ResistanceAt(f2.GetResistorDamp2()), sec, "Resistor Damp 2");
        if (r.dampingInductorOn) {
            CInductor& l = f2.GetInductorOut3();
            Put(r.dampingInductorResistance, l.m_dDcResistance, sec, "Inductor Out 3 DC resistance");
            Put(r.dampingInductorAcResistance, l.m_dAcResistance, sec, "Inductor Out 3 AC resistance");
            Put(r.dampingInductorCoreLoss, l.m_dCorePowerLoss, sec, "Inductor Out 3 core loss");
            FillSaturationTable(OutputTableIndex(k, kDampingInductorTable), l.m_CoreSatChar, l.m_dInductance,
                                fw::Format("Inductor Out 3 of output %d", k));
        }
    }
}

// ---------------------------------------------------------------------------------------
void CAnalysisFill::FillLoadNetworkInput(int k) {
    LoadNetworkInputRec& r = *m_doc.GetLoadNetworkInput(k - 1);
    const size_t i = size_t(k - 1);
    const CVoltageFeedbackNetwork& vfn = *m_doc.GetVoltageFeedbackNetwork();
    const COutput* out = m_doc.GetRequirements()->GetOutput(k - 1);
    const char* sec = "load network";
    Put(r.rippleWeight, vfn.m_bOutputEnable[i] ? vfn.m_dOutputWeight[i] / 100.0 : 0.0,  // per cent
        "voltage feedback network", "output weight");
    Put(r.outputVoltage, out ? out->GetTargetVoltage() : NOT_SET, "requirements", "target voltage");
    CLoadNetwork& ld = LoadOf(m_doc, k);
    if (!Chosen(ld)) return;
    const int v = ld.GetTopology();
    r.sectionQuantityFlagA = v;
    r.resistorOn = Flag(IsIn(v, {0, 1, 3}));                                           // Resistor Load2
    r.inductorOn = Flag(IsIn(v, {1, 3}));                                              // Inductor Load2
    r.currentSourceOn = Flag(IsIn(v, {2, 3}));                                         // Current Source I Load
    r.firstBranchOn = Flag(v == 3);                                                    // Resistor Load1
    r.firstInductorOn = Flag(v == 3);                                                  // Inductor Load1
    if (r.resistorOn) {
        CResistor& rl = ld.GetResistorLoad2();
        Put(r.resistance, ResistanceAt(rl), sec, "Resistor Load2 resistance");
        Put(r.closedFormParamB, rl.m_dEsl, sec, "Resistor Load2 ESL");
    }
    if (r.inductorOn) {
        CInductor& l = ld.GetInductorLoad2();
        Put(r.inductorResistance, l.m_dDcResistance, sec, "Inductor Load2 DC resistance");
        Put(r.inductorAcResistance, l.m_dAcResistance, sec, "Inductor Load2 AC resistance");
        FillSaturationTable(OutputTableIndex(k, kLoadInductor2Table), l.m_CoreSatChar, l.m_dInductance,
                            fw::Format("Inductor Load2 of output %d", k));
    }
    if (r.firstBranchOn) {
        Put(r.firstResistance, ResistanceAt(ld.GetResistorLoad1()), sec, "Resistor Load1 resistance");
        CInductor& l = ld.GetInductorLoad1();
        Put(r.firstInductorResistance, l.m_dDcResistance, sec, "Inductor Load1 DC resistance");
        Put(r.firstInductorAcResistance, l.m_dAcResistance, sec, "Inductor Load1 AC resistance");
        FillSaturationTable(OutputTableIndex(k, kLoadInductor1Table), l.m_CoreSatChar, l.m_dInductance,
                            fw::Format("Inductor Load1 of output %d", k));
    }
    if (r.currentSourceOn) {
        CCrntVoltSource& src = ld.GetCurrentSourceILoad();
        Put(r.sourceCurrent, src.m_dDCMagnitude, sec, "I Load DC current");
        Put(r.sourceSineAmplitude, src.m_dACPeakMagnitude, sec, "I Load AC peak");
        Put(r.sourceFrequency, src.m_dACFrequency, sec, "I Load AC frequency");
        FillTransientTable(kLoadSourceBlockTable + k - 1, src.m_Transient, fw::Format("I Load of output %d", k));
    }
}

// ---------------------------------------------------------------------------------------
void CAnalysisFill::FillControlInput() {
    CControlSection& c = *m_doc.GetControlSection();
    if (!Chosen(c)) return;
    ControlInputRec& r = *m_doc.GetControlInput();
    const char* sec = "control section";
    const int mode = c.GetTopology();
    r.controlMode = mode;
    // VIS takes part in the current modes only; the others sense the primary.
    const bool hasVIS = IsIn(mode, {CControlSection::PEAK_CURRENT, CControlSection::HYSTERETIC_CURRENT,
                                    CControlSection::AVERAGE_CURRENT});
    r.senseSource = hasVIS ? c.GetFeedbackCurrentSourceVIS().m_iSensedCurrent : 0;        // VIS: 0, 1, 2
    r.currentSenseSource = Flag(c.GetLimitCurrentSourceVISCL().m_iSensedCurrent ==
                                CCrntSensSource::SENSE_CHOKE);                               // VISCL

    // Sawtooth clock, in every mode but hysteretic control.
    r.clockEnabled = Flag(mode != CControlSection::HYSTERETIC_CURRENT);
    if (r.clockEnabled) {
        const CSawtoothClock& clk = c.GetSawtoothClock();
        const double pp = clk.m_dPeakToValleyVoltage;
        const double rising = clk.m_dPositiveSlopeDutyRatio / 100.0;                          // per cent
        const double period = 1.0 / clk.m_dFrequency;
        Put(r.clockUpperLimit, clk.m_dDcAverageVoltage + pp / 2.0, sec, "clock upper limit");
        Put(r.clockLowerLimit, clk.m_dDcAverageVoltage - pp / 2.0, sec, "clock lower limit");
        Put(r.clockSecondSlope, pp / (rising * period), sec, "clock rising slope");
        Put(r.clockFirstSlope, -pp / ((1.0 - rising) * period), sec, "clock falling slope");
        Put(r.clockBlankingFraction, clk.m_dBlankingDutyRatio / 100.0, sec, "clock leading edge blanking");
        r.clockInhibitDuringReset = Flag(clk.m_nInhibitDuringReset != 0);
    }
    const CComparator& pwm = c.GetComparator1();
    Put(r.pwmLogicVoltage, pwm.m_dLogicVoltage, sec, "Comparator PWM logic voltage");
    r.pwmLogicVoltageInPercent = Flag(pwm.m_nLogicVoltageInPercent != 0);

    // Current limit: Comparator PWM2 against IRef through the ISCL filter, in every mode.
    r.currentLimitEnabled = 1;
    Put(r.currentLimitThreshold, c.GetVoltageSourceIRef().m_dDCMagnitude, sec, "IRef");
    Put(r.currentLimitFilterResistance, ResistanceAt(c.GetResistorISCL()), sec, "ISCL resistor");
    Put(r.currentLimitFilterCapacitance, CapacitanceAt(c.GetCapacitorISCL()), sec, "ISCL capacitor");

    // Soft start: CSS charged by ISS, offset by USS; Comparator PWM2 may discharge it.
    r.softStartCapOn = 1;
    r.softStartControlOn = 1;
    Put(r.softStartRate, c.GetCurrentSourceISS().m_dDCMagnitude / CapacitanceAt(c.GetCapacitorSS()), sec,
        "soft start rate");
    Put(r.softStartOffset, c.GetVoltageSourceUSS().m_dDCMagnitude, sec, "USS");
    const CComparator& pwm2 = c.GetComparator2();
    r.softStartResetEnabled = Flag(pwm2.m_nSoftStartDischarge != 0);
    Put(r.softStartResetThreshold, pwm2.m_dSoftStartThreshold, sec, "Comparator PWM2 soft start threshold");
    // The design holds one flag for the discharge; the reset's second condition follows it
    // (left clear, the discharge would never happen).
    r.softStartResetArmed = r.softStartResetEnabled;

    // Error injection UE, every mode.
    CCrntVoltSource& ue = c.GetVoltageSourceUE();
    r.errorInjectionOn = Flag(SourceVaries(ue));
    Put(r.errorAmpOffset, ue.m_dDCMagnitude, sec, "UE DC");
    Put(r.errorInjectionAmplitude, ue.m_dACPeakMagnitude, sec, "UE AC peak");
    Put(r.errorInjectionFrequency, ue.m_dACFrequency, sec, "UE AC frequency");
    FillTransientTable(kErrorInjectionBlockTable, ue.m_Transient, "UE");
    // Current injection UI only in the current modes; the others inject nothing.
    const bool hasUI = hasVIS;
    CCrntVoltSource& ui = c.GetVoltageSourceUI();
    r.currentInjectionOn = Flag(hasUI && SourceVaries(ui));
    Put(r.currentInjectionOffset, hasUI ? ui.m_dDCMagnitude : 0.0, sec, "UI DC");
    Put(r.currentInjectionAmplitude, hasUI ? ui.m_dACPeakMagnitude : 0.0, sec, "UI AC peak");
    Put(r.currentInjectionFrequency, hasUI ? ui.m_dACFrequency : 0.0, sec, "UI AC frequency");
    if (hasUI) FillTransientTable(kCurrentInjectionBlockTable, ui.m_Transient, "UI");

    // The hysteretic reference belongs to hysteretic control alone; the other modes take 0.
    if (mode != CControlSection::HYSTERETIC_CURRENT) Put(r.referenceValue, 0.0, sec, "hysteretic reference");
    // The current error amplifier of average current control.
    if (mode == CControlSection::AVERAGE_CURRENT) {
        r.hasCurrentAmp = 1;
        const COperationalAmplifier& op = c.GetOperationalAmplifier();
        Put(r.currentEaUpperLimit, op.m_dMaximumOutput, sec, "operational amplifier maximum output");
        Put(r.currentEaLowerLimit, op.m_dMinimumOutput, sec, "operational amplifier minimum output");
        Put(r.currentAmpInputResistance, ResistanceAt(c.GetResistor4()), sec, "Resistor 4");
        Put(r.currentAmpSeriesResistance, ResistanceAt(c.GetResistor5()), sec, "Resistor 5");
        Put(r.currentAmpSeriesCapacitance, CapacitanceAt(c.GetCapacitor4()), sec, "Capacitor 4");
        Put(r.currentAmpParallelCapacitance, CapacitanceAt(c.GetCapacitor5()), sec, "Capacitor 5");
    }

    // The current ramp of peak current control.
    if (mode == CControlSection::PEAK_CURRENT) {
        Put(r.rampFilterResistance, ResistanceAt(c.GetResistor7()), sec, "Resistor 7");
        Put(r.rampFilterCapacitance, CapacitanceAt(c.GetCapacitor6()), sec, "Capacitor 6");
        Put(r.slopeResistance, ResistanceAt(c.GetResistor8()), sec, "Resistor 8");
        Put(r.slopeCapacitance, CapacitanceAt(c.GetCapacitor7()), sec, "Capacitor 7");
        Put(r.slopeEmitterResistance, ResistanceAt(c.GetResistor9Peak()), sec, "Resistor 9");
        Put(r.slopeTransistorVbe, c.GetBipolarTransistorQ1().m_dForwardBiasVoltage, sec, "Q1 forward bias voltage");
    }

    // Hysteretic current control: the sense filtered by R7 into C6; the comparator output at its
    // logic level (or per cent of the bulk) through C8 and R10 onto the non-inverting input, which
    // R9 ties to the control voltage (the window is VL·R9/(R10 + R9) wide).
    if (mode == CControlSection::HYSTERETIC_CURRENT) {
        r.rampCapacitorOn = 1;
        Put(r.rampResistance, ResistanceAt(c.GetResistor7()), sec, "Resistor 7");
        Put(r.rampCapacitance, CapacitanceAt(c.GetCapacitor6()), sec, "Capacitor 6");
        r.hystOn = 1;
        r.hystAux1On = 1;
        r.hystAux2On = 1;
        r.hystInputOn = 1;
        Put(r.hystFilterResistance, ResistanceAt(c.GetResistor10()), sec, "Resistor 10");
        Put(r.hystFilterCapacitance, CapacitanceAt(c.GetCapacitor8()), sec, "Capacitor 8");
        Put(r.hystDividerResistance, ResistanceAt(c.GetResistor9()), sec, "Resistor 9");
        Put(r.referenceValue, pwm.m_dLogicVoltage, sec, "Comparator PWM logic voltage");
        r.referenceInPercent = Flag(pwm.m_nLogicVoltageInPercent != 0);
    }

    // Voltage feed-forward ramp and the reset switch.
    if (mode == CControlSection::VOLTAGE_FEED_FORWARD) {
        r.feedForwardOn = 1;
        r.rampCapacitorOn = 1;
        Put(r.rampResistance, ResistanceAt(c.GetResistorFF()), sec, "Resistor FF");
        Put(r.rampCapacitance, CapacitanceAt(c.GetCapacitorFF()), sec, "Capacitor FF");
        r.resetSwitchOn = 1;
        Put(r.resetSwitchResistance, c.GetResetSwitch().m_dOnResistance, sec, "reset switch on resistance");
    }
}

void CAnalysisFill::FillVoltageErrorAmpInput() {
    CVoltageErrorAmp& a = *m_doc.GetVoltageErrorAmp();
    if (!Chosen(a)) return;
    ControlInputRec& r = *m_doc.GetControlInput();
    const char* sec = "voltage error amplifier";
    const int v = a.GetTopology();
    const int base = v % 4;  // the network without the DC feedback resistor
    r.veaVariant = v;
    r.veaOn = 1;
    const COperationalAmplifier& op = a.GetOperationalAmplifier();
    Put(r.errorUpperLimit, op.m_dMaximumOutput, sec, "operational amplifier maximum output");
    Put(r.veaLowerLimit, op.m_dMinimumOutput, sec, "operational amplifier minimum output");
    CCrntVoltSource& ref = a.GetVoltageSourceVRef();
    Put(r.veaReferenceValue, ref.m_dDCMagnitude, sec, "VRef DC");
    Put(r.veaReferenceAmplitude, ref.m_dACPeakMagnitude, sec, "VRef AC peak");
    Put(r.veaReferenceFrequency, ref.m_dACFrequency, sec, "VRef AC frequency");
    r.veaReferenceAcOn = Flag(SourceVaries(ref));
    FillTransientTable(kVeaReferenceBlockTable, ref.m_Transient, "VRef of the voltage error amplifier");
    // At the target voltage the weighted feedback equals the reference.
    Put(r.feedbackGain, ref.m_dDCMagnitude, sec, "feedback gain");
    const CUnderVoltLockOut& uvlo = a.GetUnderVoltLockOut();
    Put(r.lockoutLevelA, uvlo.m_dTurnOnVoltage, sec, "UVLO turn on voltage");
    Put(r.lockoutLevelB, uvlo.m_dTurnOffVoltage, sec, "UVLO turn off voltage");

    // The network of each variant: R1 always; R2, C1 in 0; C3 in 0, 1, 3; R3, C2 in 0, 1, 2;
    // Rfb in 4-7.
    Put(r.veaResistor1, ResistanceAt(a.GetResistor1()), sec, "Resistor 1");
    if (base == 0) {
        Put(r.veaResistor2, ResistanceAt(a.GetResistor2()), sec, "Resistor 2");
        Put(r.veaCapacitor1, CapacitanceAt(a.GetCapacitor1()), sec, "Capacitor 1");
    }
    if (IsIn(base, {0, 1, 3})) Put(r.veaCapacitor3, CapacitanceAt(a.GetCapacitor3()), sec, "Capacitor 3");
    if (IsIn(base, {0, 1, 2})) {
        Put(r.veaResistor3, ResistanceAt(a.GetResistor3()), sec, "Resistor 3");
        Put(r.veaCapacitor2, CapacitanceAt(a.GetCapacitor2()), sec, "Capacitor 2");
    }
    if (v >= 4) Put(r.veaFeedbackResistor, ResistanceAt(a.GetResistorFeedback()), sec, "Resistor Feedback");
}

void CAnalysisFill::FillOptoIsolatorInput() {
    COptoIsolator& o = *m_doc.GetOptoIsolator();
    if (!Chosen(o)) return;
    ControlInputRec& r = *m_doc.GetControlInput();
    r.optoVariant = o.GetTopology();
    if (o.GetTopology() == COptoIsolator::kTopologyNone) return;
    const char* sec = "opto-isolator";
    Put(r.ledBreakdownVoltage, o.GetDiodeLED().m_dBreakdownVoltage, sec, "Diode LED breakdown voltage");
    CCrntVoltSource& ref = o.GetVoltageSourceVRef();
    Put(r.optoReferenceValue, ref.m_dDCMagnitude, sec, "VRef DC");
    Put(r.optoReferenceAmplitude, ref.m_dACPeakMagnitude, sec, "VRef AC peak");
    Put(r.optoReferenceFrequency, ref.m_dACFrequency, sec, "VRef AC frequency");
    FillTransientTable(kOptoReferenceBlockTable, ref.m_Transient, "VRef of the opto-isolator");

    // The arrangement's parts: the LED chain in every one, the drive transistor in the current
    // drives (1, 3), the pole capacitor in 2 and 5, the op-amp inverter in 3-5.
    const int v = o.GetTopology();
    const COptoIsoDriverSource& drv = o.GetDriverSource();
    r.optoDriveSource = drv.m_nDriverSource;
    Put(r.optoDriveVoltage, drv.m_dSourceVoltage, sec, "Driver Source voltage");
    Put(r.optoDriveResistance, ResistanceAt(o.GetDriveResistor()), sec, "Drive Resistor");
    Put(r.optoLedVoltage, ForwardVoltageAt(o.GetDiodeLED()), sec, "Diode LED forward voltage");  // at T
    Put(r.optoLedResistance, o.GetDiodeLED().m_dDynamicResistance, sec, "Diode LED dynamic resistance");
    if (IsIn(v, {1, 3}))
        Put(r.optoDriveTransistorVbe, o.GetDriveTransistor().m_dForwardBiasVoltage, sec, "Drive Transistor VBE");
    Put(r.optoBiasVoltage, o.GetBiasVoltage().m_dBiasVoltage, sec, "Bias Voltage");
    r.optoOutputBias = r.optoBiasVoltage;  // Bias Voltage, as the steady-state estimate and its display take it
    Put(r.optoCurrentTransferRatio, o.GetPhotoTransistor().m_dCurrentTransferRatio, sec,
        "Photo Transistor current transfer ratio");
    Put(r.optoBandwidth, o.GetPhotoTransistor().m_dBandwidth, sec, "Photo Transistor bandwidth");
    Put(r.optoLoadResistance, ResistanceAt(o.GetLoadResistor()), sec, "Load Resistor");
    if (IsIn(v, {2, 5})) Put(r.optoPoleCapacitance, CapacitanceAt(o.GetPoleCapacitor()), sec, "Pole Capacitor");
    if (IsIn(v, {3, 4, 5})) {
        Put(r.optoAmpResistor1, ResistanceAt(o.GetResistorAmp1()), sec, "Resistor Amp1");
        Put(r.optoAmpResistor2, ResistanceAt(o.GetResistorAmp2()), sec, "Resistor Amp2");
        const COperationalAmplifier& op = o.GetOperationalAmplifier();
        Put(r.optoAmpUpperLimit, op.m_dMaximumOutput, sec, "operational amplifier maximum output");
        Put(r.optoAmpLowerLimit, op.m_dMinimumOutput, sec, "operational amplifier minimum output");
    }
}
