#include "circuit/Stimulus.h"

#include <cmath>

#include "circuit/LoadCheck.h"
#include "platform/core/Fields.h"
#include "records/Record.h"

namespace {
fw::RegisterClass<CFreqDomainStimulusCfg> g_register("CFreqDomainStimulusCfg");

constexpr std::array<double, CFreqDomainStimulusCfg::kPhaseCount> kDefaultMaxPhase = {
    -90.0, 0.0, -90.0,  // voltage loop: loop, control to output, error amplifier
    -90.0, -90.0, 0.0,  // average current mode: loop, error amplifier, modulator
    -90.0,              // peak or hysteretic: loop
    0.0, 0.0, 0.0,      // input to output: input filter, input to output, line to output
    0.0};               // amplifier

const char* const kTitles[CFreqDomainStimulusCfg::kTitleCount] = {
    "Loop Gain", "Loop Phase", "Control to Output Gain", "Control to Output Phase", "Error Amplifier Gain",
    "Error Amplifier Phase", "Current Loop Gain", "Current Loop Phase", "Current Error Amp Gain",
    "Current Error Amp Phase", "Current Loop Modulator Gain", "Current Loop Modulator Phase", "Current Loop Gain",
    "Current Loop Phase", "Input Filter Gain", "Input Filter Phase", "Input to Output Gain", "Input to Output Phase",
    "Line to Output Gain", "Line to Output Phase", "Amplifier Gain", "Amplifier Phase"};

// Highest value each choice word may hold.
int32_t ChoiceLimit(int word) {
    using S = CFreqDomainStimulusCfg;
    if (word == S::CHOICE_I2O_OUTPUT || word == S::CHOICE_AMP_OUTPUT) return 3;
    if ((word >= S::CHOICE_PEAK_CURRENT && word < S::CHOICE_INPUT_TO_OUTPUT) ||
        (word >= S::CHOICE_AMPLIFIER && word < S::CHOICE_AMP_OUTPUT))
        return 2;
    return 4;
}
}  // namespace

void CFreqDomainStimulusCfg::SetDefaults() {
    m_strTag = kStimulusTag;
    m_dStartFrequency = 1.0;
    m_dStopFrequency = 100.0;
    m_nPointsPerDecade = 10;
    m_dAmplitude = 0.1;
    m_nChoice.fill(0);
    m_dMaxPhase = kDefaultMaxPhase;
    m_strFrequencyLabel = "Hertz";
    m_strGainLabel = "Decibels";
    m_strPhaseLabel = "Degrees";
    for (int i = 0; i < kTitleCount; ++i) m_strTitle[size_t(i)] = kTitles[i];
}

void CFreqDomainStimulusCfg::Serialize(fw::Archive& ar) {
    if (ar.IsStoring()) {
        WriteRecordHeader(ar, m_strTag, 0);
        fw::StoreFields(ar, FieldsOf(*this));
        return;
    }
    if (ReadRecordHeader(ar, m_strTag, kStimulusTag, kModuleStimulus, 4300, [this] { SetDefaults(); }) < 0) return;
    fw::LoadFields(ar, FieldsOf(*this));

    const CFreqDomainStimulusCfg defaults;
    bool damaged = false;
    if (!IsFinitePositive(m_dStartFrequency) || !IsFinitePositive(m_dStopFrequency) ||
        !(m_dStartFrequency < m_dStopFrequency)) {
        m_dStartFrequency = defaults.m_dStartFrequency;
        m_dStopFrequency = defaults.m_dStopFrequency;
        damaged = true;
    }
    if (!InRange(m_nPointsPerDecade, 1, kMaxPointsPerDecade)) {
        m_nPointsPerDecade = defaults.m_nPointsPerDecade;
        damaged = true;
    }
    if (!IsFinitePositive(m_dAmplitude)) {
        m_dAmplitude = defaults.m_dAmplitude;
        damaged = true;
    }
    for (int w = 0; w < kChoiceCount; ++w) {
        if (!InRange(m_nChoice[size_t(w)], 0, ChoiceLimit(w))) {
            m_nChoice[size_t(w)] = 0;
            damaged = true;
        }
    }
    // The phase axis runs from the maximum down 360 degrees.
    for (int p = 0; p < kPhaseCount; ++p) {
        if (!std::isfinite(m_dMaxPhase[size_t(p)])) {
            m_dMaxPhase[size_t(p)] = defaults.m_dMaxPhase[size_t(p)];
            damaged = true;
        }
    }
    if (damaged) ReportDamagedValue(kModuleStimulus, 4302);
}

CFreqDomainStimulusCfg& CFreqDomainStimulusCfg::operator=(const CFreqDomainStimulusCfg& other) {
    fw::CopyFields(FieldsOf(*this), FieldsOf(other));
    return *this;
}

BOOL CFreqDomainStimulusCfg::operator!=(const CFreqDomainStimulusCfg& other) const {
    return fw::FieldsDiffer(FieldsOf(*this), FieldsOf(other)) ? TRUE : FALSE;
}
