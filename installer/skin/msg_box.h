#pragma once

#include <string>

#include "skin/dlg_ex.h"

// The program's message box: a 370 x 191 skinned box with the message and the
// two buttons OK and Cancel, whatever a caller asked for. Its pictures lie in
// "skin\MsgBox\" of the product's install folder. Running it answers IDOK or
// IDCANCEL.
class CMsgBox : public CDlgEx {
public:
    CMsgBox();

    // Set before the box runs.
    std::string messageText;

protected:
    void DoDataExchange(CDataExchange& exchange) override;
    void LayoutControls() override;
    BOOL OnInitDialog() override;
    HBRUSH OnCtlColor(HDC dc, HWND control, UINT kind) override;

private:
    CWindow unusedStatic_;
    // The product's install folder with its backslash; empty when unknown,
    // and the pictures are then looked for below the current folder.
    std::string skinRoot_;
};
