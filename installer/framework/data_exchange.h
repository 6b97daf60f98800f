#pragma once

#include <windows.h>

#include <string>

class CWindow;

// One data exchange between a dialog's controls and its members, in the
// direction the dialog asked for (CDialog::UpdateData).
class CDataExchange {
public:
    CDataExchange(HWND dialog, bool saveAndValidate)
        : dialog(dialog), saveAndValidate(saveAndValidate) {}

    const HWND dialog;
    // True: controls -> members; false: members -> controls.
    const bool saveAndValidate;
};

// Binds a control object to the template control with this identifier, once;
// later exchanges leave the binding alone.
void DdxControl(CDataExchange& exchange, int id, CWindow& control);
// An edit's text as a narrow string in the ANSI code page.
void DdxText(CDataExchange& exchange, int id, std::string& value);
// A check box's state: 0 unchecked, 1 checked, 2 indeterminate.
void DdxCheck(CDataExchange& exchange, int id, int& value);
