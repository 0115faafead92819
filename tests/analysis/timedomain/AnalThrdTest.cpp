// The worker through the document's run control: a run that ends, a stop during a run, an
// unknown analysis kind, a design the engine refuses, a failed initialisation, and a start
// that finds the quit already set. Samples reach the graph store through its seam.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <limits>
#include <mutex>
#include <thread>
#include <vector>

#include "analysis/context/AnalContext.h"
#include "analysis/timedomain/AnalThrd.h"
#include "analysis/timedomain/AnalTime.h"
#include "analysis/context/AnalTableIndex.h"
#include "circuit/DocAnalysis.h"
#include "platform/core/ReportSink.h"
#include "records/Utils.h"
#include "support/FirstConfigRecords.h"

namespace {

using test_support::FirstConfigRecords;

// Keeps every sample it is offered; quantity g is shown on graph g.
class RecordingGraphSink : public CGraphSampleSink {
public:
    struct Sample {
        int graph;
        double x, y, weight;
    };
    BOOL GetVariableGraph(int quantity, int& graph) override {
        graph = quantity;
        return TRUE;
    }
    double GetGraphStart(int) override { return 0.0; }
    double GetGraphStop(int) override { return 1e3; }
    BOOL PlotSample(int graph, double x, double y, double weight) override {
        std::lock_guard<std::mutex> lock(m_);
        samples.push_back({graph, x, y, weight});
        return TRUE;
    }
    size_t Count() {
        std::lock_guard<std::mutex> lock(m_);
        return samples.size();
    }
    std::vector<Sample> samples;

private:
    std::mutex m_;
};

// Plots the output voltage as quantity 1 and nothing else.
class OutputVoltageEvaluator : public CTimeSampleEvaluator {
public:
    explicit OutputVoltageEvaluator(AnalysisContext& ctx) : ctx_(ctx) {}
    BOOL IsValid(int quantity) override { return quantity == 1; }
    BOOL Evaluate(int, double& value) override {
        value = ctx_.outputFilter[0].outputVoltage;
        return TRUE;
    }

private:
    AnalysisContext& ctx_;
};

// Tells the waiting test, without a race, that the worker has posted the end of its run.
class DoneSink : public fw::RecordingSink {
public:
    bool PostToMainWindow(uint32_t message, intptr_t wParam, intptr_t lParam) override {
        const bool result = fw::RecordingSink::PostToMainWindow(message, wParam, lParam);
        if (message == WM_ANALYSIS_DONE) done = true;
        return result;
    }
    std::atomic<bool> done{false};
};

class Worker : public ::testing::Test {
protected:
    void SetUp() override {
        ResetFirstMessageFlag();
        rec_.Attach(ctl_.Params());
        ctl_.Params().pGraphSink = &graphs_;
        ctl_.SetWorkerProc([this](AnalysisThreadParams& p) {
            AnalysisThreadProc(p, [this] { initFailedCalls_++; });
        });
        SetTimeSampleEvaluatorFactory([](AnalysisContext& ctx) -> std::unique_ptr<CTimeSampleEvaluator> {
            return std::make_unique<OutputVoltageEvaluator>(ctx);
        });
    }
    void TearDown() override {
        ctl_.End();
        SetTimeSampleEvaluatorFactory(nullptr);
    }

