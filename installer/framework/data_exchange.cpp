#include "framework/data_exchange.h"

#include "framework/window.h"
#include "framework/window_text.h"

void DdxControl(CDataExchange& exchange, int id, CWindow& control) {
    if (control.hwnd != nullptr) return;
    control.Attach(GetDlgItem(exchange.dialog, id));
    if (control.hwnd != nullptr) exchange.boundControls.push_back(&control);
}

void DdxControl(CDataExchange& exchange, int id, CSubclassedWindow& control) {
    if (control.hwnd != nullptr) return;
    if (control.SubclassWindow(GetDlgItem(exchange.dialog, id))) {
        exchange.boundControls.push_back(&control);
    }
}

void DdxText(CDataExchange& exchange, int id, std::string& value) {
    const HWND control = GetDlgItem(exchange.dialog, id);
    if (exchange.saveAndValidate) {
        value = GetWindowTextAnsi(control);
    } else {
        SetWindowTextAnsi(control, value);
    }
}

void DdxCheck(CDataExchange& exchange, int id, int& value) {
    const HWND control = GetDlgItem(exchange.dialog, id);
    if (exchange.saveAndValidate) {
        value = static_cast<int>(SendMessageW(control, BM_GETCHECK, 0, 0));
    } else {
        SendMessageW(control, BM_SETCHECK, static_cast<WPARAM>(value), 0);
    }
}
