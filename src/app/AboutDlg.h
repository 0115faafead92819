// Help > About: the program's title, its version and build, the maker's
// line and a legal notice.
#pragma once

#include "platform/ui/Dialog.h"

constexpr UINT IDD_ABOUTBOX = 200;
constexpr int IDC_ABOUT_VERSION = 1550;
constexpr int IDC_ABOUT_BUILD_DATE = 1551;
constexpr int IDC_ABOUT_BUILD_TIME = 1552;

// The build identification the About box shows.
constexpr const char* kProgramVersion = "1.00";
constexpr const char* kBuildDate = "Sep 27 2002";
constexpr const char* kBuildTime = "19:50:00";

class CAboutDlg : public fw::Dialog {
public:
    explicit CAboutDlg(fw::Window* parent = nullptr) : fw::Dialog(IDD_ABOUTBOX, parent) {}
    // Writes the version, build date and build time into their fields (each
    // only where the form has it) and centres the box.
    BOOL OnInitDialog() override;
};
