#include <cmath>
#include <set>

#include "CircuitTestSupport.h"

using namespace circuit_test;

namespace {

class LineSections : public ReportingTest {};

// Rectifiers each line source type allows, and input capacitors each
// rectifier allows, as the variant tables list them.
const std::map<WORD, std::set<WORD>> kRectifiersFor = {
    {0, {0, 1}}, {1, {1, 2, 3}}, {2, {1, 4, 5}}, {3, {1, 4, 5}}, {999, {}}};
const std::map<WORD, std::set<WORD>> kCapacitorsFor = {
    {0, {0, 1}}, {1, {0, 1}}, {2, {0, 1}}, {3, {2, 3}}, {4, {0, 1}}, {5, {2, 3}}, {999, {}}};

void AddPoint(CObArrayTimeMagnitude& table, double time, double magnitude) {
    CObTimeMagnitude p;
    p.m_dTime = time;
    p.m_dMagnitude = magnitude;
    table.AddCopy(table.GetCount(), p);
}

// A line filter whose every record carries its own name, so that summaries
// show which record stands under which caption.
void NameParts(CLineFilter& f) {
    f.GetLineInductance().m_strName = "Line L";
    f.GetLineResistance().m_strName = "Line R";
    f.GetCapacitorIn().m_strName = "C In";
    f.GetCapacitorDamp().m_strName = "C Damp";
    f.GetInductorIn1().m_strName = "L In1";
    f.GetInductorIn2().m_strName = "L In2";
    f.GetInductorDamp().m_strName = "L Damp";
    f.GetResistorDamp1().m_strName = "R Damp1";
    f.GetResistorDamp2().m_strName = "R Damp2";
    CLineVoltage& v = f.GetLineVoltage();
    v.m_dACPeakMagnitude = 170.0;
    v.m_dACFrequency = 60.0;
    v.m_dDCMagnitude = 12.5;
    AddPoint(v.GetDCMagnitudeTable(), 0.0, 12.5);
    AddPoint(v.GetDCMagnitudeTable(), 1e-3, 13.0);
    AddPoint(v.GetACMagnitudeTable(), 2e-3, 160.0);
}

std::string Banner(const std::string& s) { return "\n==== " + s + " ====\n"; }

// Records stored one after another in one archive, as an owner stores them
// (object arrays number their classes per archive).
Bytes StoreSeq(std::initializer_list<const fw::Object*> records) {
    fw::Archive ar;
    for (const fw::Object* r : records) const_cast<fw::Object*>(r)->Serialize(ar);
    return ar.Bytes();
}

}  // namespace

// ---------------------------------------------------------------------------
// Checks

TEST_F(LineSections, ChainCheckOverSourceRectifierAndCapacitor) {
    const WORD sources[] = {0, 1, 2, 3, 999};
    const WORD rectifiers[] = {0, 1, 2, 3, 4, 5, 999};
    const WORD capacitors[] = {0, 1, 2, 3, 999};
    for (WORD src : sources) {
        for (WORD rect : rectifiers) {
            for (WORD cap : capacitors) {
                SCOPED_TRACE("source " + std::to_string(src) + " rectifier " + std::to_string(rect) + " capacitor " +
                             std::to_string(cap));
                FakeDoc doc;
                sink_.Clear();
                doc.lineFilter.SetLineSourceType(src);
                doc.lineRectifier.SetTopology(rect);
                doc.inputCapacitor.SetTopology(cap);

                doc.lineRectifier.CheckChosen(TRUE);
                doc.inputCapacitor.CheckChosen(TRUE);

                const WORD rectAfter = kRectifiersFor.at(src).count(rect) ? rect : 999;
                const WORD capAfter = kCapacitorsFor.at(rectAfter).count(cap) ? cap : 999;
                EXPECT_EQ(doc.lineRectifier.GetTopology(), rectAfter);
                EXPECT_EQ(doc.inputCapacitor.GetTopology(), capAfter);
                EXPECT_EQ(doc.lineRectifier.IsValid(), rectAfter != 999 ? TRUE : FALSE);
                EXPECT_EQ(doc.inputCapacitor.IsValid(), capAfter != 999 ? TRUE : FALSE);

                // Marked modified once per topology that really changed.
                std::vector<BOOL> modified;
                if (rectAfter != rect) modified.push_back(TRUE);
                if (capAfter != cap) modified.push_back(TRUE);
                EXPECT_EQ(doc.modifiedCalls, modified);

                std::vector<std::string> boxes;
                if (rectAfter == 999) boxes.push_back(Msg(52110));
                if (capAfter == 999) boxes.push_back(Msg(52106));
                EXPECT_EQ(sink_.boxes, boxes);
            }
        }
    }
}

