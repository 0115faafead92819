#include "circuit/FbNet.h"

#include "circuit/CtlSec.h"
#include "circuit/DocServices.h"
#include "circuit/Require.h"
#include "platform/core/Fields.h"
#include "records/Record.h"
#include "records/Utils.h"

namespace {
fw::RegisterClass<CVoltageFeedbackNetwork> g_registerVoltage("CVoltageFeedbackNetwork");
fw::RegisterClass<CCurrentFeedbackNetwork> g_registerFeedback("CCurrentFeedbackNetwork");
fw::RegisterClass<CCurrentLimitNetwork> g_registerLimit("CCurrentLimitNetwork");

constexpr double kMinWeightSum = 98.0;  // per cent
constexpr double kMaxWeightSum = 102.0;

const char* const kOutputCaptions[] = {"\r\n  Output 1 Weight: ", "\r\n  Output 2 Weight: ",
                                       "\r\n  Output 3 Weight: ", "\r\n  Output 4 Weight: "};

// Without a document the defaults of a new design apply.
const CRequirements& CurrentRequirements() {
    CDocServices* doc = GetCurrentDoc();
    const CRequirements* req = doc ? doc->GetRequirements() : nullptr;
    static const CRequirements kDefaults;
    return req ? *req : kDefaults;
}

const CControlSection* CurrentControlSection() {
    CDocServices* doc = GetCurrentDoc();
    return doc ? dynamic_cast<const CControlSection*>(doc->GetControlSection()) : nullptr;
}

BOOL SumInRange(double sum) { return (sum >= kMinWeightSum && sum <= kMaxWeightSum) ? TRUE : FALSE; }
}  // namespace

// ---------------------------------------------------------------------------
// CVoltageFeedbackNetwork

void CVoltageFeedbackNetwork::SetDefaults() {
    m_strTag = kVoltageFeedbackNetworkTag;
    m_bOutputEnable = {1, 0, 0, 0};
    m_bModulatorEnable = {0, 0, 0, 0};
    m_dOutputWeight = {100.0, 0.0, 0.0, 0.0};
    m_dModulatorWeight.fill(0.0);
    m_dModulatorRC.fill(0.0);
    m_bValid = 1;
}

void CVoltageFeedbackNetwork::Serialize(fw::Archive& ar) {
    if (ar.IsStoring()) {
        WriteRecordHeader(ar, m_strTag, 0);
        fw::StoreFields(ar, FieldsOf(*this));
        return;
    }
    if (ReadRecordHeader(ar, m_strTag, kVoltageFeedbackNetworkTag, kModuleFbNet, 2600, [this] { SetDefaults(); }) < 0)
        return;
    fw::LoadFields(ar, FieldsOf(*this));
}

CVoltageFeedbackNetwork& CVoltageFeedbackNetwork::operator=(const CVoltageFeedbackNetwork& other) {
    m_strTag = other.m_strTag;
    fw::CopyFields(FieldsOf(*this), FieldsOf(other));
    return *this;
}

BOOL CVoltageFeedbackNetwork::operator!=(const CVoltageFeedbackNetwork& other) const {
    return (m_strTag != other.m_strTag || fw::FieldsDiffer(FieldsOf(*this), FieldsOf(other))) ? TRUE : FALSE;
}

double CVoltageFeedbackNetwork::SumEnabledWeights() const {
    const CRequirements& req = CurrentRequirements();
    double sum = 0.0;
    for (int i = 0; i < 4; ++i)
        if (m_bOutputEnable[size_t(i)] && req.IsOutputEnabled(i)) sum += m_dOutputWeight[size_t(i)];
    for (int i = 0; i < 4; ++i)
        if (m_bModulatorEnable[size_t(i)] && req.IsOutputEnabled(i)) sum += m_dModulatorWeight[size_t(i)];
    return sum;
}

BOOL CVoltageFeedbackNetwork::IsWeightSumValid() const { return SumInRange(SumEnabledWeights()); }

void CVoltageFeedbackNetwork::CheckChosen(BOOL report) {
    m_bValid = 1;
    if (!IsWeightSumValid()) {
        m_bValid = 0;
        if (report) ReportMessage(52157, TRUE);
    }
}

