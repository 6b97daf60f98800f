#pragma once

#include <windows.h>

#include "platform/memory_dc.h"

// Scoped device contexts and selections. Each releases what it acquired in
// the way that kind of context must be released.

// A memory device context compatible with another one.
class CMemoryDC : public MemoryDc {
public:
    explicit CMemoryDC(HDC compatibleWith) : MemoryDc(CreateCompatibleDC(compatibleWith)) {}
};

// The whole area of a window, or of the screen for no window
// (GetWindowDC); handed back with ReleaseDC, which needs the window too.
class CWindowDC {
public:
    explicit CWindowDC(HWND window) : window_(window), dc_(GetWindowDC(window)) {}
    ~CWindowDC() { ReleaseDC(window_, dc_); }
    CWindowDC(const CWindowDC&) = delete;
    CWindowDC& operator=(const CWindowDC&) = delete;

    HDC Get() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

// BeginPaint/EndPaint around one WM_PAINT.
class CPaintDC {
public:
    explicit CPaintDC(HWND window) : window_(window) { dc_ = BeginPaint(window_, &paint_); }
    ~CPaintDC() { EndPaint(window_, &paint_); }
    CPaintDC(const CPaintDC&) = delete;
    CPaintDC& operator=(const CPaintDC&) = delete;

    HDC Get() const { return dc_; }

private:
    HWND window_;
    PAINTSTRUCT paint_{};
    HDC dc_;
};

// Selects an object into a device context and puts the previous one back,
// so that the object can be deleted afterwards while the context lives on.
class CSelectObject {
public:
    CSelectObject(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
    ~CSelectObject() {
        if (previous_ != nullptr && previous_ != HGDI_ERROR) SelectObject(dc_, previous_);
    }
    CSelectObject(const CSelectObject&) = delete;
    CSelectObject& operator=(const CSelectObject&) = delete;

private:
    HDC dc_;
    HGDIOBJ previous_;
};
