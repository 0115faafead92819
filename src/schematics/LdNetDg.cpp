// Load network pictures: topologies 0-3, one per output. The simple loads
// show the second resistor and inductor under plain names; the current
// source has no label.
#include "circuit/LdNet.h"
#include "schematics/SchemParts.h"

using namespace schem;

namespace {

constexpr UINT kModuleLdNetDg = 56045;

#define LOAD_R(cap, get) \
    SchematicPart { cap, &Edit<MEMBER(CLoadNetwork, CResistor, get), CResistorDlg, IDD_RESISTOR>, Symbol::Resistor }
#define LOAD_L(cap, get) \
    SchematicPart { cap, &Edit<MEMBER(CLoadNetwork, CInductor, get), CInductorDlg, IDD_INDUCTOR>, Symbol::Inductor }
#define LOAD_I                                                                                                  \
    SchematicPart {                                                                                             \
        "Current Source I Load", &EditSource<CLoadNetwork, &CLoadNetwork::GetCurrentSourceILoad, 1, IDD_CURRENT_SOURCE>, \
            Symbol::CurrentSource                                                                               \
    }
#define LABEL_R(rec, get) SchematicLabel{rec, &Ohms<MEMBER(CLoadNetwork, CResistor, get)>}
#define LABEL_L(rec, get) SchematicLabel{rec, &Henries<MEMBER(CLoadNetwork, CInductor, get)>}

SchematicClass Variant(WORD t, std::vector<SchematicPart> groups, std::vector<SchematicLabel> labels) {
    return {SectionKind::LoadNetwork, t, 51690u + t, 5, kModuleLdNetDg, 3000u + 2 * t, std::move(groups),
            std::move(labels)};
}

}  // namespace

const std::vector<SchematicClass>& LoadNetworkSchematics() {
    static const std::vector<SchematicClass> classes = {
        Variant(0, {LOAD_R("Resistor Load", GetResistorLoad2)}, {LABEL_R(1, GetResistorLoad2)}),
        Variant(1, {LOAD_R("Resistor Load", GetResistorLoad2), LOAD_L("Inductor Load", GetInductorLoad2)},
                {LABEL_R(1, GetResistorLoad2), LABEL_L(3, GetInductorLoad2)}),
        Variant(2, {LOAD_I}, {}),
        Variant(3,
                {LOAD_R("Resistor Load1", GetResistorLoad1), LOAD_L("Inductor Load1", GetInductorLoad1),
                 LOAD_R("Resistor Load2", GetResistorLoad2), LOAD_L("Inductor Load2", GetInductorLoad2), LOAD_I},
                {LABEL_R(1, GetResistorLoad1), LABEL_L(3, GetInductorLoad1), LABEL_R(5, GetResistorLoad2),
                 LABEL_L(7, GetInductorLoad2)}),
    };
    return classes;
}
