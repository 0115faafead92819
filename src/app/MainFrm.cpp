#include "app/MainFrm.h"

#include "app/Morvane.h"
#include "records/Utils.h"
#include "resources/StringTable.h"

namespace {

constexpr UINT kToolbarResource = 103;
constexpr UINT kControlTitleBase = 51720;
// The control section's block of variant titles holds ten ids; a variant
// outside it has no name (and must not pick up an unrelated message).
constexpr WORD kVariantsPerBlock = 10;
constexpr WORD kNotChosen = 999;

}  // namespace

std::string ControlModePaneText(WORD variant) {
    if (variant == kNotChosen) return "Mode: ";
    if (variant >= kVariantsPerBlock) return {};
    const char* name = res::FindString(kControlTitleBase + variant);
    return name ? std::string("Mode: ") + name : std::string();
}

std::string OutputsPaneText(WORD outputs) {
    switch (outputs) {
    case 1: return "1 Output";
    case 2: return "2 Outputs";
    case 3: return "3 Outputs";
    case 4: return "4 Outputs";
    default: return " ";
    }
}

CMainFrame::CMainFrame(CPwrQuorraApp& app) : app_(app) {
    SetNextTarget(&app);
    RegisterCommands();
}

void CMainFrame::RegisterCommands() {
    fw::CommandMap& m = Commands();
    auto designOpen = [this] { return app_.GetDocument() != nullptr; };
    auto running = [this] {
        CDocumentHost* doc = app_.GetDocument();
        return doc && doc->IsAnalysisRunning();
    };
    // R1: no design, or no run in progress. R2: a design and no run.
    auto r1 = [running](fw::CmdUI& ui) { ui.Enable(!running()); };
    auto r2 = [designOpen, running](fw::CmdUI& ui) { ui.Enable(designOpen() && !running()); };
    m.OnUpdate(fw::ID_FILE_NEW, r1);
    m.OnUpdate(fw::ID_FILE_OPEN, r1);
    m.OnUpdate(fw::ID_FILE_SAVE, r2);
    m.OnUpdate(fw::ID_FILE_SAVE_AS, r2);
    m.OnUpdate(fw::ID_FILE_PRINT_SETUP, r2);

    m.OnCommandRange(fw::ID_FILE_MRU_FILE1, fw::ID_FILE_MRU_FILE1 + 3, [this](UINT id) {
        size_t index = id - fw::ID_FILE_MRU_FILE1;
        if (index >= app_.RecentFiles().Size()) return;
        std::string path = app_.RecentFiles()[index];
        app_.OpenDocumentFile(path);
        // A design that could not be opened leaves the list.
        if (app_.LastOpenFailed()) {
            for (size_t i = 0; i < app_.RecentFiles().Size(); ++i) {
                if (app_.RecentFiles()[i] == path) {
                    app_.RecentFiles().Remove(i);
                    break;
                }
            }
            UpdateRecentFileMenu();
        }
    });
    m.OnUpdateRange(fw::ID_FILE_MRU_FILE1, fw::ID_FILE_MRU_FILE1 + 3, [this, running](fw::CmdUI& ui) {
        size_t index = ui.m_nID - fw::ID_FILE_MRU_FILE1;
        ui.Enable(index < app_.RecentFiles().Size() && app_.CanOpenFiles() && !running());
    });

    m.OnCommand(fw::ID_APP_EXIT, [this] { app_.OnAppExit(); });
    m.OnCommand(fw::ID_VIEW_TOOLBAR, [this] { ShowToolBar(!GetToolBar().visible); });
    m.OnUpdate(fw::ID_VIEW_TOOLBAR, [this](fw::CmdUI& ui) { ui.SetCheck(GetToolBar().visible ? 1 : 0); });
    m.OnCommand(fw::ID_VIEW_STATUS_BAR, [this] { ShowStatusBar(!GetStatusBar().visible); });
    m.OnUpdate(fw::ID_VIEW_STATUS_BAR, [this](fw::CmdUI& ui) { ui.SetCheck(GetStatusBar().visible ? 1 : 0); });

    // Panes 2 to 5 show their text only while a design is open.
    for (UINT indicator : {ID_INDICATOR_CIRCUIT, ID_INDICATOR_MODE, ID_INDICATOR_OUTPUTS, ID_INDICATOR_PROGRESS})
        m.OnUpdate(indicator, [designOpen](fw::CmdUI& ui) { ui.Enable(designOpen()); });
}

