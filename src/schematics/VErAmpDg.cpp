// Voltage error amplifier pictures: topologies 0-7. Topology t + 4 is
// topology t with the DC feedback resistor.
#include "circuit/VErAmp.h"
#include "schematics/SchemParts.h"

using namespace schem;

namespace {

constexpr UINT kModuleVErAmpDg = 56084;
using S = CVoltageErrorAmp;

#define VEA_R(cap, get)                                                                                      \
    PartDef {                                                                                                \
        {cap, &Edit<MEMBER(S, CResistor, get), CResistorDlg2, IDD_RESISTOR_SHORT>, Symbol::Resistor},        \
            &Ohms<MEMBER(S, CResistor, get)>                                                                 \
    }
#define VEA_C(cap, get)                                                                                      \
    PartDef {                                                                                                \
        {cap, &Edit<MEMBER(S, CCapacitor, get), CCapacitorDlg2, IDD_CAPACITOR_SHORT>, Symbol::Capacitor},    \
            &Farads<MEMBER(S, CCapacitor, get)>                                                              \
    }

const PartDef kR1 = VEA_R("Resistor 1", GetResistor1);
const PartDef kR2 = VEA_R("Resistor 2", GetResistor2);
const PartDef kR3 = VEA_R("Resistor 3", GetResistor3);
const PartDef kRf = VEA_R("Resistor Feedback", GetResistorFeedback);
const PartDef kC1 = VEA_C("Capacitor 1", GetCapacitor1);
const PartDef kC2 = VEA_C("Capacitor 2", GetCapacitor2);
const PartDef kC3 = VEA_C("Capacitor 3", GetCapacitor3);
const PartDef kVRef{{"Voltage Source V Ref", &EditSource<S, &S::GetVoltageSourceVRef, 0, IDD_VOLTAGE_SOURCE>,
                     Symbol::VoltageSource}};
const PartDef kOpAmp{{nullptr,
                      &Edit<MEMBER(S, COperationalAmplifier, GetOperationalAmplifier), COperationalAmplifierDlg,
                            IDD_OPERATIONAL_AMPLIFIER>,
                      Symbol::OpAmp}};
const PartDef kUvlo{{nullptr,
                     &Edit<MEMBER(S, CUnderVoltLockOut, GetUnderVoltLockOut), CUnderVoltLockOutDlg,
                           IDD_UNDERVOLTAGE_LOCKOUT>,
                     Symbol::Block}};

SchematicClass Variant(WORD t, std::vector<PartDef> parts) {
    if (t >= 4) parts.insert(parts.end() - 2, kRf);  // after the reference source
    return MakeClass(SectionKind::VoltageErrorAmp, t, 51700u + t, 0, kModuleVErAmpDg, 4800u + 2 * t, 900u + t, parts);
}

}  // namespace

const std::vector<SchematicClass>& VoltageErrorAmpSchematics() {
    static const std::vector<SchematicClass> classes = [] {
        const std::vector<PartDef> parts[4] = {
            {kR1, kR2, kR3, kC1, kC2, kC3, kVRef, kOpAmp, kUvlo},
            {kR1, kR3, kC2, kC3, kVRef, kOpAmp, kUvlo},
            {kR1, kR3, kC2, kVRef, kOpAmp, kUvlo},
            {kR1, kC3, kVRef, kOpAmp, kUvlo},
        };
        std::vector<SchematicClass> v;
        for (WORD t = 0; t < 8; ++t) v.push_back(Variant(t, parts[t % 4]));
        return v;
    }();
    return classes;
}
