#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utime.h>

#include <filesystem>
#include <fstream>
#include <cstring>
#include <random>

#include "graphs/GraphTestSupport.h"
#include "graphs/KXGraph.h"
#include "support/Golden.h"
#include "support/ReadFile.h"

using test_support::CountOf;

namespace {

const char* const kCorrupted = "The KVX file's has been corrupted.\nNot all data has been restored.";
const char* const kVersion = "The KVX file's version is incorrect.\nNot all data has been restored.";

std::string Hex(const std::string& bytes) {
    static const char* digits = "0123456789abcdef";
    std::string out;
    for (size_t i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        out += digits[b >> 4];
        out += digits[b & 15];
        out += (i % 16 == 15) ? '\n' : ' ';
    }
    return out;
}

class KXGraphTest : public test_support::GraphStoreTest {
protected:
    CAnalysisConfig& Config() { return *doc_->GetAnalysisConfig(); }

    // A time-domain page: graph g shows variable g with its own settings; graph 2 is empty.
    void FillPage(int count) {
        StartRun(count, 0.0, 100.0);
        for (int g = 1; g <= count; ++g) {
            mgr_->SetGraphSource(g, g);
            CGraphCfg& cfg = *Config().GetGraphCfg(g - 1);
            cfg.m_strTitle = "Output " + std::to_string(g);
            cfg.m_strXAxisLabel = "Micro Seconds";
            cfg.m_strYAxisLabel = "Volts";
            cfg.m_dXMin = 0.0;
            cfg.m_dXMax = 100.0;
            cfg.m_dYMin = -2.0 * g;
            cfg.m_dYMax = 3.5 * g;
            cfg.m_nXMinorTicks = g;
            cfg.m_nYMinorTicks = 2 * g;
            cfg.m_nTraceColor = CGraphCfg::COLOR_RED;
            cfg.m_nAxisColor = CGraphCfg::COLOR_BLUE;
            cfg.m_nGridType = g == 1 ? CGraphCfg::GRID_BOTH : CGraphCfg::GRID_NONE;
            cfg.m_nGridColor = CGraphCfg::GRID_MEDIUM_GRAY;
            if (g == 2) continue;
            for (int i = 0; i < 3 * g; ++i) mgr_->PlotSample(g, 1.5 * i, 0.25 * i * g - 1.0, 0.0);
        }
        mgr_->SetRunning(FALSE);
    }

    std::vector<uint8_t> Write(const std::string& design = "   < file timestamp unknown >") {
        auto root = std::make_unique<CPwrQuorraViewerObj>();
        FillViewerObject(*mgr_, Config(), design, "Some notes\r\non two lines", *root);
        return ViewerFileBytes(*root);
    }

    std::unique_ptr<CPwrQuorraViewerObj> Read(const std::vector<uint8_t>& bytes) {
        auto root = std::make_unique<CPwrQuorraViewerObj>();
        LoadViewerBytes(bytes, *root);
        return root;
    }

