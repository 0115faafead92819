#include "app/CircuitDlg.h"

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

fw::FormTable MakeCircuitForm() {
    std::vector<fw::FormControl> c;
    for (int col = 0; col < 12; ++col) {
        const Column& k = kColumns[col];
        const int x = 3 + 55 * col;
        c.push_back({fw::IDC_STATIC, fw::ControlKind::Static, k.heading, x, 14, 54, 18, fw::kCenter});
        for (int r = 0; r < k.rows; ++r)
            c.push_back({k.first + r, fw::ControlKind::OwnerDrawButton, nullptr, x, 39 + 54 * r, 50, 50, fw::kTabStop});
    }
    c.push_back({fw::IDOK, fw::ControlKind::DefPushButton, "OK", 305, 268, 50, 14, fw::kTabStop});
    return {IDD_CIRCUIT, "Circuit", 661, 288, fw::kFormCenter, c};
}

const fw::FormTable kCircuitForm = MakeCircuitForm();
const fw::FormRegistrar kRegisterCircuit(kCircuitForm);
const fw::FormTable kEnlargedForm{IDD_ENLARGED_PICTURE, "", 200, 150, fw::kFormCenter,
                                  {{fw::IDOK, fw::ControlKind::DefPushButton, "OK", 75, 130, 50, 14, fw::kTabStop}}};
const fw::FormRegistrar kRegisterEnlarged(kEnlargedForm);

bool RealPicture(UINT id) { return id != 0 && id != kPictureNoParts && id != kPictureNotChosen; }

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
    dc.StretchImage(picture, rc, {0, 0, picture.Width(), picture.Height()});
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
