#include "schematics/Symbols.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace schem {

namespace {

// Symbol geometry in a frame along the symbol's axis: u runs from lead to
// lead, v across it; Map turns (u, v) into pixels.
struct Frame {
    fw::Rect box;
    bool vertical;
    int Len() const { return vertical ? box.Height() - 1 : box.Width() - 1; }
    int Across() const { return vertical ? box.Width() - 1 : box.Height() - 1; }
    fw::Point Map(double u, double v) const {
        const double cu = vertical ? box.top : box.left;
        const double cv = (vertical ? box.left + box.right - 1 : box.top + box.bottom - 1) / 2.0;
        const int a = static_cast<int>(std::lround(cu + u));
        const int b = static_cast<int>(std::lround(cv + v));
        return vertical ? fw::Point{b, a} : fw::Point{a, b};
    }
};

void Line(fw::Canvas& dc, fw::Point a, fw::Point b) {
    dc.MoveTo(a.x, a.y);
    dc.LineTo(b.x, b.y);
}
void Line(fw::Canvas& dc, const Frame& f, double u0, double v0, double u1, double v1) {
    Line(dc, f.Map(u0, v0), f.Map(u1, v1));
}

// The middle part of the axis that the body takes; the leads fill the rest.
void Body(const Frame& f, double share, double most, double& u0, double& u1) {
    const double len = f.Len();
    const double body = std::max(4.0, std::min(most, len * share));
    u0 = (len - body) / 2;
    u1 = u0 + body;
}

void Leads(fw::Canvas& dc, const Frame& f, double u0, double u1) {
    Line(dc, f, 0, 0, u0, 0);
    Line(dc, f, u1, 0, f.Len(), 0);
}

void Circle(fw::Canvas& dc, double cx, double cy, double r) {
    const int n = std::max(12, static_cast<int>(r * 3));
    for (int i = 0; i < n; ++i) {
        const double a0 = 2 * M_PI * i / n, a1 = 2 * M_PI * (i + 1) / n;
        Line(dc, {static_cast<int>(std::lround(cx + r * std::cos(a0))), static_cast<int>(std::lround(cy + r * std::sin(a0)))},
             {static_cast<int>(std::lround(cx + r * std::cos(a1))), static_cast<int>(std::lround(cy + r * std::sin(a1)))});
    }
}

void Arrow(fw::Canvas& dc, fw::Point from, fw::Point to) {
    Line(dc, from, to);
    const double dx = to.x - from.x, dy = to.y - from.y, l = std::max(1.0, std::hypot(dx, dy));
    const double ux = dx / l, uy = dy / l;
    const fw::Point p1{static_cast<int>(std::lround(to.x - 3 * ux - 2 * uy)), static_cast<int>(std::lround(to.y - 3 * uy + 2 * ux))};
    const fw::Point p2{static_cast<int>(std::lround(to.x - 3 * ux + 2 * uy)), static_cast<int>(std::lround(to.y - 3 * uy - 2 * ux))};
    Line(dc, to, p1);
    Line(dc, to, p2);
}

void Resistor(fw::Canvas& dc, const Frame& f) {
    double u0, u1;
    Body(f, 0.75, 48, u0, u1);
    Leads(dc, f, u0, u1);
    // Teeth no finer than a few pixels, as tall as the box lets them be.
    const double h = std::min(f.Across() / 2.0 - 1, std::max(4.0, (u1 - u0) / 5));
    const int teeth = std::clamp(static_cast<int>((u1 - u0) / 6), 3, 6);
    double pu = u0, pv = 0;
    for (int i = 1; i <= teeth * 2; ++i) {
        const double u = u0 + (u1 - u0) * i / (teeth * 2);
        const double v = (i == teeth * 2) ? 0 : ((i % 2) ? -h : h);
        Line(dc, f, pu, pv, u, v);
        pu = u;
        pv = v;
    }
}

void Capacitor(fw::Canvas& dc, const Frame& f, bool polar) {
    const double mid = f.Len() / 2.0;
    const double gap = std::max(1.0, std::min({3.0, f.Len() / 4.0, std::max(2.0, f.Len() / 8.0)}));  // plates apart, or they read as one
    const double h = std::max(2.0, std::min({12.0, f.Across() / 2.0 - 1, f.Len() * 1.2}));
    Leads(dc, f, mid - gap, mid + gap);
    Line(dc, f, mid - gap, -h, mid - gap, h);
    Line(dc, f, mid + gap, -h, mid + gap, h);
    if (polar) {
        Line(dc, f, mid - gap - 1, -h, mid - gap - 1, h);  // the thick plate is the positive one
        if (h >= 4 && mid - gap >= 5) {
            Line(dc, f, mid - gap - 4, -h + 1, mid - gap - 4, -h + 3);
            Line(dc, f, mid - gap - 5, -h + 2, mid - gap - 3, -h + 2);
        }
    }
}

void Inductor(fw::Canvas& dc, const Frame& f) {
    double u0, u1;
    Body(f, 0.8, 56, u0, u1);
    Leads(dc, f, u0, u1);
    const int loops = 4;
    const double w = (u1 - u0) / loops, r = w / 2;
    const double h = std::min(r, f.Across() / 2.0);
    for (int i = 0; i < loops; ++i) {
        const double c = u0 + w * i + r;
        double pu = c - r, pv = 0;
        for (int k = 1; k <= 8; ++k) {
            const double a = M_PI - M_PI * k / 8;
            const double u = c + r * std::cos(a), v = -h * std::sin(a);
            Line(dc, f, pu, pv, u, v);
            pu = u;
            pv = v;
        }
    }
}

void Diode(fw::Canvas& dc, const Frame& f, bool led) {
    const double len = f.Len();
    const double h = std::max(2.0, std::min({8.0, f.Across() / 2.0 - 1 - (led ? 3 : 0), (len - 2) / 2}));
    const double body = std::min(len - 2, 2 * h);
    const double u0 = (len - body) / 2, u1 = u0 + body;
    Leads(dc, f, u0, u1);
    Line(dc, f, u0, -h, u0, h);
    Line(dc, f, u0, -h, u1, 0);
    Line(dc, f, u0, h, u1, 0);
    Line(dc, f, u1, -h, u1, h);
    if (led && f.Across() >= 10) {
        const double v = -h - 1;
        Arrow(dc, f.Map(u0 + body / 2, v), f.Map(u0 + body / 2 + 3, v - 3));
        Arrow(dc, f.Map(u1, v), f.Map(u1 + 3, v - 3));
    }
}

fw::Rect Inset(const fw::Rect& r, int d) { return {r.left + d, r.top + d, r.right - d, r.bottom - d}; }

void Coils(fw::Canvas& dc, int x, int top, int bottom, bool facingRight, double room) {
    const int loops = std::max(2, (bottom - top) / 10);
    const double h = (bottom - top) / static_cast<double>(loops), r = h / 2;
    const double bulge = std::max(1.0, std::min({r, 5.0, room}));
    for (int i = 0; i < loops; ++i) {
        const double c = top + h * i + r;
        double px = x, py = c - r;
        for (int k = 1; k <= 8; ++k) {
            const double a = -M_PI / 2 + M_PI * k / 8;
            const double yy = c + r * std::sin(a), xx = x + (facingRight ? 1 : -1) * bulge * std::cos(a);
            Line(dc, {static_cast<int>(std::lround(px)), static_cast<int>(std::lround(py))},
                 {static_cast<int>(std::lround(xx)), static_cast<int>(std::lround(yy))});
            px = xx;
            py = yy;
        }
    }
}

// The primary's (and the reset winding's) span on the left side: with a
// reset winding the primary takes the upper part and the reset winding the
// lower, a gap between them.
struct Windings {
    int left, right, top, bottom, priBottom, resetTop;
};
Windings TransformerWindings(const fw::Rect& box, bool reset) {
    const fw::Rect b = Inset(box, 1);
    const int mid = (b.left + b.right) / 2;
    Windings w{mid - 3, mid + 3, b.top + 2, b.bottom - 2, b.bottom - 2, b.bottom - 2};
    if (reset) {
        const int gap = std::min(14, (w.bottom - w.top) / 4);
        w.priBottom = w.top + (w.bottom - w.top - gap) * 3 / 5;
        w.resetTop = w.priBottom + gap;
    }
    return w;
}

void Transformer(fw::Canvas& dc, const fw::Rect& box, bool reset) {
    const fw::Rect b = Inset(box, 1);
    const int mid = (b.left + b.right) / 2;
    const Windings w = TransformerWindings(box, reset);
    const int left = w.left, right = w.right;
    if (reset) {
        Coils(dc, left, w.top, w.priBottom, false, left - b.left);
        Coils(dc, left, w.resetTop, w.bottom, false, left - b.left);
        Coils(dc, right, b.top + 2, b.bottom - 2, true, b.right - 1 - right);
        Line(dc, {mid - 1, b.top}, {mid - 1, b.bottom - 1});
        Line(dc, {mid + 1, b.top}, {mid + 1, b.bottom - 1});
        return;
    }
    Coils(dc, left, b.top + 2, b.bottom - 2, false, left - b.left);
    Coils(dc, right, b.top + 2, b.bottom - 2, true, b.right - 1 - right);
    Line(dc, {mid - 1, b.top}, {mid - 1, b.bottom - 1});
    Line(dc, {mid + 1, b.top}, {mid + 1, b.bottom - 1});
}

// The current transformer's winding: its ends, how many turns and how
// round, and the height of the turns' middle.
struct CtWinding {
    int x0, x1, turns, bottom;
    double r, cy;
};
CtWinding CurrentTransformerWinding(const fw::Rect& box) {
    const fw::Rect b = Inset(box, 1);
    const int w = b.Width();
    CtWinding c{};
    c.r = std::clamp(std::min(w / 10.0, (b.Height() - 8) / 3.0), 2.0, 5.0);
    c.x0 = b.left + w / 6;
    c.turns = std::max(2, static_cast<int>((w * 2 / 3) / (2 * c.r)));
    c.x1 = c.x0 + static_cast<int>(std::lround(c.turns * 2 * c.r));
    c.cy = b.top + 7 + c.r;
    c.bottom = b.bottom - 1;
    return c;
}

// The conductor straight along the top, the core under it, and the winding's
// turns bulging up towards it, its leads down to the box's edge.
void CurrentTransformer(fw::Canvas& dc, const fw::Rect& box) {
    const fw::Rect b = Inset(box, 1);
    const CtWinding c = CurrentTransformerWinding(box);
    Line(dc, {b.left, b.top + 2}, {b.right - 1, b.top + 2});
    Line(dc, {c.x0, b.top + 5}, {c.x1 + 1, b.top + 5});
    for (int i = 0; i < c.turns; ++i) {
        const double m = c.x0 + c.r + 2 * c.r * i;
        double px = m - c.r, py = c.cy;
        for (int k = 1; k <= 8; ++k) {
            const double a = M_PI - M_PI * k / 8;
            const double xx = m + c.r * std::cos(a), yy = c.cy - c.r * std::sin(a);
            Line(dc, {static_cast<int>(std::lround(px)), static_cast<int>(std::lround(py))},
                 {static_cast<int>(std::lround(xx)), static_cast<int>(std::lround(yy))});
            px = xx;
            py = yy;
        }
    }
    const int y = static_cast<int>(std::lround(c.cy));
    Line(dc, {c.x0, y}, {c.x0, c.bottom});
    Line(dc, {c.x1, y}, {c.x1, c.bottom});
}

// The current transformer's winding ends (see its drawing).
void CurrentTransformerEnds(const fw::Rect& box, int& x0, int& x1, int& bottom) {
    const CtWinding c = CurrentTransformerWinding(box);
    x0 = c.x0;
    x1 = c.x1;
    bottom = c.bottom;
}

void Mosfet(fw::Canvas& dc, const fw::Rect& box) {
    const fw::Rect b = Inset(box, 1);
    const int cx = (b.left + b.right) / 2, cy = (b.top + b.bottom) / 2;
    const int h = std::max(3, b.Height() / 2 - 1);
    Line(dc, {b.left, cy}, {cx - 3, cy});            // gate lead
    Line(dc, {cx - 3, cy - h + 2}, {cx - 3, cy + h - 2});  // gate
    Line(dc, {cx, cy - h + 1}, {cx, cy + h - 1});    // channel
    Line(dc, {cx, cy - h + 2}, {b.right - 1, cy - h + 2});
    Line(dc, {cx, cy + h - 2}, {b.right - 1, cy + h - 2});
    Arrow(dc, {cx + 6, cy}, {cx + 1, cy});
    Line(dc, {cx + 6, cy}, {cx + 6, cy + h - 2});
}

void Bjt(fw::Canvas& dc, const fw::Rect& box, bool photo) {
    const fw::Rect b = Inset(box, 1);
    const int cx = (b.left + b.right) / 2, cy = (b.top + b.bottom) / 2;
    const int h = std::max(3, b.Height() / 2 - 1);
    if (!photo) Line(dc, {b.left, cy}, {cx, cy});
    Line(dc, {cx, cy - h + 1}, {cx, cy + h - 1});
    Line(dc, {cx, cy - 2}, {b.right - 1, b.top});
    Arrow(dc, {cx, cy + 2}, {b.right - 1, b.bottom - 1});
    if (photo && cx - b.left >= 8) {
        Arrow(dc, {b.left, cy - 6}, {cx - 2, cy - 1});
        Arrow(dc, {b.left, cy}, {cx - 2, cy + 4});
    }
}

void Triangle(fw::Canvas& dc, const fw::Rect& box, bool inputs) {
    const fw::Rect b = Inset(box, 1);
    const int cy = (b.top + b.bottom) / 2;
    const int x0 = b.left + (inputs ? 3 : 0), x1 = b.right - 3;
    Line(dc, {x0, b.top}, {x0, b.bottom - 1});
    Line(dc, {x0, b.top}, {x1, cy});
    Line(dc, {x0, b.bottom - 1}, {x1, cy});
    Line(dc, {x1, cy}, {b.right - 1, cy});
    if (inputs) {
        const int y1 = b.top + b.Height() / 4, y2 = b.bottom - 1 - b.Height() / 4;
        Line(dc, {b.left, y1}, {x0, y1});
        Line(dc, {b.left, y2}, {x0, y2});
        if (x1 - x0 >= 10) {
            Line(dc, {x0 + 2, y1}, {x0 + 5, y1});
            Line(dc, {x0 + 2, y2}, {x0 + 5, y2});
            Line(dc, {x0 + 3, y2 - 1}, {x0 + 3, y2 + 2});
        }
    }
}

void Source(fw::Canvas& dc, const Frame& f, bool current) {
    const double len = f.Len();
    // A source in a narrow room fills its width, or its sign cannot be read.
    const double room = std::min(f.Across() / 2.0, len / 2.0);
    const double r = std::max(2.0, room < 7 ? room : room - 1);
    const double c = len / 2;
    Leads(dc, f, c - r, c + r);
    const fw::Point m = f.Map(c, 0);
    Circle(dc, m.x, m.y, r);
    if (current) {
        Arrow(dc, f.Map(c + r * 0.6, 0), f.Map(c - r * 0.6, 0));
    } else if (r >= 5) {
        const fw::Point p = f.Map(c - r / 2, 0), n = f.Map(c + r / 2, 0);
        Line(dc, {p.x - 2, p.y}, {p.x + 2, p.y});
        Line(dc, {p.x, p.y - 2}, {p.x, p.y + 2});
        Line(dc, {n.x - 2, n.y}, {n.x + 2, n.y});
    }
}

void Clock(fw::Canvas& dc, const fw::Rect& box) {
    const fw::Rect b = Inset(box, 1);
    dc.Rectangle(b.left, b.top, b.right, b.bottom);
    const int y0 = b.bottom - 4, y1 = b.top + 4;
    const int w = (b.Width() - 8) / 3;
    for (int i = 0; i < 3 && w > 1; ++i) {
        const int x = b.left + 4 + i * w;
        Line(dc, {x, y0}, {x + w - 1, y1});
        Line(dc, {x + w - 1, y1}, {x + w - 1, y0});
    }
}

void Switch(fw::Canvas& dc, const Frame& f) {
    double u0, u1;
    Body(f, 0.5, 1e9, u0, u1);
    Leads(dc, f, u0, u1);
    Line(dc, f, u0, 0, u1, -std::min(6.0, f.Across() / 2.0));
}

}  // namespace

