// The core saturation characteristic of an inductor or transformer: a list
// of (current, inductance) points in ascending order of current, with Add,
// Delete and Modify, and the dialog that enters one point. The inductance at
// zero current belongs to the part's own dialog, so a point needs a current
// above zero.
#pragma once

#include <string>
#include <vector>

#include "records/DbParts.h"
#include "setup/PartsDlg.h"
#include "setup/PointRows.h"

constexpr UINT IDD_CORE_SAT_LIST = 210;
constexpr UINT IDD_CORE_SAT_POINT = 217;

constexpr int IDC_CORE_SAT_ADD = 1183;
constexpr int IDC_CORE_SAT_DELETE = 1184;
constexpr int IDC_CORE_SAT_MODIFY = 1185;
constexpr int IDC_CORE_SAT_CURRENT = 1591;
constexpr int IDC_CORE_SAT_INDUCTANCE = 1592;
constexpr int IDC_CORE_SAT_LIST = 1593;

// Edits the characteristic in place; callers hand it a copy (template 210).
// The list rows only show the points: the points themselves are kept at
// full precision beside them, so that OK changes no point the user did not
// edit.
class CCoreSatCharListDlg : public CPartDlgBase {
public:
    // first: current in amperes; second: inductance in henries.
    using Point = CPointRows::Point;

    CCoreSatCharListDlg(CCoreSatChar* characteristic, UINT templateId, const char* caption, fw::Window* parent);
    void DoDataExchange(fw::DataExchange& dx) override;
    void OnAdd();
    void OnDelete();
    void OnModify();

    // Puts the point before the first row of a larger current (after rows of
    // the same current) and selects it.
    void InsertPoint(double current, double inductance);
    const std::vector<Point>& Points() const { return m_rows.Points(); }
    static std::string FormatRow(double current, double inductance);

    CCoreSatChar* m_pCoreSatChar;

private:
    void FillList();
    void ReadList();

    CPointRows m_rows;
};

// One point (template 217); mode 0 adds, 1 modifies. After IDOK the caller
// reads m_dCurrent and m_dInductance.
class CCoreSatCharDlg : public CPartDlgBase {
public:
    enum { MODE_ADD = 0, MODE_MODIFY = 1 };

    CCoreSatCharDlg(int mode, double current, double inductance, const char* caption, fw::Window* parent);
    BOOL OnInitDialog() override;
    void DoDataExchange(fw::DataExchange& dx) override;

    double m_dCurrent;     // amperes
    double m_dInductance;  // henries
    int m_nMode;

protected:
    // A zero current is refused (52033), from the menu's OK as well.
    BOOL CanCloseWithOK() override;
};
