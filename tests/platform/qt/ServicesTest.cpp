#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QFontMetrics>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QProcess>
#include <QTimer>
#include <atomic>
#include <thread>

#include "platform/core/ReportSink.h"
#include "platform/qt/QtServices.h"
#include "platform/qt/QtText.h"
#include "platform/ui/Frame.h"
#include "platform/ui/UiThread.h"

namespace {

// A page with a framed header and a picture.
class TestPage : public fw::Printable {
public:
    void OnPrint(fw::Canvas& dc, fw::PrintInfo& info) override {
        ppi = dc.PixelsPerInchY();
        area = info.drawArea;
        dc.SelectPen(fw::Pen{fw::Pen::Solid, 8, fw::colors::Black});
        dc.SelectFont(fw::Font{"Arial", dc.PixelsPerInchY() / 7});
        dc.MoveTo(0, 0);
        dc.LineTo(info.drawArea.right, 0);
        fw::Rect rc{0, 40, info.drawArea.right, info.drawArea.bottom};
        dc.DrawText("File Name:  Buck converter.SEF\r\nType:  Single Ended Forward", rc,
                    fw::DT_WORDBREAK | fw::DT_EXPANDTABS | fw::DT_EXTERNALLEADING | fw::DT_NOPREFIX);
        fw::Image picture(40, 30, 0xFF0000FFu);
        dc.StretchImage(picture, fw::Rect::FromXYWH(0, 1000, 400, 300), {0, 0, 40, 30});
    }
    int ppi = 0;
    fw::Rect area;
};

TEST(QtPrinting, PrintsToPdf) {
    fw::qt::QtUi ui;
    std::string pdf = ::testing::TempDir() + "/pq-summary.pdf";
    std::remove(pdf.c_str());
    ui.printing.SetPdfOutput(pdf);
    TestPage page;
    ASSERT_TRUE(fw::Printing().Print(page, "Buck converter.SEF", true));
    EXPECT_GE(page.ppi, 300);
    EXPECT_GT(page.area.Width(), page.ppi * 7);  // a letter or A4 page less its margins
    QFile f(QString::fromStdString(pdf));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(f.read(5) == "%PDF-");
    f.close();
    QProcess text;
    text.start(QStringLiteral("pdftotext"), {QString::fromStdString(pdf), QStringLiteral("-")});
    if (text.waitForStarted(5000) && text.waitForFinished(10000)) {
        QString out = QString::fromUtf8(text.readAllStandardOutput());
        EXPECT_TRUE(out.contains(QStringLiteral("Buck converter.SEF"))) << out.toStdString();
        EXPECT_TRUE(out.contains(QStringLiteral("Single Ended Forward")));
    }
    std::remove(pdf.c_str());
}

TEST(QtPrinting, AnOutputThatCannotBeOpenedIsReported) {
    fw::qt::QtUi ui;
    fw::RecordingSink sink;
    fw::ScopedReportSink scoped(&sink);
    const std::string pdf = ::testing::TempDir() + "/no-such-folder/pq-summary.pdf";
    ui.printing.SetPdfOutput(pdf);
    TestPage page;
    EXPECT_FALSE(fw::Printing().Print(page, "Buck converter.SEF", true));
    ASSERT_EQ(sink.boxes.size(), 1u);
    EXPECT_NE(sink.boxes[0].find("could not be printed"), std::string::npos) << sink.boxes[0];
}

// Each print job offers its own file: the one printer never proposes the file the last job wrote.
TEST(QtPrinting, EachJobProposesItsOwnFile) {
    fw::qt::QtUi ui;
    const std::string dir = ::testing::TempDir();
    const std::string summary = dir + "/pq-design - Summary.pdf";
    ui.printing.SetPdfOutput(summary);
    TestPage page;
    ASSERT_TRUE(fw::Printing().Print(page, "pq-design", true));
    ui.printing.SetPdfOutput("");
    fw::Printing().ProposeOutputFile(dir + "/pq-design - Graphs.pdf");
    QString offered;
    QTimer::singleShot(0, [&offered] {
        if (auto* d = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget())) {
            offered = d->printer()->outputFileName();
            d->reject();
        }
    });
    EXPECT_FALSE(fw::Printing().Print(page, "pq-design", true));
    EXPECT_FALSE(fw::Printing().LastPrintFailed());  // cancelled, not failed
    EXPECT_EQ(offered.toStdString(), dir + "/pq-design - Graphs.pdf");
    std::remove(summary.c_str());
}

