#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImage>
#include <QKeyEvent>
#include <QMenuBar>
#include <QProcess>
#include <QScreen>
#include <QMessageBox>
#include <QTimer>
#include <QToolBar>
#include <set>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/AnalEngineLink.h"
#include "app/MainFrm.h"
#include "app/Splash.h"
#include "app/DesignDoc.h"
#include "circuit/AnalCfg.h"
#include "circuit/Doc.h"
#include "designs/Designs.h"
#include "graphs/GraphMgr.h"
#include "graphs/GraphPageRun.h"
#include "platform/qt/QtChart.h"
#include "platform/qt/QtDialog.h"
#include "platform/qt/QtFrame.h"
#include "platform/qt/QtProgram.h"
#include "platform/qt/QtText.h"
#include "platform/ui/ResourceImages.h"
#include "platform/ui/ResourcePack.h"
#include "platform/ui/System.h"
#include "resources/UiResources.h"

namespace {

using fw::qt::ToQ;

// One program per test process: it holds the instance lock for the life of
// the process, as the real one does.
fw::qt::Program& TheProgram() {
    static CDesignDocFactory documents;
    static fw::qt::Program* program = [] {
        auto* p = new fw::qt::Program(documents);
        p->Start("", "");
        return p;
    }();
    return *program;
}

struct Entry {
    UINT id;
    const char* text;
};

// The main menu, in order, as the frame's command table gives it.
const Entry kMenu[] = {
    {57600, "&New\tCtrl+N"},
    {57601, "&Open...\tCtrl+O"},
    {57603, "&Save\tCtrl+S"},
    {57604, "Save &As..."},
    {32771, "Save As &Text"},
    {57607, "&Print Summary..."},
    {57609, "Print Summary Pre&view"},
    {57606, "Print Set&up..."},
    {57616, "Recent File"},
    {57665, "E&xit"},
    {32772, "&Requirements..."},
    {32774, "Line So&urce..."},
    {32775, "&Line Filter..."},
    {32776, "Line Rec&tifier..."},
    {32777, "&Input Capacitor..."},
    {32778, "Pri&mary Section..."},
    {32779, "&Secondary Section..."},
    {32781, "First Stage &Output Filter..."},
    {32782, "Second Stage Out&put Filter..."},
    {32780, "Output C&hoke..."},
    {32783, "Load &Network..."},
    {32784, "&Voltage Feedback Network..."},
    {32785, "Voltage &Error Amplifier..."},
    {32786, "Opto&-Isolator..."},
    {32787, "&Control Section..."},
    {32788, "Current &Feedback Network..."},
    {32789, "Current Limit Net&work..."},
    {32794, "&User Specified..."},
    {32792, "&Problem Check"},
    {32790, "&Start"},
    {32793, "&Notes..."},
    {32801, "&Blow Up"},
    {32802, "Re&scale"},
    {32803, "&Restore"},
    {32804, "&Print"},
    {32805, "&Copy"},
    {32806, "Save &As Text..."},
    {32807, "Save &For Power Quorra Viewer..."},
    {32808, "Start Power Quorra &Viewer"},
    {32844, "&Circuit..."},
    {59392, "&Toolbar"},
    {59393, "&Status Bar"},
    {32820, "&Messages"},
    {57667, "&Help Topics"},
    {32843, "Help on &Using Help"},
    {57664, "&About Power Quorra Designer..."},
};

// The toolbar's 35 entries (0: separator).
const UINT kToolbar[] = {57600, 57601, 57603, 0,     32772, 32774, 32775, 32776, 32777, 32778, 32779, 32780,
                         32781, 32782, 32783, 32784, 32785, 32786, 32787, 32788, 32789, 0,     32794, 32792,
                         32790, 32793, 0,     32801, 32802, 32803, 32804, 32805, 0,     57664, 57669};

TEST(QtFrameWindow, MenuMatchesTheCommandTable) {
    fw::qt::QtFrame* frame = TheProgram().FrameWindow();
    ASSERT_NE(frame, nullptr);
    QList<QAction*> actions = frame->MenuActions();
    ASSERT_EQ(actions.size(), static_cast<qsizetype>(std::size(kMenu)));
    for (size_t i = 0; i < std::size(kMenu); ++i) {
        EXPECT_EQ(actions[i]->property(fw::qt::QtFrame::kCommandProperty).toUInt(), kMenu[i].id) << i;
        EXPECT_EQ(actions[i]->text(), ToQ(kMenu[i].text)) << i;
    }
    QStringList tops;
    for (QAction* a : frame->menuBar()->actions()) tops << a->text();
    EXPECT_EQ(tops, (QStringList{"&File", "&Setup", "&Analysis", "&Graph", "&View", "&Help"}));
}

TEST(QtFrameWindow, ToolbarMatchesItsTable) {
    fw::qt::QtFrame* frame = TheProgram().FrameWindow();
    ASSERT_NE(frame, nullptr);
    QList<QAction*> actions = frame->ToolBar()->actions();
    ASSERT_EQ(actions.size(), 35);
    for (int i = 0; i < 35; ++i) {
        if (kToolbar[i] == 0) {
            EXPECT_TRUE(actions[i]->isSeparator()) << i;
            continue;
        }
        EXPECT_EQ(actions[i]->property(fw::qt::QtFrame::kCommandProperty).toUInt(), kToolbar[i]) << i;
        EXPECT_FALSE(actions[i]->icon().isNull()) << i;
    }
    EXPECT_EQ(actions[24]->toolTip(), QStringLiteral("Start Analysis"));
}

TEST(QtFrameWindow, StatusPanesAndAvailability) {
    fw::qt::Program& p = TheProgram();
    fw::qt::QtFrame* frame = p.FrameWindow();
    ASSERT_NE(frame, nullptr);
    p.Ui().windows.RunIdleNow();
    QStringList panes;
    for (int i = 0; i < 5; ++i) panes << frame->StatusPane(i)->text();
    EXPECT_EQ(panes, (QStringList{"Ready", "Single Ended Forward ", "Mode: ", "1 Output", "  "}));
    // What has no target yet is unavailable.
    std::map<UINT, bool> enabled;
    for (QAction* a : frame->MenuActions()) enabled[a->property(fw::qt::QtFrame::kCommandProperty).toUInt()] = a->isEnabled();
    EXPECT_TRUE(enabled[57600]);
    EXPECT_TRUE(enabled[57665]);
    EXPECT_TRUE(enabled[57601]);
    EXPECT_TRUE(enabled[57664]);
    EXPECT_TRUE(enabled[32772]);   // Requirements
    EXPECT_FALSE(enabled[32776]);  // Line Rectifier: no line source yet
    // The design document names a new design itself.
    EXPECT_EQ(frame->windowTitle(), QStringLiteral("Power Quorra Designer - untitled"));
    ASSERT_NE(frame->DesignWindow(), nullptr);
}

// A button whose command is unavailable is drawn so that the user sees it.
TEST(QtFrameWindow, UnavailableToolbarButtonsLookDisabled) {
    fw::qt::Program& p = TheProgram();
    fw::qt::QtFrame* frame = p.FrameWindow();
    ASSERT_NE(frame, nullptr);
    p.Ui().windows.RunIdleNow();
    frame->setWindowState(Qt::WindowNoState);
    frame->resize(1100, 640);
    QList<QAction*> actions = frame->ToolBar()->actions();
    ASSERT_EQ(actions.size(), 35);
    EXPECT_TRUE(actions[0]->isEnabled());    // New
    EXPECT_FALSE(actions[7]->isEnabled());   // Line Rectifier: no line source yet
    EXPECT_FALSE(actions[34]->isEnabled());  // context help: no help system
    QImage bar = frame->ToolBar()->grab().toImage();
    auto darkest = [&](int index) {
        QRect r = frame->ToolBar()->actionGeometry(actions[index]);
        int least = 255;
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x) least = std::min(least, qGray(bar.pixel(x, y)));
        return least;
    };
    // Both pictures are black line drawings when enabled.
    EXPECT_LT(darkest(0), 40);
    EXPECT_GT(darkest(7), 100);
    EXPECT_GT(darkest(34), 100);
}

