#pragma once

#include <windows.h>

#include <string>
#include <vector>

class CWindow;
class CSubclassedWindow;

// One data exchange between a dialog's controls and its members, in the
// direction the dialog asked for (CDialog::UpdateData).
class CDataExchange {
public:
    CDataExchange(HWND dialog, bool saveAndValidate, std::vector<CWindow*>& boundControls)
        : dialog(dialog), saveAndValidate(saveAndValidate), boundControls(boundControls) {}

    const HWND dialog;
    // True: controls -> members; false: members -> controls.
    const bool saveAndValidate;
    // The dialog lets go of these when its window is destroyed.
    std::vector<CWindow*>& boundControls;
};

// Binds a control object to the template control with this identifier, once
// per window of the dialog; later exchanges leave the binding alone. A plain
// window object is attached, a control with handlers of its own subclasses
// the control.
void DdxControl(CDataExchange& exchange, int id, CWindow& control);
void DdxControl(CDataExchange& exchange, int id, CSubclassedWindow& control);
// An edit's text as a narrow string in the ANSI code page.
void DdxText(CDataExchange& exchange, int id, std::string& value);
// A check box's state: 0 unchecked, 1 checked, 2 indeterminate.
void DdxCheck(CDataExchange& exchange, int id, int& value);
