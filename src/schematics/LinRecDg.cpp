// Line rectifier pictures: topologies 1-5. One diode record stands for every
// diode of every variant, so every group edits it and every label names it.
#include "circuit/LinRec.h"
#include "schematics/SchemParts.h"

using namespace schem;

namespace {

constexpr UINT kModuleLinRecDg = 56049;

SchematicClass Variant(WORD t, int diodes, const char* caption) {
    SchematicClass c{SectionKind::LineRectifier, t, 51570u + t, 0, kModuleLinRecDg, 3098u + 2 * t, {}, {}};
    for (int g = 0; g < diodes; ++g) {
        c.groups.push_back(SchematicPart{caption, &Edit<MEMBER(CLineRectifier, CDiode, GetDiode), CDiodeRectifierDlg, IDD_DIODE_RECTIFIER>,
                            Symbol::Diode});
        c.labels.push_back(SchematicLabel{2 * g + 1, &Name<MEMBER(CLineRectifier, CDiode, GetDiode)>});
    }
    return c;
}

}  // namespace

const std::vector<SchematicClass>& LineRectifierSchematics() {
    static const std::vector<SchematicClass> classes = {
        Variant(1, 1, "Diode"),       Variant(2, 4, "All Diodes"),  Variant(3, 2, "Both Diodes"),
        Variant(4, 2, "Both Diodes"), Variant(5, 2, "Both Diodes"),
    };
    return classes;
}
