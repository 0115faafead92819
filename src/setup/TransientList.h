// The transient list of a source dialog: one row per point, in ascending
// order of time, with Add, Delete and Modify. The rows are only what the user
// sees ("%7.3e", a tab, "%.4f"); the list keeps each point's full value beside
// its row, so that opening and closing a dialog changes no point and an edit
// changes only the point edited.
#pragma once

#include <string>
#include <vector>

#include "platform/core/Types.h"
#include "platform/ui/Dialog.h"
#include "records/PartsSrc.h"
#include "setup/PointRows.h"

class CTransientList {
public:
    // first: time in seconds; second: magnitude in volts or amperes.
    using Point = CPointRows::Point;

    // The list box listId of the dialog; kind 0 voltage, 1 current (the unit
    // shown by the point dialog).
    CTransientList(fw::Dialog& dialog, int listId, int kind)
        : m_dialog(dialog), m_rows(dialog, listId, &FormatRow), m_kind(kind) {}

    // Rows from the table (index order, each put in its sorted place), then
    // the first row selected. Empty slots of the table are passed over.
    void Fill(const CObArrayTimeMagnitude& table);
    // The table from the rows, in list order.
    void Save(CObArrayTimeMagnitude& table) const;
    // Puts the point before the first row of a later time (after rows of the
    // same time) and selects it; returns its row.
    int Insert(double time, double magnitude);

    // The Add, Delete and Modify buttons.
    void OnAdd();
    void OnDelete();
    void OnModify();

    // Asks question 54029 for each point at time 0.0 with a magnitude that
    // is not 0.0, in list order; FALSE at the first No.
    BOOL ConfirmZeroTimePoints() const;

    const std::vector<Point>& Points() const { return m_rows.Points(); }
    static std::string FormatRow(double time, double magnitude);

private:
    fw::Dialog& m_dialog;
    CPointRows m_rows;
    int m_kind;
};