    static std::string AsString(const std::vector<uint8_t>& b) { return std::string(b.begin(), b.end()); }
};

void ExpectSameGraph(const CKVXGraphObj& a, const CKVXGraphObj& b) {
    EXPECT_EQ(a.m_strTitle, b.m_strTitle);
    EXPECT_EQ(a.m_strXLabel, b.m_strXLabel);
    EXPECT_EQ(a.m_strYLabel, b.m_strYLabel);
    EXPECT_EQ(a.m_dXMin, b.m_dXMin);
    EXPECT_EQ(a.m_dXMax, b.m_dXMax);
    EXPECT_EQ(a.m_dYMin, b.m_dYMin);
    EXPECT_EQ(a.m_dYMax, b.m_dYMax);
    EXPECT_EQ(a.m_nXMinorTicks, b.m_nXMinorTicks);
    EXPECT_EQ(a.m_nYMinorTicks, b.m_nYMinorTicks);
    EXPECT_EQ(a.m_nAxisColor, b.m_nAxisColor);
    EXPECT_EQ(a.m_nTraceColor, b.m_nTraceColor);
    EXPECT_EQ(a.m_bFrequency, b.m_bFrequency);
    EXPECT_EQ(a.m_bGain, b.m_bGain);
    EXPECT_EQ(a.m_nGridType, b.m_nGridType);
    EXPECT_EQ(a.m_nGridColor, b.m_nGridColor);
}

// ---------------------------------------------------------------------------------------
// Writing

TEST_F(KXGraphTest, APageOfThreeGraphsMatchesItsGoldenFile) {
    FillPage(3);
    test_support::ExpectGolden("graphs", "three_graphs.kvx", AsString(Write()), Hex);
}

TEST_F(KXGraphTest, WrittenFileReadsBackIdentical) {
    FillPage(3);
    auto written = std::make_unique<CPwrQuorraViewerObj>();
    FillViewerObject(*mgr_, Config(), "design   stamp", "notes", *written);
    auto read = Read(ViewerFileBytes(*written));
    EXPECT_TRUE(sink_.boxes.empty());
    EXPECT_EQ(read->m_strDesignFile, "design   stamp");
    EXPECT_EQ(read->m_strNotes, "notes");
    ASSERT_EQ(read->m_nGraphCount, 3);
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        ExpectSameGraph(written->Graph(i), read->Graph(i));
        EXPECT_EQ(read->Points(i).lastIndex, written->Points(i).lastIndex);
        EXPECT_EQ(read->Points(i).x, written->Points(i).x);
        EXPECT_EQ(read->Points(i).y, written->Points(i).y);
    }
    // What the page held: graph 1's settings, graph 2 empty, graph 3 with nine points.
    EXPECT_EQ(read->Graph(0).m_strTitle, "Output 1");
    EXPECT_EQ(read->Graph(0).m_nTraceColor, 12);
    EXPECT_EQ(read->Graph(0).m_nAxisColor, 1);
    EXPECT_EQ(read->Graph(0).m_nGridType, 2);
    EXPECT_EQ(read->Graph(0).m_nGridColor, 18);
    EXPECT_EQ(read->Graph(1).m_nGridType, -1);
    EXPECT_EQ(read->Points(1).lastIndex, -1);
    EXPECT_TRUE(read->Points(1).x.empty());
    EXPECT_EQ(read->Points(2).lastIndex, 8);
    EXPECT_EQ(read->Points(2).y[8], 0.25 * 8 * 3 - 1.0);
}

TEST_F(KXGraphTest, GraphRecordsGoInDescendingOrder) {
    FillPage(3);
    const std::string bytes = AsString(Write());
    const size_t g3 = bytes.find("Output 3"), g2 = bytes.find("Output 2"), g1 = bytes.find("Output 1");
    ASSERT_NE(g1, std::string::npos);
    EXPECT_LT(g3, g2);
    EXPECT_LT(g2, g1);
}

TEST_F(KXGraphTest, AFullGraphWritesAllItsPoints) {
    StartRun(1, 0.0, double(kGraphStorePoints));
    mgr_->SetGraphSource(1, 1);
    for (int i = 0; i < kGraphStorePoints; ++i) mgr_->PlotSample(1, double(i), -double(i), 0.0);
    const std::vector<uint8_t> bytes = Write();
    auto read = Read(bytes);
    EXPECT_TRUE(sink_.boxes.empty());
    ASSERT_EQ(read->Points(0).lastIndex, kGraphStorePoints - 1);
    EXPECT_EQ(read->Points(0).x.size(), size_t(kGraphStorePoints));
    EXPECT_EQ(read->Points(0).y.back(), -double(kGraphStorePoints - 1));
    // The last index field, then exactly 64,000 pairs end the file.
    const size_t pairs = size_t(kGraphStorePoints) * 16;
    int32_t last = 0;
    std::memcpy(&last, bytes.data() + bytes.size() - pairs - 4, 4);
    EXPECT_EQ(last, kGraphStorePoints - 1);
}

