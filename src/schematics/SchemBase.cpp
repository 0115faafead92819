#include "schematics/SchemBase.h"

#include <algorithm>
#include <utility>

#include "platform/ui/Form.h"
#include "platform/ui/Services.h"
#include "records/Utils.h"
#include "resources/StringTable.h"
#include "schematics/Pictures.h"

namespace {

const fw::FormTable kSchematicForm = {
    IDD_SCHEMATIC,
    "Use SetWindowText()",
    327,
    266,
    fw::kFormCenter,
    {
        {fw::IDOK, fw::ControlKind::DefPushButton, "OK", 100, 240, 50, 14, fw::kTabStop},
        {fw::IDCANCEL, fw::ControlKind::PushButton, "Cancel", 170, 240, 50, 14, fw::kTabStop},
        {IDC_SCHEM_DEFAULT, fw::ControlKind::PushButton, "Default", 60, 220, 50, 14, fw::kTabStop},
        {IDC_SCHEM_PRINT, fw::ControlKind::PushButton, "Print", 138, 220, 50, 14, fw::kTabStop},
        {IDC_SCHEM_COPY, fw::ControlKind::PushButton, "Copy", 216, 220, 50, 14, fw::kTabStop},
    },
};
const fw::FormRegistrar kRegisterSchematicForm(kSchematicForm);

SchematicPrinter& Printer() {
    static SchematicPrinter printer;
    return printer;
}

constexpr int kCodeNoLibrary = 1627;
constexpr int kCodeNoBitmap = 1628;
constexpr int kCodePaintNoBitmap = 1630;
constexpr int kCodeNoView = 1632;
constexpr int kCodeCopyNoBitmap = 1634;
constexpr int kCodeClipboard = 1635;

}  // namespace

void SetSchematicPrinter(SchematicPrinter printer) { Printer() = std::move(printer); }

std::string SchematicTitle(const std::string& text, int titleKind, int output) {
    static const char* const kPrefixes[] = {"Secondary  ", "Output Choke ", "First Stage Output Filter ",
                                            "Second Stage Output Filter ", "Load Network "};
    if (titleKind < 1 || titleKind > 5 || output < 1 || output > 4) return text;
    return kPrefixes[titleKind - 1] + std::to_string(output) + ": " + text;
}

CSchematicDlgBase::CSchematicDlgBase(UINT templateId, UINT pictureId, UINT listId, fw::Window* parent)
    : fw::Dialog(templateId, parent), m_nPictureId(pictureId) {
    // The buttons work even when the picture cannot be shown.
    OnClicked(IDC_SCHEM_DEFAULT, [this] { OnDefault(); });
    OnClicked(IDC_SCHEM_PRINT, [this] { OnPrint(); });
    OnClicked(IDC_SCHEM_COPY, [this] { OnCopy(); });
    CResourceWordReader reader(listId);
    int code = LoadHotSpots(reader, m_HotSpots, m_nHotSpots);
    if (code) ReportMessage1(kModuleBaseDlg, code, FALSE);
}

BOOL CSchematicDlgBase::OnInitDialog() {
    fw::Dialog::OnInitDialog();
    fw::Image picture;
    if (!LoadSectionPicture(m_nPictureId, picture)) {
        ReportMessage1(kModuleBaseDlg, kCodeNoBitmap, FALSE);
        ReportMessage(52025, TRUE);
        return FALSE;
    }
    m_nPictureWidth = picture.Width();
    m_nPictureHeight = picture.Height();

    fw::Size frame = GetFrameExtra();
    m_nWindowWidth = 2 * m_nPictureX + m_nPictureWidth + frame.cx;
    m_nWindowHeight = 2 * m_nPictureY + m_nPictureHeight + 100;
    SetWindowPos(0, 0, m_nWindowWidth, m_nWindowHeight, fw::SWP_NOMOVE | fw::SWP_NOZORDER);
    CenterWindow();

    const int centre = m_nWindowWidth / 2;
    const int H = m_nWindowHeight;
    auto place = [this](int id, int x, int y) {
        if (fw::Control* c = GetDlgItem(id)) {
            fw::Rect r = c->GetRect();
            c->MoveWindow(x, y, r.Width(), r.Height(), TRUE);
        }
    };
    auto width = [this](int id) {
        const fw::Control* c = GetDlgItem(id);
        return c ? c->GetRect().Width() : 0;
    };
    place(IDC_SCHEM_DEFAULT, centre - width(IDC_SCHEM_DEFAULT) - 50, H - 100);
    place(IDC_SCHEM_PRINT, centre - width(IDC_SCHEM_PRINT) / 2, H - 100);
    place(IDC_SCHEM_COPY, centre + 50, H - 100);
    place(fw::IDOK, centre - width(fw::IDOK) - 10, H - 65);
    place(fw::IDCANCEL, centre + 10, H - 65);

    if (m_nTitleId != 0) {
        const char* text = res::FindString(m_nTitleId);
        SetWindowText(SchematicTitle(text ? text : "", m_nTitleKind, m_nUnit));
    }
    return FALSE;
}

