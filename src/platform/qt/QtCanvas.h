// fw::Canvas over a QPainter: windows, owner-drawn controls, pages.
#pragma once

#include <QFont>
#include <QImage>
#include <QPainter>

#include "platform/ui/Canvas.h"

namespace fw::qt {

// The font a canvas uses for fw::Font: "Arial" is drawn with its metric
// twin; height is in device units, 0 takes the default height.
QFont ToQFont(const Font& f, int defaultPixelHeight);

class QtCanvas : public Canvas {
public:
    // backing: the picture the painter draws on, when it is one (lets
    // GrabArea read back what is drawn).
    QtCanvas(QPainter& painter, Size device, int dpiX, int dpiY, QImage* backing = nullptr);

    Size GetTextExtent(const std::string& text) override;
    TextMetrics GetTextMetrics() override;
    bool GrabArea(const Rect& area, Image& out) override;
    int PixelsPerInchX() const override { return dpiX_; }
    int PixelsPerInchY() const override { return dpiY_; }
    Size GetDeviceSize() const override { return device_; }
    // The painter under the canvas, for drawing the canvas has no call for
    // (turned text, many lines at once).
    QPainter& Painter() { return p_; }
    void SetDefaultFontHeight(int px) {
        defaultHeight_ = px;
        OnStateChanged();
    }

protected:
    void DoLine(Point from, Point to) override;
    void DoRectangle(const Rect& r) override;
    void DoFillRect(const Rect& r, Color c) override;
    void DoText(int x, int y, const std::string& text) override;
    void DoDrawImage(const Image& image, const Rect& dest, const Rect& source) override;
    void DoClip(const Rect* clip) override;
    void OnStateChanged() override;

private:
    QPen MakePen() const;
    QPainter& p_;
    Size device_;
    int dpiX_, dpiY_;
    QImage* backing_;
    int defaultHeight_;
    QFont font_;
};

}  // namespace fw::qt
