#include "screen_capture.h"

#include <windows.h>

#include <memory>

#include "framework/device_context.h"
#include "framework/gdi_object.h"
#include "platform/text_conversion.h"
#include "skin/gdiplus_include.h"
#include "skin/gdiplus_session.h"

namespace {

// The screen's device context for one capture.
class CScreenDC {
public:
    CScreenDC() : dc_(GetDC(nullptr)) {}
    ~CScreenDC() { ReleaseDC(nullptr, dc_); }
    CScreenDC(const CScreenDC&) = delete;
    CScreenDC& operator=(const CScreenDC&) = delete;
    HDC Get() const { return dc_; }

private:
    HDC dc_;
};

bool FindPngEncoder(CLSID& encoder) {
    UINT count = 0;
    UINT size = 0;
    Gdiplus::GetImageEncodersSize(&count, &size);
    if (size == 0) return false;
    auto buffer = std::make_unique<unsigned char[]>(size);
    auto* codecs = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.get());
    Gdiplus::GetImageEncoders(count, size, codecs);
    for (UINT i = 0; i < count; ++i) {
        if (std::wstring(codecs[i].MimeType) == L"image/png") {
            encoder = codecs[i].Clsid;
            return true;
        }
    }
    return false;
}

}  // namespace

bool SaveScreen(const std::string& path) {
    CGdiplusSession gdiplus;
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    CBitmap picture;
    {
        CScreenDC screen;
        picture.Reset(CreateCompatibleBitmap(screen.Get(), width, height));
        CMemoryDC memory(screen.Get());
        CSelectObject select(memory.Get(), picture.Get());
        BitBlt(memory.Get(), 0, 0, width, height, screen.Get(), 0, 0, SRCCOPY);
    }

    CLSID encoder{};
    if (!gdiplus.Started() || !FindPngEncoder(encoder)) return false;
    std::wstring widePath;
    AnsiToWide(path, widePath);
    Gdiplus::Bitmap bitmap(picture.Get(), nullptr);
    return bitmap.Save(widePath.c_str(), &encoder, nullptr) == Gdiplus::Ok;
}
