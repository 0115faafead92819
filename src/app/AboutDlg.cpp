#include "app/AboutDlg.h"

namespace {

using fw::ControlKind;

const fw::FormTable kAboutForm{
    IDD_ABOUTBOX,
    "About Power Quorra Designer",
    236,
    120,
    fw::kFormCenter,
    {
        {fw::IDC_STATIC, ControlKind::Static, "Power Quorra Designer", 12, 10, 160, 10},
        {fw::IDC_STATIC, ControlKind::Static, "Made by Halverd", 12, 22, 160, 10},
        {fw::IDC_STATIC, ControlKind::Static, "Version", 12, 40, 50, 9},
        {IDC_ABOUT_VERSION, ControlKind::Static, "", 66, 40, 100, 9},
        {fw::IDC_STATIC, ControlKind::Static, "Build date", 12, 51, 50, 9},
        {IDC_ABOUT_BUILD_DATE, ControlKind::Static, "", 66, 51, 100, 9},
        {fw::IDC_STATIC, ControlKind::Static, "Build time", 12, 62, 50, 9},
        {IDC_ABOUT_BUILD_TIME, ControlKind::Static, "", 66, 62, 100, 9},
        {fw::IDC_STATIC, ControlKind::EtchedLine, "", 12, 76, 212, 1},
        {fw::IDC_STATIC, ControlKind::Static,
         "Copyright (c) Halverd. All rights reserved.\n"
         "Results of the analyses must be checked by the engineer\n"
         "before a design is built.",
         12, 80, 212, 28, fw::kNoPrefix},
        {fw::IDOK, ControlKind::DefPushButton, "OK", 180, 10, 44, 14, fw::kGroup | fw::kTabStop},
    },
};
fw::FormRegistrar g_aboutForm(kAboutForm);

}  // namespace

BOOL CAboutDlg::OnInitDialog() {
    fw::Dialog::OnInitDialog();
    if (fw::Control* c = GetDlgItem(IDC_ABOUT_VERSION)) c->SetWindowText(kProgramVersion);
    if (fw::Control* c = GetDlgItem(IDC_ABOUT_BUILD_DATE)) c->SetWindowText(kBuildDate);
    if (fw::Control* c = GetDlgItem(IDC_ABOUT_BUILD_TIME)) c->SetWindowText(kBuildTime);
    CenterWindow();
    return FALSE;
}
