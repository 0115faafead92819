#include "schematics/Pictures.h"

#include <algorithm>
#include <climits>

#include "schematics/SchemBase.h"
#include "schematics/Symbols.h"

namespace {

constexpr int kMargin = 14;

fw::Rect ToPicture(const fw::Rect& r) {
    return {r.left - kPictureX, r.top - kPictureY, r.right - kPictureX, r.bottom - kPictureY};
}

bool Intersects(const fw::Rect& a, const fw::Rect& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

// The pixels a straight wire segment covers, one pixel wide.
fw::Rect SegmentBox(fw::Point a, fw::Point b) {
    return {std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x) + 1, std::max(a.y, b.y) + 1};
}

struct Layout {
    PictureDescription& d;
    std::vector<fw::Rect> all;  // every rectangle of the list, in picture pixels, with its group
    std::vector<int> groupOf;

    // A route is clear when it touches no rectangle but the symbol boxes of
    // the two groups it joins, and never a label strip.
    bool Clear(const std::vector<fw::Point>& route, int g1, int g2) const {
        for (size_t i = 0; i + 1 < route.size(); ++i) {
            const fw::Rect seg = SegmentBox(route[i], route[i + 1]);
            if (seg.left < 1 || seg.top < 1 || seg.right > d.width - 1 || seg.bottom > d.height - 1) return false;
            for (const fw::Rect& s : d.strips)
                if (Intersects(seg, {s.left - 1, s.top - 1, s.right + 3, s.bottom + 5})) return false;
            for (size_t k = 0; k < all.size(); ++k) {
                if (groupOf[k] == g1 || groupOf[k] == g2) continue;
                if (Intersects(seg, all[k])) return false;
            }
            for (const PlacedSymbol& p : d.symbols)
                if (p.group != g1 && p.group != g2 && Intersects(seg, p.box)) return false;
        }
        return true;
    }
    bool TryRoute(fw::Point a, fw::Point b, int g1, int g2) {
        const std::vector<fw::Point> routes[] = {{a, {b.x, a.y}, b}, {a, {a.x, b.y}, b}};
        for (const auto& r : routes)
            if (Clear(r, g1, g2)) {
                d.wires.push_back(r);
                return true;
            }
        return false;
    }
};

void Describe(const SchematicClass& cls, const HotSpotList& list, PictureDescription& d) {
    Layout lay{d, {}, {}};
    std::vector<bool> strip;
    int rec = 0;
    for (size_t g = 0; g < list.groups.size(); ++g)
        for (const fw::Rect& r : list.groups[g]) {
            lay.all.push_back(ToPicture(r));
            lay.groupOf.push_back(static_cast<int>(g));
            bool isStrip = false;
            for (const SchematicLabel& l : cls.labels) isStrip = isStrip || l.record == rec;
            strip.push_back(isStrip);
            if (isStrip) d.strips.push_back(ToPicture(r));
            ++rec;
        }
    int maxRight = 0, maxBottom = 0;
    for (const fw::Rect& r : lay.all) {
        maxRight = std::max(maxRight, r.right);
        maxBottom = std::max(maxBottom, r.bottom);
    }
    d.width = maxRight + kMargin;
    d.height = maxBottom + 3 * kMargin;

    // Each part in its group's first rectangle, kept off every label strip.
    rec = 0;
    for (size_t g = 0; g < list.groups.size() && g < cls.groups.size(); ++g) {
        fw::Rect box = ToPicture(list.groups[g][0]);
        for (const fw::Rect& s : d.strips) {
            if (!Intersects(box, {s.left, s.top, s.right + 2, s.bottom + 4})) continue;
            const int below = box.bottom - s.top, above = s.bottom + 4 - box.top;
            if (below <= above) box.bottom = std::min(box.bottom, s.top);
            else box.top = std::max(box.top, s.bottom + 4);
        }
        box = {box.left + 1, box.top + 1, box.right - 1, box.bottom - 1};
        if (box.Width() >= 3 && box.Height() >= 3) d.symbols.push_back({cls.groups[g].symbol, box, static_cast<int>(g)});
        rec += static_cast<int>(list.groups[g].size());
    }

    // Ground along the bottom; shunt parts (standing upright) go down to it,
    // series parts (lying) join the next one to their right.
    const int rail = maxBottom + kMargin;
    int railLeft = INT_MAX, railRight = INT_MIN;
    std::vector<const PlacedSymbol*> lying, standing;
    for (const PlacedSymbol& p : d.symbols) (schem::Upright(p.symbol, p.box) ? standing : lying).push_back(&p);
    for (const PlacedSymbol* p : standing) {
        const schem::Terminals t = schem::SymbolTerminals(p->symbol, p->box);
        const fw::Point from{t.b.x, p->box.bottom};
        // Straight down, or out to a side first when a label strip is below.
        std::vector<int> xs = {from.x};
        for (const fw::Rect& s : d.strips) {
            xs.push_back(s.left - 3);
            xs.push_back(s.right + 4);
        }
        for (int x : xs) {
            const int y = x == from.x ? from.y : from.y + 2;
            std::vector<fw::Point> down = {from, {from.x, y}, {x, y}, {x, rail}};
            if (!lay.Clear(down, p->group, p->group)) continue;
            d.wires.push_back(down);
            d.junctions.push_back({x, rail});
            railLeft = std::min(railLeft, x);
            railRight = std::max(railRight, x);
            break;
        }
    }
    std::sort(lying.begin(), lying.end(), [](const PlacedSymbol* a, const PlacedSymbol* b) { return a->box.left < b->box.left; });
    for (size_t i = 0; i < lying.size(); ++i) {
        const schem::Terminals ti = schem::SymbolTerminals(lying[i]->symbol, lying[i]->box);
        for (size_t j = i + 1; j < lying.size(); ++j) {
            const schem::Terminals tj = schem::SymbolTerminals(lying[j]->symbol, lying[j]->box);
            if (tj.a.x <= ti.b.x) continue;
            if (lay.TryRoute({ti.b.x + 1, ti.b.y}, {tj.a.x - 1, tj.a.y}, lying[i]->group, lying[j]->group)) break;
        }
    }
    // The tops of the shunt parts join the nearest series wire end.
    for (const PlacedSymbol* p : standing) {
        const schem::Terminals t = schem::SymbolTerminals(p->symbol, p->box);
        const fw::Point top{t.a.x, p->box.top - 1};
        for (const PlacedSymbol* q : lying) {
            const schem::Terminals tq = schem::SymbolTerminals(q->symbol, q->box);
            bool joined = false;
            for (fw::Point end : {fw::Point{tq.b.x + 1, tq.b.y}, fw::Point{tq.a.x - 1, tq.a.y}}) {
                if (std::abs(end.y - top.y) > 60 || std::abs(end.x - top.x) > 80) continue;
                if (lay.TryRoute(top, end, p->group, q->group)) {
                    d.junctions.push_back(end);
                    joined = true;
                    break;
                }
            }
            if (joined) break;
        }
    }
    if (railLeft <= railRight) {
        d.wires.push_back({{railLeft, rail}, {railRight + 1, rail}});
        d.grounds.push_back({(railLeft + railRight) / 2, rail});
    }
}

const SchematicClass* ClassOfPicture(UINT pictureId) {
    for (const SchematicClass* c : AllSchematicClasses())
        if (SchematicPictureId(c->kind, c->topology) == pictureId) return c;
    return nullptr;
}

}  // namespace

