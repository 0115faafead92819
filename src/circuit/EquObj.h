// The equation of a time-domain graph variable: one token (operator or
// parenthesis, waveform variable, number), the owning token list in entry
// order, and the equation record with the editor's state and the text shown
// to the user.
#pragma once

#include <cstdint>
#include <string>
#include <tuple>

#include "platform/core/Archive.h"
#include "platform/core/ObArray.h"
#include "platform/core/Types.h"

// Module of the internal codes of the equation records.
constexpr UINT kModuleEquObj = 56039;

// Highest waveform variable id of the time-domain catalogue.
constexpr int32_t kHighestTimeVarId = 509;

// One token of an equation.
class CObEquation : public fw::Object {
public:
    enum { KIND_OPERATOR = 1, KIND_VARIABLE = 2, KIND_NUMBER = 3 };
    enum {
        OP_POWER = 1,
        OP_MULTIPLY = 2,
        OP_DIVIDE = 3,
        OP_ADD = 4,
        OP_SUBTRACT = 5,
        OP_NEGATE = 6,
        OP_LEFT_PAREN = 7,
        OP_RIGHT_PAREN = 8
    };

    CObEquation() { InitDefaults(); }
    CObEquation(const CObEquation& other) : fw::Object() { *this = other; }
    static const char* StaticClassName() { return "CObEquation"; }
    const char* GetClassName() const override { return StaticClassName(); }

    void InitDefaults();
    // Kind and operator are archived as 16-bit words: only their low halves
    // survive a save, read back zero-extended.
    void Serialize(fw::Archive& ar) override;
    CObEquation& operator=(const CObEquation& other);
    BOOL operator!=(const CObEquation& other) const;

    std::string m_strTag;
    int32_t m_nKind = 0;      // KIND_*
    int32_t m_nOperator = 0;  // OP_*, for an operator token
    int32_t m_nVarId = 0;     // catalogue id 0..509, for a variable token
    double m_dNumber = 0.0;   // the constant, for a number token

private:
    template <class Self>
    static auto FieldsOf(Self& s) {
        return std::tie(s.m_strTag, s.m_nKind, s.m_nOperator, s.m_nVarId, s.m_dNumber);
    }
};

// The tokens of one equation, owned, in entry order.
class CObArrayEquation {
public:
    CObArrayEquation() = default;
    CObArrayEquation(const CObArrayEquation& other) { *this = other; }

    void DeleteAll() { m_tokens.DeleteAll(); }
    // Out of memory shows 52094 and leaves the list unchanged.
    void AddCopy(const CObEquation& token);
    void InsertCopy(int index, const CObEquation& token);
    // The token at index, or nullptr outside the list.
    CObEquation* GetTokenAt(int index) const { return m_tokens.GetAt(index); }
    CObEquation* TokenAt(int index) const { return m_tokens.GetAt(index); }
    int GetCount() const { return m_tokens.GetCount(); }

    // Copies of the other list's tokens, in order; assigning a list to itself
    // keeps it.
    CObArrayEquation& operator=(const CObArrayEquation& other);
    BOOL operator!=(const CObArrayEquation& other) const;

    // Loading replaces every token; a damaged element throws fw::ArchiveError.
    void Serialize(fw::Archive& ar);

private:
    fw::ObArray<CObEquation> m_tokens;
};

// One equation: the editor's state, the text shown and the tokens.
class CEquation : public fw::Object {
public:
    // Kind of the last entry, by which the editor refuses entries out of place.
    enum { LAST_NOTHING = 0, LAST_VALUE = 1, LAST_LEFT_PAREN = 2, LAST_RIGHT_PAREN = 3, LAST_OPERATOR = 4 };

    CEquation() { InitDefaults(); }
    CEquation(const CEquation& other) : fw::Object() { *this = other; }
    static const char* StaticClassName() { return "CEquation"; }
    const char* GetClassName() const override { return StaticClassName(); }

    void InitDefaults();
    // A loaded equation whose tokens could not have come from the editor is
    // emptied and the file counts as damaged (52080, code 2504).
    void Serialize(fw::Archive& ar) override;
    CEquation& operator=(const CEquation& other);
    BOOL operator!=(const CEquation& other) const;

    BOOL IsInUse() const { return m_Tokens.GetCount() > 0 ? TRUE : FALSE; }
    const std::string& GetText() const { return m_strText; }
    const CObArrayEquation& GetTokens() const { return m_Tokens; }
    CObArrayEquation& GetTokens() { return m_Tokens; }

    std::string m_strTag;
    uint16_t m_nLeftParens = 0;   // left parentheses entered so far
    uint16_t m_nRightParens = 0;  // right parentheses entered so far
    int32_t m_nLastEntry = 0;     // LAST_*
    std::string m_strText;
    CObArrayEquation m_Tokens;

private:
    BOOL TokensPlausible() const;

    template <class Self>
    static auto FieldsOf(Self& s) {
        return std::tie(s.m_nLeftParens, s.m_nRightParens, s.m_nLastEntry, s.m_strText, s.m_Tokens);
    }
};
