// Control section pictures: topologies 0-4. Hysteretic current control
// (topology 3) cannot sense the primary switch and defaults its own
// capacitor 8 and resistor 10; voltage feed forward (topology 1) forces the
// ramp's inhibit during reset; the feedback source and the first comparator
// get a variant's own editor.
#include "circuit/CtlSec.h"
#include "schematics/SchemParts.h"

using namespace schem;

namespace {

constexpr UINT kModuleCtlSecDg = 56031;
using S = CControlSection;

#define CTL_R(cap, get)                                                                                   \
    PartDef {                                                                                             \
        {cap, &Edit<MEMBER(S, CResistor, get), CResistorDlg2, IDD_RESISTOR_SHORT>, Symbol::Resistor},     \
            &Ohms<MEMBER(S, CResistor, get)>                                                              \
    }
#define CTL_C(cap, get)                                                                                   \
    PartDef {                                                                                             \
        {cap, &Edit<MEMBER(S, CCapacitor, get), CCapacitorDlg2, IDD_CAPACITOR_SHORT>, Symbol::Capacitor}, \
            &Farads<MEMBER(S, CCapacitor, get)>                                                           \
    }
#define CTL_DC(cap, get, tpl, sym) \
    PartDef { {cap, &Edit<MEMBER(S, CCrntVoltSource, get), CDCSourceDlg, tpl>, sym}, }
#define CTL_V(cap, get) \
    PartDef { {cap, &EditSource<S, &S::get, 0, IDD_VOLTAGE_SOURCE>, Symbol::VoltageSource}, }
#define CTL_SENSE(cap, get, tpl)                                                                           \
    PartDef {                                                                                              \
        {cap, &Edit<MEMBER(S, CCrntSensSource, get), CCrntSensSourceDlg, tpl>, Symbol::CurrentSource},     \
    }

template <int ForceInhibit>
BOOL EditSawtooth(CSection& s, const char* caption, const SchematicContext&) {
    return EditCopy(static_cast<S&>(s).GetSawtoothClock(), [caption](CSawtoothClock& copy) {
        CSawtoothClockDlg dlg(&copy, IDD_SAWTOOTH_CLOCK, ForceInhibit, caption, nullptr);
        return dlg.DoModal();
    });
}

std::string Volts(CSection& s) {
    return fw::Format("%1.3f volts", static_cast<S&>(s).GetBipolarTransistorQ1().m_dForwardBiasVoltage);
}

const PartDef kR4 = CTL_R("Resistor 4", GetResistor4), kR5 = CTL_R("Resistor 5", GetResistor5),
              kR7 = CTL_R("Resistor 7", GetResistor7), kR8 = CTL_R("Resistor 8", GetResistor8),
              kR9 = CTL_R("Resistor 9", GetResistor9), kR9Peak = CTL_R("Resistor 9", GetResistor9Peak),
              kR10 = CTL_R("Resistor 10", GetResistor10), kRFF = CTL_R("Resistor FF", GetResistorFF),
              kRISCL = CTL_R("Resistor ISCL", GetResistorISCL);
const PartDef kC4 = CTL_C("Capacitor 4", GetCapacitor4), kC5 = CTL_C("Capacitor 5", GetCapacitor5),
              kC6 = CTL_C("Capacitor 6", GetCapacitor6), kC7 = CTL_C("Capacitor 7", GetCapacitor7),
              kC8 = CTL_C("Capacitor 8", GetCapacitor8), kCFF = CTL_C("Capacitor FF", GetCapacitorFF),
              kCSS = CTL_C("Capacitor SS", GetCapacitorSS), kCISCL = CTL_C("Capacitor ISCL", GetCapacitorISCL);
const PartDef kQ1{{"Bipolar Transistor Q1",
                   &Edit<MEMBER(S, CTransistorBP, GetBipolarTransistorQ1), CTransistorBPDlg, IDD_TRANSISTOR_BP>,
                   Symbol::Bjt},
                  &Volts};
const PartDef kIRef = CTL_DC("Voltage Source I Ref", GetVoltageSourceIRef, IDD_DC_VOLTAGE_SOURCE, Symbol::VoltageSource);
const PartDef kUSS = CTL_DC("Voltage Source USS", GetVoltageSourceUSS, IDD_DC_VOLTAGE_SOURCE, Symbol::VoltageSource);
const PartDef kISS = CTL_DC("Current Source ISS", GetCurrentSourceISS, IDD_DC_CURRENT_SOURCE, Symbol::CurrentSource);
const PartDef kUI = CTL_V("Voltage Source UI", GetVoltageSourceUI), kUE = CTL_V("Voltage Source UE", GetVoltageSourceUE);
const PartDef kVIS = CTL_SENSE("Feedback Current Source VIS", GetFeedbackCurrentSourceVIS, IDD_FEEDBACK_CURRENT_SOURCE);
const PartDef kVISChoke =
    CTL_SENSE("Feedback Current Source VIS", GetFeedbackCurrentSourceVIS, IDD_CURRENT_SOURCE_CHOKE_CAP);
const PartDef kVISCL = CTL_SENSE("Limit Current Source VISCL", GetLimitCurrentSourceVISCL, IDD_CURRENT_SOURCE_PRI_CHOKE);
const PartDef kPwm{{nullptr, &Edit<MEMBER(S, CComparator, GetComparator1), CComparatorDlg, IDD_COMPARATOR>,
                    Symbol::Comparator}};
const PartDef kPwmLogic{{nullptr, &Edit<MEMBER(S, CComparator, GetComparator1), CComparatorDlg2, IDD_COMPARATOR_LOGIC>,
                         Symbol::Comparator}};
const PartDef kPwm2{{nullptr,
                     &Edit<MEMBER(S, CComparator, GetComparator2), CComparatorDlg3, IDD_COMPARATOR_SOFT_START>,
                     Symbol::Comparator}};
const PartDef kReset{{nullptr, &Edit<MEMBER(S, CResetSwitch, GetResetSwitch), CResetSwitchDlg, IDD_RESET_SWITCH>,
                      Symbol::Switch}};
const PartDef kOpAmp{{nullptr,
                      &Edit<MEMBER(S, COperationalAmplifier, GetOperationalAmplifier), COperationalAmplifierDlg,
                            IDD_OPERATIONAL_AMPLIFIER>,
                      Symbol::OpAmp}};
const PartDef kRamp{{nullptr, &EditSawtooth<0>, Symbol::Clock}};
const PartDef kRampInhibit{{nullptr, &EditSawtooth<1>, Symbol::Clock}};

SchematicClass Variant(WORD t, const std::vector<PartDef>& parts) {
    return MakeClass(SectionKind::ControlSection, t, 51720u + t, 0, kModuleCtlSecDg, 2300u + 2 * t, 920u + t, parts);
}

}  // namespace

