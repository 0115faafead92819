// The frame model as a Qt main window: menu bar, accelerators, toolbar,
// status bar, and the area that holds the design's window.
#pragma once

#include <QLabel>
#include <QMainWindow>
#include <QPointer>
#include <map>
#include <vector>

#include "platform/ui/Frame.h"

class QMdiArea;
class QMdiSubWindow;
class QToolBar;
class QShortcut;

namespace fw::qt {

class QtFrame : public QMainWindow, public FrameHost {
public:
    explicit QtFrame(FrameWnd& model);
    ~QtFrame() override;

    FrameWnd& Model() { return model_; }
    // For tests: every menu action with its command id, and the toolbar's.
    QList<QAction*> MenuActions() const;
    QToolBar* ToolBar() const { return toolBar_; }
    QLabel* StatusPane(int index) const;
    QWidget* DesignWindow() const;

    // FrameHost.
    void TitleChanged() override;
    void GeometryChanged() override;
    void VisibilityChanged() override;
    void Invalidate(bool erase) override;
    void UpdateNow() override;
    void BringToFront() override;
    void Destroy() override;
    void MenuChanged() override;
    void CommandStatesChanged() override;
    void ToolBarChanged() override;
    void StatusPaneChanged(int index) override;
    void ControlBarsChanged() override;
    void WakeForPosts() override;
    void ChildChanged() override;

    static constexpr const char* kCommandProperty = "pqCommandId";

protected:
    void closeEvent(QCloseEvent* e) override;
    void dragEnterEvent(QDragEnterEvent* e) override;
    void dropEvent(QDropEvent* e) override;

private:
    void BuildMenu();
    // Takes the model's new command ids and texts into the existing menus;
    // false when the menus' shape changed and they must be built anew.
    bool UpdateMenuInPlace();
    void BuildStatusBar();
    void ApplyCommandStates();
    void FillWorkAreaWithoutWindowManager();
    // How long a window manager may take to maximise the frame.
    static constexpr int kWindowManagerGraceMs = 750;

    FrameWnd& model_;
    bool destroyed_ = false;
    QToolBar* toolBar_ = nullptr;
    QMdiArea* area_ = nullptr;
    QPointer<QMdiSubWindow> child_;
    std::vector<QLabel*> panes_;
    std::vector<QShortcut*> shortcuts_;
};

}  // namespace fw::qt
