// Building blocks of the family tables: editing a section member through its
// part dialog on a copy, and the value labels.
#pragma once

#include <string>

#include "platform/core/Format.h"
#include "schematics/SchemDlg.h"
#include "setup/PartsDlg.h"

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

}  // namespace schem
