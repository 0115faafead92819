#include "schematics/Pictures.h"

#include <algorithm>
#include <climits>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "circuit/CtlSec.h"
#include "circuit/InCap.h"
#include "circuit/LdNet.h"
#include "circuit/LinFil.h"
#include "circuit/LinRec.h"
#include "circuit/OptoIso.h"
#include "circuit/OutChk.h"
#include "circuit/OutFil1.h"
#include "circuit/OutFil2.h"
#include "circuit/PriSec.h"
#include "circuit/SecSec.h"
#include "circuit/VErAmp.h"

#include "schematics/SchemBase.h"
#include "schematics/Symbols.h"

namespace {

constexpr int kMargin = 14;
constexpr int kStep = 4;  // the wiring grid
constexpr int kMinWidth = 300;

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
};

struct PictureNets;
const PictureNets* FindPictureNets(UINT pictureId);
void WireNets(Layout& lay, PictureDescription& d, int maxBottom, const PictureNets& nets);

// A fresh section of a kind, its parts at their presets: what a label
// shows when the dialog first opens.
std::unique_ptr<CSection> PresetSection(SectionKind kind) {
    std::unique_ptr<CSection> s;
    switch (kind) {
    case SectionKind::LineFilter: s = std::make_unique<CLineFilter>(); break;
    case SectionKind::LineRectifier: s = std::make_unique<CLineRectifier>(); break;
    case SectionKind::InputCapacitor: s = std::make_unique<CInputCapacitor>(); break;
    case SectionKind::PrimarySection: s = std::make_unique<CPrimarySection>(); break;
    case SectionKind::SecondarySection: s = std::make_unique<CSecondarySection>(); break;
    case SectionKind::OutputChoke: s = std::make_unique<COutputChoke>(); break;
    case SectionKind::FirstStageOutputFilter: s = std::make_unique<C1StgOutputFilter>(); break;
    case SectionKind::SecondStageOutputFilter: s = std::make_unique<C2StgOutputFilter>(); break;
    case SectionKind::LoadNetwork: s = std::make_unique<CLoadNetwork>(); break;
    case SectionKind::VoltageErrorAmp: s = std::make_unique<CVoltageErrorAmp>(); break;
    case SectionKind::OptoIsolator: s = std::make_unique<COptoIsolator>(); break;
    case SectionKind::ControlSection: s = std::make_unique<CControlSection>(); break;
    }
    return s;
}

// The width of a text in the label font (Arial, 14 pixels), from the
// font's advance widths, rounded up.
int LabelWidth(const std::string& text) {
    int thousandths = 0;  // of the em
    for (char c : text) {
        if (c >= '0' && c <= '9') thousandths += 556;
        else if (c == ' ' || c == '.' || c == 't' || c == 'f' || c == 'I') thousandths += 278;
        else if (c == 'i' || c == 'j' || c == 'l') thousandths += 222;
        else if (c == '-' || c == 'r') thousandths += 333;
        else if (c == '+') thousandths += 584;
        else if (c == 'm' || c == 'M') thousandths += 833;
        else if (c == 'w' || c == 'W') thousandths += 944;
        else if (c == 's' || c == 'v' || c == 'k' || c == 'y' || c == 'z' || c == 'x' || c == 'c') thousandths += 500;
        else if (c >= 'a' && c <= 'z') thousandths += 556;
        else thousandths += 722;
    }
    return (thousandths * 14 + 999) / 1000;
}

// Where a label's text falls: from its rectangle's top-left corner, as wide
// as the preset value's text with room for a minus sign and a longer name,
// and the font's height.
constexpr int kLabelHeight = 16;
fw::Rect LabelRoom(const fw::Rect& at, const std::string& preset) {
    return {at.left, at.top, at.left + LabelWidth(preset) + 6, at.top + kLabelHeight};
}

fw::Rect Union(const fw::Rect& a, const fw::Rect& b) {
    return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right), std::max(a.bottom, b.bottom)};
}

// Where wires of different nets cross: the wire across hops over the one
// going down, so that no crossing reads as a connection.
void FindHops(PictureDescription& d) {
    struct Segment {
        fw::Point a, b;  // left to right, or top to bottom
        int net;
    };
    std::vector<Segment> across, down;
    for (size_t w = 0; w < d.wires.size(); ++w)
        for (size_t i = 0; i + 1 < d.wires[w].size(); ++i) {
            const fw::Point a = d.wires[w][i], b = d.wires[w][i + 1];
            if (a.y == b.y && a.x != b.x) across.push_back({{std::min(a.x, b.x), a.y}, {std::max(a.x, b.x), a.y}, d.wireNets[w]});
            else if (a.x == b.x && a.y != b.y) down.push_back({{a.x, std::min(a.y, b.y)}, {a.x, std::max(a.y, b.y)}, d.wireNets[w]});
        }
    for (const Segment& h : across)
        for (const Segment& v : down)
            if (h.net != v.net && v.a.x > h.a.x && v.a.x < h.b.x && h.a.y > v.a.y && h.a.y < v.b.y)
                d.hops.push_back({{v.a.x, h.a.y}, std::max(h.a.x + 1, v.a.x - 3), std::min(h.b.x, v.a.x + 4)});
}

// A dot says that three or more wires meet. The wiring lays a terminal's
// stub and the route on from it as two wires of one net; where nothing else
// meets their common end, they are one wire and carry no dot there.
void JoinWiresThroughBareJunctions(PictureDescription& d) {
    std::vector<fw::Point> fixed = d.marks;
    fixed.insert(fixed.end(), d.grounds.begin(), d.grounds.end());
    for (const PlacedSymbol& p : d.symbols)
        for (const schem::Pin& pin : schem::SymbolPins(p.symbol, p.box)) fixed.push_back(pin.at);
    auto on = [](fw::Point q, fw::Point a, fw::Point b) {
        return q.x >= std::min(a.x, b.x) && q.x <= std::max(a.x, b.x) && q.y >= std::min(a.y, b.y) && q.y <= std::max(a.y, b.y);
    };
    for (size_t k = 0; k < d.junctions.size(); ++k) {
        const fw::Point j = d.junctions[k];
        if (std::find(fixed.begin(), fixed.end(), j) != fixed.end()) continue;
        std::vector<size_t> ending;
        bool passed = false;
        for (size_t w = 0; w < d.wires.size(); ++w) {
            const auto& wire = d.wires[w];
            if (wire.front() == j) ending.push_back(w);
            if (wire.back() == j) ending.push_back(w);
            for (size_t i = 0; i + 1 < wire.size(); ++i)
                passed = passed || (on(j, wire[i], wire[i + 1]) && !(i == 0 && wire[i] == j) &&
                                    !(i + 2 == wire.size() && wire[i + 1] == j));
        }
        if (passed || ending.size() != 2 || ending[0] == ending[1] || d.wireNets[ending[0]] != d.wireNets[ending[1]]) continue;
        std::vector<fw::Point> a = d.wires[ending[0]], b = d.wires[ending[1]];
        if (!(a.back() == j)) std::reverse(a.begin(), a.end());
        if (!(b.front() == j)) std::reverse(b.begin(), b.end());
        a.insert(a.end(), b.begin() + 1, b.end());
        // Keep only the corners (and the ends of a wire doubling back on itself).
        std::vector<fw::Point> joined;
        for (size_t i = 0; i < a.size(); ++i) {
            if (i > 0 && i + 1 < a.size()) {
                const fw::Point p = a[i - 1], q = a[i], r = a[i + 1];
                if (((p.x == q.x && q.x == r.x) || (p.y == q.y && q.y == r.y)) && on(q, p, r)) continue;
            }
            joined.push_back(a[i]);
        }
        d.wires[ending[0]] = joined;
        d.wires.erase(d.wires.begin() + static_cast<long>(ending[1]));
        d.wireNets.erase(d.wireNets.begin() + static_cast<long>(ending[1]));
        d.junctions.erase(std::remove(d.junctions.begin(), d.junctions.end(), j), d.junctions.end());
        k = static_cast<size_t>(-1);  // the junctions after it moved up
    }
    // Nor where one wire ends on a terminal with nothing else there.
    auto ways = [&](fw::Point j) {
        int n = std::find(fixed.begin(), fixed.end(), j) != fixed.end() ? 1 : 0;
        for (const auto& wire : d.wires)
            for (size_t i = 0; i + 1 < wire.size(); ++i)
                if (on(j, wire[i], wire[i + 1])) n += wire[i] == j || wire[i + 1] == j ? 1 : 2;
        return n;
    };
    d.junctions.erase(std::remove_if(d.junctions.begin(), d.junctions.end(), [&](fw::Point j) { return ways(j) < 3; }),
                      d.junctions.end());
}

