#include <cmath>

#include "CircuitTestSupport.h"

using namespace circuit_test;

namespace {

using AnalysisSettings = ReportingTest;

void UseEquation(CAnalysisConfig& cfg, int variable, const std::string& text) {
    CEquation* eq = cfg.GetEquation(variable);
    CObEquation token;
    token.m_nKind = CObEquation::KIND_VARIABLE;
    token.m_nVarId = 7;
    eq->GetTokens().AddCopy(token);
    eq->m_strText = text;
    eq->m_nLastEntry = CEquation::LAST_VALUE;
}

CGraphCfg SampleGraph() {
    CGraphCfg g;
    g.m_strTitle = "Output Voltage";
    g.m_nTraceColor = CGraphCfg::COLOR_MAGENTA;
    g.m_nAxisColor = CGraphCfg::COLOR_BLUE;
    g.m_strXAxisLabel = "Milli Seconds";
    g.m_dXMin = -1.0;
    g.m_dXMax = 20.0;
    g.m_nXMinorTicks = 4;
    g.m_strYAxisLabel = "Volts";
    g.m_dYMin = 0.5;
    g.m_dYMax = 5.5;
    g.m_nYMinorTicks = 50;
    g.m_nGridType = CGraphCfg::GRID_BOTH;
    g.m_nGridColor = CGraphCfg::GRID_MEDIUM_GRAY;
    return g;
}

CAnalysisConfig SampleConfig() {
    CAnalysisConfig cfg;
    cfg.SetDefaults();
    cfg.m_dTime = 0.025;
    cfg.m_nAnalysisKind = CAnalysisConfig::KIND_INPUT_TO_OUTPUT;
    cfg.m_nInitMode = CAnalysisConfig::INIT_SLOW_PRECISE;
    UseEquation(cfg, 2, " V(out)");
    *cfg.GetGraphCfg(1) = SampleGraph();
    cfg.GetGraphCfg(13)->m_nGridType = CGraphCfg::GRID_MAJOR;
    cfg.GetGraphCfg(23)->m_dYMax = 90.0;
    cfg.GetStimulusCfg().m_nChoice[CFreqDomainStimulusCfg::CHOICE_INPUT_TO_OUTPUT + 2] = 3;
    cfg.GetStimulusCfg().m_dMaxPhase[4] = 45.0;
    return cfg;
}

}  // namespace

// ---------------------------------------------------------------------------
// Graph settings

TEST_F(AnalysisSettings, GraphSettingsDefaultsLayoutAndComparison) {
    const CGraphCfg d;
    EXPECT_EQ(d.m_strTag, "<GRAPH_CFG_DATA>");
    EXPECT_EQ(d.m_strTitle, "");
    EXPECT_EQ(d.m_nTraceColor, CGraphCfg::COLOR_CYAN);
    EXPECT_EQ(d.m_nAxisColor, CGraphCfg::COLOR_RED);
    EXPECT_EQ(d.m_strXAxisLabel, "Micro Seconds");
    EXPECT_EQ(d.m_dXMin, 0.0);
    EXPECT_EQ(d.m_dXMax, 1.0);
    EXPECT_EQ(d.m_dYMin, 0.0);
    EXPECT_EQ(d.m_dYMax, 1.0);
    EXPECT_EQ(d.m_nXMinorTicks, 0);
    EXPECT_EQ(d.m_nYMinorTicks, 0);
    EXPECT_EQ(d.m_nGridType, CGraphCfg::GRID_NONE);
    EXPECT_EQ(d.m_nGridColor, CGraphCfg::GRID_LIGHT_GRAY);

    const CGraphCfg g = SampleGraph();
    const Bytes expected = ByteBuilder()
                               .Header("<GRAPH_CFG_DATA>")
                               .Str("Output Voltage")
                               .I32(4)
                               .I32(0)
                               .Str("Milli Seconds")
                               .F64(-1.0)
                               .F64(20.0)
                               .I32(4)
                               .Str("Volts")
                               .F64(0.5)
                               .F64(5.5)
                               .I32(50)
                               .I32(3)
                               .I32(2)
                               .bytes;
    EXPECT_EQ(Store(g), expected);
    ExpectGolden("GraphCfg.bin", AsString(expected));
    CGraphCfg loaded;
    EXPECT_TRUE(Load(loaded, expected));
    EXPECT_FALSE(loaded != g);

    CGraphCfg copy;
    copy = g;
    EXPECT_FALSE(copy != g);
    copy.m_nGridColor = CGraphCfg::GRID_OFF_WHITE;
    EXPECT_TRUE(copy != g);
    copy = g;
    copy.m_strTag = "<X>";
    EXPECT_TRUE(copy != g);
    EXPECT_TRUE(Logged().empty());
}