// The whole frame fills the work area as a maximised window; a restore gives a
// normal window inside it, and a copy that raises the frame keeps it maximised.
TEST(QtFrameWindow, FillingTheWorkAreaMaximisesWithANormalSizeInside) {
    fw::qt::Program& p = TheProgram();
    fw::qt::QtFrame* frame = p.FrameWindow();
    ASSERT_NE(frame, nullptr);
    const QRect work = QGuiApplication::primaryScreen()->availableGeometry();
    frame->setWindowState(Qt::WindowNoState);
    // Any other rectangle is the window's, as it is.
    p.App().GetMainFrame()->SetWindowPos(20, 30, 500, 400, fw::SWP_NOZORDER);
    EXPECT_FALSE(frame->isMaximized());
    EXPECT_EQ(frame->frameGeometry(), QRect(20, 30, 500, 400));
    p.App().GetMainFrame()->SetWindowPos(work.left(), work.top(), work.width(), work.height(), fw::SWP_NOZORDER);
    EXPECT_TRUE(frame->isMaximized());
    const QRect normal = frame->normalGeometry();
    EXPECT_TRUE(work.contains(normal)) << normal.x() << "," << normal.y() << " " << normal.width() << "x" << normal.height();
    EXPECT_LT(normal.width(), work.width());
    EXPECT_LT(normal.height(), work.height());

    frame->setWindowState(frame->windowState() | Qt::WindowMinimized);
    p.App().GetMainFrame()->BringToFront();
    EXPECT_FALSE(frame->isMinimized());
    EXPECT_TRUE(frame->isMaximized());
}

