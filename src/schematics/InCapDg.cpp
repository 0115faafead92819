// Input capacitor pictures: topologies 0-3. The doublers draw every part
// twice; both symbols of a pair edit and show the section's one record.
#include "circuit/InCap.h"
#include "schematics/SchemParts.h"

using namespace schem;

namespace {

constexpr UINT kModuleInCapDg = 56043;

SchematicPart Cap(const char* caption, bool damp) {
    return {caption,
            damp ? &Edit<MEMBER(CInputCapacitor, CCapacitor, GetCapacitorDamp), CCapacitorDlg, IDD_CAPACITOR>
                 : &Edit<MEMBER(CInputCapacitor, CCapacitor, GetCapacitorIn), CCapacitorDlg, IDD_CAPACITOR>,
            Symbol::PolarCapacitor};
}
SchematicPart Res(const char* caption) {
    return {caption, &Edit<MEMBER(CInputCapacitor, CResistor, GetResistorDamp), CResistorDlg, IDD_RESISTOR>, Symbol::Resistor};
}
constexpr auto kIn = &Farads<MEMBER(CInputCapacitor, CCapacitor, GetCapacitorIn)>;
constexpr auto kDamp = &Farads<MEMBER(CInputCapacitor, CCapacitor, GetCapacitorDamp)>;
constexpr auto kRes = &Ohms<MEMBER(CInputCapacitor, CResistor, GetResistorDamp)>;

SchematicClass Variant(WORD t, std::vector<SchematicPart> groups, std::vector<SchematicLabel> labels) {
    return {SectionKind::InputCapacitor, t, 51580u + t, 0, kModuleInCapDg, 2800u + 2 * t, std::move(groups),
            std::move(labels)};
}

}  // namespace

const std::vector<SchematicClass>& InputCapacitorSchematics() {
    static const std::vector<SchematicClass> classes = [] {
        std::vector<SchematicClass> v;
        SchematicPart damp = Cap("Capacitor Damp", true);
        damp.symbol = Symbol::Capacitor;
        v.push_back(Variant(0, {Cap("Capacitor In", false)}, {{1, kIn}}));
        v.push_back(Variant(1, {Cap("Capacitor In", false), damp, Res("Resistor Damp")},
                            {{1, kIn}, {3, kDamp}, {5, kRes}}));
        v.push_back(Variant(2, {Cap("Capacitors In1 and In2", false), Cap("Capacitors In1 and In2", false)},
                            {{1, kIn}, {3, kIn}}));
        SchematicPart damps = Cap("Capacitors Damp1 and Damp2", true);
        damps.symbol = Symbol::Capacitor;
        v.push_back(Variant(3,
                            {Cap("Capacitors In1 and In2", false), Cap("Capacitors In1 and In2", false), damps, damps,
                             Res("Resistors Damp1 and Damp2"), Res("Resistors Damp1 and Damp2")},
                            {{1, kIn}, {3, kIn}, {5, kDamp}, {7, kDamp}, {9, kRes}, {11, kRes}}));
        return v;
    }();
    return classes;
}
