#pragma once

#include <windows.h>

// Shows the control's about dialog and returns when the user closes it.
void ShowAboutBox(HWND owner);