const std::vector<SchematicClass>& ControlSectionSchematics() {
    static const std::vector<SchematicClass> classes = [] {
        std::vector<SchematicClass> v = {
            Variant(0, {kR7, kR8, kC6, kC7, kQ1, kIRef, kVIS, kVISCL, kUI, kRamp, kPwm, kPwm2, kCSS, kISS, kUSS, kUE,
                        kR9Peak, kRISCL, kCISCL}),
            Variant(1, {kRFF, kCFF, kIRef, kVISCL, kPwm, kPwm2, kReset, kCSS, kISS, kUSS, kUE, kRISCL, kCISCL,
                        kRampInhibit}),
            Variant(2, {kIRef, kVISCL, kRamp, kPwm, kPwm2, kCSS, kISS, kUSS, kUE, kRISCL, kCISCL}),
            Variant(3, {kR9, kR10, kR7, kC6, kC8, kVISChoke, kPwmLogic, kUI, kCSS, kISS, kUSS, kUE, kRISCL, kCISCL,
                        kVISCL, kPwm2, kIRef}),
            Variant(4, {kR4, kR5, kC4, kC5, kIRef, kUI, kVIS, kVISCL, kRamp, kPwm, kPwm2, kOpAmp, kCSS, kISS, kUSS, kUE,
                        kRISCL, kCISCL}),
        };
        v[3].extraDefaults = [](CSection& s) {
            static_cast<S&>(s).GetCapacitor8().SetDefaults(1);
            static_cast<S&>(s).GetResistor10().SetDefaults(1);
        };
        v[3].onConstruct = [](CSection& s) {
            CCrntSensSource& vis = static_cast<S&>(s).GetFeedbackCurrentSourceVIS();
            if (vis.m_iSensedCurrent == CCrntSensSource::SENSE_PRIMARY_SWITCH)
                vis.m_iSensedCurrent = CCrntSensSource::SENSE_CHOKE;
        };
        return v;
    }();
    return classes;
}