TEST(QtFrameWindow, ANewDesignReplacesTheDesignWindow) {
    fw::qt::Program& p = TheProgram();
    p.App().OnFileNew();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_NE(p.FrameWindow()->DesignWindow(), nullptr);
    EXPECT_EQ(p.FrameWindow()->windowTitle(), QStringLiteral("Power Quorra Designer - untitled"));
    ASSERT_TRUE(p.App().CloseCurrentDocument());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(p.FrameWindow()->DesignWindow(), nullptr);
    EXPECT_EQ(p.FrameWindow()->windowTitle(), QStringLiteral("Power Quorra Designer"));
    p.App().OnFileNew();
}

TEST(QtFrameWindow, TheDesignWindowHoldsTheGraphPage) {
    fw::qt::Program& p = TheProgram();
    auto pageWidget = [&p]() -> fw::qt::QtGraphPageWidget* {
        QWidget* design = p.FrameWindow()->DesignWindow();
        return design ? design->findChild<fw::qt::QtGraphPageWidget*>() : nullptr;
    };
    ASSERT_NE(pageWidget(), nullptr);
    EXPECT_EQ(&pageWidget()->Page(), &RunGraphPage().Page());
    ASSERT_TRUE(p.App().CloseCurrentDocument());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(RunGraphPage().HasPage());
    p.App().OnFileNew();
    ASSERT_NE(pageWidget(), nullptr);
    // The page fills the design window.
    p.FrameWindow()->resize(900, 600);
    p.FrameWindow()->grab();
    EXPECT_EQ(pageWidget()->size(), p.FrameWindow()->DesignWindow()->size());

    // A run's page: two variables in use, each graph with its curve.
    CPwrQuorraDoc& doc = p.App().GetDocument()->Design();
    CAnalysisConfig& cfg = *doc.GetAnalysisConfig();
    for (int v : {1, 2}) {
        CObEquation t;
        t.m_nKind = CObEquation::KIND_VARIABLE;
        t.m_nVarId = v;
        cfg.GetEquation(v)->GetTokens().AddCopy(t);
        CGraphCfg& g = *cfg.GetGraphCfg(v - 1);
        g.m_strTitle = v == 1 ? "Output Voltage" : "Choke Current";
        g.m_strXAxisLabel = "Micro Seconds";
        g.m_dXMax = 1000.0;
        g.m_dYMin = -2.0;
        g.m_dYMax = 2.0;
        g.m_nTraceColor = CGraphCfg::COLOR_RED;
    }
    doc.SetAnalysisSetupOpen(1);
    GraphMgr().RebuildPage();
    doc.SetAnalysisSetupOpen(0);
    for (int g = 1; g <= 2; ++g)
        for (int i = 0; i <= 2000; ++i) GraphMgr().PlotSample(g, i * 0.5, std::sin(i * 0.01 * g), 0.0);
    const QImage image = p.FrameWindow()->grab().toImage();
    image.save(QStringLiteral("/tmp/pq-frame-graphs.png"));
    EXPECT_EQ(RunGraphPage().Page().GetGraphCount(), 2);
    const QImage page = pageWidget()->grab().toImage();
    int red = 0;
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x) {
            const QRgb c = page.pixel(x, y);
            red += qRed(c) > 180 && qGreen(c) < 80 && qBlue(c) < 80 ? 1 : 0;
        }
    EXPECT_GT(red, page.width());
    GraphMgr().Reset(0);
    p.App().OnFileNew();
}

