// How a skinned dialog places and paints its controls from its table.
#include <algorithm>
#include <array>
#include <optional>
#include <utility>

#include "skin/dlg_ex.h"
#include "skin/load_skin_image.h"
#include "skin/skin_files.h"

namespace {

constexpr std::size_t kNormalState = 0;
constexpr std::size_t kDisabledState = 4;
constexpr std::size_t kButtonStates = 5;

bool IsFile(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool IsButton(HWND control) {
    return (SendMessageW(control, WM_GETDLGCODE, 0, 0) & DLGC_BUTTON) != 0;
}

// The static control of common controls 6 blends a 32-bit picture by its
// alpha; without alpha it copies the pixels, as every skin picture is drawn.
void ClearAlpha(HBITMAP picture) {
    DIBSECTION dib{};
    if (GetObjectW(picture, sizeof(dib), &dib) != sizeof(dib)) return;
    if (dib.dsBm.bmBitsPixel != 32 || dib.dsBm.bmBits == nullptr) return;
    auto* rows = static_cast<BYTE*>(dib.dsBm.bmBits);
    for (LONG y = 0; y < dib.dsBm.bmHeight; ++y) {
        BYTE* row = rows + y * dib.dsBm.bmWidthBytes;
        for (LONG x = 0; x < dib.dsBm.bmWidth; ++x) row[4 * x + 3] = 0;
    }
}

}  // namespace

void CDlgEx::LayoutFromTable(const std::string& pictureFolder,
                             std::span<const SkinnedControl> controls) {
    controls_ = controls;
    pictureFolder_ = pictureFolder;
    skinnedButtons_.clear();
    shownPictures_.clear();
    waitingForPictures_.clear();
    for (HWND child = GetWindow(hwnd, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        const SkinnedControl* control = FindControl(GetDlgCtrlID(child));
        if (control == nullptr) continue;
        const auto& place = control->place;
        SetWindowPos(child, nullptr, place.x, place.y, place.width, place.height,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        if (control->picture == nullptr) continue;
        // The dialog itself is not shown yet: the child's own style tells.
        if ((GetWindowLongPtrW(child, GWL_STYLE) & WS_VISIBLE) == 0) {
            waitingForPictures_.push_back(child);
        } else if (IsButton(child)) {
            SkinButtonForFirstPaint(child, *control);
        } else {
            SkinControl(child, *control);
        }
    }
}

std::string CDlgEx::StartingPicture(const std::string& pictureFolder,
                                    const SkinnedControl& control) {
    return pictureFolder + control.picture + skin_files::kButtonStateSuffixes[kNormalState] +
           skin_files::kPictureExtension;
}

CBitmap CDlgEx::LoadPicture(const std::string& path) {
    if (picturesAhead_ != nullptr) {
        if (std::optional<CBitmap> ahead = picturesAhead_->Take(path)) return std::move(*ahead);
    }
    return LoadSkinImage(path);
}

void CDlgEx::CompletePictures() {
    if (!waitingForPictures_.empty()) {
        // What the window shows is on screen before the rest is decoded.
        RedrawWindow(hwnd, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        for (const HWND child : std::exchange(waitingForPictures_, {})) {
            if (const SkinnedControl* control = FindControl(GetDlgCtrlID(child))) {
                SkinControl(child, *control);
            }
        }
    }
    OnPicturesComplete();
}

const SkinnedControl* CDlgEx::FindControl(int id) const {
    const auto found =
        std::find_if(controls_.begin(), controls_.end(),
                     [id](const SkinnedControl& control) { return control.id == id; });
    return found == controls_.end() ? nullptr : &*found;
}

void CDlgEx::SkinControl(HWND control, const SkinnedControl& entry) {
    if (IsButton(control)) {
        SkinButton(control, entry);
    } else {
        ShowPicture(control, pictureFolder_ + entry.picture + skin_files::kPictureExtension);
    }
}

void CDlgEx::SkinButtonForFirstPaint(HWND button, const SkinnedControl& control) {
    const std::size_t firstState = IsWindowEnabled(button) ? kNormalState : kDisabledState;
    for (std::size_t state = 0; state < kButtonStates; ++state) {
        if (state != firstState && !IsFile(ButtonPicture(control, state))) return;
    }
    CBitmap picture = LoadPicture(ButtonPicture(control, firstState));
    if (!picture) return;
    auto skinned = std::make_unique<CBitmapButtonEx>();
    if (!skinned->SubclassWindow(button)) return;
    skinned->SetFirstPaintImage(std::move(picture));
    SendMessageW(button, BM_SETSTYLE, BS_OWNERDRAW, TRUE);
    skinnedButtons_.push_back(std::move(skinned));
    waitingForPictures_.push_back(button);
}

void CDlgEx::SkinButton(HWND button, const SkinnedControl& control) {
    std::array<CBitmap, kButtonStates> pictures;
    for (std::size_t state = 0; state < pictures.size(); ++state) {
        pictures[state] = LoadPicture(ButtonPicture(control, state));
        if (!pictures[state]) {
            UnskinButton(button);
            return;
        }
    }
    CBitmapButtonEx* skinned = SkinnedButton(button);
    if (skinned == nullptr) {
        auto added = std::make_unique<CBitmapButtonEx>();
        if (!added->SubclassWindow(button)) return;
        skinned = added.get();
        SendMessageW(button, BM_SETSTYLE, BS_OWNERDRAW, TRUE);
        skinnedButtons_.push_back(std::move(added));
    }
    skinned->SetImages(std::move(pictures[0]), std::move(pictures[1]), std::move(pictures[2]),
                       std::move(pictures[3]), std::move(pictures[4]));
}

void CDlgEx::UnskinButton(HWND button) {
    const auto found =
        std::find_if(skinnedButtons_.begin(), skinnedButtons_.end(),
                     [button](const auto& skinned) { return skinned->hwnd == button; });
    if (found == skinnedButtons_.end()) return;
    skinnedButtons_.erase(found);  // lets the button go
    const LRESULT defaultId = SendMessageW(hwnd, DM_GETDEFID, 0, 0);
    const bool isDefault =
        HIWORD(defaultId) == DC_HASDEFID && LOWORD(defaultId) == GetDlgCtrlID(button);
    SendMessageW(button, BM_SETSTYLE, isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
}

CBitmapButtonEx* CDlgEx::SkinnedButton(HWND button) const {
    for (const auto& skinned : skinnedButtons_) {
        if (skinned->hwnd == button) return skinned.get();
    }
    return nullptr;
}

std::string CDlgEx::ButtonPicture(const SkinnedControl& control, std::size_t state) const {
    const char* name = state == kDisabledState && control.disabledPicture != nullptr
                           ? control.disabledPicture
                           : control.picture;
    return pictureFolder_ + name + skin_files::kButtonStateSuffixes[state] +
           skin_files::kPictureExtension;
}

void CDlgEx::ShowPicture(HWND picture, const std::string& path) {
    CBitmap bitmap = LoadPicture(path);
    if (!bitmap) return;
    ClearAlpha(bitmap.Get());
    SendMessageW(picture, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap.Get()));
    shownPictures_.push_back(std::move(bitmap));
}
