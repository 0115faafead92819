// The section schematic dialogs: one class per section variant, all of one
// pattern. A click on a part's group opens that part's editing dialog on a
// copy of the part; an OK with a changed copy writes it back into the
// section and repaints. Each family describes its variants as a table
// (topology, title, groups to parts and editors, labels); the dialog below
// runs any row of those tables.
#pragma once

#include <string>
#include <vector>

#include "schematics/SchemBase.h"
#include "setup/SchemDlgReg.h"

class CSection;
class CRequirements;

// What an edit may need besides the section and the caption.
struct SchematicContext {
    CRequirements* requirements = nullptr;
    int output = 0;
};

// The symbol a part is drawn with in the pictures.
enum class Symbol {
    Resistor,
    Capacitor,
    PolarCapacitor,
    Inductor,
    CoupledWindings,
    Transformer,
    ResetTransformer,  // a power transformer with its reset winding
    CurrentTransformer,
    Diode,
    Led,
    PhotoTransistor,
    Mosfet,
    Bjt,
    Amplifier,
    OpAmp,
    Comparator,
    VoltageSource,
    CurrentSource,
    Clock,
    Switch,
    Block,
};

struct SchematicPart {
    const char* caption;  // nullptr: the editor keeps its template's title
    // Edits the part on a copy; TRUE when the section changed.
    BOOL (*edit)(CSection& section, const char* caption, const SchematicContext& context);
    Symbol symbol;
};

struct SchematicLabel {
    int record;  // hot-spot record whose top-left corner the text starts at
    std::string (*text)(CSection& section);
};

struct SchematicClass {
    SectionKind kind;
    WORD topology;
    UINT titleId;
    int titleKind;  // 3-5 for the per-output families
    UINT module;
    UINT clickCode;  // the edit code follows it
    std::vector<SchematicPart> groups;
    std::vector<SchematicLabel> labels;
    // Applied after the section's defaults, where a variant needs more.
    void (*extraDefaults)(CSection& section) = nullptr;
    // Run at every construction, after the defaults, where a variant needs it.
    void (*onConstruct)(CSection& section) = nullptr;
    // Checked by OK after the data exchange; false keeps the dialog open
    // (the check has told the user why).
    bool (*okCheck)(CSection& section) = nullptr;
};

class CSectionSchematicDlg : public CSchematicDlgBase {
public:
    // The section copy must be of the class's section kind.
    CSectionSchematicDlg(const SchematicClass& cls, CSection* section, const SchematicDialogArgs& args);

    void OnLButtonUp(UINT flags, fw::Point p) override;
    void OnOK() override;
    void SetSectionDefaults() override;
    void EditComponent(int group);
    const SchematicClass& GetClass() const { return cls_; }

protected:
    void PaintLabels() override;

private:
    const SchematicClass& cls_;
    CSection* section_;
    SchematicContext context_;
};

// Every variant's class, family by family; nullptr when a variant has none.
const std::vector<const SchematicClass*>& AllSchematicClasses();
const SchematicClass* FindSchematicClass(SectionKind kind, WORD topology);

// Registers every schematic dialog with the setup manager; called once at start-up.
void RegisterSchematicDialogs();

// The family tables.
const std::vector<SchematicClass>& LineFilterSchematics();
const std::vector<SchematicClass>& LineRectifierSchematics();
const std::vector<SchematicClass>& InputCapacitorSchematics();
const std::vector<SchematicClass>& PrimarySectionSchematics();
const std::vector<SchematicClass>& FirstStageFilterSchematics();
const std::vector<SchematicClass>& SecondStageFilterSchematics();
const std::vector<SchematicClass>& LoadNetworkSchematics();
const std::vector<SchematicClass>& VoltageErrorAmpSchematics();
const std::vector<SchematicClass>& OptoIsolatorSchematics();
const std::vector<SchematicClass>& ControlSectionSchematics();
const std::vector<SchematicClass>& SecondarySectionSchematics();
const std::vector<SchematicClass>& OutputChokeSchematics();
