#pragma once

#include <windows.h>

#include <exception>
#include <optional>
#include <vector>

#include "framework/window.h"

class CDataExchange;

// A modal dialog on a dialog template of the program's resources, thin over
// DialogBoxParamW. Subclasses react through the virtual hooks below; every
// message first reaches HandleMessage, whose default turns the messages into
// the hooks.
class CDialog : public CWindow {
public:
    // With no parent the application's main window, when there is one, owns
    // the dialog, so that it stays disabled while the dialog runs.
    CDialog(UINT templateId, HWND parent);
    virtual ~CDialog() = default;
    // The window holds the object's address.
    CDialog(const CDialog&) = delete;
    CDialog& operator=(const CDialog&) = delete;

    // Runs the dialog until EndDialog and returns the value given to it, or -1
    // when the dialog could not be created. A failure thrown by a handler ends
    // the dialog and is thrown again from here.
    INT_PTR DoModal();
    void EndDialog(INT_PTR result);

    // Data exchange (DoDataExchange): from the controls into the members when
    // saveAndValidate, from the members into the controls otherwise.
    void UpdateData(bool saveAndValidate);

    // Centres the window in the work area of the monitor that holds the
    // application's main window (the primary monitor when there is none).
    void CenterWindow();

protected:
    // WM_INITDIALOG: binds and fills the controls (UpdateData(false)). TRUE
    // lets the dialog manager give the focus to the first tab stop.
    virtual BOOL OnInitDialog();
    virtual void DoDataExchange(CDataExchange& exchange);
    // WM_COMMAND from a control or the dialog manager; true when handled. A
    // click on OK or Cancel goes to OnOK or OnCancel.
    virtual bool OnCommand(UINT id, UINT code, HWND control);
    // Takes the controls' data (UpdateData(true)) and ends with IDOK.
    virtual void OnOK();
    // Ends with IDCANCEL.
    virtual void OnCancel();
    // Every message of the dialog window; nullopt when not handled.
    virtual std::optional<LRESULT> HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // Every input message for the dialog or one of its controls, before the
    // dialog manager acts on it (Enter, Escape, Tab...). The message may be
    // changed; true consumes it.
    virtual bool PreTranslateMessage(MSG& message);

private:
    friend class CPreTranslateHook;

    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam,
                                       LPARAM lParam) noexcept;
    INT_PTR Dispatch(UINT message, WPARAM wParam, LPARAM lParam);

    UINT templateId_;
    HWND parent_;
    std::exception_ptr failure_;
    std::vector<CWindow*> boundControls_;
};
