#pragma once

#include <windows.h>

// A dialog hands WM_DRAWITEM back to the control that is to be drawn, under
// this number (the platform's reflected-message range), so that an owner-drawn
// control can paint itself.
constexpr UINT kReflectedDrawItem = WM_USER + 0x1c00 + WM_DRAWITEM;

// A borrowed window handle, as a control object bound to a template control
// or a dialog running modally holds it. The object never destroys the
// window. A plain window object only remembers the handle, which stays valid
// while its dialog runs; the dialog lets go of it when the window goes.
class CWindow {
public:
    CWindow() = default;
    virtual ~CWindow() = default;
    CWindow(const CWindow&) = delete;
    CWindow& operator=(const CWindow&) = delete;

    // Binds the object to an existing window. Classes that handle messages
    // of their window subclass it (CSubclassedWindow).
    virtual bool Attach(HWND window);
    // Forgets the window.
    virtual void Detach() { hwnd = nullptr; }

    HWND hwnd = nullptr;
};

// A control that handles messages of its own window: the window is
// subclassed when the object is attached, and the subclass is removed when
// the window is destroyed or the object goes away, whichever comes first.
class CSubclassedWindow : public CWindow {
public:
    ~CSubclassedWindow() override;

    bool Attach(HWND window) override;
    void Detach() override;

protected:
    // Every message of the window; the default passes it on unchanged.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT DefaultProc(UINT message, WPARAM wParam, LPARAM lParam);

private:
    static LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                         UINT_PTR id, DWORD_PTR data) noexcept;
};
