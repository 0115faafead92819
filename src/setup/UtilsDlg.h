// Dialog helpers shared by the setup dialogs.
#pragma once

#include "platform/ui/Dialog.h"

// Checks or clears the button control id of the dialog; a missing control
// (or no dialog) is logged as Utils code 10001 or 10000.
void SetDlgItemChecked(fw::Dialog* dialog, int id);
void SetDlgItemUnchecked(fw::Dialog* dialog, int id);
