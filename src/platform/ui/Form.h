// Dialog form tables: what a dialog resource holds. A form lists its
// controls with their ids, kinds, captions and rectangles in dialog units;
// the window binding turns any form into a real window, and the dialog model
// (Dialog.h) keeps the controls' state so that dialog logic runs without one.
//
// A dialog's form is registered by id with a FormRegistrar in the same .cpp
// file as the dialog class that uses it, so that it is linked wherever the
// class is.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <vector>

#include "platform/core/Types.h"

namespace fw {

// Control ids of the framework.
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDABORT = 3;
constexpr int IDRETRY = 4;
constexpr int IDIGNORE = 5;
constexpr int IDYES = 6;
constexpr int IDNO = 7;
constexpr int IDC_STATIC = -1;

enum class ControlKind {
    Static,          // text label
    Edit,            // text field
    PushButton,
    DefPushButton,   // the button that Enter presses
    CheckBox,        // checks itself when clicked
    RadioButton,     // checks itself and clears the others of its group
    GroupBox,        // titled frame
    ListBox,
    ComboBox,        // drop-down list (kDropDown adds a text field)
    EtchedLine,      // horizontal or vertical rule
    OwnerDrawButton, // button that the dialog draws (OnDrawItem)
};

// Control styles (or-ed).
enum : unsigned {
    kGroup = 0x0001,     // starts a group: the radio buttons up to the next group form one set
    kTabStop = 0x0002,
    kDisabled = 0x0004,
    kHidden = 0x0008,
    kMultiLine = 0x0010,
    kReadOnly = 0x0020,
    kCenter = 0x0040,
    kRight = 0x0080,
    kBorder = 0x0100,
    kSort = 0x0200,
    kVScroll = 0x0400,
    kWantReturn = 0x0800,
    kDropDown = 0x1000,  // combo box with a text field
    kNoPrefix = 0x2000,  // "&" in a static text is shown as it is
    kSunken = 0x4000,
};

// Form styles.
enum : unsigned {
    kFormNoCaption = 0x0001,  // no title bar (splash windows)
    kFormCenter = 0x0002,     // centred over the parent when created
};

struct FormControl {
    int id;
    ControlKind kind;
    const char* caption;  // 8-bit text; nullptr for none
    int x, y, cx, cy;     // dialog units
    unsigned style = 0;
};

struct FormTable {
    UINT id;
    const char* caption;
    int cx, cy;  // client size in dialog units
    unsigned style;
    std::vector<FormControl> controls;
};

// The form registered under the id, or nullptr.
const FormTable* FindForm(UINT id);

class FormRegistrar {
public:
    explicit FormRegistrar(const FormTable& form);
};

}  // namespace fw
