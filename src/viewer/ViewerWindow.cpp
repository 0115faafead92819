#include "viewer/ViewerWindow.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenuBar>
#include <QStatusBar>

#include "platform/qt/QtText.h"
#include "platform/ui/Services.h"

namespace {

constexpr const char* kCaption = "Power Quorra Viewer";

}  // namespace

CViewerWindow::CViewerWindow() {
    widget_ = new fw::qt::QtGraphPageWidget(page_, this);
    setCentralWidget(widget_);
    window_ = std::make_unique<fw::qt::QtGraphPageWindow>(widget_);
    page_.SetWindow(window_.get());
    design_ = new QLabel(this);
    statusBar()->addWidget(design_, 1);

    auto add = [this](QMenu* menu, const char* name, const QString& text, auto handler) {
        QAction* a = menu->addAction(text);
        a->setObjectName(QString::fromLatin1(name));
        connect(a, &QAction::triggered, this, handler);
        return a;
    };
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    add(file, "open", QStringLiteral("&Open...\tCtrl+O"), [this] { OnOpen(); })->setShortcut(QKeySequence::Open);
    add(file, "print", QStringLiteral("&Print..."), [this] { page_.Print(); });
    file->addSeparator();
    add(file, "exit", QStringLiteral("E&xit"), [this] { close(); });
    QMenu* graph = menuBar()->addMenu(QStringLiteral("&Graph"));
    add(graph, "blowUp", QStringLiteral("&Blow Up"), [this] { page_.BlowUp(); })->setCheckable(true);
    add(graph, "rescale", QStringLiteral("Re&scale"), [this] { page_.Rescale(); });
    add(graph, "restore", QStringLiteral("&Restore"), [this] { page_.Restore(); });
    add(graph, "copy", QStringLiteral("&Copy"), [this] { page_.Copy(); });
    for (QMenu* m : {file, graph}) connect(m, &QMenu::aboutToShow, this, [this] { UpdateActions(); });
    UpdateActions();
    UpdateTitle();
    resize(1000, 760);
}

CViewerWindow::~CViewerWindow() {
    page_.SetWindow(nullptr);
    window_.reset();
}

QAction* CViewerWindow::Action(const char* name) const { return findChild<QAction*>(QString::fromLatin1(name)); }

BOOL CViewerWindow::OpenFile(const std::string& path) {
    const BOOL ok = data_.Open(path);
    if (ok) page_.Rebuild();
    UpdateTitle();
    UpdateActions();
    return ok;
}

void CViewerWindow::OnOpen() {
    fw::FileDialogRequest request;
    request.filter = "Viewer Files (*.kvx)|*.kvx|All Files (*.*)|*.*||";
    request.defaultExtension = "kvx";
    std::string path;
    if (fw::Files().GetOpenFileName(request, path)) OpenFile(path);
}

void CViewerWindow::UpdateActions() {
    // As in the design window: the graph commands need a graph with points.
    bool data = false;
    const int count = data_.GetGraphCount();
    for (int g = 1; g <= count; ++g) data = data || data_.GetPoints(g)->Count() > 0;
    Action("print")->setEnabled(data);
    Action("copy")->setEnabled(data);
    Action("rescale")->setEnabled(data);
    Action("restore")->setEnabled(data);
    Action("blowUp")->setEnabled(data && count >= 2);
    Action("blowUp")->setChecked(page_.IsBlownUp());
}

void CViewerWindow::UpdateTitle() {
    const std::string name = data_.GetJobName();
    setWindowTitle(name.empty() ? QString::fromLatin1(kCaption)
                                : QString::fromLatin1(kCaption) + QStringLiteral(" - ") + fw::qt::PathToQ(name));
    design_->setText(data_.GetPath().empty() ? QString() : fw::qt::ToQ(data_.GetDesignText()));
}
