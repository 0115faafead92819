// Per-output weights of the voltage feedback, current feedback and current
// limit paths. A weight counts when it is enabled here and its output is
// enabled in the requirements; the counted weights of a network must add up
// to 100 per cent within 2 per cent.
#pragma once

#include <array>
#include <string>
#include <tuple>

#include "platform/core/Archive.h"
#include "platform/core/File.h"
#include "platform/core/Types.h"

constexpr UINT kModuleFbNet = 56040;
constexpr const char* kVoltageFeedbackNetworkTag = "<VOLTAGE_FEEDBACK_NETWORK_DATA>";
// Both current networks carry this tag in a design file.
constexpr const char* kCurrentFeedbackNetworkTag = "<CURRENT_FEEDBACK_NETWORK_DATA>";

class CVoltageFeedbackNetwork : public fw::Object {
public:
    CVoltageFeedbackNetwork() { SetDefaults(); }
    CVoltageFeedbackNetwork(const CVoltageFeedbackNetwork&) = default;
    static const char* StaticClassName() { return "CVoltageFeedbackNetwork"; }
    const char* GetClassName() const override { return StaticClassName(); }

    virtual void SetDefaults();
    virtual BOOL WriteSummary(fw::File& file);
    virtual void CheckChosen(BOOL report);
    void Serialize(fw::Archive& ar) override;

    CVoltageFeedbackNetwork& operator=(const CVoltageFeedbackNetwork& other);
    BOOL operator!=(const CVoltageFeedbackNetwork& other) const;

    double SumEnabledWeights() const;
    // 98.0 <= sum <= 102.0.
    BOOL IsWeightSumValid() const;
    BOOL IsValid() const { return m_bValid; }

    std::string m_strTag;
    std::array<int32_t, 4> m_bOutputEnable{};      // outputs 1 to 4
    std::array<int32_t, 4> m_bModulatorEnable{};   // modulator i belongs to output i
    std::array<double, 4> m_dOutputWeight{};       // per cent
    std::array<double, 4> m_dModulatorWeight{};    // per cent
    std::array<double, 4> m_dModulatorRC{};        // seconds, RC time constant
    BOOL m_bValid = 1;

private:
    // Archive order after tag and schema; comparison takes the tag first.
    template <class Self>
    static auto FieldsOf(Self& s) {
        return std::tie(s.m_bValid, s.m_bOutputEnable, s.m_bModulatorEnable, s.m_dOutputWeight,
                        s.m_dModulatorWeight, s.m_dModulatorRC);
    }
};

// The layout shared by the current feedback and current limit networks.
class CCurrentNetworkBase : public fw::Object {
public:
    virtual void SetDefaults();
    virtual BOOL WriteSummary(fw::File& file);
    virtual void CheckChosen(BOOL report);
    void Serialize(fw::Archive& ar) override;

    double SumEnabledWeights() const;
    // 98.0 <= sum <= 102.0.
    BOOL IsWeightSumValid() const;
    BOOL IsValid() const { return m_bValid; }

    std::string m_strTag;
    std::array<int32_t, 4> m_bOutputEnable{};  // outputs 1 to 4
    std::array<double, 4> m_dOutputWeight{};   // per cent
    BOOL m_bValid = 1;

protected:
    CCurrentNetworkBase() = default;
    CCurrentNetworkBase(const CCurrentNetworkBase&) = default;
    void Assign(const CCurrentNetworkBase& other);
    BOOL Differs(const CCurrentNetworkBase& other) const;

    // What tells the two networks apart.
    virtual BOOL TakesPart() const = 0;
    virtual const char* Heading() const = 0;
    virtual UINT WeightMessage() const = 0;
    virtual int WrongTagCode() const = 0;

private:
    template <class Self>
    static auto FieldsOf(Self& s) {
        return std::tie(s.m_bValid, s.m_bOutputEnable, s.m_dOutputWeight);
    }
};

// Takes part only when the control section's feedback current source is not
// the primary source.
class CCurrentFeedbackNetwork : public CCurrentNetworkBase {
public:
    CCurrentFeedbackNetwork() { SetDefaults(); }
    CCurrentFeedbackNetwork(const CCurrentFeedbackNetwork&) = default;
    static const char* StaticClassName() { return "CCurrentFeedbackNetwork"; }
    const char* GetClassName() const override { return StaticClassName(); }

    CCurrentFeedbackNetwork& operator=(const CCurrentFeedbackNetwork& other) {
        Assign(other);
        return *this;
    }
    BOOL operator!=(const CCurrentFeedbackNetwork& other) const { return Differs(other); }

protected:
    BOOL TakesPart() const override;
    const char* Heading() const override { return "\r\n\r\nCurrent Feedback Network:  "; }
    UINT WeightMessage() const override { return 52029; }
    int WrongTagCode() const override { return 2602; }
};

// Takes part only when the control section's limit current source is the
// choke source.
class CCurrentLimitNetwork : public CCurrentNetworkBase {
public:
    CCurrentLimitNetwork() { SetDefaults(); }
    CCurrentLimitNetwork(const CCurrentLimitNetwork&) = default;
    static const char* StaticClassName() { return "CCurrentLimitNetwork"; }
    const char* GetClassName() const override { return StaticClassName(); }

    CCurrentLimitNetwork& operator=(const CCurrentLimitNetwork& other) {
        Assign(other);
        return *this;
    }
    BOOL operator!=(const CCurrentLimitNetwork& other) const { return Differs(other); }

protected:
    BOOL TakesPart() const override;
    const char* Heading() const override { return "\r\n\r\nCurrent Limit Network:  "; }
    UINT WeightMessage() const override { return 52032; }
    int WrongTagCode() const override { return 2604; }
};
