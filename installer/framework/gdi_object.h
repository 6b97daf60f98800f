#pragma once

#include <windows.h>

#include "platform/gdi_object.h"

// The framework's names for the GDI objects it owns. A plain handle (HBITMAP
// and so on) is borrowed: whoever holds one of these frees it.
using CBitmap = GdiObject<HBITMAP>;
using CFont = GdiObject<HFONT>;
using CRgn = GdiObject<HRGN>;
using CBrush = GdiObject<HBRUSH>;
