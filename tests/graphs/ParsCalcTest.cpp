#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "circuit/EquObj.h"
#include "graphs/ParsCalc.h"
#include "platform/core/ReportSink.h"
#include "records/Utils.h"

namespace {

// Builds tokens from a blank-separated text: numbers, "vN" (variable id N),
// the operators ^ * / + - ( ), "neg" (a stored negation), "opN" (operator
// code N) and "kindN" (a token of kind N).
CEquation MakeEquation(const std::string& text) {
    CEquation eq;
    std::stringstream ss(text);
    std::string word;
    const std::string ops = "^*/+-#()";
    while (ss >> word) {
        CObEquation t;
        if (word.size() == 1 && ops.find(word[0]) != std::string::npos) {
            t.m_nKind = CObEquation::KIND_OPERATOR;
            t.m_nOperator = int32_t(ops.find(word[0])) + 1;
        } else if (word == "neg") {
            t.m_nKind = CObEquation::KIND_OPERATOR;
            t.m_nOperator = CObEquation::OP_NEGATE;
        } else if (word.rfind("op", 0) == 0) {
            t.m_nKind = CObEquation::KIND_OPERATOR;
            t.m_nOperator = std::stoi(word.substr(2));
        } else if (word.rfind("kind", 0) == 0) {
            t.m_nKind = std::stoi(word.substr(4));
        } else if (word[0] == 'v') {
            t.m_nKind = CObEquation::KIND_VARIABLE;
            t.m_nVarId = std::stoi(word.substr(1));
        } else {
            t.m_nKind = CObEquation::KIND_NUMBER;
            t.m_dNumber = std::stod(word);
        }
        eq.m_Tokens.AddCopy(t);
    }
    return eq;
}

std::string Repeat(const std::string& first, const std::string& more, int times) {
    std::string s = first;
    for (int i = 0; i < times; ++i) s += " " + more;
    return s;
}

// A run's values: variable id i holds i; every id bound.
class Evaluator : public ::testing::Test {
protected:
    void SetUp() override {
        logPath_ = ::testing::TempDir() + "/PwrQuorra_parscalc.log";
        FreshLog();
        SetLoggingQuery([] { return true; });
        for (int i = 0; i < CVarPtrTable::kCount; ++i) {
            values_[i] = double(i);
            EXPECT_TRUE(table_.Bind(i, &values_[i]));
        }
    }
    void TearDown() override {
        SetLoggingQuery(nullptr);
        std::remove(logPath_.c_str());
    }
    void FreshLog() {
        std::remove(logPath_.c_str());
        SetLogPath(logPath_);
        ResetLogStarted();
    }
    // The log without its time line.
    std::string Log() {
        std::ifstream f(logPath_, std::ios::binary);
        std::stringstream ss;
        ss << f.rdbuf();
        std::string s = ss.str();
        size_t eol = s.find("\r\n");
        return eol == std::string::npos ? s : s.substr(eol + 2);
    }

    double values_[CVarPtrTable::kCount];
    CVarPtrTable table_;
    fw::RecordingSink sink_;
    fw::ScopedReportSink scoped_{&sink_};
    std::string logPath_;
};

struct Case {
    const char* text;
    int status;  // 0: evaluates to value
    double value;
};

}  // namespace

