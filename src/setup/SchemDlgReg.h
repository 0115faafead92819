// The schematic (picture) dialogs that the setup manager opens, by section
// and variant, and the output choke coupling dialog that the Output Chokes
// selection opens. The dialogs live above this library, so they register
// here: the schematics library fills the registry from one function that the
// program calls once at start-up (a static registrar alone would not be
// linked out of a static library), and tests register what they need.
//
// A variant without a registered dialog cannot be edited yet: the setup
// manager tells the user so and changes nothing.
#pragma once

#include <functional>
#include <map>
#include <utility>

#include "platform/core/Types.h"

class CSection;
class CRequirements;
class COutputChokeMutualInd;
class CLineFilter;
class CLineRectifier;
class CInputCapacitor;
class CPrimarySection;
class CSecondarySection;
class COutputChoke;
class C1StgOutputFilter;
class C2StgOutputFilter;
class CLoadNetwork;
class CVoltageErrorAmp;
class COptoIsolator;
class CControlSection;

enum class SectionKind {
    LineFilter,
    LineRectifier,
    InputCapacitor,
    PrimarySection,
    SecondarySection,
    OutputChoke,
    FirstStageOutputFilter,
    SecondStageOutputFilter,
    LoadNetwork,
    VoltageErrorAmp,
    OptoIsolator,
    ControlSection,
};

// What a schematic dialog is built with besides the section copy.
struct SchematicDialogArgs {
    WORD variant = 0;                       // the dialog's own variant (the number in its class name)
    int output = 0;                         // 1-4 for the per-output sections, 0 for the others
    CRequirements* requirements = nullptr;  // the document's; the primary section's dialogs take it
    UINT templateId = 203;
    UINT pictureId = 0;
    UINT listId = 0;
};

// Runs the dialog modally, with no parent, on the section copy (an object of
// the kind's class). Returns IDOK when the user confirmed the edits made on
// the copy, IDCANCEL otherwise.
using SchematicDialogFn = std::function<int(CSection& copy, const SchematicDialogArgs& args)>;

// A later registration of the same section and variant replaces the earlier.
void RegisterSchematicDialog(SectionKind kind, WORD variant, SchematicDialogFn run);
// nullptr when the variant has no dialog.
const SchematicDialogFn* FindSchematicDialog(SectionKind kind, WORD variant);
void ClearSchematicDialogs();

// Picture and hot-spot list ids of a variant's dialog (0 when it has none).
UINT SchematicPictureId(SectionKind kind, WORD variant);
UINT SchematicListId(SectionKind kind, WORD variant);

// The class of each section kind, for registering with the section's own type:
//   RegisterSchematicDialogOf<CLineFilter>(3, [](CLineFilter& s, const SchematicDialogArgs& a) { ... });
template <class Section>
struct SectionKindOf;
template <> struct SectionKindOf<CLineFilter> { static constexpr SectionKind value = SectionKind::LineFilter; };
template <> struct SectionKindOf<CLineRectifier> { static constexpr SectionKind value = SectionKind::LineRectifier; };
template <> struct SectionKindOf<CInputCapacitor> { static constexpr SectionKind value = SectionKind::InputCapacitor; };
template <> struct SectionKindOf<CPrimarySection> { static constexpr SectionKind value = SectionKind::PrimarySection; };
template <> struct SectionKindOf<CSecondarySection> { static constexpr SectionKind value = SectionKind::SecondarySection; };
template <> struct SectionKindOf<COutputChoke> { static constexpr SectionKind value = SectionKind::OutputChoke; };
template <> struct SectionKindOf<C1StgOutputFilter> {
    static constexpr SectionKind value = SectionKind::FirstStageOutputFilter;
};
template <> struct SectionKindOf<C2StgOutputFilter> {
    static constexpr SectionKind value = SectionKind::SecondStageOutputFilter;
};
template <> struct SectionKindOf<CLoadNetwork> { static constexpr SectionKind value = SectionKind::LoadNetwork; };
template <> struct SectionKindOf<CVoltageErrorAmp> { static constexpr SectionKind value = SectionKind::VoltageErrorAmp; };
template <> struct SectionKindOf<COptoIsolator> { static constexpr SectionKind value = SectionKind::OptoIsolator; };
template <> struct SectionKindOf<CControlSection> { static constexpr SectionKind value = SectionKind::ControlSection; };

template <class Section, class Fn>
void RegisterSchematicDialogOf(WORD variant, Fn run) {
    RegisterSchematicDialog(SectionKindOf<Section>::value, variant,
                            [run](CSection& copy, const SchematicDialogArgs& args) -> int {
                                return run(static_cast<Section&>(copy), args);
                            });
}

// The output choke coupling dialog, run on the selection dialog's copy of the
// coupling record. It assigns its edits to the record only on IDOK; anyNonZero
// tells whether any enabled shorted inductance of the record is above zero
// after the dialog (a Cancel leaves the record as it was).
struct CouplingDialogResult {
    int result = 2;  // IDOK or IDCANCEL
    bool anyNonZero = false;
};
using CouplingDialogFn = std::function<CouplingDialogResult(COutputChokeMutualInd& coupling)>;

void RegisterCouplingDialog(CouplingDialogFn run);
// nullptr while none is registered.
const CouplingDialogFn* FindCouplingDialog();
void ClearCouplingDialog();

// Keeps the registry as it was when made and puts it back when destroyed, so
// that a test's own registrations do not outlive it.
class SchematicDialogsSnapshot {
public:
    SchematicDialogsSnapshot();
    ~SchematicDialogsSnapshot();
    SchematicDialogsSnapshot(const SchematicDialogsSnapshot&) = delete;
    SchematicDialogsSnapshot& operator=(const SchematicDialogsSnapshot&) = delete;

private:
    std::map<std::pair<SectionKind, WORD>, SchematicDialogFn> dialogs_;
    CouplingDialogFn coupling_;
};
