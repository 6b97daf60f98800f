#pragma once

#include <windows.h>

// The control's picture: its bounds filled white, with the oval inscribed in
// them outlined in black. Leaves the device context as it found it.
void DrawControl(HDC dc, const RECT& bounds);