// A part's lead lies a pixel or two off the wiring grid, so a wire from it
// steps sideways where it reaches the grid. Where the run after the step can
// move across onto the lead's line, it does and the step goes: its far end
// turns into the next run of the wire or is a section terminal, and every
// other wire ending on it leaves it square.
void StraightenSteps(PictureDescription& d) {
    std::vector<fw::Point> pins;
    for (const PlacedSymbol& p : d.symbols)
        for (const schem::Pin& pin : schem::SymbolPins(p.symbol, p.box)) pins.push_back(pin.at);
    auto on = [](fw::Point q, fw::Point a, fw::Point b) {
        return q.x >= std::min(a.x, b.x) && q.x <= std::max(a.x, b.x) && q.y >= std::min(a.y, b.y) && q.y <= std::max(a.y, b.y);
    };
    auto sign = [](int v) { return (v > 0) - (v < 0); };
    // A wire that runs a pixel or two past its corner and back has that tip
    // cut, where nothing else meets it.
    for (size_t w = 0; w < d.wires.size(); ++w) {
        std::vector<fw::Point>& wire = d.wires[w];
        for (size_t i = 1; i + 1 < wire.size(); ++i) {
            const fw::Point p = wire[i - 1], q = wire[i], r = wire[i + 1];
            const bool back = ((p.x == q.x && q.x == r.x) || (p.y == q.y && q.y == r.y)) && !on(q, p, r) && on(p, q, r);
            if (!back || std::abs(q.x - p.x) + std::abs(q.y - p.y) > 2) continue;
            bool bare = std::find(d.junctions.begin(), d.junctions.end(), q) == d.junctions.end() &&
                        std::find(pins.begin(), pins.end(), q) == pins.end() &&
                        std::find(d.marks.begin(), d.marks.end(), q) == d.marks.end() &&
                        std::find(d.grounds.begin(), d.grounds.end(), q) == d.grounds.end();
            for (size_t v = 0; v < d.wires.size(); ++v)
                if (v != w) bare = bare && !(d.wires[v].front() == q) && !(d.wires[v].back() == q);
            if (!bare) continue;
            wire.erase(wire.begin() + static_cast<long>(i));
            // p may now stand in a straight run.
            if (i > 1 && ((wire[i - 2].x == p.x && p.x == r.x) || (wire[i - 2].y == p.y && p.y == r.y)) && on(p, wire[i - 2], r))
                wire.erase(wire.begin() + static_cast<long>(i) - 1);
            i = 0;
        }
    }
    // From either end: a wire that reaches a part's lead at its far end has
    // its step moved from that side.
    for (int side = 0; side < 4; ++side)
    for (size_t w = 0; w < d.wires.size(); ++w) {
        std::reverse(d.wires[w].begin(), d.wires[w].end());
        for (size_t i = 1; i + 2 < d.wires[w].size(); ++i) {
            std::vector<fw::Point>& wire = d.wires[w];
            const fw::Point a = wire[i - 1], b = wire[i], c = wire[i + 1], e = wire[i + 2];
            const fw::Point delta{b.x - c.x, b.y - c.y};
            if (std::abs(delta.x) + std::abs(delta.y) > 2 || (delta.x != 0 && delta.y != 0) || (delta.x == 0 && delta.y == 0))
                continue;
            const bool runsDown = delta.y == 0;  // the step goes across, the runs down
            if (runsDown ? !(a.x == b.x && c.x == e.x && sign(b.y - a.y) == sign(e.y - c.y))
                         : !(a.y == b.y && c.y == e.y && sign(b.x - a.x) == sign(e.x - c.x)))
                continue;
            const bool last = i + 3 == wire.size();
            if (std::find(pins.begin(), pins.end(), e) != pins.end()) continue;
            const fw::Point moved{e.x + delta.x, e.y + delta.y};
            // A last run may end on a terminal of the section or a ground of
            // its own, which move with it, or inside a wire that it meets
            // square and still meets moved.
            const bool ownEnd = std::find(d.marks.begin(), d.marks.end(), e) != d.marks.end() ||
                                std::find(d.grounds.begin(), d.grounds.end(), e) != d.grounds.end();
            size_t into = d.wires.size();
            for (size_t v = 0; v < d.wires.size() && last && !ownEnd; ++v)
                for (size_t k = 0; v != w && k + 1 < d.wires[v].size(); ++k) {
                    const fw::Point p = d.wires[v][k], q = d.wires[v][k + 1];
                    if (on(e, p, q) && on(moved, p, q) && !(e == p) && !(e == q) && !(moved == p) && !(moved == q) &&
                        (runsDown ? p.y == q.y : p.x == q.x))
                        into = v;
                }
            if (last && !ownEnd && into == d.wires.size()) continue;
            bool movable = true;
            std::vector<std::pair<size_t, bool>> ends;  // other wires ending on the run: which, at its back
            for (size_t v = 0; v < d.wires.size() && movable; ++v) {
                if (v == w || v == into) continue;
                const std::vector<fw::Point>& o = d.wires[v];
                for (size_t k = 1; k + 1 < o.size(); ++k) movable = movable && !on(o[k], c, e);
                for (const bool back : {false, true}) {
                    const fw::Point p = back ? o.back() : o.front(), q = back ? o[o.size() - 2] : o[1];
                    if (!on(p, c, e)) continue;
                    // It must leave the run square, and not from a part's terminal.
                    movable = movable && std::find(pins.begin(), pins.end(), p) == pins.end() &&
                              (runsDown ? p.y == q.y : p.x == q.x) && !(fw::Point{p.x + delta.x, p.y + delta.y} == q);
                    ends.push_back({v, back});
                }
            }
            for (fw::Point g : d.grounds) movable = movable && (!on(g, c, e) || (last && g == e));
            for (fw::Point m : d.marks) movable = movable && (!on(m, c, e) || (last && m == e));
            if (!last) movable = movable && !(moved == wire[i + 3]);
            if (!movable) continue;
            for (fw::Point& m : d.marks)
                if (last && m == e) m = moved;
            for (fw::Point& g : d.grounds)
                if (last && g == e) g = moved;
            for (fw::Point& j : d.junctions)
                if (on(j, c, e)) j = {j.x + delta.x, j.y + delta.y};
            for (const auto& [v, back] : ends) {
                fw::Point& p = back ? d.wires[v].back() : d.wires[v].front();
                p = {p.x + delta.x, p.y + delta.y};
            }
            wire[i + 2] = moved;
            wire.erase(wire.begin() + static_cast<long>(i) + 1);
            // The step's two corners are gone: the lead's run goes straight on.
            if (runsDown ? a.x == wire[i + 1].x : a.y == wire[i + 1].y) wire.erase(wire.begin() + static_cast<long>(i));
            i = 0;
        }
    }
}

