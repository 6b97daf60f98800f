#pragma once

#include <memory>
#include <string>

#include "framework/gdi_object.h"
#include "skin/gdiplus_include.h"

// Decodes a picture file (any format GDI+ reads; the skins are PNG) into a
// DIB section. An image with an alpha channel becomes 32 bits per pixel with
// the alpha kept in the fourth byte; one whose pixel format GDI uses as it
// is keeps its depth (and its palette); anything else becomes 32-bit RGB.
// Empty when the file is missing or cannot be decoded; nothing is reported.
CBitmap LoadSkinImage(const std::string& path);

// A picture file as a GDI+ image, its status in GetLastStatus (path in the
// local code page). GDI+ must be started while the image lives.
std::unique_ptr<Gdiplus::Bitmap> LoadGdiplusImage(const std::string& path);
