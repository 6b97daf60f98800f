#pragma once

#include <memory>
#include <string>

#include "framework/gdi_object.h"

namespace Gdiplus {
class Bitmap;
}  // namespace Gdiplus

// Decodes a picture file (any format GDI+ reads; the skins are PNG) into a
// DIB section. An image with an alpha channel becomes 32 bits per pixel with
// the alpha kept in the fourth byte; one whose pixel format GDI uses as it
// is keeps its depth (and its palette); anything else becomes 32-bit RGB.
// Empty when the file is missing or cannot be decoded; nothing is reported.
CBitmap LoadSkinImage(const std::string& path);

// The two halves of LoadSkinImage, for pictures decoded once and shown by
// several controls. GDI+ must be started (CGdiplusSession) around both.
// The decoded picture; null when the file is missing or cannot be decoded.
std::unique_ptr<Gdiplus::Bitmap> DecodeSkinPicture(const std::string& path);
// A decoded picture as the DIB section LoadSkinImage makes of it.
CBitmap SkinPictureToDib(Gdiplus::Bitmap& picture);
