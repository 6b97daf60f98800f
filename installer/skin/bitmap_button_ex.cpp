#include "skin/bitmap_button_ex.h"

#include <algorithm>
#include <utility>

#include "framework/device_context.h"

void CBitmapButtonEx::SetImages(CBitmap normal, CBitmap over, CBitmap down, CBitmap focus,
                                CBitmap disabled) {
    pictures_[kNormal] = std::move(normal);
    pictures_[kOver] = std::move(over);
    pictures_[kDown] = std::move(down);
    pictures_[kFocus] = std::move(focus);
    pictures_[kDisabled] = std::move(disabled);
    firstPaint_ = CBitmap();
}

void CBitmapButtonEx::SetFirstPaintImage(CBitmap picture) { firstPaint_ = std::move(picture); }

CBitmapButtonEx::Picture CBitmapButtonEx::ChoosePicture(UINT action, UINT state) {
    if ((action & ODA_SELECT) != 0) return (state & ODS_SELECTED) != 0 ? kDown : kNormal;
    return (state & ODS_DISABLED) != 0 ? kDisabled : kNormal;
}

bool CBitmapButtonEx::DrawItem(const DRAWITEMSTRUCT& item) {
    const bool complete = std::all_of(pictures_.begin(), pictures_.end(),
                                      [](const CBitmap& picture) { return bool(picture); });
    if (!complete && !firstPaint_) return false;

    const HDC dc = item.hDC;  // borrowed: it belongs to the system
    wchar_t caption[512] = {};
    GetWindowTextW(hwnd, caption, 512);

    const HBITMAP picture = complete
                                ? pictures_[ChoosePicture(item.itemAction, item.itemState)].Get()
                                : firstPaint_.Get();
    BITMAP shape{};
    GetObjectW(picture, sizeof(shape), &shape);
    RECT window{};
    GetWindowRect(hwnd, &window);
    {
        CMemoryDC memory(dc);
        CSelectObject select(memory.Get(), picture);
        StretchBlt(dc, 0, 0, window.right - window.left, window.bottom - window.top, memory.Get(),
                   0, 0, shape.bmWidth, shape.bmHeight, SRCCOPY);
    }

    SetBkMode(dc, TRANSPARENT);
    RECT text = item.rcItem;
    DrawTextW(dc, caption, -1, &text, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    return true;
}

LRESULT CBitmapButtonEx::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kReflectedDrawItem) {
        return DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)) ? TRUE : FALSE;
    }
    return CSubclassedWindow::WindowProc(message, wParam, lParam);
}