TEST_F(LineSections, ChainCheckResetsAnUnknownTopologyAndStaysQuietWithoutReport) {
    FakeDoc doc;
    doc.lineFilter.SetLineSourceType(1);
    doc.lineRectifier.SetTopology(7);
    doc.lineRectifier.CheckChosen(FALSE);
    EXPECT_EQ(doc.lineRectifier.GetTopology(), 999);
    EXPECT_EQ(doc.modifiedCalls, std::vector<BOOL>{TRUE});
    EXPECT_TRUE(sink_.boxes.empty());

    // A section already at 999 neither changes nor marks the design.
    doc.modifiedCalls.clear();
    doc.lineFilter.SetLineSourceType(0);
    doc.lineRectifier.CheckChosen(FALSE);
    doc.inputCapacitor.CheckChosen(FALSE);
    EXPECT_TRUE(doc.modifiedCalls.empty());
    EXPECT_TRUE(sink_.boxes.empty());
}

TEST_F(LineSections, ChainCheckWithoutDocumentTreatsTheSourceAsNotChosen) {
    CLineRectifier rect;
    rect.SetTopology(1);
    rect.CheckChosen(TRUE);
    EXPECT_EQ(rect.GetTopology(), 999);
    EXPECT_EQ(sink_.boxes, std::vector<std::string>{Msg(52110)});
}

