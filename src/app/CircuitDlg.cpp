#include "app/CircuitDlg.h"

#include <algorithm>
#include <map>
#include <tuple>
#include <vector>

#include "circuit/Doc.h"
#include "platform/ui/Form.h"
#include "records/Utils.h"
#include "schematics/Pictures.h"
#include "schematics/SchemBase.h"

namespace {

constexpr UINT kModuleCircuitDlg = 56055;

struct Column {
    const char* heading;
    int first;  // first button
    int rows;
    UINT base;       // picture = base + variant
    int noParts;     // the variant without parts, -1 for none
};

const Column kColumns[] = {
    {"Line\nFilter", 1900, 3, 400, 9},
    {"Line\nRectifier", 1903, 3, 409, 0},
    {"Input\nCapacitor", 1906, 1, 420, -1},
    {"Primary\nSection", 1907, 1, 430, -1},
    {"Secondary\nSection", 1908, 4, 450, -1},
    {"Output\nChoke", 1912, 4, 460, -1},
    {"First Stage\nOutput Filter", 1916, 4, 470, -1},
    {"Second Stage\nOutput Filter", 1920, 4, 479, 0},
    {"Load\nNetwork", 1924, 4, 490, -1},
    {"Voltage Error\nAmplifier", 1928, 1, 500, -1},
    {"Opto-\nIsolator", 1929, 1, 510, 6},
    {"Control\nSection", 1930, 1, 520, -1},
};

// Two blocks of columns, so that the pictures are large enough to read: at
// the left the input side (a row per line phase) with the voltage error
// amplifier, the opto-isolator and the control section in its fourth row;
// at the right the output sections, a row per output.
fw::FormTable MakeCircuitForm() {
    constexpr int kPitchX = 86, kWidth = 82, kPitchY = 86, kHeight = 70, kTop = 26, kLeft = 6;
    std::vector<fw::FormControl> c;
    auto cell = [&c](const Column& k, int x, int y, int rows) {
        c.push_back({fw::IDC_STATIC, fw::ControlKind::Static, k.heading, x, y - 20, kWidth, 18, fw::kCenter});
        for (int r = 0; r < rows; ++r)
            c.push_back({k.first + r, fw::ControlKind::OwnerDrawButton, nullptr, x, y + kPitchY * r, kWidth, kHeight,
                         fw::kTabStop});
    };
    for (int col = 0; col < 4; ++col) cell(kColumns[col], kLeft + kPitchX * col, kTop, kColumns[col].rows);
    for (int col = 9; col < 12; ++col) cell(kColumns[col], kLeft + kPitchX * (col - 9), kTop + 3 * kPitchY + 4, 1);
    for (int col = 4; col < 9; ++col) cell(kColumns[col], kLeft + 12 + kPitchX * col, kTop, kColumns[col].rows);
    const int width = kLeft + 12 + kPitchX * 9 + kLeft;
    const int height = kTop + 4 * kPitchY + 4 + 22;
    c.push_back({fw::IDOK, fw::ControlKind::DefPushButton, "OK", width / 2 - 25, height - 18, 50, 14, fw::kTabStop});
    return {IDD_CIRCUIT, "Circuit", width, height, fw::kFormCenter, c};
}

const fw::FormTable kCircuitForm = MakeCircuitForm();
const fw::FormRegistrar kRegisterCircuit(kCircuitForm);
const fw::FormTable kEnlargedForm{IDD_ENLARGED_PICTURE, "", 200, 150, fw::kFormCenter,
                                  {{fw::IDOK, fw::ControlKind::DefPushButton, "OK", 75, 130, 50, 14, fw::kTabStop}}};
const fw::FormRegistrar kRegisterEnlarged(kEnlargedForm);

bool RealPicture(UINT id) { return id != 0 && id != kPictureNoParts && id != kPictureNotChosen; }

// A picture for a button of a given size: cut to its drawing, its lines
// thickened by as much as the shrinking will thin them, so that they stay
// black and whole in the small copy. Kept per picture and size: buttons
// repaint often.
const fw::Image& Thumbnail(UINT id, const fw::Image& picture, const fw::Rect& button, fw::Rect& drawn) {
    struct Made {
        fw::Image image;
        fw::Rect drawn;
    };
    static std::map<std::tuple<UINT, int, int>, Made> made;
    const auto key = std::make_tuple(id, button.Width(), button.Height());
    if (auto it = made.find(key); it != made.end()) {
        drawn = it->second.drawn;
        return it->second.image;
    }
    constexpr uint32_t kWhite = 0xFFFFFFFFu;
    fw::Rect ink{picture.Width(), picture.Height(), 0, 0};
    for (int y = 0; y < picture.Height(); ++y)
        for (int x = 0; x < picture.Width(); ++x)
            if (picture.Pixel(x, y) != kWhite) ink = {std::min(ink.left, x), std::min(ink.top, y),
                                                      std::max(ink.right, x + 1), std::max(ink.bottom, y + 1)};
    if (ink.IsEmpty()) ink = {0, 0, picture.Width(), picture.Height()};
    ink = {std::max(0, ink.left - 4), std::max(0, ink.top - 4), std::min(picture.Width(), ink.right + 4),
           std::min(picture.Height(), ink.bottom + 4)};
    const double fit = std::min(double(button.Width() - 6) / ink.Width(), double(button.Height() - 6) / ink.Height());
    // Not so much that neighbouring wires run together.
    const int grow = fit < 1 ? std::min(4, int(0.4 / fit)) : 0;  // pixels added on each side of a line
    fw::Image thick(ink.Width(), ink.Height(), kWhite);
    for (int y = 0; y < ink.Height(); ++y)
        for (int x = 0; x < ink.Width(); ++x) {
            if (picture.Pixel(ink.left + x, ink.top + y) == kWhite) continue;
            for (int dy = -grow; dy <= grow; ++dy)
                for (int dx = -grow; dx <= grow; ++dx)
                    if (x + dx >= 0 && y + dy >= 0 && x + dx < ink.Width() && y + dy < ink.Height())
                        thick.SetPixel(x + dx, y + dy, 0xFF000000u);
        }
    const int w = std::max(1, int(ink.Width() * std::min(fit, 1.0))), h = std::max(1, int(ink.Height() * std::min(fit, 1.0)));
    drawn = fw::Rect::FromXYWH((button.Width() - w) / 2, (button.Height() - h) / 2, w, h);
    return made.emplace(key, Made{std::move(thick), drawn}).first->second.image;
}

}  // namespace

