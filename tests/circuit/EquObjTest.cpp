#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "circuit/EquObj.h"
#include "platform/core/Archive.h"
#include "platform/core/ReportSink.h"
#include "records/Utils.h"
#include "support/Golden.h"
#include "support/ReportCapture.h"

namespace {

CObEquation Op(int code) {
    CObEquation t;
    t.m_nKind = CObEquation::KIND_OPERATOR;
    t.m_nOperator = code;
    return t;
}
CObEquation Var(int id) {
    CObEquation t;
    t.m_nKind = CObEquation::KIND_VARIABLE;
    t.m_nVarId = id;
    return t;
}
CObEquation Num(double v) {
    CObEquation t;
    t.m_nKind = CObEquation::KIND_NUMBER;
    t.m_dNumber = v;
    return t;
}

CEquation Make(std::vector<CObEquation> tokens, const std::string& text, uint16_t lefts = 0, uint16_t rights = 0,
               int32_t last = CEquation::LAST_VALUE) {
    CEquation eq;
    for (const CObEquation& t : tokens) eq.m_Tokens.AddCopy(t);
    eq.m_strText = text;
    eq.m_nLeftParens = lefts;
    eq.m_nRightParens = rights;
    eq.m_nLastEntry = last;
    return eq;
}

// " < v12 > * ( 2 + 3 )" as the editor leaves it.
CEquation Sample() {
    return Make({Var(12), Op(CObEquation::OP_MULTIPLY), Op(CObEquation::OP_LEFT_PAREN), Num(2.0),
                 Op(CObEquation::OP_ADD), Num(3.0), Op(CObEquation::OP_RIGHT_PAREN)},
                " < v12 > * ( 2 + 3 )", 1, 1, CEquation::LAST_RIGHT_PAREN);
}

std::vector<uint8_t> Store(std::initializer_list<fw::Object*> records) {
    fw::Archive ar;
    for (fw::Object* r : records) r->Serialize(ar);
    return ar.Bytes();
}

// Little-endian byte builder for hand-made archives.
struct Bytes {
    std::vector<uint8_t> b;
    Bytes& U16(uint16_t v) {
        b.push_back(uint8_t(v));
        b.push_back(uint8_t(v >> 8));
        return *this;
    }
    Bytes& I32(int32_t v) {
        uint32_t u = uint32_t(v);
        for (int i = 0; i < 4; ++i) b.push_back(uint8_t(u >> (8 * i)));
        return *this;
    }
    Bytes& F64(double v) {
        uint64_t u;
        std::memcpy(&u, &v, 8);
        for (int i = 0; i < 8; ++i) b.push_back(uint8_t(u >> (8 * i)));
        return *this;
    }
    Bytes& Str(const std::string& s) {
        b.push_back(uint8_t(s.size()));
        b.insert(b.end(), s.begin(), s.end());
        return *this;
    }
    Bytes& Raw(const std::string& s) {
        b.insert(b.end(), s.begin(), s.end());
        return *this;
    }
};

class EquationRecords : public test_support::ReportCaptureTest {
protected:
    // The log without its time line.
    std::string Log() const { return test_support::AfterTimeLine(ReportCaptureTest::Log()); }
};

const char* const kCorrupted = "The SEF file has been corrupted.\nNot all data has been restored.";
const char* const kWrongVersion = "The version of the SEF file is incorrect.\nNot all data has been restored.";

}  // namespace

TEST_F(EquationRecords, NewRecordsHoldTheirDefaults) {
    CEquation eq;
    EXPECT_EQ(eq.m_strTag, "<EQUATION_DATA>");
    EXPECT_EQ(eq.m_nLeftParens, 0);
    EXPECT_EQ(eq.m_nRightParens, 0);
    EXPECT_EQ(eq.m_nLastEntry, 0);
    EXPECT_EQ(eq.GetText(), "");
    EXPECT_EQ(eq.GetTokens().GetCount(), 0);
    EXPECT_FALSE(eq.IsInUse());

    CObEquation t;
    EXPECT_EQ(t.m_strTag, "<OB_EQUATION_DATA>");
    EXPECT_EQ(t.m_nKind, 0);
    EXPECT_EQ(t.m_nOperator, 0);
    EXPECT_EQ(t.m_nVarId, 0);
    EXPECT_EQ(t.m_dNumber, 0.0);

    // InitDefaults is the editor's Clear.
    CEquation used = Sample();
    EXPECT_TRUE(used.IsInUse());
    used.InitDefaults();
    EXPECT_FALSE(used != CEquation());
}

