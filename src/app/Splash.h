// The splash window shown over the main frame while the program starts: the
// product title, the maker's line, a rule, a legal notice and the design
// document's icon, framed and enlarged, on an owner-drawn button.
#pragma once

#include "platform/ui/Dialog.h"

constexpr UINT IDD_SPLASH = 261;
constexpr int IDC_SPLASH_ICON = 106;
constexpr UINT IDI_DOCUMENT = 102;
// The Splash module's internal codes (string 56079).
constexpr UINT kSplashModule = 56079;

class CIconButton {
public:
    // The button control the dialog drew this on; nullptr until attached.
    void Attach(fw::Control* control) { control_ = control; }
    fw::Control* GetControl() const { return control_; }
    // Draws the icon, enlarged, over a shrunken copy of what lies beneath,
    // inside a black frame with a 4-pixel shadow. The background is not
    // erased first.
    void DrawItem(fw::Canvas& dc, const fw::Rect& rc);

private:
    fw::Control* control_ = nullptr;
};

class CSplashWnd : public fw::Dialog {
public:
    CSplashWnd() : fw::Dialog(IDD_SPLASH) {}
    // Creates the modeless splash over the parent; FALSE (internal code
    // 21100 logged) when it could not be created.
    BOOL Create(fw::Window* parent);
    BOOL OnInitDialog() override;
    void OnDrawItem(int id, fw::Canvas& dc, const fw::Rect& rc) override;
    CIconButton& IconButton() { return iconButton_; }

private:
    CIconButton iconButton_;
};
