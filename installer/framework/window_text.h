#pragma once

#include <windows.h>

#include <string>

// The program's windows are Unicode windows while its texts are narrow
// strings in the ANSI code page (GBK); every window text crosses over here.
// Safe to call from any thread.

// Empty when the window has no text or is gone.
std::string GetWindowTextAnsi(HWND window);
void SetWindowTextAnsi(HWND window, const std::string& text);