// Capacitors stand when their box is wide (the plates lie across it); the
// others lie along the long side, and lie when the box is about square.
bool Upright(Symbol symbol, const fw::Rect& box) {
    if (symbol == Symbol::Capacitor || symbol == Symbol::PolarCapacitor) return box.Width() >= box.Height();
    return box.Height() * 5 > box.Width() * 6;
}

Terminals SymbolTerminals(Symbol symbol, const fw::Rect& box) {
    const bool vertical = Upright(symbol, box);
    const Frame f{box, vertical};
    return {f.Map(0, 0), f.Map(f.Len(), 0), vertical};
}

std::vector<Pin> SymbolPins(Symbol symbol, const fw::Rect& box) {
    const fw::Rect b = Inset(box, 1);
    const int cy = (b.top + b.bottom) / 2;
    switch (symbol) {
    case Symbol::CoupledWindings:
    case Symbol::Transformer:
    case Symbol::ResetTransformer: {
        const Windings w = TransformerWindings(box, symbol == Symbol::ResetTransformer);
        // Each winding's leads leave on its own side, so that the primary's
        // wires never meet the secondary's above or below the core.
        std::vector<Pin> pins = {{{w.left, w.top}, Toward::Left},
                                 {{w.left, w.priBottom}, Toward::Left},
                                 {{w.right, w.top}, Toward::Right},
                                 {{w.right, w.bottom}, Toward::Right}};
        if (symbol == Symbol::ResetTransformer) {
            pins.push_back({{w.left, w.resetTop}, Toward::Left});
            pins.push_back({{w.left, w.bottom}, Toward::Left});
        }
        return pins;
    }
    case Symbol::CurrentTransformer: {
        int x0, x1, bottom;
        CurrentTransformerEnds(box, x0, x1, bottom);
        return {{{b.left, b.top + 2}, Toward::Left},
                {{b.right - 1, b.top + 2}, Toward::Right},
                {{x0, bottom}, Toward::Down},
                {{x1, bottom}, Toward::Down}};
    }
    case Symbol::Mosfet: {
        const int h = std::max(3, b.Height() / 2 - 1);
        return {{{b.right - 1, cy - h + 2}, Toward::Up}, {{b.left, cy}, Toward::Left}, {{b.right - 1, cy + h - 2}, Toward::Down}};
    }
    case Symbol::Bjt:
    case Symbol::PhotoTransistor:
        return {{{b.right - 1, b.top}, Toward::Up}, {{b.left, cy}, Toward::Left}, {{b.right - 1, b.bottom - 1}, Toward::Down}};
    case Symbol::Amplifier: return {{{b.left, cy}, Toward::Left}, {{b.right - 1, cy}, Toward::Right}};
    case Symbol::OpAmp:
    case Symbol::Comparator: {
        const int y1 = b.top + b.Height() / 4, y2 = b.bottom - 1 - b.Height() / 4;
        return {{{b.left, y1}, Toward::Left}, {{b.left, y2}, Toward::Left}, {{b.right - 1, cy}, Toward::Right}};
    }
    case Symbol::Clock: return {{{b.right - 1, cy}, Toward::Right}};
    case Symbol::Block: return {{{b.left, cy}, Toward::Left}, {{b.right - 1, cy}, Toward::Right}};
    default: {
        const Terminals t = SymbolTerminals(symbol, box);
        return {{t.a, t.vertical ? Toward::Up : Toward::Left}, {t.b, t.vertical ? Toward::Down : Toward::Right}};
    }
    }
}

