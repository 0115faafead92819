// The design summary printed through Qt's print support to a PDF file at
// 600 dpi: the text read back, and the page rendered to a picture to check
// the margins and rules (the picture stays in /tmp for a look).
#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <cmath>
#include <map>

#include "app/DesignDoc.h"
#include "app/Morvane.h"
#include "app/View.h"
#include "platform/qt/QtServices.h"

namespace {

QString RunTool(const QString& program, const QStringList& args) {
    QProcess p;
    p.start(program, args);
    if (!p.waitForStarted(5000) || !p.waitForFinished(20000)) return {};
    return QString::fromUtf8(p.readAllStandardOutput());
}

bool Dark(QRgb c) { return qGray(c) < 96; }

// The page's lines as pdftotext reads its words back (-bbox), with the
// blanks between words counted from their distance: plain pdftotext
// writes any run of blanks as one.
QStringList LinesWithBlanks(const QString& bbox) {
    struct Word {
        double x0, x1;
        QString text;
    };
    std::map<long, std::vector<Word>> rows;  // by the baseline's position
    static const QRegularExpression re(QStringLiteral(
        R"re(<word xMin="([0-9.]+)" yMin="([0-9.]+)" xMax="([0-9.]+)" yMax="[0-9.]+">([^<]*)</word>)re"));
    double blank = 1e9;
    for (auto it = re.globalMatch(bbox); it.hasNext();) {
        auto m = it.next();
        long y = std::lround(m.captured(2).toDouble() * 10);
        rows[y].push_back({m.captured(1).toDouble(), m.captured(3).toDouble(), m.captured(4)});
    }
    for (auto& [y, words] : rows)
        for (size_t i = 1; i < words.size(); ++i) blank = std::min(blank, words[i].x0 - words[i - 1].x1);
    QStringList lines;
    for (auto& [y, words] : rows) {
        QString line = words[0].text;
        for (size_t i = 1; i < words.size(); ++i) {
            long n = std::max(1L, std::lround((words[i].x0 - words[i - 1].x1) / blank));
            line += QString(n, QLatin1Char(' ')) + words[i].text;
        }
        lines << line;
    }
    return lines;
}

// Rows where a dark run covers most of the width between left and right.
std::vector<int> RuleRows(const QImage& page, int left, int right) {
    std::vector<int> rows;
    for (int y = 0; y < page.height(); ++y) {
        int dark = 0;
        for (int x = left; x < right; x += 4) dark += Dark(page.pixel(x, y)) ? 1 : 0;
        if (dark * 4 > (right - left) * 9 / 10) rows.push_back(y);
    }
    return rows;
}

TEST(QtSummaryPrint, PdfAt600Dpi) {
    fw::qt::QtUi ui;
    const std::string pdf = "/tmp/pq-summary-page.pdf";
    std::remove(pdf.c_str());
    ui.printing.SetPdfOutput(pdf);
    ui.printing.SetResolution(600);

    CDesignDocFactory designs;
    CPwrQuorraApp app;
    app.SetDocumentFactory(&designs);
    app.OnFileNew();
    ASSERT_NE(app.GetDocument(), nullptr);
    app.GetDocument()->Design().GetRequirements()->GetOutput(1)->SetEnabled(TRUE);
    app.GetDocument()->Design().GetControlSection()->SetTopology(0);
    CPwrQuorraView view(app);
    view.OnFilePrint();

    QFile f(QString::fromStdString(pdf));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    ASSERT_TRUE(f.read(5) == "%PDF-");
    f.close();

    // One line per section, in order, with the program's own spacing.
    QString text = RunTool(QStringLiteral("pdftotext"), {QString::fromStdString(pdf), QStringLiteral("-")});
    ASSERT_FALSE(text.isEmpty()) << "pdftotext (poppler-utils) is needed";
    EXPECT_TRUE(text.contains(QStringLiteral("Type: Single Ended Forward\n"))) << text.toStdString();
    text = LinesWithBlanks(RunTool(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), QString::fromStdString(pdf),
                                                             QStringLiteral("-")}))
               .join(QLatin1Char('\n'));
    const char* expected[] = {"File Name:", "Date:  ", "Time:  ", "Type:  Single Ended Forward",
                              "Line Source:  none", "Line Filter:  none", "Line Rectifier:  none",
                              "Input Capacitor:  none", "Primary Section:  none", "Secondary Section 1:  none",
                              "Secondary Section 2:  none", "Output Choke 1:  none", "Output Choke 2:  none",
                              "First Stage Output Filter 1:  none", "First Stage Output Filter 2:  none",
                              "Second Stage Output Filter 1:  none", "Second Stage Output Filter 2:  none",
                              "Load Network 1:  none", "Load Network 2:  none", "Voltage Error Amplifier:  none",
                              "Opto-Isolator:  None", "Control Section:  Peak Current"};
    EXPECT_TRUE(text.contains(QStringLiteral("\nType:  Single Ended Forward\n"))) << text.toStdString();
    qsizetype at = 0;
    for (const char* line : expected) {
        qsizetype found = text.indexOf(QString::fromUtf8(line), at);
        EXPECT_GE(found, 0) << line << "\n" << text.toStdString();
        if (found >= 0) at = found;
    }

    // The page at 600 dpi: rules of 8 device units at the half-inch margins
    // of the printable area.
    QPrinter reference(QPrinter::HighResolution);
    reference.setOutputFormat(QPrinter::PdfFormat);
    reference.setResolution(600);
    const QRect paint = reference.pageLayout().paintRectPixels(600);
    const QString png = QStringLiteral("/tmp/pq-summary-page");
    RunTool(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("600"), QStringLiteral("-gray"), QStringLiteral("-png"),
                                     QStringLiteral("-singlefile"), QString::fromStdString(pdf), png});
    QImageReader::setAllocationLimit(512);  // a 600 dpi page
    QImage page(png + QStringLiteral(".png"));
    ASSERT_FALSE(page.isNull());
    const int left = paint.left() + 300, right = paint.right() + 1 - 300;
    std::vector<int> rows = RuleRows(page, left + 8, right - 8);
    ASSERT_GE(rows.size(), 2u);
    // The first rule is centred on the margin line, 8 rows thick.
    const int top = rows.front();
    int thickness = 1;
    while (thickness < static_cast<int>(rows.size()) && rows[thickness] == top + thickness) ++thickness;
    EXPECT_NEAR(top, paint.top() + 300 - 4, 2);
    EXPECT_NEAR(thickness, 8, 2);
    // It runs from margin to margin and no further.
    const int y = top + thickness / 2;
    EXPECT_TRUE(Dark(page.pixel(left + 2, y)));
    EXPECT_TRUE(Dark(page.pixel(right - 3, y)));
    EXPECT_FALSE(Dark(page.pixel(left - 12, y)));
    EXPECT_FALSE(Dark(page.pixel(right + 12, y)));
    // The second rule lies below three header lines of an 85-unit font,
    // 2 steps of 18 besides.
    const int second = rows.back();
    EXPECT_GT(second - top, 36 + 3 * 85);
    EXPECT_LT(second - top, 36 + 3 * 85 * 3 / 2);
}

}  // namespace

// The preview opens large enough to read: most of the work area, the page as
// wide as the window.
TEST(QtSummaryPrint, PreviewFillsMostOfTheWorkAreaAtPageWidth) {
    QPrinter printer(QPrinter::HighResolution);
    QPrintPreviewDialog dialog(&printer);
    const QRect work(0, 0, 1600, 900);
    fw::qt::QtPrintService::SizePreview(dialog, work);
    dialog.show();
    QCoreApplication::processEvents();
    const QRect r = dialog.frameGeometry();
    EXPECT_TRUE(work.contains(r));
    EXPECT_GE(r.width(), work.width() * 8 / 10);
    EXPECT_GE(r.height(), work.height() * 8 / 10);
    auto* view = dialog.findChild<QPrintPreviewWidget*>();
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->zoomMode(), QPrintPreviewWidget::FitToWidth);
    dialog.hide();
}
