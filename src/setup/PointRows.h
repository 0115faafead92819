// A list box of points (two values each) kept in ascending order of their
// first value, as the transient tables and the core saturation list show
// them. The rows only show the points; the points themselves are kept beside
// the rows at full precision, so that opening and closing a dialog changes no
// point and an edit changes only the point edited.
#pragma once

#include <string>
#include <vector>

#include "platform/core/Types.h"
#include "platform/ui/Dialog.h"

class CPointRows {
public:
    struct Point {
        double first;
        double second;
    };
    using RowFormat = std::string (*)(double first, double second);

    // The list box listId of the dialog, its rows written by format.
    CPointRows(fw::Dialog& dialog, int listId, RowFormat format)
        : m_dialog(dialog), m_listId(listId), m_format(format) {}

    // Empties the rows and the points.
    void Clear();
    // Puts the point before the first row with a larger first value (after
    // rows with the same) and selects it; returns its row.
    int Insert(double first, double second);
    // Deletes the point and its row.
    void Remove(int index);
    // The selected point's index; -1 after a beep (no list or no points) or
    // the given message (no row selected).
    int SelectedPoint(UINT noSelectionMessage) const;
    // The Delete button: removes the selected point (53019 without one) and
    // selects the row now in its place, or the last row.
    void DeleteSelected();
    // Selects the first row when there is one.
    void SelectFirst();

    const std::vector<Point>& Points() const { return m_points; }

private:
    fw::Control* List() const { return m_dialog.GetDlgItem(m_listId); }

    fw::Dialog& m_dialog;
    int m_listId;
    RowFormat m_format;
    std::vector<Point> m_points;  // beside the rows, same order
};
