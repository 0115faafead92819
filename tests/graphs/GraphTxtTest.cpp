#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "graphs/GraphTestSupport.h"
#include "graphs/GraphTxt.h"
#include "platform/core/File.h"
#include "support/Golden.h"
#include "support/ReadFile.h"

using test_support::CountOf;

namespace {

class GraphTxtTest : public test_support::GraphStoreTest {
protected:
    // Thursday, December 10, 2026, 16:05:09.
    static std::tm Now() {
        std::tm t{};
        t.tm_year = 2026 - 1900;
        t.tm_mon = 11;
        t.tm_mday = 10;
        t.tm_wday = 4;
        t.tm_hour = 16;
        t.tm_min = 5;
        t.tm_sec = 9;
        return t;
    }

    CAnalysisConfig& Config() { return *doc_->GetAnalysisConfig(); }

    // A time-domain page of four graphs showing variables 1..4; graph 2 stays empty, graph
    // 3 holds one point.
    void FillTimePage() {
        StartRun(4, -10.0, 1000.0);
        for (int g = 1; g <= 4; ++g) {
            mgr_->SetGraphSource(g, g);
            CGraphCfg& cfg = *Config().GetGraphCfg(g - 1);
            cfg.m_strTitle = "Output " + std::to_string(g);
            cfg.m_strXAxisLabel = "Micro Seconds";
            cfg.m_strYAxisLabel = g == 4 ? "Amperes" : "Volts";
            Config().GetEquation(g)->m_strText = "V.OUT" + std::to_string(g) + " * 2";
        }
        const double xs1[] = {0.0, 12.5, 999.999};
        const double ys1[] = {4.7e-6, -1.0, 123456789.0};
        for (int i = 0; i < 3; ++i) mgr_->PlotSample(1, xs1[i], ys1[i], 0.0);
        mgr_->PlotSample(3, 1.0, 1e-300, 0.0);
        const double xs4[] = {-10.0, 0.1, 0.2, 0.30000000000000004};
        for (double x : xs4) mgr_->PlotSample(4, x, x * -3.0, 0.0);
        mgr_->SetRunning(FALSE);
    }

    std::string Text() {
        fw::StringFile f;
        mgr_->SaveAsText(f, Config(), "/home/designer/buck converter.SEF", Now());
        return f.text;
    }
};

TEST_F(GraphTxtTest, TimeDomainPageMatchesItsGoldenFile) {
    FillTimePage();
    test_support::ExpectGolden("graphs", "time_page.txt", Text());
}

TEST_F(GraphTxtTest, PiecesOfThePage) {
    FillTimePage();
    const std::string text = Text();
    EXPECT_EQ(text.rfind("File:  /home/designer/buck converter.SEF\r\nDate:  Thursday, December 10, 2026, 16:05:09 PM\r\n", 0), 0u);
    // Graph 2 has its title and axis blocks, then the no-data line.
    EXPECT_NE(text.find("\r\nGraph Title:  Output 2 \r\n\r\nVariable Equation:  V.OUT2 * 2 \r\n"
                        "\r\nX Axis:  Micro Seconds                     Y Axis:  Volts"
                        "\r\n         No Data                      No Data\r\n\r\n\r\n"),
              std::string::npos);
    // One point: one data line and four line ends.
    EXPECT_NE(text.find("Y Axis:  Volts\r\n         +1.0000000000000000e+000          +1.0000000000000000e-300\r\n\r\n\r\n\r\n"),
              std::string::npos);
    EXPECT_EQ(CountOf(text, "e+000          "), 2);
    // Every line ends in CR LF.
    EXPECT_EQ(CountOf(text, "\n"), CountOf(text, "\r\n"));
}

TEST_F(GraphTxtTest, FrequencyGraphsHaveNoEquationAndMissingPiecesAreLeftOut) {
    StartRun(2, 10.0, 1e6, CUSData::SAMPLING_NONE, CAnalysisConfig::KIND_VOLTAGE_LOOP);
    // Graph 1 shows gain quantity 1 on the user's graph 1; graph 2 names a user graph
    // without a quantity, so it has no title and no y label.
    mgr_->SetGraphSource(1, 1);
    mgr_->SetGraphQuantity(1, 1);
    mgr_->SetChoiceQuantity(1, 1);
    mgr_->SetGraphSource(2, 2);
    Config().GetEquation(1)->m_strText = "never shown";
    mgr_->PlotSample(1, 100.0, -3.0, 0.0);
    mgr_->PlotSample(2, 100.0, 45.0, 0.0);
    const std::string text = Text();
    EXPECT_EQ(text.find("Variable Equation"), std::string::npos);
    EXPECT_EQ(CountOf(text, "Graph Title:"), 1);
    EXPECT_EQ(CountOf(text, "X Axis:  Hertz"), 1);
    EXPECT_NE(text.find("Y Axis:  Decibels\r\n         +1.0000000000000000e+002          -3.0000000000000000e+000\r\n"),
              std::string::npos);
    // Graph 2: its point follows the previous graph's end directly.
    EXPECT_NE(text.find("\r\n\r\n\r\n\r\n\r\n         +1.0000000000000000e+002          +4.5000000000000000e+001\r\n\r\n\r\n\r\n"),
              std::string::npos);
}

TEST_F(GraphTxtTest, AnEmptyPageWritesTheHeaderOnly) {
    mgr_->Reset(0);
    EXPECT_EQ(Text(), "File:  /home/designer/buck converter.SEF\r\nDate:  Thursday, December 10, 2026, 16:05:09 PM\r\n");
}

TEST_F(GraphTxtTest, SavingReplacesTheFileWholeOrTellsTheUserAndLeavesNothing) {
    FillTimePage();
    const std::filesystem::path dir = std::filesystem::path(::testing::TempDir()) / ("graph_txt_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const std::string target = (dir / "graphs.txt").string();
    { std::ofstream(target) << "old"; }
    EXPECT_TRUE(SaveGraphsAsTextFile(*mgr_, target, Config(), "/home/designer/buck converter.SEF", Now()));
    EXPECT_EQ(test_support::ReadAll(target), Text());
    EXPECT_TRUE(sink_.boxes.empty());

    const std::string missing = (dir / "no such folder" / "graphs.txt").string();
    EXPECT_FALSE(SaveGraphsAsTextFile(*mgr_, missing, Config(), "", Now()));
    ASSERT_EQ(sink_.boxes.size(), 1u);
    EXPECT_EQ(sink_.boxes[0], "A problem occurred writing the graph data text file.");
    EXPECT_FALSE(std::filesystem::exists(missing));
    std::filesystem::remove_all(dir);
}

}  // namespace
