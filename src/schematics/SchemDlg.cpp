#include "schematics/SchemDlg.h"

#include "circuit/Section.h"
#include "records/Utils.h"
#include "schematics/SchemParts.h"
#include "schematics/WndConDg.h"
#include "setup/OutChkCplDg.h"

CSectionSchematicDlg::CSectionSchematicDlg(const SchematicClass& cls, CSection* section,
                                           const SchematicDialogArgs& args)
    : CSchematicDlgBase(args.templateId, args.pictureId, args.listId, nullptr), cls_(cls), section_(section) {
    context_.requirements = args.requirements;
    context_.output = args.output;
    section_->SetTopology(cls_.topology);
    m_nTitleId = cls_.titleId;
    m_nTitleKind = cls_.titleKind;
    m_nUnit = cls_.titleKind ? args.output : 0;
    if (section_->NeedsDefaults()) {
        SetSectionDefaults();
        section_->ClearNeedsDefaults();
    }
    if (cls_.onConstruct) cls_.onConstruct(*section_);
}

void CSectionSchematicDlg::OnLButtonUp(UINT flags, fw::Point p) {
    CSchematicDlgBase::OnLButtonUp(flags, p);
    int group = GetClickedGroup();
    if (group == -1) return;
    if (group > GetHotSpotCount()) {
        ReportMessage1(cls_.module, static_cast<int>(cls_.clickCode), FALSE);
        return;
    }
    EditComponent(group);
}

void CSectionSchematicDlg::EditComponent(int group) {
    if (group < 0 || group >= static_cast<int>(cls_.groups.size())) {
        ReportMessage1(cls_.module, static_cast<int>(cls_.clickCode + 1), FALSE);
        return;
    }
    const SchematicPart& part = cls_.groups[group];
    if (part.edit(*section_, part.caption, context_)) Invalidate(FALSE);
}

void CSectionSchematicDlg::OnOK() {
    if (!UpdateData(TRUE)) return;
    if (cls_.okCheck && !cls_.okCheck(*section_)) return;
    EndDialog(fw::IDOK);
}

void CSectionSchematicDlg::SetSectionDefaults() {
    section_->SetDefaults();
    if (cls_.extraDefaults) cls_.extraDefaults(*section_);
}

void CSectionSchematicDlg::PaintLabels() {
    for (const SchematicLabel& label : cls_.labels) DrawLabel(label.record, label.text(*section_));
}

const std::vector<const SchematicClass*>& AllSchematicClasses() {
    static const std::vector<const SchematicClass*> all = [] {
        std::vector<const SchematicClass*> out;
        for (const auto* family :
             {&LineFilterSchematics(), &LineRectifierSchematics(), &InputCapacitorSchematics(),
              &PrimarySectionSchematics(), &FirstStageFilterSchematics(), &SecondStageFilterSchematics(),
              &LoadNetworkSchematics(), &VoltageErrorAmpSchematics(), &OptoIsolatorSchematics(),
              &ControlSectionSchematics(), &SecondarySectionSchematics(), &OutputChokeSchematics()})
            for (const SchematicClass& c : *family) out.push_back(&c);
        return out;
    }();
    return all;
}

const SchematicClass* FindSchematicClass(SectionKind kind, WORD topology) {
    for (const SchematicClass* c : AllSchematicClasses())
        if (c->kind == kind && c->topology == topology) return c;
    return nullptr;
}

void RegisterSchematicDialogs() {
    RegisterOutputChokeCouplingDialog();
    RegisterWindingConnectionsDialog();
    for (const SchematicClass* c : AllSchematicClasses()) {
        RegisterSchematicDialog(c->kind, c->topology, [c](CSection& copy, const SchematicDialogArgs& args) {
            CSectionSchematicDlg dlg(*c, &copy, args);
            return dlg.DoModal();
        });
    }
}

SchematicClass schem::MakeClass(SectionKind kind, WORD topology, UINT titleId, int titleKind, UINT module,
                                UINT clickCode, UINT listId, const std::vector<PartDef>& parts) {
    SchematicClass c{kind, topology, titleId, titleKind, module, clickCode, {}, {}};
    const HotSpotList* list = FindHotSpotList(listId);
    int first = 0;  // the group's first rectangle, numbered through the list
    for (size_t g = 0; g < parts.size(); ++g) {
        c.groups.push_back(parts[g].part);
        const int rects = (list && g < list->groups.size()) ? static_cast<int>(list->groups[g].size()) : 0;
        if (parts[g].label && rects >= 2) c.labels.push_back({first + 1, parts[g].label});
        first += rects;
    }
    return c;
}