BOOL CVoltageFeedbackNetwork::WriteSummary(fw::File& file) {
    static const char* const kModulatorCaptions[] = {"\r\n  Modulator 1 Weight: ", "\r\n  Modulator 2 Weight: ",
                                                     "\r\n  Modulator 3 Weight: ", "\r\n  Modulator 4 Weight: "};
    static const char* const kRCCaptions[] = {
        "\r\n  Modulator 1 RC Time Constant: ", "\r\n  Modulator 2 RC Time Constant: ",
        "\r\n  Modulator 3 RC Time Constant: ", "\r\n  Modulator 4 RC Time Constant: "};
    const CRequirements& req = CurrentRequirements();
    file.Write(std::string("\r\n\r\nVoltage Feedback Network:  "));
    bool any = false;
    for (size_t i = 0; i < 4; ++i) {
        if (!m_bOutputEnable[i] || !req.IsOutputEnabled(int(i))) continue;
        WriteValueLine(file, kOutputCaptions[i], m_dOutputWeight[i], "per cent");
        any = true;
    }
    for (size_t i = 0; i < 4; ++i) {
        if (!m_bModulatorEnable[i] || !req.IsOutputEnabled(int(i))) continue;
        WriteValueLine(file, kModulatorCaptions[i], m_dModulatorWeight[i], "per cent");
        WriteValueLine(file, kRCCaptions[i], m_dModulatorRC[i], "seconds");
        any = true;
    }
    if (!any) file.Write(std::string("\r\n  Nothing Enabled"));
    return TRUE;
}

// ---------------------------------------------------------------------------
// Current feedback and current limit networks

void CCurrentNetworkBase::SetDefaults() {
    m_strTag = kCurrentFeedbackNetworkTag;
    m_bOutputEnable.fill(0);
    m_dOutputWeight.fill(0.0);
    m_bValid = 1;
}

void CCurrentNetworkBase::Serialize(fw::Archive& ar) {
    if (ar.IsStoring()) {
        WriteRecordHeader(ar, m_strTag, 0);
        fw::StoreFields(ar, FieldsOf(*this));
        return;
    }
    if (ReadRecordHeader(ar, m_strTag, kCurrentFeedbackNetworkTag, kModuleFbNet, WrongTagCode(),
                         [this] { SetDefaults(); }) < 0)
        return;
    fw::LoadFields(ar, FieldsOf(*this));
}

void CCurrentNetworkBase::Assign(const CCurrentNetworkBase& other) {
    m_strTag = other.m_strTag;
    fw::CopyFields(FieldsOf(*this), FieldsOf(other));
}

BOOL CCurrentNetworkBase::Differs(const CCurrentNetworkBase& other) const {
    return (m_strTag != other.m_strTag || fw::FieldsDiffer(FieldsOf(*this), FieldsOf(other))) ? TRUE : FALSE;
}

double CCurrentNetworkBase::SumEnabledWeights() const {
    const CRequirements& req = CurrentRequirements();
    double sum = 0.0;
    for (int i = 0; i < 4; ++i)
        if (m_bOutputEnable[size_t(i)] && req.IsOutputEnabled(i)) sum += m_dOutputWeight[size_t(i)];
    return sum;
}

BOOL CCurrentNetworkBase::IsWeightSumValid() const { return SumInRange(SumEnabledWeights()); }

void CCurrentNetworkBase::CheckChosen(BOOL report) {
    m_bValid = 1;
    if (CurrentRequirements().CountEnabledOutputs() <= 1 || !TakesPart()) return;
    if (!IsWeightSumValid()) {
        m_bValid = 0;
        if (report) ReportMessage(WeightMessage(), TRUE);
    }
}

BOOL CCurrentNetworkBase::WriteSummary(fw::File& file) {
    if (!TakesPart()) return TRUE;
    const CRequirements& req = CurrentRequirements();
    file.Write(std::string(Heading()));
    bool any = false;
    for (size_t i = 0; i < 4; ++i) {
        if (!m_bOutputEnable[i] || !req.IsOutputEnabled(int(i))) continue;
        WriteValueLine(file, kOutputCaptions[i], m_dOutputWeight[i], "per cent");
        any = true;
    }
    if (!any) file.Write(std::string("\r\n  Nothing Enabled"));
    return TRUE;
}

BOOL CCurrentFeedbackNetwork::TakesPart() const {
    const CControlSection* control = CurrentControlSection();
    return (control && control->IsFeedbackSourceNotPrimary()) ? TRUE : FALSE;
}

BOOL CCurrentLimitNetwork::TakesPart() const {
    const CControlSection* control = CurrentControlSection();
    return (control && control->IsLimitSourceChoke()) ? TRUE : FALSE;
}
