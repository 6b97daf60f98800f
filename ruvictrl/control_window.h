#pragma once

#include <windows.h>

#include "platform/unique_window.h"

// The child window the control shows while it is active in place. It paints
// the control's picture over its whole client area.
class ControlWindow {
public:
    // Fails when the window cannot be created; the owner stays empty then.
    bool Create(HWND parent, const RECT& position, const RECT& clip);
    void Destroy() { window_.Reset(); }
    HWND Handle() const { return window_.Get(); }

    // Moves the window to position; only the part inside clip is shown.
    void Place(const RECT& position, const RECT& clip);

    // For the module's unloading: windows of the class must all be gone.
    static void UnregisterClass();

private:
    UniqueWindow window_;
};
