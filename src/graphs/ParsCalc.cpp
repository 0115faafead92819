#include "graphs/ParsCalc.h"

#include <cmath>

#include "circuit/EquObj.h"
#include "records/Utils.h"

namespace {

constexpr UINT kUnrecoverableError = 52148;

}  // namespace

BOOL CVarPtrTable::Bind(int id, const double* value) {
    if (id < 0 || id >= kCount) return FALSE;
    m_ptrs[std::size_t(id)] = value;
    return TRUE;
}

CEquationEvaluator::CEquationEvaluator(const CEquation* equation, const CVarPtrTable* table)
    : m_pTable(table), m_pEquation(equation) {
    m_nTokenCount = equation ? equation->GetTokens().GetCount() : 0;
    m_nReady = (table && equation && m_nTokenCount > 0 && m_nTokenCount < kWorkSize) ? 1 : 0;
}

BOOL CEquationEvaluator::Evaluate(double& out) {
    if (!Compute()) {
        ReportError();
        return FALSE;
    }
    out = m_dResult;
    return TRUE;
}

BOOL CEquationEvaluator::Compute() {
    m_nStatus = STATUS_NOT_READY;
    if (!m_nReady) return FALSE;
    m_nLiveCount = m_nTokenCount;
    m_nStatus = STATUS_OK;

    const CObArrayEquation& tokens = m_pEquation->GetTokens();
    for (int i = 0; i < m_nTokenCount; ++i) {
        const CObEquation* t = tokens.GetTokenAt(i);
        EvalEntry& e = m_work[i];
        e.value = 0.0;
        if (!t) {
            m_nStatus = STATUS_BAD_TOKEN;
            return FALSE;
        }
        switch (t->m_nKind) {
        case CObEquation::KIND_OPERATOR:
            switch (t->m_nOperator) {
            case CObEquation::OP_POWER: e.kind = EvalEntry::POWER; break;
            case CObEquation::OP_MULTIPLY: e.kind = EvalEntry::MULTIPLY; break;
            case CObEquation::OP_DIVIDE: e.kind = EvalEntry::DIVIDE; break;
            case CObEquation::OP_ADD: e.kind = EvalEntry::ADD; break;
            case CObEquation::OP_SUBTRACT: e.kind = EvalEntry::SUBTRACT; break;
            case CObEquation::OP_LEFT_PAREN: e.kind = EvalEntry::LEFT_PAREN; break;
            case CObEquation::OP_RIGHT_PAREN: e.kind = EvalEntry::RIGHT_PAREN; break;
            default:  // negation never reaches here from the editor
                m_nStatus = STATUS_BAD_OPERATOR;
                return FALSE;
            }
            break;
        case CObEquation::KIND_VARIABLE:
            e.kind = EvalEntry::VALUE;
            e.value = GetVarValue(t->m_nVarId);
            break;
        case CObEquation::KIND_NUMBER:
            e.kind = EvalEntry::VALUE;
            e.value = t->m_dNumber;
            break;
        default:
            m_nStatus = STATUS_BAD_TOKEN;
            return FALSE;
        }
    }

    while (CollapseGroup()) {
    }
    if (m_nStatus != STATUS_OK) return FALSE;
    m_dResult = 0.0;

    for (;;) {
        if (m_nLiveCount < 1) {
            m_nStatus = STATUS_EMPTY;
            return FALSE;
        }
        const int32_t before = m_nLiveCount;
        if (m_nLiveCount == 1) {
            if (m_work[0].kind != EvalEntry::VALUE) {
                m_nStatus = STATUS_NOT_A_VALUE;
                return FALSE;
            }
            m_dResult = m_work[0].value;
            m_nLiveCount = 0;
            return TRUE;
        }
        if (CheckParentheses()) {
            // The innermost group: the first right parenthesis and the
            // nearest left one before it (balance guarantees there is one).
            int right = 0;
            FindKind(EvalEntry::RIGHT_PAREN, EvalEntry::RIGHT_PAREN, 0, m_nLiveCount, right);
            int left = right;
            while (left > 0 && m_work[left].kind != EvalEntry::LEFT_PAREN) --left;
            m_nLeft = left;
            m_nRight = right;
        } else if (m_nStatus == STATUS_OK) {
            m_nLeft = 0;
            m_nRight = m_nLiveCount - 1;
        } else {
            return FALSE;
        }
        while (ReduceOperator(m_nLeft, m_nRight)) m_nRight -= 2;
        if (m_nStatus != STATUS_OK) return FALSE;
        while (CollapseGroup()) {
        }
        if (m_nStatus != STATUS_OK) return FALSE;
        if (m_nLiveCount == before) {
            m_nStatus = STATUS_NO_PROGRESS;
            return FALSE;
        }
    }
}