TEST(QtFrameWindow, RendersToAnImage) {
    fw::qt::QtFrame* frame = TheProgram().FrameWindow();
    ASSERT_NE(frame, nullptr);
    TheProgram().Ui().windows.RunIdleNow();
    // Wide enough for the whole toolbar.
    frame->setWindowState(Qt::WindowNoState);
    frame->resize(1100, 640);
    QImage image = frame->grab().toImage();
    ASSERT_FALSE(image.isNull());
    EXPECT_GT(image.width(), 300);
    EXPECT_TRUE(image.save(QStringLiteral("/tmp/pq-frame.png")));
    // The New button's picture is on the toolbar: white page pixels there.
    QRect button = frame->ToolBar()->actionGeometry(frame->ToolBar()->actions()[0]);
    QImage bar = frame->ToolBar()->grab().toImage();
    bool white = false;
    for (int y = button.top(); y <= button.bottom(); ++y)
        for (int x = button.left(); x <= button.right(); ++x) white |= bar.pixelColor(x, y) == Qt::white;
    EXPECT_TRUE(white);
}

TEST(QtFrameWindow, SplashComesDownOnAKeyThatStillReachesTheFrame) {
    fw::qt::Program& p = TheProgram();
    ASSERT_TRUE(p.App().IsSplashUp());
    QWidget* splash = fw::qt::WidgetOf(p.App().GetSplash());
    ASSERT_NE(splash, nullptr);
    EXPECT_TRUE(splash->isVisible());
    EXPECT_TRUE(splash->windowFlags() & Qt::FramelessWindowHint);
    EXPECT_TRUE(splash->grab().toImage().save(QStringLiteral("/tmp/pq-splash.png")));
    QWidget* icon = static_cast<fw::qt::QtDialog*>(splash)->ControlWidget(IDC_SPLASH_ICON);
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(icon->size(), QSize(72, 72));

    struct KeySpy : QObject {
        int keys = 0;
        bool eventFilter(QObject*, QEvent* e) override {
            if (e->type() == QEvent::KeyPress) ++keys;
            return false;
        }
    } spy;
    fw::qt::QtFrame* frame = p.FrameWindow();
    frame->installEventFilter(&spy);
    QKeyEvent key(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
    QApplication::sendEvent(frame, &key);
    frame->removeEventFilter(&spy);
    EXPECT_FALSE(p.App().IsSplashUp());
    EXPECT_EQ(spy.keys, 1);
}

// While a sweep steps on the worker, the user-interface thread keeps drawing the progress
// pane: each of its repaints during the run is recorded with the text it drew, and the
// spinner must have been drawn in more than one position before the run's end.
TEST(QtFrameWindow, TheProgressPaneTurnsWhileASweepRuns) {
    fw::qt::Program& p = TheProgram();
    p.App().OnFileNew();
    CPwrQuorraDoc& doc = p.App().GetDocument()->Design();
    BuildVoltageLoop(doc);
    CFreqDomainStimulusCfg& stim = doc.GetAnalysisConfig()->GetStimulusCfg();
    stim.m_dStartFrequency = 1000.0;
    stim.m_dStopFrequency = 5000.0;
    stim.m_nPointsPerDecade = 10;
    // The voltage loop's graphs (settings 8-11, taken by the run's 4-7) over the swept range.
    for (int g = 8; g < 12; ++g) {
        CGraphCfg& graph = *doc.GetAnalysisConfig()->GetGraphCfg(g);
        graph.m_dXMin = stim.m_dStartFrequency;
        graph.m_dXMax = stim.m_dStopFrequency;
        *doc.GetAnalysisConfig()->GetGraphCfg(g - 4) = graph;
    }
    QLabel* pane = p.FrameWindow()->StatusPane(4);
    ASSERT_NE(pane, nullptr);
    struct PaintSpy : QObject {
        QLabel* label = nullptr;
        std::vector<QString> drawn;
        bool eventFilter(QObject*, QEvent* e) override {
            if (e->type() == QEvent::Paint) drawn.push_back(label->text());
            return false;
        }
    } spy;
    spy.label = pane;
    pane->installEventFilter(&spy);
    // The run's end shows its result in a box: answered, and the paints stop counting there.
    size_t paintsBeforeEnd = 0;
    QString result;
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            if (result.isEmpty()) paintsBeforeEnd = spy.drawn.size();
            result = box->text();
            box->accept();
        }
    });
    answer.start(20);
    CMainFrame& frame = *p.App().GetMainFrame();
    ASSERT_TRUE(doc.PrepareAnalysis());
    ASSERT_TRUE(CheckAnalysisCanRun(doc));
    frame.SetStartStopMenu(TRUE);
    ASSERT_TRUE(doc.StartAnalysis());
    QElapsedTimer clock;
    clock.start();
    while (result.isEmpty() && clock.elapsed() < 60000) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    answer.stop();
    pane->removeEventFilter(&spy);
    ASSERT_FALSE(result.isEmpty()) << "the sweep did not end";
    EXPECT_EQ(result, QStringLiteral("Analysis was successful."));
    const std::set<QString> spinner = {"   |", "   /", "  ---", "   \\"};
    std::set<QString> turns;
    for (size_t i = 0; i < paintsBeforeEnd; ++i)
        if (spinner.count(spy.drawn[i])) turns.insert(spy.drawn[i]);
    EXPECT_GE(turns.size(), 2u) << paintsBeforeEnd << " paints before the end";
    // A fresh design for the tests after this one, without the question to save this one.
    p.App().GetDocument()->SetModifiedFlag(FALSE);
    p.App().OnFileNew();
}

