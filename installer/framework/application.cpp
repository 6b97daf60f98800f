#include "framework/application.h"

#include "framework/window.h"
#include "platform/text_conversion.h"

namespace {

CApplication* currentApplication = nullptr;

int SystemMessageBox(HWND owner, const std::string& prompt, UINT type) {
    std::wstring text;
    AnsiToWide(prompt, text);
    return MessageBoxW(owner, text.c_str(), L"", type);
}

}  // namespace

CApplication::CApplication() { currentApplication = this; }

CApplication::~CApplication() {
    if (currentApplication == this) currentApplication = nullptr;
}

int CApplication::Run() {
    InitInstance();
    return exitCode_;
}

int CApplication::DoMessageBox(const std::string& prompt, UINT type, UINT) {
    return SystemMessageBox(MainWindowHandle(), prompt, type);
}

HWND CApplication::MainWindowHandle() const {
    return mainWindow_ != nullptr ? mainWindow_->hwnd : nullptr;
}

CApplication* CurrentApplication() { return currentApplication; }

HWND ApplicationMainWindow() {
    return currentApplication != nullptr ? currentApplication->MainWindowHandle() : nullptr;
}

int AppMessageBox(const std::string& prompt, UINT type, UINT helpId) {
    if (currentApplication == nullptr) return SystemMessageBox(nullptr, prompt, type);
    return currentApplication->DoMessageBox(prompt, type, helpId);
}