void Describe(const SchematicClass& cls, const HotSpotList& list, PictureDescription& d) {
    Layout lay{d, {}, {}};
    std::unique_ptr<CSection> preset = PresetSection(cls.kind);
    if (preset) {
        preset->SetTopology(cls.topology);
        preset->SetDefaults();
        if (cls.extraDefaults) cls.extraDefaults(*preset);
    }
    std::vector<std::string> texts;
    int rec = 0;
    for (size_t g = 0; g < list.groups.size(); ++g)
        for (const fw::Rect& r : list.groups[g]) {
            lay.all.push_back(ToPicture(r));
            lay.groupOf.push_back(static_cast<int>(g));
            for (const SchematicLabel& l : cls.labels)
                if (l.record == rec) {
                    d.strips.push_back(ToPicture(r));
                    texts.push_back(preset ? l.text(*preset) : "");
                    break;
                }
            ++rec;
        }
    // The strips with the text they hold, where the dialog paints it.
    std::vector<int> widths;
    for (const std::string& t : texts) widths.push_back(LabelWidth(t));
    const std::vector<int> starts = LabelStarts(d.strips, widths, 2);
    std::vector<fw::Rect> rooms;
    for (size_t i = 0; i < d.strips.size(); ++i) {
        const fw::Rect& s = d.strips[i];
        rooms.push_back(Union(Union(s, LabelRoom(s, texts[i])), LabelRoom({starts[i], s.top, s.right, s.bottom}, texts[i])));
    }
    int maxRight = 0, maxBottom = 0;
    for (const fw::Rect& r : lay.all) {
        maxRight = std::max(maxRight, r.right);
        maxBottom = std::max(maxBottom, r.bottom);
    }
    for (const fw::Rect& r : rooms) {
        maxRight = std::max(maxRight, r.right);
        maxBottom = std::max(maxBottom, r.bottom);
    }
    // The dialog is as wide as its picture: wide enough for its buttons too.
    d.width = std::max(maxRight + kMargin, kMinWidth);
    d.height = maxBottom + 3 * kMargin;

    // A part's box kept off every label strip, off the rest of each label's
    // text and off the rectangles of the parts before it.
    auto offLabels = [&](fw::Rect box, size_t g) {
        for (const fw::Rect& s : d.strips) {
            if (!Intersects(box, {s.left, s.top, s.right + 2, s.bottom + 4})) continue;
            const int below = box.bottom - s.top, above = s.bottom + 4 - box.top;
            if (below <= above) box.bottom = std::min(box.bottom, s.top - 3);  // room for a wire above the label
            else box.top = std::max(box.top, s.bottom + 4);
        }
        // Cut on the side that loses least.
        for (const fw::Rect& s : rooms) {
            if (!Intersects(box, s)) continue;
            fw::Rect cut[4] = {box, box, box, box};
            cut[0].bottom = s.top - 2;
            cut[1].top = s.bottom + 2;
            cut[2].right = s.left - 2;
            cut[3].left = s.right + 2;
            const fw::Rect* best = nullptr;
            for (const fw::Rect& c : cut)
                if (c.Width() >= 8 && c.Height() >= 8 && (!best || c.Width() * c.Height() > best->Width() * best->Height()))
                    best = &c;
            if (best) box = *best;
        }
        box = {box.left + 1, box.top + 1, box.right - 1, box.bottom - 1};
        // Off the rectangles of the parts before it in the list, which
        // would take a click there.
        for (size_t h = 0; h < g; ++h)
            for (const fw::Rect& r : list.groups[h]) {
                const fw::Rect o = ToPicture(r);
                if (!Intersects(box, o)) continue;
                fw::Rect cut[4] = {box, box, box, box};
                cut[0].bottom = o.top;
                cut[1].top = o.bottom;
                cut[2].right = o.left;
                cut[3].left = o.right;
                const fw::Rect* best = nullptr;
                for (const fw::Rect& c : cut)
                    if (c.Width() >= 3 && c.Height() >= 3 && (!best || c.Width() * c.Height() > best->Width() * best->Height()))
                        best = &c;
                box = best ? *best : fw::Rect{};
            }
        return box;
    };
    // Each part in its group's first rectangle; where the group's other
    // rectangles beside it leave a roomier box, in that: a click anywhere on
    // the part still opens it.
    for (size_t g = 0; g < list.groups.size() && g < cls.groups.size(); ++g) {
        std::vector<fw::Rect> own;
        for (const fw::Rect& r : list.groups[g]) {
            const fw::Rect p = ToPicture(r);
            bool strip = false;
            for (const fw::Rect& s : d.strips) strip = strip || (s.left == p.left && s.top == p.top && s.right == p.right && s.bottom == p.bottom);
            if (!strip) own.push_back(p);
        }
        std::vector<fw::Rect> candidates = {ToPicture(list.groups[g][0])};
        for (size_t i = 0; i < own.size(); ++i) {
            if (i > 0) candidates.push_back(own[i]);
            for (size_t j = i + 1; j < own.size(); ++j) {
                // The largest boxes inside two rectangles that touch.
                const fw::Rect& a = own[i];
                const fw::Rect& b = own[j];
                if (a.left <= b.right && b.left <= a.right)
                    candidates.push_back({std::max(a.left, b.left), std::min(a.top, b.top), std::min(a.right, b.right), std::max(a.bottom, b.bottom)});
                if (a.top <= b.bottom && b.top <= a.bottom)
                    candidates.push_back({std::min(a.left, b.left), std::max(a.top, b.top), std::max(a.right, b.right), std::min(a.bottom, b.bottom)});
            }
        }
        const Symbol symbol = cls.groups[g].symbol;
        // A round or boxed symbol grows with its short side; the others with their area.
        const bool round = symbol == Symbol::VoltageSource || symbol == Symbol::CurrentSource || symbol == Symbol::Clock;
        const bool triangle = symbol == Symbol::OpAmp || symbol == Symbol::Comparator || symbol == Symbol::Amplifier;
        auto size = [round, triangle](const fw::Rect& b) {
            if (b.Width() < 3 || b.Height() < 3) return 0;
            if (triangle && b.Width() > 2 * b.Height()) return 0;  // too flat: its inputs crowd together
            return round ? std::min(b.Width(), b.Height()) : b.Width() * b.Height();
        };
        fw::Rect box = offLabels(candidates[0], g);
        const int firstSize = size(box);
        for (size_t c = 1; c < candidates.size(); ++c) {
            const fw::Rect& k = candidates[c];
            if (k.Width() < 3 || k.Height() < 3) continue;
            const fw::Rect b = offLabels(k, g);
            if (size(b) * 3 > firstSize * 4 && size(b) > size(box)) box = b;
        }
        if (box.Width() < 3 || box.Height() < 3) continue;
        // A small two-terminal part grows about its middle into the free room
        // beside it: along its leads, or a capacitor's plates across them.
        // It stays off every other part's rectangles and every label.
        const bool lengthwise = symbol == Symbol::Resistor || symbol == Symbol::Inductor || symbol == Symbol::Diode || symbol == Symbol::Led;
        const bool plates = symbol == Symbol::Capacitor || symbol == Symbol::PolarCapacitor;
        // Whether a grown box, with its margin m, keeps off the other parts' rectangles, the
        // label rooms and the parts already placed.
        const auto Clear = [&](const fw::Rect& m) {
            for (size_t h = 0; h < list.groups.size(); ++h)
                if (h != g)
                    for (const fw::Rect& r : list.groups[h])
                        if (Intersects(m, ToPicture(r))) return false;
            for (const fw::Rect& r : rooms)
                if (Intersects(m, r)) return false;
            for (const PlacedSymbol& q : d.symbols)
                if (Intersects(m, q.box)) return false;
            return true;
        };
        if (((lengthwise && std::max(box.Width(), box.Height()) < 48) || plates) ) {
            const bool vertical = schem::Upright(symbol, box) == lengthwise;  // the way it grows
            const int span = vertical ? box.Height() : box.Width();
            const int most = std::min(24, plates ? std::max(0, 16 - (vertical ? box.Height() : box.Width()) / 2) : span / 4);
            auto free = [&](const fw::Rect& b) {
                if (b.left < 2 * kStep || b.top < 2 * kStep || b.right > d.width - 2 * kStep || b.bottom > maxBottom) return false;
                // Room for a wire to turn beyond its new ends; its sides were kept clear already.
                const fw::Rect m = vertical ? fw::Rect{b.left, b.top - 16, b.right, b.bottom + 16}
                                            : fw::Rect{b.left - 16, b.top, b.right + 16, b.bottom};
                return Clear(m);
            };
            for (int grow = 2; grow <= most; grow += 2) {
                const fw::Rect b = vertical ? fw::Rect{box.left, box.top - 2, box.right, box.bottom + 2}
                                            : fw::Rect{box.left - 2, box.top, box.right + 2, box.bottom};
                if (!free(b)) break;
                box = b;
            }
        }
        if (symbol == Symbol::Mosfet && box.Height() < 28) {
            // A switch in a flat box stands taller, its drain and source apart.
            auto free = [&](const fw::Rect& b) {
                if (b.top < 2 * kStep || b.bottom > maxBottom) return false;
                const fw::Rect m{b.left, b.top - 8, b.right, b.bottom + 8};
                return Clear(m);
            };
            while (box.Height() < 28 && free({box.left, box.top - 1, box.right, box.bottom + 1})) box = {box.left, box.top - 1, box.right, box.bottom + 1};
        }
        d.symbols.push_back({symbol, box, static_cast<int>(g)});
    }

    // Wires keep off the whole text of each label.
    d.strips = rooms;
    if (const PictureNets* nets = FindPictureNets(SchematicPictureId(cls.kind, cls.topology)))
        WireNets(lay, d, maxBottom, *nets), d.connected = true;
    JoinWiresThroughBareJunctions(d);
    StraightenSteps(d);
    FindHops(d);
}