TEST_F(EquationRecords, StoreWritesTheRecordLayout) {
    CEquation eq = Make({Var(509)}, " < x >", 2, 1, CEquation::LAST_VALUE);
    std::vector<uint8_t> got = Store({&eq});
    Bytes want;
    want.Str("<EQUATION_DATA>").U16(0).U16(2).U16(1).I32(1).Str(" < x >");
    want.U16(1).U16(0xFFFF).U16(1).U16(11).Raw("CObEquation");
    want.Str("<OB_EQUATION_DATA>").U16(0).U16(2).U16(0).I32(509).F64(0.0);
    EXPECT_EQ(got, want.b);

    // Every token kind, the class named once and referred to after.
    CEquation sample = Sample();
    const std::vector<uint8_t> bytes = Store({&sample});
    test_support::ExpectGolden("circuit", "Equation.bin", std::string(bytes.begin(), bytes.end()));
}

TEST_F(EquationRecords, StoredEquationsLoadBackEqual) {
    CEquation a = Sample();
    CEquation b = Make({Op(CObEquation::OP_LEFT_PAREN), Num(-1.0), Op(CObEquation::OP_MULTIPLY), Var(0),
                        Op(CObEquation::OP_RIGHT_PAREN), Op(CObEquation::OP_POWER), Num(2.5e-7)},
                       " - < v0 > ^ 2.5e-7");
    CEquation empty;
    std::vector<uint8_t> bytes = Store({&a, &b, &empty});

    fw::Archive in(bytes);
    CEquation la, lb, lempty = Sample();
    la.Serialize(in);
    lb.Serialize(in);
    lempty.Serialize(in);
    EXPECT_TRUE(in.AtEnd());
    EXPECT_FALSE(la != a);
    EXPECT_FALSE(lb != b);
    EXPECT_FALSE(lempty != empty);
    EXPECT_TRUE(sink_.boxes.empty());
    EXPECT_EQ(Log(), "");
}

TEST_F(EquationRecords, KindAndOperatorKeepOnlyTheirLowHalves) {
    CObEquation t;
    t.m_nKind = 0x10003;
    t.m_nOperator = 0x7FFF0002;
    t.m_nVarId = -5;
    t.m_dNumber = 1.25;
    std::vector<uint8_t> bytes = Store({&t});
    fw::Archive in(bytes);
    CObEquation back;
    back.Serialize(in);
    EXPECT_EQ(back.m_nKind, 3);
    EXPECT_EQ(back.m_nOperator, 2);
    EXPECT_EQ(back.m_nVarId, -5);
    EXPECT_EQ(back.m_dNumber, 1.25);

    t.m_nKind = 0xFFFF;
    fw::Archive in2(Store({&t}));
    back.Serialize(in2);
    EXPECT_EQ(back.m_nKind, 65535);  // zero-extended
}

TEST_F(EquationRecords, AssignmentLeavesExactlyCopiesOfTheOtherTokens) {
    CEquation three = Make({Num(1.0), Op(CObEquation::OP_ADD), Var(7)}, " 1 + x");
    CEquation five = Make({Num(9.0), Op(CObEquation::OP_SUBTRACT), Num(8.0), Op(CObEquation::OP_DIVIDE), Num(7.0)},
                          " 9 - 8 / 7", 0, 0, CEquation::LAST_VALUE);
    five.m_strTag = "<OTHER>";
    five = three;
    EXPECT_FALSE(five != three);
    EXPECT_EQ(five.m_strTag, "<EQUATION_DATA>");
    ASSERT_EQ(five.GetTokens().GetCount(), 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_NE(five.GetTokens().GetTokenAt(i), three.GetTokens().GetTokenAt(i));
        EXPECT_FALSE(*five.GetTokens().GetTokenAt(i) != *three.GetTokens().GetTokenAt(i));
    }
    EXPECT_EQ(five.GetTokens().GetTokenAt(2)->m_nVarId, 7);

    // The copies are the copy's own.
    five.GetTokens().GetTokenAt(0)->m_dNumber = 2.0;
    EXPECT_EQ(three.GetTokens().GetTokenAt(0)->m_dNumber, 1.0);

    CEquation& self = three;
    three = self;
    EXPECT_EQ(three.GetTokens().GetCount(), 3);
}

