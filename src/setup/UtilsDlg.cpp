#include "setup/UtilsDlg.h"

#include "records/Utils.h"

namespace {

// Module "Utils" of the internal codes.
constexpr UINT kUtilsModule = 56082;

void SetCheckOrReport(fw::Dialog* dialog, int id, int state, int missingCode) {
    fw::Control* control = dialog ? dialog->GetDlgItem(id) : nullptr;
    if (!control) {
        ReportMessage1(kUtilsModule, missingCode, FALSE);
        return;
    }
    control->SetCheck(state);
}

}  // namespace

void SetDlgItemChecked(fw::Dialog* dialog, int id) { SetCheckOrReport(dialog, id, fw::BST_CHECKED, 10001); }

void SetDlgItemUnchecked(fw::Dialog* dialog, int id) { SetCheckOrReport(dialog, id, fw::BST_UNCHECKED, 10000); }