UINT CircuitPictureId(int column, WORD variant) {
    const Column& k = kColumns[column];
    if (variant == 999) return kPictureNotChosen;
    if (k.noParts >= 0 && variant == k.noParts) return kPictureNoParts;
    return k.base + variant;
}

CCircuitDlg::CCircuitDlg(CPwrQuorraDoc* design, fw::Window* parent)
    : fw::Dialog(IDD_CIRCUIT, parent), m_pDesign(design) {}

BOOL CCircuitDlg::OnInitDialog() {
    fw::Dialog::OnInitDialog();
    CenterWindow();
    for (int id = IDC_PICTURE_FIRST; id < IDC_PICTURE_FIRST + kPictureButtons; ++id)
        OnClicked(id, [this, id] { OnPicture(id); });
    if (!m_pDesign) return TRUE;
    CPwrQuorraDoc& d = *m_pDesign;
    auto set = [this](int column, int row, WORD variant) {
        m_bitmaps[size_t(kColumns[column].first + row - IDC_PICTURE_FIRST)] = CircuitPictureId(column, variant);
    };
    const WORD source = d.GetLineFilter()->GetLineSourceType();
    const int phases = source == CLineFilter::SOURCE_3_PHASE_AC ? 3 : source == CLineFilter::SOURCE_2_PHASE_AC ? 2 : 1;
    for (int r = 0; r < phases; ++r) {
        set(0, r, d.GetLineFilter()->GetTopology());
        set(1, r, d.GetLineRectifier()->GetTopology());
    }
    set(2, 0, d.GetInputCapacitor()->GetTopology());
    set(3, 0, d.GetPrimarySection()->GetTopology());
    const int n = d.GetRequirements()->CountEnabledOutputs();
    if (n >= 1 && n <= 4) {
        CSection* const sections[5][4] = {
            {d.GetSecondarySection1(), d.GetSecondarySection2(), d.GetSecondarySection3(), d.GetSecondarySection4()},
            {d.GetOutputChoke1(), d.GetOutputChoke2(), d.GetOutputChoke3(), d.GetOutputChoke4()},
            {d.Get1StgOutputFilter1(), d.Get1StgOutputFilter2(), d.Get1StgOutputFilter3(), d.Get1StgOutputFilter4()},
            {d.Get2StgOutputFilter1(), d.Get2StgOutputFilter2(), d.Get2StgOutputFilter3(), d.Get2StgOutputFilter4()},
            {d.GetLoadNetwork1(), d.GetLoadNetwork2(), d.GetLoadNetwork3(), d.GetLoadNetwork4()}};
        for (int col = 0; col < 5; ++col)
            for (int r = 0; r < n; ++r) set(4 + col, r, sections[col][r]->GetTopology());
    }
    set(9, 0, d.GetVoltageErrorAmp()->GetTopology());
    set(10, 0, d.GetOptoIsolator()->GetTopology());
    set(11, 0, d.GetControlSection()->GetTopology());
    return TRUE;
}