TEST_F(LineSections, LineFilterCheckRunsEveryTestInOrder) {
    struct Case {
        const char* name;
        WORD source;
        double ac, freq, dc;
        WORD variant;
        std::vector<UINT> messages;
    };
    const Case cases[] = {
        {"new line filter", 999, 0, 0, 0, 999, {52111, 52091, 52109}},
        {"DC with AC but no frequency", 0, 5, 0, 10, 9, {52092}},
        {"AC with a negative frequency", 1, 170, -60, 0, 3, {52092}},
        {"zero magnitudes and no frequency", 1, 0, 0, 0, 0, {52091}},
        {"complete AC", 1, 170, 60, 0, 8, {}},
        {"complete DC", 0, 0, 0, 48, 9, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (BOOL report : {TRUE, FALSE}) {
            sink_.Clear();
            CLineFilter f;
            f.SetLineSourceType(c.source);
            f.GetLineVoltage().m_dACPeakMagnitude = c.ac;
            f.GetLineVoltage().m_dACFrequency = c.freq;
            f.GetLineVoltage().m_dDCMagnitude = c.dc;
            f.SetTopology(c.variant);
            f.CheckChosen(report);
            EXPECT_EQ(f.IsValid(), c.messages.empty() ? TRUE : FALSE);
            std::vector<std::string> expected;
            if (report)
                for (UINT id : c.messages) expected.push_back(Msg(id));
            EXPECT_EQ(sink_.boxes, expected);
        }
    }
}

// ---------------------------------------------------------------------------
// Defaults and presets

TEST_F(LineSections, PresetsOfTheSections) {
    CLineRectifier rect;
    EXPECT_EQ(rect.GetDiode().m_dForwardVoltage, 0.0);
    rect.SetTopology(2);
    rect.SetDefaults();
    EXPECT_EQ(rect.GetDiode().m_dForwardVoltage, 0.7);
    EXPECT_EQ(rect.GetTopology(), 2);

    CInputCapacitor cap;
    cap.SetDefaults();
    EXPECT_EQ(cap.GetCapacitorIn().m_dCapacitance, 1e-3);
    EXPECT_EQ(cap.GetCapacitorIn().m_dBreakdownVoltage, 10000.0);
    EXPECT_EQ(cap.GetCapacitorDamp().m_dCapacitance, 1e-14);
    EXPECT_EQ(cap.GetResistorDamp().m_dResistance, 1e-6);

    CLineFilter f;
    NameParts(f);
    f.SetLineSourceType(1);
    f.SetTopology(4);
    const CLineVoltage voltage = f.GetLineVoltage();
    const CInductor lineL = f.GetLineInductance();
    f.SetDefaults();
    EXPECT_FALSE(f.GetLineVoltage() != voltage);
    EXPECT_FALSE(f.GetLineInductance() != lineL);
    EXPECT_EQ(f.GetLineResistance().m_strName, "Line R");
    EXPECT_EQ(f.GetLineSourceType(), 1);
    EXPECT_EQ(f.GetTopology(), 4);
    EXPECT_EQ(f.GetInductorIn1().m_dInductance, 1e-4);
    EXPECT_EQ(f.GetInductorIn2().m_dInductance, 1e-4);
    EXPECT_EQ(f.GetInductorDamp().m_dInductance, 1e-4);
    EXPECT_EQ(f.GetCapacitorIn().m_strName, "Default");
    EXPECT_EQ(f.GetResistorDamp2().m_strName, "Default");
    EXPECT_TRUE(Logged().empty());  // every preset exists
}

// ---------------------------------------------------------------------------
// Summaries

TEST_F(LineSections, LineRectifierSummaryPerTopology) {
    CLineRectifier rect;
    rect.GetDiode().SetDefaults(0);
    rect.GetDiode().m_strName = "Bridge Diode";
    std::string all;
    for (WORD t : {0, 1, 2, 3, 4, 5, 999}) {
        rect.SetTopology(t);
        all += Banner("topology " + std::to_string(t)) + Summary(rect);
    }
    rect.SetTopology(4);
    const std::string four = Summary(rect);
    EXPECT_EQ(four.find("\r\n\r\nLine Rectifier:  Full Wave Single Capacitor\r\n  Both Diodes:  "), 0u);
    rect.SetTopology(999);
    EXPECT_EQ(Summary(rect), "\r\n\r\nLine Rectifier:  \r\n  Not Selected");
    EXPECT_TRUE(Logged().empty());

    rect.SetTopology(6);
    EXPECT_EQ(Summary(rect), "\r\n\r\nLine Rectifier:  ");
    EXPECT_EQ(Logged(), std::vector<std::string>{Code(56050, 702)});
    ExpectGolden("LineRectifierSummary.txt", all);
}

TEST_F(LineSections, InputCapacitorSummaryPerTopology) {
    CInputCapacitor cap;
    cap.SetDefaults();
    cap.GetCapacitorIn().m_strName = "Bulk";
    cap.GetCapacitorDamp().m_strName = "Damp C";
    cap.GetResistorDamp().m_strName = "Damp R";
    std::string all;
    for (WORD t : {0, 1, 2, 3, 999}) {
        cap.SetTopology(t);
        all += Banner("topology " + std::to_string(t)) + Summary(cap);
    }
    cap.SetTopology(0);
    const std::string single = Summary(cap);
    EXPECT_EQ(single.find("\r\n\r\nInput Capacitor:  Single Capacitor\r\n  Capacitor In:  "), 0u);
    EXPECT_EQ(single.find("Damp"), std::string::npos);
    cap.SetTopology(4);
    EXPECT_EQ(Summary(cap), "\r\n\r\nInput Capacitor:  ");
    EXPECT_EQ(Logged(), std::vector<std::string>{Code(56044, 502)});
    ExpectGolden("InputCapacitorSummary.txt", all);
}

TEST_F(LineSections, LineFilterSummaryPerSourceAndVariant) {
    CLineFilter f;
    NameParts(f);
    std::string all;
    for (WORD src : {0, 1, 2, 3, 999}) {
        f.SetLineSourceType(src);
        f.SetTopology(9);
        all += Banner("source " + std::to_string(src)) + Summary(f);
    }
    f.SetLineSourceType(1);
    for (WORD v : {0, 1, 2, 3, 4, 5, 6, 7, 8, 999}) {
        f.SetTopology(v);
        all += Banner("variant " + std::to_string(v)) + Summary(f);
    }
    ExpectGolden("LineFilterSummary.txt", all);

    // Which record stands under which caption, variant by variant.
    const std::map<WORD, std::vector<std::string>> parts = {
        {0, {"Inductor In=L In2"}},
        {1, {"Inductor In=L In2", "Resistor Damp=R Damp2"}},
        {2, {"Inductor In=L In2", "Resistor Damp=R Damp2", "Inductor Damp=L Damp"}},
        {3, {"Inductor In1=L In1", "Inductor In2=L In2", "Capacitor In=C In"}},
        {4, {"Inductor In1=L In1", "Inductor In2=L In2", "Capacitor In=C In", "Capacitor Damp=C Damp",
             "Resistor Damp=R Damp1"}},
        {5, {"Inductor In1=L In1", "Inductor In2=L In2", "Capacitor In=C In", "Resistor Damp=R Damp2"}},
        {6, {"Inductor In1=L In1", "Inductor In2=L In2", "Capacitor In=C In", "Resistor Damp=R Damp2",
             "Inductor Damp=L Damp"}},
        {7, {"Inductor In1=L In1", "Inductor In2=L In2", "Capacitor In=C In", "Capacitor Damp=C Damp",
             "Resistor Damp1=R Damp1", "Resistor Damp2=R Damp2"}},
        {8, {"Inductor In1=L In1", "Inductor In2=L In2", "Capacitor In=C In", "Capacitor Damp=C Damp",
             "Resistor Damp1=R Damp1", "Resistor Damp2=R Damp2", "Inductor Damp=L Damp"}},
        {9, {}},
    };
    for (const auto& [variant, expected] : parts) {
        f.SetTopology(variant);
        const std::string text = Summary(f);
        std::vector<std::string> found;
        size_t pos = text.find("\r\n\r\nLine Filter:  ");
        const std::string nameCaption = ":  \r\n    Name or Part Number:  ";
        while ((pos = text.find(nameCaption, pos)) != std::string::npos) {
            const size_t captionStart = text.rfind("\r\n  ", pos) + 4;
            const size_t nameStart = pos + nameCaption.size();
            const size_t nameEnd = text.find("\r\n", nameStart);
            found.push_back(text.substr(captionStart, pos - captionStart) + "=" +
                            text.substr(nameStart, nameEnd - nameStart));
            pos = nameEnd;
        }
        EXPECT_EQ(found, expected) << "variant " << variant;
    }

    // Variant 0 shows the second input inductor as "Inductor In".
    f.SetTopology(0);
    const std::string v0 = Summary(f);
    EXPECT_NE(v0.find("\r\n  Inductor In:  \r\n    Name or Part Number:  L In2"), std::string::npos) << v0;
    // Without a line source no voltage, inductance or resistance lines.
    f.SetLineSourceType(999);
    const std::string none = Summary(f);
    EXPECT_EQ(none.find("\r\n\r\nLine Source:\r\n  Not Selected\r\n\r\nLine Filter:  1 Stage No Damping"), 0u);
    EXPECT_EQ(none.find("Line Voltage"), std::string::npos);
    // The voltage shows its DC magnitude first.
    f.SetLineSourceType(0);
    const std::string dc = Summary(f);
    EXPECT_LT(dc.find("DC Magnitude: "), dc.find("AC Peak Magnitude: "));
    EXPECT_TRUE(Logged().empty());

    f.SetTopology(10);
    Summary(f);
    EXPECT_EQ(Logged(), std::vector<std::string>{Code(56048, 602)});
}

// ---------------------------------------------------------------------------
// Archive

TEST_F(LineSections, RecordsArchiveInTheirDocumentedLayout) {
    CLineFilter f;
    NameParts(f);
    f.SetLineSourceType(2);
    f.SetTopology(7);
    f.ClearNeedsDefaults();
    CLineVoltage& v = f.GetLineVoltage();
    const Bytes voltage = ByteBuilder()
                              .Header("<LINE_VOLTAGE_DATA>")
                              .F64(170.0)
                              .F64(60.0)
                              .F64(12.5)
                              .Raw(StoreSeq({&v.GetDCMagnitudeTable(), &v.GetACMagnitudeTable()}))
                              .bytes;
    EXPECT_EQ(Store(v), voltage);
    const Bytes filter = ByteBuilder()
                             .Header("<BASE_SECTION_DATA>")
                             .U16(7)
                             .I32(0)
                             .I32(0)
                             .Header("<LINE_FILTER_DATA>")
                             .U16(2)
                             .Raw(StoreSeq({&f.GetLineInductance(), &f.GetLineResistance(), &v, &f.GetCapacitorIn(),
                                            &f.GetCapacitorDamp(), &f.GetInductorIn1(), &f.GetInductorIn2(),
                                            &f.GetInductorDamp(), &f.GetResistorDamp1(), &f.GetResistorDamp2()}))
                             .bytes;
    EXPECT_EQ(Store(f), filter);
    ExpectGolden("LineFilter.bin", AsString(Store(f)));

    CLineRectifier rect;
    rect.SetTopology(3);
    rect.GetDiode().SetDefaults(2);
    const Bytes rectBytes = ByteBuilder()
                                .Header("<BASE_SECTION_DATA>")
                                .U16(3)
                                .I32(0)
                                .I32(1)
                                .Header("<LINE_RECTIFIER_DATA>")
                                .Raw(Store(rect.GetDiode()))
                                .bytes;
    EXPECT_EQ(Store(rect), rectBytes);
    ExpectGolden("LineRectifier.bin", AsString(rectBytes));

    CInputCapacitor cap;
    cap.SetDefaults();
    cap.SetTopology(1);
    const Bytes capBytes = ByteBuilder()
                               .Header("<BASE_SECTION_DATA>")
                               .U16(1)
                               .I32(0)
                               .I32(1)
                               .Header("<INPUT_CAPACITOR_DATA>")
                               .Raw(Store(cap.GetCapacitorIn()))
                               .Raw(Store(cap.GetCapacitorDamp()))
                               .Raw(Store(cap.GetResistorDamp()))
                               .bytes;
    EXPECT_EQ(Store(cap), capBytes);
    ExpectGolden("InputCapacitor.bin", AsString(capBytes));
}

TEST_F(LineSections, StoreLoadAndCompareEqual) {
    FakeDoc doc;
    CLineFilter f;
    NameParts(f);
    f.SetLineSourceType(1);
    f.SetTopology(8);
    f.CheckChosen(FALSE);
    CLineFilter fl;
    EXPECT_TRUE(Load(fl, Store(f)));
    EXPECT_FALSE(fl != f);
    EXPECT_TRUE(fl.IsValid());

    CLineRectifier r;
    r.SetTopology(5);
    r.GetDiode().m_strName = "Fast";
    CLineRectifier rl;
    EXPECT_TRUE(Load(rl, Store(r)));
    EXPECT_FALSE(rl != r);

    CInputCapacitor c;
    c.SetTopology(3);
    c.SetDefaults();
    CInputCapacitor cl;
    EXPECT_TRUE(Load(cl, Store(c)));
    EXPECT_FALSE(cl != c);

    // Copies compare equal too.
    CLineFilter fc;
    fc = f;
    EXPECT_FALSE(fc != f);
    CInputCapacitor cc;
    cc = c;
    EXPECT_FALSE(cc != c);
    EXPECT_TRUE(sink_.boxes.empty());
    EXPECT_TRUE(Logged().empty());
}

TEST_F(LineSections, EveryMemberTakesPartInTheComparison) {
    using Change = void (*)(CLineFilter&);
    const Change filterChanges[] = {
        [](CLineFilter& f) { f.SetLineSourceType(0); },
        [](CLineFilter& f) { f.GetLineInductance().m_dInductance = 2; },
        [](CLineFilter& f) { f.GetLineResistance().m_dResistance = 2; },
        [](CLineFilter& f) { AddPoint(f.GetLineVoltage().GetACMagnitudeTable(), 5, 5); },
        [](CLineFilter& f) { f.GetCapacitorIn().m_dCapacitance = 2; },
        [](CLineFilter& f) { f.GetCapacitorDamp().m_dCapacitance = 2; },
        [](CLineFilter& f) { f.GetInductorIn1().m_dInductance = 2; },
        [](CLineFilter& f) { f.GetInductorIn2().m_dInductance = 2; },
        [](CLineFilter& f) { f.GetInductorDamp().m_dInductance = 2; },
        [](CLineFilter& f) { f.GetResistorDamp1().m_dResistance = 2; },
        [](CLineFilter& f) { f.GetResistorDamp2().m_dResistance = 2; },
        [](CLineFilter& f) { f.SetTopology(3); },
        [](CLineFilter& f) { f.ClearNeedsDefaults(); },
    };
    const CLineFilter base;
    for (size_t i = 0; i < std::size(filterChanges); ++i) {
        CLineFilter changed = base;
        filterChanges[i](changed);
        EXPECT_TRUE(changed != base) << "change " << i;
        CLineFilter copy;
        copy = changed;
        EXPECT_FALSE(copy != changed) << "change " << i;
    }

    CInputCapacitor cap;
    cap.SetTopology(0);
    CInputCapacitor capChanged = cap;
    capChanged.GetResistorDamp().m_dResistance = 47.0;  // not shown by topology 0, still compared
    EXPECT_TRUE(capChanged != cap);

    CLineRectifier rect;
    CLineRectifier rectChanged = rect;
    rectChanged.GetDiode().m_strName = "Other";
    EXPECT_TRUE(rectChanged != rect);
}

TEST_F(LineSections, DamagedClassRecordsFallBackAndKeepTheBaseRecord) {
    // Each damaged class record: the base record (topology 2) stays, the
    // class record's defaults apply, the once-only warning and the code.
    auto classRecord = [](const std::string& tag, uint16_t schema) {
        ByteBuilder b;
        b.Header("<BASE_SECTION_DATA>").U16(2).I32(1).I32(0).Str(tag);
        if (tag.find("_DATA>") != std::string::npos) b.U16(schema);  // a wrong tag stops before the schema
        return b.bytes;
    };
    struct Expect {
        const char* tag;
        uint16_t schema;
        UINT box;
        UINT module;
        int code;
    };
    const Expect rows[] = {
        {"<LINE_FILTER>", 0, 52080, 56048, 600},     {"<LINE_FILTER_DATA>", 3, 52081, 56048, 601},
        {"<LINE_RECTIFIER>", 0, 52080, 56050, 700},  {"<LINE_RECTIFIER_DATA>", 1, 52081, 56050, 701},
        {"<INPUT_CAPACITOR>", 0, 52080, 56044, 500}, {"<INPUT_CAPACITOR_DATA>", 1, 52081, 56044, 501},
    };
    for (const Expect& e : rows) {
        SCOPED_TRACE(e.tag + std::string(" schema ") + std::to_string(e.schema));
        NewLoad();
        Bytes bytes = classRecord(e.tag, e.schema);
        std::unique_ptr<CSection> s;
        if (e.module == 56048) {
            auto f = std::make_unique<CLineFilter>();
            NameParts(*f);
            f->SetLineSourceType(1);
            s = std::move(f);
        } else if (e.module == 56050) {
            auto r = std::make_unique<CLineRectifier>();
            r->GetDiode().m_strName = "kept?";
            s = std::move(r);
        } else {
            auto c = std::make_unique<CInputCapacitor>();
            c->SetDefaults();
            s = std::move(c);
        }
        fw::Archive ar(bytes);
        s->Serialize(ar);
        EXPECT_TRUE(ar.AtEnd());
        EXPECT_EQ(s->GetTopology(), 2);
        EXPECT_TRUE(s->IsValid());
        EXPECT_FALSE(s->NeedsDefaults());
        EXPECT_EQ(sink_.boxes, std::vector<std::string>{Msg(e.box)});
        EXPECT_EQ(Logged(), (std::vector<std::string>{Msg(e.box), Code(e.module, e.code)}));
        if (auto* f = dynamic_cast<CLineFilter*>(s.get())) {
            EXPECT_EQ(f->GetClassTag(), "<LINE_FILTER_DATA>");
            EXPECT_EQ(f->GetLineSourceType(), 999);
            EXPECT_EQ(f->GetLineVoltage().GetDCMagnitudeTable().GetCount(), 0);
            EXPECT_EQ(f->GetInductorIn1().m_strName, "Default");
        } else if (auto* r = dynamic_cast<CLineRectifier*>(s.get())) {
            EXPECT_EQ(r->GetClassTag(), "<LINE_RECTIFIER_DATA>");
            EXPECT_EQ(r->GetDiode().m_strName, "Default");
        } else if (auto* c = dynamic_cast<CInputCapacitor*>(s.get())) {
            EXPECT_EQ(c->GetClassTag(), "<INPUT_CAPACITOR_DATA>");
            EXPECT_FALSE(c->GetCapacitorIn() != CCapacitor());
        }
    }
}

TEST_F(LineSections, LineVoltageLoadFailuresAndDamagedFrequency) {
    struct Case {
        const char* name;
        Bytes bytes;
        std::vector<std::string> boxes;
        std::vector<std::string> log;
        double freq;
    };
    const Bytes tail = ByteBuilder().F64(170).F64(-60).F64(0).U16(0).U16(0).bytes;
    const Bytes notANumber = ByteBuilder().F64(std::nan("")).F64(60).F64(0).U16(0).U16(0).bytes;
    const Bytes infinite = ByteBuilder().F64(0).F64(60).F64(-HUGE_VAL).U16(0).U16(0).bytes;
    const Case cases[] = {
        {"wrong tag", ByteBuilder().Str("<LINE_VOLT>").bytes, {Msg(52080)}, {Msg(52080), Code(56052, 13100)}, 0.0},
        {"wrong schema", ByteBuilder().Str("<LINE_VOLTAGE_DATA>").U16(2).bytes, {Msg(52081)},
         {Msg(52081), Code(56052, 13101)}, 0.0},
        {"negative frequency", ByteBuilder().Header("<LINE_VOLTAGE_DATA>").Raw(tail).bytes, {Msg(52080)},
         {Msg(52080), Code(56052, 13102)}, 0.0},
        // A NaN or an infinity is mended as it is read, before the record looks at it.
        {"AC peak not a number", ByteBuilder().Header("<LINE_VOLTAGE_DATA>").Raw(notANumber).bytes, {Msg(52080)},
         {Msg(52080)}, 60.0},
        {"infinite DC magnitude", ByteBuilder().Header("<LINE_VOLTAGE_DATA>").Raw(infinite).bytes, {Msg(52080)},
         {Msg(52080)}, 60.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        NewLoad();
        CLineVoltage v;
        v.m_dACFrequency = 50.0;
        AddPoint(v.GetACMagnitudeTable(), 1, 1);
        EXPECT_TRUE(Load(v, c.bytes));
        EXPECT_EQ(v.GetACFrequency(), c.freq);
        EXPECT_TRUE(std::isfinite(v.GetACPeakMagnitude()) && std::isfinite(v.GetDCMagnitude()));
        EXPECT_EQ(v.GetACMagnitudeTable().GetCount(), 0);
        EXPECT_EQ(v.m_strTag, "<LINE_VOLTAGE_DATA>");
        EXPECT_EQ(sink_.boxes, c.boxes);
        EXPECT_EQ(Logged(), c.log);
    }
}

TEST_F(LineSections, UnknownSourceTypeOrVariantInAFileReadsAsNotChosen) {
    // The variant is the base record's topology word; the source type word
    // follows the base record and the class header.
    const size_t variantAt = ByteBuilder().Header("<BASE_SECTION_DATA>").bytes.size();
    const size_t sourceAt =
        ByteBuilder().Header("<BASE_SECTION_DATA>").U16(0).I32(0).I32(0).Header("<LINE_FILTER_DATA>").bytes.size();
    struct Case {
        const char* name;
        size_t at;
        uint16_t value;
        WORD sourceAfter, variantAfter;
    };
    const Case cases[] = {
        {"source type 7", sourceAt, 7, 999, 8},
        {"source type 998", sourceAt, 998, 999, 8},
        {"variant 10", variantAt, 10, 3, 999},
        {"variant 1000", variantAt, 1000, 3, 999},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        NewLoad();
        FakeDoc doc;
        CLineFilter f;
        NameParts(f);
        f.SetLineSourceType(3);
        f.SetTopology(8);
        f.CheckChosen(FALSE);
        ASSERT_TRUE(f.IsValid());
        Bytes bytes = Store(f);
        bytes[c.at] = uint8_t(c.value & 0xFF);
        bytes[c.at + 1] = uint8_t(c.value >> 8);
        CLineFilter loaded;
        loaded.SetLineSourceType(1);
        EXPECT_TRUE(Load(loaded, bytes));
        EXPECT_EQ(loaded.GetLineSourceType(), c.sourceAfter);
        EXPECT_EQ(loaded.GetTopology(), c.variantAfter);
        EXPECT_EQ(loaded.GetInductorDamp().m_strName, "L Damp");  // the rest still loads
        EXPECT_EQ(sink_.boxes, std::vector<std::string>{Msg(52080)});
        EXPECT_EQ(Logged(), (std::vector<std::string>{Msg(52080), Code(56048, 603)}));
        loaded.CheckChosen(FALSE);
        EXPECT_FALSE(loaded.IsValid());
    }
}
