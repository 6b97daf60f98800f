#pragma once

#include <condition_variable>
#include <cstddef>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "framework/gdi_object.h"
#include "skin/gdiplus_include.h"
#include "skin/gdiplus_session.h"

// What to decode ahead, in this order: pictures as LoadSkinImage decodes
// them, then GDI+ images of files (as Gdiplus::Bitmap reads a file).
struct PicturesAhead {
    std::vector<std::string> bitmaps;
    std::vector<std::string> images;
};

// Decodes pictures on a thread of its own, in the order given, so that a
// window finds them decoded when it needs them: the installer starts one
// before it asks its server, and decoding goes on while it waits for the
// answer. Without a thread it decodes nothing.
class CPicturePrefetch {
public:
    explicit CPicturePrefetch(const PicturesAhead& pictures);
    // Stops after the picture being decoded; what was not taken goes.
    ~CPicturePrefetch();
    CPicturePrefetch(const CPicturePrefetch&) = delete;
    CPicturePrefetch& operator=(const CPicturePrefetch&) = delete;

    // The picture of path, decoded ahead (empty when it does not decode),
    // once; waits for it when its turn has not come yet. Nothing when path
    // is not one of the list or was taken before: the caller decodes it.
    std::optional<CBitmap> Take(const std::string& path);
    // The same for an image, with its status as GDI+ read it; null when the
    // caller must read the file itself.
    std::unique_ptr<Gdiplus::Bitmap> TakeImage(const std::string& path);

private:
    struct Picture {
        std::string path;
        bool asImage = false;
        CBitmap bitmap;
        std::unique_ptr<Gdiplus::Bitmap> image;
        bool decoded = false;
        bool taken = false;
    };

    void List(const std::vector<std::string>& paths, bool asImages);
    // The listed picture of path not taken yet, once decoded; null when there
    // is none. The caller holds the lock.
    Picture* WaitFor(std::unique_lock<std::mutex>& guard, const std::string& path, bool asImage);
    void DecodeInOrder();

    // GDI+ stays up for the images decoded ahead, taken or not.
    CGdiplusSession gdiplus_;
    std::mutex lock_;
    std::condition_variable decodedOne_;
    std::vector<Picture> pictures_;
    bool stopping_ = false;
    std::thread thread_;  // last: it starts once everything above is there
};