void DrawSymbol(fw::Canvas& dc, Symbol symbol, const fw::Rect& box) {
    if (box.Width() < 3 || box.Height() < 3) return;
    const Frame f{box, Upright(symbol, box)};
    switch (symbol) {
    case Symbol::Resistor: Resistor(dc, f); break;
    case Symbol::Capacitor: Capacitor(dc, f, false); break;
    case Symbol::PolarCapacitor: Capacitor(dc, f, true); break;
    case Symbol::Inductor: Inductor(dc, f); break;
    case Symbol::CoupledWindings:
    case Symbol::Transformer: Transformer(dc, box, false); break;
    case Symbol::ResetTransformer: Transformer(dc, box, true); break;
    case Symbol::CurrentTransformer: CurrentTransformer(dc, box); break;
    case Symbol::Diode: Diode(dc, f, false); break;
    case Symbol::Led: Diode(dc, f, true); break;
    case Symbol::PhotoTransistor: Bjt(dc, box, true); break;
    case Symbol::Mosfet: Mosfet(dc, box); break;
    case Symbol::Bjt: Bjt(dc, box, false); break;
    case Symbol::Amplifier: Triangle(dc, box, false); break;
    case Symbol::OpAmp:
    case Symbol::Comparator: Triangle(dc, box, true); break;
    case Symbol::VoltageSource: Source(dc, f, false); break;
    case Symbol::CurrentSource: Source(dc, f, true); break;
    case Symbol::Clock: Clock(dc, box); break;
    case Symbol::Switch: Switch(dc, f); break;
    case Symbol::Block: {
        const fw::Rect b = Inset(box, 1);
        dc.Rectangle(b.left, b.top, b.right, b.bottom);
        break;
    }
    }
}

