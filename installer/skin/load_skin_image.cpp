#include "skin/load_skin_image.h"

#include <vector>

#include "platform/text_conversion.h"
#include "skin/gdiplus_include.h"
#include "skin/gdiplus_session.h"

namespace {

using Gdiplus::PixelFormat;

// A DIB header with room for the largest colour table or the bit masks.
struct DibInfo {
    BITMAPINFOHEADER header;
    RGBQUAD colours[256];
};

PixelFormat TargetFormat(PixelFormat source) {
    if (Gdiplus::IsAlphaPixelFormat(source)) return PixelFormat32bppARGB;
    if ((source & PixelFormatGDI) != 0) return source;
    return PixelFormat32bppRGB;
}

bool CopyPalette(Gdiplus::Bitmap& image, DibInfo& info) {
    const INT size = image.GetPaletteSize();
    if (size <= 0) return false;
    std::vector<BYTE> buffer(static_cast<std::size_t>(size));
    auto* palette = reinterpret_cast<Gdiplus::ColorPalette*>(buffer.data());
    if (image.GetPalette(palette, size) != Gdiplus::Ok || palette->Count > 256) return false;
    for (UINT i = 0; i < palette->Count; ++i) {
        const Gdiplus::Color colour(palette->Entries[i]);
        info.colours[i] = RGBQUAD{colour.GetB(), colour.GetG(), colour.GetR(), 0};
    }
    info.header.biClrUsed = palette->Count;
    return true;
}

// GDI reads 16-bit pixels as 5-5-5 unless the masks say otherwise.
void SetRgb565Masks(DibInfo& info) {
    const DWORD masks[3] = {0xF800, 0x07E0, 0x001F};
    static_assert(sizeof(masks) <= sizeof(info.colours));
    std::copy(std::begin(masks), std::end(masks), reinterpret_cast<DWORD*>(info.colours));
    info.header.biCompression = BI_BITFIELDS;
}

bool CopyRows(Gdiplus::Bitmap& image, PixelFormat format, void* bits, INT stride) {
    const Gdiplus::Rect all(0, 0, static_cast<INT>(image.GetWidth()),
                            static_cast<INT>(image.GetHeight()));
    Gdiplus::BitmapData data{};
    data.Width = image.GetWidth();
    data.Height = image.GetHeight();
    data.Stride = stride;
    data.PixelFormat = format;
    data.Scan0 = bits;
    if (image.LockBits(&all, Gdiplus::ImageLockModeRead | Gdiplus::ImageLockModeUserInputBuf,
                       format, &data) != Gdiplus::Ok) {
        return false;
    }
    return image.UnlockBits(&data) == Gdiplus::Ok;
}

bool RedrawRows(Gdiplus::Bitmap& image, PixelFormat format, void* bits, INT stride) {
    const INT width = static_cast<INT>(image.GetWidth());
    const INT height = static_cast<INT>(image.GetHeight());
    Gdiplus::Bitmap canvas(width, height, stride, format, static_cast<BYTE*>(bits));
    Gdiplus::Graphics graphics(&canvas);
    graphics.SetCompositingMode(Gdiplus::CompositingModeSourceCopy);
    // Pixel units: the picture's own resolution must not scale it.
    return graphics.DrawImage(&image, Gdiplus::Rect(0, 0, width, height), 0, 0, width, height,
                              Gdiplus::UnitPixel) == Gdiplus::Ok;
}

CBitmap DecodeToDib(const std::wstring& path) {
    Gdiplus::Bitmap image(path.c_str());
    if (image.GetLastStatus() != Gdiplus::Ok) return {};
    const INT width = static_cast<INT>(image.GetWidth());
    const INT height = static_cast<INT>(image.GetHeight());
    if (width <= 0 || height <= 0) return {};

    const PixelFormat source = image.GetPixelFormat();
    const PixelFormat target = TargetFormat(source);
    const UINT depth = Gdiplus::GetPixelFormatSize(target);

    DibInfo info{};
    info.header.biSize = sizeof(BITMAPINFOHEADER);
    info.header.biWidth = width;
    info.header.biHeight = -height;  // top-down, as GDI+ lays rows out
    info.header.biPlanes = 1;
    info.header.biBitCount = static_cast<WORD>(depth);
    info.header.biCompression = BI_RGB;
    if (Gdiplus::IsIndexedPixelFormat(target) && !CopyPalette(image, info)) return {};
    if (target == PixelFormat16bppRGB565) SetRgb565Masks(info);

    void* bits = nullptr;
    CBitmap bitmap(CreateDIBSection(nullptr, reinterpret_cast<const BITMAPINFO*>(&info),
                                    DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap || bits == nullptr) return {};

    const INT stride = static_cast<INT>(((static_cast<UINT>(width) * depth + 31) / 32) * 4);
    const bool filled = source == target ? CopyRows(image, target, bits, stride)
                                         : RedrawRows(image, target, bits, stride);
    if (!filled) return {};
    return bitmap;
}

}  // namespace

CBitmap LoadSkinImage(const std::string& path) {
    std::wstring widePath;
    if (!AnsiToWide(path, widePath) || widePath.empty()) return {};
    const CGdiplusSession session;
    if (!session.Started()) return {};
    return DecodeToDib(widePath);  // every GDI+ object is gone before the session ends
}

std::unique_ptr<Gdiplus::Bitmap> LoadGdiplusImage(const std::string& path) {
    std::wstring widePath;
    AnsiToWide(path, widePath);
    return std::make_unique<Gdiplus::Bitmap>(widePath.c_str());
}