double CEquationEvaluator::GetVarValue(int32_t id) const {
    const double* p = m_pTable ? m_pTable->GetPtr(id) : nullptr;
    if (!p) {
        ReportMessage1(kModuleParsCalc, 1700, FALSE);
        ReportMessage(kUnrecoverableError, TRUE);
        return 0.0;
    }
    return *p;
}

void CEquationEvaluator::ReportError() const {
    const int code = (m_nStatus >= 1 && m_nStatus <= 10) ? 1700 + m_nStatus : 1711;
    ReportMessage1(kModuleParsCalc, code, FALSE);
}

BOOL CEquationEvaluator::CheckParentheses() {
    int lefts = 0;
    int rights = 0;
    for (int i = 0; i < m_nLiveCount; ++i) {
        if (m_work[i].kind == EvalEntry::LEFT_PAREN) ++lefts;
        if (m_work[i].kind == EvalEntry::RIGHT_PAREN && ++rights > lefts) {
            m_nStatus = STATUS_UNBALANCED;
            return FALSE;
        }
    }
    if (lefts != rights) {
        m_nStatus = STATUS_UNBALANCED;
        return FALSE;
    }
    return lefts > 0 ? TRUE : FALSE;
}

BOOL CEquationEvaluator::CollapseGroup() {
    for (int i = 0; i < m_nLiveCount - 2; ++i) {
        if (m_work[i].kind == EvalEntry::LEFT_PAREN && m_work[i + 2].kind == EvalEntry::RIGHT_PAREN) {
            m_work[i] = m_work[i + 1];
            RemovePair(i + 3);
            if (m_nLiveCount == 0) {
                m_nStatus = STATUS_NO_PROGRESS;
                return FALSE;
            }
            return TRUE;
        }
    }
    return FALSE;
}

BOOL CEquationEvaluator::ReduceOperator(int left, int right) {
    // Powers first, leftmost first, so 2 ^ 3 ^ 2 is (2 ^ 3) ^ 2; products and
    // quotients share a level, as do sums and differences, each applied from
    // left to right as the user reads them.
    int p = 0;
    if (!FindKind(EvalEntry::POWER, EvalEntry::POWER, left, right, p) &&
        !FindKind(EvalEntry::MULTIPLY, EvalEntry::DIVIDE, left, right, p) &&
        !FindKind(EvalEntry::ADD, EvalEntry::SUBTRACT, left, right, p))
        return FALSE;
    if (p < 1 || p + 1 >= m_nLiveCount || m_work[p - 1].kind != EvalEntry::VALUE ||
        m_work[p + 1].kind != EvalEntry::VALUE) {
        m_nStatus = STATUS_MISSING_OPERAND;
        return FALSE;
    }
    const double a = m_work[p - 1].value;
    const double b = m_work[p + 1].value;
    double r = 0.0;
    switch (m_work[p].kind) {
    case EvalEntry::POWER: r = std::pow(a, b); break;
    case EvalEntry::MULTIPLY: r = a * b; break;
    case EvalEntry::DIVIDE: r = a / b; break;  // infinity or NaN is the value
    case EvalEntry::ADD: r = a + b; break;
    default: r = a - b; break;
    }
    m_work[p - 1].value = r;
    RemovePair(p + 2);
    if (m_nLiveCount == 0) {
        m_nStatus = STATUS_NO_PROGRESS;
        return FALSE;
    }
    return TRUE;
}

BOOL CEquationEvaluator::FindKind(int32_t kindFirst, int32_t kindLast, int from, int to, int& index) const {
    if (from < 0) from = 0;
    if (to > m_nLiveCount) to = m_nLiveCount;
    for (int i = from; i < to; ++i) {
        if (m_work[i].kind >= kindFirst && m_work[i].kind <= kindLast) {
            index = i;
            return TRUE;
        }
    }
    return FALSE;
}

// Closes the gap of two entries that ends at from: every entry from there on
// moves two places down.
void CEquationEvaluator::RemovePair(int from) {
    for (int i = from; i < m_nLiveCount; ++i) m_work[i - 2] = m_work[i];
    m_nLiveCount -= 2;
}
