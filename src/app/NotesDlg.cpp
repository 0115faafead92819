#include "app/NotesDlg.h"

namespace {

using fw::ControlKind;

const fw::FormTable kNotesForm{
    IDD_NOTES,
    "Notes",
    300,
    186,
    fw::kFormCenter,
    {
        {IDC_NOTES_TEXT, ControlKind::Edit, "", 7, 7, 286, 150,
         fw::kTabStop | fw::kMultiLine | fw::kWantReturn | fw::kVScroll | fw::kBorder},
        {fw::IDOK, ControlKind::DefPushButton, "OK", 92, 164, 50, 14, fw::kGroup | fw::kTabStop},
        {fw::IDCANCEL, ControlKind::PushButton, "Cancel", 158, 164, 50, 14, fw::kTabStop},
    },
};
fw::FormRegistrar g_notesForm(kNotesForm);

}  // namespace

void CNotesDlg::DoDataExchange(fw::DataExchange& dx) { fw::DDX_Text(dx, IDC_NOTES_TEXT, m_pMiscData->m_strNotes); }