void DrawGround(fw::Canvas& dc, fw::Point at) {
    Line(dc, at, {at.x, at.y + 4});
    Line(dc, {at.x - 6, at.y + 4}, {at.x + 7, at.y + 4});
    Line(dc, {at.x - 4, at.y + 6}, {at.x + 5, at.y + 6});
    Line(dc, {at.x - 2, at.y + 8}, {at.x + 3, at.y + 8});
}

void DrawJunction(fw::Canvas& dc, fw::Point at) { dc.FillRect({at.x - 1, at.y - 1, at.x + 2, at.y + 2}, dc.GetPen().color); }

void ImageCanvas::Plot(int x, int y, uint32_t argb) {
    if (!clipped_ || clip_.PtInRect({x, y})) {
        if (ink_.IsEmpty()) ink_ = {x, y, x + 1, y + 1};
        ink_ = {std::min(ink_.left, x), std::min(ink_.top, y), std::max(ink_.right, x + 1), std::max(ink_.bottom, y + 1)};
    }
    if (x < 0 || y < 0 || x >= image_.Width() || y >= image_.Height()) return;
    if (clipped_ && !clip_.PtInRect({x, y})) return;
    image_.SetPixel(x, y, argb);
}

void ImageCanvas::DoLine(fw::Point from, fw::Point to) {
    if (GetPen().style == fw::Pen::Null) return;
    const uint32_t c = GetPen().color.ToArgb();
    int x0 = from.x, y0 = from.y;
    const int dx = std::abs(to.x - x0), sx = x0 < to.x ? 1 : -1;
    const int dy = -std::abs(to.y - y0), sy = y0 < to.y ? 1 : -1;
    int err = dx + dy;
    // Like a pen, the end point is not drawn.
    while (x0 != to.x || y0 != to.y) {
        Plot(x0, y0, c);
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x0 += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y0 += sy;
        }
    }
}

void ImageCanvas::DoRectangle(const fw::Rect& r) {
    if (!GetBrush().null) DoFillRect(r, GetBrush().color);
    DoLine({r.left, r.top}, {r.right - 1, r.top});
    DoLine({r.right - 1, r.top}, {r.right - 1, r.bottom - 1});
    DoLine({r.right - 1, r.bottom - 1}, {r.left, r.bottom - 1});
    DoLine({r.left, r.bottom - 1}, {r.left, r.top});
}

void ImageCanvas::DoFillRect(const fw::Rect& r, fw::Color c) {
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x) Plot(x, y, c.ToArgb());
}

void ImageCanvas::DoDrawImage(const fw::Image& image, const fw::Rect& dest, const fw::Rect& source) {
    fw::Image scaled = image.Scaled(source, dest.Width(), dest.Height());
    for (int y = 0; y < scaled.Height(); ++y)
        for (int x = 0; x < scaled.Width(); ++x) Plot(dest.left + x, dest.top + y, scaled.Pixel(x, y));
}

void ImageCanvas::DoClip(const fw::Rect* clip) {
    clipped_ = clip != nullptr;
    if (clip) clip_ = *clip;
}

}  // namespace schem
