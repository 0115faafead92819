// Line filter pictures: topologies 0-8. The one-stage filters keep their
// inductor in the second input inductor, and which damping resistor member a
// variant shows depends on the variant.
#include "circuit/LinFil.h"
#include "schematics/SchemParts.h"

using namespace schem;

namespace {

constexpr UINT kModuleLinFilDg = 56047;


#define PART_L(cap, get) SchematicPart{cap, &Edit<MEMBER(CLineFilter, CInductor, get), CInductorDlg, IDD_INDUCTOR>, Symbol::Inductor}
#define PART_C(cap, get) SchematicPart{cap, &Edit<MEMBER(CLineFilter, CCapacitor, get), CCapacitorDlg, IDD_CAPACITOR>, Symbol::Capacitor}
#define PART_R(cap, get) SchematicPart{cap, &Edit<MEMBER(CLineFilter, CResistor, get), CResistorDlg, IDD_RESISTOR>, Symbol::Resistor}
#define LABEL_L(rec, get) SchematicLabel{rec, &Henries<MEMBER(CLineFilter, CInductor, get)>}
#define LABEL_C(rec, get) SchematicLabel{rec, &Farads<MEMBER(CLineFilter, CCapacitor, get)>}
#define LABEL_R(rec, get) SchematicLabel{rec, &Ohms<MEMBER(CLineFilter, CResistor, get)>}

SchematicClass Variant(WORD t, std::vector<SchematicPart> groups, std::vector<SchematicLabel> labels) {
    return {SectionKind::LineFilter, t, 51550u + t, 0, kModuleLinFilDg, 2900u + 2 * t, std::move(groups),
            std::move(labels)};
}

}  // namespace

const std::vector<SchematicClass>& LineFilterSchematics() {
    static const std::vector<SchematicClass> classes = {
        Variant(0, {PART_L("Inductor In", GetInductorIn2)}, {LABEL_L(1, GetInductorIn2)}),
        Variant(1, {PART_L("Inductor In", GetInductorIn2), PART_R("Resistor Damp", GetResistorDamp2)},
                {LABEL_L(1, GetInductorIn2), LABEL_R(3, GetResistorDamp2)}),
        Variant(2,
                {PART_L("Inductor In", GetInductorIn2), PART_R("Resistor Damp", GetResistorDamp2),
                 PART_L("Inductor Damp", GetInductorDamp)},
                {LABEL_L(1, GetInductorIn2), LABEL_R(3, GetResistorDamp2), LABEL_L(5, GetInductorDamp)}),
        Variant(3,
                {PART_L("Inductor In1", GetInductorIn1), PART_L("Inductor In2", GetInductorIn2),
                 PART_C("Capacitor In", GetCapacitorIn)},
                {LABEL_L(1, GetInductorIn1), LABEL_L(3, GetInductorIn2), LABEL_C(5, GetCapacitorIn)}),
        Variant(4,
                {PART_L("Inductor In1", GetInductorIn1), PART_L("Inductor In2", GetInductorIn2),
                 PART_C("Capacitor In", GetCapacitorIn), PART_C("Capacitor Damp", GetCapacitorDamp),
                 PART_R("Resistor Damp", GetResistorDamp1)},
                {LABEL_L(1, GetInductorIn1), LABEL_L(3, GetInductorIn2), LABEL_C(5, GetCapacitorIn),
                 LABEL_C(7, GetCapacitorDamp), LABEL_R(9, GetResistorDamp1)}),
        Variant(5,
                {PART_L("Inductor In1", GetInductorIn1), PART_L("Inductor In2", GetInductorIn2),
                 PART_C("Capacitor In", GetCapacitorIn), PART_R("Resistor Damp", GetResistorDamp2)},
                {LABEL_L(1, GetInductorIn1), LABEL_L(3, GetInductorIn2), LABEL_C(5, GetCapacitorIn),
                 LABEL_R(7, GetResistorDamp2)}),
        Variant(6,
                {PART_L("Inductor In1", GetInductorIn1), PART_L("Inductor In2", GetInductorIn2),
                 PART_C("Capacitor In", GetCapacitorIn), PART_R("Resistor Damp", GetResistorDamp2),
                 PART_L("Inductor Damp", GetInductorDamp)},
                {LABEL_L(1, GetInductorIn1), LABEL_L(3, GetInductorIn2), LABEL_C(5, GetCapacitorIn),
                 LABEL_R(7, GetResistorDamp2), LABEL_L(9, GetInductorDamp)}),
        Variant(7,
                {PART_L("Inductor In1", GetInductorIn1), PART_L("Inductor In2", GetInductorIn2),
                 PART_C("Capacitor In", GetCapacitorIn), PART_C("Capacitor Damp", GetCapacitorDamp),
                 PART_R("Resistor Damp1", GetResistorDamp1), PART_R("Resistor Damp2", GetResistorDamp2)},
                {LABEL_L(1, GetInductorIn1), LABEL_L(3, GetInductorIn2), LABEL_C(5, GetCapacitorIn),
                 LABEL_C(7, GetCapacitorDamp), LABEL_R(9, GetResistorDamp1), LABEL_R(11, GetResistorDamp2)}),
        Variant(8,
                {PART_L("Inductor In1", GetInductorIn1), PART_L("Inductor In2", GetInductorIn2),
                 PART_C("Capacitor In", GetCapacitorIn), PART_C("Capacitor Damp", GetCapacitorDamp),
                 PART_R("Resistor Damp1", GetResistorDamp1), PART_R("Resistor Damp2", GetResistorDamp2),
                 PART_L("Inductor Damp", GetInductorDamp)},
                {LABEL_L(1, GetInductorIn1), LABEL_L(3, GetInductorIn2), LABEL_C(5, GetCapacitorIn),
                 LABEL_C(7, GetCapacitorDamp), LABEL_R(9, GetResistorDamp1), LABEL_R(11, GetResistorDamp2),
                 LABEL_L(13, GetInductorDamp)}),
    };
    return classes;
}