// A second start of the program finds this one, asks it to come forward and
// ends at once.
TEST(QtProgramProcess, SecondInstanceAsksTheFirstAndEnds) {
    fw::qt::Program& p = TheProgram();
    ASSERT_NE(p.FrameWindow(), nullptr);
    int asked = 0;
    p.Ui().instances.Listen(kMainWindowClass, [&] { ++asked; });
    QProcess second;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("ASAN_OPTIONS"), QStringLiteral("detect_leaks=0"));
    second.setProcessEnvironment(env);
    QElapsedTimer t;
    t.start();
    second.start(QStringLiteral(PQ_PROGRAM_PATH), {});
    ASSERT_TRUE(second.waitForStarted(10000));
    // Its exit is waited for while this loop runs, so its request is served.
    while (second.state() != QProcess::NotRunning && t.elapsed() < 20000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        second.waitForFinished(20);
    }
    ASSERT_EQ(second.state(), QProcess::NotRunning);
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0);
    for (int i = 0; i < 100 && asked == 0; ++i) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    EXPECT_EQ(asked, 1);
}

// "~!" in an empty folder: the log there starts with the time and the
// announcement. The program runs under its own runtime folder (its own
// instance lock) and is ended by the test.
// The build writes the resource pack beside the program, in the form that
// start-up reads, with every picture of the pack table.
TEST(QtProgramProcess, TheResourcePackIsBuiltBesideTheProgram) {
    const std::filesystem::path pack = std::filesystem::path(PQ_PROGRAM_PATH).parent_path() / kResourceLibraryName;
    fw::ResourcePack loaded;
    ASSERT_TRUE(loaded.Open(pack.string())) << pack;
    size_t count = 0;
    const res::PackPicture* pictures = res::FindPackPictures(count);
    EXPECT_EQ(loaded.Count(), count);
    for (size_t i = 0; i < count; ++i) {
        fw::Image image;
        EXPECT_TRUE(loaded.GetImage(pictures[i].id, image)) << pictures[i].id;
        EXPECT_EQ(image.Pixels(), fw::ImageFromPicture(*pictures[i].picture).Pixels()) << pictures[i].id;
    }
}

TEST(QtProgramProcess, TildeBangWritesTheLogInTheCurrentFolder) {
    std::filesystem::path base = std::filesystem::path(fw::RuntimeDirectory()) / "tildebang";
    std::filesystem::create_directories(base / "run");
    std::filesystem::create_directories(base / "work");
    QProcess program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), QString::fromStdString((base / "run").string()));
    env.insert(QStringLiteral("ASAN_OPTIONS"), QStringLiteral("detect_leaks=0"));
    program.setProcessEnvironment(env);
    program.setWorkingDirectory(QString::fromStdString((base / "work").string()));
    program.start(QStringLiteral(PQ_PROGRAM_PATH), {QStringLiteral("~!")});
    ASSERT_TRUE(program.waitForStarted(10000));
    std::filesystem::path log = base / "work" / "PwrQuorra.log";
    std::string text;
    for (int i = 0; i < 400 && text.find("Data logging has been enabled.") == std::string::npos; ++i) {
        program.waitForFinished(25);
        std::ifstream f(log, std::ios::binary);
        std::stringstream ss;
        ss << f.rdbuf();
        text = ss.str();
    }
    EXPECT_EQ(program.state(), QProcess::Running);  // it runs until it is closed
    program.kill();
    program.waitForFinished(5000);
    size_t firstLine = text.find("\r\n");
    ASSERT_NE(firstLine, std::string::npos);
    EXPECT_EQ(text.substr(firstLine + 2, 32), "Data logging has been enabled.\r\n");
}

}  // namespace
