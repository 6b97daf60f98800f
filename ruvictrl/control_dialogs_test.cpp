// The control's dialogs, opened the way a page or a container opens them: on
// the thread of the control's apartment, which waits until the user closes
// them. The test plays the user from the main thread.

#include <windows.h>

#include <ole2.h>
#include <olectl.h>
#include <wrl/client.h>

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <thread>

#include "control/dispatch_call.h"
#include "control/message_pump.h"
#include "control/ocx_registration.h"
#include "platform/com_apartment.h"
#include "resource.h"

using Microsoft::WRL::ComPtr;

namespace {

constexpr char kAboutTitle[] = "\xb9\xd8\xd3\xda RUVICtrl Control";  // 关于 RUVICtrl Control
// RUVICtrl Control 没有可以设置的属性。
constexpr char kPageNote[] =
    "RUVICtrl Control \xc3\xbb\xd3\xd0\xbf\xc9\xd2\xd4\xc9\xe8\xd6\xc3\xb5\xc4\xca\xf4\xd0\xd4"
    "\xa1\xa3";
constexpr auto kPatience = std::chrono::seconds(30);

std::string WindowText(HWND window) {
    char text[256] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

// Creates the control on a thread of its own and makes one call there; the
// call's result arrives when the dialog it opens is closed. Whatever the
// test leaves open is closed before the thread is joined.
class ControlThread {
public:
    explicit ControlThread(std::function<HRESULT(IUnknown*)> call)
        : thread_([this, call] {
              OleApartment apartment;
              ComPtr<IUnknown> control;
              CLSID classId{};
              CLSIDFromProgID(L"RUVICTRL.RUVICtrlCtrl.1", &classId);
              if (FAILED(CoCreateInstance(classId, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                                          &control))) {
                  result_ = E_FAIL;
                  return;
              }
              threadId_ = GetCurrentThreadId();
              result_ = call(control.Get());
          }) {}

    ~ControlThread() {
        while (result_ == E_PENDING) {
            if (threadId_) {
                EnumThreadWindows(threadId_, CloseWindowOfThread, 0);
            }
            PumpMessagesUntil([this] { return result_ != E_PENDING; }, std::chrono::seconds(1));
        }
        thread_.join();
    }

    bool Finished() const { return result_ != E_PENDING; }
    HRESULT Result() const { return result_; }

    // A visible top-level window of the thread whose own text or one of
    // whose descendants' texts is `text`.
    HWND FindWindowShowing(const std::string& text) const {
        Search search{text, false, nullptr};
        if (threadId_) {
            EnumThreadWindows(threadId_, SearchTopLevel, reinterpret_cast<LPARAM>(&search));
        }
        return search.found;
    }

private:
    struct Search {
        std::string text;
        bool matched;
        HWND found;
    };

    static BOOL CALLBACK CloseWindowOfThread(HWND window, LPARAM) {
        PostMessageW(window, WM_CLOSE, 0, 0);
        return TRUE;
    }
    static BOOL CALLBACK MatchChild(HWND window, LPARAM parameter) {
        auto* search = reinterpret_cast<Search*>(parameter);
        search->matched = WindowText(window) == search->text;
        return !search->matched;
    }
    static BOOL CALLBACK SearchTopLevel(HWND window, LPARAM parameter) {
        auto* search = reinterpret_cast<Search*>(parameter);
        if (!IsWindowVisible(window)) {
            return TRUE;
        }
        search->matched = WindowText(window) == search->text;
        if (!search->matched) {
            EnumChildWindows(window, MatchChild, parameter);
        }
        if (search->matched) {
            search->found = window;
        }
        return !search->matched;
    }

    std::atomic<DWORD> threadId_{0};
    std::atomic<HRESULT> result_{E_PENDING};
    std::thread thread_;
};

TEST(ControlDialogs, AboutBoxShowsTheVersionUntilTheUserConfirms) {
    OcxRegistration registration;
    ControlThread page([](IUnknown* control) {
        ComPtr<IDispatch> dispatch;
        control->QueryInterface(IID_PPV_ARGS(&dispatch));
        ScopedVariant result;
        return CallByName(dispatch.Get(), L"AboutBox", result.get());
    });

    HWND dialog = nullptr;
    ASSERT_TRUE(PumpMessagesUntil(
        [&] { return (dialog = page.FindWindowShowing(kAboutTitle)) || page.Finished(); },
        kPatience));
    ASSERT_TRUE(dialog) << "AboutBox answered " << std::hex << page.Result()
                        << " without showing a dialog";
    EXPECT_EQ(WindowText(dialog), kAboutTitle);
    EXPECT_EQ(WindowText(GetDlgItem(dialog, IDC_ABOUT_VERSION)),
              "RUVICtrl Control 1.0 \xb0\xe6");  // 版
    EXPECT_NE(SendDlgItemMessageW(dialog, IDC_ABOUT_ICON, STM_GETICON, 0, 0), 0);
    HWND ok = GetDlgItem(dialog, IDOK);
    EXPECT_EQ(WindowText(ok), "\xc8\xb7\xb6\xa8");  // 确定
    EXPECT_FALSE(page.Finished()) << "AboutBox returned while its dialog was open";

    SendMessageW(ok, BM_CLICK, 0, 0);
    EXPECT_TRUE(PumpMessagesUntil([&] { return page.Finished(); }, kPatience));
    EXPECT_EQ(page.Result(), S_OK);
    EXPECT_FALSE(IsWindow(dialog));
}

TEST(ControlDialogs, PropertiesVerbOpensThePropertyPage) {
    OcxRegistration registration;
    ControlThread container([](IUnknown* control) {
        ComPtr<IOleObject> object;
        control->QueryInterface(IID_PPV_ARGS(&object));
        return object->DoVerb(OLEIVERB_PROPERTIES, nullptr, nullptr, 0, nullptr, nullptr);
    });

    HWND frame = nullptr;
    ASSERT_TRUE(PumpMessagesUntil(
        [&] { return (frame = container.FindWindowShowing(kPageNote)) || container.Finished(); },
        kPatience));
    ASSERT_TRUE(frame) << "DoVerb answered " << std::hex << container.Result()
                       << " without showing the page";
    EXPECT_FALSE(container.Finished());

    PostMessageW(frame, WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(PumpMessagesUntil([&] { return container.Finished(); }, kPatience));
    EXPECT_EQ(container.Result(), S_OK);
}

}  // namespace
