#include "skin/anti_flick_ctrl.h"

#include <cstring>
#include <utility>
#include <vector>

#include "framework/device_context.h"

namespace {

BITMAP ShapeOf(HBITMAP bitmap) {
    BITMAP shape{};
    GetObjectW(bitmap, sizeof(shape), &shape);
    return shape;
}

// Up to size bytes of a bitmap's pixels, and how many were read.
struct PixelBytes {
    std::vector<BYTE> bytes;
    std::size_t count;
};

PixelBytes ReadPixels(HBITMAP bitmap, LONG size) {
    PixelBytes pixels{std::vector<BYTE>(static_cast<std::size_t>(size)), 0};
    const LONG count = GetBitmapBits(bitmap, size, pixels.bytes.data());
    pixels.count = count > 0 ? static_cast<std::size_t>(count) : 0;
    return pixels;
}

bool SameBytes(const PixelBytes& a, const PixelBytes& b) {
    return a.count == b.count && std::memcmp(a.bytes.data(), b.bytes.data(), a.count) == 0;
}

// Copies into the snapshot every pixel in which the screen differs from the
// last frame.
void MergeChangedPixels(const BITMAP& shape, const PixelBytes& screen, const PixelBytes& lastFrame,
                        PixelBytes& snapshot) {
    const std::size_t pixelBytes = static_cast<std::size_t>(shape.bmBitsPixel / 8);
    const std::size_t rowBytes = static_cast<std::size_t>(shape.bmWidthBytes);
    for (std::size_t y = 0; y < static_cast<std::size_t>(shape.bmHeight); ++y) {
        for (std::size_t x = 0; x < static_cast<std::size_t>(shape.bmWidth); ++x) {
            const std::size_t offset = y * rowBytes + x * pixelBytes;
            if (offset + pixelBytes > screen.count) return;
            if (std::memcmp(&screen.bytes[offset], &lastFrame.bytes[offset], pixelBytes) != 0) {
                std::memcpy(&snapshot.bytes[offset], &screen.bytes[offset], pixelBytes);
            }
        }
    }
}

CBitmap CopyOfScreen(HDC paintDC, int width, int height) {
    CBitmap copy(CreateCompatibleBitmap(paintDC, width, height));
    if (!copy) return copy;
    CMemoryDC memory(paintDC);
    CSelectObject select(memory.Get(), copy.Get());
    BitBlt(memory.Get(), 0, 0, width, height, paintDC, 0, 0, SRCCOPY);
    return copy;
}

}  // namespace

void CAntiFlickCtrl::CaptureBackground(HDC paintDC, int width, int height) {
    CBitmap screen = CopyOfScreen(paintDC, width, height);
    if (!screen) return;
    const BITMAP shape = ShapeOf(screen.Get());
    const BITMAP lastShape = lastFrame_ ? ShapeOf(lastFrame_.Get()) : BITMAP{};
    if (!lastFrame_ || lastShape.bmWidth != shape.bmWidth || lastShape.bmHeight != shape.bmHeight) {
        background_ = std::move(screen);
        return;
    }

    const LONG size = shape.bmWidth * shape.bmHeight * 4;
    const PixelBytes now = ReadPixels(screen.Get(), size);
    const PixelBytes last = ReadPixels(lastFrame_.Get(), size);
    if (SameBytes(now, last)) return;  // the screen still shows the last frame
    if (now.count == 0 || now.count != last.count || !background_) {
        background_ = std::move(screen);
        return;
    }
    PixelBytes snapshot = ReadPixels(background_.Get(), size);
    if (snapshot.count != now.count) {
        background_ = std::move(screen);
        return;
    }
    MergeChangedPixels(shape, now, last, snapshot);
    SetBitmapBits(background_.Get(), static_cast<DWORD>(snapshot.count), snapshot.bytes.data());
}

void CAntiFlickCtrl::DrawBackground(HDC memoryDC, int width, int height) {
    if (!background_) return;
    CMemoryDC source(memoryDC);
    CSelectObject select(source.Get(), background_.Get());
    BitBlt(memoryDC, 0, 0, width, height, source.Get(), 0, 0, SRCCOPY);
}

void CAntiFlickCtrl::SetLastFrame(CBitmap frame) { lastFrame_ = std::move(frame); }

LRESULT CAntiFlickCtrl::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_DESTROY) return CSubclassedWindow::WindowProc(message, wParam, lParam);
    const LRESULT result = CSubclassedWindow::WindowProc(message, wParam, lParam);
    lastFrame_.Reset();
    background_.Reset();
    return result;
}
