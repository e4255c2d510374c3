// Resource and control ids of shadepick.dll (the builder and tests find controls by them).
#pragma once

#define IDD_GRADIENT 102
#define IDD_PICKER 130
#define IDB_WHEEL 130

// Gradient dialog.
#define IDC_GRAD_FIRST_R 1000  // 1000..1005: red, green, blue of the first colour, then the second
#define IDC_GRAD_SPIN_FIRST_R 1006  // 1006..1011: their spin controls
#define IDC_GRAD_STRIP 1013

// Picker panel.
#define IDC_PICK_RGB_AREA 1000
#define IDC_PICK_WHEEL_FRAME 1001
#define IDC_PICK_RED 1002
#define IDC_PICK_RED_SPIN 1003
#define IDC_PICK_GREEN 1004
#define IDC_PICK_GREEN_SPIN 1005
#define IDC_PICK_BLUE 1006
#define IDC_PICK_BLUE_SPIN 1007
#define IDC_PICK_OLD_SWATCH 1008
#define IDC_PICK_SWATCH 1009
#define IDC_PICK_HUE 1010
#define IDC_PICK_HUE_SPIN 1011
#define IDC_PICK_SAT 1012
#define IDC_PICK_SAT_SPIN 1013
#define IDC_PICK_BRI 1014
#define IDC_PICK_BRI_SPIN 1015

// Sent by a picker panel to its parent: wParam the colour (COLORREF), lParam the panel id.
#define WM_PICKER_COLOUR (WM_USER + 200)
