// The program's design document runs the engine: a start of the first configuration steps
// the circuit on the worker and its plotted quantities (equations over waveform variables)
// reach the graph store with the values of the run; a design the engine cannot run is
// refused before the start.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <mutex>
#include <thread>
#include <vector>

#include "app/AnalEngineLink.h"
#include "app/DesignDoc.h"
#include "circuit/EquObj.h"
#include "designs/Designs.h"
#include "platform/core/ReportSink.h"

namespace {

class SampleStore : public CGraphSampleSink {
public:
    BOOL GetVariableGraph(int quantity, int& graph) override {
        graph = quantity;
        return TRUE;
    }
    double GetGraphStart(int) override { return 0.0; }
    double GetGraphStop(int) override { return 1e6; }
    BOOL PlotSample(int graph, double x, double y, double) override {
        std::lock_guard<std::mutex> lock(m_);
        if (graph == 1) vout.push_back({x, y});
        if (graph == 2) ip.push_back({x, y});
        return TRUE;
    }
    double LastTime() {
        std::lock_guard<std::mutex> lock(m_);
        return vout.empty() ? -1.0 : vout.back().first;
    }
    std::vector<std::pair<double, double>> vout, ip;

private:
    std::mutex m_;
};

void PlotVariable(CEquation& eq, int id) {
    eq.GetTokens().DeleteAll();
    CObEquation token;
    token.m_nKind = CObEquation::KIND_VARIABLE;
    token.m_nVarId = id;
    eq.GetTokens().AddCopy(token);
}

constexpr int kOutput1Voltage = 363;
constexpr int kTransformerPrimaryCurrent = 94;

TEST(AnalEngineLink, StartRunsTheDesignAndPlotsItsQuantities) {
    fw::RecordingSink sink;
    fw::ScopedReportSink scoped(&sink);
    CDesignDocument host;
    CPwrQuorraDoc& doc = host.Design();
    ASSERT_TRUE(doc.OnNewDocument());
    BuildFirstConfiguration(doc);
    doc.GetAnalysisConfig()->m_dTime = 200e-6;
    PlotVariable(*doc.GetAnalysisConfig()->GetEquation(1), kOutput1Voltage);
    PlotVariable(*doc.GetAnalysisConfig()->GetEquation(2), kTransformerPrimaryCurrent);

    ASSERT_TRUE(doc.PrepareAnalysis());
    ASSERT_TRUE(CheckAnalysisCanRun(doc));
    SampleStore store;
    doc.GetThreadParams().pGraphSink = &store;
    ASSERT_TRUE(doc.StartAnalysis());
    for (int i = 0; i < 500 && store.LastTime() < 200.0; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    doc.EndAnalysis();
    EXPECT_EQ(doc.GetRunStatus(), 1);
    EXPECT_TRUE(sink.boxes.empty());

    ASSERT_GT(store.vout.size(), 100u);
    ASSERT_EQ(store.ip.size(), store.vout.size());
    EXPECT_EQ(store.vout.front().second, 0.0);  // from rest
    EXPECT_GE(store.vout.back().first, 200.0);
    double ipMax = 0.0;
    for (const auto& s : store.ip) ipMax = std::max(ipMax, s.second);
    // The output rises towards its 10.7 V; the primary carries the switched current.
    EXPECT_GT(store.vout.back().second, 1.0);
    EXPECT_LT(store.vout.back().second, 20.0);
    EXPECT_GT(ipMax, 1.0);
}

// A steady-state start plots from the operating point: the output is at its settled 10.69 V
// from the first sample at time 0 (the precise start, within its 0.5 %).
TEST(AnalEngineLink, SteadyStateRunPlotsFromTheOperatingPoint) {
    fw::RecordingSink sink;
    fw::ScopedReportSink scoped(&sink);
    CDesignDocument host;
    CPwrQuorraDoc& doc = host.Design();
    ASSERT_TRUE(doc.OnNewDocument());
    BuildFirstConfiguration(doc);
    CAnalysisConfig& cfg = *doc.GetAnalysisConfig();
    cfg.SetAnalysisKind(CAnalysisConfig::KIND_STEADY_STATE);
    cfg.m_nInitMode = CAnalysisConfig::INIT_SLOW_PRECISE;
    cfg.m_dTime = 100e-6;
    PlotVariable(*cfg.GetEquation(1), kOutput1Voltage);

    ASSERT_TRUE(doc.PrepareAnalysis());
    ASSERT_TRUE(CheckAnalysisCanRun(doc));
    SampleStore store;
    doc.GetThreadParams().pGraphSink = &store;
    ASSERT_TRUE(doc.StartAnalysis());
    for (int i = 0; i < 500 && store.LastTime() < 100.0; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    doc.EndAnalysis();
    EXPECT_EQ(doc.GetRunStatus(), 1);
    EXPECT_TRUE(sink.boxes.empty());
    ASSERT_GT(store.vout.size(), 10u);
    EXPECT_EQ(store.vout.front().first, 0.0);
    for (const auto& s : store.vout) EXPECT_NEAR(s.second, 10.687, 0.06) << "at " << s.first << " us";
}

TEST(AnalEngineLink, StartOfAFrequencyAnalysisSweepsAndPlotsGainAndPhase) {
    fw::RecordingSink sink;
    fw::ScopedReportSink scoped(&sink);
    CDesignDocument host;
    CPwrQuorraDoc& doc = host.Design();
    ASSERT_TRUE(doc.OnNewDocument());
    BuildVoltageLoop(doc);  // the voltage-loop response
    doc.GetAnalysisConfig()->GetStimulusCfg().m_dStopFrequency = 5000.0;  // one point, at the start

    ASSERT_TRUE(doc.PrepareAnalysis());
    ASSERT_TRUE(CheckAnalysisCanRun(doc));
    SampleStore store;
    doc.GetThreadParams().pGraphSink = &store;
    ASSERT_TRUE(doc.StartAnalysis());
    for (int i = 0; i < 1000 && store.LastTime() < 0.0; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    doc.EndAnalysis();
    EXPECT_EQ(doc.GetRunStatus(), 1);
    EXPECT_TRUE(sink.boxes.empty());
    // Quantity 1 (loop gain) and 2 (loop phase) at the one frequency, in dB and degrees.
    ASSERT_EQ(store.vout.size(), 1u);
    ASSERT_EQ(store.ip.size(), 1u);
    EXPECT_EQ(store.vout[0].first, 5000.0);
    EXPECT_LT(store.vout[0].second, -20.0);  // far above the loop's crossover
    EXPECT_GE(store.ip[0].second, -450.0);   // inside the loop-phase window
    EXPECT_LE(store.ip[0].second, -90.0);
}

TEST(AnalEngineLink, DesignTheEngineCannotRunIsRefusedBeforeTheStart) {
    fw::RecordingSink sink;
    fw::ScopedReportSink scoped(&sink);
    CDesignDocument host;
    CPwrQuorraDoc& doc = host.Design();
    ASSERT_TRUE(doc.OnNewDocument());
    BuildFirstConfiguration(doc);
    doc.GetAnalysisConfig()->SetAnalysisKind(CAnalysisConfig::KIND_CURRENT_LOOP);
    ASSERT_TRUE(doc.PrepareAnalysis());
    EXPECT_FALSE(CheckAnalysisCanRun(doc));
    doc.EndAnalysis();
    ASSERT_EQ(sink.boxes.size(), 1u);
    EXPECT_EQ(sink.boxes[0],
              "Problem:  Analysis was not run: the current loop analysis needs peak current\nor average current "
              "control.");
}

}  // namespace
