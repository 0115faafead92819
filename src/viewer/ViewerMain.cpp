// Power Quorra Viewer: shows the graphs of a viewer file. Started by the
// designer with "~~" (or "~!" with data logging on); a file named on the
// command line is opened at once.
#include <QApplication>
#include <QFont>

#include "app/Morvane.h"
#include "platform/qt/QtChart.h"
#include "platform/qt/QtServices.h"
#include "platform/qt/QtText.h"
#include "records/Utils.h"
#include "viewer/ViewerWindow.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("KVXViewer"));
    QFont::insertSubstitution(QStringLiteral("Arial"), QStringLiteral("Liberation Sans"));
    fw::qt::QtUi ui;
    ui.sink.SetCaption("Power Quorra Viewer");
    fw::qt::InstallChartDevices();

    std::string file;
    for (const QString& arg : QCoreApplication::arguments().mid(1)) {
        if (arg == QStringLiteral("~!")) SetLoggingQuery([] { return true; });
        else if (!arg.startsWith(QLatin1Char('~')) && file.empty()) file = fw::qt::PathFromQ(arg);
    }

    CViewerWindow window;
    // The designer finds a running viewer by its window class; a second
    // viewer leaves the first one answering.
    if (!ui.instances.IsRunning(kViewerWindowClass))
        ui.instances.Listen(kViewerWindowClass, [&window] {
            if (window.isMinimized()) window.showNormal();
            window.raise();
            window.activateWindow();
        });
    window.show();
    if (!file.empty()) window.OpenFile(file);
    const int code = QApplication::exec();
    SetChartDevices({});
    return code;
}