    bool Posted(uint32_t message) {
        for (const auto& p : sink_.posts)
            if (p.message == message) return true;
        return false;
    }
    // Runs until the worker has posted the end of the run (or a few seconds passed).
    bool StartAndWaitForEnd() {
        sink_.done = false;
        if (!ctl_.CreateRunEvents() || !ctl_.Start(1)) return false;
        for (int i = 0; i < 500 && !sink_.done; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        ctl_.End();
        return Posted(WM_ANALYSIS_DONE);
    }

    DoneSink sink_;
    fw::ScopedReportSink scoped_{&sink_};
    FirstConfigRecords rec_;
    RecordingGraphSink graphs_;
    CAnalysisThreadCtl ctl_;
    std::atomic<int> initFailedCalls_{0};
};

TEST_F(Worker, RunEndsPostsDoneAndHandsSamplesToTheGraphStore) {
    rec_.settings.endTime = 50e-6;
    ASSERT_TRUE(StartAndWaitForEnd());
    EXPECT_EQ(ctl_.GetRunStatus(), 1);
    EXPECT_TRUE(sink_.boxes.empty());
    ASSERT_GE(graphs_.samples.size(), 3u);
    // The first sample at time 0, the last at the first time at or past the end, in us.
    EXPECT_EQ(graphs_.samples.front().x, 0.0);
    EXPECT_GE(graphs_.samples.back().x, 50.0);
    EXPECT_LT(graphs_.samples.back().x, 50.0 + 0.1);
    for (const auto& s : graphs_.samples) {
        EXPECT_EQ(s.graph, 1);
        EXPECT_TRUE(std::isfinite(s.y));
    }
    EXPECT_GT(graphs_.samples.back().weight, 0.0);
    // Progress: the start mark, the settling mark, then rising percentages up to the end.
    std::vector<intptr_t> progress;
    for (const auto& p : sink_.posts)
        if (p.message == WM_ANALYSIS_PROGRESS) progress.push_back(p.wParam);
    ASSERT_GE(progress.size(), 4u);
    EXPECT_EQ(progress[0], 1000);
    EXPECT_EQ(progress[1], 998);
    // The end posts its percentage whatever the loop posted last, so it may repeat it.
    for (size_t i = 3; i + 1 < progress.size(); ++i) EXPECT_GT(progress[i], progress[i - 1]);
    EXPECT_EQ(progress.back(), 100);
}

TEST_F(Worker, StopDuringARunEndsItWithinASecondWithoutDone) {
    rec_.settings.endTime = 10.0;  // far longer than the test
    ASSERT_TRUE(ctl_.CreateRunEvents());
    ASSERT_TRUE(ctl_.Start(1));
    for (int i = 0; i < 300 && graphs_.Count() < 100; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    const auto before = std::chrono::steady_clock::now();
    ctl_.Stop();
    const double took = std::chrono::duration<double>(std::chrono::steady_clock::now() - before).count();
    EXPECT_LT(took, 1.0);
    EXPECT_FALSE(Posted(WM_ANALYSIS_DONE));
    EXPECT_EQ(ctl_.GetRunStatus(), 2);
}

TEST_F(Worker, UnknownKindIsReportedAsAFinishedRun) {
    rec_.settings.analysisKind = 6;
    ASSERT_TRUE(StartAndWaitForEnd());
    ASSERT_EQ(sink_.boxes.size(), 1u);
    EXPECT_EQ(sink_.boxes[0], "Problem:  Analysis cannot begin due to unknown domain type");
    EXPECT_EQ(ctl_.GetRunStatus(), 1);
    EXPECT_TRUE(graphs_.samples.empty());
}

TEST_F(Worker, DesignsTheEngineCannotRunAreRefusedNotRun) {
    struct Case {
        const char* name;
        void (*change)(FirstConfigRecords&);
        const char* message;
    };
    const Case cases[] = {
        {"voltage loop gain", [](FirstConfigRecords& r) { r.settings.analysisKind = 2; },
         "this analysis type cannot be simulated yet"},
        {"steady state on a line whose one period holds more than 20000 switching periods",
         [](FirstConfigRecords& r) {
             r.settings.analysisKind = 1;
             r.line.lineMagnitude = 10.0;
             r.line.lineFrequency = 4.0;
         },
         "do not come back to their start together"},
        {"single switch", [](FirstConfigRecords& r) { r.primary.topology = 3; }, "the primary section"},
        {"passive clamp sensed by a current transformer", [](FirstConfigRecords& r) { r.primary.topology = 8; },
         "the primary section"},
        {"passive clamp without its resistor",
         [](FirstConfigRecords& r) {
             r.primary.topology = 9;
             r.primary.clampCapacitance = 1e-6;
             r.primary.clampResistance = 0.0;
         },
         "the primary section"},
        {"unknown line filter", [](FirstConfigRecords& r) { r.settings.lineFilterVariant = 10; }, "line filter"},
        {"unknown input capacitor", [](FirstConfigRecords& r) { r.settings.inputCapacitorVariant = 4; }, "line source"},
        {"doubler on one capacitor", [](FirstConfigRecords& r) { r.settings.lineRectifierVariant = 5; },
         "line source"},
        {"bridge on three phases", [](FirstConfigRecords& r) { r.settings.lineRectifierVariant = 4;
                                                               r.settings.linePhaseCount = 3; }, "line source"},
        {"transistor rectifier without its on resistance",
         [](FirstConfigRecords& r) { r.rectifier.frequencyAnalysisFlagA = 1; }, "a transistor rectifier of output 1"},
        {"unknown second stage", [](FirstConfigRecords& r) { r.filter.sectionQuantityFlagB = 7; },
         "output 1"},
        {"modulator feedback with a negative lag",
         [](FirstConfigRecords& r) {
             r.rectifier.dutyWeight = 0.5;
             r.filter.engineSetupParamA = -1e-6;
         },
         "modulator term of the voltage feedback network for output 1"},
        {"AC reference without its frequency",
         [](FirstConfigRecords& r) {
             r.control.veaReferenceAcOn = 1;
             r.control.veaReferenceAmplitude = 0.1;
             r.control.veaReferenceFrequency = NOT_SET;
         },
         "Voltage Source VRef, UE or UI that varies"},
        {"error injection without its DC value",
         [](FirstConfigRecords& r) {
             r.control.errorInjectionOn = 1;
             r.control.errorInjectionAmplitude = 0.1;
             r.control.errorInjectionFrequency = 100.0;
         },
         "Voltage Source VRef, UE or UI that varies"},
        {"soft start discharge without its threshold",
         [](FirstConfigRecords& r) { r.control.softStartResetEnabled = r.control.softStartResetArmed = 1; },
         "soft start discharge needs its threshold"},
        {"hysteretic mode sensing the primary", [](FirstConfigRecords& r) { r.control.controlMode = 3; },
         "or the output capacitors as its Feedback Current Source VIS, not the primary switch"},
        {"hysteretic mode sensing a capacitor whose filter does not sense its current",
         [](FirstConfigRecords& r) {
             r.control.controlMode = 3;
             r.control.senseSource = 2;
             r.choke.senseWeight = 1.0;
         },
         "cannot be simulated yet"},
        {"hysteretic mode without its logic level",
         [](FirstConfigRecords& r) {
             r.control.controlMode = 3;
             r.control.senseSource = 1;
         },
         "hysteretic current control needs a positive value"},
        {"hysteretic mode sensing the capacitors in a current-loop sweep",
         [](FirstConfigRecords& r) {
             r.control.controlMode = 3;
             r.control.senseSource = 2;
             r.control.referenceValue = 5.0;
             r.settings.analysisKind = 3;
         },
         "cannot measure hysteretic current control\nsensing the output capacitors"},
        {"peak current without its ramp", [](FirstConfigRecords& r) { r.control.controlMode = 0; },
         "the current ramp needs a positive value"},
        {"opto-isolator without its parts", [](FirstConfigRecords& r) { r.control.optoVariant = 0; },
         "the opto-isolator needs a positive value"},
        {"error amplifier network without its input branch", [](FirstConfigRecords& r) { r.control.veaVariant = 4; },
         "the voltage error amplifier needs a positive value"},
        {"choke coupling of 1", [](FirstConfigRecords& r) { r.settings.coupledOutputChokes = 1;
                                                            r.settings.outputChokeCoupling[0] = 1.0; },
         "output choke coupling coefficient"},
        {"no largest step", [](FirstConfigRecords& r) { r.settings.initialTimeStep = NOT_SET; }, "incomplete"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FirstConfigRecords fresh;
        rec_ = fresh;
        c.change(rec_);
        sink_.Clear();
        graphs_.samples.clear();
        ResetFirstMessageFlag();
        ASSERT_TRUE(StartAndWaitForEnd());
        ASSERT_EQ(sink_.boxes.size(), 1u);
        EXPECT_NE(sink_.boxes[0].find(c.message), std::string::npos) << sink_.boxes[0];
        EXPECT_EQ(ctl_.GetRunStatus(), 2);
        EXPECT_TRUE(graphs_.samples.empty());
    }
}

// Every start is a new run with its own first box: a refusal after a run that already showed
// its first problem is shown, and so is the same refusal again at the next start.
TEST_F(Worker, EachRefusedStartShowsItsBox) {
    rec_.primary.topology = 3;  // a primary the engine refuses
    ReportMessageFirstBox(52180);  // a problem of an earlier run took that run's box
    sink_.Clear();
    for (int start = 0; start < 2; ++start) {
        SCOPED_TRACE(start);
        ASSERT_TRUE(StartAndWaitForEnd());
        ASSERT_EQ(sink_.boxes.size(), size_t(start + 1));
        EXPECT_NE(sink_.boxes.back().find("the primary section"), std::string::npos) << sink_.boxes.back();
        EXPECT_EQ(ctl_.GetRunStatus(), 2);
    }
}

// A saturating load inductor runs to its end, with no problem shown.
TEST_F(Worker, SaturatingLoadInductorRuns) {
    TimeMagnitudeTable saturation;
    saturation.Clear();
    saturation.Insert(0.0, 1e-4);
    saturation.Insert(5.0, 5e-5);
    rec_.load.sectionQuantityFlagA = 1;  // the resistor with the inductor in series
    rec_.load.inductorOn = 1;
    rec_.load.inductorResistance = 0.01;
    rec_.settings.endTime = 50e-6;
    ctl_.Params().pTable[OutputTableIndex(1, kLoadInductor2Table)] = &saturation;
    ASSERT_TRUE(StartAndWaitForEnd());
    EXPECT_TRUE(sink_.boxes.empty()) << sink_.boxes[0];
    EXPECT_EQ(ctl_.GetRunStatus(), 1);
    EXPECT_FALSE(graphs_.samples.empty());
}

TEST_F(Worker, FailedInitialValuesAreToldToTheDocument) {
    rec_.primary.magnetizingInductanceNominal = std::numeric_limits<double>::quiet_NaN();
    ASSERT_TRUE(StartAndWaitForEnd());
    EXPECT_EQ(ctl_.GetRunStatus(), 2);
    EXPECT_EQ(initFailedCalls_.load(), 1);
}

// The procedure itself: a start signal that finds the quit already set runs no driver, sets
// the finished event and posts nothing.
TEST(WorkerProc, QuitBeforeStartRunsNothing) {
    fw::RecordingSink sink;
    fw::ScopedReportSink scoped(&sink);
    FirstConfigRecords rec;
    AnalysisThreadParams block;
    rec.Attach(block);
    fw::Event start(false), busy(true, true), quit(true), finished(false);
    block.hStartEvent = &start;
    block.hBusyEvent = &busy;
    block.hQuitEvent = &quit;
    block.hFinishedEvent = &finished;
    block.hNotifyWnd = 1;
    quit.Set();
    start.Set();
    std::thread worker([&] { AnalysisThreadProc(block); });
    worker.join();
    EXPECT_TRUE(finished.IsSet());
    EXPECT_TRUE(busy.IsSet());
    EXPECT_TRUE(sink.posts.empty());
    EXPECT_EQ(GetAnalysisContext(), nullptr);
}

}  // namespace
