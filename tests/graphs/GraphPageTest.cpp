// The graph page without a window: chart places by graph count, the lazy
// build, cursors and read-outs under the mouse and the keys, the rubber band
// zoom, Restore, Rescale, Blow Up, and Print and Copy through the fakes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "graphs/GraphPage.h"
#include "platform/ui/Fakes.h"
#include "support/ReportCapture.h"

using chart::DataPoint;

namespace {

class FakePageData : public CGraphPageData {
public:
    int count = 2;
    chart::ChartSettings settings[4];
    chart::VectorPoints points[4];
    bool running = false;
    std::vector<bool> blownUp;

    FakePageData() {
        for (int g = 0; g < 4; ++g) {
            settings[g].title = "Graph " + std::to_string(g + 1);
            settings[g].xLabel = "Microseconds";
            settings[g].yLabel = "Volts";
            settings[g].xMin = 0.0;
            settings[g].xMax = 100.0;
            settings[g].yMin = -10.0;
            settings[g].yMax = 10.0;
            // A triangle: 0 at x = 0, 8 at x = 40, -4 at x = 100.
            for (int i = 0; i <= 100; ++i) {
                points[g].x.push_back(i);
                points[g].y.push_back(i <= 40 ? i * 0.2 : 8.0 - (i - 40) * 0.2);
            }
        }
    }
    int GetGraphCount() override { return count; }
    chart::ChartSettings GetSettings(int g) override { return settings[g - 1]; }
    const chart::PointSource* GetPoints(int g) override { return &points[g - 1]; }
    bool IsRunning() override { return running; }
    void BlownUpChanged(bool b) override { blownUp.push_back(b); }
};

class CountingWindow : public CGraphPageWindow {
public:
    void Invalidate() override { ++invalidations; }
    int invalidations = 0;
};

class GraphPageTest : public test_support::ReportCaptureTest {
protected:
    fw::FakeUi ui;
    FakePageData data;
    CGraphPage page{data};
    CountingWindow window;
    const fw::Size size{1000, 800};

    void SetUp() override {
        test_support::ReportCaptureTest::SetUp();
        page.SetWindow(&window);
        Paint();
    }
    std::vector<std::string> Paint() {
        fw::RecordingCanvas dc(size);
        chart::CanvasSurface s(dc);
        page.Paint(s, size);
        std::vector<std::string> texts;
        for (const std::string& op : dc.OpsStartingWith("text ")) texts.push_back(op.substr(op.find(' ', 5) + 1));
        return texts;
    }
    // The pixel of a data point of graph g in its present view.
    fw::Point At(int g, double x, double y) const {
        const fw::Rect plot = page.LayoutOf(g, size).plot;
        const chart::ChartState& c = page.Chart(g);
        const double fx = c.XAxis().ToFraction(x), fy = c.YAxis().ToFraction(y);
        return {plot.left + static_cast<int>(std::lround(fx * (plot.Width() - 1))),
                plot.bottom - 1 - static_cast<int>(std::lround(fy * (plot.Height() - 1)))};
    }
    static bool Has(const std::vector<std::string>& texts, const std::string& t) {
        return std::find(texts.begin(), texts.end(), t) != texts.end();
    }
    // Cursor x positions snap to a stored point when the mouse is on one.
    void RightClick(int g, double x) { page.OnMouse(GraphMouse::RightDown, At(g, x, 0.0), false); }
    void MoveTo(int g, double x) { page.OnMouse(GraphMouse::Move, At(g, x, 0.0), false); }
};

}  // namespace