// Wires are routed on a grid of kStep pixels, round every rectangle of the
// list and clear of the label strips, with few bends.

struct Grid {
    int cols, rows;
    std::vector<uint8_t> blocked;
    std::vector<uint8_t> used;  // already a wire: crossing is allowed, running along is not wanted
    // With nets: the way another net's wire runs through a cell (1 across,
    // 2 down); such a cell may only be crossed straight, never run along or
    // turned in, so that wires of different nets never seem joined.
    std::vector<uint8_t> runs;
    // The cell outside each terminal belongs to its net: no other net's wire
    // may pass it (-1: free).
    std::vector<int> owner;
    // Cells a few pixels from a part: a crossing there reads as a connection.
    std::vector<uint8_t> nearPart;
    int net = -1;
    bool In(int c, int r) const { return c >= 0 && r >= 0 && c < cols && r < rows; }
    size_t At(int c, int r) const { return static_cast<size_t>(r) * cols + c; }
};

void Block(Grid& g, const fw::Rect& r) {
    for (int row = std::max(0, (r.top - 1) / kStep); row <= (r.bottom + 1) / kStep && row < g.rows; ++row)
        for (int col = std::max(0, (r.left - 1) / kStep); col <= (r.right + 1) / kStep && col < g.cols; ++col)
            g.blocked[g.At(col, row)] = 1;
}

