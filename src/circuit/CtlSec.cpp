#include "circuit/CtlSec.h"

#include <cmath>
#include <vector>

#include "circuit/DocServices.h"
#include "circuit/FbNet.h"
#include "circuit/OutFil1.h"
#include "circuit/PriSec.h"
#include "circuit/Require.h"
#include "platform/core/Fields.h"
#include "records/Record.h"
#include "records/Utils.h"

namespace {
fw::RegisterClass<CControlSection> g_register("CControlSection");
constexpr UINT kLabelBase = 51720;

// Without a document the defaults of a new design apply.
const CRequirements& CurrentRequirements() {
    CDocServices* doc = GetCurrentDoc();
    const CRequirements* req = doc ? doc->GetRequirements() : nullptr;
    static const CRequirements kDefaults;
    return req ? *req : kDefaults;
}

// The parts a summary can list, each with its caption and summary form.
enum Part {
    kCapSS, kCurrentISS, kVoltUE, kVoltUSS,
    kCap4, kCap5, kCap6, kCap7, kCap8, kCapFF,
    kCompPwmDelay, kCompPwmLogic, kCompPwm2SoftStart,
    kFeedbackVIS, kLimitVISCL, kOpAmp, kResetSwitch,
    kRes4, kRes5, kRes7, kRes8, kRes9Hysteretic, kRes9Peak, kRes10, kResFF,
    kClock, kQ1, kVoltIRef, kVoltUI, kResISCL, kCapISCL
};
}  // namespace

CControlSection::CControlSection() { CControlSection::InitDefaults(TRUE); }

void CControlSection::InitDefaults(BOOL withBase) {
    if (withBase) InitSectionBase();
    m_strTag = kControlSectionTag;
    std::apply([](auto&... r) { (r.InitDefaults(), ...); }, RecordsOf(*this));
    m_VoltageSourceIRef.InitDefaultsUnitDC();
}

void CControlSection::SetDefaults() {
    InitDefaults(FALSE);
    for (CCapacitor* c : {&m_Capacitor4, &m_Capacitor5, &m_Capacitor6, &m_Capacitor7, &m_Capacitor8, &m_CapacitorA,
                          &m_CapacitorB, &m_CapacitorFF})
        c->SetDefaults(0);
    m_Comparator1.SetDefaults(0);
    m_Comparator2.SetDefaults(0);
    m_LimitCurrentSourceVISCL.SetDefaults(0);
    m_OpAmp.SetDefaults(0);
    m_ResetSwitch.SetDefaults(0);
    m_Resistor4.SetDefaults(0);
    m_Resistor5.SetDefaults(0);
    m_Resistor7.SetDefaults(0);
    m_Resistor8.SetDefaults(1);
    m_Resistor9.SetDefaults(0);
    m_Resistor10.SetDefaults(0);
    m_ResistorA.SetDefaults(1);
    m_ResistorB.SetDefaults(2);
    m_ResistorC.SetDefaults(1);
    m_ResistorFF.SetDefaults(0);
    m_Resistor9Peak.SetDefaults(0);
    m_SawtoothClock.SetDefaults(0);
    m_TransistorQ1.SetDefaults(0);
    m_VoltageSourceIRef.SetDefaults(1);
    m_VoltageSourceUI.SetDefaults(0);
    m_CapacitorSS.SetDefaults(0);
    m_CurrentSourceISS.SetDefaults(2);
    m_VoltageSourceUE.SetDefaults(0);
    m_VoltageSourceUSS.SetDefaults(0);
    m_ResistorISCL.SetDefaults(3);
    m_CapacitorISCL.SetDefaults(2);
    // The hysteretic and average current modes sense the choke by default.
    const WORD topology = GetTopology();
    m_FeedbackCurrentSourceVIS.SetDefaults((topology == HYSTERETIC_CURRENT || topology == AVERAGE_CURRENT) ? 1 : 0);
}

