// The control in a real container: Wine's AtlAxWin window class creates it
// by ProgID, sites it, activates it in place and lets it paint.

#include <windows.h>

#include <ole2.h>
#include <wrl/client.h>

#include <gtest/gtest.h>

#include <filesystem>

#include "control/bitmap_capture.h"
#include "control/dispatch_call.h"
#include "control/message_pump.h"
#include "control/ocx_registration.h"
#include "platform/com_apartment.h"
#include "platform/gdi_object.h"
#include "platform/memory_dc.h"
#include "platform/unique_window.h"

extern "C" {
BOOL WINAPI AtlAxWinInit();
HRESULT WINAPI AtlAxGetControl(HWND window, IUnknown** control);
}

using Microsoft::WRL::ComPtr;

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr int kControlWidth = 240;
constexpr int kControlHeight = 120;

bool IsDark(COLORREF color) {
    return GetRValue(color) < 96 && GetGValue(color) < 96 && GetBValue(color) < 96;
}

// White fill over the whole rectangle, the oval's outline touching the middle
// of each side, and white again in its centre.
void ExpectControlPicture(const BitmapCapture& picture, int left, int top, int width, int height) {
    const int right = left + width - 1;
    const int bottom = top + height - 1;
    for (POINT corner : {POINT{left + 2, top + 2}, POINT{right - 2, top + 2},
                         POINT{left + 2, bottom - 2}, POINT{right - 2, bottom - 2}}) {
        EXPECT_EQ(picture.At(corner.x, corner.y), kWhite) << corner.x << "," << corner.y;
    }
    EXPECT_EQ(picture.At(left + width / 2, top + height / 2), kWhite);
    for (POINT edge : {POINT{left, top + height / 2}, POINT{right, top + height / 2},
                       POINT{left + width / 2, top}, POINT{left + width / 2, bottom}}) {
        const bool outlined = IsDark(picture.At(edge.x, edge.y)) ||
                              IsDark(picture.At(edge.x + (edge.x == left) - (edge.x == right),
                                                edge.y + (edge.y == top) - (edge.y == bottom)));
        EXPECT_TRUE(outlined) << "no outline near " << edge.x << "," << edge.y;
    }
}

std::wstring ArtifactsFolder() {
    wchar_t program[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, program, MAX_PATH);
    std::filesystem::path folder =
        std::filesystem::path(std::wstring(program, length)).parent_path() / L"artifacts";
    std::filesystem::create_directories(folder);
    return folder.wstring();
}

LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(window, message, wParam, lParam);
}

// A top-level frame with an AtlAxWin child that hosts the control.
class HostedControl {
public:
    HostedControl() {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = HostProc;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
        windowClass.lpszClassName = L"RuviControlHostTest";
        RegisterClassW(&windowClass);
        frame_.Reset(CreateWindowExW(0, L"RuviControlHostTest", L"RUVICtrl host",
                                     WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 320, 220, nullptr,
                                     nullptr, GetModuleHandleW(nullptr), nullptr));
        host_ = CreateWindowExW(0, L"AtlAxWin", L"RUVICTRL.RUVICtrlCtrl.1", WS_CHILD | WS_VISIBLE,
                                20, 20, kControlWidth, kControlHeight, frame_.Get(), nullptr,
                                GetModuleHandleW(nullptr), nullptr);
    }
    ~HostedControl() {
        frame_.Reset();  // the host window and the control's window go with it
        UnregisterClassW(L"RuviControlHostTest", GetModuleHandleW(nullptr));
    }

    HWND Frame() const { return frame_.Get(); }
    HWND Host() const { return host_; }

private:
    UniqueWindow frame_;
    HWND host_ = nullptr;  // a child of frame_, destroyed with it
};

