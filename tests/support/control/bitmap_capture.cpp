#include "bitmap_capture.h"

#include <filesystem>
#include <fstream>

#include "platform/gdi_object.h"
#include "platform/memory_dc.h"

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

}  // namespace

BitmapCapture::BitmapCapture(HDC dc, int x, int y, int width, int height)
    : width_(width), height_(height), pixels_(size_t(width) * height) {
    BITMAPINFO info{};
    info.bmiHeader = TopDownHeader(width, height);
    void* bits = nullptr;
    GdiObject<HBITMAP> bitmap(CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    MemoryDc memory(CreateCompatibleDC(dc));
    if (!bitmap || !memory) {
        return;
    }
    HGDIOBJ previous = SelectObject(memory.Get(), bitmap.Get());
    BitBlt(memory.Get(), 0, 0, width, height, dc, x, y, SRCCOPY);
    GdiFlush();
    const auto* source = static_cast<const DWORD*>(bits);
    pixels_.assign(source, source + pixels_.size());
    SelectObject(memory.Get(), previous);
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