TEST_F(EquationRecords, ComparisonFindsEachDifference) {
    using Change = std::function<void(CEquation&)>;
    const std::pair<const char*, Change> changes[] = {
        {"tag", [](CEquation& e) { e.m_strTag = "<X>"; }},
        {"left count", [](CEquation& e) { e.m_nLeftParens = 2; }},
        {"right count", [](CEquation& e) { e.m_nRightParens = 0; }},
        {"last entry", [](CEquation& e) { e.m_nLastEntry = CEquation::LAST_VALUE; }},
        {"text only", [](CEquation& e) { e.m_strText += " "; }},
        {"one number", [](CEquation& e) { e.GetTokens().GetTokenAt(3)->m_dNumber = 2.0000001; }},
        {"variable id", [](CEquation& e) { e.GetTokens().GetTokenAt(0)->m_nVarId = 13; }},
        {"operator", [](CEquation& e) { e.GetTokens().GetTokenAt(1)->m_nOperator = CObEquation::OP_DIVIDE; }},
        {"kind", [](CEquation& e) { e.GetTokens().GetTokenAt(3)->m_nKind = CObEquation::KIND_VARIABLE; }},
        {"token tag", [](CEquation& e) { e.GetTokens().GetTokenAt(3)->m_strTag = "<X>"; }},
        {"token count", [](CEquation& e) { e.GetTokens().AddCopy(Num(1.0)); }},
    };
    const CEquation base = Sample();
    for (const auto& [what, change] : changes) {
        CEquation other = base;
        change(other);
        EXPECT_TRUE(other != base) << what;
        EXPECT_TRUE(base != other) << what;
    }
    // Numbers that are not ordered never count as a difference.
    CEquation a = Make({Num(std::nan(""))}, "x");
    CEquation b = Make({Num(1.0)}, "x");
    EXPECT_FALSE(a != b);
}

TEST_F(EquationRecords, TokenListEditing) {
    CObArrayEquation list;
    list.AddCopy(Num(1.0));
    list.AddCopy(Num(3.0));
    list.InsertCopy(1, Num(2.0));
    list.InsertCopy(0, Num(0.0));
    ASSERT_EQ(list.GetCount(), 4);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(list.GetTokenAt(i)->m_dNumber, double(i));
    EXPECT_EQ(list.TokenAt(2), list.GetTokenAt(2));
    EXPECT_EQ(list.GetTokenAt(4), nullptr);
    EXPECT_EQ(list.GetTokenAt(-1), nullptr);
    list.DeleteAll();
    EXPECT_EQ(list.GetCount(), 0);
}

TEST_F(EquationRecords, WrongTagOrSchemaGivesTheDefaults) {
    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;
        const char* box;
        std::string log;
    };
    const std::string tokenClass = std::string("\xFF\xFF\x01\x00\x0B\x00", 6) + "CObEquation";
    const Case cases[] = {
        {"equation tag", Bytes().Str("<EQUATION>").b, kCorrupted, "EquObj:    CODE 2502\r\n"},
        {"equation schema", Bytes().Str("<EQUATION_DATA>").U16(1).b, kWrongVersion, "EquObj:    CODE 2503\r\n"},
        {"token tag",
         Bytes().Str("<EQUATION_DATA>").U16(0).U16(0).U16(0).I32(1).Str(" 1").U16(1).Raw(tokenClass).Str("<OB>").b,
         kCorrupted, "EquObj:    CODE 2500\r\nEquObj:    CODE 2504\r\n"},
        {"token schema",
         Bytes().Str("<EQUATION_DATA>").U16(0).U16(0).U16(0).I32(1).Str(" 1").U16(1).Raw(tokenClass)
             .Str("<OB_EQUATION_DATA>").U16(2).b,
         kWrongVersion, "EquObj:    CODE 2501\r\nEquObj:    CODE 2504\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        NewLoad();
        fw::Archive in(c.bytes);
        CEquation eq = Sample();
        eq.Serialize(in);
        EXPECT_TRUE(in.AtEnd());
        EXPECT_FALSE(eq != CEquation());
        EXPECT_EQ(sink_.boxes, std::vector<std::string>{c.box});
        // The log also holds the warning's own text.
        EXPECT_EQ(Log(), std::string(c.box) + "\r\n" + c.log);
    }

    // Two damaged equations in one load warn once; the next load warns again.
    NewLoad();
    fw::Archive twice(Bytes().Str("<A>").Str("<B>").b);
    CEquation e1 = Sample(), e2 = Sample();
    e1.Serialize(twice);
    e2.Serialize(twice);
    EXPECT_FALSE(e1.IsInUse());
    EXPECT_FALSE(e2.IsInUse());
    EXPECT_EQ(sink_.boxes.size(), 1u);
    NewLoad();
    fw::Archive again(Bytes().Str("<A>").b);
    e1.Serialize(again);
    EXPECT_EQ(sink_.boxes.size(), 1u);
}

