#include "skin_test_support.h"

#include <shellapi.h>

#include <cstdlib>

#include "framework/device_context.h"
#include "framework/gdi_object.h"
#include "modal_test_run.h"
#include "platform/file_search.h"
#include "platform/registry_key.h"
#include "platform/text_conversion.h"

namespace {

RegistryKey OpenKey(const std::string& path, bool create, bool* existed = nullptr) {
    HKEY key = nullptr;
    DWORD disposition = 0;
    const LONG status =
        create ? RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                 nullptr, &key, &disposition)
               : RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_ALL_ACCESS, &key);
    if (status != ERROR_SUCCESS) return RegistryKey();
    if (existed != nullptr) *existed = disposition == REG_OPENED_EXISTING_KEY;
    return RegistryKey(key);
}

void SetInstallPath(HKEY key, const std::string& value) {
    RegSetValueExA(key, "InstallPath", 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>(value.size() + 1));
}

std::wstring Wide(const std::string& text) {
    std::wstring wide;
    AnsiToWide(text, wide);
    return wide;
}

// A Unix path of the build as Wine shows it to Windows programs.
std::string FromUnixPath(const std::string& unixPath) {
    std::string path = "Z:" + unixPath;
    for (char& c : path) {
        if (c == '/') c = '\\';
    }
    return path;
}

bool EncoderClsid(const wchar_t* mimeType, CLSID& clsid) {
    UINT count = 0;
    UINT size = 0;
    if (Gdiplus::GetImageEncodersSize(&count, &size) != Gdiplus::Ok || size == 0) return false;
    std::vector<BYTE> buffer(size);
    auto* encoders = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
    if (Gdiplus::GetImageEncoders(count, size, encoders) != Gdiplus::Ok) return false;
    for (UINT i = 0; i < count; ++i) {
        if (wcscmp(encoders[i].MimeType, mimeType) == 0) {
            clsid = encoders[i].Clsid;
            return true;
        }
    }
    return false;
}

void RemoveTree(const std::string& path) {
    // SHFileOperation wants a list ending in two zeros, without the final backslash.
    std::wstring from = Wide(path.substr(0, path.size() - 1));
    from.push_back(L'\0');
    SHFILEOPSTRUCTW operation{};
    operation.wFunc = FO_DELETE;
    operation.pFrom = from.c_str();
    operation.fFlags = FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_SILENT;
    SHFileOperationW(&operation);
}

void CopyTree(const std::wstring& from, const std::wstring& to) {
    CreateDirectoryW(to.c_str(), nullptr);
    WIN32_FIND_DATAW found{};
    const FileSearch search(FindFirstFileW((from + L"\\*").c_str(), &found));
    if (!search) return;
    do {
        const std::wstring name = found.cFileName;
        if (name == L"." || name == L"..") continue;
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
            CopyTree(from + L"\\" + name, to + L"\\" + name);
        } else {
            CopyFileW((from + L"\\" + name).c_str(), (to + L"\\" + name).c_str(), FALSE);
        }
    } while (FindNextFileW(search.Get(), &found));
}

}  // namespace

CTempFolder::CTempFolder() {
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    static int serial = 0;
    path_ = std::string(temp) + "ruvi-skin-" + std::to_string(GetCurrentProcessId()) + "-" +
            std::to_string(++serial) + "\\";
    CreateDirectoryW(Wide(path_).c_str(), nullptr);
}

CTempFolder::~CTempFolder() { RemoveTree(path_); }

bool SavePicture(Gdiplus::Bitmap& picture, const std::string& path, bool asBmp) {
    CLSID encoder{};
    if (!EncoderClsid(asBmp ? L"image/bmp" : L"image/png", encoder)) return false;
    return picture.Save(Wide(path).c_str(), &encoder, nullptr) == Gdiplus::Ok;
}

bool SaveSolidPicture(const std::string& path, int width, int height, Gdiplus::Color colour) {
    Gdiplus::Bitmap picture(width, height, PixelFormat24bppRGB);
    {
        Gdiplus::Graphics graphics(&picture);
        graphics.Clear(colour);
    }
    return SavePicture(picture, path);
}

std::string DefaultSkinRoot() { return FromUnixPath(RUVI_DEFAULT_SKIN_ROOT) + "\\"; }

std::string SkinFixtureFolder() { return FromUnixPath(RUVI_SKIN_FIXTURES) + "\\"; }

