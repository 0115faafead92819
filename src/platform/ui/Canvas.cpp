#include "platform/ui/Canvas.h"

#include <algorithm>
#include <cstdio>

namespace fw {

Pen Canvas::SelectPen(const Pen& pen) {
    Pen old = state_.pen;
    state_.pen = pen;
    OnStateChanged();
    return old;
}

Brush Canvas::SelectBrush(const Brush& brush) {
    Brush old = state_.brush;
    state_.brush = brush;
    OnStateChanged();
    return old;
}

Font Canvas::SelectFont(const Font& font) {
    Font old = state_.font;
    state_.font = font;
    OnStateChanged();
    return old;
}

Color Canvas::SetTextColor(Color c) {
    Color old = state_.textColor;
    state_.textColor = c;
    OnStateChanged();
    return old;
}

Color Canvas::SetBkColor(Color c) {
    Color old = state_.bkColor;
    state_.bkColor = c;
    return old;
}

unsigned Canvas::SetTextAlign(unsigned align) {
    unsigned old = state_.textAlign;
    state_.textAlign = align;
    return old;
}

int Canvas::SaveDC() {
    saved_.push_back(state_);
    return static_cast<int>(saved_.size());
}

bool Canvas::RestoreDC(int saved) {
    // A negative value counts back from the latest save, as -1 is the latest.
    int index = saved < 0 ? static_cast<int>(saved_.size()) + saved + 1 : saved;
    if (index < 1 || index > static_cast<int>(saved_.size())) return false;
    state_ = saved_[index - 1];
    saved_.resize(index - 1);
    OnStateChanged();
    return true;
}

void Canvas::LineTo(int x, int y) {
    DoLine(state_.pos, {x, y});
    state_.pos = {x, y};
}

void Canvas::Rectangle(int left, int top, int right, int bottom) { DoRectangle({left, top, right, bottom}); }

void Canvas::TextOut(int x, int y, const std::string& text) {
    unsigned a = state_.textAlign;
    Size ext = GetTextExtent(text);
    if ((a & TA_CENTER) == TA_CENTER) x -= ext.cx / 2;
    else if (a & TA_RIGHT) x -= ext.cx;
    if ((a & TA_BASELINE) == TA_BASELINE) y -= GetTextMetrics().ascent;
    else if (a & TA_BOTTOM) y -= ext.cy;
    if (!state_.transparent) DoFillRect(Rect::FromXYWH(x, y, ext.cx, ext.cy), state_.bkColor);
    DoText(x, y, text);
}

namespace {

std::string StripPrefixes(const std::string& s) {
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '&' && i + 1 < s.size()) {
            ++i;
        }
        out += s[i];
    }
    return out;
}

std::string ExpandTabs(const std::string& s) {
    std::string out;
    for (char c : s) {
        if (c == '\t') {
            do out += ' ';
            while (out.size() % 8 != 0);
        } else {
            out += c;
        }
    }
    return out;
}

std::vector<std::string> SplitParagraphs(const std::string& s) {
    std::vector<std::string> out(1);
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\r' || s[i] == '\n') {
            if (s[i] == '\r' && i + 1 < s.size() && s[i + 1] == '\n') ++i;
            out.emplace_back();
        } else {
            out.back() += s[i];
        }
    }
    return out;
}

}  // namespace

