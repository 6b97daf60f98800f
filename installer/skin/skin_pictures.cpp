#include "skin/skin_pictures.h"

#include <system_error>
#include <utility>

#include "skin/gdiplus_include.h"
#include "skin/load_skin_image.h"

CSkinPictures::CSkinPictures(std::vector<std::string> ahead) {
    if (ahead.empty() || !gdiplus_.Started()) return;
    ahead_.insert(ahead.begin(), ahead.end());
    try {
        thread_ = std::thread([this, paths = std::move(ahead)] { DecodeAhead(paths); });
    } catch (const std::system_error&) {
        ahead_.clear();  // no thread to be had: each is decoded when asked for
    }
}

CSkinPictures::~CSkinPictures() {
    if (!thread_.joinable()) return;
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    thread_.join();
}

CBitmap CSkinPictures::Dib(const std::string& path) {
    Gdiplus::Bitmap* picture = Decoded(path);
    return picture != nullptr ? SkinPictureToDib(*picture) : CBitmap{};
}

Gdiplus::Bitmap* CSkinPictures::Decoded(const std::string& path) {
    std::unique_lock lock(mutex_);
    decoded_.wait(lock, [&] { return !ahead_.contains(path); });
    if (const auto found = pictures_.find(path); found != pictures_.end()) {
        return found->second.get();
    }
    lock.unlock();
    std::unique_ptr<Gdiplus::Bitmap> picture =
        gdiplus_.Started() ? DecodeSkinPicture(path) : nullptr;
    lock.lock();
    return pictures_.emplace(path, std::move(picture)).first->second.get();
}

void CSkinPictures::DecodeAhead(const std::vector<std::string>& paths) {
    for (const std::string& path : paths) {
        {
            const std::lock_guard lock(mutex_);
            if (stopping_) return;
            if (pictures_.contains(path)) continue;  // named twice
        }
        std::unique_ptr<Gdiplus::Bitmap> picture = DecodeSkinPicture(path);
        {
            const std::lock_guard lock(mutex_);
            pictures_.emplace(path, std::move(picture));
            ahead_.erase(path);
        }
        decoded_.notify_all();
    }
}
