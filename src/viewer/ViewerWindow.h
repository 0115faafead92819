// The viewer program's window: the graphs of one viewer file on the graph
// page, with the File commands to open and print and the Graph commands of
// the design window's page.
#pragma once

#include <QMainWindow>
#include <memory>
#include <string>

#include "graphs/ViewerData.h"
#include "platform/qt/QtChart.h"

class QAction;
class QLabel;

class CViewerWindow : public QMainWindow {
public:
    CViewerWindow();
    ~CViewerWindow() override;

    // Shows the file's graphs; FALSE when it could not be read at all.
    BOOL OpenFile(const std::string& path);
    CGraphPage& Page() { return page_; }
    CViewerGraphData& Data() { return data_; }
    fw::qt::QtGraphPageWidget* PageWidget() const { return widget_; }
    QAction* Action(const char* name) const;

private:
    void OnOpen();
    void UpdateActions();
    void UpdateTitle();

    CViewerGraphData data_;
    CGraphPage page_{data_};
    fw::qt::QtGraphPageWidget* widget_ = nullptr;
    std::unique_ptr<fw::qt::QtGraphPageWindow> window_;
    QLabel* design_ = nullptr;
};