void CControlSection::Serialize(fw::Archive& ar) {
    SerializeSectionRecord(ar, kControlSectionTag, kModuleCtlSec, 400, RecordsOf(*this));
}

CControlSection& CControlSection::operator=(const CControlSection& other) {
    if (this == &other) return *this;
    CSection::operator=(other);
    fw::CopyFields(RecordsOf(*this), RecordsOf(other));
    return *this;
}

BOOL CControlSection::operator!=(const CControlSection& other) const {
    if (fw::FieldsDiffer(RecordsOf(*this), RecordsOf(other))) return TRUE;
    return CSection::operator!=(other);
}

BOOL CControlSection::IsFeedbackSourceNotPrimary() const {
    return m_FeedbackCurrentSourceVIS.m_iSensedCurrent != CCrntSensSource::SENSE_PRIMARY_SWITCH ? TRUE : FALSE;
}

BOOL CControlSection::IsLimitSourceChoke() const {
    return m_LimitCurrentSourceVISCL.m_iSensedCurrent == CCrntSensSource::SENSE_CHOKE ? TRUE : FALSE;
}

BOOL CControlSection::WriteSummary(fw::File& file) {
    // Parts after the common four, by topology.
    static const std::vector<Part> kVariants[] = {
        {kCap6, kCap7, kCompPwmDelay, kCompPwm2SoftStart, kFeedbackVIS, kLimitVISCL, kRes7, kRes8, kRes9Peak, kClock,
         kQ1, kVoltIRef, kVoltUI, kResISCL, kCapISCL},
        {kCapFF, kCompPwmDelay, kCompPwm2SoftStart, kLimitVISCL, kResetSwitch, kResFF, kVoltIRef, kResISCL, kCapISCL,
         kClock},
        {kCompPwmDelay, kCompPwm2SoftStart, kLimitVISCL, kClock, kVoltIRef, kResISCL, kCapISCL},
        {kCap6, kCap8, kCompPwmLogic, kFeedbackVIS, kRes7, kRes9Hysteretic, kRes10, kVoltUI, kResISCL, kCapISCL,
         kLimitVISCL, kCompPwm2SoftStart, kVoltIRef},
        {kCap4, kCap5, kCompPwmDelay, kCompPwm2SoftStart, kFeedbackVIS, kLimitVISCL, kOpAmp, kRes4, kRes5, kClock,
         kVoltIRef, kVoltUI, kResISCL, kCapISCL},
    };
    auto caption = [&file](const char* text) { file.Write(std::string("\r\n  ") + text + ":  "); };
    auto write = [&](Part p) {
        switch (p) {
        case kCapSS: caption("Capacitor SS"); m_CapacitorSS.WriteSummaryShort(file); break;
        case kCurrentISS: caption("Current Source ISS"); m_CurrentSourceISS.WriteSummaryDC(file, 1); break;
        case kVoltUE: caption("Voltage Source UE"); m_VoltageSourceUE.WriteSummary(file, 0); break;
        case kVoltUSS: caption("Voltage Source USS"); m_VoltageSourceUSS.WriteSummaryDC(file, 0); break;
        case kCap4: caption("Capacitor 4"); m_Capacitor4.WriteSummaryShort(file); break;
        case kCap5: caption("Capacitor 5"); m_Capacitor5.WriteSummaryShort(file); break;
        case kCap6: caption("Capacitor 6"); m_Capacitor6.WriteSummaryShort(file); break;
        case kCap7: caption("Capacitor 7"); m_Capacitor7.WriteSummaryShort(file); break;
        case kCap8: caption("Capacitor 8"); m_Capacitor8.WriteSummaryShort(file); break;
        case kCapFF: caption("Capacitor FF"); m_CapacitorFF.WriteSummaryShort(file); break;
        case kCompPwmDelay: caption("Comparator PWM"); m_Comparator1.WriteSummaryDelay(file); break;
        case kCompPwmLogic: caption("Comparator PWM"); m_Comparator1.WriteSummaryLogic(file); break;
        case kCompPwm2SoftStart: caption("Comparator PWM2"); m_Comparator2.WriteSummarySoftStart(file); break;
        case kFeedbackVIS: caption("Feedback Current Source VIS"); m_FeedbackCurrentSourceVIS.WriteSummary(file); break;
        case kLimitVISCL: caption("Limit Current Source VISCL"); m_LimitCurrentSourceVISCL.WriteSummary(file); break;
        case kOpAmp: caption("Operational Amplifier"); m_OpAmp.WriteSummary(file); break;
        case kResetSwitch: caption("Reset Switch"); m_ResetSwitch.WriteSummary(file); break;
        case kRes4: caption("Resistor 4"); m_Resistor4.WriteSummaryShort(file); break;
        case kRes5: caption("Resistor 5"); m_Resistor5.WriteSummaryShort(file); break;
        case kRes7: caption("Resistor 7"); m_Resistor7.WriteSummaryShort(file); break;
        case kRes8: caption("Resistor 8"); m_Resistor8.WriteSummaryShort(file); break;
        case kRes9Hysteretic: caption("Resistor 9"); m_Resistor9.WriteSummaryShort(file); break;
        case kRes9Peak: caption("Resistor 9"); m_Resistor9Peak.WriteSummaryShort(file); break;
        case kRes10: caption("Resistor 10"); m_Resistor10.WriteSummaryShort(file); break;
        case kResFF: caption("Resistor FF"); m_ResistorFF.WriteSummaryShort(file); break;
        case kClock: caption("Sawtooth Clock"); m_SawtoothClock.WriteSummary(file); break;
        case kQ1: caption("Bipolar Transistor Q1"); m_TransistorQ1.WriteSummary(file); break;
        case kVoltIRef: caption("Voltage Source IRef"); m_VoltageSourceIRef.WriteSummaryDC(file, 0); break;
        case kVoltUI: caption("Voltage Source UI"); m_VoltageSourceUI.WriteSummary(file, 0); break;
        case kResISCL: caption("Current Limit Sense Filter Resistor"); m_ResistorISCL.WriteSummaryShort(file); break;
        case kCapISCL: caption("Current Limit Sense Filter Capacitor"); m_CapacitorISCL.WriteSummaryShort(file); break;
        }
    };

    file.Write(std::string("\r\n\r\nControl Section:  "));
    WriteLabel(file, kLabelBase);
    const WORD topology = GetTopology();
    if (topology == kTopologyNotChosen) {
        file.Write(std::string("\r\n  Not Selected"));
        return TRUE;
    }
    if (topology > AVERAGE_CURRENT) {
        ReportMessage1(kModuleCtlSec, 402, FALSE);
        return TRUE;
    }
    for (Part p : {kCapSS, kCurrentISS, kVoltUE, kVoltUSS}) write(p);
    for (Part p : kVariants[topology]) write(p);
    return TRUE;
}

