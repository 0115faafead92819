// What the designer asks of the converter as a whole: target switching
// frequency, operating temperature and, for up to four outputs, whether each
// is used and its target voltage.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <tuple>

#include "platform/core/Archive.h"
#include "platform/core/File.h"
#include "platform/core/Types.h"

constexpr UINT kModuleRequire = 56073;
constexpr const char* kOutputTag = "<OUTPUT_DATA>";
constexpr const char* kRequirementsTag = "<REQUIREMENTS_DATA>";

class COutput : public fw::Object {
public:
    COutput() { InitDefaults(); }
    COutput(const COutput&) = default;
    static const char* StaticClassName() { return "COutput"; }
    const char* GetClassName() const override { return StaticClassName(); }

    void InitDefaults();
    void Serialize(fw::Archive& ar) override;
    // Tag, both flags and the target voltage.
    COutput& operator=(const COutput& other);
    BOOL operator!=(const COutput& other) const;
    // Marks the output valid; reports nothing.
    void Check(BOOL report);
    BOOL WriteSummary(fw::File& file) const;

    BOOL IsValid() const { return m_bValid; }
    BOOL IsEnabled() const { return m_bEnabled; }
    void SetEnabled(BOOL enabled) { m_bEnabled = enabled; }
    double GetTargetVoltage() const { return m_dTargetVoltage; }
    void SetTargetVoltage(double volts) { m_dTargetVoltage = volts; }

    std::string m_strTag;
    BOOL m_bValid = 0;
    BOOL m_bEnabled = 0;
    double m_dTargetVoltage = 5.0;  // volts

private:
    template <class Self>
    static auto FieldsOf(Self& s) {
        return std::tie(s.m_bValid, s.m_bEnabled, s.m_dTargetVoltage);
    }
};

class CRequirements : public fw::Object {
public:
    static constexpr int kOutputs = 4;

    CRequirements() { InitDefaults(); }
    CRequirements(const CRequirements&) = default;
    static const char* StaticClassName() { return "CRequirements"; }
    const char* GetClassName() const override { return StaticClassName(); }

    // Output 1 enabled, outputs 2 to 4 disabled, all at 5.0 V.
    void InitDefaults();
    // A switching frequency not above zero, an operating temperature that is
    // not finite or an output count above four, read from a file, is damage
    // (52080, code 1205) and takes its default. Enabled outputs that do not
    // run from output 1 on are damage too (52080, code 1206): the outputs
    // before the last enabled one are enabled.
    void Serialize(fw::Archive& ar) override;
    CRequirements& operator=(const CRequirements& other);
    BOOL operator!=(const CRequirements& other) const;

    // Outputs whose enabled flag is set, whatever their valid flag.
    int CountEnabledOutputs() const;
    // Counts the enabled, valid outputs into the output count; no enabled
    // output makes the record invalid (52114 when reporting).
    void CheckOutputs(BOOL report);
    BOOL WriteSummary(fw::File& file) const;

    BOOL IsValid() const { return m_bValid; }
    // The design's number of outputs as found by the last CheckOutputs.
    WORD GetOutputCount() const { return m_wOutputCount; }
    double GetSwitchingFrequency() const { return m_dSwitchingFrequency; }
    double GetOperatingTemp() const { return m_dOperatingTemp; }
    // Output 0 to 3; nullptr outside.
    COutput* GetOutput(int index) { return (index >= 0 && index < kOutputs) ? &m_Outputs[size_t(index)] : nullptr; }
    const COutput* GetOutput(int index) const {
        return (index >= 0 && index < kOutputs) ? &m_Outputs[size_t(index)] : nullptr;
    }
    // Output 0 to 3 enabled; FALSE outside.
    BOOL IsOutputEnabled(int index) const {
        const COutput* out = GetOutput(index);
        return (out && out->IsEnabled()) ? TRUE : FALSE;
    }
    BOOL IsOutput1Enabled() const { return IsOutputEnabled(0); }
    BOOL IsOutput2Enabled() const { return IsOutputEnabled(1); }
    BOOL IsOutput3Enabled() const { return IsOutputEnabled(2); }
    BOOL IsOutput4Enabled() const { return IsOutputEnabled(3); }

    std::string m_strTag;
    BOOL m_bValid = 0;
    double m_dSwitchingFrequency = 100000.0;  // hertz
    double m_dOperatingTemp = 25.0;           // degrees Celsius
    WORD m_wOutputCount = 1;
    std::array<COutput, kOutputs> m_Outputs;

private:
    // Archive, copy and comparison order after the tag.
    template <class Self>
    static auto FieldsOf(Self& s) {
        return std::tie(s.m_bValid, s.m_dSwitchingFrequency, s.m_dOperatingTemp, s.m_wOutputCount, s.m_Outputs);
    }
};
