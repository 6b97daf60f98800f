#include "skin/picture_prefetch.h"

#include <algorithm>
#include <system_error>
#include <utility>

#include "skin/load_skin_image.h"

CPicturePrefetch::CPicturePrefetch(const PicturesAhead& pictures) {
    List(pictures.bitmaps, false);
    List(pictures.images, true);
    try {
        thread_ = std::thread([this] { DecodeInOrder(); });
    } catch (const std::system_error&) {
        pictures_.clear();  // nothing comes: every picture is the caller's
    }
}

CPicturePrefetch::~CPicturePrefetch() {
    {
        const std::lock_guard<std::mutex> guard(lock_);
        stopping_ = true;
    }
    if (thread_.joinable()) thread_.join();
    pictures_.clear();  // every GDI+ image goes before the session ends
}

void CPicturePrefetch::List(const std::vector<std::string>& paths, bool asImages) {
    for (const std::string& path : paths) {
        const bool listed =
            std::any_of(pictures_.begin(), pictures_.end(), [&](const Picture& picture) {
                return picture.path == path && picture.asImage == asImages;
            });
        if (listed) continue;
        pictures_.emplace_back();
        pictures_.back().path = path;
        pictures_.back().asImage = asImages;
    }
}

CPicturePrefetch::Picture* CPicturePrefetch::WaitFor(std::unique_lock<std::mutex>& guard,
                                                     const std::string& path, bool asImage) {
    const auto found = std::find_if(pictures_.begin(), pictures_.end(), [&](const Picture& picture) {
        return picture.path == path && picture.asImage == asImage && !picture.taken;
    });
    if (found == pictures_.end()) return nullptr;
    decodedOne_.wait(guard, [&] { return found->decoded; });
    found->taken = true;
    return &*found;
}

std::optional<CBitmap> CPicturePrefetch::Take(const std::string& path) {
    std::unique_lock<std::mutex> guard(lock_);
    Picture* picture = WaitFor(guard, path, false);
    if (picture == nullptr) return std::nullopt;
    return std::move(picture->bitmap);
}

std::unique_ptr<Gdiplus::Bitmap> CPicturePrefetch::TakeImage(const std::string& path) {
    std::unique_lock<std::mutex> guard(lock_);
    Picture* picture = WaitFor(guard, path, true);
    return picture == nullptr ? nullptr : std::move(picture->image);
}

void CPicturePrefetch::DecodeInOrder() {
    for (std::size_t next = 0;; ++next) {
        std::string path;
        bool asImage = false;
        {
            const std::lock_guard<std::mutex> guard(lock_);
            if (stopping_ || next == pictures_.size()) return;
            path = pictures_[next].path;
            asImage = pictures_[next].asImage;
        }
        CBitmap bitmap;
        std::unique_ptr<Gdiplus::Bitmap> image;
        if (asImage && gdiplus_.Started()) {
            image = LoadGdiplusImage(path);
        } else if (!asImage) {
            bitmap = LoadSkinImage(path);
        }
        {
            const std::lock_guard<std::mutex> guard(lock_);
            pictures_[next].bitmap = std::move(bitmap);
            pictures_[next].image = std::move(image);
            pictures_[next].decoded = true;
        }
        decodedOne_.notify_all();
    }
}
