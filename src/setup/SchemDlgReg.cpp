#include "setup/SchemDlgReg.h"

#include <map>
#include <utility>

namespace {

std::map<std::pair<SectionKind, WORD>, SchematicDialogFn>& Dialogs() {
    static std::map<std::pair<SectionKind, WORD>, SchematicDialogFn> dialogs;
    return dialogs;
}

CouplingDialogFn& Coupling() {
    static CouplingDialogFn coupling;
    return coupling;
}

struct VariantIds {
    SectionKind kind;
    WORD first;  // variants first..last have a dialog
    WORD last;
    UINT pictureBase;  // picture = base + variant; list = picture + 400
};

constexpr VariantIds kVariantIds[] = {
    {SectionKind::LineFilter, 0, 8, 400},
    {SectionKind::LineRectifier, 1, 5, 409},
    {SectionKind::InputCapacitor, 0, 3, 420},
    {SectionKind::PrimarySection, 0, 9, 430},
    {SectionKind::SecondarySection, 0, 0, 450},
    {SectionKind::OutputChoke, 0, 1, 460},
    {SectionKind::FirstStageOutputFilter, 0, 3, 470},
    {SectionKind::SecondStageOutputFilter, 1, 6, 479},
    {SectionKind::LoadNetwork, 0, 3, 490},
    {SectionKind::VoltageErrorAmp, 0, 7, 500},
    {SectionKind::OptoIsolator, 0, 5, 510},
    {SectionKind::ControlSection, 0, 4, 520},
};

}  // namespace

void RegisterSchematicDialog(SectionKind kind, WORD variant, SchematicDialogFn run) {
    if (!run) {
        Dialogs().erase({kind, variant});
        return;
    }
    Dialogs()[{kind, variant}] = std::move(run);
}

const SchematicDialogFn* FindSchematicDialog(SectionKind kind, WORD variant) {
    auto it = Dialogs().find({kind, variant});
    return it == Dialogs().end() ? nullptr : &it->second;
}

void ClearSchematicDialogs() { Dialogs().clear(); }

UINT SchematicPictureId(SectionKind kind, WORD variant) {
    for (const VariantIds& v : kVariantIds)
        if (v.kind == kind && variant >= v.first && variant <= v.last) return v.pictureBase + variant;
    return 0;
}

UINT SchematicListId(SectionKind kind, WORD variant) {
    UINT picture = SchematicPictureId(kind, variant);
    return picture ? picture + 400 : 0;
}

void RegisterCouplingDialog(CouplingDialogFn run) { Coupling() = std::move(run); }

const CouplingDialogFn* FindCouplingDialog() { return Coupling() ? &Coupling() : nullptr; }

void ClearCouplingDialog() { Coupling() = nullptr; }

SchematicDialogsSnapshot::SchematicDialogsSnapshot() : dialogs_(Dialogs()), coupling_(Coupling()) {}

SchematicDialogsSnapshot::~SchematicDialogsSnapshot() {
    Dialogs() = std::move(dialogs_);
    Coupling() = std::move(coupling_);
}
