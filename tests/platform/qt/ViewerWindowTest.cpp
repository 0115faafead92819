// The viewer program's window on a viewer file: its graphs drawn, the title
// naming the file, the Graph commands available as the page allows (the
// picture stays in /tmp for a look).
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QImage>
#include <cmath>
#include <fstream>

#include "platform/core/ReportSink.h"
#include "platform/qt/QtServices.h"
#include "viewer/ViewerWindow.h"

namespace {

std::string WriteFile(int graphs) {
    auto root = std::make_unique<CPwrQuorraViewerObj>();
    root->m_strDesignFile = "/designs/Forward.SEF   Monday, March 02, 2026, 10:15:00 AM";
    root->m_nGraphCount = uint16_t(graphs);
    for (int g = 0; g < graphs; ++g) {
        CKVXGraphObj& rec = root->Graph(g);
        rec.m_strTitle = "Viewer Graph " + std::to_string(g + 1);
        rec.m_strXLabel = "Micro Seconds";
        rec.m_strYLabel = "Amperes";
        rec.m_dXMax = 500.0;
        rec.m_dYMin = -2.0;
        rec.m_dYMax = 2.0;
        rec.m_nTraceColor = 12;
        CKVXPointStore& p = root->Points(g);
        for (int i = 0; i < 5000; ++i) {
            p.x.push_back(i * 0.1);
            p.y.push_back(std::sin(i * 0.01 * (g + 1)) * 1.5);
        }
        p.lastIndex = 4999;
    }
    const std::vector<uint8_t> bytes = ViewerFileBytes(*root);
    const std::string path = "/tmp/pq-viewer-test.kvx";
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    return path;
}

bool IsTrace(QRgb c) { return qRed(c) > 180 && qGreen(c) < 80 && qBlue(c) < 80; }

}  // namespace

TEST(QtViewerWindow, ShowsTheFilesGraphs) {
    fw::qt::QtUi ui;
    fw::RecordingSink sink;
    fw::ScopedReportSink scoped(&sink);
    CViewerWindow window;
    // Nothing open yet: nothing to work on.
    EXPECT_FALSE(window.Action("rescale")->isEnabled());

    const std::string path = WriteFile(2);
    ASSERT_TRUE(window.OpenFile(path));
    EXPECT_TRUE(sink.boxes.empty());
    EXPECT_TRUE(window.windowTitle().endsWith(QStringLiteral("pq-viewer-test.kvx")));
    EXPECT_TRUE(window.Action("blowUp")->isEnabled());
    EXPECT_TRUE(window.Action("print")->isEnabled());

    window.resize(1100, 800);
    const QImage image = window.PageWidget()->grab().toImage();
    image.save(QStringLiteral("/tmp/pq-viewer.png"));
    EXPECT_EQ(window.Page().GetGraphCount(), 2);
    for (int g = 1; g <= 2; ++g) {
        const fw::Rect plot = window.Page().LayoutOf(g, {image.width(), image.height()}).plot;
        int trace = 0;
        for (int y = plot.top; y < plot.bottom; ++y)
            for (int x = plot.left; x < plot.right; ++x) trace += IsTrace(image.pixel(x, y)) ? 1 : 0;
        EXPECT_GT(trace, plot.Width()) << g;
    }

    window.Action("blowUp")->trigger();
    EXPECT_TRUE(window.Page().IsBlownUp());

    // A file that is not there: told, and the graphs stay.
    EXPECT_FALSE(window.OpenFile("/tmp/pq-viewer-test-missing.kvx"));
    ASSERT_EQ(sink.boxes.size(), 1u);
    EXPECT_EQ(window.Page().GetGraphCount(), 2);
    std::remove(path.c_str());
}
