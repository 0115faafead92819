#include "app/Splash.h"

#include "platform/ui/ResourceImages.h"
#include "records/Utils.h"

namespace {

const fw::FormTable kSplashForm{
    IDD_SPLASH,
    "",
    275,
    111,
    fw::kFormNoCaption | fw::kFormCenter,
    {
        {IDC_SPLASH_ICON, fw::ControlKind::OwnerDrawButton, "", 8, 6, 48, 44, fw::kDisabled},
        {fw::IDC_STATIC, fw::ControlKind::Static, "Power Quorra Designer", 70, 12, 196, 12},
        {fw::IDC_STATIC, fw::ControlKind::Static, "Made by Halverd", 70, 30, 196, 10},
        {fw::IDC_STATIC, fw::ControlKind::EtchedLine, "", 8, 54, 259, 1},
        {fw::IDC_STATIC, fw::ControlKind::Static,
         "Copyright (c) Halverd. All rights reserved.\n"
         "This program and its documentation are protected by copyright law.\n"
         "Copying or distributing them, in whole or in part, without written\n"
         "permission is not allowed. Use of the program is subject to the\n"
         "licence agreement that comes with it. Results of the analyses must\n"
         "be checked by the engineer before a design is built.",
         8, 57, 259, 52, fw::kNoPrefix},
    },
};
fw::FormRegistrar g_splashForm(kSplashForm);

}  // namespace

void CIconButton::DrawItem(fw::Canvas& dc, const fw::Rect& rc) {
    fw::Image icon = fw::LoadIconImage(IDI_DOCUMENT);
    if (icon.IsNull()) return;
    fw::Size iconSize = fw::Windows().GetIconSize();
    const int w = rc.Width(), h = rc.Height();
    if (iconSize.cx <= 0 || iconSize.cy <= 0 || w <= 8 || h <= 8) return;

    // The picture: what lies under the button, shrunk to the icon size, with
    // the icon over it at its own size.
    fw::Image memory(iconSize.cx, iconSize.cy);
    fw::Rect inner = fw::Rect::FromXYWH(2, 2, w - 8, h - 8);
    fw::Image background;
    if (dc.GrabArea(inner, background))
        memory = background.Scaled(fw::Rect::FromXYWH(0, 0, background.Width(), background.Height()), iconSize.cx,
                                   iconSize.cy);
    memory.Blend(icon, 0, 0);

    fw::Pen oldPen = dc.SelectPen(fw::Pen{fw::Pen::Solid, 1, fw::colors::Black});
    fw::Brush oldBrush = dc.SelectBrush(fw::Brush{true, fw::colors::White});
    dc.Rectangle(0, 0, w - 4, h - 4);
    dc.SelectBrush(oldBrush);
    dc.SelectPen(oldPen);
    dc.FillRect({w - 4, 4, w, h}, fw::colors::DarkGray);
    dc.FillRect({4, h - 4, w, h}, fw::colors::DarkGray);
    dc.StretchImage(memory, inner, fw::Rect::FromXYWH(0, 0, memory.Width(), memory.Height()));
}

BOOL CSplashWnd::Create(fw::Window* parent) {
    if (!fw::Dialog::Create(parent)) {
        ReportMessage1(kSplashModule, 21100, FALSE);
        return FALSE;
    }
    return TRUE;
}

BOOL CSplashWnd::OnInitDialog() {
    fw::Dialog::OnInitDialog();
    CenterWindow();
    fw::Control* button = GetDlgItem(IDC_SPLASH_ICON);
    iconButton_.Attach(button);
    if (button) {
        fw::Size icon = fw::Windows().GetIconSize();
        button->SetWindowPos(0, 0, icon.cx * 2 + 8, icon.cy * 2 + 8,
                             fw::SWP_NOMOVE | fw::SWP_NOZORDER | fw::SWP_NOACTIVATE);
    }
    return TRUE;
}

void CSplashWnd::OnDrawItem(int id, fw::Canvas& dc, const fw::Rect& rc) {
    if (id == IDC_SPLASH_ICON) iconButton_.DrawItem(dc, rc);
}