bool DescribePicture(UINT pictureId, PictureDescription& out) {
    out = {};
    const SchematicClass* cls = ClassOfPicture(pictureId);
    if (!cls) return false;
    const HotSpotList* list = FindHotSpotList(SchematicListId(cls->kind, cls->topology));
    if (!list) return false;
    Describe(*cls, *list, out);
    return true;
}

std::vector<UINT> AllPictureIds() {
    std::vector<UINT> ids;
    for (const SchematicClass* c : AllSchematicClasses()) ids.push_back(SchematicPictureId(c->kind, c->topology));
    std::sort(ids.begin(), ids.end());
    return ids;
}

namespace {

// Capital letters A-H as strokes on a 4 x 6 grid, for the terminal names.
void DrawLetter(fw::Canvas& dc, char letter, int x, int y) {
    struct S {
        int x0, y0, x1, y1;
    };
    static const std::vector<S> strokes[8] = {
        {{0, 6, 2, 0}, {2, 0, 4, 6}, {1, 3, 3, 3}},                                          // A
        {{0, 0, 0, 6}, {0, 0, 3, 0}, {3, 0, 3, 3}, {0, 3, 4, 3}, {4, 3, 4, 6}, {4, 6, 0, 6}},  // B
        {{4, 0, 0, 0}, {0, 0, 0, 6}, {0, 6, 4, 6}},                                          // C
        {{0, 0, 0, 6}, {0, 0, 3, 0}, {3, 0, 4, 2}, {4, 2, 4, 4}, {4, 4, 3, 6}, {3, 6, 0, 6}},  // D
        {{4, 0, 0, 0}, {0, 0, 0, 6}, {0, 6, 4, 6}, {0, 3, 3, 3}},                            // E
        {{4, 0, 0, 0}, {0, 0, 0, 6}, {0, 3, 3, 3}},                                          // F
        {{4, 0, 0, 0}, {0, 0, 0, 6}, {0, 6, 4, 6}, {4, 6, 4, 3}, {4, 3, 2, 3}},              // G
        {{0, 0, 0, 6}, {4, 0, 4, 6}, {0, 3, 4, 3}},                                          // H
    };
    for (const S& st : strokes[letter - 'A']) {
        dc.MoveTo(x + st.x0 * 2, y + st.y0 * 2);
        dc.LineTo(x + st.x1 * 2, y + st.y1 * 2);
        dc.FillRect({x + st.x1 * 2, y + st.y1 * 2, x + st.x1 * 2 + 1, y + st.y1 * 2 + 1}, fw::colors::Black);
    }
}

// The four secondary windings, winding 4 on top, each with its upper and
// lower terminal named.
void DrawWindings(fw::Image& out) {
    out = fw::Image(150, 300, 0xFFFFFFFFu);
    schem::ImageCanvas dc(out);
    const char names[4][2] = {{'H', 'G'}, {'F', 'E'}, {'D', 'C'}, {'B', 'A'}};
    for (int i = 0; i < 4; ++i) {
        const int top = 10 + i * 72;
        const fw::Rect coil{30, top, 50, top + 50};
        schem::DrawSymbol(dc, Symbol::Inductor, coil);
        for (int end = 0; end < 2; ++end) {
            const int y = end == 0 ? top : top + 49;
            dc.MoveTo(40, y);
            dc.LineTo(100, y);
            schem::DrawJunction(dc, {100, y});
            DrawLetter(dc, names[i][end], 110, y - 6);
        }
    }
}

}  // namespace