TEST_F(Evaluator, EquationsGiveTheirValuesOrTheirStatus) {
    const Case cases[] = {
        {"42", 0, 42.0},
        {"v509", 0, 509.0},
        {"2 + 3 * 4", 0, 14.0},
        // One level, left to right.
        {"8 / 2 * 2", 0, 8.0},
        {"10 - 4 + 1", 0, 7.0},
        {"1 - 2 - 3", 0, -4.0},
        {"12 / 2 / 3", 0, 2.0},
        {"2 * 6 / 4 * 2", 0, 6.0},
        // Powers first, chained powers from the left.
        {"2 ^ 3 ^ 2", 0, 64.0},
        {"2 * 3 ^ 2", 0, 18.0},
        {"10 - 2 ^ 2 * 2", 0, 2.0},
        // The group at the first right parenthesis goes first.
        {"( ( 1 + 2 ) * 3 )", 0, 9.0},
        {"( 2 * ( 1 + 2 ) + 1 )", 0, 7.0},
        {"v3 * ( v4 - 1 )", 0, 9.0},
        {"v8 / ( v2 * v2 )", 0, 2.0},
        {"( v3 - 1 ) / ( v4 - 2 ) - 1", 0, 0.0},
        // A negation as the editor stores it: - v3 ^ 2.
        {"( -1 * v3 ) ^ 2", 0, 9.0},
        {"*", 6, 0},
        {"+ 2", 7, 0},
        {"2 * + 3", 7, 0},
        {"( * 2 )", 7, 0},
        {"( )", 8, 0},
        {"1 2", 8, 0},
        {"2 +", 8, 0},
        {") 5 (", 9, 0},
        {"( 1 + 2", 9, 0},
        {"1 + 2 )", 9, 0},
        {"neg 5", 4, 0},
        {"op9", 4, 0},
        {"op0 1", 4, 0},
        {"kind4", 5, 0},
        {"1 + kind0", 5, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        FreshLog();
        CEquation eq = MakeEquation(c.text);
        CEquationEvaluator ev(&eq, &table_);
        ASSERT_TRUE(ev.IsReady());
        double out = -12345.0;
        BOOL ok = ev.Evaluate(out);
        EXPECT_EQ(ev.GetStatus(), c.status);
        if (c.status == 0) {
            EXPECT_TRUE(ok);
            EXPECT_DOUBLE_EQ(out, c.value);
            EXPECT_EQ(Log(), "");
        } else {
            EXPECT_FALSE(ok);
            EXPECT_EQ(out, -12345.0);
            EXPECT_EQ(Log(), "ParsCalc:  CODE " + std::to_string(1700 + c.status) + "\r\n");
        }
    }
    EXPECT_TRUE(sink_.boxes.empty());
}

TEST_F(Evaluator, ReadyOnlyWithEquationTableAndOneToNineteenTokens) {
    const std::string nineteen = Repeat("1", "+ 1", 9);
    CEquation eq19 = MakeEquation(nineteen);
    ASSERT_EQ(eq19.m_Tokens.GetCount(), 19);
    CEquationEvaluator ev19(&eq19, &table_);
    ASSERT_TRUE(ev19.IsReady());
    double out = 0;
    EXPECT_TRUE(ev19.Evaluate(out));
    EXPECT_EQ(out, 10.0);

    CEquation eq20 = MakeEquation(nineteen + " )");
    CEquation empty;
    CEquationEvaluator notReady[] = {
        {&eq20, &table_}, {&empty, &table_}, {nullptr, &table_}, {&eq19, nullptr}};
    for (CEquationEvaluator& ev : notReady) {
        EXPECT_FALSE(ev.IsReady());
        EXPECT_FALSE(ev.IsValid());
    }
    // The run skips an evaluator that is not ready; asked anyway, it refuses
    // with status 1 and leaves the value alone.
    FreshLog();
    out = 3.5;
    EXPECT_FALSE(notReady[0].Evaluate(out));
    EXPECT_EQ(out, 3.5);
    EXPECT_EQ(notReady[0].GetStatus(), 1);
    EXPECT_EQ(Log(), "ParsCalc:  CODE 1701\r\n");
}

TEST_F(Evaluator, DivisionByAZeroVariableGivesItsFloatingPointValue) {
    CEquation byZero = MakeEquation("v3 / v0");
    CEquation zeroByZero = MakeEquation("v0 / v0");
    CEquationEvaluator a(&byZero, &table_);
    CEquationEvaluator b(&zeroByZero, &table_);
    double out = 0;
    EXPECT_TRUE(a.Evaluate(out));
    EXPECT_TRUE(std::isinf(out));
    EXPECT_EQ(a.GetStatus(), 0);
    EXPECT_TRUE(b.Evaluate(out));
    EXPECT_TRUE(std::isnan(out));
    EXPECT_EQ(Log(), "");
}

TEST_F(Evaluator, ReadsThePresentValuesAtEveryCall) {
    CEquation eq = MakeEquation("v3 * v4 + v509");
    CEquationEvaluator ev(&eq, &table_);
    double out = 0;
    EXPECT_TRUE(ev.Evaluate(out));
    EXPECT_EQ(out, 521.0);
    values_[3] = -1.0;
    values_[509] = 0.5;
    EXPECT_TRUE(ev.Evaluate(out));
    EXPECT_EQ(out, -3.5);
}

// An id outside the catalogue, or one the run did not bind, is an internal
// fault: logged, the unrecoverable-error message stops the run, and the
// evaluation goes on with 0.0 without touching memory outside the table.
TEST_F(Evaluator, VariableWithoutAValueIsReportedAndReadsZero) {
    CVarPtrTable partial;
    double seven = 7.0;
    EXPECT_TRUE(partial.Bind(1, &seven));
    EXPECT_FALSE(partial.Bind(510, &seven));
    EXPECT_FALSE(partial.Bind(-1, &seven));
    EXPECT_EQ(partial.GetPtr(510), nullptr);
    EXPECT_EQ(partial.GetPtr(-1), nullptr);

    const char* texts[] = {"v510 + 2", "v-1 + 2", "v2 + 2", "v70000 + 2"};
    for (const char* text : texts) {
        SCOPED_TRACE(text);
        FreshLog();
        sink_.Clear();
        CEquation eq = MakeEquation(text);
        CEquationEvaluator ev(&eq, &partial);
        double out = 0;
        EXPECT_TRUE(ev.Evaluate(out));
        EXPECT_EQ(out, 2.0);
        ASSERT_EQ(sink_.boxes.size(), 1u);
        EXPECT_EQ(sink_.boxes[0], "Problem:  An unrecoverable error has occured.\nPlease, contact technical support.");
        ASSERT_EQ(sink_.posts.size(), 1u);
        EXPECT_EQ(sink_.posts[0].message, WM_ANALYSIS_ABORT);
        EXPECT_EQ(Log().substr(0, 22), "ParsCalc:  CODE 1700\r\n");
    }

    CEquation bound = MakeEquation("v1 * 2");
    CEquationEvaluator ev(&bound, &partial);
    double out = 0;
    sink_.Clear();
    EXPECT_TRUE(ev.Evaluate(out));
    EXPECT_EQ(out, 14.0);
    EXPECT_TRUE(sink_.boxes.empty());
}

TEST_F(Evaluator, TableBuiltFromAllPointersInIdOrder) {
    std::array<const double*, CVarPtrTable::kCount> ptrs{};
    for (int i = 0; i < CVarPtrTable::kCount; ++i) ptrs[size_t(i)] = &values_[CVarPtrTable::kCount - 1 - i];
    CVarPtrTable reversed(ptrs);
    CEquation eq = MakeEquation("v0 - v509");
    CEquationEvaluator ev(&eq, &reversed);
    double out = 0;
    EXPECT_TRUE(ev.Evaluate(out));
    EXPECT_EQ(out, 509.0);
}
