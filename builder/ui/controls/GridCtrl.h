// CGridCtrl: our grid control, the window class "QpGrid": rows and columns with fixed header
// rows and columns, a current cell and a selected range, cell texts, column widths (dragged
// in the header row), item data per row and per column, in-place editing with before-edit and
// after-edit notifications, keyboard navigation and scrolling. The rows and the cursor live in
// GridModel; the window paints the rows in sight only, so thousands of rows stay smooth.
#pragma once
#include <windows.h>

#include <string>

#include "builder/ui/logic/gridmodel.h"
#include "common/win/dc.h"
#include "framework/Window.h"

namespace qp {

// Messages. A cell is addressed by wParam = MAKEWPARAM(row, col) (rows and columns up to 65535).
constexpr UINT GRM_SETSIZE = WM_APP + 0x200;       // wParam rows, lParam columns
constexpr UINT GRM_GETROWS = WM_APP + 0x201;
constexpr UINT GRM_GETCOLS = WM_APP + 0x202;
constexpr UINT GRM_SETFIXED = WM_APP + 0x203;      // wParam fixed rows, lParam fixed columns
constexpr UINT GRM_GETFIXEDROWS = WM_APP + 0x204;
constexpr UINT GRM_GETFIXEDCOLS = WM_APP + 0x205;
constexpr UINT GRM_SETCURSOR = WM_APP + 0x206;     // wParam row, lParam column
constexpr UINT GRM_GETROW = WM_APP + 0x207;
constexpr UINT GRM_GETCOL = WM_APP + 0x208;
constexpr UINT GRM_GETSELSTARTROW = WM_APP + 0x209;
constexpr UINT GRM_GETSELENDROW = WM_APP + 0x20A;
constexpr UINT GRM_SETTEXT = WM_APP + 0x20B;       // cell, lParam const char*
constexpr UINT GRM_GETTEXTLENGTH = WM_APP + 0x20C; // cell
constexpr UINT GRM_GETTEXT = WM_APP + 0x20D;       // cell, lParam char* of GETTEXTLENGTH + 1
constexpr UINT GRM_SETCOLWIDTH = WM_APP + 0x20E;   // wParam column, lParam width
constexpr UINT GRM_GETCOLWIDTH = WM_APP + 0x20F;   // wParam column
constexpr UINT GRM_SETROWDATA = WM_APP + 0x210;    // wParam row, lParam data
constexpr UINT GRM_GETROWDATA = WM_APP + 0x211;
constexpr UINT GRM_SETCOLDATA = WM_APP + 0x212;    // wParam column, lParam data
constexpr UINT GRM_GETCOLDATA = WM_APP + 0x213;
constexpr UINT GRM_EXTENDTO = WM_APP + 0x214;      // wParam row, lParam column: selection to there
constexpr UINT GRM_EDITCELL = WM_APP + 0x215;      // starts editing the current cell

// Notifications (WM_NOTIFY to the parent, with an NMGRID).
constexpr UINT GRN_BEFOREEDIT = 0x0F00u - 1;  // cancel = TRUE refuses the edit
constexpr UINT GRN_AFTEREDIT = 0x0F00u - 2;   // text is the new text; cancel = TRUE keeps the old one
constexpr UINT GRN_CLICK = 0x0F00u - 3;
constexpr UINT GRN_COLWIDTH = 0x0F00u - 4;    // col's width was dragged to a new value

struct NMGRID {
    NMHDR hdr;
    int row;
    int col;
    const char* text;
    BOOL cancel;
};

class CGridCtrl : public CWnd {
public:
    static bool Register(HINSTANCE instance);
    static CGridCtrl* Of(HWND hwnd);
    GridModel& Model() { return model_; }
    // After a change of the model from outside: scroll bars and picture.
    void Refresh();
    void StartEdit(const std::string* first_char = nullptr);

protected:
    LRESULT HandleMessage(UINT msg, WPARAM w, LPARAM l) override;
    bool OnCreate() override;
    bool OnCommand(int id, int code, HWND control) override;

private:
    int RowHeight() const { return row_h_; }
    int ViewRows() const;
    RECT CellRect(int row, int col) const;
    void Paint();
    void AfterMove();
    bool OnKey(WPARAM key);
    void Scroll(int bar, int code);
    void EndEdit(bool commit);
    bool Notify(UINT code, int row, int col, const char* text);
    int DividerAt(int x, int y) const;

    GridModel model_;
    CGdiObject<HFONT> font_;
    int row_h_ = 18;
    HWND edit_ = nullptr;
    int edit_row_ = -1, edit_col_ = -1;
    bool ending_edit_ = false;
    int sizing_col_ = -1, sizing_x_ = 0;
    bool dragging_ = false;
    static LRESULT CALLBACK EditProc(HWND hwnd, UINT msg, WPARAM w, LPARAM l, UINT_PTR id, DWORD_PTR self);
};

}  // namespace qp
