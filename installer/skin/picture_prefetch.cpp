#include "skin/picture_prefetch.h"

#include <algorithm>
#include <system_error>
#include <utility>

#include "skin/load_skin_image.h"

CPicturePrefetch::CPicturePrefetch(const std::vector<std::string>& paths) {
    for (const std::string& path : paths) {
        const bool listed = std::any_of(pictures_.begin(), pictures_.end(),
                                        [&](const Picture& picture) { return picture.path == path; });
        if (listed) continue;
        pictures_.emplace_back();
        pictures_.back().path = path;
    }
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
}

std::optional<CBitmap> CPicturePrefetch::Take(const std::string& path) {
    std::unique_lock<std::mutex> guard(lock_);
    const auto found = std::find_if(pictures_.begin(), pictures_.end(), [&](const Picture& picture) {
        return picture.path == path && !picture.taken;
    });
    if (found == pictures_.end()) return std::nullopt;
    decodedOne_.wait(guard, [&] { return found->decoded; });
    found->taken = true;
    return std::move(found->bitmap);
}

void CPicturePrefetch::DecodeInOrder() {
    for (std::size_t next = 0;; ++next) {
        std::string path;
        {
            const std::lock_guard<std::mutex> guard(lock_);
            if (stopping_ || next == pictures_.size()) return;
            path = pictures_[next].path;
        }
        CBitmap bitmap = LoadSkinImage(path);
        {
            const std::lock_guard<std::mutex> guard(lock_);
            pictures_[next].bitmap = std::move(bitmap);
            pictures_[next].decoded = true;
        }
        decodedOne_.notify_all();
    }
}
