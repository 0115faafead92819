// Points, sizes and rectangles in pixels or dialog units. A rectangle holds
// its left and top edges and the edges just past it (right and bottom are
// outside), so a point on the right or bottom edge is not inside.
#pragma once

namespace fw {

struct Point {
    int x = 0;
    int y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};

struct Size {
    int cx = 0;
    int cy = 0;
    friend bool operator==(const Size&, const Size&) = default;
};

struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    static Rect FromXYWH(int x, int y, int w, int h) { return {x, y, x + w, y + h}; }
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    Size GetSize() const { return {Width(), Height()}; }
    Point TopLeft() const { return {left, top}; }
    bool IsEmpty() const { return right <= left || bottom <= top; }
    bool PtInRect(Point p) const { return p.x >= left && p.x < right && p.y >= top && p.y < bottom; }
    void Offset(int dx, int dy) {
        left += dx;
        right += dx;
        top += dy;
        bottom += dy;
    }
    void Deflate(int dx, int dy) {
        left += dx;
        right -= dx;
        top += dy;
        bottom -= dy;
    }
    friend bool operator==(const Rect&, const Rect&) = default;
};

}  // namespace fw
