// Second-stage output filter pictures: topologies 1-6, one per output.
#include "circuit/OutFil2.h"
#include "schematics/SchemParts.h"

using namespace schem;

namespace {

constexpr UINT kModuleOutF2Dg = 56061;

enum Part { LOut2, LOut3, CDamp2, COut2, RDamp2, RDamp3 };

SchematicPart PartOf(Part p) {
    switch (p) {
    case LOut2:
        return {"Inductor Out2", &Edit<MEMBER(C2StgOutputFilter, CInductor, GetInductorOut2), CInductorDlg, IDD_INDUCTOR>,
                Symbol::Inductor};
    case LOut3:
        return {"Inductor Out3", &Edit<MEMBER(C2StgOutputFilter, CInductor, GetInductorOut3), CInductorDlg, IDD_INDUCTOR>,
                Symbol::Inductor};
    case CDamp2:
        return {"Capacitor Damp2",
                &Edit<MEMBER(C2StgOutputFilter, CCapacitor, GetCapacitorDamp2), CCapacitorDlg, IDD_CAPACITOR>,
                Symbol::Capacitor};
    case COut2:
        return {"Capacitor Out2",
                &Edit<MEMBER(C2StgOutputFilter, CCapacitor, GetCapacitorOut2), CCapacitorDlg, IDD_CAPACITOR>,
                Symbol::PolarCapacitor};
    case RDamp2:
        return {"Resistor Damp2", &Edit<MEMBER(C2StgOutputFilter, CResistor, GetResistorDamp2), CResistorDlg, IDD_RESISTOR>,
                Symbol::Resistor};
    case RDamp3:
        return {"Resistor Damp3", &Edit<MEMBER(C2StgOutputFilter, CResistor, GetResistorDamp3), CResistorDlg, IDD_RESISTOR>,
                Symbol::Resistor};
    }
    return {};
}

std::string (*LabelOf(Part p))(CSection&) {
    switch (p) {
    case LOut2: return &Henries<MEMBER(C2StgOutputFilter, CInductor, GetInductorOut2)>;
    case LOut3: return &Henries<MEMBER(C2StgOutputFilter, CInductor, GetInductorOut3)>;
    case CDamp2: return &Farads<MEMBER(C2StgOutputFilter, CCapacitor, GetCapacitorDamp2)>;
    case COut2: return &Farads<MEMBER(C2StgOutputFilter, CCapacitor, GetCapacitorOut2)>;
    case RDamp2: return &Ohms<MEMBER(C2StgOutputFilter, CResistor, GetResistorDamp2)>;
    case RDamp3: return &Ohms<MEMBER(C2StgOutputFilter, CResistor, GetResistorDamp3)>;
    }
    return nullptr;
}

// Every part has its label on its group's second rectangle.
SchematicClass Variant(WORD t, std::initializer_list<Part> parts) {
    SchematicClass c{SectionKind::SecondStageOutputFilter, t, 51670u + t, 4, kModuleOutF2Dg, 3448u + 2 * t, {}, {}};
    int g = 0;
    for (Part p : parts) {
        c.groups.push_back(PartOf(p));
        c.labels.push_back({2 * g++ + 1, LabelOf(p)});
    }
    return c;
}

}  // namespace

const std::vector<SchematicClass>& SecondStageFilterSchematics() {
    static const std::vector<SchematicClass> classes = {
        Variant(1, {LOut2, COut2}),
        Variant(2, {LOut2, RDamp2, COut2}),
        Variant(3, {LOut2, COut2, CDamp2, RDamp3}),
        Variant(4, {LOut2, LOut3, RDamp2, COut2}),
        Variant(5, {LOut2, RDamp2, COut2, CDamp2, RDamp3}),
        Variant(6, {LOut2, RDamp2, LOut3, COut2, CDamp2, RDamp3}),
    };
    return classes;
}