// Cheapest path from any start to any target cell, a bend costing more than
// a step; empty when there is none.
std::vector<fw::Point> Route(const Grid& g, const std::vector<fw::Point>& starts, const std::vector<uint8_t>& target) {
    const int dirs[4][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
    const size_t n = static_cast<size_t>(g.cols) * g.rows * 4;
    std::vector<int> cost(n, INT_MAX), from(n, -1);
    using Item = std::pair<int, int>;  // cost, state
    std::vector<Item> heap;
    auto push = [&heap](int c, int s) {
        heap.push_back({c, s});
        std::push_heap(heap.begin(), heap.end(), std::greater<Item>());
    };
    for (fw::Point p : starts) {
        if (!g.In(p.x, p.y)) continue;
        for (int dir = 0; dir < 4; ++dir) {
            const int st = static_cast<int>(g.At(p.x, p.y)) * 4 + dir;
            cost[size_t(st)] = 0;
            push(0, st);
        }
    }
    int found = -1;
    while (!heap.empty()) {
        std::pop_heap(heap.begin(), heap.end(), std::greater<Item>());
        const auto [c, st] = heap.back();
        heap.pop_back();
        if (c != cost[size_t(st)]) continue;
        const int cell = st / 4, dir = st % 4;
        if (target[size_t(cell)]) {
            found = st;
            break;
        }
        const int col = cell % g.cols, row = cell / g.cols;
        for (int nd = 0; nd < 4; ++nd) {
            const int nc = col + dirs[nd][0], nr = row + dirs[nd][1];
            if (!g.In(nc, nr)) continue;
            const size_t ncell = g.At(nc, nr);
            if (g.blocked[ncell] && !target[ncell]) continue;
            int near = 0;
            if (!g.runs.empty() && !target[ncell]) {
                const uint8_t here = g.runs[size_t(cell)], there = g.runs[ncell];
                if (here && nd != dir) continue;
                if (there & (nd < 2 ? 1 : 2)) continue;
                if (there && !g.In(nc + dirs[nd][0], nr + dirs[nd][1])) continue;
                if (here && there) continue;  // two hops side by side run into one another
                // Hops stacked over one wire a step apart run into one another.
                if (there)
                    for (int side : {-1, 1}) {
                        const int sc = nc + (nd < 2 ? 0 : side), sr = nr + (nd < 2 ? side : 0);
                        if (g.In(sc, sr) && (g.runs[g.At(sc, sr)] & (nd < 2 ? 1 : 2))) near += 200;
                    }
                if (g.owner[ncell] >= 0 && g.owner[ncell] != g.net) continue;
                // Running close beside another wire reads as one thick line.
                const uint8_t along = nd < 2 ? 1 : 2;
                for (int side : {-1, 1}) {
                    const int sc = nc + (nd < 2 ? 0 : side), sr = nr + (nd < 2 ? side : 0);
                    if (g.In(sc, sr) && (g.runs[g.At(sc, sr)] & along)) near += 4;
                }
            }
            // A crossing costs a long way round, and more beside a part.
            int crossing = 0;
            if (g.used[ncell] && !target[ncell]) crossing = !g.nearPart.empty() && g.nearPart[ncell] ? 400 : 40;
            const int step = 1 + (nd != dir ? 12 : 0) + crossing + near;
            const int ns = static_cast<int>(ncell) * 4 + nd;
            if (c + step < cost[size_t(ns)]) {
                cost[size_t(ns)] = c + step;
                from[size_t(ns)] = st;
                push(c + step, ns);
            }
        }
    }
    std::vector<fw::Point> path;
    for (int st = found; st >= 0; st = from[size_t(st)]) {
        const int cell = st / 4;
        const fw::Point p{(cell % g.cols) * kStep, (cell / g.cols) * kStep};
        if (path.empty() || !(path.back() == p)) path.push_back(p);
    }
    // Keep only the corners.
    std::vector<fw::Point> corners;
    for (size_t i = 0; i < path.size(); ++i) {
        if (i > 0 && i + 1 < path.size()) {
            const fw::Point a = path[i - 1], b = path[i], c = path[i + 1];
            if ((a.x == b.x && b.x == c.x) || (a.y == b.y && b.y == c.y)) continue;
        }
        corners.push_back(path[i]);
    }
    return corners;
}

// A picture's connections: each net joins named terminals of its parts
// (group, terminal as SymbolPins numbers them), a ground, or a terminal of
// the section at the picture's left or right edge.
struct NetPin {
    int group;
    int terminal;
};
constexpr int kGround = -1, kLeftMark = -2, kRightMark = -3;
struct PictureNets {
    UINT pictureId;
    std::vector<std::vector<NetPin>> nets;
};

const std::vector<PictureNets>& AllPictureNets() {
    // Terminal names, by symbol.
    enum { A = 0, B = 1 };                              // two-terminal parts
    enum { Drain = 0, Gate = 1, Source = 2 };           // MOSFET; and collector, base, emitter of a transistor
    enum { Pri1 = 0, Pri2 = 1, Sec1 = 2, Sec2 = 3, Rst1 = 4, Rst2 = 5 };  // transformers
    enum { Line1 = 0, Line2 = 1, Wnd1 = 2, Wnd2 = 3 };  // current transformer
    enum { Inv = 0, NonInv = 1, Output = 2 };           // op amp; an amplifier: input 0, output 1
    constexpr NetPin Gnd{kGround, 0}, InP{kLeftMark, 0}, OutP{kRightMark, 0};
    static const std::vector<PictureNets> all = {
#include "schematics/PictureNets.inc"
    };
    return all;
}

// A net wired by hand where the automatic wiring makes a maze of it: its
// wires (picture pixels, from terminal to terminal), the junctions, grounds
// and section terminals on them.
struct HandNet {
    UINT pictureId;
    int net;
    std::vector<std::vector<fw::Point>> wires;
    std::vector<fw::Point> junctions, grounds = {}, marks = {};
};

const std::vector<HandNet>& AllHandNets() {
    static const std::vector<HandNet> all = {
#include "schematics/HandNets.inc"
    };
    return all;
}

const PictureNets* FindPictureNets(UINT pictureId) {
    for (const PictureNets& n : AllPictureNets())
        if (n.pictureId == pictureId) return &n;
    return nullptr;
}

// The first free grid cell outside a named terminal, in the way the
// terminal leaves its part, and the stub from the terminal to it; false when
// the way is shut within a few cells.
bool PinOutside(const schem::Pin& pin, const fw::Rect& area, const Grid& g,
                const std::function<bool(const std::vector<fw::Point>&)>& stubOk, fw::Point& cell,
                std::vector<fw::Point>& stub) {
    using schem::Toward;
    const int dx = pin.toward == Toward::Left ? -1 : pin.toward == Toward::Right ? 1 : 0;
    const int dy = pin.toward == Toward::Up ? -1 : pin.toward == Toward::Down ? 1 : 0;
    switch (pin.toward) {
    case Toward::Left: cell = {(area.left - 1) / kStep - 1, (pin.at.y + kStep / 2) / kStep}; break;
    case Toward::Right: cell = {(area.right + 1) / kStep + 1, (pin.at.y + kStep / 2) / kStep}; break;
    case Toward::Up: cell = {(pin.at.x + kStep / 2) / kStep, (area.top - 1) / kStep - 1}; break;
    case Toward::Down: cell = {(pin.at.x + kStep / 2) / kStep, (area.bottom + 1) / kStep + 1}; break;
    }
    const bool alongX = dx != 0;
    // The grid line nearest the lead first, then the ones either side of it.
    const int at = alongX ? pin.at.y : pin.at.x;
    const fw::Point start = cell;
    for (const int cross : {(at + kStep / 2) / kStep, at / kStep, at / kStep + 1}) {
        cell = alongX ? fw::Point{start.x, cross} : fw::Point{cross, start.y};
        for (int tries = 0; tries < 16; ++tries, cell.x += dx, cell.y += dy) {
            if (!g.In(cell.x, cell.y)) break;
            const fw::Point px{cell.x * kStep, cell.y * kStep};
            stub = {pin.at, alongX ? fw::Point{px.x, pin.at.y} : fw::Point{pin.at.x, px.y}, px};
            if (!stubOk(stub)) break;
            const size_t k = g.At(cell.x, cell.y);
            if (!g.blocked[k] && !g.runs[k]) return true;
        }
    }
    return false;
}

// Each net grown as a tree on the grid: its first terminal starts it, every
// further terminal is routed to the nearest point of it, a ground drops from
// it to the ground row and a section terminal runs out to its edge. Where a
// later wire meets the tree there is a junction.
void WireNets(Layout& lay, PictureDescription& d, int maxBottom, const PictureNets& given) {
    PictureNets nets = given;
    bool anyByHand = false;
    for (const HandNet& h : AllHandNets()) anyByHand = anyByHand || h.pictureId == nets.pictureId;
    // A part without sense that the hand wires meet end for end is turned.
    for (const PlacedSymbol& p : d.symbols) {
        if (!anyByHand) break;
        if (p.symbol != Symbol::Resistor && p.symbol != Symbol::Capacitor && p.symbol != Symbol::Inductor) continue;
        const std::vector<schem::Pin> pins = schem::SymbolPins(p.symbol, p.box);
        if (pins.size() != 2) continue;
        auto ends = [](const HandNet& h, fw::Point at) {
            for (const auto& w : h.wires)
                if (!w.empty() && (w.front() == at || w.back() == at)) return true;
            return false;
        };
        bool turned = false, kept = false;
        for (const HandNet& h : AllHandNets()) {
            if (h.pictureId != nets.pictureId || h.net < 0 || size_t(h.net) >= nets.nets.size()) continue;
            for (const NetPin& np : nets.nets[size_t(h.net)])
                if (np.group == p.group && (np.terminal == 0 || np.terminal == 1)) {
                    kept = kept || ends(h, pins[size_t(np.terminal)].at);
                    turned = turned || ends(h, pins[size_t(1 - np.terminal)].at);
                }
        }
        if (turned && !kept)
            for (auto& net : nets.nets)
                for (NetPin& np : net)
                    if (np.group == p.group && (np.terminal == 0 || np.terminal == 1)) np.terminal = 1 - np.terminal;
    }
    // A resistor, capacitor or coil has no sense: it is turned end for end
    // where its ends then lie nearer what they join, so that its wires need
    // not loop round it. (Not where nets are wired by hand: their ends are fixed.)
    for (const PlacedSymbol& p : d.symbols) {
        if (anyByHand) break;
        if (p.symbol != Symbol::Resistor && p.symbol != Symbol::Capacitor && p.symbol != Symbol::Inductor) continue;
        const std::vector<schem::Pin> pins = schem::SymbolPins(p.symbol, p.box);
        auto reach = [&](int terminal, fw::Point at) {
            int best = INT_MAX;
            for (const auto& net : nets.nets) {
                bool here = false;
                for (const NetPin& np : net) here = here || (np.group == p.group && np.terminal == terminal);
                if (!here) continue;
                for (const NetPin& np : net) {
                    int dist = INT_MAX;
                    if (np.group == kGround) dist = maxBottom + kMargin - at.y;
                    else if (np.group == kLeftMark) dist = at.x;
                    else if (np.group == kRightMark) dist = d.width - at.x;
                    else if (np.group != p.group)
                        for (const PlacedSymbol& q : d.symbols)
                            if (q.group == np.group) {
                                const std::vector<schem::Pin> qp = schem::SymbolPins(q.symbol, q.box);
                                if (np.terminal >= 0 && size_t(np.terminal) < qp.size())
                                    dist = std::abs(qp[size_t(np.terminal)].at.x - at.x) + std::abs(qp[size_t(np.terminal)].at.y - at.y);
                            }
                    best = std::min(best, dist);
                }
            }
            return best == INT_MAX ? 0 : best;
        };
        if (pins.size() != 2) continue;
        const int kept = reach(0, pins[0].at) + reach(1, pins[1].at);
        const int turned = reach(0, pins[1].at) + reach(1, pins[0].at);
        if (turned + 8 < kept)
            for (auto& net : nets.nets)
                for (NetPin& np : net)
                    if (np.group == p.group && (np.terminal == 0 || np.terminal == 1)) np.terminal = 1 - np.terminal;
    }
    Grid g{d.width / kStep + 1, d.height / kStep + 1, {}, {}, {}, {}, {}};
    g.blocked.assign(size_t(g.cols) * g.rows, 0);
    g.used.assign(g.blocked.size(), 0);
    g.runs.assign(g.blocked.size(), 0);
    g.owner.assign(g.blocked.size(), -1);
    g.nearPart.assign(g.blocked.size(), 0);
    for (const PlacedSymbol& p : d.symbols) {
        const fw::Rect r = p.box;
        for (int row = std::max(0, (r.top - 10) / kStep); row <= (r.bottom + 10) / kStep && row < g.rows; ++row)
            for (int col = std::max(0, (r.left - 10) / kStep); col <= (r.right + 10) / kStep && col < g.cols; ++col)
                g.nearPart[g.At(col, row)] = 1;
    }
    // A part's further rectangles only widen where a click finds it: wires
    // may cross them (some lie round other parts), but not its first one.
    std::vector<bool> firstOfGroup(lay.all.size(), false);
    for (size_t k = 0; k < lay.all.size(); ++k) firstOfGroup[k] = k == 0 || lay.groupOf[k] != lay.groupOf[k - 1];
    for (size_t k = 0; k < lay.all.size(); ++k)
        if (firstOfGroup[k]) Block(g, lay.all[k]);
    for (const fw::Rect& s : d.strips) Block(g, {s.left - 1, s.top - 1, s.right + 1, s.bottom + 2});
    for (const PlacedSymbol& p : d.symbols) Block(g, p.box);
    for (int c = 0; c < g.cols; ++c) {
        g.blocked[g.At(c, 0)] = 1;
        g.blocked[g.At(c, g.rows - 1)] = 1;
    }
    for (int r = 0; r < g.rows; ++r) {
        g.blocked[g.At(0, r)] = 1;
        g.blocked[g.At(g.cols - 1, r)] = 1;
    }
    const int groundRow = (maxBottom + kMargin) / kStep;
    std::vector<uint8_t> groundCells(g.blocked.size(), 0), leftCells(g.blocked.size(), 0),
        rightCells(g.blocked.size(), 0);
    // The ground row holds grounds only: a wire along it would seem grounded.
    for (int c = 2; c < g.cols - 2; ++c) groundCells[g.At(c, groundRow)] = 1;
    for (int r = groundRow; r < g.rows; ++r)
        for (int c = 0; c < g.cols; ++c) g.blocked[g.At(c, r)] = 1;
    for (int r = 2; r < g.rows - 2; ++r) {
        leftCells[g.At(2, r)] = 1;
        rightCells[g.At(g.cols - 3, r)] = 1;
    }
    // A section's terminal stands where no other net's wire runs, and no
    // other net's wire may pass it later: either would seem joined to it.
    auto freeOf = [&g](std::vector<uint8_t> cells) {
        for (size_t k = 0; k < cells.size(); ++k)
            if (g.runs[k]) cells[k] = 0;
        return cells;
    };
    auto keepMark = [&g](fw::Point at, int net) {
        if (g.In(at.x / kStep, at.y / kStep)) g.owner[g.At(at.x / kStep, at.y / kStep)] = net;
    };
    std::vector<fw::Rect> first(d.symbols.size() + lay.all.size());
    for (size_t k = lay.all.size(); k-- > 0;) first[size_t(lay.groupOf[k])] = lay.all[k];
    // A part drawn beside its first rectangle has its leads leave from round both.
    for (const PlacedSymbol& p : d.symbols) first[size_t(p.group)] = Union(first[size_t(p.group)], p.box);
    auto symbolOf = [&d](int group) -> const PlacedSymbol* {
        for (const PlacedSymbol& p : d.symbols)
            if (p.group == group) return &p;
        return nullptr;
    };

    for (const auto& net : nets.nets) {
        PictureDescription::Net& out = d.nets.emplace_back();
        for (const NetPin& np : net) {
            out.ground = out.ground || np.group == kGround;
            const PlacedSymbol* p = np.group >= 0 ? symbolOf(np.group) : nullptr;
            const std::vector<schem::Pin> pins = p ? schem::SymbolPins(p->symbol, p->box) : std::vector<schem::Pin>{};
            if (np.terminal >= 0 && size_t(np.terminal) < pins.size()) out.terminals.push_back(pins[size_t(np.terminal)].at);
        }
    }

    // Every terminal's way out, found first and kept for its net.
    struct Exit {
        bool ok = false;
        fw::Point cell;
        std::vector<fw::Point> stub;
    };
    std::vector<std::vector<Exit>> exitsOf(nets.nets.size());
    // The leads found so far, each with its net: another net's lead must not
    // cross one, or it would seem joined to that part.
    std::vector<std::pair<fw::Rect, size_t>> leads;
    std::vector<const HandNet*> byHand(nets.nets.size(), nullptr);
    for (const HandNet& h : AllHandNets())
        if (h.pictureId == nets.pictureId && h.net >= 0 && size_t(h.net) < byHand.size()) byHand[size_t(h.net)] = &h;
    for (size_t n = 0; n < nets.nets.size(); ++n)
        for (const NetPin& np : nets.nets[n]) {
            Exit e;
            if (byHand[n]) {
                exitsOf[n].push_back(e);
                continue;
            }
            const PlacedSymbol* p = np.group >= 0 ? symbolOf(np.group) : nullptr;
            const std::vector<schem::Pin> pins = p ? schem::SymbolPins(p->symbol, p->box) : std::vector<schem::Pin>{};
            if (p && np.terminal >= 0 && size_t(np.terminal) < pins.size()) {
                auto stubOk = [&](const std::vector<fw::Point>& st) {
                    for (size_t i = 0; i + 1 < st.size(); ++i) {
                        const fw::Rect seg = SegmentBox(st[i], st[i + 1]);
                        for (const fw::Rect& sr : d.strips)
                            if (Intersects(seg, sr)) return false;
                        for (size_t k = 0; k < lay.all.size(); ++k)
                            if (firstOfGroup[k] && lay.groupOf[k] != p->group && Intersects(seg, lay.all[k])) return false;
                        for (const PlacedSymbol& q : d.symbols)
                            if (q.group != p->group && Intersects(seg, q.box)) return false;
                        for (const auto& [lead, net] : leads)
                            if (net != n && Intersects(seg, lead)) return false;
                    }
                    return true;
                };
                // A lead may bend to either side where its way is shut.
                const schem::Pin pin = pins[size_t(np.terminal)];
                const bool across = pin.toward == schem::Toward::Left || pin.toward == schem::Toward::Right;
                const schem::Pin ways[3] = {pin,
                                            {pin.at, across ? schem::Toward::Up : schem::Toward::Left},
                                            {pin.at, across ? schem::Toward::Down : schem::Toward::Right}};
                for (const schem::Pin& way : ways) {
                    if (!PinOutside(way, first[size_t(p->group)], g, stubOk, e.cell, e.stub)) continue;
                    const int owner = g.owner[g.At(e.cell.x, e.cell.y)];
                    if (owner >= 0 && owner != int(n)) continue;
                    e.ok = true;
                    g.owner[g.At(e.cell.x, e.cell.y)] = int(n);
                    for (size_t k = 0; k + 1 < e.stub.size(); ++k) leads.push_back({SegmentBox(e.stub[k], e.stub[k + 1]), n});
                    break;
                }
            }
            exitsOf[n].push_back(e);
        }

    // Wires already at ground: a later ground joins the nearest of them
    // rather than standing as one more ground symbol beside the others.
    std::vector<uint8_t> grounded(g.blocked.size(), 0);
    // The nets wired by hand first: the others go round or hop over them.
    for (size_t n = 0; n < nets.nets.size(); ++n) {
        const HandNet* h = byHand[n];
        if (!h) continue;
        bool atGround = false;
        for (const NetPin& np : nets.nets[n]) {
            atGround = atGround || np.group == kGround;
            const PlacedSymbol* p = np.group >= 0 ? symbolOf(np.group) : nullptr;
            if (!p) continue;
            // Each of its terminals ends a wire, or the net is not wired.
            const std::vector<schem::Pin> pins = schem::SymbolPins(p->symbol, p->box);
            bool reached = false;
            for (const auto& w : h->wires)
                reached = reached || (np.terminal < int(pins.size()) && !w.empty() &&
                                      (w.front() == pins[size_t(np.terminal)].at || w.back() == pins[size_t(np.terminal)].at));
            if (!reached) ++d.unrouted;
        }
        d.junctions.insert(d.junctions.end(), h->junctions.begin(), h->junctions.end());
        d.grounds.insert(d.grounds.end(), h->grounds.begin(), h->grounds.end());
        d.marks.insert(d.marks.end(), h->marks.begin(), h->marks.end());
        for (fw::Point m : h->marks) keepMark(m, int(n));
        for (const auto& wire : h->wires) {
            d.wires.push_back(wire);
            d.wireNets.push_back(int(n));
            for (size_t i = 0; i + 1 < wire.size(); ++i) {
                const fw::Point a = wire[i], b = wire[i + 1];
                const uint8_t run = a.y == b.y ? 1 : 2;
                // Every grid cell the wire passes nearest to.
                for (int y = std::min(a.y, b.y); y <= std::max(a.y, b.y); ++y)
                    for (int x = std::min(a.x, b.x); x <= std::max(a.x, b.x); ++x) {
                        const int c = (x + kStep / 2) / kStep, r = (y + kStep / 2) / kStep;
                        if (!g.In(c, r)) continue;
                        g.runs[g.At(c, r)] |= run;
                        g.used[g.At(c, r)] = 1;
                        if (atGround && x % kStep == 0 && y % kStep == 0) grounded[g.At(c, r)] = 1;
                    }
            }
        }
    }
    for (size_t n = 0; n < nets.nets.size(); ++n) {
        if (byHand[n]) continue;
        const std::vector<NetPin>& net = nets.nets[n];
        bool atGround = false;
        g.net = int(n);
        std::vector<uint8_t> tree(g.blocked.size(), 0);
        std::vector<std::vector<fw::Point>> laid;  // this net's wires, marked on the grid when it is done
        bool started = false;
        auto mark = [&](const std::vector<fw::Point>& wire) {
            for (size_t i = 0; i + 1 < wire.size(); ++i) {
                const fw::Point a = wire[i], b = wire[i + 1];
                for (int y = std::min(a.y, b.y); y <= std::max(a.y, b.y); ++y)
                    for (int x = std::min(a.x, b.x); x <= std::max(a.x, b.x); ++x)
                        if (x % kStep == 0 && y % kStep == 0 && g.In(x / kStep, y / kStep)) tree[g.At(x / kStep, y / kStep)] = 1;
            }
            laid.push_back(wire);
        };
        auto startsOf = [&]() {
            std::vector<fw::Point> starts;
            for (int k = 0; k < g.cols * g.rows; ++k)
                if (tree[size_t(k)]) starts.push_back({k % g.cols, k / g.cols});
            return starts;
        };
        // Symbol terminals first, then grounds and section terminals.
        std::vector<size_t> order;
        for (size_t i = 0; i < net.size(); ++i)
            if (net[i].group >= 0) order.push_back(i);
        for (size_t i = 0; i < net.size(); ++i)
            if (net[i].group < 0) order.push_back(i);
        for (const size_t i : order) {
            const NetPin np = net[i];
            if (np.group < 0) {
                if (!started && np.group == kLeftMark) {
                    // A wire straight through from a left terminal to a right one.
                    bool across = false;
                    for (const NetPin& q : net) across = across || q.group == kRightMark;
                    std::vector<fw::Point> starts;
                    for (int r = 2; r < g.rows - 2 && across; ++r)
                        if (!g.blocked[g.At(2, r)] && !g.runs[g.At(2, r)]) starts.push_back({2, r});
                    std::vector<fw::Point> path = starts.empty() ? std::vector<fw::Point>{} : Route(g, starts, freeOf(rightCells));
                    if (path.empty()) {
                        ++d.unrouted;
                        continue;
                    }
                    d.marks.push_back(path.front());
                    d.marks.push_back(path.back());
                    keepMark(path.front(), int(n));
                    keepMark(path.back(), int(n));
                    mark(std::vector<fw::Point>(path.rbegin(), path.rend()));
                    started = true;
                    continue;
                }
                if (!started) {
                    ++d.unrouted;
                    continue;
                }
                if (net.size() == 2 && net[0].group == kLeftMark && np.group == kRightMark) continue;  // drawn above
                std::vector<uint8_t> target =
                    np.group == kGround ? groundCells : freeOf(np.group == kLeftMark ? leftCells : rightCells);
                if (np.group == kGround)
                    for (size_t k = 0; k < target.size(); ++k) target[k] |= grounded[k];
                std::vector<fw::Point> path = Route(g, startsOf(), target);
                if (path.empty()) {
                    ++d.unrouted;
                    continue;
                }
                const fw::Point end = path.front();
                if (np.group != kGround) d.marks.push_back(end), keepMark(end, int(n));
                else if (groundCells[g.At(end.x / kStep, end.y / kStep)]) d.grounds.push_back(end);
                else d.junctions.push_back(end);
                atGround = atGround || np.group == kGround;
                d.junctions.push_back(path.back());
                std::vector<fw::Point> wire(path.rbegin(), path.rend());
                if (wire.size() > 1) mark(wire);
                continue;
            }
            const Exit& e = exitsOf[n][i];
            if (!e.ok) {
                ++d.unrouted;
                continue;
            }
            const fw::Point cell = e.cell;
            const std::vector<fw::Point>& stub = e.stub;
            if (!started) {
                mark(stub);
                tree[g.At(cell.x, cell.y)] = 1;
                started = true;
                continue;
            }
            if (tree[g.At(cell.x, cell.y)]) {
                d.junctions.push_back(stub.back());
                mark(stub);
                continue;
            }
            std::vector<fw::Point> path = Route(g, {cell}, tree);
            if (path.empty()) {
                ++d.unrouted;
                continue;
            }
            d.junctions.push_back(path.front());
            std::vector<fw::Point> wire = stub;
            for (auto it = path.rbegin() + 1; it != path.rend(); ++it) wire.push_back(*it);
            mark(wire);
        }
        // A terminal's stub that a later wire joined short of its end would
        // leave a loose tail: the wire ends at the junction instead.
        std::vector<fw::Point> ends = d.junctions;
        ends.insert(ends.end(), d.grounds.begin(), d.grounds.end());
        ends.insert(ends.end(), d.marks.begin(), d.marks.end());
        for (const PlacedSymbol& p : d.symbols)
            for (const schem::Pin& pin : schem::SymbolPins(p.symbol, p.box)) ends.push_back(pin.at);
        auto isEnd = [&ends](fw::Point q) { return std::find(ends.begin(), ends.end(), q) != ends.end(); };
        for (auto& wire : laid) {
            wire.erase(std::unique(wire.begin(), wire.end()), wire.end());
            for (int side = 0; side < 2 && wire.size() >= 2; ++side) {
                if (!isEnd(wire.back())) {
                    const fw::Point a = wire[wire.size() - 2], b = wire.back();
                    const fw::Rect seg = SegmentBox(a, b);
                    std::optional<fw::Point> cut;
                    for (fw::Point q : ends)
                        if (seg.PtInRect(q) && !(q == a) &&
                            (!cut || std::abs(q.x - a.x) + std::abs(q.y - a.y) > std::abs(cut->x - a.x) + std::abs(cut->y - a.y)))
                            cut = q;
                    if (cut) wire.back() = *cut;
                }
                std::reverse(wire.begin(), wire.end());
            }
        }
        std::fill(tree.begin(), tree.end(), 0);
        for (const auto& wire : laid)
            for (size_t i = 0; i + 1 < wire.size(); ++i) {
                const fw::Point a = wire[i], b = wire[i + 1];
                for (int y = std::min(a.y, b.y); y <= std::max(a.y, b.y); ++y)
                    for (int x = std::min(a.x, b.x); x <= std::max(a.x, b.x); ++x)
                        if (x % kStep == 0 && y % kStep == 0 && g.In(x / kStep, y / kStep)) tree[g.At(x / kStep, y / kStep)] = 1;
            }
        if (atGround)
            for (size_t k = 0; k < tree.size(); ++k)
                if (tree[k] && !g.blocked[k]) grounded[k] = 1;
        // Only now is the net an obstacle that others may cross.
        for (const auto& wire : laid) {
            d.wires.push_back(wire);
            d.wireNets.push_back(int(n));
            for (size_t i = 0; i + 1 < wire.size(); ++i) {
                const fw::Point a = wire[i], b = wire[i + 1];
                const uint8_t run = a.y == b.y ? 1 : 2;
                for (int y = std::min(a.y, b.y); y <= std::max(a.y, b.y); ++y)
                    for (int x = std::min(a.x, b.x); x <= std::max(a.x, b.x); ++x)
                        if (x % kStep == 0 && y % kStep == 0 && g.In(x / kStep, y / kStep)) {
                            const size_t at = g.At(x / kStep, y / kStep);
                            g.runs[at] |= run;
                            g.used[at] = 1;
                        }
            }
        }
    }
}

}  // namespace

