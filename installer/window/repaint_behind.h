#pragma once

#include <windows.h>

// The skinned dialogs' edits draw no background of their own (the dialog's
// picture shows through), so text they drop would stay on screen: after a
// change, the dialog repaints its picture under the edit, then the edit.
void RepaintBehind(HWND dialog, HWND control);