int CMainFrame::OnCreate() {
    if (!GetToolBar().LoadToolBar(kToolbarResource)) {
        ReportMessage1(kMainFrmModule, 1902, FALSE);
        return -1;
    }
    GetStatusBar().SetIndicators(
        {fw::ID_SEPARATOR, ID_INDICATOR_CIRCUIT, ID_INDICATOR_MODE, ID_INDICATOR_OUTPUTS, ID_INDICATOR_PROGRESS});
    if (GetStatusBar().GetCount() != 5) {
        ReportMessage1(kMainFrmModule, 1903, FALSE);
        return -1;
    }
    GetStatusBar().SetPaneText(kPaneMessage, IdleMessage());
    GetStatusBar().SetPaneText(kPaneProgress, "  ");
    UpdateRecentFileMenu();
    UpdateTitle();
    return 0;
}

BOOL CMainFrame::OnQueryClose() { return app_.CloseCurrentDocument(); }

void CMainFrame::OnDropFiles(const std::vector<std::string>& paths) {
    // One design at a time: the first file dropped is the one opened.
    if (!paths.empty()) app_.OpenDocumentFile(paths.front());
}

void CMainFrame::OnPostedMessage(UINT message, intptr_t wParam, intptr_t lParam) {
    // The run progress and result messages (0x8001 to 0x8004) are handled
    // by the run display; nothing else is posted to the frame.
}

void CMainFrame::UpdateStatusPanes() {
    CDocumentHost* doc = app_.GetDocument();
    if (!doc) {
        SetStatusPaneText(kPaneMode, " ");
        SetStatusPaneText(kPaneOutputs, " ");
    } else {
        std::string mode = ControlModePaneText(doc->GetControlSectionTopology());
        if (!mode.empty()) SetStatusPaneText(kPaneMode, mode);
        SetStatusPaneText(kPaneOutputs, OutputsPaneText(doc->GetNumberOfOutputs()));
    }
    UpdateStatusBarNow();
}

void CMainFrame::UpdateRecentFileMenu() {
    const UINT first = fw::ID_FILE_MRU_FILE1, last = fw::ID_FILE_MRU_FILE1 + 3;
    for (fw::MenuItem& popup : GetMenu().items) {
        if (popup.kind != fw::MenuItem::Popup) continue;
        auto& items = popup.items;
        size_t at = items.size();
        for (size_t i = 0; i < items.size(); ++i) {
            if (items[i].kind == fw::MenuItem::Command && items[i].id >= first && items[i].id <= last) {
                at = i;
                break;
            }
        }
        if (at == items.size()) continue;
        size_t end = at;
        while (end < items.size() && items[end].kind == fw::MenuItem::Command && items[end].id >= first &&
               items[end].id <= last)
            ++end;
        items.erase(items.begin() + static_cast<long>(at), items.begin() + static_cast<long>(end));
        std::vector<fw::MenuItem> entries;
        const auto& list = app_.RecentFiles();
        if (list.Size() == 0) {
            fw::MenuItem placeholder;
            placeholder.id = first;
            placeholder.text = "Recent File";
            placeholder.enabled = false;
            entries.push_back(placeholder);
        }
        for (size_t i = 0; i < list.Size(); ++i) {
            fw::MenuItem item;
            item.id = first + static_cast<UINT>(i);
            item.text = list.MenuText(i);
            entries.push_back(item);
        }
        items.insert(items.begin() + static_cast<long>(at), entries.begin(), entries.end());
        MenuChanged();
        return;
    }
}

void CMainFrame::UpdateTitle() {
    const char* appTitle = res::FindString(57344);
    std::string title = appTitle ? appTitle : "";
    CDocumentHost* doc = app_.GetDocument();
    if (doc) title += " - " + doc->GetTitle();
    SetWindowText(title);
    SetChild(doc != nullptr, doc ? doc->GetTitle() : std::string());
}