TEST(QtReporting, MessageBoxesKeepTheirCaptionAndTellGoodNewsAsInformation) {
    fw::qt::QtUi ui;
    EXPECT_EQ(fw::qt::IconFor("Analysis was successful."), QMessageBox::Information);
    EXPECT_EQ(fw::qt::IconFor("Analysis was not successful."), QMessageBox::Warning);
    EXPECT_EQ(fw::qt::IconFor("Problem:  Stop Frequency must be larger than Start Frequency."), QMessageBox::Warning);
    QMessageBox box(QMessageBox::Information, QStringLiteral("Power Quorra Designer"), QStringLiteral("Done."));
    fw::qt::FitCaption(box);
    const int caption = QFontMetrics(QApplication::font("QMdiSubWindowTitleBar")).horizontalAdvance(box.windowTitle());
    EXPECT_GE(box.sizeHint().width(), caption + 100);
}

class PostFrame : public fw::FrameWnd {
public:
    void OnPostedMessage(UINT m, intptr_t w, intptr_t) override {
        received.push_back({m, w});
        onUiThread &= fw::IsUiThread();
    }
    std::vector<std::pair<UINT, intptr_t>> received;
    bool onUiThread = true;
};

TEST(QtReporting, PostsFromWorkersAreHandledOnTheUiThreadInOrder) {
    fw::qt::QtUi ui;
    PostFrame frame;
    ASSERT_TRUE(frame.LoadFrame(101));
    ui.sink.SetFrame(&frame);
    std::thread worker([] {
        for (int i = 0; i < 100; ++i) fw::GetReportSink().PostToMainWindow(0x8001, i, 0);
        fw::GetReportSink().PostToMainWindow(0x8002, 0, 0);
    });
    worker.join();
    for (int i = 0; i < 200 && frame.received.size() < 101; ++i) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    ASSERT_EQ(frame.received.size(), 101u);
    for (int i = 0; i < 100; ++i) EXPECT_EQ(frame.received[i].second, i);
    EXPECT_EQ(frame.received.back().first, 0x8002u);
    EXPECT_TRUE(frame.onUiThread);
    ui.sink.SetFrame(nullptr);
    frame.DestroyWindow();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// A worker's question is asked on the user-interface thread, and the worker
// waits for the answer while that thread waits for the worker.
TEST(QtReporting, WorkerQuestionsAreAskedOnTheUiThread) {
    fw::qt::QtUi ui;
    std::atomic<bool> sawBox{false};
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            sawBox = box->text() == QStringLiteral("Continue?");
            box->button(QMessageBox::Yes)->click();
        }
    });
    closer.start(10);
    fw::Event done(true);
    bool answer = false;
    std::thread worker([&] {
        answer = fw::GetReportSink().AskYesNo("Continue?");
        done.Set();
    });
    EXPECT_TRUE(fw::WaitServingUi(done, 20000));
    worker.join();
    EXPECT_TRUE(sawBox);
    EXPECT_TRUE(answer);
}

TEST(QtFileDialogFilters, FrameworkFiltersBecomeQtFilters) {
    EXPECT_EQ(fw::qt::QtFileDialogs::ToQtFilter("Text Files (*.txt)|*.txt|All Files (*.*)|*.*||"),
              QStringLiteral("Text Files (*.txt);;All Files (*.*)"));
    EXPECT_EQ(fw::qt::QtFileDialogs::ToQtFilter("Files (*.SEF)|*.SEF|All Files (*.*)|*.*||"),
              QStringLiteral("Files (*.SEF);;All Files (*.*)"));
    EXPECT_EQ(fw::qt::QtFileDialogs::ToQtFilter("Designs|*.SEF;*.sef||"), QStringLiteral("Designs (*.SEF *.sef)"));
}

TEST(QtText, Windows1252RoundTrip) {
    std::string s = "\x80 5\xB5H \xE9t\xE9 \x96";
    QString q = fw::qt::ToQ(s);
    EXPECT_EQ(q, QString::fromUtf8("€ 5µH été –"));
    EXPECT_EQ(fw::qt::FromQ(q), s);
    EXPECT_EQ(fw::qt::FromQ(QString::fromUtf8("Ω")), "?");
}

}  // namespace
