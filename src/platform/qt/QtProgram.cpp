#include "platform/qt/QtProgram.h"

#include <QApplication>
#include <QFont>
#include <QKeyEvent>
#include <QMouseEvent>

#include "app/MainFrm.h"
#include "graphs/GraphPageRun.h"
#include "platform/qt/QtChart.h"
#include "platform/qt/QtFrame.h"
#include "platform/qt/QtText.h"
#include "platform/ui/System.h"
#include "records/Utils.h"

namespace fw::qt {

Program::Program(CDocumentFactory& factory) {
    app_.SetDocumentFactory(&factory);
    ui_.windows.onIdle = [this](long count) { return started_ && app_.OnIdle(count) != FALSE; };
    qApp->installEventFilter(this);
    InstallChartDevices();
    InstallGraphPageWindows([this]() -> QWidget* {
        QtFrame* frame = FrameWindow();
        return frame ? frame->DesignWindow() : nullptr;
    });
}

Program::~Program() {
    RunGraphPage().DestroyPage();
    UninstallGraphPageWindows();
    SetChartDevices({});
    qApp->removeEventFilter(this);
    ui_.windows.onIdle = nullptr;
    ui_.sink.SetFrame(nullptr);
}

std::string Program::CommandLineOf(const QStringList& arguments) {
    std::string line;
    for (int i = 1; i < arguments.size(); ++i) {
        if (i > 1) line += ' ';
        line += PathFromQ(arguments[i]);
    }
    return line;
}

bool Program::Start(const std::string& commandLine, const std::string& profilePath) {
    app_.SetCommandLine(commandLine);
    app_.SetProfilePath(profilePath);
    if (!app_.InitInstance()) return false;
    ui_.sink.SetFrame(app_.GetMainFrame());
    // A second start finds this one here. Without it the program still
    // works; only a second start cannot bring this one forward.
    if (!ui_.instances.Listen(kMainWindowClass, [this] {
            if (CMainFrame* f = app_.GetMainFrame()) f->BringToFront();
        }))
        ReportMessage1(kMainFrmModule, 1901, FALSE);
    started_ = true;
    return true;
}

int Program::Exec() {
    int code = QApplication::exec();
    ui_.sink.SetFrame(nullptr);
    started_ = false;
    int exit = app_.ExitInstance();
    return code ? code : exit;
}

QtFrame* Program::FrameWindow() const {
    CMainFrame* f = app_.GetMainFrame();
    return f ? dynamic_cast<QtFrame*>(f->GetFrameHost()) : nullptr;
}

bool Program::eventFilter(QObject* watched, QEvent* event) {
    if (!started_ || !watched->isWidgetType()) return false;
    UiInput input = UiInput::Other;
    switch (event->type()) {
    case QEvent::KeyPress:
        input = (static_cast<QKeyEvent*>(event)->modifiers() & Qt::AltModifier) ? UiInput::SysKeyDown : UiInput::KeyDown;
        break;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
        Qt::MouseButton b = static_cast<QMouseEvent*>(event)->button();
        input = b == Qt::LeftButton ? UiInput::LButtonDown : b == Qt::RightButton ? UiInput::RButtonDown
                                                                                  : UiInput::MButtonDown;
        break;
    }
    case QEvent::NonClientAreaMouseButtonPress: {
        Qt::MouseButton b = static_cast<QMouseEvent*>(event)->button();
        input = b == Qt::LeftButton ? UiInput::NcLButtonDown : b == Qt::RightButton ? UiInput::NcRButtonDown
                                                                                    : UiInput::NcMButtonDown;
        break;
    }
    default:
        return false;
    }
    // Seen before delivery and never swallowed.
    app_.PreTranslateMessage(input);
    return false;
}

int RunProgram(int argc, char** argv, CDocumentFactory& factory) {
    QApplication qapp(argc, argv);
    QApplication::setApplicationName(QStringLiteral("PowerQuorra"));
    QApplication::setQuitOnLastWindowClosed(false);
    QFont::insertSubstitution(QStringLiteral("Arial"), QStringLiteral("Liberation Sans"));
    Program program(factory);
    if (!program.Start(Program::CommandLineOf(QCoreApplication::arguments()), ConfigDirectory() + "RecentFiles"))
        return 0;
    return program.Exec();
}

}  // namespace fw::qt
