// Where the main window's controls stand and which pictures they show.
#include <memory>

#include "resources/resource_ids.h"
#include "skin/gdiplus_include.h"
#include "skin/skin_files.h"
#include "window/ruv_installer_dlg.h"

namespace {

constexpr COLORREF kFailureText = RGB(255, 0, 0);

using enum SkinnedPicture;

// The controls the window shows from the start come first: their pictures
// are decoded ahead first.
constexpr SkinnedControl kControls[] = {
    {IDCANCEL, {118, 416, 178, 30}, Button, "RUVI\\B3"},
    {IDC_MINIMISE, {349, 7, 25, 25}, Button, "Public\\B1"},
    {IDC_CLOSE, {379, 7, 25, 25}, Button, "Public\\B2"},
    {IDC_BUSY_PICTURE, {188, 320, 35, 45}, Static, "RUVI\\P6"},
    {IDC_PROGRESS, {24, 282, 360, 19}},
    {IDC_STATUS_LINE, {62, 370, 300, 45}},
    {IDOK, {118, 416, 178, 30}, Button, "RUVI\\B1"},
    {IDC_RETRY, {100, 416, 99, 30}, Button, "RUVI\\B2"},
    {IDC_EXIT, {235, 416, 99, 30}, Button, "RUVI\\B4"},
    {IDC_SUCCESS_TEXT, {107, 343, 300, 21}},
    {IDC_RUN_FAILED_PICTURE, {105, 339, 21, 21}, Static, "RUVI\\P4"},
    {IDC_FAILURE_TEXT, {138, 343, 200, 21}, None, nullptr, kFailureText},
    {IDC_RUN_SUCCEEDED_PICTURE, {74, 339, 21, 21}, Static, "RUVI\\P5"},
    // Five rows: a caption and, on top of each other, the icons of a
    // blocking failure, a success and a non-blocking failure.
    {IDC_ROW_CAPTION_FIRST, {62, 89, 300, 20}},
    {IDC_ROW_BLOCKING_FIRST, {314, 82, 28, 28}, Static, "RUVI\\P1"},
    {IDC_ROW_SUCCESS_FIRST, {314, 82, 28, 28}, Static, "RUVI\\P3"},
    {IDC_ROW_NONBLOCKING_FIRST, {314, 82, 28, 28}, Static, "RUVI\\P2"},
    {IDC_ROW_CAPTION_FIRST + 1, {62, 130, 300, 20}},
    {IDC_ROW_BLOCKING_FIRST + 1, {314, 123, 28, 28}, Static, "RUVI\\P1"},
    {IDC_ROW_SUCCESS_FIRST + 1, {314, 123, 28, 28}, Static, "RUVI\\P3"},
    {IDC_ROW_NONBLOCKING_FIRST + 1, {314, 123, 28, 28}, Static, "RUVI\\P2"},
    {IDC_ROW_CAPTION_FIRST + 2, {62, 169, 300, 20}},
    {IDC_ROW_BLOCKING_FIRST + 2, {314, 162, 28, 28}, Static, "RUVI\\P1"},
    {IDC_ROW_SUCCESS_FIRST + 2, {314, 162, 28, 28}, Static, "RUVI\\P3"},
    {IDC_ROW_NONBLOCKING_FIRST + 2, {314, 162, 28, 28}, Static, "RUVI\\P2"},
    {IDC_ROW_CAPTION_FIRST + 3, {62, 208, 300, 20}},
    {IDC_ROW_BLOCKING_FIRST + 3, {314, 201, 28, 28}, Static, "RUVI\\P1"},
    {IDC_ROW_SUCCESS_FIRST + 3, {314, 201, 28, 28}, Static, "RUVI\\P3"},
    {IDC_ROW_NONBLOCKING_FIRST + 3, {314, 201, 28, 28}, Static, "RUVI\\P2"},
    {IDC_ROW_CAPTION_FIRST + 4, {62, 247, 300, 20}},
    {IDC_ROW_BLOCKING_FIRST + 4, {314, 240, 28, 28}, Static, "RUVI\\P1"},
    {IDC_ROW_SUCCESS_FIRST + 4, {314, 240, 28, 28}, Static, "RUVI\\P3"},
    {IDC_ROW_NONBLOCKING_FIRST + 4, {314, 240, 28, 28}, Static, "RUVI\\P2"},
};

// The progress bar's pictures; the leading backslash follows the skin
// folder's own.
constexpr char kProgressFrame[] = "\\skin\\RUVI\\front_000.png";
constexpr char kProgressTrack[] = "\\skin\\RUVI\\back_000.png";

}  // namespace

std::unique_ptr<CSkinPictures> CRUVInstallerDlg::DecodePicturesAhead(
    const std::string& installFolder) {
    const std::string skin = installFolder + skin_files::kSkinFolder;
    std::vector<std::string> files = {skin + skin_files::kRuviFolder + skin_files::kBackground,
                                      installFolder + kProgressFrame,
                                      installFolder + kProgressTrack};
    for (std::string& file : PictureFiles(skin, kControls)) files.push_back(std::move(file));
    return std::make_unique<CSkinPictures>(std::move(files));
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
    // The bar keeps copies.
    if (Gdiplus::Bitmap* frame = Pictures().Decoded(skinFolder_ + kProgressFrame)) {
        progressBar_.AddFrame(*frame);
    }
    if (Gdiplus::Bitmap* track = Pictures().Decoded(skinFolder_ + kProgressTrack)) {
        progressBar_.SetTrackImage(*track);
    }
    progressBar_.StartAnimation();
}
