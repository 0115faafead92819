#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cfenv>
#include <cmath>
#include <numbers>
#include <thread>

#include "graphs/GraphTestSupport.h"
#include "resources/StringTable.h"

using test_support::CountOf;
using test_support::Sample;

namespace {

constexpr double kPi = std::numbers::pi;

class GraphMgrTest : public test_support::GraphStoreTest {};

// The samples were offered in increasing x.
bool IsOffered(const std::vector<Sample>& offered, const Sample& p) {
    auto it = std::lower_bound(offered.begin(), offered.end(), p.x, [](const Sample& s, double x) { return s.x < x; });
    return it != offered.end() && it->x == p.x && it->y == p.y;
}

// ---------------------------------------------------------------------------------------
// The accept window and the first sample

TEST_F(GraphMgrTest, AcceptWindowTakesItsEdgesAndRefusesBeyondThemSilently) {
    struct Case {
        double x;
        bool taken;
    };
    const Case cases[] = {
        {0.0 - 1e-5, true},  {-1.1e-5, false}, {-1.0, false},        {0.0, true},
        {100.0, true},       {100.0 + 1e-5, true}, {100.0 + 1.1e-5, false}, {1e9, false},
        {std::nan(""), false},
    };
    for (const Case& c : cases) {
        StartRun(1, 0.0, 100.0);
        EXPECT_EQ(mgr_->PlotSample(1, c.x, 1.0, 1e-6), c.taken ? TRUE : FALSE) << c.x;
        EXPECT_EQ(mgr_->GetLastIndex(1), c.taken ? 0 : -1) << c.x;
    }
    EXPECT_TRUE(sink_.boxes.empty());
}

TEST_F(GraphMgrTest, FirstSampleIsStoredAsItIsInEveryMode) {
    for (int mode : {CUSData::SAMPLING_NONE, CUSData::SAMPLING_AVERAGE, CUSData::SAMPLING_PEAK}) {
        StartRun(1, 0.0, 100.0, mode);
        EXPECT_TRUE(mgr_->PlotSample(1, 3.25, -7.5, 1e-6));
        ASSERT_EQ(mgr_->GetLastIndex(1), 0) << mode;
        double x = 0, y = 0;
        ASSERT_TRUE(mgr_->GetPoint(1, 0, x, y));
        EXPECT_EQ(x, 3.25);
        EXPECT_EQ(y, -7.5);
        EXPECT_FALSE(mgr_->GetPoint(1, 1, x, y));
    }
}

TEST_F(GraphMgrTest, RefusedGraphNumbersAndUnattachedGraphs) {
    StartRun(1, 0.0, 100.0);
    EXPECT_FALSE(mgr_->PlotSample(0, 1.0, 1.0, 0.0));
    EXPECT_FALSE(mgr_->PlotSample(5, 1.0, 1.0, 0.0));
    // Graph 2 is not on the page: its range was never given.
    EXPECT_FALSE(mgr_->PlotSample(2, -1.0, 1.0, 0.0));
    EXPECT_EQ(mgr_->GetLastIndex(2), -1);
}

// ---------------------------------------------------------------------------------------
// The samplers over synthetic waves. The graph spans 0..6400 us: a sample step of 0.1 us.

constexpr double kStop = 6400.0;
constexpr double kStep = kStop / 64000.0;

double Sine(double x) { return std::sin(2.0 * kPi * x / 100.0); }          // period 100 us
double Square(double x) { return std::fmod(x, 100.0) < 50.0 ? 1.0 : -1.0; }  // period 100 us
double Constant(double) { return 2.5; }

TEST_F(GraphMgrTest, NoSamplingStoresEveryAcceptedSample) {
    StartRun(1, 0.0, kStop, CUSData::SAMPLING_NONE);
    auto offered = Feed(1, 0.0, 1000.0, 0.5, Sine);
    auto points = Points(1);
    ASSERT_EQ(points.size(), offered.size());
    for (size_t i = 0; i < points.size(); ++i) {
        EXPECT_EQ(points[i].x, offered[i].x);
        EXPECT_EQ(points[i].y, offered[i].y);
    }
}

TEST_F(GraphMgrTest, SamplingAppliesToTimeDomainRunsOnly) {
    StartRun(1, 0.0, kStop, CUSData::SAMPLING_PEAK, CAnalysisConfig::KIND_VOLTAGE_LOOP);
    auto offered = Feed(1, 0.0, 100.0, 0.01, Sine);
    EXPECT_EQ(Points(1).size(), offered.size());
}

struct WaveCase {
    const char* name;
    double (*f)(double);
};
const WaveCase kWaves[] = {{"sine", Sine}, {"square", Square}};

TEST_F(GraphMgrTest, PeakSamplingKeepsEachWindowsExtremesInOrder) {
    for (const WaveCase& w : kWaves) {
        SCOPED_TRACE(w.name);
        StartRun(1, 0.0, kStop, CUSData::SAMPLING_PEAK);
        // 40 samples a window of two sample steps.
        auto offered = Feed(1, 0.0, 2000.0, kStep / 20.0, w.f);
        auto points = Points(1);
        ASSERT_GT(points.size(), 1u);
        // At most two points a window, and far fewer than offered.
        EXPECT_LE(points.size(), 2 * size_t(2000.0 / (2 * kStep)) + 1);
        EXPECT_LT(points.size() * 10, offered.size());
        double lo = 1e9, hi = -1e9;
        for (size_t i = 0; i < points.size(); ++i) {
            EXPECT_TRUE(IsOffered(offered, points[i])) << i;
            if (i > 0) {
                EXPECT_LT(points[i - 1].x, points[i].x) << i;
            }
            lo = std::min(lo, points[i].y);
            hi = std::max(hi, points[i].y);
        }
        // The wave's peaks survive.
        EXPECT_NEAR(hi, 1.0, 1e-6);
        EXPECT_NEAR(lo, -1.0, 1e-6);
        // Every stored x lies within two sample steps of the one before it (plus the last
        // sample's spacing): no window is skipped.
        for (size_t i = 1; i < points.size(); ++i) EXPECT_LE(points[i].x - points[i - 1].x, 4 * kStep + 1e-9) << i;
    }
}

TEST_F(GraphMgrTest, PeakSamplingOfAConstantStoresOnePointAWindow) {
    StartRun(1, 0.0, kStop, CUSData::SAMPLING_PEAK);
    Feed(1, 0.0, 100.0, kStep / 10.0, Constant);
    auto points = Points(1);
    // Minimum and maximum at the same x give one point, never two at one x. A window ends
    // two steps after the last stored x, which is where the window before it began, so
    // long and empty windows take turns: between 500 and 1000 windows in 100 us.
    EXPECT_GE(points.size(), 500u);
    EXPECT_LE(points.size(), 1000u);
    for (size_t i = 1; i < points.size(); ++i) {
        EXPECT_EQ(points[i].y, 2.5);
        EXPECT_GT(points[i].x, points[i - 1].x) << i;
    }
}

TEST_F(GraphMgrTest, AverageSamplingOfAStraightLineStoresAPointEveryTwentyStepsOfTime) {
    // Range 0..64000 us: a sample step of 1 us; samples every 0.5 us on y = 2x. An interval
    // is due once its weights exceed 20 steps (41 samples); the stored points lie at least
    // two steps apart, so the sample before the one that closed it is stored as it came.
    StartRun(1, 0.0, 64000.0, CUSData::SAMPLING_AVERAGE);
    Feed(1, 0.0, 200.0, 0.5, [](double x) { return 2.0 * x; });
    auto points = Points(1);
    const double expected[] = {0.0, 20.0, 40.5, 61.0, 81.5, 102.0, 122.5, 143.0, 163.5, 184.0};
    ASSERT_EQ(points.size(), std::size(expected));
    for (size_t i = 0; i < points.size(); ++i) {
        EXPECT_DOUBLE_EQ(points[i].x, expected[i]) << i;
        EXPECT_DOUBLE_EQ(points[i].y, 2.0 * expected[i]) << i;
    }
}

TEST_F(GraphMgrTest, AverageSamplingStoresAKinkAtOnce) {
    // Flat until 10 us, then rising at 45 degrees: the corner itself is stored.
    StartRun(1, 0.0, 64000.0, CUSData::SAMPLING_AVERAGE);
    Feed(1, 0.0, 12.0, 0.5, [](double x) { return x <= 10.0 ? 0.0 : x - 10.0; });
    auto points = Points(1);
    ASSERT_EQ(points.size(), 2u);
    EXPECT_EQ(points[1].x, 10.0);
    EXPECT_EQ(points[1].y, 0.0);
}

TEST_F(GraphMgrTest, AverageSamplingOfDensePointsStoresTheWeightedMeanAtTheMiddle) {
    // A sample step of 100 us; flat until 50 us, then rising at 1/us, sampled every 0.5 us.
    // Past the kink every sample is due, but the one stored point lies closer than two steps
    // on average, so nothing is stored until a whole step has passed since the interval
    // began (x = 100). Then the mean over [0, 100] goes to the middle of the averaged time:
    // integral of y = 50^2 / 2 = 1250 us over 100 us gives 12.5, placed at 100 - 50 = 50.
    StartRun(1, 0.0, 6400000.0, CUSData::SAMPLING_AVERAGE);
    Feed(1, 0.0, 99.5, 0.5, [](double x) { return x <= 50.0 ? 0.0 : x - 50.0; });
    EXPECT_EQ(mgr_->GetLastIndex(1), 0);
    mgr_->PlotSample(1, 100.0, 50.0, 0.5e-6);
    auto points = Points(1);
    ASSERT_EQ(points.size(), 2u);
    EXPECT_NEAR(points[1].x, 50.0, 1e-9);
    EXPECT_NEAR(points[1].y, 12.5, 1e-9);
}

TEST_F(GraphMgrTest, AverageSamplingOfFastWavesThinsTheCurveWithinItsRange) {
    for (const WaveCase& w : kWaves) {
        SCOPED_TRACE(w.name);
        StartRun(1, 0.0, kStop, CUSData::SAMPLING_AVERAGE);
        auto offered = Feed(1, 0.0, 2000.0, kStep / 20.0, w.f);
        auto points = Points(1);
        ASSERT_GT(points.size(), 10u);
        // The averaged curve keeps no more than about one point a step.
        EXPECT_LT(points.size(), size_t(2000.0 / kStep) + 10);
        for (size_t i = 0; i < points.size(); ++i) {
            EXPECT_TRUE(std::isfinite(points[i].x) && std::isfinite(points[i].y)) << i;
            EXPECT_GE(points[i].y, -1.0 - 1e-9) << i;
            EXPECT_LE(points[i].y, 1.0 + 1e-9) << i;
            EXPECT_GE(points[i].x, 0.0) << i;
            EXPECT_LE(points[i].x, 2000.0) << i;
        }
    }
}

TEST_F(GraphMgrTest, AverageSamplingWithoutWeightsStoresNoUndefinedValue) {
    StartRun(1, 0.0, 64000.0, CUSData::SAMPLING_AVERAGE);
    std::feclearexcept(FE_ALL_EXCEPT);
    // The same x twice (no time passed), then a run that passes no time step as weight.
    for (double x : {0.0, 0.0, 0.0, 5.0, 5.0, 10.0, 64000.0})
        EXPECT_TRUE(mgr_->PlotSample(1, x, x == 5.0 ? 1.0 : 0.0, 0.0)) << x;
    EXPECT_FALSE(std::fetestexcept(FE_DIVBYZERO | FE_INVALID));
    for (const Sample& p : Points(1)) EXPECT_TRUE(std::isfinite(p.x) && std::isfinite(p.y));
}

// ---------------------------------------------------------------------------------------
// Full stores

void FillNone(CGraphMgr& mgr, int graph, int count) {
    for (int i = 0; i < count; ++i) mgr.PlotSample(graph, double(i) * 1e-3, 1.0, 0.0);
}

TEST_F(GraphMgrTest, AFullGraphStopsAloneUntilTheLastOneHaltsTheRun) {
    StartRun(2, 0.0, 100.0);
    FillNone(*mgr_, 2, kGraphStorePoints);
    EXPECT_EQ(mgr_->GetLastIndex(2), kGraphStorePoints - 1);
    EXPECT_FALSE(mgr_->IsGraphFull(2));
    EXPECT_TRUE(sink_.boxes.empty());

    // The next sample finds no place: refused, told once.
    EXPECT_FALSE(mgr_->PlotSample(2, 50.0, 1.0, 0.0));
    EXPECT_FALSE(mgr_->PlotSample(2, 51.0, 1.0, 0.0));
    EXPECT_TRUE(mgr_->IsGraphFull(2));
    ASSERT_EQ(sink_.boxes.size(), 1u);
    EXPECT_NE(sink_.boxes[0].find("on the second graph"), std::string::npos);
    EXPECT_TRUE(sink_.posts.empty());

    // Graph 1 goes on.
    EXPECT_TRUE(mgr_->PlotSample(1, 1.0, 1.0, 0.0));
    FillNone(*mgr_, 1, kGraphStorePoints);
    EXPECT_FALSE(mgr_->PlotSample(1, 99.0, 1.0, 0.0));
    // The last graph says 53011 instead of its own message and asks the frame to stop.
    ASSERT_EQ(sink_.boxes.size(), 2u);
    EXPECT_EQ(sink_.boxes[1], res::FindString(53011));
    ASSERT_EQ(sink_.posts.size(), 1u);
    EXPECT_EQ(sink_.posts[0].message, 0x8003u);
    EXPECT_TRUE(mgr_->IsHalted());

    // A new page takes samples again.
    StartRun(2, 0.0, 100.0);
    EXPECT_FALSE(mgr_->IsHalted());
    EXPECT_TRUE(mgr_->PlotSample(1, 1.0, 1.0, 0.0));
}

// A graph whose x range a time-domain run has passed takes no sample any more: once a graph has
// filled, the run stops when the others are full or passed, instead of running on for nothing.
TEST_F(GraphMgrTest, GraphsPassedByTheRunCountAsFullOnceOneHasFilled) {
    StartRun(3, 0.0, 100.0);
    FillNone(*mgr_, 1, kGraphStorePoints + 1);
    ASSERT_TRUE(mgr_->IsGraphFull(1));
    ASSERT_EQ(sink_.boxes.size(), 1u);  // 53012
    EXPECT_FALSE(mgr_->PlotSample(2, 100.5, 1.0, 1e-6));
    EXPECT_FALSE(mgr_->IsHalted());
    EXPECT_TRUE(mgr_->PlotSample(3, 99.0, 1.0, 1e-6));
    EXPECT_FALSE(mgr_->PlotSample(3, 101.0, 1.0, 1e-6));
    EXPECT_TRUE(mgr_->IsHalted());
    ASSERT_EQ(sink_.boxes.size(), 2u);
    EXPECT_EQ(sink_.boxes[1], res::FindString(53011));
    ASSERT_EQ(sink_.posts.size(), 1u);
    EXPECT_EQ(sink_.posts[0].message, 0x8003u);

    // Passed graphs alone never stop a run (it may go on for the parts' ratings), nor does a
    // frequency sweep beyond a graph's range; the graph that fills last then halts it.
    for (int kind : {int(CAnalysisConfig::KIND_STEADY_STATE), int(CAnalysisConfig::KIND_VOLTAGE_LOOP)}) {
        SCOPED_TRACE(kind);
        sink_.Clear();
        StartRun(2, 0.0, 100.0, CUSData::SAMPLING_NONE, kind);
        EXPECT_FALSE(mgr_->PlotSample(1, 150.0, 1.0, 1e-6));
        EXPECT_FALSE(mgr_->PlotSample(2, 150.0, 1.0, 1e-6));
        EXPECT_FALSE(mgr_->IsHalted());
        EXPECT_TRUE(sink_.posts.empty());
        FillNone(*mgr_, 2, kGraphStorePoints + 1);
        EXPECT_EQ(mgr_->IsHalted() != FALSE, kind == CAnalysisConfig::KIND_STEADY_STATE);
    }
}

TEST_F(GraphMgrTest, AfterTheHaltNoGraphTakesSamples) {
    // One graph on the page, a second attached beyond it: the page's only graph fills.
    StartRun(1, 0.0, 100.0);
    const WORD ids[kGraphItemIds] = {};
    mgr_->AttachGraph(2, 0, ids, 0.0, 100.0);
    FillNone(*mgr_, 1, kGraphStorePoints + 1);
    EXPECT_TRUE(mgr_->IsHalted());
    EXPECT_FALSE(mgr_->PlotSample(2, 1.0, 1.0, 0.0));
    EXPECT_EQ(mgr_->GetLastIndex(2), -1);
}

TEST_F(GraphMgrTest, TwoPointsWithOnePlaceLeftKeepTheFirstAndStayInTheStore) {
    // Past the end threshold every averaged sample hands over two points: its output point
    // and the sample itself. With the first point at 0, 32,000 such samples reach index
    // 64,000, one past the store.
    StartRun(2, 0.0, 1.0, CUSData::SAMPLING_AVERAGE);
    EXPECT_TRUE(mgr_->PlotSample(1, 0.0, 7.0, 1e-16));
    double x = 0.0;
    for (int k = 1; k <= 32000; ++k) {
        x = (1.0 - 1e-9) + double(k) * 1e-10;
        EXPECT_TRUE(mgr_->PlotSample(1, x, 7.0, 1e-16)) << k;
        if (k < 32000) {
            ASSERT_EQ(mgr_->GetLastIndex(1), 2 * k) << k;
        }
    }
    EXPECT_EQ(mgr_->GetLastIndex(1), kGraphStorePoints - 1);
    EXPECT_TRUE(mgr_->IsGraphFull(1));
    double lastX = 0, lastY = 0;
    ASSERT_TRUE(mgr_->GetPoint(1, kGraphStorePoints - 1, lastX, lastY));
    EXPECT_LT(lastX, x);  // the output point, not the sample
    EXPECT_DOUBLE_EQ(lastY, 7.0);
    ASSERT_EQ(sink_.boxes.size(), 1u);
    EXPECT_NE(sink_.boxes[0].find("on the first graph"), std::string::npos);
    EXPECT_FALSE(mgr_->IsHalted());
}

// ---------------------------------------------------------------------------------------
// Ranges that cannot be sampled

TEST_F(GraphMgrTest, AGraphWithoutAUsableRangeIsRefusedWithAMessage) {
    struct Case {
        double start, stop;
    };
    const Case cases[] = {{5.0, 5.0}, {10.0, 2.0}, {0.0, std::nan("")}};
    for (const Case& c : cases) {
        sink_.Clear();
        mgr_->Reset(2);
        const WORD ids[kGraphItemIds] = {};
        mgr_->AttachGraph(1, 0, ids, 0.0, 100.0);
        mgr_->AttachGraph(2, 0, ids, c.start, c.stop);
        Choose(CUSData::SAMPLING_AVERAGE, CAnalysisConfig::KIND_STEADY_STATE);
        mgr_->SetRunning(TRUE);
        ASSERT_EQ(sink_.boxes.size(), 1u) << c.start << " " << c.stop;
        EXPECT_NE(sink_.boxes[0].find("graph 2"), std::string::npos);
        EXPECT_FALSE(mgr_->PlotSample(2, c.start, 1.0, 1e-6));
        EXPECT_EQ(mgr_->GetLastIndex(2), -1);
        EXPECT_TRUE(mgr_->PlotSample(1, 1.0, 1.0, 1e-6));
    }
}

// ---------------------------------------------------------------------------------------
// Selectors, numbering and queries

TEST_F(GraphMgrTest, SelectorsAnswerTheNumberingAndLogBadNumbers) {
    StartRun(2, 1.0, 9.0);
    mgr_->SetQuantityGraph(1, 2);
    mgr_->SetQuantityGraph(3, 1);
    int graph = -7;
    EXPECT_TRUE(mgr_->GetVariableGraph(1, graph));
    EXPECT_EQ(graph, 2);
    EXPECT_FALSE(mgr_->GetVariableGraph(2, graph));
    EXPECT_EQ(graph, 0);
    EXPECT_EQ(mgr_->GetVariable3Graph(), 1);
    graph = -7;
    EXPECT_FALSE(mgr_->GetVariableGraph(7, graph));
    EXPECT_EQ(graph, -7);
    EXPECT_DOUBLE_EQ(mgr_->GetGraphStart(2), 1.0);
    EXPECT_DOUBLE_EQ(mgr_->GetGraphStop(2), 9.0);
    EXPECT_DOUBLE_EQ(mgr_->GetGraphStart(3), -1.0);
    EXPECT_EQ(mgr_->GetGraphStart(0), 0.0);
    EXPECT_EQ(mgr_->GetGraphStop(5), 0.0);
    const std::string log = Log();
    EXPECT_EQ(CountOf(log, "GraphMgr:  CODE 2000"), 1);
    EXPECT_EQ(CountOf(log, "GraphMgr:  CODE 2001"), 1);
    EXPECT_EQ(CountOf(log, "GraphMgr:  CODE 2002"), 1);
}

TEST_F(GraphMgrTest, ResetEmptiesTheStoresAndForgetsThePage) {
    StartRun(2, 0.0, 100.0);
    mgr_->SetGraphSource(3, 1);
    mgr_->SetGraphQuantity(5, 2);
    mgr_->SetChoiceQuantity(4, 1);
    mgr_->SetCursorState(1, CGraphMgr::CURSOR_GREEN, TRUE);
    mgr_->PlotSample(1, 1.0, 1.0, 0.0);
    EXPECT_TRUE(mgr_->HasGraphData());
    EXPECT_FALSE(mgr_->GraphHasPoints(1));
    mgr_->PlotSample(1, 2.0, 1.0, 0.0);
    EXPECT_TRUE(mgr_->GraphHasPoints(1));
    EXPECT_FALSE(mgr_->GraphHasPoints(5));

    mgr_->Reset(0);
    EXPECT_FALSE(mgr_->HasGraphData());
    EXPECT_FALSE(mgr_->IsAnalysisRunning());
    EXPECT_EQ(mgr_->GetGraphCount(), 0);
    EXPECT_EQ(mgr_->GetGraphSetting(1), 0);
    EXPECT_EQ(mgr_->GetFreqQuantity(2), 0);
    EXPECT_EQ(mgr_->GetChoiceQuantity(1), 0);
    EXPECT_FALSE(mgr_->GetCursorState(1, CGraphMgr::CURSOR_GREEN));
    EXPECT_FALSE(mgr_->IsGraphAttached(1));
    // The last stored point outlives the reset.
    double x = 0, y = 0;
    ASSERT_TRUE(mgr_->GetLastStoredPoint(1, x, y));
    EXPECT_EQ(x, 2.0);
}

TEST_F(GraphMgrTest, AttachGraphKeepsTheChartItemsAndRange) {
    mgr_->Reset(1);
    const WORD ids[kGraphItemIds] = {1, 2, 3, 4, 5, 6, 7, 8, 9};
    mgr_->AttachGraph(1, 4242, ids, 0.0, 10.0);
    mgr_->AttachGraph(5, 1, ids, 0.0, 10.0);  // nothing happens
    EXPECT_EQ(mgr_->GetChartHandle(1), 4242);
    EXPECT_EQ(mgr_->GetItemId(1, CGraphMgr::ITEM_X_AXIS), 1);
    EXPECT_EQ(mgr_->GetItemId(1, CGraphMgr::ITEM_DIFF_TEXT), 9);
    EXPECT_EQ(mgr_->GetItemId(1, kGraphItemIds), 0);
    EXPECT_TRUE(mgr_->IsGraphRangeValid(1));
}

TEST_F(GraphMgrTest, GainGraphsByKindAndQuantity) {
    struct Case {
        int kind, quantity;
        bool gain;
    };
    const Case cases[] = {
        {CAnalysisConfig::KIND_VOLTAGE_LOOP, 1, true},  {CAnalysisConfig::KIND_VOLTAGE_LOOP, 2, false},
        {CAnalysisConfig::KIND_CURRENT_LOOP, 3, true},  {CAnalysisConfig::KIND_INPUT_TO_OUTPUT, 5, true},
        {CAnalysisConfig::KIND_INPUT_TO_OUTPUT, 6, false}, {CAnalysisConfig::KIND_AMPLIFIER, 1, true},
        {CAnalysisConfig::KIND_AMPLIFIER, 3, false},    {CAnalysisConfig::KIND_STEADY_STATE, 1, false},
    };
    for (const Case& c : cases) {
        doc_->GetAnalysisConfig()->SetAnalysisKind(c.kind);
        mgr_->Reset(1);
        mgr_->SetGraphQuantity(c.quantity, 1);
        EXPECT_EQ(mgr_->IsGainGraph(1), c.gain ? TRUE : FALSE) << c.kind << " " << c.quantity;
        EXPECT_EQ(mgr_->IsFrequencyRun(), c.kind >= 2 ? TRUE : FALSE);
    }
}

TEST_F(GraphMgrTest, ARunsSamplingIsTakenWhenItsPageIsRebuilt) {
    // The document rebuilds the page before the worker starts; the frame's SetRunning may
    // come later, yet the first samples already meet the design's sampling.
    mgr_->Reset(1);
    int rebuilt = 0;
    mgr_->SetPageRebuilder([&] {
        ++rebuilt;
        const WORD ids[kGraphItemIds] = {};
        mgr_->AttachGraph(1, 0, ids, 0.0, kStop);
    });
    Choose(CUSData::SAMPLING_PEAK, CAnalysisConfig::KIND_TURN_ON);
    mgr_->RebuildPage();
    EXPECT_EQ(rebuilt, 1);
    auto offered = Feed(1, 0.0, 100.0, kStep / 10.0, Sine);
    EXPECT_LT(Points(1).size() * 4, offered.size());
    mgr_->SetPageRebuilder(nullptr);
}

TEST_F(GraphMgrTest, RunningFlagFollowsTheFrame) {
    StartRun(1, 0.0, 10.0);
    EXPECT_TRUE(mgr_->IsAnalysisRunning());
    mgr_->SetRunning(FALSE);
    EXPECT_FALSE(mgr_->IsAnalysisRunning());
    EXPECT_FALSE(mgr_->IsBlownUp());
    mgr_->SetShowAll(FALSE);
    EXPECT_TRUE(mgr_->IsBlownUp());
}

TEST(GraphMgrGlobal, TheOneManagerIsTheCurrentOne) {
    CGraphMgr& mgr = GraphMgr();
    EXPECT_EQ(&mgr, &GraphMgr());
    EXPECT_EQ(GetCurrentGraphMgr(), static_cast<CGraphMgrServices*>(&mgr));
}

// ---------------------------------------------------------------------------------------
// One worker writes while the user-interface side reads what is published.

TEST_F(GraphMgrTest, AReaderSeesOnlyWhollyWrittenPoints) {
    StartRun(1, 0.0, double(kGraphStorePoints));
    std::atomic<bool> done{false};
    std::thread writer([&] {
        for (int i = 0; i < kGraphStorePoints; ++i) mgr_->PlotSample(1, double(i), 3.0 * double(i) + 1.0, 1e-6);
        done = true;
    });
    long checked = 0;
    int seen = -1;
    while (!done.load() || seen < mgr_->GetLastIndex(1)) {
        const int last = mgr_->GetLastIndex(1);
        ASSERT_GE(last, seen);
        const double* xs = mgr_->GetXData(1);
        const double* ys = mgr_->GetYData(1);
        for (int i = seen + 1; i <= last; ++i) {
            ASSERT_EQ(xs[i], double(i));
            ASSERT_EQ(ys[i], 3.0 * double(i) + 1.0);
            ++checked;
        }
        seen = last;
    }
    writer.join();
    EXPECT_EQ(checked, kGraphStorePoints);
}

}  // namespace
