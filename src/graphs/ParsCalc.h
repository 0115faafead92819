// Evaluation of a time-domain graph equation at every graph sample: the
// table that binds each waveform variable id to the run's value, and a small
// interpreter that reduces the equation's tokens in a fixed work list of 20
// entries, innermost parenthesis group first, powers before products and
// quotients before sums and differences, operators of one level from left
// to right. It allocates nothing while it evaluates.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "platform/core/Types.h"

class CEquation;

// Module of the internal codes of the evaluator.
constexpr UINT kModuleParsCalc = 56064;

// Where the value of each variable id lives during a run. The table does not
// own the values; the run binds every id before it evaluates.
class CVarPtrTable {
public:
    static constexpr int kCount = 510;

    // Every id unbound.
    CVarPtrTable() { m_ptrs.fill(nullptr); }
    // The values in id order.
    explicit CVarPtrTable(const std::array<const double*, kCount>& ptrs) : m_ptrs(ptrs) {}

    // FALSE (nothing bound) for an id outside 0..509.
    BOOL Bind(int id, const double* value);
    // The value's address, or nullptr for an unbound id or one outside 0..509.
    const double* GetPtr(int id) const { return (id >= 0 && id < kCount) ? m_ptrs[std::size_t(id)] : nullptr; }

private:
    std::array<const double*, kCount> m_ptrs;
};

// One entry of the work list.
struct EvalEntry {
    enum {
        UNSET = 0,
        VALUE = 1,
        LEFT_PAREN = 2,
        RIGHT_PAREN = 3,
        POWER = 4,
        MULTIPLY = 5,
        DIVIDE = 6,
        ADD = 7,
        SUBTRACT = 8
    };
    int32_t kind = UNSET;
    double value = 0.0;
};

class CEquationEvaluator {
public:
    static constexpr int kWorkSize = 20;

    // Statuses of a failed evaluation; each is logged as ParsCalc code
    // 1700 + status.
    enum {
        STATUS_OK = 0,
        STATUS_NOT_READY = 1,
        STATUS_BAD_OPERATOR = 4,
        STATUS_BAD_TOKEN = 5,
        STATUS_NOT_A_VALUE = 6,
        STATUS_MISSING_OPERAND = 7,
        STATUS_NO_PROGRESS = 8,
        STATUS_UNBALANCED = 9,
        STATUS_EMPTY = 10
    };

    // Ready when both are given and the equation has 1 to 19 tokens.
    CEquationEvaluator(const CEquation* equation, const CVarPtrTable* table);

    BOOL IsReady() const { return m_nReady ? TRUE : FALSE; }
    BOOL IsValid() const { return IsReady(); }
    // TRUE with the value stored in out; FALSE (out untouched) after logging
    // the status.
    BOOL Evaluate(double& out);
    BOOL Compute();
    // The present value of a variable; an id outside 0..509 or an unbound one
    // is an internal fault: code 1700, message 52148 (which stops the run),
    // and 0.0 is used.
    double GetVarValue(int32_t id) const;
    void ReportError() const;

    int GetStatus() const { return m_nStatus; }
    double GetResult() const { return m_dResult; }

private:
    BOOL CheckParentheses();
    BOOL CollapseGroup();
    BOOL ReduceOperator(int left, int right);
    // First live entry whose kind lies in kindFirst..kindLast with index in
    // from..to-1.
    BOOL FindKind(int32_t kindFirst, int32_t kindLast, int from, int to, int& index) const;
    void RemovePair(int from);

    const CVarPtrTable* m_pTable;
    const CEquation* m_pEquation;
    EvalEntry m_work[kWorkSize];
    int32_t m_nTokenCount = 0;
    int32_t m_nLiveCount = 0;
    int32_t m_nLeft = 0;
    int32_t m_nRight = 0;
    int32_t m_nStatus = STATUS_OK;
    double m_dResult = 0.0;
    int32_t m_nReady = 0;
};
