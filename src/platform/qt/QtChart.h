// The chart layer on Qt: a chart surface over a QPainter, the graph page's
// window (painting, mouse and keys), and the devices the page prints and
// copies through.
#pragma once

#include <QPainter>
#include <QPointer>
#include <QWidget>
#include <functional>

#include "graphs/GraphPage.h"

namespace fw::qt {

class QtChartSurface : public chart::ChartSurface {
public:
    QtChartSurface(QPainter& painter, int dpi) : p_(painter), dpi_(dpi) {}
    void Fill(const fw::Rect& r, fw::Color c) override;
    void Lines(const std::vector<chart::Segment>& lines, fw::Color c, int width, bool dotted) override;
    void Text(int x, int y, const std::string& text, const chart::TextStyle& style, unsigned align) override;
    void VerticalText(int x, int y, const std::string& text, const chart::TextStyle& style) override;
    fw::Size Measure(const std::string& text, const chart::TextStyle& style) override;
    int Dpi() const override { return dpi_; }

private:
    QFont FontOf(const chart::TextStyle& style) const;
    QPainter& p_;
    int dpi_;
    std::vector<QLineF> lines_;
};

// The window of a graph page: it paints the page at its own size and hands
// it the mouse and the typed keys.
class QtGraphPageWidget : public QWidget {
public:
    QtGraphPageWidget(CGraphPage& page, QWidget* parent = nullptr);
    CGraphPage& Page() { return page_; }

protected:
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    bool focusNextPrevChild(bool next) override;

private:
    CGraphPage& page_;
};

// The page's hold on its widget: the widget may go with its parent window
// first.
class QtGraphPageWindow : public CGraphPageWindow {
public:
    explicit QtGraphPageWindow(QtGraphPageWidget* widget) : widget_(widget) {}
    ~QtGraphPageWindow() override;
    void Invalidate() override;
    QtGraphPageWidget* Widget() const { return widget_; }

private:
    QPointer<QtGraphPageWidget> widget_;
};

// Makes a page window fill the parent (with a layout of its own).
std::unique_ptr<QtGraphPageWindow> MakeGraphPageWindow(CGraphPage& page, QWidget* parent);

// The page prints on Qt's printer canvas and copies a picture drawn by Qt.
void InstallChartDevices();
// The design window's graph page is shown in the widget that designWindow
// returns (none: the page has no window).
void InstallGraphPageWindows(std::function<QWidget*()> designWindow);
void UninstallGraphPageWindows();

}  // namespace fw::qt
