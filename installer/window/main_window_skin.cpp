// Where the main window's controls stand and which pictures they show.
#include <algorithm>
#include <memory>

#include "resources/resource_ids.h"
#include "skin/gdiplus_include.h"
#include "skin/load_skin_image.h"
#include "skin/skin_files.h"
#include "window/ruv_installer_dlg.h"

namespace {

constexpr COLORREF kFailureText = RGB(255, 0, 0);

constexpr SkinnedControl kControls[] = {
    {IDOK, {118, 416, 178, 30}, "RUVI\\B1"},
    {IDCANCEL, {118, 416, 178, 30}, "RUVI\\B3"},
    {IDC_PROGRESS, {24, 282, 360, 19}},
    {IDC_SUCCESS_TEXT, {107, 343, 300, 21}},
    {IDC_MINIMISE, {349, 7, 25, 25}, "Public\\B1"},
    {IDC_CLOSE, {379, 7, 25, 25}, "Public\\B2"},
    {IDC_RETRY, {100, 416, 99, 30}, "RUVI\\B2"},
    {IDC_EXIT, {235, 416, 99, 30}, "RUVI\\B4"},
    {IDC_RUN_FAILED_PICTURE, {105, 339, 21, 21}, "RUVI\\P4"},
    {IDC_FAILURE_TEXT, {138, 343, 200, 21}, nullptr, kFailureText},
    {IDC_STATUS_LINE, {62, 370, 300, 45}},
    {IDC_RUN_SUCCEEDED_PICTURE, {74, 339, 21, 21}, "RUVI\\P5"},
    {IDC_BUSY_PICTURE, {188, 320, 35, 45}, "RUVI\\P6"},
    // Five rows: a caption and, on top of each other, the icons of a
    // blocking failure, a success and a non-blocking failure.
    {IDC_ROW_CAPTION_FIRST, {62, 89, 300, 20}},
    {IDC_ROW_BLOCKING_FIRST, {314, 82, 28, 28}, "RUVI\\P1"},
    {IDC_ROW_SUCCESS_FIRST, {314, 82, 28, 28}, "RUVI\\P3"},
    {IDC_ROW_NONBLOCKING_FIRST, {314, 82, 28, 28}, "RUVI\\P2"},
    {IDC_ROW_CAPTION_FIRST + 1, {62, 130, 300, 20}},
    {IDC_ROW_BLOCKING_FIRST + 1, {314, 123, 28, 28}, "RUVI\\P1"},
    {IDC_ROW_SUCCESS_FIRST + 1, {314, 123, 28, 28}, "RUVI\\P3"},
    {IDC_ROW_NONBLOCKING_FIRST + 1, {314, 123, 28, 28}, "RUVI\\P2"},
    {IDC_ROW_CAPTION_FIRST + 2, {62, 169, 300, 20}},
    {IDC_ROW_BLOCKING_FIRST + 2, {314, 162, 28, 28}, "RUVI\\P1"},
    {IDC_ROW_SUCCESS_FIRST + 2, {314, 162, 28, 28}, "RUVI\\P3"},
    {IDC_ROW_NONBLOCKING_FIRST + 2, {314, 162, 28, 28}, "RUVI\\P2"},
    {IDC_ROW_CAPTION_FIRST + 3, {62, 208, 300, 20}},
    {IDC_ROW_BLOCKING_FIRST + 3, {314, 201, 28, 28}, "RUVI\\P1"},
    {IDC_ROW_SUCCESS_FIRST + 3, {314, 201, 28, 28}, "RUVI\\P3"},
    {IDC_ROW_NONBLOCKING_FIRST + 3, {314, 201, 28, 28}, "RUVI\\P2"},
    {IDC_ROW_CAPTION_FIRST + 4, {62, 247, 300, 20}},
    {IDC_ROW_BLOCKING_FIRST + 4, {314, 240, 28, 28}, "RUVI\\P1"},
    {IDC_ROW_SUCCESS_FIRST + 4, {314, 240, 28, 28}, "RUVI\\P3"},
    {IDC_ROW_NONBLOCKING_FIRST + 4, {314, 240, 28, 28}, "RUVI\\P2"},
};

// The controls the window shows from the start, whose pictures its first
// paint needs. Only a hint: a picture not decoded ahead is decoded when it is
// needed.
constexpr int kShownFromTheStart[] = {IDCANCEL, IDC_MINIMISE, IDC_CLOSE, IDC_BUSY_PICTURE};

// The progress bar's pictures; the leading backslash follows the skin
// folder's own.
constexpr char kProgressFrame[] = "\\skin\\RUVI\\front_000.png";
constexpr char kProgressTrack[] = "\\skin\\RUVI\\back_000.png";

}  // namespace

std::string CRUVInstallerDlg::BackgroundPicture(const std::string& skinFolder) {
    return skinFolder + skin_files::kSkinFolder + skin_files::kRuviFolder + skin_files::kBackground;
}

PicturesAhead CRUVInstallerDlg::PicturesToDecodeAhead(const std::string& skinFolder) {
    PicturesAhead pictures;
    pictures.bitmaps.push_back(BackgroundPicture(skinFolder));
    for (const int id : kShownFromTheStart) {
        const auto control =
            std::find_if(std::begin(kControls), std::end(kControls),
                         [id](const SkinnedControl& entry) { return entry.id == id; });
        pictures.bitmaps.push_back(StartingPicture(skinFolder + skin_files::kSkinFolder, *control));
    }
    pictures.images = {skinFolder + kProgressFrame, skinFolder + kProgressTrack};
    return pictures;
}

void CRUVInstallerDlg::LayoutControls() {
    LayoutFromTable(skinFolder_ + skin_files::kSkinFolder, kControls);
}

void CRUVInstallerDlg::SetUpProgressBar() {
    progressBar_.SetRange(0, 100);
    progressBar_.SetPos(0);
    progressBar_.SetRoundedEnds(true);
    progressBar_.SetShowText(true);
    progressBar_.SetTextAsPercent(true);
    const auto frame = ProgressPicture(kProgressFrame);
    const auto track = ProgressPicture(kProgressTrack);
    if (frame->GetLastStatus() == Gdiplus::Ok) progressBar_.AddFrame(*frame);
    if (track->GetLastStatus() == Gdiplus::Ok) progressBar_.SetTrackImage(*track);
    progressBar_.StartAnimation();
}

std::unique_ptr<Gdiplus::Bitmap> CRUVInstallerDlg::ProgressPicture(const char* name) {
    const std::string path = skinFolder_ + name;
    if (CPicturePrefetch* ahead = PicturesDecodedAhead()) {
        if (auto image = ahead->TakeImage(path)) return image;
    }
    return LoadGdiplusImage(path);
}