TEST(GraphPageLayout, ChartPlacesByGraphCount) {
    // Fractions of the page from the page build, on a page of 1000 x 1000.
    struct Case {
        int count, index;
        fw::Rect expected;
    } cases[] = {
        {1, 0, {0, 0, 999, 999}},
        {2, 0, {0, 0, 999, 490}},   {2, 1, {0, 500, 999, 999}},
        {3, 0, {0, 0, 999, 320}},   {3, 1, {0, 330, 999, 650}},  {3, 2, {0, 660, 999, 999}},
        {4, 0, {0, 0, 999, 240}},   {4, 1, {0, 250, 999, 490}},  {4, 2, {0, 500, 999, 740}},
        {4, 3, {0, 750, 999, 999}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(chart::ChartWindowRect({1000, 1000}, c.count, c.index), c.expected) << c.count << "/" << c.index;

    // Plot areas and read-out rows inside a chart window of 1000 x 1000.
    struct Inner {
        int count;
        fw::Rect plot;
        int rows[3];
    } inner[] = {
        {1, {250, 50, 970, 920}, {100, 150, 200}},
        {2, {300, 50, 970, 850}, {150, 250, 350}},
        {3, {300, 50, 970, 800}, {150, 300, 450}},
        {4, {300, 50, 970, 750}, {200, 400, 600}},
    };
    for (const Inner& c : inner) {
        const chart::ChartLayout l = chart::LayoutChart({0, 0, 1000, 1000}, c.count);
        EXPECT_EQ(l.plot, c.plot) << c.count;
        for (int i = 0; i < 3; ++i) EXPECT_EQ(l.readout[i], (fw::Point{20, c.rows[i]})) << c.count;
        EXPECT_EQ(l.title, (fw::Point{16, 40}));
    }
    // A low window keeps a third of an inch under the plot for the x axis' numbers and label.
    for (int dpi : {96, 600}) {
        const chart::ChartLayout l = chart::LayoutChart({0, 100, 800, 200}, 4, dpi);
        EXPECT_EQ(l.plot.bottom, std::max(105, 200 - int(std::lround(0.36 * dpi)))) << dpi;
    }
}

TEST_F(GraphPageTest, BuiltAtTheFirstPaintAndAgainAfterRebuild) {
    CGraphPage fresh(data);
    EXPECT_FALSE(fresh.IsBuilt());
    EXPECT_EQ(fresh.GetGraphCount(), 0);
    EXPECT_TRUE(page.IsBuilt());
    EXPECT_EQ(page.GetGraphCount(), 2);
    EXPECT_EQ(page.GetSelectedGraph(), 1);
    const auto texts = Paint();
    EXPECT_TRUE(Has(texts, "Graph 1"));
    EXPECT_TRUE(Has(texts, "Graph 2"));
    EXPECT_FALSE(Has(texts, "Graph 3"));
    EXPECT_TRUE(Has(texts, "Microseconds"));

    data.count = 4;
    page.Rebuild();
    EXPECT_FALSE(page.IsBuilt());
    EXPECT_TRUE(Has(Paint(), "Graph 4"));
    EXPECT_EQ(page.GetGraphCount(), 4);

    // An empty page (no run yet) paints without charts.
    data.count = 0;
    page.Rebuild();
    Paint();
    EXPECT_EQ(page.GetGraphCount(), 0);
    EXPECT_EQ(page.GetSelectedGraph(), 0);
}

TEST_F(GraphPageTest, CursorsFollowTheMouseAndTheKeys) {
    RightClick(2, 20.0);
    EXPECT_EQ(page.GetSelectedGraph(), 2);
    const chart::ChartState& c = page.Chart(2);
    ASSERT_TRUE(c.cursorShown[chart::kGreen] && c.cursorShown[chart::kMagenta]);
    EXPECT_TRUE(c.cursorActive[chart::kGreen]);
    EXPECT_FALSE(c.cursorActive[chart::kMagenta]);
    EXPECT_NEAR(c.cursor[chart::kGreen].x, 20.0, 0.2);
    // On the curve, whatever the mouse's height.
    EXPECT_NEAR(c.cursor[chart::kGreen].y, c.cursor[chart::kGreen].x * 0.2, 1e-9);

    // The green cursor moves; the magenta one stays.
    MoveTo(2, 40.0);
    EXPECT_NEAR(c.cursor[chart::kGreen].x, 40.0, 0.2);
    EXPECT_NEAR(c.cursor[chart::kMagenta].x, 20.0, 0.2);
    EXPECT_EQ(c.readout[0], chart::GreenReadout(c.cursor[chart::kGreen]));
    EXPECT_EQ(c.readout[2], chart::DiffReadout(c.cursor[chart::kGreen], c.cursor[chart::kMagenta]));
    EXPECT_TRUE(Has(Paint(), c.readout[1]));

    // Tab: the magenta cursor moves instead.
    page.OnChar('\t');
    MoveTo(2, 60.0);
    EXPECT_NEAR(c.cursor[chart::kGreen].x, 40.0, 0.2);
    EXPECT_NEAR(c.cursor[chart::kMagenta].x, 60.0, 0.2);

    // Left of the curve and right of it: on its ends.
    page.OnMouse(GraphMouse::Move, {page.LayoutOf(2, size).plot.left - 50, At(2, 0, 0).y}, false);
    EXPECT_EQ(c.cursor[chart::kMagenta], (DataPoint{0.0, 0.0}));
    page.OnMouse(GraphMouse::Move, {page.LayoutOf(2, size).plot.right + 20, At(2, 0, 0).y}, false);
    EXPECT_EQ(c.cursor[chart::kMagenta], (DataPoint{100.0, -4.0}));

    // M: green on the maximum, magenta on the minimum, both stopped.
    page.OnChar('m');
    EXPECT_EQ(c.cursor[chart::kGreen], (DataPoint{40.0, 8.0}));
    EXPECT_EQ(c.cursor[chart::kMagenta], (DataPoint{100.0, -4.0}));
    EXPECT_FALSE(c.cursorActive[chart::kGreen] || c.cursorActive[chart::kMagenta]);
    EXPECT_EQ(c.readout[0], "Green:   +4.000e+001  +8.000e+000");
    EXPECT_EQ(c.readout[1], "Magenta: +1.000e+002  -4.000e+000");
    EXPECT_EQ(c.readout[2], "Diff: -6.000e+001  +1.200e+001");
    MoveTo(2, 10.0);
    EXPECT_EQ(c.cursor[chart::kGreen], (DataPoint{40.0, 8.0}));

    // Esc stops a moving cursor where it stands; other keys beep.
    RightClick(2, 30.0);
    page.OnChar(27);
    MoveTo(2, 70.0);
    EXPECT_NEAR(c.cursor[chart::kGreen].x, 30.0, 0.2);
    EXPECT_EQ(ui.sink.beeps, 0);
    page.OnChar('x');
    EXPECT_EQ(ui.sink.beeps, 1);
}

TEST_F(GraphPageTest, ATinyWindowStillWorks) {
    data.count = 4;
    page.Rebuild();
    for (fw::Size tiny : {fw::Size{60, 40}, fw::Size{1, 1}, fw::Size{0, 0}}) {
        fw::RecordingCanvas dc(tiny);
        chart::CanvasSurface s(dc);
        page.Paint(s, tiny);
        for (GraphMouse m : {GraphMouse::RightDown, GraphMouse::MiddleDown, GraphMouse::Move, GraphMouse::MiddleUp})
            page.OnMouse(m, {tiny.cx / 2, tiny.cy / 2}, false);
        page.Rescale();
        page.Restore();
    }
    EXPECT_EQ(page.GetGraphCount(), 4);
}

TEST_F(GraphPageTest, NoCursorsOrZoomOnFewerThanTwoPoints) {
    data.points[0].x.resize(1);
    data.points[0].y.resize(1);
    RightClick(1, 0.0);
    EXPECT_FALSE(page.Chart(1).cursorShown[chart::kGreen]);
    page.OnMouse(GraphMouse::MiddleDown, At(1, 10, 5), false);
    EXPECT_FALSE(page.IsZooming());
    page.Rescale();
    EXPECT_EQ(page.Chart(1).views.Depth(), 0u);
}

TEST_F(GraphPageTest, RubberBandZoomsAndRestoreGoesBack) {
    int zoomed = 0;
    page.onZoomed = [&] { ++zoomed; };
    page.OnMouse(GraphMouse::LeftDown, At(1, 20, 6), true);
    ASSERT_TRUE(page.IsZooming());
    page.OnMouse(GraphMouse::Move, At(1, 60, -2), true);
    EXPECT_FALSE(Paint().empty());
    page.OnMouse(GraphMouse::LeftUp, At(1, 60, -2), true);
    EXPECT_FALSE(page.IsZooming());
    EXPECT_EQ(zoomed, 1);
    const chart::View v = page.Chart(1).views.Current();
    EXPECT_NEAR(v.x.lo, 20.0, 0.2);
    EXPECT_NEAR(v.x.hi, 60.0, 0.2);
    EXPECT_NEAR(v.y.lo, -2.0, 0.05);
    EXPECT_NEAR(v.y.hi, 6.0, 0.05);
    EXPECT_FALSE(page.Chart(1).cursorShown[chart::kGreen]);

    // The middle button zooms too; a click without a drag does not.
    page.OnMouse(GraphMouse::MiddleDown, At(1, 30, 0), false);
    page.OnMouse(GraphMouse::MiddleUp, At(1, 30, 0), false);
    EXPECT_EQ(page.Chart(1).views.Depth(), 1u);
    page.OnMouse(GraphMouse::MiddleDown, At(1, 30, 0), false);
    page.OnMouse(GraphMouse::MiddleUp, At(1, 40, 4), false);
    EXPECT_EQ(page.Chart(1).views.Depth(), 2u);

    // With a moving cursor the zoom keeps the cursors on the curve.
    RightClick(1, 35.0);
    page.OnMouse(GraphMouse::LeftDown, At(1, 31, 0.5), true);
    page.OnMouse(GraphMouse::LeftUp, At(1, 38, 3.5), true);
    const chart::ChartState& c = page.Chart(1);
    EXPECT_TRUE(c.cursorShown[chart::kGreen] && c.cursorShown[chart::kMagenta]);
    EXPECT_NEAR(c.cursor[chart::kGreen].y, c.cursor[chart::kGreen].x * 0.2, 1e-9);
    EXPECT_EQ(c.cursor[chart::kGreen], c.cursor[chart::kMagenta]);

    page.Restore();
    EXPECT_EQ(page.Chart(1).views.Depth(), 0u);
    EXPECT_EQ(page.Chart(1).views.Current(), (chart::View{{0, 100}, {-10, 10}}));
    EXPECT_FALSE(page.Chart(1).cursorShown[chart::kGreen]);
    EXPECT_EQ(page.Chart(1).readout[0], "");
}

TEST_F(GraphPageTest, Rescale) {
    struct Case {
        const char* name;
        double lastX;            // the last stored x
        std::vector<double> ys;  // the curve's values
        chart::Range x, y;
    } cases[] = {
        {"run reached the end", 99.5, {1, 3}, {0, 100}, {0.5, 3.5}},
        {"run stopped early", 37.0, {1, 3}, {0, 37}, {0.5, 3.5}},
        {"flat zero", 100.0, {0, 0}, {0, 100}, {-0.06, 0.06}},
        {"negative", 100.0, {-2, -1}, {0, 100}, {-2.5, -0.5}},  // [-2.1, -0.95] rounded
    };
    for (const Case& c : cases) {
        data.points[0].x = {0.0, c.lastX};
        data.points[0].y = c.ys;
        page.Rebuild();
        Paint();
        page.Rescale();
        const chart::View v = page.Chart(1).views.Current();
        EXPECT_NEAR(v.x.lo, c.x.lo, 1e-9) << c.name;
        EXPECT_NEAR(v.x.hi, c.x.hi, 1e-9) << c.name;
        EXPECT_NEAR(v.y.lo, c.y.lo, 1e-9) << c.name;
        EXPECT_NEAR(v.y.hi, c.y.hi, 1e-9) << c.name;
    }
}

TEST_F(GraphPageTest, WhileRunningOnlyTheSelectionChanges) {
    // A drag under way when the run starts is dropped.
    page.OnMouse(GraphMouse::MiddleDown, At(1, 20, 5), false);
    ASSERT_TRUE(page.IsZooming());
    data.running = true;
    page.OnMouse(GraphMouse::MiddleUp, At(1, 60, -5), false);
    EXPECT_FALSE(page.IsZooming());
    EXPECT_EQ(page.Chart(1).views.Depth(), 0u);

    page.OnMouse(GraphMouse::LeftDown, At(2, 50, 0), true);
    EXPECT_EQ(page.GetSelectedGraph(), 2);
    EXPECT_FALSE(page.IsZooming());
    RightClick(1, 50.0);
    EXPECT_EQ(page.GetSelectedGraph(), 2);
    EXPECT_FALSE(page.Chart(1).cursorShown[chart::kGreen]);
    page.OnChar('x');
    EXPECT_EQ(ui.sink.beeps, 0);
}

TEST_F(GraphPageTest, BlowUpShowsTheSelectedGraphOverThePage) {
    page.SelectGraph(2);
    page.BlowUp();
    EXPECT_TRUE(page.IsBlownUp());
    auto texts = Paint();
    EXPECT_TRUE(Has(texts, "Graph 2"));
    EXPECT_FALSE(Has(texts, "Graph 1"));
    EXPECT_EQ(page.GraphAt({500, 100}), 2);
    page.BlowUp();
    EXPECT_FALSE(page.IsBlownUp());
    EXPECT_EQ(page.GraphAt({500, 100}), 1);
    EXPECT_EQ(data.blownUp, (std::vector<bool>{false, true, false}));
}

TEST_F(GraphPageTest, PrintAndCopyTheWholePageOrTheBlownUpGraph) {
    auto printedTitles = [&] {
        std::vector<std::string> titles;
        for (const std::string& op : ui.printing.lastPage->OpsStartingWith("text "))
            if (op.find("Graph ") != std::string::npos) titles.push_back(op.substr(op.find("Graph ")));
        return titles;
    };
    ASSERT_TRUE(page.Print());
    EXPECT_EQ(printedTitles(), (std::vector<std::string>{"Graph 1", "Graph 2"}));
    EXPECT_TRUE(ui.printing.lastInfo.noPageNumbers);
    // Nothing is drawn in the half-inch margins (300 dots at 600 dpi).
    for (const std::string& op : ui.printing.lastPage->OpsStartingWith("text ")) {
        const int x = std::stoi(op.substr(5));
        EXPECT_GE(x, 300) << op;
    }
    // A cancelled print is no failure; one whose printer cannot be opened logs code 2011.
    ui.printing.printAnswer = false;
    EXPECT_FALSE(page.Print());
    EXPECT_EQ(Log().find("CODE 2011"), std::string::npos);
    ui.printing.printAnswer = true;
    ui.printing.failAnswer = true;
    EXPECT_FALSE(page.Print());
    EXPECT_NE(Log().find("CODE 2011"), std::string::npos);
    ui.printing.failAnswer = false;

    page.SelectGraph(2);
    page.BlowUp();
    ASSERT_TRUE(page.Print());
    EXPECT_EQ(printedTitles(), (std::vector<std::string>{"Graph 2"}));

    // Without a way to draw a picture, Copy says it failed.
    EXPECT_FALSE(page.Copy());
    EXPECT_TRUE(ui.clipboard.images.empty());
    ASSERT_EQ(ui.sink.boxes.size(), 1u);
    EXPECT_NE(Log().find("CODE 2014"), std::string::npos);

    ChartDevices devices;
    fw::Size drawn;
    devices.renderImage = [&](fw::Size s, const std::function<void(chart::ChartSurface&)>& paint, fw::Image& out) {
        fw::RecordingCanvas dc(s);
        chart::CanvasSurface surface(dc);
        paint(surface);
        drawn = s;
        out = fw::Image(s.cx, s.cy, 0xFFFFFFFFu);
        return true;
    };
    SetChartDevices(devices);
    EXPECT_TRUE(page.Copy());
    SetChartDevices({});
    ASSERT_EQ(ui.clipboard.images.size(), 1u);
    EXPECT_EQ(drawn, size);
    EXPECT_EQ(ui.clipboard.images[0].Width(), 1000);
}