// Capacitor current feedback needs a first-stage filter with a current
// sense transformer on every output that feeds back, and on at least one.
void CControlSection::CheckCapacitorCurrentFeedback(BOOL report) {
    auto fail = [&] {
        m_bValid = 0;
        if (report) ReportMessage(52028, TRUE);
    };
    CDocServices* doc = GetCurrentDoc();
    const CCurrentFeedbackNetwork* network = doc ? doc->GetCurrentFeedbackNetwork() : nullptr;
    C1StgOutputFilter* filters[4] = {nullptr, nullptr, nullptr, nullptr};
    if (doc) {
        filters[0] = doc->Get1StgOutputFilter1();
        filters[1] = doc->Get1StgOutputFilter2();
        filters[2] = doc->Get1StgOutputFilter3();
        filters[3] = doc->Get1StgOutputFilter4();
    }
    const int n = CurrentRequirements().CountEnabledOutputs();
    bool found = false;
    if (n >= 1 && n <= 4) {
        for (int k = n; k >= 1; --k) {
            const size_t i = size_t(k - 1);
            const bool weighted = network && network->m_bOutputEnable[i] && network->m_dOutputWeight[i] > 0.0;
            const bool examined = weighted || (k == 1 && n == 1);
            if (!examined) continue;
            if (filters[i] && filters[i]->HasCurrentSensing())
                found = true;
            else
                fail();
        }
    }
    if (!found) fail();
}

