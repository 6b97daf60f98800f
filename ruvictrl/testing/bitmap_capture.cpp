#include "bitmap_capture.h"

#include <filesystem>
#include <fstream>

#include "scoped_handle.h"

namespace {

BITMAPINFOHEADER TopDownHeader(int width, int height) {
    BITMAPINFOHEADER header{};
    header.biSize = sizeof header;
    header.biWidth = width;
    header.biHeight = -height;
    header.biPlanes = 1;
    header.biBitCount = 32;
    header.biCompression = BI_RGB;
    return header;
}

using ScopedMemoryDc = ScopedHandle<HDC, &DeleteDC>;

}  // namespace

BitmapCapture::BitmapCapture(HDC dc, int x, int y, int width, int height)
    : width_(width), height_(height), pixels_(size_t(width) * height) {
    BITMAPINFO info{};
    info.bmiHeader = TopDownHeader(width, height);
    void* bits = nullptr;
    ScopedGdiObject bitmap(CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    ScopedMemoryDc memory(CreateCompatibleDC(dc));
    if (!bitmap || !memory) {
        return;
    }
    HGDIOBJ previous = SelectObject(memory.get(), bitmap.get());
    BitBlt(memory.get(), 0, 0, width, height, dc, x, y, SRCCOPY);
    GdiFlush();
    const auto* source = static_cast<const DWORD*>(bits);
    pixels_.assign(source, source + pixels_.size());
    SelectObject(memory.get(), previous);
}

COLORREF BitmapCapture::At(int x, int y) const {
    const DWORD pixel = pixels_[size_t(y) * width_ + x];
    return RGB((pixel >> 16) & 0xff, (pixel >> 8) & 0xff, pixel & 0xff);
}

bool BitmapCapture::SaveBmp(const std::wstring& path) const {
    const int rowBytes = (width_ * 3 + 3) & ~3;
    BITMAPFILEHEADER file{};
    file.bfType = 0x4d42;  // "BM"
    file.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
    file.bfSize = file.bfOffBits + DWORD(rowBytes) * height_;
    BITMAPINFOHEADER header = TopDownHeader(width_, height_);
    header.biBitCount = 24;

    std::ofstream out(std::filesystem::path(path), std::ios::binary);
    out.write(reinterpret_cast<const char*>(&file), sizeof file);
    out.write(reinterpret_cast<const char*>(&header), sizeof header);
    std::string row(rowBytes, '\0');
    for (int y = 0; y < height_; ++y) {
        for (int x = 0; x < width_; ++x) {
            const DWORD pixel = pixels_[size_t(y) * width_ + x];
            row[x * 3] = char(pixel & 0xff);
            row[x * 3 + 1] = char((pixel >> 8) & 0xff);
            row[x * 3 + 2] = char((pixel >> 16) & 0xff);
        }
        out.write(row.data(), rowBytes);
    }
    return bool(out);
}