TEST_F(AnalysisSettings, GraphSettingsFromADamagedFile) {
    struct Case {
        const char* name;
        void (*damage)(CGraphCfg&);
        bool (*repaired)(const CGraphCfg&);
    };
    const Case cases[] = {
        {"empty x range", [](CGraphCfg& g) { g.m_dXMax = g.m_dXMin; },
         [](const CGraphCfg& g) { return g.m_dXMin == 0.0 && g.m_dXMax == 1.0 && g.m_dYMax == 5.5; }},
        {"reversed y range", [](CGraphCfg& g) { g.m_dYMin = 9.0; },
         [](const CGraphCfg& g) { return g.m_dYMin == 0.0 && g.m_dYMax == 1.0 && g.m_dXMax == 20.0; }},
        {"51 ticks", [](CGraphCfg& g) { g.m_nXMinorTicks = 51; },
         [](const CGraphCfg& g) { return g.m_nXMinorTicks == 0 && g.m_nYMinorTicks == 50; }},
        {"trace colour 5", [](CGraphCfg& g) { g.m_nTraceColor = 5; },
         [](const CGraphCfg& g) { return g.m_nTraceColor == CGraphCfg::COLOR_CYAN; }},
        {"grid type -1", [](CGraphCfg& g) { g.m_nGridType = -1; },
         [](const CGraphCfg& g) { return g.m_nGridType == CGraphCfg::GRID_NONE; }},
        {"grid colour 3", [](CGraphCfg& g) { g.m_nGridColor = 3; },
         [](const CGraphCfg& g) { return g.m_nGridColor == CGraphCfg::GRID_LIGHT_GRAY; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        NewLoad();
        CGraphCfg g = SampleGraph();
        c.damage(g);
        CGraphCfg loaded;
        EXPECT_TRUE(Load(loaded, Store(g)));
        EXPECT_TRUE(c.repaired(loaded));
        EXPECT_EQ(loaded.m_strTitle, "Output Voltage");
        EXPECT_EQ(sink_.boxes, std::vector<std::string>{Msg(52080)});
        EXPECT_EQ(Logged(), (std::vector<std::string>{Msg(52080), Code(56041, 2702)}));
    }
    for (int schema : {-1, 1}) {
        NewLoad();
        CGraphCfg g = SampleGraph();
        Bytes bad = schema < 0 ? ByteBuilder().Str("<GRAPH>").bytes
                               : ByteBuilder().Str("<GRAPH_CFG_DATA>").U16(uint16_t(schema)).bytes;
        EXPECT_TRUE(Load(g, bad));
        EXPECT_FALSE(g != CGraphCfg());
        EXPECT_EQ(Logged().back(), Code(56041, schema < 0 ? 2700 : 2701));
    }
}

// ---------------------------------------------------------------------------
// Stimulus

TEST_F(AnalysisSettings, StimulusDefaultsLayoutAndComparison) {
    const CFreqDomainStimulusCfg d;
    EXPECT_EQ(d.m_dStartFrequency, 1.0);
    EXPECT_EQ(d.m_dStopFrequency, 100.0);
    EXPECT_EQ(d.m_nPointsPerDecade, 10);
    EXPECT_EQ(d.m_dAmplitude, 0.1);
    for (int32_t c : d.m_nChoice) EXPECT_EQ(c, 0);
    const std::array<double, 11> phases = {-90, 0, -90, -90, -90, 0, -90, 0, 0, 0, 0};
    EXPECT_EQ(d.m_dMaxPhase, phases);
    EXPECT_EQ(d.GetFrequencyLabel(), "Hertz");
    EXPECT_EQ(d.GetGainLabel(), "Decibels");
    EXPECT_EQ(d.GetPhaseLabel(), "Degrees");
    EXPECT_EQ(*d.GetTitle(0), "Loop Gain");
    EXPECT_EQ(*d.GetTitle(13), "Current Loop Phase");
    EXPECT_EQ(*d.GetTitle(21), "Amplifier Phase");
    EXPECT_EQ(d.GetTitle(22), nullptr);

    CFreqDomainStimulusCfg s;
    s.m_dStartFrequency = 10.0;
    s.m_dStopFrequency = 1e6;
    s.m_nPointsPerDecade = 25;
    s.m_dAmplitude = 0.02;
    for (int w = 0; w < 24; ++w) s.m_nChoice[size_t(w)] = (w % 3 == 0) ? 1 : 2;
    s.m_nChoice[20] = 3;
    s.m_nChoice[23] = 1;
    for (int p = 0; p < 11; ++p) s.m_dMaxPhase[size_t(p)] = 10.0 * p;
    ByteBuilder b;
    b.Header("<FREQ_DOMAIN_STIMULUS_CFG_DATA>").F64(10.0).F64(1e6).I32(25).F64(0.02);
    for (int32_t c : s.m_nChoice) b.I32(c);
    for (double p : s.m_dMaxPhase) b.F64(p);
    EXPECT_EQ(Store(s), b.bytes);
    ExpectGolden("Stimulus.bin", AsString(b.bytes));

    CFreqDomainStimulusCfg loaded;
    loaded.m_strTitle[0] = "changed";
    EXPECT_TRUE(Load(loaded, b.bytes));
    EXPECT_FALSE(loaded != s);
    EXPECT_EQ(*loaded.GetTitle(0), "changed");  // fixed strings are not in the file

    // The tag is neither copied nor compared.
    CFreqDomainStimulusCfg other = s;
    other.m_strTag = "<OTHER>";
    EXPECT_FALSE(other != s);
    CFreqDomainStimulusCfg copy;
    copy.m_strTag = "<KEEP>";
    copy = s;
    EXPECT_EQ(copy.m_strTag, "<KEEP>");
    EXPECT_FALSE(copy != s);
    copy.m_dMaxPhase[10] = 1.0;
    EXPECT_TRUE(copy != s);
    EXPECT_TRUE(Logged().empty());
}

TEST_F(AnalysisSettings, StimulusFromADamagedFile) {
    struct Case {
        const char* name;
        void (*damage)(CFreqDomainStimulusCfg&);
    };
    const Case cases[] = {
        {"zero start", [](CFreqDomainStimulusCfg& s) { s.m_dStartFrequency = 0.0; }},
        {"negative stop", [](CFreqDomainStimulusCfg& s) { s.m_dStopFrequency = -10.0; }},
        {"stop below start", [](CFreqDomainStimulusCfg& s) { s.m_dStartFrequency = 1000.0; }},
        {"no points", [](CFreqDomainStimulusCfg& s) { s.m_nPointsPerDecade = 0; }},
        {"too many points", [](CFreqDomainStimulusCfg& s) { s.m_nPointsPerDecade = 1 << 30; }},
        {"zero amplitude", [](CFreqDomainStimulusCfg& s) { s.m_dAmplitude = 0.0; }},
        {"graph 5", [](CFreqDomainStimulusCfg& s) { s.m_nChoice[0] = 5; }},
        {"peak current graph 3", [](CFreqDomainStimulusCfg& s) { s.m_nChoice[12] = 3; }},
        {"output 4", [](CFreqDomainStimulusCfg& s) { s.m_nChoice[23] = 4; }},
        {"phase not a number", [](CFreqDomainStimulusCfg& s) { s.m_dMaxPhase[5] = std::nan(""); }},
        {"infinite phase", [](CFreqDomainStimulusCfg& s) { s.m_dMaxPhase[10] = -HUGE_VAL; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        NewLoad();
        CFreqDomainStimulusCfg s;
        s.m_dStopFrequency = 500.0;
        s.m_dMaxPhase[3] = 12.0;
        c.damage(s);
        CFreqDomainStimulusCfg loaded;
        EXPECT_TRUE(Load(loaded, Store(s)));
        EXPECT_GT(loaded.m_dStartFrequency, 0.0);
        EXPECT_LT(loaded.m_dStartFrequency, loaded.m_dStopFrequency);
        EXPECT_GE(loaded.m_nPointsPerDecade, 1);
        EXPECT_LE(loaded.m_nPointsPerDecade, 100);
        EXPECT_GT(loaded.m_dAmplitude, 0.0);
        EXPECT_LE(loaded.m_nChoice[0], 4);
        EXPECT_LE(loaded.m_nChoice[12], 2);
        EXPECT_LE(loaded.m_nChoice[23], 3);
        EXPECT_EQ(loaded.m_dMaxPhase[3], 12.0);
        for (double phase : loaded.m_dMaxPhase) EXPECT_TRUE(std::isfinite(phase));
        EXPECT_EQ(sink_.boxes, std::vector<std::string>{Msg(52080)});
        // A NaN or an infinity is mended as it is read, before the stimulus looks at it.
        const bool nonFinite = std::strstr(c.name, "phase") != nullptr;
        const std::vector<std::string> logged =
            nonFinite ? std::vector<std::string>{Msg(52080)} : std::vector<std::string>{Msg(52080), Code(56080, 4302)};
        EXPECT_EQ(Logged(), logged);
    }
    for (int schema : {-1, 2}) {
        NewLoad();
        CFreqDomainStimulusCfg s;
        s.m_nChoice[1] = 2;
        Bytes bad = schema < 0 ? ByteBuilder().Str("<STIMULUS>").bytes
                               : ByteBuilder().Str("<FREQ_DOMAIN_STIMULUS_CFG_DATA>").U16(2).bytes;
        EXPECT_TRUE(Load(s, bad));
        EXPECT_FALSE(s != CFreqDomainStimulusCfg());
        EXPECT_EQ(s.m_strTag, "<FREQ_DOMAIN_STIMULUS_CFG_DATA>");
        EXPECT_EQ(Logged().back(), Code(56080, schema < 0 ? 4300 : 4301));
    }
}

// ---------------------------------------------------------------------------
// Analysis configuration: record

TEST_F(AnalysisSettings, NewConfiguration) {
    FakeDoc doc;
    const CAnalysisConfig& cfg = doc.analysisConfig;
    EXPECT_EQ(cfg.m_strTag, "<ANALYSIS_CONFIG_DATA>");
    EXPECT_EQ(cfg.m_bDefaults, 0);
    EXPECT_EQ(cfg.GetAnalysisKind(), 1);
    EXPECT_EQ(cfg.GetTime(), 0.001);
    EXPECT_EQ(cfg.GetInitMode(), CAnalysisConfig::INIT_FAST);
    EXPECT_TRUE(cfg.IsTimeDomain());
    EXPECT_TRUE(cfg.IsSteadyState());
    EXPECT_FALSE(cfg.IsFrequencyDomain());
    for (int k = 1; k <= 4; ++k) {
        ASSERT_NE(cfg.GetEquation(k), nullptr);
        EXPECT_FALSE(cfg.GetEquation(k)->IsInUse());
    }
    EXPECT_EQ(cfg.GetEquation(5), nullptr);
    EXPECT_EQ(cfg.CountGraphsWithData(), 0);

    CAnalysisConfig changed;
    changed.SetDefaults();
    EXPECT_EQ(changed.m_bDefaults, 1);
    EXPECT_TRUE(changed != CAnalysisConfig());

    // InitDefaults keeps an existing equation but empties its tokens.
    UseEquation(changed, 1, " V(1)");
    changed.InitDefaults();
    EXPECT_FALSE(changed.GetEquation(1)->IsInUse());
    EXPECT_EQ(changed.GetEquation(1)->GetText(), " V(1)");
}

TEST_F(AnalysisSettings, ArchiveLeavesOutTheWorkingGraphSettings) {
    CAnalysisConfig cfg = SampleConfig();
    ByteBuilder b;
    b.Header("<ANALYSIS_CONFIG_DATA>").I32(1).F64(0.025).I32(4).I32(0);
    for (int k = 1; k <= 4; ++k) b.Raw(Store(*cfg.GetEquation(k)));
    for (int i = 0; i < 24; ++i)
        if (i < 4 || i >= 8) b.Raw(Store(*cfg.GetGraphCfg(i)));
    b.Raw(Store(cfg.GetStimulusCfg()));
    EXPECT_EQ(Store(cfg), b.bytes);
    ExpectGolden("AnalysisConfig.bin", AsString(b.bytes));

    // Settings 4-7 change neither the file nor the comparison; a copy takes them.
    CAnalysisConfig working = cfg;
    working.GetGraphCfg(5)->m_strTitle = "working copy";
    working.GetGraphCfg(7)->m_dXMax = 77.0;
    EXPECT_EQ(Store(working), b.bytes);
    EXPECT_FALSE(working != cfg);
    CAnalysisConfig copy;
    copy = working;
    EXPECT_EQ(copy.GetGraphCfg(5)->m_strTitle, "working copy");

    // A load restores 0-3 and 8-23 and leaves 4-7 as they were.
    CAnalysisConfig loaded;
    loaded.GetGraphCfg(4)->m_strTitle = "kept";
    EXPECT_TRUE(Load(loaded, b.bytes));
    EXPECT_FALSE(loaded != cfg);
    EXPECT_EQ(loaded.GetGraphCfg(4)->m_strTitle, "kept");
    EXPECT_EQ(*loaded.GetVariableText(2), " V(out)");
    EXPECT_TRUE(Logged().empty());
}

TEST_F(AnalysisSettings, ComparisonOrderCoversEveryArchivedPart) {
    const CAnalysisConfig base = SampleConfig();
    using Change = void (*)(CAnalysisConfig&);
    const Change changes[] = {
        [](CAnalysisConfig& c) { c.m_strTag = "<X>"; },
        [](CAnalysisConfig& c) { c.m_bDefaults = 0; },
        [](CAnalysisConfig& c) { c.m_dTime = 0.5; },
        [](CAnalysisConfig& c) { c.m_nAnalysisKind = 2; },
        [](CAnalysisConfig& c) { c.m_nInitMode = 1; },
        [](CAnalysisConfig& c) { c.GetEquation(4)->m_strText = "x"; },
        [](CAnalysisConfig& c) { c.GetGraphCfg(3)->m_nYMinorTicks = 2; },
        [](CAnalysisConfig& c) { c.GetGraphCfg(8)->m_nYMinorTicks = 2; },
        [](CAnalysisConfig& c) { c.GetGraphCfg(23)->m_strTitle = "t"; },
        [](CAnalysisConfig& c) { c.GetStimulusCfg().m_nPointsPerDecade = 11; },
    };
    for (size_t i = 0; i < std::size(changes); ++i) {
        CAnalysisConfig changed = base;
        changes[i](changed);
        EXPECT_TRUE(changed != base) << "change " << i;
        CAnalysisConfig copy;
        copy = changed;
        EXPECT_FALSE(copy != changed) << "change " << i;
    }
}

TEST_F(AnalysisSettings, DamagedConfigurationFromAFile) {
    for (int schema : {-1, 1}) {
        NewLoad();
        CAnalysisConfig cfg = SampleConfig();
        Bytes bad = schema < 0 ? ByteBuilder().Str("<ANALYSIS>").bytes
                               : ByteBuilder().Str("<ANALYSIS_CONFIG_DATA>").U16(1).bytes;
        EXPECT_TRUE(Load(cfg, bad));
        // Defaults; an existing equation keeps its text but loses its tokens.
        EXPECT_EQ(cfg.GetAnalysisKind(), 1);
        EXPECT_EQ(cfg.GetTime(), 0.001);
        EXPECT_EQ(cfg.GetInitMode(), 1);
        EXPECT_EQ(cfg.m_bDefaults, 0);
        EXPECT_FALSE(cfg.GetEquation(2)->IsInUse());
        EXPECT_EQ(cfg.GetEquation(2)->GetText(), " V(out)");
        EXPECT_FALSE(*cfg.GetGraphCfg(1) != CGraphCfg());
        EXPECT_FALSE(cfg.GetStimulusCfg() != CFreqDomainStimulusCfg());
        EXPECT_EQ(sink_.boxes.size(), 1u);
        EXPECT_EQ(Logged().back(), Code(56003, schema < 0 ? 200 : 201));
    }
    struct Case {
        const char* name;
        double time;
        int32_t kind, init;
    };
    const Case cases[] = {{"zero run time", 0.0, 4, 0},
                          {"negative run time", -1.0, 4, 0},
                          {"kind 6", 0.025, 6, 0},
                          {"initialisation 2", 0.025, 4, 2}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        NewLoad();
        CAnalysisConfig cfg = SampleConfig();
        cfg.m_dTime = c.time;
        cfg.m_nAnalysisKind = c.kind;
        cfg.m_nInitMode = c.init;
        CAnalysisConfig loaded;
        EXPECT_TRUE(Load(loaded, Store(cfg)));
        EXPECT_GT(loaded.GetTime(), 0.0);
        EXPECT_TRUE(loaded.GetAnalysisKind() >= 0 && loaded.GetAnalysisKind() <= 5);
        EXPECT_TRUE(loaded.GetInitMode() == 0 || loaded.GetInitMode() == 1);
        EXPECT_EQ(*loaded.GetVariableText(2), " V(out)");  // the rest still loads
        EXPECT_EQ(sink_.boxes, std::vector<std::string>{Msg(52080)});
        EXPECT_EQ(Logged(), (std::vector<std::string>{Msg(52080), Code(56003, 219)}));
    }
}

// ---------------------------------------------------------------------------
// Analysis configuration: graphs

TEST_F(AnalysisSettings, CountGraphsWithData) {
    FakeDoc doc;
    CAnalysisConfig& cfg = doc.analysisConfig;
    UseEquation(cfg, 1, " a");
    UseEquation(cfg, 3, " b");
    EXPECT_EQ(cfg.CountGraphsWithData(), 0);  // neither running nor in the dialog
    doc.setupOpen = 1;
    EXPECT_EQ(cfg.CountGraphsWithData(), 2);
    doc.setupOpen = 0;
    doc.running = 1;
    EXPECT_EQ(cfg.CountGraphsWithData(), 2);

    auto& choice = cfg.GetStimulusCfg().m_nChoice;
    cfg.m_nAnalysisKind = CAnalysisConfig::KIND_VOLTAGE_LOOP;
    choice[0] = 1;
    choice[3] = 4;
    EXPECT_EQ(cfg.CountGraphsWithData(), 2);
    cfg.m_nAnalysisKind = CAnalysisConfig::KIND_CURRENT_LOOP;
    choice[6] = 1;  // average current mode quantity
    choice[12] = 2;
    choice[13] = 1;  // peak or hysteretic quantities
    EXPECT_EQ(cfg.CountGraphsWithData(), 2);
    doc.controlSection.SetTopology(4);
    EXPECT_EQ(cfg.CountGraphsWithData(), 1);
    cfg.m_nAnalysisKind = CAnalysisConfig::KIND_AMPLIFIER;
    choice[21] = 2;
    EXPECT_EQ(cfg.CountGraphsWithData(), 1);
    EXPECT_TRUE(Logged().empty());

    cfg.m_nAnalysisKind = CAnalysisConfig::KIND_INPUT_TO_OUTPUT;
    for (int q = 0; q < 5; ++q) choice[size_t(14 + q)] = 1 + q % 4;
    EXPECT_EQ(cfg.CountGraphsWithData(), 0);
    EXPECT_EQ(Logged(), std::vector<std::string>{Code(56003, 203)});

    cfg.m_nAnalysisKind = 9;
    EXPECT_EQ(cfg.CountGraphsWithData(), 0);
    EXPECT_EQ(Logged().back(), Code(56003, 202));
}

TEST_F(AnalysisSettings, AssignGraphNumbers) {
    FakeDoc doc;
    CAnalysisConfig& cfg = doc.analysisConfig;
    auto& choice = cfg.GetStimulusCfg().m_nChoice;
    struct Case {
        const char* name;
        int32_t kind;
        std::vector<std::pair<int, int>> choices;  // word, graph
        std::vector<int> equations;
        std::vector<std::string> calls;
    };
    const Case cases[] = {
        {"time domain: variables 2 and 4", 0, {}, {2, 4},
         {"QuantityGraph 2 1", "GraphSource 2 1", "QuantityGraph 4 2", "GraphSource 4 2"}},
        {"Loop Phase on graph 1, Loop Gain on graph 2", 2, {{1, 1}, {0, 2}}, {},
         {"QuantityGraph 2 1", "GraphSource 1 1", "GraphQuantity 2 1", "ChoiceQuantity 2 1",
          "QuantityGraph 1 2", "GraphSource 2 2", "GraphQuantity 1 2", "ChoiceQuantity 1 2"}},
        {"two quantities on one user graph", 5, {{21, 2}, {22, 2}}, {},
         {"QuantityGraph 1 1", "GraphSource 2 1", "GraphQuantity 1 1", "ChoiceQuantity 1 2",
          "QuantityGraph 2 2", "GraphSource 2 2", "GraphQuantity 2 2", "ChoiceQuantity 2 2"}},
        {"five quantities assign four", 4, {{14, 1}, {15, 1}, {16, 2}, {17, 3}, {18, 4}}, {},
         {"QuantityGraph 1 1", "GraphSource 1 1", "GraphQuantity 1 1", "ChoiceQuantity 1 1",
          "QuantityGraph 2 2", "GraphSource 1 2", "GraphQuantity 2 2", "ChoiceQuantity 2 1",
          "QuantityGraph 3 3", "GraphSource 2 3", "GraphQuantity 3 3", "ChoiceQuantity 3 2",
          "QuantityGraph 4 4", "GraphSource 3 4", "GraphQuantity 4 4", "ChoiceQuantity 4 3"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeGraphMgr mgr;
        cfg.InitDefaults();
        cfg.m_nAnalysisKind = c.kind;
        for (auto [word, graph] : c.choices) choice[size_t(word)] = graph;
        for (int k : c.equations) UseEquation(cfg, k, " x");
        cfg.AssignGraphNumbers();
        EXPECT_EQ(mgr.calls, c.calls);
    }
    EXPECT_TRUE(Logged().empty());

    FakeGraphMgr mgr;
    cfg.m_nAnalysisKind = -1;
    cfg.AssignGraphNumbers();
    EXPECT_TRUE(mgr.calls.empty());
    EXPECT_EQ(Logged(), std::vector<std::string>{Code(56003, 204)});
}

TEST_F(AnalysisSettings, PerGraphAccessorsMapAndReportBadNumbers) {
    FakeDoc doc;
    FakeGraphMgr mgr;
    CAnalysisConfig& cfg = doc.analysisConfig;
    const int trace[] = {9, 10, 11, 12, 13};
    const int axis[] = {1, 2, 3, 4, 5};
    for (int c = 0; c < 5; ++c) {
        cfg.GetGraphCfg(2)->m_nTraceColor = c;
        cfg.GetGraphCfg(2)->m_nAxisColor = c;
        EXPECT_EQ(cfg.GetTraceColor(3), trace[c]);
        EXPECT_EQ(cfg.GetAxisColor(3), axis[c]);
    }
    const int gridType[] = {-1, 0, 1, 2};
    for (int g = 0; g < 4; ++g) {
        cfg.GetGraphCfg(0)->m_nGridType = g;
        EXPECT_EQ(cfg.GetGridType(1), gridType[g]);
    }
    const int gridColor[] = {19, 7, 18};
    for (int g = 0; g < 3; ++g) {
        cfg.GetGraphCfg(0)->m_nGridColor = g;
        EXPECT_EQ(cfg.GetGridColor(1), gridColor[g]);
    }
    // Values no button gives map to the neutral results.
    cfg.GetGraphCfg(0)->m_nTraceColor = 8;
    cfg.GetGraphCfg(0)->m_nAxisColor = -1;
    cfg.GetGraphCfg(0)->m_nGridColor = 5;
    EXPECT_EQ(cfg.GetTraceColor(1), 11);
    EXPECT_EQ(cfg.GetAxisColor(1), 4);
    EXPECT_EQ(cfg.GetGridColor(1), -1);
    EXPECT_EQ(*cfg.GetXAxisLabel(1), "Micro Seconds");
    EXPECT_TRUE(Logged().empty());

    // Frequency kinds read the working copy 4-7.
    *cfg.GetGraphCfg(5) = SampleGraph();
    cfg.m_nAnalysisKind = CAnalysisConfig::KIND_VOLTAGE_LOOP;
    EXPECT_EQ(cfg.GetXMax(2), 20.0);
    EXPECT_EQ(cfg.GetYMin(2), 0.5);
    EXPECT_EQ(cfg.GetXMinorTicks(2), 4);
    EXPECT_EQ(cfg.GetYMinorTicks(2), 50);
    EXPECT_EQ(*cfg.GetXAxisLabel(2), "Hertz");

    // Bad graph numbers: the code and the neutral result.
    RestartLog();
    EXPECT_EQ(cfg.GetTraceColor(5), 11);
    EXPECT_EQ(cfg.GetAxisColor(0), 4);
    EXPECT_EQ(cfg.GetXMin(5), 0.0);
    EXPECT_EQ(cfg.GetXMax(5), 0.0);
    EXPECT_EQ(cfg.GetYMin(5), 0.0);
    EXPECT_EQ(cfg.GetYMax(5), 0.0);
    EXPECT_EQ(cfg.GetXMinorTicks(5), 0);
    EXPECT_EQ(cfg.GetYMinorTicks(5), 0);
    EXPECT_EQ(cfg.GetGridType(5), -1);
    EXPECT_EQ(cfg.GetGridColor(5), -1);
    EXPECT_EQ(cfg.GetVariableText(0), nullptr);
    std::vector<std::string> codes;
    for (int code = 205; code <= 214; ++code) codes.push_back(Code(56003, code));
    codes.push_back(Code(56003, 218));
    EXPECT_EQ(Logged(), codes);
}

TEST_F(AnalysisSettings, FrequencyLabelsAndTitlesFollowTheQuantityOfEachUserGraph) {
    FakeDoc doc;
    FakeGraphMgr mgr;
    CAnalysisConfig& cfg = doc.analysisConfig;
    mgr.choice = {{1, 2}, {2, 5}, {3, 6}, {4, 0}};
    struct Case {
        int32_t kind;
        WORD control;
        std::vector<const char*> titles;  // user graphs 1-4, nullptr for none
        std::vector<const char*> yLabels;
    };
    const Case cases[] = {
        {2, 0, {"Loop Phase", "Error Amplifier Gain", "Error Amplifier Phase", nullptr},
         {"Degrees", "Decibels", "Degrees", nullptr}},
        {3, 0, {"Current Loop Phase", nullptr, nullptr, nullptr}, {"Degrees", "Decibels", "Degrees", nullptr}},
        {3, 4, {"Current Loop Phase", "Current Loop Modulator Gain", "Current Loop Modulator Phase", nullptr},
         {"Degrees", "Decibels", "Degrees", nullptr}},
        {4, 0, {"Input Filter Phase", "Line to Output Gain", "Line to Output Phase", nullptr},
         {"Degrees", "Decibels", "Degrees", nullptr}},
        {5, 0, {"Amplifier Phase", nullptr, nullptr, nullptr}, {"Degrees", nullptr, nullptr, nullptr}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("kind " + std::to_string(c.kind) + " control " + std::to_string(c.control));
        cfg.m_nAnalysisKind = c.kind;
        doc.controlSection.SetTopology(c.control);
        for (int g = 1; g <= 4; ++g) {
            const std::string* title = cfg.GetGraphTitle(g);
            const std::string* y = cfg.GetYAxisLabel(g);
            if (c.titles[size_t(g - 1)]) {
                ASSERT_NE(title, nullptr) << g;
                EXPECT_EQ(*title, c.titles[size_t(g - 1)]);
            } else {
                EXPECT_EQ(title, nullptr) << g;
            }
            if (c.yLabels[size_t(g - 1)]) {
                ASSERT_NE(y, nullptr) << g;
                EXPECT_EQ(*y, c.yLabels[size_t(g - 1)]);
            } else {
                EXPECT_EQ(y, nullptr) << g;
            }
        }
    }
    EXPECT_TRUE(Logged().empty());

    // Time kinds read the time graph's own strings.
    cfg.m_nAnalysisKind = 0;
    *cfg.GetGraphCfg(3) = SampleGraph();
    EXPECT_EQ(*cfg.GetGraphTitle(4), "Output Voltage");
    EXPECT_EQ(*cfg.GetYAxisLabel(4), "Volts");
    EXPECT_EQ(*cfg.GetXAxisLabel(4), "Milli Seconds");
    EXPECT_EQ(cfg.GetGraphTitle(5), nullptr);
    EXPECT_TRUE(Logged().empty());

    cfg.m_nAnalysisKind = 6;
    EXPECT_EQ(cfg.GetXAxisLabel(1), nullptr);
    EXPECT_EQ(cfg.GetYAxisLabel(1), nullptr);
    EXPECT_EQ(cfg.GetGraphTitle(1), nullptr);
    EXPECT_EQ(Logged(), (std::vector<std::string>{Code(56003, 215), Code(56003, 216), Code(56003, 217)}));
}