TEST_F(KXGraphTest, StringsOfEveryLengthFormReadBack) {
    struct Case {
        size_t length;
        std::vector<uint8_t> prefix;
    };
    const Case cases[] = {
        {0, {0x00}},
        {254, {0xFE}},
        {255, {0xFF, 0xFF, 0x00}},
        {65533, {0xFF, 0xFD, 0xFF}},
        {65534, {0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.length);
        CPwrQuorraViewerObj root;
        root.m_strNotes = std::string(c.length, 'n');
        const std::vector<uint8_t> bytes = ViewerFileBytes(root);
        // Tag, version and "Unknown" come first.
        const size_t at = 1 + std::strlen(kViewerRootTag) + 2 + 1 + 7;
        ASSERT_GE(bytes.size(), at + c.prefix.size());
        EXPECT_EQ(std::vector<uint8_t>(bytes.begin() + long(at), bytes.begin() + long(at + c.prefix.size())), c.prefix);
        auto read = Read(bytes);
        EXPECT_EQ(read->m_strNotes.size(), c.length);
        EXPECT_TRUE(sink_.boxes.empty());
    }
}

TEST_F(KXGraphTest, TheGainFlagFollowsTheQuantityOfThePageGraph) {
    // The user put the gain (quantity 1) on their graph 2 and left graph 1 unused: page
    // graph 1 reads settings 2 and shows a gain.
    StartRun(1, 10.0, 1e5, CUSData::SAMPLING_NONE, CAnalysisConfig::KIND_VOLTAGE_LOOP);
    mgr_->SetGraphSource(2, 1);
    mgr_->SetGraphQuantity(1, 1);
    mgr_->SetChoiceQuantity(1, 2);
    auto read = Read(Write());
    ASSERT_EQ(read->m_nGraphCount, 1);
    EXPECT_EQ(read->Graph(0).m_bFrequency, 1);
    EXPECT_EQ(read->Graph(0).m_bGain, 1);
    EXPECT_EQ(read->Graph(0).m_strYLabel, "Decibels");
}

TEST_F(KXGraphTest, APageCountBeyondFourWritesFourGraphsAndLogsTheRest) {
    mgr_->Reset(5);
    auto read = Read(Write());
    EXPECT_EQ(read->m_nGraphCount, 4);
    EXPECT_EQ(CountOf(Log(), "GraphMgr:  CODE 2023"), 1);
}

TEST_F(KXGraphTest, DesignTextNamesTheFileAndItsTime) {
    EXPECT_EQ(ViewerDesignText(""), "   < file timestamp unknown >");
    EXPECT_EQ(ViewerDesignText("/no/such/design.SEF"), "/no/such/design.SEF   < file timestamp unknown >");
    const std::string path = ::testing::TempDir() + "kvx_design_" + std::to_string(::getpid()) + ".SEF";
    { std::ofstream(path) << "x"; }
    // Thursday, December 10, 2026, 16:05:09 local time.
    std::tm t{};
    t.tm_year = 2026 - 1900;
    t.tm_mon = 11;
    t.tm_mday = 10;
    t.tm_hour = 16;
    t.tm_min = 5;
    t.tm_sec = 9;
    t.tm_isdst = -1;
    const std::time_t when = std::mktime(&t);
    const struct utimbuf times = {when, when};
    ASSERT_EQ(::utime(path.c_str(), &times), 0);
    EXPECT_EQ(ViewerDesignText(path), path + "   Thursday, December 10, 2026, 16:05:09 PM");
    std::remove(path.c_str());
}

TEST_F(KXGraphTest, SavingWritesTheWholeFileOrTellsTheUser) {
    FillPage(2);
    const std::filesystem::path dir = std::filesystem::path(::testing::TempDir()) / ("kvx_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const std::string target = (dir / "graphs.kvx").string();
    EXPECT_TRUE(SaveGraphsForViewerFile(*mgr_, target, Config(), "", "notes"));
    CPwrQuorraViewerObj read;
    ASSERT_TRUE(LoadViewerFile(target, read));
    EXPECT_EQ(read.m_nGraphCount, 2);
    EXPECT_EQ(read.m_strDesignFile, "   < file timestamp unknown >");
    EXPECT_TRUE(sink_.boxes.empty());

    const std::string missing = (dir / "none" / "graphs.kvx").string();
    EXPECT_FALSE(SaveGraphsForViewerFile(*mgr_, missing, Config(), "", "notes"));
    ASSERT_EQ(sink_.boxes.size(), 1u);
    EXPECT_EQ(sink_.boxes[0], "Problem:  Could not open KVXViewer file for graph data");
    EXPECT_FALSE(std::filesystem::exists(missing));
    EXPECT_FALSE(LoadViewerFile(missing, read));
    EXPECT_EQ(read.m_nGraphCount, 0);
    std::filesystem::remove_all(dir);
}

// ---------------------------------------------------------------------------------------
// Reading damaged files

void ExpectSane(const CPwrQuorraViewerObj& root) {
    ASSERT_LE(root.m_nGraphCount, 4);
    for (int i = 0; i < 4; ++i) {
        const CKVXPointStore& p = root.Points(i);
        ASSERT_GE(p.lastIndex, -1);
        ASSERT_LE(p.lastIndex, kGraphStorePoints - 1);
        ASSERT_EQ(p.x.size(), size_t(p.lastIndex + 1));
        ASSERT_EQ(p.y.size(), size_t(p.lastIndex + 1));
    }
}

// Places in the file written by FillPage(2) (design text "   < file timestamp unknown >").
struct Damage {
    const char* name;
    std::function<void(std::vector<uint8_t>&)> apply;
    const char* message;
    int graphs;  // graph count after the load
};

size_t RootCountAt(const std::vector<uint8_t>& b) {
    // tag, version, design text, notes
    size_t at = 1 + std::strlen(kViewerRootTag) + 2;
    at += 1 + b[at];
    at += 1 + b[at];
    return at;
}

TEST_F(KXGraphTest, DamagedFilesGiveTheirMessageOnceAndKeepWhatWasRead) {
    FillPage(2);
    const std::vector<uint8_t> good = Write();
    const size_t countAt = RootCountAt(good);
    const size_t graph2At = countAt + 2;  // graph 2's record comes first
    const std::vector<Damage> cases = {
        {"root tag", [](auto& b) { b[1] = 'X'; }, kCorrupted, 0},
        {"root version", [](auto& b) { b[1 + std::strlen(kViewerRootTag)] = 1; }, kVersion, 0},
        {"graph count 5", [&](auto& b) { b[countAt] = 5; }, kCorrupted, 0},
        {"graph tag", [&](auto& b) { b[graph2At + 1] = 'h'; }, kCorrupted, 2},
        {"graph version", [&](auto& b) { b[graph2At + 1 + std::strlen(kViewerGraphTag)] = 7; }, kVersion, 2},
        {"last index 64,000",
         [&](auto& b) {
             // Graph 2 is empty: tag, version, "Output 2", "Micro Seconds", "Volts", four
             // doubles and eight words come before its last index.
             const size_t at = graph2At + (1 + std::strlen(kViewerGraphTag)) + 2 + 9 + 14 + 6 + 32 + 32;
             const int32_t v = kGraphStorePoints;
             std::memcpy(&b[at], &v, 4);
         },
         kCorrupted, 2},
        {"cut in the points", [](auto& b) { b.resize(b.size() - 20); }, kCorrupted, 2},
        {"empty", [](auto& b) { b.clear(); }, kCorrupted, 0},
    };
    for (const Damage& d : cases) {
        SCOPED_TRACE(d.name);
        sink_.Clear();
        std::vector<uint8_t> bytes = good;
        d.apply(bytes);
        auto read = Read(bytes);
        // A graph record that fails its checks is not read further, so the next one is read
        // from inside it and fails its tag: the corrupted message may follow, once.
        ASSERT_GE(sink_.boxes.size(), 1u);
        EXPECT_EQ(sink_.boxes[0], d.message);
        EXPECT_LE(sink_.boxes.size(), 2u);
        if (sink_.boxes.size() == 2) {
            EXPECT_EQ(sink_.boxes[1], kCorrupted);
            EXPECT_NE(sink_.boxes[0], kCorrupted);
        }
        EXPECT_EQ(read->m_nGraphCount, d.graphs);
        ExpectSane(*read);
    }
}

TEST_F(KXGraphTest, ACutFileKeepsTheWholePointsItHolds) {
    FillPage(1);  // graph 1: three points
    std::vector<uint8_t> bytes = Write();
    bytes.resize(bytes.size() - 16 - 3);  // the last pair and a bit of the one before
    auto read = Read(bytes);
    ASSERT_EQ(read->m_nGraphCount, 1);
    EXPECT_EQ(read->Points(0).lastIndex, 0);
    ASSERT_EQ(read->Points(0).x.size(), 1u);
    EXPECT_EQ(read->Points(0).y[0], -1.0);
    EXPECT_EQ(read->Graph(0).m_strTitle, "Output 1");
    EXPECT_EQ(CountOf(sink_.boxes.empty() ? "" : sink_.boxes[0], "corrupted"), 1);
}

TEST_F(KXGraphTest, EveryTruncationAndRandomDamageIsReadSafely) {
    FillPage(3);
    const std::vector<uint8_t> good = Write();
    for (size_t n = 0; n < good.size(); ++n) {
        sink_.Clear();
        auto read = Read(std::vector<uint8_t>(good.begin(), good.begin() + long(n)));
        ExpectSane(*read);
        ASSERT_EQ(sink_.boxes.size(), 1u) << n;
        EXPECT_EQ(sink_.boxes[0], kCorrupted) << n;
    }
    std::mt19937 rng(20261210);
    for (int round = 0; round < 3000; ++round) {
        sink_.Clear();
        std::vector<uint8_t> bytes = good;
        const int flips = 1 + int(rng() % 8);
        for (int f = 0; f < flips; ++f) bytes[rng() % bytes.size()] = uint8_t(rng());
        if (rng() % 4 == 0) bytes.resize(rng() % bytes.size());
        auto read = Read(bytes);
        ExpectSane(*read);
        EXPECT_LE(CountOf(testing::PrintToString(sink_.boxes), "corrupted"), 1) << round;
        EXPECT_LE(CountOf(testing::PrintToString(sink_.boxes), "version"), 1) << round;
    }
}

}  // namespace