bool LoadSectionPicture(UINT pictureId, fw::Image& out) {
    if (pictureId == 530) {
        DrawWindings(out);
        return true;
    }
    if (pictureId == 540 || pictureId == 541) {
        // 540: a section whose variant has no parts, a wire straight through;
        // 541: a section not chosen, an empty crossed box.
        out = fw::Image(120, 120, 0xFFFFFFFFu);
        schem::ImageCanvas dc(out);
        if (pictureId == 540) {
            dc.MoveTo(10, 60);
            dc.LineTo(110, 60);
        } else {
            dc.SelectBrush({true});
            dc.Rectangle(20, 20, 100, 100);
            dc.MoveTo(20, 20);
            dc.LineTo(99, 99);
            dc.MoveTo(99, 20);
            dc.LineTo(20, 99);
        }
        return true;
    }
    PictureDescription d;
    if (!DescribePicture(pictureId, d)) {
        out = fw::Image();
        return false;
    }
    out = fw::Image(d.width, d.height, 0xFFFFFFFFu);
    schem::ImageCanvas dc(out);
    for (const PlacedSymbol& p : d.symbols) {
        dc.SetClip(&p.box);
        schem::DrawSymbol(dc, p.symbol, p.box);
    }
    dc.SetClip(nullptr);
    for (const auto& w : d.wires) {
        dc.MoveTo(w[0].x, w[0].y);
        for (size_t i = 1; i < w.size(); ++i) dc.LineTo(w[i].x, w[i].y);
        const fw::Point e = w.back();
        dc.FillRect({e.x, e.y, e.x + 1, e.y + 1}, fw::colors::Black);
    }
    for (fw::Point j : d.junctions) schem::DrawJunction(dc, j);
    for (fw::Point g : d.grounds) schem::DrawGround(dc, g);
    return true;
}