int Canvas::DrawText(const std::string& textIn, Rect& rc, unsigned flags) {
    std::string text = (flags & DT_NOPREFIX) ? textIn : StripPrefixes(textIn);
    if (flags & DT_EXPANDTABS) text = ExpandTabs(text);

    std::vector<std::string> lines;
    if (flags & DT_SINGLELINE) {
        std::string one;
        for (char c : text)
            if (c != '\r' && c != '\n') one += c;
        lines.push_back(one);
    } else {
        const int width = rc.Width();
        for (const std::string& para : SplitParagraphs(text)) {
            if (!(flags & DT_WORDBREAK) || GetTextExtent(para).cx <= width) {
                lines.push_back(para);
                continue;
            }
            // Greedy wrap at blanks; a word wider than the rectangle is cut
            // between characters so that nothing runs outside it.
            std::string line;
            size_t i = 0;
            while (i < para.size()) {
                size_t j = para.find(' ', i);
                if (j == std::string::npos) j = para.size();
                std::string word = para.substr(i, j - i);
                std::string candidate = line.empty() ? word : line + " " + word;
                if (GetTextExtent(candidate).cx <= width) {
                    line = candidate;
                } else {
                    if (!line.empty()) {
                        lines.push_back(line);
                        line.clear();
                    }
                    while (!word.empty() && GetTextExtent(word).cx > width) {
                        size_t n = 1;
                        while (n < word.size() && GetTextExtent(word.substr(0, n + 1)).cx <= width) ++n;
                        lines.push_back(word.substr(0, n));
                        word.erase(0, n);
                    }
                    line = word;
                }
                i = j + 1;
            }
            lines.push_back(line);
        }
    }

    TextMetrics tm = GetTextMetrics();
    int lineHeight = tm.height + ((flags & DT_EXTERNALLEADING) ? tm.externalLeading : 0);
    int total = lineHeight * static_cast<int>(lines.size());
    if (flags & DT_CALCRECT) {
        int widest = 0;
        for (const auto& l : lines) widest = std::max(widest, GetTextExtent(l).cx);
        if (!(flags & DT_WORDBREAK)) rc.right = rc.left + widest;
        rc.bottom = rc.top + total;
        return total;
    }

    int y = rc.top;
    if (flags & DT_SINGLELINE) {
        if (flags & DT_VCENTER) y = rc.top + (rc.Height() - lineHeight) / 2;
        else if (flags & DT_BOTTOM) y = rc.bottom - lineHeight;
    }
    if (!(flags & DT_NOCLIP)) DoClip(&rc);
    for (const auto& l : lines) {
        int x = rc.left;
        int w = GetTextExtent(l).cx;
        if (flags & DT_CENTER) x = rc.left + (rc.Width() - w) / 2;
        else if (flags & DT_RIGHT) x = rc.right - w;
        if (!state_.transparent) DoFillRect(Rect::FromXYWH(x, y, w, lineHeight), state_.bkColor);
        if (!l.empty()) DoText(x, y, l);
        y += lineHeight;
    }
    if (!(flags & DT_NOCLIP)) DoClip(nullptr);
    return total;
}

// ---------------------------------------------------------------------------

Size RecordingCanvas::GetTextExtent(const std::string& text) {
    int h = FontHeight();
    return {static_cast<int>(text.size()) * std::max(1, h / 2), h};
}

TextMetrics RecordingCanvas::GetTextMetrics() {
    int h = FontHeight();
    TextMetrics tm;
    tm.height = h;
    tm.ascent = h * 4 / 5;
    tm.descent = h - tm.ascent;
    tm.aveCharWidth = std::max(1, h / 2);
    tm.externalLeading = h / 8;
    return tm;
}

bool RecordingCanvas::GrabArea(const Rect& area, Image& out) {
    if (!grabbable || area.IsEmpty()) return false;
    out = Image(area.Width(), area.Height(), grabColor);
    ops.push_back("grab " + std::to_string(area.left) + "," + std::to_string(area.top) + " " +
                  std::to_string(area.Width()) + "x" + std::to_string(area.Height()));
    return true;
}

std::vector<std::string> RecordingCanvas::OpsStartingWith(const std::string& prefix) const {
    std::vector<std::string> out;
    for (const auto& op : ops)
        if (op.compare(0, prefix.size(), prefix) == 0) out.push_back(op);
    return out;
}

namespace {
std::string R(const Rect& r) {
    char buf[96];
    std::snprintf(buf, sizeof buf, "%d,%d-%d,%d", r.left, r.top, r.right, r.bottom);
    return buf;
}
}  // namespace

void RecordingCanvas::DoLine(Point a, Point b) {
    ops.push_back("line " + std::to_string(a.x) + "," + std::to_string(a.y) + "-" + std::to_string(b.x) + "," +
                  std::to_string(b.y) + " w" + std::to_string(state_.pen.width));
}

void RecordingCanvas::DoRectangle(const Rect& r) {
    ops.push_back("rect " + R(r) + (state_.brush.null ? " hollow" : " filled"));
}

void RecordingCanvas::DoFillRect(const Rect& r, Color c) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02x%02x%02x", c.r, c.g, c.b);
    ops.push_back("fill " + R(r) + " " + buf);
}

void RecordingCanvas::DoText(int x, int y, const std::string& text) {
    ops.push_back("text " + std::to_string(x) + "," + std::to_string(y) + " " + text);
}

void RecordingCanvas::DoDrawImage(const Image& image, const Rect& dest, const Rect& source) {
    ops.push_back("image " + std::to_string(image.Width()) + "x" + std::to_string(image.Height()) + " " + R(source) +
                  " -> " + R(dest));
}

void RecordingCanvas::DoClip(const Rect* clip) { ops.push_back(clip ? "clip " + R(*clip) : "noclip"); }

}  // namespace fw
