#include "skin/gdiplus_session.h"

#include <mutex>

#include "skin/gdiplus_include.h"

namespace {

std::mutex sessionLock;
int sessionCount = 0;
ULONG_PTR gdiplusToken = 0;

}  // namespace

CGdiplusSession::CGdiplusSession() {
    const std::lock_guard<std::mutex> lock(sessionLock);
    if (sessionCount == 0) {
        const Gdiplus::GdiplusStartupInput input;
        if (Gdiplus::GdiplusStartup(&gdiplusToken, &input, nullptr) != Gdiplus::Ok) {
            started_ = false;
            return;
        }
    }
    ++sessionCount;
    started_ = true;
}

CGdiplusSession::~CGdiplusSession() {
    if (!started_) return;
    const std::lock_guard<std::mutex> lock(sessionLock);
    if (--sessionCount == 0) Gdiplus::GdiplusShutdown(gdiplusToken);
}
