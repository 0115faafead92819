#include "app/CircuitPage.h"

#include <algorithm>
#include <cmath>

#include "app/DocumentHost.h"
#include "app/SummaryPage.h"
#include "platform/core/Format.h"
#include "records/Utils.h"
#include "resources/StringTable.h"
#include "schematics/Pictures.h"

namespace {

constexpr UINT kModuleView = 56086;
constexpr unsigned kTextFormat = fw::DT_WORDBREAK | fw::DT_EXPANDTABS | fw::DT_EXTERNALLEADING | fw::DT_NOPREFIX;
constexpr int kPenWidth = 8;

}  // namespace

std::string CircuitPageTitle(int titleId, int output) {
    struct Range {
        int first, last;
        const char* caption;
        bool perOutput;
    };
    static const Range kRanges[] = {
        {51550, 51559, "Line Filter:  ", false},        {51570, 51575, "Line Rectifier:  ", false},
        {51580, 51583, "Input Capacitor:  ", false},    {51600, 51609, "Primary Section:  ", false},
        {51640, 51640, "Secondary Section ", true},     {51650, 51651, "Output Choke ", true},
        {51660, 51663, "First Stage Output Filter ", true}, {51670, 51676, "Second Stage Output Filter ", true},
        {51690, 51693, "Load Network ", true},          {51700, 51707, "Voltage Error Amplifier:  ", false},
        {51710, 51716, "Opto-Isolator:  ", false},      {51720, 51724, "Control Section:  ", false},
    };
    for (const Range& r : kRanges) {
        if (titleId < r.first || titleId > r.last) continue;
        std::string caption = r.perOutput ? fw::Format("%s %d %s", r.caption, output, ":  ") : r.caption;
        const char* text = res::FindString(static_cast<uint32_t>(titleId));
        return text ? caption + text : caption;
    }
    ReportMessage1(kModuleView, 1500, FALSE);
    return "Unknown Title";
}

fw::Rect CircuitPictureRect(const fw::Rect& area, int w0, int h0, int ppiX, int ppiY) {
    if (w0 <= 0 || h0 <= 0 || ppiX <= 0 || ppiY <= 0 || area.Width() <= 0 || area.Height() <= 0) return {};
    // The picture is drawn for 96 pixels an inch; a printer shows it at the
    // same size in inches. One factor for both sides keeps its shape.
    const double w = w0 * (ppiX / 96.0), h = h0 * (ppiY / 96.0);
    const double fit = std::min({1.0, area.Width() / w, area.Height() / h});
    const int cw = static_cast<int>(w * fit), ch = static_cast<int>(h * fit);
    if (cw <= 0 || ch <= 0) return {};
    return fw::Rect::FromXYWH(area.left, area.top, cw, ch);
}

void CCircuitPage::PrintHeader(fw::Canvas& dc, fw::Rect& area, const CPwrQuorraView& view) {
    CDocumentHost* doc = view.GetDocument();
    if (!doc) return;
    const int ppiY = dc.PixelsPerInchY();
    const int step = static_cast<int>(ppiY * 0.03125);
    const int saved = dc.SaveDC();
    dc.SetTextAlign(fw::TA_LEFT | fw::TA_TOP);
    fw::Pen oldPen = dc.SelectPen(fw::Pen{fw::Pen::Solid, kPenWidth, fw::colors::Black});
    fw::Font font;
    font.face = "Arial";
    font.height = ppiY / 7;
    fw::Font oldFont = dc.SelectFont(font);

    dc.MoveTo(area.left, area.top);
    dc.LineTo(area.right, area.top);
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    const std::string text = SummaryHeaderText(doc->GetPathName(), local) + "\r\n" +
                             CircuitPageTitle(view.GetPrintTitleId(), view.GetPrintOutput());
    fw::Rect rc{area.left, area.top + step, area.right, area.bottom};
    const int height = dc.DrawText(text, rc, kTextFormat);
    const int y = rc.top + step + height;
    dc.MoveTo(area.left, y);
    dc.LineTo(area.right, y);
    area.top = y;

    dc.SelectFont(oldFont);
    dc.SelectPen(oldPen);
    dc.RestoreDC(saved);
}

void CCircuitPage::PrintPicture(fw::Canvas& dc, const fw::Rect& area, const CPwrQuorraView& view) {
    if (!dc.CanStretchImages()) {
        ReportMessage(52129, TRUE);
        return;
    }
    fw::Image picture;
    if (!LoadSectionPicture(static_cast<UINT>(view.GetPrintBitmapId()), picture)) {
        ReportMessage1(kModuleView, 1503, FALSE);
        return;
    }
    const fw::Rect dest = CircuitPictureRect(area, picture.Width(), picture.Height(), dc.PixelsPerInchX(),
                                             dc.PixelsPerInchY());
    if (dest.IsEmpty()) {
        ReportMessage1(kModuleView, 1505, FALSE);
        return;
    }
    dc.StretchImage(picture, dest, {0, 0, picture.Width(), picture.Height()});
}
