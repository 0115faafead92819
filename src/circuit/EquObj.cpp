#include "circuit/EquObj.h"

#include <memory>
#include <new>

#include "platform/core/Fields.h"
#include "records/Record.h"
#include "records/Utils.h"

namespace {

fw::RegisterClass<CObEquation> g_regToken("CObEquation");
fw::RegisterClass<CEquation> g_regEquation("CEquation");

constexpr const char* kTokenTag = "<OB_EQUATION_DATA>";
constexpr const char* kEquationTag = "<EQUATION_DATA>";
constexpr UINT kInsufficientMemory = 52094;

}  // namespace

// ---------------------------------------------------------------- CObEquation

void CObEquation::InitDefaults() {
    m_strTag = kTokenTag;
    m_nKind = 0;
    m_nOperator = 0;
    m_nVarId = 0;
    m_dNumber = 0.0;
}

void CObEquation::Serialize(fw::Archive& ar) {
    if (ar.IsStoring()) {
        WriteRecordHeader(ar, m_strTag, 0);
        ar.WriteU16(static_cast<uint16_t>(m_nKind));
        ar.WriteU16(static_cast<uint16_t>(m_nOperator));
        ar.WriteI32(m_nVarId);
        ar.WriteF64(m_dNumber);
        return;
    }
    if (ReadRecordHeader(ar, m_strTag, kTokenTag, kModuleEquObj, 2500, [this] { InitDefaults(); }) < 0) return;
    m_nKind = ar.ReadU16();
    m_nOperator = ar.ReadU16();
    m_nVarId = ar.ReadI32();
    m_dNumber = ar.ReadFiniteF64(m_dNumber);
}

CObEquation& CObEquation::operator=(const CObEquation& other) {
    if (this != &other) fw::CopyFields(FieldsOf(*this), FieldsOf(other));
    return *this;
}

BOOL CObEquation::operator!=(const CObEquation& other) const {
    return fw::FieldsDiffer(FieldsOf(*this), FieldsOf(other)) ? TRUE : FALSE;
}

// ----------------------------------------------------------- CObArrayEquation

void CObArrayEquation::AddCopy(const CObEquation& token) {
    InsertCopy(GetCount(), token);
}

void CObArrayEquation::InsertCopy(int index, const CObEquation& token) {
    try {
        m_tokens.InsertAt(index, std::make_unique<CObEquation>(token));
    } catch (const std::bad_alloc&) {
        ReportMessage(kInsufficientMemory, TRUE);
    }
}

CObArrayEquation& CObArrayEquation::operator=(const CObArrayEquation& other) {
    if (this == &other) return *this;
    DeleteAll();
    for (int i = 0; i < other.GetCount(); ++i) {
        if (const CObEquation* token = other.GetTokenAt(i)) InsertCopy(i, *token);
    }
    return *this;
}

BOOL CObArrayEquation::operator!=(const CObArrayEquation& other) const {
    if (GetCount() != other.GetCount()) return TRUE;
    for (int i = 0; i < GetCount(); ++i) {
        const CObEquation* a = GetTokenAt(i);
        const CObEquation* b = other.GetTokenAt(i);
        if (!a || !b) {
            if (a != b) return TRUE;
            continue;
        }
        if (*a != *b) return TRUE;
    }
    return FALSE;
}

void CObArrayEquation::Serialize(fw::Archive& ar) {
    m_tokens.Serialize(ar);
}

// ------------------------------------------------------------------ CEquation

void CEquation::InitDefaults() {
    m_strTag = kEquationTag;
    m_nLeftParens = 0;
    m_nRightParens = 0;
    m_nLastEntry = LAST_NOTHING;
    m_strText.clear();
    m_Tokens.DeleteAll();
}

void CEquation::Serialize(fw::Archive& ar) {
    if (ar.IsStoring()) {
        WriteRecordHeader(ar, m_strTag, 0);
        fw::StoreFields(ar, FieldsOf(*this));
        return;
    }
    if (ReadRecordHeader(ar, m_strTag, kEquationTag, kModuleEquObj, 2502, [this] { InitDefaults(); }) < 0) return;
    fw::LoadFields(ar, FieldsOf(*this));
    if (!TokensPlausible()) {
        WarnFileCorrupted();
        ReportMessage1(kModuleEquObj, 2504, FALSE);
        InitDefaults();
    }
}

// Whether the loaded state is one the editor can leave behind. The counts are
// those of the parentheses the user entered; the editor rewrites each
// negation as one more parenthesised pair without counting it, so the tokens
// hold at least as many of each kind as counted, with the same surplus.
BOOL CEquation::TokensPlausible() const {
    if (m_nLastEntry < LAST_NOTHING || m_nLastEntry > LAST_OPERATOR) return FALSE;
    int lefts = 0;
    int rights = 0;
    for (int i = 0; i < m_Tokens.GetCount(); ++i) {
        const CObEquation* t = m_Tokens.GetTokenAt(i);
        if (!t) return FALSE;
        switch (t->m_nKind) {
        case CObEquation::KIND_OPERATOR:
            if (t->m_nOperator < CObEquation::OP_POWER || t->m_nOperator > CObEquation::OP_RIGHT_PAREN) return FALSE;
            if (t->m_nOperator == CObEquation::OP_LEFT_PAREN) ++lefts;
            if (t->m_nOperator == CObEquation::OP_RIGHT_PAREN) ++rights;
            break;
        case CObEquation::KIND_VARIABLE:
            if (t->m_nVarId < 0 || t->m_nVarId > kHighestTimeVarId) return FALSE;
            break;
        case CObEquation::KIND_NUMBER:
            break;
        default:
            return FALSE;
        }
    }
    if (lefts < m_nLeftParens || rights < m_nRightParens) return FALSE;
    return (lefts - m_nLeftParens == rights - m_nRightParens) ? TRUE : FALSE;
}

CEquation& CEquation::operator=(const CEquation& other) {
    if (this == &other) return *this;
    m_strTag = other.m_strTag;
    fw::CopyFields(FieldsOf(*this), FieldsOf(other));
    return *this;
}

BOOL CEquation::operator!=(const CEquation& other) const {
    if (m_strTag != other.m_strTag) return TRUE;
    return fw::FieldsDiffer(FieldsOf(*this), FieldsOf(other)) ? TRUE : FALSE;
}
