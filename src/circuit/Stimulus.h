// Settings of the frequency-domain analyses: the swept sine stimulus, the
// graph each quantity goes to, the output looked at, the maximum of every
// phase axis, and the fixed axis labels and graph titles of their graphs.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <tuple>

#include "platform/core/Archive.h"
#include "platform/core/Types.h"

constexpr UINT kModuleStimulus = 56080;
constexpr const char* kStimulusTag = "<FREQ_DOMAIN_STIMULUS_CFG_DATA>";

class CFreqDomainStimulusCfg : public fw::Object {
public:
    static constexpr int kChoiceCount = 24;
    static constexpr int kPhaseCount = 11;
    static constexpr int kTitleCount = 22;
    static constexpr int32_t kMaxPointsPerDecade = 100;

    // Index of the first graph-choice word of each analysis (0-based words).
    enum {
        CHOICE_VOLTAGE_LOOP = 0,      // 6 quantities, graphs 1-4
        CHOICE_AVG_CURRENT = 6,       // 6 quantities, graphs 1-4
        CHOICE_PEAK_CURRENT = 12,     // 2 quantities, graphs 1-2
        CHOICE_INPUT_TO_OUTPUT = 14,  // 6 quantities, graphs 1-4
        CHOICE_I2O_OUTPUT = 20,       // output 0-3
        CHOICE_AMPLIFIER = 21,        // 2 quantities, graphs 1-2
        CHOICE_AMP_OUTPUT = 23        // output 0-3
    };
    // Index of the first graph title of each analysis; the titles follow the
    // quantity order of the graph-choice words.
    enum {
        TITLE_VOLTAGE_LOOP = 0,
        TITLE_AVG_CURRENT = 6,
        TITLE_PEAK_CURRENT = 12,
        TITLE_INPUT_TO_OUTPUT = 14,
        TITLE_AMPLIFIER = 20
    };

    CFreqDomainStimulusCfg() { CFreqDomainStimulusCfg::SetDefaults(); }
    CFreqDomainStimulusCfg(const CFreqDomainStimulusCfg&) = default;
    static const char* StaticClassName() { return "CFreqDomainStimulusCfg"; }
    const char* GetClassName() const override { return StaticClassName(); }

    // Every field, the fixed labels and titles included.
    virtual void SetDefaults();
    // A sweep that could not run (a frequency or amplitude not above zero, a
    // stop frequency not above the start, points per decade outside 1-100),
    // a graph or output choice outside its buttons or a maximum phase that is
    // not finite, read from a file, is damage (52080, code 4302) and takes
    // its default.
    void Serialize(fw::Archive& ar) override;
    // Sweep, choices and phases; neither the tag nor the fixed strings.
    CFreqDomainStimulusCfg& operator=(const CFreqDomainStimulusCfg& other);
    BOOL operator!=(const CFreqDomainStimulusCfg& other) const;

    // Graph choice of a 0-based word (0 Disabled or the graph number; for the
    // output words the output 0-3); 0 for an index outside the words.
    int32_t GetChoice(int word) const { return (word >= 0 && word < kChoiceCount) ? m_nChoice[size_t(word)] : 0; }
    // The fixed title at a 0-based index, or nullptr.
    const std::string* GetTitle(int index) const {
        return (index >= 0 && index < kTitleCount) ? &m_strTitle[size_t(index)] : nullptr;
    }
    const std::string& GetFrequencyLabel() const { return m_strFrequencyLabel; }
    const std::string& GetGainLabel() const { return m_strGainLabel; }
    const std::string& GetPhaseLabel() const { return m_strPhaseLabel; }

    std::string m_strTag;
    double m_dStartFrequency = 1.0;   // hertz
    double m_dStopFrequency = 100.0;  // hertz
    int32_t m_nPointsPerDecade = 10;
    double m_dAmplitude = 0.1;        // volts
    std::array<int32_t, kChoiceCount> m_nChoice{};
    std::array<double, kPhaseCount> m_dMaxPhase{};  // degrees; the axis spans 360

    // Fixed strings: set by SetDefaults, never archived, copied or compared.
    std::string m_strFrequencyLabel;
    std::string m_strGainLabel;
    std::string m_strPhaseLabel;
    std::array<std::string, kTitleCount> m_strTitle;

private:
    template <class Self>
    static auto FieldsOf(Self& s) {
        return std::tie(s.m_dStartFrequency, s.m_dStopFrequency, s.m_nPointsPerDecade, s.m_dAmplitude, s.m_nChoice,
                        s.m_dMaxPhase);
    }
};
