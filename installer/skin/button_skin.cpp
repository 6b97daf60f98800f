#include "skin/button_skin.h"

#include <utility>

#include "skin/bitmap_button_ex.h"
#include "skin/load_skin_image.h"
#include "skin/skin_files.h"

ButtonSkinPaths MakeButtonSkinPaths(const std::string& folder, const std::string& baseName) {
    ButtonSkinPaths paths;
    for (std::size_t i = 0; i < paths.size(); ++i) {
        paths[i] =
            folder + baseName + skin_files::kButtonStateSuffixes[i] + skin_files::kPictureExtension;
    }
    return paths;
}

bool ApplyButtonSkin(CBitmapButtonEx& button, const ButtonSkinPaths& paths) {
    std::array<CBitmap, 5> pictures;
    for (std::size_t i = 0; i < paths.size(); ++i) {
        pictures[i] = LoadSkinImage(paths[i]);
        if (!pictures[i]) return false;
    }
    button.SetImages(std::move(pictures[0]), std::move(pictures[1]), std::move(pictures[2]),
                     std::move(pictures[3]), std::move(pictures[4]));
    SendMessageW(button.hwnd, BM_SETSTYLE, BS_OWNERDRAW, TRUE);
    return true;
}
