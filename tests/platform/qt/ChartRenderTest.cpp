// Graph pages drawn by Qt offscreen: one to four graphs of time and frequency
// runs, checked for where the curves, axes and charts land (the pictures stay
// in /tmp for a look), a page printed to PDF and read back with pdftotext,
// and a page copied to the clipboard as a picture.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QImage>
#include <QMouseEvent>
#include <QProcess>
#include <cmath>

#include "graphs/GraphPage.h"
#include "platform/core/ReportSink.h"
#include "platform/qt/QtChart.h"
#include "platform/qt/QtServices.h"

namespace {

class PageData : public CGraphPageData {
public:
    int count = 1;
    bool frequency = false;
    chart::VectorPoints points[4];

    PageData(int n, bool freq) : count(n), frequency(freq) {
        for (int g = 0; g < 4; ++g) {
            chart::VectorPoints& p = points[g];
            for (int i = 0; i < 64000; ++i) {
                if (freq) {
                    const double f = 10.0 * std::pow(10.0, 4.0 * i / 63999.0);
                    p.x.push_back(f);
                    p.y.push_back(g % 2 ? -90.0 * std::atan(f / 1000.0) / 1.5708 : 40.0 - 20.0 * std::log10(1 + f / 1000.0));
                } else {
                    p.x.push_back(i * 1000.0 / 63999.0);
                    p.y.push_back(std::sin(i * 0.002 * (g + 1)) * 5.0);
                }
            }
        }
    }
    int GetGraphCount() override { return count; }
    chart::ChartSettings GetSettings(int g) override {
        chart::ChartSettings s;
        s.title = (frequency ? "Loop Gain " : "Output Voltage ") + std::to_string(g);
        s.xLabel = frequency ? "Hertz" : "Microseconds";
        s.yLabel = frequency ? (g % 2 ? "Decibels" : "Degrees") : "Volts";
        s.xMin = frequency ? 10.0 : 0.0;
        s.xMax = frequency ? 1e5 : 1000.0;
        s.yMin = frequency ? (g % 2 ? -20.0 : -100.0) : -6.0;
        s.yMax = frequency ? (g % 2 ? 60.0 : 10.0) : 6.0;
        s.xMinorTicks = frequency ? 8 : 4;
        s.yMinorTicks = 1;
        s.axisColor = 1;    // blue
        s.traceColor = 12;  // red
        s.gridType = 2;
        s.gridColor = 7;
        s.frequency = frequency;
        return s;
    }
    const chart::PointSource* GetPoints(int g) override { return &points[g - 1]; }
};

bool IsTrace(QRgb c) { return qRed(c) > 180 && qGreen(c) < 80 && qBlue(c) < 80; }
bool IsAxis(QRgb c) { return qBlue(c) > 180 && qRed(c) < 80 && qGreen(c) < 80; }

QString RunTool(const QString& program, const QStringList& args) {
    QProcess p;
    p.start(program, args);
    if (!p.waitForStarted(5000) || !p.waitForFinished(20000)) return {};
    return QString::fromUtf8(p.readAllStandardOutput());
}

QImage Render(CGraphPage& page, int w, int h) {
    fw::qt::QtGraphPageWidget widget(page);
    widget.resize(w, h);
    return widget.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

}  // namespace

TEST(QtChartRender, PagesOfOneToFourGraphs) {
    for (bool frequency : {false, true}) {
        for (int n = 1; n <= 4; ++n) {
            PageData data(n, frequency);
            CGraphPage page(data);
            const QImage image = Render(page, 1200, 900);
            ASSERT_EQ(image.width(), 1200);
            const QString name =
                QStringLiteral("/tmp/pq-chart-%1-%2.png").arg(frequency ? "freq" : "time").arg(n);
            image.save(name);
            ASSERT_EQ(page.GetGraphCount(), n);

            std::vector<fw::Rect> plots;
            for (int g = 1; g <= n; ++g) plots.push_back(page.LayoutOf(g, {1200, 900}).plot);
            int outside = 0;
            std::vector<int> inside(n, 0);
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x) {
                    if (!IsTrace(image.pixel(x, y))) continue;
                    bool in = false;
                    for (int g = 0; g < n; ++g)
                        if (plots[g].PtInRect({x, y})) {
                            ++inside[g];
                            in = true;
                        }
                    if (!in) ++outside;
                }
            EXPECT_EQ(outside, 0) << name.toStdString();
            for (int g = 0; g < n; ++g) {
                // The curve crosses the plot from side to side.
                EXPECT_GT(inside[g], plots[g].Width() * 9 / 10) << name.toStdString() << " graph " << g + 1;
                // The x axis runs along the plot's bottom row, the y axis up its left side.
                const fw::Rect& p = plots[g];
                int axisX = 0, axisY = 0;
                for (int x = p.left; x < p.right; ++x) axisX += IsAxis(image.pixel(x, p.bottom - 1)) ? 1 : 0;
                for (int y = p.top; y < p.bottom; ++y) axisY += IsAxis(image.pixel(p.left, y)) ? 1 : 0;
                EXPECT_GT(axisX, p.Width() * 9 / 10) << name.toStdString();
                EXPECT_GT(axisY, p.Height() * 9 / 10) << name.toStdString();
            }
            // Charts stack top to bottom without overlapping.
            for (int g = 1; g < n; ++g) EXPECT_LE(plots[g - 1].bottom, plots[g].top);
        }
    }
}

