// Opto-isolator pictures: topologies 0-5. The voltage-drive transmitters of
// topologies 0, 2 and 4 open the driver source with its warning.
#include "circuit/OptoIso.h"
#include "schematics/SchemParts.h"

using namespace schem;

namespace {

constexpr UINT kModuleOptoIsDg = 56056;
using S = COptoIsolator;

#define OPTO_R(cap, get)                                                                                  \
    PartDef {                                                                                             \
        {cap, &Edit<MEMBER(S, CResistor, get), CResistorDlg2, IDD_RESISTOR_SHORT>, Symbol::Resistor},     \
            &Ohms<MEMBER(S, CResistor, get)>                                                              \
    }

const PartDef kDriverWarning{{"Driver Source",
                              &Edit<MEMBER(S, COptoIsoDriverSource, GetDriverSource), COptoIsoDriverSourceDlg,
                                    IDD_DRIVER_SOURCE_WARNING>,
                              Symbol::VoltageSource}};
const PartDef kDriver{{"Driver Source",
                       &Edit<MEMBER(S, COptoIsoDriverSource, GetDriverSource), COptoIsoDriverSourceDlg, IDD_DRIVER_SOURCE>,
                       Symbol::VoltageSource}};
const PartDef kDriveR = OPTO_R("Drive Resistor", GetDriveResistor);
const PartDef kLed{{"Diode LED", &Edit<MEMBER(S, CDiode, GetDiodeLED), CDiodeDlg, IDD_DIODE>, Symbol::Led},
                   &Name<MEMBER(S, CDiode, GetDiodeLED)>};
const PartDef kDriveQ{{"Drive Transistor",
                       &Edit<MEMBER(S, CTransistorBP, GetDriveTransistor), CTransistorBPDlg, IDD_TRANSISTOR_BP>,
                       Symbol::Bjt}};
const PartDef kBias{{"Bias Voltage",
                     &Edit<MEMBER(S, COptoIsoBiasVoltage, GetBiasVoltage), COptoIsoBiasVoltageDlg, IDD_BIAS_VOLTAGE>,
                     Symbol::VoltageSource}};
const PartDef kPhoto{{"Photo Transistor",
                      &Edit<MEMBER(S, CTransistorPhoto, GetPhotoTransistor), CTransistorPhotoDlg, IDD_TRANSISTOR_PHOTO>,
                      Symbol::PhotoTransistor}};
const PartDef kLoadR = OPTO_R("Load Resistor", GetLoadResistor);
const PartDef kPoleC{{"Pole Capacitor",
                      &Edit<MEMBER(S, CCapacitor, GetPoleCapacitor), CCapacitorDlg2, IDD_CAPACITOR_SHORT>,
                      Symbol::Capacitor},
                     &Farads<MEMBER(S, CCapacitor, GetPoleCapacitor)>};
const PartDef kAmp1 = OPTO_R("Resistor Amp 1", GetResistorAmp1);
const PartDef kAmp2 = OPTO_R("Resistor Amp 2", GetResistorAmp2);
const PartDef kOpAmp{{nullptr,
                      &Edit<MEMBER(S, COperationalAmplifier, GetOperationalAmplifier), COperationalAmplifierDlg,
                            IDD_OPERATIONAL_AMPLIFIER>,
                      Symbol::OpAmp}};
const PartDef kVRef{{"Voltage Source V Ref", &EditSource<S, &S::GetVoltageSourceVRef, 0, IDD_VOLTAGE_SOURCE>,
                     Symbol::VoltageSource}};

SchematicClass Variant(WORD t, const std::vector<PartDef>& parts) {
    return MakeClass(SectionKind::OptoIsolator, t, 51710u + t, 0, kModuleOptoIsDg, 10200u + 2 * t, 910u + t, parts);
}

}  // namespace

const std::vector<SchematicClass>& OptoIsolatorSchematics() {
    static const std::vector<SchematicClass> classes = {
        Variant(0, {kDriverWarning, kDriveR, kLed, kBias, kPhoto, kLoadR}),
        Variant(1, {kDriver, kDriveR, kLed, kDriveQ, kBias, kPhoto, kLoadR}),
        Variant(2, {kDriverWarning, kDriveR, kLed, kBias, kPhoto, kLoadR, kPoleC}),
        Variant(3, {kDriver, kDriveR, kLed, kDriveQ, kBias, kPhoto, kLoadR, kAmp1, kAmp2, kOpAmp, kVRef}),
        Variant(4, {kDriverWarning, kDriveR, kLed, kBias, kPhoto, kLoadR, kAmp1, kAmp2, kOpAmp, kVRef}),
        Variant(5, {kDriver, kDriveR, kLed, kBias, kPhoto, kLoadR, kPoleC, kAmp1, kAmp2, kOpAmp, kVRef}),
    };
    return classes;
}
