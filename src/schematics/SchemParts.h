// Building blocks of the family tables: editing a section member through its
// part dialog on a copy, and the value labels.
#pragma once

#include <string>

#include "platform/core/Format.h"
#include "schematics/SchemDlg.h"
#include "setup/DlgIds.h"
#include "setup/PartsDlg.h"
#include "setup/PartsSrcDlg.h"
#include "setup/XfmrDlg.h"

namespace schem {

// A section member named by its section class, record class and accessor;
// written MEMBER(CLineFilter, CInductor, GetInductorIn1) in the tables.
#define MEMBER(Sec, Rec, Get) Sec, Rec, &Sec::Get

template <class Sec, class Rec, Rec& (Sec::*Get)()>
Rec& Member(CSection& s) {
    return (static_cast<Sec&>(s).*Get)();
}

// The part dialog Dlg (record, template, caption, parent) on a copy of the member.
template <class Sec, class Rec, Rec& (Sec::*Get)(), class Dlg, UINT Template>
BOOL Edit(CSection& s, const char* caption, const SchematicContext&) {
    return EditCopy(Member<Sec, Rec, Get>(s), [caption](Rec& copy) {
        Dlg dlg(&copy, Template, caption, nullptr);
        return dlg.DoModal();
    });
}

// The source dialog of a current (kind 1) or voltage (kind 0) source.
template <class Sec, CCrntVoltSource& (Sec::*Get)(), int16_t Kind, UINT Template>
BOOL EditSource(CSection& s, const char* caption, const SchematicContext&) {
    return EditCopy(Member<Sec, CCrntVoltSource, Get>(s), [caption](CCrntVoltSource& copy) {
        CCrntVoltSourceDlg dlg(&copy, Kind, Template, caption, nullptr);
        return dlg.DoModal();
    });
}

template <class Sec, class Rec, Rec& (Sec::*Get)()>
std::string Farads(CSection& s) {
    return fw::Format("%7.3e F", Member<Sec, Rec, Get>(s).m_dCapacitance);
}
template <class Sec, class Rec, Rec& (Sec::*Get)()>
std::string Henries(CSection& s) {
    return fw::Format("%7.3e H", Member<Sec, Rec, Get>(s).m_dInductance);
}
template <class Sec, class Rec, Rec& (Sec::*Get)()>
std::string Ohms(CSection& s) {
    return fw::Format("%7.3e ohm", Member<Sec, Rec, Get>(s).m_dResistance);
}
template <class Sec, class Rec, Rec& (Sec::*Get)()>
std::string Name(CSection& s) {
    return Member<Sec, Rec, Get>(s).m_strName;
}

// A part of a variant and its label (nullptr: none).
struct PartDef {
    SchematicPart part;
    std::string (*label)(CSection&) = nullptr;
};

// A variant whose labels sit on the second rectangle of their own group:
// the anchors follow from the variant's hot-spot list.
SchematicClass MakeClass(SectionKind kind, WORD topology, UINT titleId, int titleKind, UINT module, UINT clickCode,
                         UINT listId, const std::vector<PartDef>& parts);

}  // namespace schem