TEST(QtChartRender, CursorsFromTheMouseAndPrintedToPdf) {
    fw::qt::QtUi ui;
    fw::qt::InstallChartDevices();
    const std::string pdf = "/tmp/pq-chart-page.pdf";
    std::remove(pdf.c_str());
    ui.printing.SetPdfOutput(pdf);
    ui.printing.SetResolution(300);

    PageData data(2, false);
    CGraphPage page(data);
    fw::qt::QtGraphPageWidget widget(page);
    widget.resize(1200, 900);
    widget.grab();  // the first paint builds the page
    ASSERT_TRUE(page.IsBuilt());

    // A right click on graph 2 starts its cursors; M puts them on the
    // extremes.
    const fw::Rect plot = page.LayoutOf(2, {1200, 900}).plot;
    const QPointF at(plot.left + plot.Width() / 3, plot.top + plot.Height() / 2);
    QMouseEvent press(QEvent::MouseButtonPress, at, widget.mapToGlobal(at), Qt::RightButton, Qt::RightButton,
                      Qt::NoModifier);
    QApplication::sendEvent(&widget, &press);
    EXPECT_EQ(page.GetSelectedGraph(), 2);
    ASSERT_TRUE(page.Chart(2).cursorShown[chart::kGreen]);
    QKeyEvent m(QEvent::KeyPress, Qt::Key_M, Qt::NoModifier, QStringLiteral("m"));
    QApplication::sendEvent(&widget, &m);
    EXPECT_EQ(page.Chart(2).readout[0].substr(0, 9), "Green:   ");
    EXPECT_NEAR(page.Chart(2).cursor[chart::kGreen].y, 5.0, 1e-3);
    widget.grab().toImage().save(QStringLiteral("/tmp/pq-chart-cursors.png"));

    ASSERT_TRUE(page.Print());
    const QString text = RunTool(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), QString::fromStdString(pdf),
                                                               QStringLiteral("-")});
    ASSERT_FALSE(text.isEmpty()) << "pdftotext gave nothing";
    for (const std::string& s : {std::string("Output Voltage 1"), std::string("Output Voltage 2"),
                                 std::string("Microseconds"), page.Chart(2).readout[0], page.Chart(2).readout[1],
                                 page.Chart(2).readout[2]})
        // pdftotext writes a run of blanks as one.
        EXPECT_TRUE(text.simplified().contains(QString::fromStdString(s).simplified())) << s;
    RunTool(QStringLiteral("pdftoppm"), {QStringLiteral("-png"), QStringLiteral("-r"), QStringLiteral("60"),
                                         QString::fromStdString(pdf), QStringLiteral("/tmp/pq-chart-page")});

    // Copy: the page as a picture of the window's size.
    ASSERT_TRUE(page.Copy());
    const QImage copied = QApplication::clipboard()->image();
    EXPECT_EQ(copied.width(), 1200);
    EXPECT_EQ(copied.height(), 900);
    SetChartDevices({});
}
