// Primary section pictures: topologies 0-9. The two-switch variants draw one
// diode record and switch SW1 twice; the single-switch variants edit the
// power transformer with its reset winding. The power transformer's editor
// gets the document's requirements.
#include "circuit/PriSec.h"
#include "schematics/SchemParts.h"

using namespace schem;

namespace {

constexpr UINT kModulePriSecDg = 56068;
using S = CPrimarySection;

template <class Dlg, UINT Template>
BOOL EditPowerTransformer(CSection& s, const char* caption, const SchematicContext& context) {
    return EditCopy(static_cast<S&>(s).GetPowerTransformer(), [&](CPwrTransformer& copy) {
        Dlg dlg(&copy, context.requirements, Template, caption, nullptr);
        return dlg.DoModal();
    });
}

const PartDef kXfmr{{"Power Transformer", &EditPowerTransformer<CPwrTransformerDlg, IDD_PWR_TRANSFORMER>,
                     Symbol::Transformer}};
const PartDef kXfmrReset{{"Power Transformer",
                          &EditPowerTransformer<CPwrTransformerResetDlg, IDD_PWR_TRANSFORMER_RESET>,
                          Symbol::ResetTransformer}};
const PartDef kSenseXfmr{{"Current Sense Transformer",
                          &Edit<MEMBER(S, CTransformer, GetCurrentSenseTransformer), CTransformerDlg, IDD_TRANSFORMER>,
                          Symbol::CurrentTransformer}};

#define PRI_DIODE(cap, get)                                                                                         \
    PartDef {                                                                                                       \
        {cap, &Edit<MEMBER(S, CDiode, get), CDiodeRectifierDlg, IDD_DIODE_RECTIFIER>, Symbol::Diode},               \
            &Name<MEMBER(S, CDiode, get)>                                                                           \
    }
#define PRI_FET(cap, get) \
    PartDef { {cap, &Edit<MEMBER(S, CTransistorFE, get), CTransistorFEDlg, IDD_TRANSISTOR_FE>, Symbol::Mosfet}, }

const PartDef kDiodes = PRI_DIODE("Diode 1 and Diode 2", GetDiode1And2);
const PartDef kSenseDiode = PRI_DIODE("Current Sense Diode", GetCurrentSenseDiode);
const PartDef kResetDiode = PRI_DIODE("Reset Diode", GetResetDiode);
const PartDef kClampDiode = PRI_DIODE("Clamp Diode", GetClampDiode);
const PartDef kSwitches = PRI_FET("Field Effect Transistor SW1 and SW2", GetSwitchSW1);
const PartDef kSW1 = PRI_FET("Field Effect Transistor SW1", GetSwitchSW1);
const PartDef kSW2 = PRI_FET("Field Effect Transistor SW2", GetSwitchSW2);
const PartDef kSenseR{{"Sense Resistor", &Edit<MEMBER(S, CResistor, GetSenseResistor), CResistorDlg, IDD_RESISTOR>,
                       Symbol::Resistor},
                      &Ohms<MEMBER(S, CResistor, GetSenseResistor)>};
const PartDef kClampR{{"Clamp Resistor", &Edit<MEMBER(S, CResistor, GetClampResistor), CResistorDlg, IDD_RESISTOR>,
                       Symbol::Resistor},
                      &Ohms<MEMBER(S, CResistor, GetClampResistor)>};
const PartDef kResetC{{"Reset Capacitor",
                       &Edit<MEMBER(S, CCapacitor, GetResetCapacitor), CCapacitorDlg, IDD_CAPACITOR>, Symbol::Capacitor},
                      &Farads<MEMBER(S, CCapacitor, GetResetCapacitor)>};
const PartDef kClampC{{"Clamp Capacitor",
                       &Edit<MEMBER(S, CCapacitor, GetClampCapacitor), CCapacitorDlg, IDD_CAPACITOR>, Symbol::Capacitor},
                      &Farads<MEMBER(S, CCapacitor, GetClampCapacitor)>};
const PartDef kAmp{{"Sense Amplifier", &Edit<MEMBER(S, CAmplifier, GetSenseAmplifier), CAmplifierDlg, IDD_AMPLIFIER>,
                    Symbol::Amplifier}};

SchematicClass Variant(WORD t, const std::vector<PartDef>& parts) {
    return MakeClass(SectionKind::PrimarySection, t, 51600u + t, 0, kModulePriSecDg, 3900u + 2 * t, 830u + t, parts);
}

}  // namespace

const std::vector<SchematicClass>& PrimarySectionSchematics() {
    static const std::vector<SchematicClass> classes = {
        Variant(0, {kXfmr, kSenseXfmr, kDiodes, kDiodes, kSwitches, kSwitches, kSenseDiode, kSenseR}),
        Variant(1, {kXfmr, kSenseR, kDiodes, kDiodes, kSwitches, kSwitches, kAmp}),
        Variant(2, {kXfmrReset, kSenseXfmr, kResetDiode, kSW1, kSenseDiode, kSenseR}),
        Variant(3, {kXfmrReset, kSenseR, kResetDiode, kSW1, kAmp}),
        Variant(4, {kXfmr, kSenseXfmr, kSenseDiode, kSenseR, kSW1, kResetC}),
        Variant(5, {kXfmr, kSW1, kResetC, kSenseR, kAmp}),
        Variant(6, {kXfmr, kSenseXfmr, kSW1, kSW2, kSenseDiode, kSenseR, kClampC}),
        Variant(7, {kXfmr, kClampC, kSW1, kSW2, kSenseR, kAmp}),
        Variant(8, {kSenseXfmr, kClampC, kClampR, kClampDiode, kSW1, kXfmr, kSenseDiode, kSenseR}),
        Variant(9, {kXfmr, kClampC, kClampR, kClampDiode, kSW1, kSenseR, kAmp}),
    };
    return classes;
}
