// The main frame: its menu, toolbar and status bar, the texts of the status
// panes, and the window of the open design.
#pragma once

#include <string>

#include "platform/ui/Frame.h"

class CPwrQuorraApp;

// The MainFrm module's internal codes (string 56053).
constexpr UINT kMainFrmModule = 56053;

// Status bar indicators.
constexpr UINT ID_INDICATOR_PROGRESS = 32830;
constexpr UINT ID_INDICATOR_CIRCUIT = 32831;
constexpr UINT ID_INDICATOR_OUTPUTS = 32832;
constexpr UINT ID_INDICATOR_MODE = 32833;

// Pane 3's text for a control section variant (999: none chosen); an empty
// result means the pane keeps its text (a variant without a name).
std::string ControlModePaneText(WORD variant);
// Pane 4's text for the number of outputs: "1 Output" .. "4 Outputs", else a blank.
std::string OutputsPaneText(WORD outputs);

class CMainFrame : public fw::FrameWnd {
public:
    explicit CMainFrame(CPwrQuorraApp& app);

    int OnCreate() override;
    BOOL OnQueryClose() override;
    void OnDropFiles(const std::vector<std::string>& paths) override;
    void OnPostedMessage(UINT message, intptr_t wParam, intptr_t lParam) override;

    // Panes 3 and 4 from the open design.
    void UpdateStatusPanes();
    // The recent-file entries of the File menu.
    void UpdateRecentFileMenu();
    // The frame's and the design window's titles.
    void UpdateTitle();

    // Pane indices.
    static constexpr int kPaneMessage = 0;
    static constexpr int kPaneCircuit = 1;
    static constexpr int kPaneMode = 2;
    static constexpr int kPaneOutputs = 3;
    static constexpr int kPaneProgress = 4;

private:
    void RegisterCommands();
    CPwrQuorraApp& app_;
};
