// The base of the part editing dialogs and of the graph settings dialogs:
// the caption given by the caller, an OK that closes only when the OK button
// itself has the focus, the right-click menu with OK and Cancel, and the
// Load and Store buttons that reach the parts database.
//
// The dialogs edit the caller's record in place while they run; callers hand
// them a copy and commit it only when DoModal returns IDOK.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>

#include "platform/ui/DDX.h"
#include "platform/ui/Dialog.h"
#include "records/DbMgr.h"
#include "setup/DlgIds.h"

constexpr UINT kModuleBaseDlg = 56030;

class CComponentDlgBase : public fw::Dialog {
public:
    // caption: the window title to set when the dialog opens; nullptr keeps
    // the form's own title.
    CComponentDlgBase(UINT templateId, const char* caption, fw::Window* parent);
    ~CComponentDlgBase() override = default;

    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnRButtonDown(UINT flags, fw::Point p) override;
    // "OK" of the right-click menu: exchange, check and close whatever has
    // the focus.
    void OnPopupOK();

    // Reports a non-zero result of a parts database load or store.
    static void ReportDbResult(int result);

protected:
    // Wires the Load (1262) and Store (1263) buttons to the database
    // operations for the record.
    template <class Rec>
    void UseDatabaseButtons(Rec* record, int32_t (CPartsDbMgr::*load)(Rec*), int32_t (CPartsDbMgr::*store)(Rec*)) {
        m_load = [record, load] { return (g_PartsDbMgr.*load)(record); };
        m_store = [record, store] { return (g_PartsDbMgr.*store)(record); };
    }
    void OnLoad();
    void OnStore();
    // While the database is off, hides Load and Store and centres OK and
    // Cancel on the bottom edge. Derived dialogs call it right after the
    // base's OnInitDialog.
    void ArrangeDatabaseButtons();

    // Checks a derived dialog adds before any OK closes it (the popup's
    // included). TRUE lets the dialog close.
    virtual BOOL CanCloseWithOK() { return TRUE; }

    // Exchanges a double with an edit field without rounding it: the field
    // shows the value with 15 significant digits, and a field whose text the
    // user left as it was gives back the exact value it was filled with.
    void DDX_Exact(fw::DataExchange& dx, int id, double& value);
    // A radio group's checked position; with no button checked the value
    // stays as it was.
    static void DDX_RadioKeep(fw::DataExchange& dx, int firstId, int32_t& value);

    // What the system does for a dialog whose initialisation leaves the
    // focus to it: the first control that can take it.
    void FocusFirstControl();

private:
    std::optional<std::string> m_caption;
    std::function<int32_t()> m_load;
    std::function<int32_t()> m_store;
    struct Shown {
        std::string text;
        double value;
    };
    std::map<int, Shown> m_shown;
};
