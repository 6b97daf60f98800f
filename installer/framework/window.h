#pragma once

#include <windows.h>

#include <utility>

// A dialog hands WM_DRAWITEM back to the control that is to be drawn, under
// this number (the platform's reflected-message range), so that an owner-drawn
// control can paint itself.
constexpr UINT kReflectedDrawItem = WM_USER + 0x1c00 + WM_DRAWITEM;

// A borrowed window handle, a value that copies freely: it never destroys
// the window, and binding it (Attach) changes nothing about the window. A
// dialog lets go of the objects bound to its controls when its window goes.
class CWindow {
public:
    void Attach(HWND window) { hwnd = window; }
    // Forgets the window and returns it.
    HWND Detach() { return std::exchange(hwnd, nullptr); }

    HWND hwnd = nullptr;
};

// A control that handles messages of its own window. Only SubclassWindow
// routes them here, until the window is destroyed, UnsubclassWindow is
// called or the object goes away, whichever comes first. The window holds
// the object's address, so the object neither copies nor moves.
class CSubclassedWindow : public CWindow {
public:
    CSubclassedWindow() = default;
    virtual ~CSubclassedWindow();
    CSubclassedWindow(const CSubclassedWindow&) = delete;
    CSubclassedWindow& operator=(const CSubclassedWindow&) = delete;

    // Binding or letting go around the subclass would leave the handlers
    // silent or dangling: the two calls below do both.
    void Attach(HWND) = delete;
    HWND Detach() = delete;

    // Fails for no window, or when the object already has one.
    bool SubclassWindow(HWND window);
    // Gives the window back its own handling and forgets it.
    HWND UnsubclassWindow();

protected:
    // Every message of the window; the default passes it on unchanged.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT DefaultProc(UINT message, WPARAM wParam, LPARAM lParam);

private:
    static LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                         UINT_PTR id, DWORD_PTR data) noexcept;
};