// Tokens that the editor cannot produce make the file damaged: the equation is
// emptied, the warning shows once, and the records after it still load.
TEST_F(EquationRecords, ImplausibleEquationsAreEmptiedOnLoad) {
    using Change = std::function<void(CEquation&)>;
    const std::pair<const char*, Change> bad[] = {
        {"kind 0", [](CEquation& e) { e.GetTokens().GetTokenAt(0)->m_nKind = 0; }},
        {"kind 4", [](CEquation& e) { e.GetTokens().GetTokenAt(0)->m_nKind = 4; }},
        {"operator 0", [](CEquation& e) { e.GetTokens().GetTokenAt(1)->m_nOperator = 0; }},
        {"operator 9", [](CEquation& e) { e.GetTokens().GetTokenAt(1)->m_nOperator = 9; }},
        {"variable -1", [](CEquation& e) { e.GetTokens().GetTokenAt(0)->m_nVarId = -1; }},
        {"variable 510", [](CEquation& e) { e.GetTokens().GetTokenAt(0)->m_nVarId = 510; }},
        {"last entry 5", [](CEquation& e) { e.m_nLastEntry = 5; }},
        {"last entry -1", [](CEquation& e) { e.m_nLastEntry = -1; }},
        {"left count above tokens", [](CEquation& e) { e.m_nLeftParens = 2; }},
        {"right count above tokens", [](CEquation& e) { e.m_nRightParens = 2; }},
        {"uneven surplus", [](CEquation& e) { e.m_nLeftParens = 0; }},
        {"counts without tokens", [](CEquation& e) { e.GetTokens().DeleteAll(); }},
    };
    CEquation good = Make({Num(4.0), Op(CObEquation::OP_DIVIDE), Var(509)}, " 4 / x");
    for (const auto& [what, change] : bad) {
        SCOPED_TRACE(what);
        NewLoad();
        CEquation damaged = Sample();
        change(damaged);
        fw::Archive in(Store({&damaged, &good}));
        CEquation first = Sample(), second;
        first.Serialize(in);
        second.Serialize(in);
        EXPECT_TRUE(in.AtEnd());
        EXPECT_FALSE(first != CEquation());
        EXPECT_FALSE(second != good);
        EXPECT_EQ(sink_.boxes, std::vector<std::string>{kCorrupted});
        EXPECT_NE(Log().find("EquObj:    CODE 2504\r\n"), std::string::npos);
    }

    // What the editor does leave behind loads as stored: a stored negation
    // (the evaluator refuses it, the file is sound), the highest id, and an
    // expanded negation whose parentheses the counts do not include.
    const CEquation sound[] = {
        Make({Op(CObEquation::OP_NEGATE), Var(509)}, " - x", 0, 0),
        Make({Op(CObEquation::OP_LEFT_PAREN), Num(-1.0), Op(CObEquation::OP_MULTIPLY), Op(CObEquation::OP_LEFT_PAREN),
              Var(3), Op(CObEquation::OP_ADD), Num(1.0), Op(CObEquation::OP_RIGHT_PAREN),
              Op(CObEquation::OP_RIGHT_PAREN)},
             " - ( x + 1 )", 1, 1, CEquation::LAST_RIGHT_PAREN),
        Make({Op(CObEquation::OP_LEFT_PAREN), Num(1.0)}, " ( 1", 1, 0),
        CEquation(),
    };
    for (const CEquation& eq : sound) {
        NewLoad();
        fw::Archive in(Store({const_cast<CEquation*>(&eq)}));
        CEquation back;
        back.Serialize(in);
        EXPECT_FALSE(back != eq) << eq.GetText();
        EXPECT_TRUE(sink_.boxes.empty()) << eq.GetText();
    }
}
