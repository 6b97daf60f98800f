#pragma once

// The bare dialog's template and its one control, by which the window
// benchmark knows the dialog is up.
#define IDD_BARE_DIALOG 100
#define IDC_BARE_TEXT 1001
