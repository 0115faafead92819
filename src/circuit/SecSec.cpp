#include "circuit/SecSec.h"

#include "circuit/DocServices.h"
#include "circuit/PriSec.h"
#include "platform/core/Fields.h"
#include "records/Utils.h"

namespace {
fw::RegisterClass<CSecondarySection> g_register("CSecondarySection");
constexpr UINT kLabelBase = 51640;
constexpr int kCodeOutputNumberMismatch = 1303;
}  // namespace

CSecondarySection::CSecondarySection() { CSecondarySection::InitDefaults(TRUE); }

void CSecondarySection::InitDefaults(BOOL withBase) {
    COutputSection::InitDefaults(withBase);
    m_strTag = kSecondarySectionTag;
    m_bSynchronous = 0;
    m_nRectifier1Kind = NON_SYNCHRONOUS;
    m_nRectifier2Kind = NON_SYNCHRONOUS;
    m_DiodeRectifier1.InitDefaults();
    m_DiodeRectifier2.InitDefaults();
    m_TransistorRectifier1.InitDefaults();
    m_TransistorRectifier2.InitDefaults();
}

void CSecondarySection::SetDefaults() {
    InitDefaults(FALSE);
    SetSynchronous(0);
    SetRectifier1Kind(NON_SYNCHRONOUS);
    SetRectifier2Kind(NON_SYNCHRONOUS);
    m_DiodeRectifier1.SetDefaults(0);
    m_DiodeRectifier2.SetDefaults(0);
    m_TransistorRectifier1.SetDefaults(0);
    m_TransistorRectifier2.SetDefaults(0);
}

void CSecondarySection::Serialize(fw::Archive& ar) {
    SerializeOutputRecord(ar, {kSecondarySectionTag, kModuleSecSec, 1300, kCodeOutputNumberMismatch},
                          FieldsOf(*this));
}

CSecondarySection& CSecondarySection::operator=(const CSecondarySection& other) {
    if (this == &other) return *this;
    COutputSection::operator=(other);
    fw::CopyFields(FieldsOf(*this), FieldsOf(other));
    return *this;
}

BOOL CSecondarySection::operator!=(const CSecondarySection& other) const {
    if (fw::FieldsDiffer(FieldsOf(*this), FieldsOf(other))) return TRUE;
    return COutputSection::operator!=(other);
}

BOOL CSecondarySection::WriteSummary(fw::File& file) {
    static const char* const kHeaders[] = {"\r\n\r\nSecondary Section 1:  ", "\r\n\r\nSecondary Section 2:  ",
                                           "\r\n\r\nSecondary Section 3:  ", "\r\n\r\nSecondary Section 4:  "};
    auto part = [&file](const char* caption) { file.Write(std::string(caption)); };
    WriteOutputHeading(file, kHeaders, "\r\n\r\nSecondary Section:  ", kLabelBase);
    switch (GetTopology()) {
    case 0:
        part("\r\n  Diode Rectifier 1:  ");
        m_DiodeRectifier1.WriteSummary(file, 0);
        if (m_nRectifier1Kind == SYNCHRONOUS) {
            part("\r\n  Transistor Rectifier 1:  ");
            m_TransistorRectifier1.WriteSummary(file);
        }
        part("\r\n  Diode Rectifier 2:  ");
        m_DiodeRectifier2.WriteSummary(file, 0);
        if (m_nRectifier2Kind == SYNCHRONOUS) {
            part("\r\n  Transistor Rectifier 2:  ");
            m_TransistorRectifier2.WriteSummary(file);
        }
        break;
    case kTopologyNotChosen:
        part("\r\n  Not Selected");
        break;
    default:
        ReportMessage1(kModuleSecSec, 1302, FALSE);
        break;
    }
    return TRUE;
}

void CSecondarySection::CheckChosen(BOOL report) {
    const int outputShown = m_wOutputNumber + 1;
    auto fail = [&](UINT message) {
        m_bValid = 0;
        if (report) ReportMessage1(message, outputShown, TRUE);
    };
    m_bValid = 1;
    CDocServices* doc = GetCurrentDoc();
    if (!IsOutputEnabled()) return;
    const CPrimarySection* primary = doc ? doc->GetPrimarySection() : nullptr;
    const WORD p = primary ? primary->GetTopology() : kTopologyNotChosen;
    // Only a real change marks the design: a section already not chosen would
    // otherwise make every check (and every reopening) ask to save.
    if (p <= CPrimarySection::ACTIVE_CLAMP_RESISTOR && GetTopology() != 0 && GetTopology() != kTopologyNotChosen) {
        SetTopology(kTopologyNotChosen);
        doc->SetModifiedFlag(TRUE);
    }
    if (GetTopology() == kTopologyNotChosen) {
        fail(52118);
        return;
    }
    if (!m_bSynchronous || !primary) return;
    const CTransistorFE& q1 = m_TransistorRectifier1;
    const CTransistorFE& q2 = m_TransistorRectifier2;
    if (primary->HasClampSwitch()) {
        const CTransistorFE& sw2 = primary->GetSwitchSW2();
        if (q1.m_dTurnOnDelay + q1.m_dRiseTime < sw2.m_dTurnOffDelay + sw2.m_dFallTime) fail(52031);
        if (sw2.m_dTurnOnDelay + sw2.m_dRiseTime < q1.m_dTurnOffDelay + q1.m_dFallTime) fail(52031);
    }
    if (p != kTopologyNotChosen && GetTopology() == 0) {
        const CTransistorFE& sw1 = primary->GetSwitchSW1();
        if (q2.m_dTurnOnDelay + q2.m_dRiseTime < sw1.m_dTurnOffDelay + sw1.m_dFallTime) fail(52133);
        if (sw1.m_dTurnOnDelay + sw1.m_dRiseTime < q2.m_dTurnOffDelay + q2.m_dFallTime) fail(52133);
    }
}
