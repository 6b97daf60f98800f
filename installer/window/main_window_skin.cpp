// Where the main window's controls stand and which pictures they show.
#include <memory>

#include "net/text_conversion.h"
#include "resources/resource_ids.h"
#include "skin/button_skin.h"
#include "skin/gdiplus_include.h"
#include "skin/load_skin_image.h"
#include "skin/skin_files.h"
#include "window/ruv_installer_dlg.h"

namespace {

struct Placement {
    int x, y, width, height;
};

constexpr int kRowCount = 5;
constexpr int kRowCaptionY[kRowCount] = {89, 130, 169, 208, 247};
constexpr int kRowIconY[kRowCount] = {82, 123, 162, 201, 240};

// Skin types of LoadButtonSkin: folder and base name of the five pictures.
struct ButtonSkin {
    const char* folder;
    const char* baseName;
};
constexpr ButtonSkin kButtonSkins[] = {
    {skin_files::kPublicFolder, "B1"}, {skin_files::kPublicFolder, "B2"},
    {skin_files::kRuviFolder, "B1"},   {skin_files::kRuviFolder, "B3"},
    {skin_files::kRuviFolder, "B4"},   {skin_files::kRuviFolder, "B2"},
};
enum ButtonSkinType { kMinimiseSkin, kCloseSkin, kOkSkin, kCancelSkin, kExitSkin, kRetrySkin };

enum Picture {
    kBlockingFailure = 1,
    kNonBlockingFailure,
    kSucceeded,
    kRunFailed,
    kRunSucceeded,
    kBusy
};

// The progress bar's pictures; the leading backslash follows the skin
// folder's own.
constexpr char kProgressFrame[] = "\\skin\\RUVI\\front_000.png";
constexpr char kProgressTrack[] = "\\skin\\RUVI\\back_000.png";

void Place(HWND control, const Placement& place) {
    SetWindowPos(control, nullptr, place.x, place.y, place.width, place.height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

// The row (0 to 4) of id within a block of five identifiers, or -1.
int RowOf(int id, int first) { return id >= first && id < first + kRowCount ? id - first : -1; }

std::unique_ptr<Gdiplus::Bitmap> LoadGdiplusBitmap(const std::string& path) {
    std::wstring widePath;
    AnsiToWide(path, widePath);
    return std::make_unique<Gdiplus::Bitmap>(widePath.c_str());
}

}  // namespace

void CRUVInstallerDlg::LayoutControls() {
    for (HWND child = GetWindow(hwnd, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        const int id = GetDlgCtrlID(child);
        if (int row = RowOf(id, IDC_ROW_CAPTION_FIRST); row >= 0) {
            Place(child, {62, kRowCaptionY[row], 300, 20});
            continue;
        }
        const std::pair<int, Picture> icons[] = {{IDC_ROW_BLOCKING_FIRST, kBlockingFailure},
                                                 {IDC_ROW_SUCCESS_FIRST, kSucceeded},
                                                 {IDC_ROW_NONBLOCKING_FIRST, kNonBlockingFailure}};
        bool placed = false;
        for (const auto& [first, picture] : icons) {
            if (int row = RowOf(id, first); row >= 0) {
                Place(child, {314, kRowIconY[row], 28, 28});
                LoadStaticImage(id, picture);
                placed = true;
            }
        }
        if (placed) continue;
        switch (id) {
            case IDOK:
                Place(child, {118, 416, 178, 30});
                LoadButtonSkin(id, kOkSkin);
                break;
            case IDCANCEL:
                Place(child, {118, 416, 178, 30});
                LoadButtonSkin(id, kCancelSkin);
                break;
            case IDC_PROGRESS:
                Place(child, {24, 282, 360, 19});
                break;
            case IDC_SUCCESS_TEXT:
                Place(child, {107, 343, 300, 21});
                break;
            case IDC_MINIMISE:
                Place(child, {349, 7, 25, 25});
                LoadButtonSkin(id, kMinimiseSkin);
                break;
            case IDC_CLOSE:
                Place(child, {379, 7, 25, 25});
                LoadButtonSkin(id, kCloseSkin);
                break;
            case IDC_RETRY:
                Place(child, {100, 416, 99, 30});
                LoadButtonSkin(id, kRetrySkin);
                break;
            case IDC_EXIT:
                Place(child, {235, 416, 99, 30});
                LoadButtonSkin(id, kExitSkin);
                break;
            case IDC_RUN_FAILED_PICTURE:
                Place(child, {105, 339, 21, 21});
                LoadStaticImage(id, kRunFailed);
                break;
            case IDC_FAILURE_TEXT:
                Place(child, {138, 343, 200, 21});
                break;
            case IDC_STATUS_LINE:
                Place(child, {62, 370, 300, 45});
                break;
            case IDC_RUN_SUCCEEDED_PICTURE:
                Place(child, {74, 339, 21, 21});
                LoadStaticImage(id, kRunSucceeded);
                break;
            case IDC_BUSY_PICTURE:
                Place(child, {188, 320, 35, 45});
                LoadStaticImage(id, kBusy);
                break;
            default:
                break;
        }
    }
}

CBitmapButtonEx* CRUVInstallerDlg::ButtonOf(int id) {
    switch (id) {
        case IDOK:
            return &okButton_;
        case IDCANCEL:
            return &cancelButton_;
        case IDC_MINIMISE:
            return &minimiseButton_;
        case IDC_CLOSE:
            return &closeButton_;
        case IDC_RETRY:
            return &retryButton_;
        case IDC_EXIT:
            return &exitButton_;
        default:
            return nullptr;
    }
}

void CRUVInstallerDlg::LoadButtonSkin(int buttonId, int skinType) {
    CBitmapButtonEx* button = ButtonOf(buttonId);
    if (button == nullptr || button->hwnd == nullptr) return;
    const ButtonSkin& skin = kButtonSkins[skinType];
    ApplyButtonSkin(
        *button,
        MakeButtonSkinPaths(skinFolder_ + skin_files::kSkinFolder + skin.folder, skin.baseName));
}

void CRUVInstallerDlg::LoadStaticImage(int controlId, int pictureNumber) {
    CBitmap picture =
        LoadSkinImage(skinFolder_ + skin_files::kSkinFolder + skin_files::kRuviFolder + "P" +
                      std::to_string(pictureNumber) + skin_files::kPictureExtension);
    if (!picture) return;
    // The control only shows the picture; the window keeps it.
    SendDlgItemMessageW(hwnd, controlId, STM_SETIMAGE, IMAGE_BITMAP,
                        reinterpret_cast<LPARAM>(picture.Get()));
    shownPictures_.push_back(std::move(picture));
}

void CRUVInstallerDlg::SetUpProgressBar() {
    progressBar_.SetRange(0, 100);
    progressBar_.SetPos(0);
    progressBar_.SetRoundedEnds(true);
    progressBar_.SetShowText(true);
    progressBar_.SetTextAsPercent(true);
    const auto frame = LoadGdiplusBitmap(skinFolder_ + kProgressFrame);
    const auto track = LoadGdiplusBitmap(skinFolder_ + kProgressTrack);
    if (frame->GetLastStatus() == Gdiplus::Ok) progressBar_.AddFrame(*frame);
    if (track->GetLastStatus() == Gdiplus::Ok) progressBar_.SetTrackImage(*track);
    progressBar_.StartAnimation();
}