void CCircuitDlg::OnDrawItem(int id, fw::Canvas& dc, const fw::Rect& rc) {
    const UINT bitmap = GetBitmapId(id);
    if (bitmap == 0) return;
    fw::Image picture;
    if (!LoadSectionPicture(bitmap, picture)) {
        ReportMessage1(kModuleCircuitDlg, 13501, FALSE);
        return;
    }
    // On white, in its own proportions, as large as the button allows.
    dc.FillRect(rc, fw::colors::White);
    fw::Rect at;
    const fw::Image& small = Thumbnail(bitmap, picture, rc, at);
    at.Offset(rc.left, rc.top);
    dc.StretchImage(small, at, {0, 0, small.Width(), small.Height()});
}

void CCircuitDlg::OnMouseMove(UINT, fw::Point p) {
    bool enlarges = false;
    for (int id = IDC_PICTURE_FIRST; id < IDC_PICTURE_FIRST + kPictureButtons; ++id)
        if (const fw::Control* c = GetDlgItem(id); c && c->GetRect().PtInRect(p)) enlarges = RealPicture(GetBitmapId(id));
    SetCursor(enlarges ? fw::CursorKind::Hand : fw::CursorKind::Arrow);
}

void CCircuitDlg::OnPicture(int id) {
    const UINT bitmap = GetBitmapId(id);
    if (!RealPicture(bitmap)) return;
    CEnlargedPictureDlg dlg(bitmap, this);
    dlg.DoModal();
}

CEnlargedPictureDlg::CEnlargedPictureDlg(UINT bitmapId, fw::Window* parent)
    : fw::Dialog(IDD_ENLARGED_PICTURE, parent), m_nBitmapId(bitmapId) {}

BOOL CEnlargedPictureDlg::OnInitDialog() {
    fw::Dialog::OnInitDialog();
    fw::Image picture;
    if (!LoadSectionPicture(m_nBitmapId, picture)) {
        ReportMessage1(kModuleCircuitDlg, 13504, FALSE);
        ReportMessage(52025, TRUE);
        return FALSE;
    }
    m_nMarginX = kPictureX;
    m_nMarginY = kPictureY;
    const int width = 2 * m_nMarginX + picture.Width() + GetFrameExtra().cx;
    const int height = 2 * m_nMarginY + picture.Height() + 50;
    SetWindowPos(0, 0, width, height, fw::SWP_NOMOVE | fw::SWP_NOZORDER);
    CenterWindow();
    if (fw::Control* ok = GetDlgItem(fw::IDOK)) {
        const fw::Rect r = ok->GetRect();
        ok->MoveWindow(width / 2 - r.Width() / 2, height - 50, r.Width(), r.Height(), TRUE);
    }
    return FALSE;
}

void CEnlargedPictureDlg::OnPaint(fw::Canvas& dc) {
    fw::Image picture;
    if (!LoadSectionPicture(m_nBitmapId, picture)) {
        ReportMessage1(kModuleCircuitDlg, 13506, FALSE);
        return;
    }
    dc.DrawImage(picture, m_nMarginX, m_nMarginY);
}
