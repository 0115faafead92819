// Every part of every picture, at the section's presets: its editor closes on
// an OK without an edit, shows nothing and writes nothing back.
#include <gtest/gtest.h>

#include <string>

#include "circuit/Doc.h"
#include "schematics/SchemDlg.h"
#include "setup/SelctDlg.h"
#include "setup/SetupTestSupport.h"

namespace {

CSection* SectionOf(CPwrQuorraDoc& doc, SectionKind kind) {
    switch (kind) {
    case SectionKind::LineFilter: return doc.GetLineFilter();
    case SectionKind::LineRectifier: return doc.GetLineRectifier();
    case SectionKind::InputCapacitor: return doc.GetInputCapacitor();
    case SectionKind::PrimarySection: return doc.GetPrimarySection();
    case SectionKind::VoltageErrorAmp: return doc.GetVoltageErrorAmp();
    case SectionKind::OptoIsolator: return doc.GetOptoIsolator();
    case SectionKind::ControlSection: return doc.GetControlSection();
    default: return OutputSectionOf(doc, kind, 0);
    }
}

TEST_F(DialogTest, EveryPartAtItsPresetsClosesUnchangedOnOk) {
    CPwrQuorraDoc doc;
    doc.OnNewDocument();
    SchematicContext context;
    context.requirements = doc.GetRequirements();
    context.output = 1;
    for (const SchematicClass* c : AllSchematicClasses()) {
        CSection* section = SectionOf(doc, c->kind);
        ASSERT_NE(section, nullptr);
        section->SetTopology(c->topology);
        section->SetDefaults();
        if (c->extraDefaults) c->extraDefaults(*section);
        for (size_t g = 0; g < c->groups.size(); ++g) {
            const SchematicPart& part = c->groups[g];
            SCOPED_TRACE("section " + std::to_string(int(c->kind)) + " variant " + std::to_string(c->topology) +
                         " part " + std::to_string(g) + " " + (part.caption ? part.caption : ""));
            ui.windows.scripts.clear();
            ui.windows.modalRuns.clear();
            ui.sink.Clear();
            // Whatever the part opens is closed with OK at once.
            for (UINT id = 200; id < 300; ++id)
                for (int run = 0; run < 4; ++run) ui.windows.Script(id, [](fw::Dialog& d) { d.UserClicked(fw::IDOK); });
            EXPECT_FALSE(part.edit(*section, part.caption, context)) << "the section changed";
            EXPECT_FALSE(ui.windows.modalRuns.empty());
            EXPECT_TRUE(ui.sink.boxes.empty()) << ui.sink.boxes.front();
        }
    }
}

}  // namespace