void CopyDefaultSkin(const std::string& root, const std::vector<std::string>& leaveOut) {
    CopyTree(Wide(DefaultSkinRoot() + "skin"), Wide(root + "skin"));
    for (const std::string& file : leaveOut) DeleteFileW(Wide(root + "skin\\" + file).c_str());
}

CInstallPathOverride::CInstallPathOverride(const std::string& productKey,
                                           const std::optional<std::string>& installFolder)
    : keyPath_("SOFTWARE\\Tarvano\\" + productKey) {
    const RegistryKey key = OpenKey(keyPath_, true, &keyExisted_);
    if (!key) return;
    char buffer[1024] = {};
    DWORD size = sizeof(buffer) - 1;
    valueExisted_ = RegQueryValueExA(key.Get(), "InstallPath", nullptr, nullptr,
                                     reinterpret_cast<BYTE*>(buffer), &size) == ERROR_SUCCESS;
    previous_ = buffer;
    if (installFolder) {
        SetInstallPath(key.Get(), installFolder->substr(0, installFolder->size() - 1));
    } else {
        RegDeleteValueA(key.Get(), "InstallPath");
    }
}

CInstallPathOverride::~CInstallPathOverride() {
    if (!keyExisted_) {
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, keyPath_.c_str());
        return;
    }
    const RegistryKey key = OpenKey(keyPath_, false);
    if (!key) return;
    if (valueExisted_) {
        SetInstallPath(key.Get(), previous_);
    } else {
        RegDeleteValueA(key.Get(), "InstallPath");
    }
}

CWindowPixels::CWindowPixels(HWND window, bool fromDisplay) {
    RECT rect{};
    GetWindowRect(window, &rect);
    if (fromDisplay) {
        Read(nullptr, rect.right - rect.left, rect.bottom - rect.top, rect.left, rect.top);
    } else {
        Read(window, rect.right - rect.left, rect.bottom - rect.top, 0, 0);
    }
}

void CWindowPixels::Read(HWND window, int width, int height, int left, int top) {
    width_ = width;
    height_ = height;
    pixels_.resize(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_));

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width_;
    info.bmiHeader.biHeight = -height_;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    const CWindowDC source(window);
    void* bits = nullptr;
    const CBitmap dib(CreateDIBSection(source.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!dib) return;
    {
        CMemoryDC memory(source.Get());
        CSelectObject select(memory.Get(), dib.Get());
        BitBlt(memory.Get(), 0, 0, width_, height_, source.Get(), left, top, SRCCOPY);
        GdiFlush();
    }
    const auto* bytes = static_cast<const BYTE*>(bits);
    for (std::size_t i = 0; i < pixels_.size(); ++i) {
        pixels_[i] = RGB(bytes[4 * i + 2], bytes[4 * i + 1], bytes[4 * i]);
    }
}

COLORREF CWindowPixels::At(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return CLR_INVALID;
    return pixels_[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
                   static_cast<std::size_t>(x)];
}

void SaveScreenshot(const std::string& name, HWND window) {
    const CWindowPixels drawn(window);
    const auto displayed = [&] {
        const CWindowPixels display(window, true);
        for (int y = 0; y < drawn.Height(); y += 7) {
            for (int x = 0; x < drawn.Width(); x += 7) {
                if (display.At(x, y) != drawn.At(x, y)) return false;
            }
        }
        return true;
    };
    WaitUntil(displayed);
    const std::string folder = FromUnixPath(RUVI_TEST_ARTIFACTS) + "\\";
    CreateDirectoryW(Wide(folder).c_str(), nullptr);
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    const CWindowDC screen(nullptr);
    const CBitmap copy(CreateCompatibleBitmap(screen.Get(), width, height));
    {
        CMemoryDC memory(screen.Get());
        CSelectObject select(memory.Get(), copy.Get());
        BitBlt(memory.Get(), 0, 0, width, height, screen.Get(), 0, 0, SRCCOPY);
    }
    const CGdiplusSession gdiplus;
    Gdiplus::Bitmap picture(copy.Get(), nullptr);
    SavePicture(picture, folder + name);
}

bool Near(COLORREF a, COLORREF b, int tolerance) {
    return std::abs(GetRValue(a) - GetRValue(b)) <= tolerance &&
           std::abs(GetGValue(a) - GetGValue(b)) <= tolerance &&
           std::abs(GetBValue(a) - GetBValue(b)) <= tolerance;
}

::testing::AssertionResult IsNear(COLORREF actual, COLORREF expected, int tolerance) {
    if (Near(actual, expected, tolerance)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "colour " << std::hex << actual << " is not near " << expected << " (0xBBGGRR)";
}
