#include "app/SummaryPage.h"

#include "circuit/Doc.h"
#include "platform/core/Format.h"
#include "resources/StringTable.h"

namespace {

// The variant titles of a section: base id + variant, for the variants the
// block holds. A variant outside the block has no title (it must not pick up
// an unrelated string).
struct TitleBlock {
    UINT base;
    WORD count;
};
constexpr TitleBlock kLineFilterTitles{51550, 10};
constexpr TitleBlock kLineRectifierTitles{51570, 6};
constexpr TitleBlock kInputCapacitorTitles{51580, 4};
constexpr TitleBlock kPrimaryTitles{51600, 10};
constexpr TitleBlock kSecondaryTitles{51640, 1};
constexpr TitleBlock kOutputChokeTitles{51650, 2};
constexpr TitleBlock kFirstStageFilterTitles{51660, 4};
constexpr TitleBlock kSecondStageFilterTitles{51670, 7};
constexpr TitleBlock kLoadNetworkTitles{51690, 4};
constexpr TitleBlock kErrorAmpTitles{51700, 8};
constexpr TitleBlock kOptoTitles{51710, 7};
constexpr TitleBlock kControlTitles{51720, 5};

// caption + the variant's title; the "none" form when no variant is chosen;
// the caption alone when the title cannot be found.
std::string SectionLine(const std::string& caption, WORD variant, TitleBlock titles) {
    if (variant == kTopologyNotChosen) return caption + "none";
    const char* title = variant < titles.count ? res::FindString(titles.base + variant) : nullptr;
    return title ? caption + title : caption;
}

std::string LineSourceLine(WORD type) {
    switch (type) {
    case 0: return "Line Source:  DC";
    case 1: return "Line Source:  1 Phase AC";
    case 2: return "Line Source:  2 Phase AC";
    case 3: return "Line Source:  3 Phase AC";
    default: return "Line Source:  none";
    }
}

constexpr unsigned kTextFormat = fw::DT_WORDBREAK | fw::DT_EXPANDTABS | fw::DT_EXTERNALLEADING | fw::DT_NOPREFIX;
constexpr int kPenWidth = 8;

}  // namespace

std::string SummaryHeaderText(const std::string& pathName, const std::tm& t) {
    return "File Name:  " + pathName + "\r\nDate:  " + SummaryDateText(t) + "\r\nTime:  " + SummaryTimeText(t);
}

std::vector<std::string> SummaryBodyLines(CPwrQuorraDoc& doc) {
    std::vector<std::string> lines;
    lines.push_back("Type:  Single Ended Forward");
    lines.push_back(LineSourceLine(doc.GetLineFilter()->GetLineSourceType()));
    lines.push_back(SectionLine("Line Filter:  ", doc.GetLineFilter()->GetTopology(), kLineFilterTitles));
    lines.push_back(SectionLine("Line Rectifier:  ", doc.GetLineRectifier()->GetTopology(), kLineRectifierTitles));
    lines.push_back(SectionLine("Input Capacitor:  ", doc.GetInputCapacitor()->GetTopology(), kInputCapacitorTitles));
    lines.push_back(SectionLine("Primary Section:  ", doc.GetPrimarySection()->GetTopology(), kPrimaryTitles));

    const CRequirements& req = *doc.GetRequirements();
    CSection* secondary[] = {doc.GetSecondarySection1(), doc.GetSecondarySection2(), doc.GetSecondarySection3(),
                             doc.GetSecondarySection4()};
    CSection* choke[] = {doc.GetOutputChoke1(), doc.GetOutputChoke2(), doc.GetOutputChoke3(), doc.GetOutputChoke4()};
    CSection* firstStage[] = {doc.Get1StgOutputFilter1(), doc.Get1StgOutputFilter2(), doc.Get1StgOutputFilter3(),
                              doc.Get1StgOutputFilter4()};
    CSection* secondStage[] = {doc.Get2StgOutputFilter1(), doc.Get2StgOutputFilter2(), doc.Get2StgOutputFilter3(),
                               doc.Get2StgOutputFilter4()};
    CSection* load[] = {doc.GetLoadNetwork1(), doc.GetLoadNetwork2(), doc.GetLoadNetwork3(), doc.GetLoadNetwork4()};
    struct Group {
        const char* caption;
        CSection** sections;
        TitleBlock titles;
    };
    const Group groups[] = {
        {"Secondary Section ", secondary, kSecondaryTitles},
        {"Output Choke ", choke, kOutputChokeTitles},
        {"First Stage Output Filter ", firstStage, kFirstStageFilterTitles},
        {"Second Stage Output Filter ", secondStage, kSecondStageFilterTitles},
        {"Load Network ", load, kLoadNetworkTitles},
    };
    for (const Group& g : groups) {
        for (int k = 0; k < 4; ++k) {
            if (!req.IsOutputEnabled(k)) continue;
            std::string caption = g.caption + std::to_string(k + 1) + ":  ";
            lines.push_back(SectionLine(caption, g.sections[k]->GetTopology(), g.titles));
        }
    }

    lines.push_back(SectionLine("Voltage Error Amplifier:  ", doc.GetVoltageErrorAmp()->GetTopology(), kErrorAmpTitles));
    lines.push_back(SectionLine("Opto-Isolator:  ", doc.GetOptoIsolator()->GetTopology(), kOptoTitles));
    lines.push_back(SectionLine("Control Section:  ", doc.GetControlSection()->GetTopology(), kControlTitles));
    return lines;
}

void PrintDesignSummary(fw::Canvas& dc, const fw::Rect& area, const std::string& pathName, CPwrQuorraDoc& doc,
                        const std::tm& now) {
    const int ppiY = dc.PixelsPerInchY();
    const int step = static_cast<int>(ppiY * 0.03125);  // 1/32 inch

    int saved = dc.SaveDC();
    dc.SetTextAlign(fw::TA_LEFT | fw::TA_TOP);
    fw::Pen oldPen = dc.SelectPen(fw::Pen{fw::Pen::Solid, kPenWidth, fw::colors::Black});
    fw::Font font;
    font.face = "Arial";
    font.height = ppiY / 7;
    fw::Font oldFont = dc.SelectFont(font);

    // The framed header.
    dc.MoveTo(area.left, area.top);
    dc.LineTo(area.right, area.top);
    fw::Rect text{area.left, area.top + step, area.right, area.bottom};
    const int headerHeight = dc.DrawText(SummaryHeaderText(pathName, now), text, kTextFormat);
    const int ruleY = text.top + step + headerHeight;
    dc.MoveTo(area.left, ruleY);
    dc.LineTo(area.right, ruleY);

    int y = ruleY + 3 * step;
    for (const std::string& line : SummaryBodyLines(doc)) {
        if (y >= area.bottom) break;  // cut off: there is no second page
        fw::Rect rc{area.left, y, area.right, area.bottom};
        y += step + dc.DrawText(line, rc, kTextFormat);
    }

    dc.SelectFont(oldFont);
    dc.SelectPen(oldPen);
    dc.RestoreDC(saved);
}
