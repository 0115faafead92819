// Building the part editing forms: a column of labelled value fields with
// their units, laid out from the texts, so that every form of the part
// dialogs has the same look and no text is cut.
#pragma once

#include <string>
#include <vector>

#include "platform/ui/Form.h"

namespace parts_forms {

// One line of a form, top to bottom.
struct Line {
    enum Kind { Field, Check, Text, Button, Radio, GroupStart, GroupEnd, Gap };
    Kind kind;
    int id = -1;
    const char* label = nullptr;
    const char* unit = nullptr;
    int labelId = -1;  // ids of the field's name and unit labels, when the
    int unitId = -1;   // dialog greys or changes them
    int lines = 1;     // text lines of a Text line
};

inline Line Field(int id, const char* label, const char* unit = nullptr, int labelId = -1, int unitId = -1) {
    return {Line::Field, id, label, unit, labelId, unitId};
}
inline Line Check(int id, const char* caption) { return {Line::Check, id, caption}; }
inline Line Text(const char* text, int lines = 1) { return {Line::Text, -1, text, nullptr, -1, -1, lines}; }
inline Line Button(int id, const char* caption) { return {Line::Button, id, caption}; }
// Radio buttons follow one another as one group.
inline Line Radio(int id, const char* caption) { return {Line::Radio, id, caption}; }
inline Line GroupStart(const char* title) { return {Line::GroupStart, -1, title}; }
inline Line GroupEnd() { return {Line::GroupEnd}; }

// Width in dialog units that a text needs in the dialog font.
int TextWidth(const std::string& text);

// The form: the name field first when withName, the lines, then OK and
// Cancel (with Load and Store before them when withDatabase).
fw::FormTable ValueForm(UINT id, const char* title, bool withName, const std::vector<Line>& lines,
                        bool withDatabase);

// The bottom row of OK and Cancel (and Load, Store) for a form of the given
// size; y is the row's top.
void AddButtonRow(std::vector<fw::FormControl>& controls, int cx, int y, bool withDatabase);

}  // namespace parts_forms