void CSchematicDlgBase::OnPaint(fw::Canvas& dc) {
    fw::Image picture;
    if (LoadSectionPicture(m_nPictureId, picture)) dc.DrawImage(picture, m_nPictureX, m_nPictureY);
    else ReportMessage1(kModuleBaseDlg, kCodePaintNoBitmap, FALSE);
    BeginLabels(dc);
    PaintLabels();
    EndLabels();
}

void CSchematicDlgBase::BeginLabels(fw::Canvas& dc) {
    m_pLabelDC = &dc;
    fw::Font font;
    font.face = "Arial";
    font.height = 14;
    font.weight = 400;
    m_OldFont = dc.SelectFont(font);
}

void CSchematicDlgBase::DrawLabel(int record, const std::string& text) {
    if (!m_pLabelDC || record < 0 || record >= m_nHotSpots) return;
    m_Labels.push_back({record, text});
}

void CSchematicDlgBase::EndLabels() {
    if (m_pLabelDC) {
        std::vector<fw::Rect> at;
        std::vector<int> widths;
        for (const auto& [record, text] : m_Labels) {
            at.push_back(m_HotSpots[record].GetRect());
            widths.push_back(m_pLabelDC->GetTextExtent(text).cx);
        }
        const std::vector<int> starts = LabelStarts(at, widths, m_nPictureX + 2);
        for (size_t i = 0; i < m_Labels.size(); ++i) m_pLabelDC->TextOut(starts[i], at[i].top, m_Labels[i].second);
        m_pLabelDC->SelectFont(m_OldFont);
    }
    m_Labels.clear();
    m_pLabelDC = nullptr;
}

std::vector<int> LabelStarts(const std::vector<fw::Rect>& at, const std::vector<int>& widths, int minLeft) {
    constexpr int kGap = 8, kRow = 16;
    std::vector<size_t> order(at.size());
    for (size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&at](size_t a, size_t b) { return at[a].left < at[b].left; });
    std::vector<int> starts(at.size());
    for (size_t k = 0; k < order.size(); ++k) {
        const size_t i = order[k];
        starts[i] = at[i].left;
        for (size_t m = 0; m < k; ++m) {
            const size_t j = order[m];
            const bool sameRow = at[j].top < at[i].top + kRow && at[i].top < at[j].top + kRow;
            if (!sameRow || starts[j] >= at[i].left || starts[j] + widths[j] + kGap <= starts[i]) continue;
            // The text before moves left as far as the picture allows, unless
            // it was moved already; this one takes the rest.
            const int need = starts[j] + widths[j] + kGap - starts[i];
            if (starts[j] == at[j].left) starts[j] -= std::min(need, std::max(0, starts[j] - minLeft));
            starts[i] = std::max(starts[i], starts[j] + widths[j] + kGap);
        }
    }
    return starts;
}

int CSchematicDlgBase::HitGroup(fw::Point p) const {
    for (int i = 0; i < m_nHotSpots; ++i)
        if (m_HotSpots[i].HitTest(p)) return m_HotSpots[i].GetGroup();
    return -1;
}

void CSchematicDlgBase::SetCursorAt(fw::Point p) {
    SetCursor(HitGroup(p) >= 0 ? fw::CursorKind::Hand : fw::CursorKind::Arrow);
}

void CSchematicDlgBase::OnLButtonUp(UINT flags, fw::Point p) {
    SetCursor(fw::CursorKind::Arrow);
    m_nClickedGroup = HitGroup(p);
}

void CSchematicDlgBase::OnRButtonDown(UINT flags, fw::Point p) {
    TrackContextMenu(IDR_SCHEMATIC_MENU, 1, p);
    if (!IsEnded()) SetCursorAt(p);
}

void CSchematicDlgBase::OnDefault() {
    SetSectionDefaults();
    Invalidate(FALSE);
}

void CSchematicDlgBase::OnPrint() {
    const SchematicPrinter& print = Printer();
    if (!print || !print(static_cast<int>(m_nPictureId), static_cast<int>(m_nTitleId), m_nUnit))
        ReportMessage1(kModuleBaseDlg, kCodeNoView, FALSE);
}

void CSchematicDlgBase::OnCopy() {
    fw::Image picture;
    if (!LoadSectionPicture(m_nPictureId, picture)) {
        ReportMessage1(kModuleBaseDlg, kCodeCopyNoBitmap, FALSE);
        return;
    }
    // The bare picture, without the labels.
    if (!fw::GetClipboard().SetImage(picture)) {
        ReportMessage1(kModuleBaseDlg, kCodeClipboard, FALSE);
        ReportMessage(52024, TRUE);
    }
}