TEST(Hosting, AtlAxWinActivatesTheControlInPlaceAndItPaintsItsOval) {
    OcxRegistration registration;
    OleApartment apartment;
    ASSERT_TRUE(AtlAxWinInit());
    HostedControl hosted;
    ASSERT_TRUE(hosted.Frame());
    ASSERT_TRUE(hosted.Host());

    ComPtr<IUnknown> control;
    ASSERT_EQ(AtlAxGetControl(hosted.Host(), &control), S_OK);
    ComPtr<IOleInPlaceObject> inPlace;
    ASSERT_EQ(control.As(&inPlace), S_OK);
    HWND window = nullptr;
    ASSERT_EQ(inPlace->GetWindow(&window), S_OK) << "not active in place";
    EXPECT_EQ(GetParent(window), hosted.Host());
    EXPECT_TRUE(IsWindowVisible(window));
    RECT client{};
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, kControlWidth);
    EXPECT_EQ(client.bottom, kControlHeight);

    // A hosted control answers scripts as well.
    ComPtr<IDispatch> dispatch;
    ASSERT_EQ(control.As(&dispatch), S_OK);
    ScopedVariant answer;
    EXPECT_EQ(CallByName(dispatch.Get(), L"CheckIntegrity", answer.get()), S_OK);

    RedrawWindow(hosted.Frame(), nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    PumpMessagesUntil([&] { return !GetUpdateRect(window, nullptr, FALSE); },
                      std::chrono::seconds(10));
    HDC windowDc = GetDC(window);
    const BitmapCapture painted(windowDc, 0, 0, kControlWidth, kControlHeight);
    ReleaseDC(window, windowDc);
    ExpectControlPicture(painted, 0, 0, kControlWidth, kControlHeight);

    // What the screen shows, for people to look at.
    RECT frame{};
    GetWindowRect(hosted.Frame(), &frame);
    HDC screen = GetDC(nullptr);
    const BitmapCapture shot(screen, frame.left, frame.top, frame.right - frame.left,
                             frame.bottom - frame.top);
    ReleaseDC(nullptr, screen);
    EXPECT_TRUE(shot.SaveBmp(ArtifactsFolder() + L"\\ruvictrl-hosted.bmp"));
}

TEST(Hosting, ContainerMayAskForThePictureInAnyDeviceContext) {
    OcxRegistration registration;
    OleApartment apartment;
    ComPtr<IViewObject> view;
    CLSID classId{};
    ASSERT_EQ(CLSIDFromProgID(L"RUVICTRL.RUVICtrlCtrl.1", &classId), S_OK);
    ASSERT_EQ(CoCreateInstance(classId, nullptr, CLSCTX_INPROC_SERVER, IID_IViewObject, &view),
              S_OK);

    MemoryDc dc(CreateCompatibleDC(nullptr));
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), 100, -80, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    GdiObject<HBITMAP> bitmap(CreateDIBSection(dc.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    HGDIOBJ previous = SelectObject(dc.Get(), bitmap.Get());
    const RECT all = {0, 0, 100, 80};
    GdiObject<HBRUSH> red(CreateSolidBrush(kRed));
    FillRect(dc.Get(), &all, red.Get());
    // Whatever the container left selected must not change the picture.
    GdiObject<HPEN> greenPen(CreatePen(PS_SOLID, 3, RGB(0, 255, 0)));
    HGDIOBJ previousPen = SelectObject(dc.Get(), greenPen.Get());

    const RECTL bounds = {10, 20, 90, 70};
    EXPECT_EQ(view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, dc.Get(), &bounds,
                         nullptr, nullptr, 0),
              S_OK);
    const BitmapCapture picture(dc.Get(), 0, 0, 100, 80);
    ExpectControlPicture(picture, 10, 20, 80, 50);
    EXPECT_EQ(picture.At(5, 5), kRed) << "drew outside its bounds";
    EXPECT_EQ(picture.At(95, 75), kRed) << "drew outside its bounds";
    EXPECT_EQ(picture.At(10, 45), kBlack);
    EXPECT_EQ(GetCurrentObject(dc.Get(), OBJ_PEN), greenPen.Get());

    EXPECT_EQ(view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, nullptr, &bounds, nullptr,
                         nullptr, 0),
              E_INVALIDARG);
    EXPECT_EQ(view->Draw(DVASPECT_ICON, -1, nullptr, nullptr, nullptr, dc.Get(), &bounds, nullptr,
                         nullptr, 0),
              DV_E_DVASPECT);

    SelectObject(dc.Get(), previousPen);
    SelectObject(dc.Get(), previous);
}

}  // namespace
