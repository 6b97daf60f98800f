#pragma once

#include <windows.h>

#include <string>
#include <vector>

// Pixels copied out of a device context, top row first, as 0x00RRGGBB.
class BitmapCapture {
public:
    // Copies width x height pixels from (x, y) of dc.
    BitmapCapture(HDC dc, int x, int y, int width, int height);

    int Width() const { return width_; }
    int Height() const { return height_; }
    COLORREF At(int x, int y) const;  // as RGB()

    // Writes a 24-bit BMP file; false when it cannot be written.
    bool SaveBmp(const std::wstring& path) const;

private:
    int width_;
    int height_;
    std::vector<DWORD> pixels_;
};
