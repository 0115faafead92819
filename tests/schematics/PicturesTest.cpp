#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>

#include "schematics/Pictures.h"
#include "schematics/SchemBase.h"
#include "schematics/Symbols.h"

namespace {

constexpr uint32_t kWhite = 0xFFFFFFFFu;

bool Ink(const fw::Image& img, int x, int y) { return img.Pixel(x, y) != kWhite; }

TEST(Pictures, EveryVariantHasAPictureThatCoversItsList) {
    const std::vector<UINT> ids = AllPictureIds();
    EXPECT_EQ(ids.size(), 64u);
    for (UINT id : ids) {
        SCOPED_TRACE(id);
        fw::Image img;
        ASSERT_TRUE(LoadSectionPicture(id, img));
        const HotSpotList* list = FindHotSpotList(id + 400);
        ASSERT_NE(list, nullptr);
        for (const auto& g : list->groups)
            for (const fw::Rect& r : g) {
                EXPECT_LE(r.right - kPictureX, img.Width());
                EXPECT_LE(r.bottom - kPictureY, img.Height());
            }
    }
    fw::Image none;
    EXPECT_FALSE(LoadSectionPicture(409, none));
    EXPECT_TRUE(none.IsNull());
}

// Each symbol drawn alone, without a clip, lies mostly in its group's
// rectangles and never in another part's: a click on its ink opens that part
// or nothing (the first rectangle in list order under the point decides).
// Every label strip of the whole picture stays clear, with room below and to the
// right for the label font.
TEST(Pictures, SymbolsLieInTheirRectanglesAndLabelStripsAreClear) {
    for (UINT id : AllPictureIds()) {
        SCOPED_TRACE(id);
        PictureDescription d;
        ASSERT_TRUE(DescribePicture(id, d));
        const HotSpotList* list = FindHotSpotList(id + 400);
        EXPECT_EQ(d.symbols.size(), list->groups.size());
        auto groupAt = [list](int x, int y) {
            for (size_t g = 0; g < list->groups.size(); ++g)
                for (const fw::Rect& r : list->groups[g])
                    if (fw::Rect{r.left - kPictureX, r.top - kPictureY, r.right - kPictureX, r.bottom - kPictureY}.PtInRect({x, y}))
                        return static_cast<int>(g);
            return -1;
        };
        for (const PlacedSymbol& p : d.symbols) {
            fw::Image alone(d.width, d.height, kWhite);
            schem::ImageCanvas dc(alone);  // the canvas keeps the bounds of all it draws
            schem::DrawSymbol(dc, p.symbol, p.box);
            const fw::Rect ink = dc.InkBounds();
            ASSERT_FALSE(ink.IsEmpty()) << "group " << p.group;
            ASSERT_TRUE(ink.left >= 0 && ink.top >= 0 && ink.right <= d.width && ink.bottom <= d.height);
            int inked = 0, own = 0;
            for (int y = ink.top; y < ink.bottom; ++y)
                for (int x = ink.left; x < ink.right; ++x) {
                    if (!Ink(alone, x, y)) continue;
                    const int at = groupAt(x, y);
                    ++inked;
                    own += at == p.group ? 1 : 0;
                    ASSERT_TRUE(at == p.group || at < 0) << "ink of group " << p.group << " at " << x << "," << y;
                }
            EXPECT_GE(own * 2, inked) << "group " << p.group;
        }
        fw::Image img;
        ASSERT_TRUE(LoadSectionPicture(id, img));
        for (const fw::Rect& s : d.strips)
            for (int y = std::max(0, s.top); y < std::min(img.Height(), s.bottom); ++y)
                for (int x = std::max(0, s.left); x < std::min(img.Width(), s.right); ++x)
                    ASSERT_FALSE(Ink(img, x, y)) << "strip " << s.left << "," << s.top << " at " << x << "," << y;
    }
}

// Every named terminal of a symbol lies on the symbol's own ink, lying and
// standing: a wire ending there meets the drawing, not the air beside it.
TEST(Pictures, TerminalsLieOnTheSymbolsInk) {
    const Symbol symbols[] = {Symbol::Resistor, Symbol::Capacitor, Symbol::PolarCapacitor, Symbol::Inductor,
                              Symbol::Transformer, Symbol::ResetTransformer, Symbol::CurrentTransformer,
                              Symbol::Diode, Symbol::Led, Symbol::PhotoTransistor, Symbol::Mosfet, Symbol::Bjt,
                              Symbol::Amplifier, Symbol::OpAmp, Symbol::Comparator, Symbol::VoltageSource,
                              Symbol::CurrentSource, Symbol::Clock, Symbol::Switch, Symbol::Block};
    const fw::Rect boxes[] = {{10, 10, 70, 40}, {10, 10, 40, 110}};
    for (Symbol s : symbols)
        for (const fw::Rect& box : boxes) {
            SCOPED_TRACE(static_cast<int>(s));
            fw::Image img(90, 130, kWhite);
            schem::ImageCanvas dc(img);
            schem::DrawSymbol(dc, s, box);
            for (const schem::Pin& pin : schem::SymbolPins(s, box)) {
                bool near = false;
                for (int dy = -1; dy <= 1; ++dy)
                    for (int dx = -1; dx <= 1; ++dx) near = near || Ink(img, pin.at.x + dx, pin.at.y + dy);
                EXPECT_TRUE(near) << "terminal at " << pin.at.x << "," << pin.at.y << " in box " << box.Width() << "x"
                                  << box.Height();
                EXPECT_TRUE(box.PtInRect(pin.at));
            }
        }
}

// Every picture is wired from its connections, reaches every terminal it
// names, and each wire ends on a part's terminal, a junction, a ground or a
// terminal of the section: no loose ends.
TEST(Pictures, ConnectedPicturesHaveNoLooseWires) {
    for (UINT id : AllPictureIds()) {
        SCOPED_TRACE(id);
        PictureDescription d;
        ASSERT_TRUE(DescribePicture(id, d));
        EXPECT_TRUE(d.connected);
        EXPECT_EQ(d.unrouted, 0);
        std::vector<fw::Point> ends = d.junctions;
        ends.insert(ends.end(), d.grounds.begin(), d.grounds.end());
        ends.insert(ends.end(), d.marks.begin(), d.marks.end());
        for (const PlacedSymbol& p : d.symbols)
            for (const schem::Pin& pin : schem::SymbolPins(p.symbol, p.box)) ends.push_back(pin.at);
        auto known = [&ends](fw::Point e) {
            for (fw::Point k : ends)
                if (k == e) return true;
            return false;
        };
        for (const auto& w : d.wires) {
            ASSERT_GE(w.size(), 2u);
            EXPECT_TRUE(known(w.front())) << "wire from " << w.front().x << "," << w.front().y;
            EXPECT_TRUE(known(w.back())) << "wire to " << w.back().x << "," << w.back().y;
        }
    }
}

bool OnSegment(fw::Point q, fw::Point a, fw::Point b) {
    return q.x >= std::min(a.x, b.x) && q.x <= std::max(a.x, b.x) && q.y >= std::min(a.y, b.y) &&
           q.y <= std::max(a.y, b.y) && (a.x == b.x || a.y == b.y);
}
bool OnWire(fw::Point q, const std::vector<fw::Point>& w) {
    for (size_t i = 0; i + 1 < w.size(); ++i)
        if (OnSegment(q, w[i], w[i + 1])) return true;
    return false;
}

// The drawing joins what the connections join and nothing else: each net's
// wires and part terminals hang together (grounds count as one node), and a
// wire touches another net's wire or terminal only where both nets are
// ground. A hand-drawn coordinate gone stale shows here as a broken or a
// shorted net.
TEST(Pictures, WiresJoinExactlyTheirNets) {
    for (UINT id : AllPictureIds()) {
        SCOPED_TRACE(id);
        PictureDescription d;
        ASSERT_TRUE(DescribePicture(id, d));
        if (!d.connected) continue;
        const size_t wires = d.wires.size(), ground = wires;
        std::vector<size_t> parent(wires + 1);
        for (size_t i = 0; i < parent.size(); ++i) parent[i] = i;
        std::function<size_t(size_t)> root = [&](size_t i) { return parent[i] == i ? i : parent[i] = root(parent[i]); };
        auto join = [&](size_t a, size_t b) { parent[root(a)] = root(b); };
        auto isGround = [&](int net) { return net >= 0 && size_t(net) < d.nets.size() && d.nets[size_t(net)].ground; };
        for (size_t a = 0; a < wires; ++a) {
            const auto& w = d.wires[a];
            for (fw::Point g : d.grounds)
                if (w.front() == g || w.back() == g) {
                    join(a, ground);
                    EXPECT_TRUE(isGround(d.wireNets[a])) << "net " << d.wireNets[a] << " grounded at " << g.x << "," << g.y;
                }
            for (size_t b = 0; b < wires; ++b) {
                if (a == b || !(OnWire(w.front(), d.wires[b]) || OnWire(w.back(), d.wires[b]))) continue;
                join(a, b);
                const int na = d.wireNets[a], nb = d.wireNets[b];
                EXPECT_TRUE(na == nb || (isGround(na) && isGround(nb)))
                    << "nets " << na << " and " << nb << " touch near " << w.front().x << "," << w.front().y;
            }
        }
        ASSERT_FALSE(d.nets.empty());
        for (size_t n = 0; n < d.nets.size(); ++n) {
            std::vector<size_t> pieces;
            for (size_t w = 0; w < wires; ++w)
                if (d.wireNets[w] == int(n)) pieces.push_back(w);
            if (d.nets[n].ground) pieces.push_back(ground);
            for (fw::Point t : d.nets[n].terminals) {
                bool reached = false;
                for (size_t w = 0; w < wires; ++w) {
                    if (!OnWire(t, d.wires[w])) continue;
                    if (d.wireNets[w] == int(n)) reached = true, pieces.push_back(w);
                    else ADD_FAILURE() << "net " << d.wireNets[w] << " runs through net " << n << "'s terminal at "
                                       << t.x << "," << t.y;
                }
                EXPECT_TRUE(reached) << "net " << n << " misses its terminal at " << t.x << "," << t.y;
            }
            for (size_t k : pieces) EXPECT_EQ(root(k), root(pieces[0])) << "net " << n << " falls apart";
        }
    }
}

// A dot stands only where wires branch: three or more ways meet at it, a
// terminal of a part or of the section counting as one. A dot where one wire
// merely goes on reads as a connection that is not there.
TEST(Pictures, JunctionDotsStandWhereWiresBranch) {
    for (UINT id : AllPictureIds()) {
        SCOPED_TRACE(id);
        PictureDescription d;
        ASSERT_TRUE(DescribePicture(id, d));
        std::vector<fw::Point> pins = d.marks;
        pins.insert(pins.end(), d.grounds.begin(), d.grounds.end());
        for (const PlacedSymbol& p : d.symbols)
            for (const schem::Pin& pin : schem::SymbolPins(p.symbol, p.box)) pins.push_back(pin.at);
        for (fw::Point j : d.junctions) {
            // Each segment through the dot two, each ending at it one.
            int ways = std::find(pins.begin(), pins.end(), j) != pins.end() ? 1 : 0;
            for (const auto& w : d.wires)
                for (size_t i = 0; i + 1 < w.size(); ++i)
                    if (OnSegment(j, w[i], w[i + 1])) ways += (w[i] == j ? 1 : 0) + (w[i + 1] == j ? 1 : 0) +
                                                             (!(w[i] == j) && !(w[i + 1] == j) ? 2 : 0);
            EXPECT_GE(ways, 3) << "dot at " << j.x << "," << j.y;
        }
    }
}

// A lead a pixel off the wiring grid still runs straight to the section's
// edge, without a step where it reaches the grid: the resonant reset
// picture's transformer top (lead at y 33) and switch gate (y 255).
TEST(Pictures, LeadsOffTheGridRunStraight) {
    const struct {
        UINT picture;
        int group, terminal;
    } cases[] = {{434, 0, 0}, {434, 4, 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.picture << " group " << c.group);
        PictureDescription d;
        ASSERT_TRUE(DescribePicture(c.picture, d));
        const PlacedSymbol& p = d.symbols[size_t(c.group)];
        ASSERT_EQ(p.group, c.group);
        const fw::Point lead = schem::SymbolPins(p.symbol, p.box)[size_t(c.terminal)].at;
        int wires = 0;
        for (const auto& w : d.wires)
            if (w.front() == lead || w.back() == lead) {
                ++wires;
                ASSERT_EQ(w.size(), 2u) << "bends at " << w[1].x << "," << w[1].y;
                EXPECT_EQ(w[0].y, w[1].y);
            }
        EXPECT_EQ(wires, 1);
    }
}

// A terminal of the section joins only its own net's wire: no wire of
// another net runs through it, or the two would read as one.
TEST(Pictures, SectionTerminalsLieOnTheirOwnNetOnly) {
    for (UINT id : AllPictureIds()) {
        SCOPED_TRACE(id);
        PictureDescription d;
        ASSERT_TRUE(DescribePicture(id, d));
        for (fw::Point m : d.marks) {
            std::vector<int> on;  // the nets of the wires through or to it
            for (size_t w = 0; w < d.wires.size(); ++w)
                for (size_t i = 0; i + 1 < d.wires[w].size(); ++i) {
                    const fw::Point a = d.wires[w][i], b = d.wires[w][i + 1];
                    if (m.x >= std::min(a.x, b.x) && m.x <= std::max(a.x, b.x) && m.y >= std::min(a.y, b.y) &&
                        m.y <= std::max(a.y, b.y))
                        on.push_back(d.wireNets[w]);
                }
            ASSERT_FALSE(on.empty()) << "terminal at " << m.x << "," << m.y;
            for (int net : on) EXPECT_EQ(net, on[0]) << "two nets meet at the terminal at " << m.x << "," << m.y;
        }
    }
}

// Where wires of different nets cross, the wire across hops over the other
// (a gap either side of the wire down, an arch above it): no crossing reads
// as a connection, and a wire never hops its own net.
TEST(Pictures, WiresOfDifferentNetsHopOverEachOther) {
    struct Segment {
        fw::Point a, b;  // left to right, or top to bottom
        int net;
    };
    int crossings = 0;
    for (UINT id : AllPictureIds()) {
        SCOPED_TRACE(id);
        PictureDescription d;
        ASSERT_TRUE(DescribePicture(id, d));
        fw::Image img;
        ASSERT_TRUE(LoadSectionPicture(id, img));
        ASSERT_EQ(d.wireNets.size(), d.wires.size());
        std::vector<Segment> across, down;
        for (size_t w = 0; w < d.wires.size(); ++w)
            for (size_t i = 0; i + 1 < d.wires[w].size(); ++i) {
                const fw::Point a = d.wires[w][i], b = d.wires[w][i + 1];
                if (a.y == b.y) across.push_back({{std::min(a.x, b.x), a.y}, {std::max(a.x, b.x), a.y}, d.wireNets[w]});
                else if (a.x == b.x) down.push_back({{a.x, std::min(a.y, b.y)}, {a.x, std::max(a.y, b.y)}, d.wireNets[w]});
            }
        for (const Segment& h : across)
            for (const Segment& v : down) {
                if (v.a.x <= h.a.x || v.a.x >= h.b.x || h.a.y <= v.a.y || h.a.y >= v.b.y) continue;
                const int x = v.a.x, y = h.a.y;
                if (h.net == v.net) {
                    ADD_FAILURE() << "a net crosses itself at " << x << "," << y;
                    continue;
                }
                ++crossings;
                EXPECT_FALSE(Ink(img, x - 2, y) || Ink(img, x + 2, y)) << "no gap at " << x << "," << y;
                EXPECT_TRUE(Ink(img, x, y - 4)) << "no arch at " << x << "," << y;
            }
    }
    EXPECT_GT(crossings, 0);  // the check has crossings to look at
}

// With PQ_CONTACT_SHEET set to a file name, writes every picture with its
// label strips outlined into one PPM, for looking at, and prints each
// picture's wiring figures (bends, wire length in pixels, hops) to compare
// one wiring with another.
TEST(Pictures, ContactSheet) {
    const char* path = std::getenv("PQ_CONTACT_SHEET");
    if (!path) GTEST_SKIP() << "PQ_CONTACT_SHEET not set";
    for (UINT id : AllPictureIds()) {
        PictureDescription d;
        DescribePicture(id, d);
        int corners = 0, length = 0;
        for (const auto& w : d.wires) {
            corners += w.size() > 2 ? static_cast<int>(w.size()) - 2 : 0;
            for (size_t i = 0; i + 1 < w.size(); ++i) length += std::abs(w[i + 1].x - w[i].x) + std::abs(w[i + 1].y - w[i].y);
        }
        std::printf("picture %u: corners=%d length=%d hops=%zu\n", id, corners, length, d.hops.size());
    }
    const int cellW = 760, cellH = 540, cols = 4;
    const std::vector<UINT> ids = AllPictureIds();
    const int rows = static_cast<int>((ids.size() + cols - 1) / cols);
    fw::Image sheet(cellW * cols, cellH * rows, 0xFFC0C0C0u);
    for (size_t i = 0; i < ids.size(); ++i) {
        fw::Image img;
        ASSERT_TRUE(LoadSectionPicture(ids[i], img));
        PictureDescription d;
        DescribePicture(ids[i], d);
        schem::ImageCanvas dc(img);
        dc.SelectPen({fw::Pen::Solid, 1, {255, 160, 160}});
        dc.SelectBrush({true});
        for (const fw::Rect& s : d.strips) dc.Rectangle(s.left, s.top, s.right, s.bottom);
        const int x0 = static_cast<int>(i % cols) * cellW + 4, y0 = static_cast<int>(i / cols) * cellH + 4;
        for (int y = 0; y < img.Height() && y < cellH - 8; ++y)
            for (int x = 0; x < img.Width() && x < cellW - 8; ++x) sheet.SetPixel(x0 + x, y0 + y, img.Pixel(x, y));
    }
    FILE* f = std::fopen(path, "wb");
    ASSERT_NE(f, nullptr);
    std::fprintf(f, "P6\n%d %d\n255\n", sheet.Width(), sheet.Height());
    for (uint32_t p : sheet.Pixels()) {
        const unsigned char rgb[3] = {static_cast<unsigned char>(p >> 16), static_cast<unsigned char>(p >> 8),
                                      static_cast<unsigned char>(p)};
        std::fwrite(rgb, 1, 3, f);
    }
    std::fclose(f);
}

}  // namespace
