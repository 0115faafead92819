// First-stage output filter pictures: topologies 0-3, one per output.
#include "circuit/OutFil1.h"
#include "schematics/SchemParts.h"

using namespace schem;

namespace {

constexpr UINT kModuleOutF1Dg = 56060;
using S = C1StgOutputFilter;

const PartDef kOut1{{"Capacitor Out1", &Edit<MEMBER(S, CCapacitor, GetCapacitorOut1), CCapacitorDlg, IDD_CAPACITOR>,
                     Symbol::PolarCapacitor},
                    &Farads<MEMBER(S, CCapacitor, GetCapacitorOut1)>};
const PartDef kDamp1{{"Capacitor Damp1", &Edit<MEMBER(S, CCapacitor, GetCapacitorDamp1), CCapacitorDlg, IDD_CAPACITOR>,
                      Symbol::Capacitor},
                     &Farads<MEMBER(S, CCapacitor, GetCapacitorDamp1)>};
const PartDef kRDamp1{{"Resistor Damp1", &Edit<MEMBER(S, CResistor, GetResistorDamp1), CResistorDlg, IDD_RESISTOR>,
                       Symbol::Resistor},
                      &Ohms<MEMBER(S, CResistor, GetResistorDamp1)>};
const PartDef kDiode{{"Current Sense Diode",
                      &Edit<MEMBER(S, CDiode, GetCurrentSenseDiode), CDiodeRectifierDlg2, IDD_DIODE_ANTI_PARALLEL>,
                      Symbol::Diode},
                     &Name<MEMBER(S, CDiode, GetCurrentSenseDiode)>};
const PartDef kXfmr{{"Current Sense Transformer",
                     &Edit<MEMBER(S, CTransformer, GetCurrentSenseTransformer), CTransformerDlg, IDD_TRANSFORMER>,
                     Symbol::CurrentTransformer}};
const PartDef kCapSense{{"Resistor Cap Sense",
                         &Edit<MEMBER(S, CResistor, GetResistorCapSense), CResistorDlg, IDD_RESISTOR>, Symbol::Resistor},
                        &Ohms<MEMBER(S, CResistor, GetResistorCapSense)>};
const PartDef kBias1{{"Resistor Bias 1", &Edit<MEMBER(S, CResistor, GetResistorBias1), CResistorDlg, IDD_RESISTOR>,
                      Symbol::Resistor},
                     &Ohms<MEMBER(S, CResistor, GetResistorBias1)>};
const PartDef kVBias{{"Voltage Source V Bias",
                      &Edit<MEMBER(S, CCrntVoltSource, GetVoltageSourceVBias), CDCSourceDlg, IDD_DC_VOLTAGE_SOURCE>,
                      Symbol::VoltageSource}};
const PartDef kBias2{{"Resistor Bias 2", &Edit<MEMBER(S, CResistor, GetResistorBias2), CResistorDlg, IDD_RESISTOR>,
                      Symbol::Resistor},
                     &Ohms<MEMBER(S, CResistor, GetResistorBias2)>};
const PartDef kCBias{{"Capacitor Bias", &Edit<MEMBER(S, CCapacitor, GetCapacitorBias), CCapacitorDlg2, IDD_CAPACITOR_SHORT>,
                      Symbol::Capacitor},
                     &Farads<MEMBER(S, CCapacitor, GetCapacitorBias)>};

SchematicClass Variant(WORD t, const std::vector<PartDef>& parts) {
    return MakeClass(SectionKind::FirstStageOutputFilter, t, 51660u + t, 3, kModuleOutF1Dg, 3400u + 2 * t, 870u + t,
                     parts);
}

}  // namespace

const std::vector<SchematicClass>& FirstStageFilterSchematics() {
    static const std::vector<SchematicClass> classes = {
        Variant(0, {kOut1}),
        Variant(1, {kOut1, kDamp1, kRDamp1}),
        Variant(2, {kOut1, kDiode, kXfmr, kCapSense, kBias1, kVBias, kBias2, kCBias}),
        Variant(3, {kOut1, kDiode, kXfmr, kCapSense, kBias1, kVBias, kBias2, kCBias, kDamp1, kRDamp1}),
    };
    return classes;
}