// Each switching edge, with the comparator's delay, must fit in a tenth of
// the switching period.
void CControlSection::CheckSwitchDelays(BOOL report, double switchingFrequency) {
    CDocServices* doc = GetCurrentDoc();
    const CPrimarySection* primary = doc ? doc->GetPrimarySection() : nullptr;
    if (!primary || primary->GetTopology() == kTopologyNotChosen) return;
    const double limit = 0.1 / switchingFrequency;
    const CTransistorFE& sw1 = primary->GetSwitchSW1();
    const CTransistorFE& sw2 = primary->GetSwitchSW2();
    const bool clampSwitch = primary->HasClampSwitch();
    const double pwmDelay = m_Comparator1.m_dDelay;
    const double limitDelay =
        (GetTopology() == HYSTERETIC_CURRENT ? m_Comparator1 : m_Comparator2).m_dDelay;
    auto test = [&](double sum, UINT message) {
        if (sum >= limit) {
            m_bValid = 0;
            if (report) ReportMessage(message, TRUE);
        }
    };
    test(sw1.m_dTurnOnDelay + sw1.m_dRiseTime + pwmDelay, 52139);
    test(sw1.m_dTurnOffDelay + sw1.m_dFallTime + pwmDelay, 52137);
    if (clampSwitch) {
        test(sw2.m_dTurnOnDelay + sw2.m_dRiseTime + pwmDelay, 52141);
        test(sw2.m_dTurnOffDelay + sw2.m_dFallTime + pwmDelay, 52140);
    }
    test(sw1.m_dTurnOffDelay + sw1.m_dFallTime + limitDelay, 52138);
    if (clampSwitch) test(sw2.m_dTurnOnDelay + sw2.m_dRiseTime + limitDelay, 52142);
}

void CControlSection::CheckChosen(BOOL report) {
    auto fail = [&](UINT message) {
        m_bValid = 0;
        if (report) ReportMessage(message, TRUE);
    };
    m_bValid = 1;
    const WORD topology = GetTopology();
    if (topology == kTopologyNotChosen) {
        fail(52102);
        return;
    }
    const bool capacitorSensing =
        m_FeedbackCurrentSourceVIS.m_iSensedCurrent == CCrntSensSource::SENSE_OUTPUT_CAPACITOR;
    if ((topology == PEAK_CURRENT || topology == HYSTERETIC_CURRENT || topology == AVERAGE_CURRENT) &&
        capacitorSensing)
        CheckCapacitorCurrentFeedback(report);

    // A switching frequency that is not positive gives no period to test
    // against: the design is invalid and says so once.
    const double target = CurrentRequirements().GetSwitchingFrequency();
    const bool targetOk = std::isfinite(target) && target > 0.0;
    if (targetOk)
        CheckSwitchDelays(report, target);
    else
        fail(52226);

    if (topology != HYSTERETIC_CURRENT) {
        const double clock = m_SawtoothClock.m_dFrequency;
        const bool clockOk = std::isfinite(clock) && clock > 0.0;
        if (targetOk && (!clockOk || clock != target)) fail(52226);
        if (report && clockOk) {
            // The blanking duty ratio is in per cent of the period.
            const double blanking = m_SawtoothClock.m_dBlankingDutyRatio / clock / 100.0;
            if (m_Comparator1.m_dDelay > blanking && blanking > 0.0) ReportMessage(53024, TRUE);
        }
    } else if (report && capacitorSensing) {
        ReportMessage(53028, TRUE);
    }
}