namespace {

const SchematicClass* ClassOfPicture(UINT pictureId) {
    for (const SchematicClass* c : AllSchematicClasses())
        if (SchematicPictureId(c->kind, c->topology) == pictureId) return c;
    return nullptr;
}

}  // namespace

bool DescribePicture(UINT pictureId, PictureDescription& out) {
    static std::map<UINT, PictureDescription> described;
    auto it = described.find(pictureId);
    if (it == described.end()) {
        const SchematicClass* cls = ClassOfPicture(pictureId);
        const HotSpotList* list = cls ? FindHotSpotList(SchematicListId(cls->kind, cls->topology)) : nullptr;
        if (!list) {
            out = {};
            return false;
        }
        PictureDescription d;
        Describe(*cls, *list, d);
        it = described.emplace(pictureId, std::move(d)).first;
    }
    out = it->second;
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

namespace {

bool DrawPicture(UINT pictureId, fw::Image& out);

}  // namespace

bool LoadSectionPicture(UINT pictureId, fw::Image& out) {
    // Drawn once: painting asks for the picture at every repaint. Pictures
    // belong to the user-interface thread.
    static std::map<UINT, fw::Image> drawn;
    auto it = drawn.find(pictureId);
    if (it == drawn.end()) {
        fw::Image image;
        if (!DrawPicture(pictureId, image)) {
            out = fw::Image();
            return false;
        }
        it = drawn.emplace(pictureId, std::move(image)).first;
    }
    out = it->second;
    return true;
}

namespace {

bool DrawPicture(UINT pictureId, fw::Image& out) {
    if (pictureId == 530) {
        DrawWindings(out);
        return true;
    }
    if (pictureId == 540 || pictureId == 541) {
        // 540: a section whose variant has no parts, a wire straight through;
        // 541: a section not chosen, an empty crossed box.
        out = fw::Image(120, 120, 0xFFFFFFFFu);
        schem::ImageCanvas dc(out);
        // Lines three pixels wide, so that they survive the Circuit dialog's shrinking.
        for (int k = -1; k <= 1; ++k) {
            if (pictureId == 540) {
                dc.MoveTo(10, 60 + k);
                dc.LineTo(110, 60 + k);
            } else {
                dc.MoveTo(20, 20 + k);
                dc.LineTo(100, 20 + k);
                dc.MoveTo(20, 99 + k);
                dc.LineTo(100, 99 + k);
                dc.MoveTo(20 + k, 20);
                dc.LineTo(20 + k, 100);
                dc.MoveTo(99 + k, 20);
                dc.LineTo(99 + k, 100);
                dc.MoveTo(20 + k, 20);
                dc.LineTo(99 + k, 99);
                dc.MoveTo(99 + k, 20);
                dc.LineTo(20 + k, 99);
            }
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
    for (const PictureDescription::Hop& hop : d.hops) {
        // A gap in the wire across, bridged by a small arch over the wire down.
        const fw::Point h = hop.at;
        dc.FillRect({hop.left, h.y, hop.right, h.y + 1}, fw::colors::White);
        dc.FillRect({h.x, h.y, h.x + 1, h.y + 1}, fw::colors::Black);
        const int arch[][2] = {{-4, 0}, {-4, -2}, {-2, -4}, {2, -4}, {4, -2}, {4, 0}};
        dc.MoveTo(h.x + arch[0][0], h.y + arch[0][1]);
        for (const auto& q : arch) dc.LineTo(h.x + q[0], h.y + q[1]);
        dc.FillRect({h.x + 4, h.y, h.x + 5, h.y + 1}, fw::colors::Black);
    }
    for (fw::Point j : d.junctions) schem::DrawJunction(dc, j);
    for (fw::Point g : d.grounds) schem::DrawGround(dc, g);
    for (fw::Point m : d.marks) dc.Rectangle(m.x - 2, m.y - 2, m.x + 3, m.y + 3);
    return true;
}

}  // namespace
