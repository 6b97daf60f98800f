#pragma once

#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "framework/gdi_object.h"
#include "skin/gdiplus_session.h"

namespace Gdiplus {
class Bitmap;
}  // namespace Gdiplus

// The pictures of a skinned window, each file decoded by GDI+ once however
// many of its controls show it. Decoding is what a window's start costs
// most (under Wine, some 220 round trips to the Wine server a picture), so
// the files given as ahead are decoded on a thread of their own, in that
// order, while the program does other work; the window then finds them
// decoded, or waits for the one it needs. Any other file is decoded when
// it is asked for. Used from one thread, besides its own.
class CSkinPictures {
public:
    explicit CSkinPictures(std::vector<std::string> ahead = {});
    ~CSkinPictures();
    CSkinPictures(const CSkinPictures&) = delete;
    CSkinPictures& operator=(const CSkinPictures&) = delete;

    // The picture at path as LoadSkinImage makes it: a DIB section of its
    // own for each call. Empty when the file is missing or undecodable.
    CBitmap Dib(const std::string& path);
    // The picture as GDI+ decoded it, kept here; null when the file is
    // missing or undecodable.
    Gdiplus::Bitmap* Decoded(const std::string& path);

private:
    void DecodeAhead(const std::vector<std::string>& paths);

    CGdiplusSession gdiplus_;  // first: the pictures go before GDI+ does
    std::mutex mutex_;
    std::condition_variable decoded_;
    std::map<std::string, std::unique_ptr<Gdiplus::Bitmap>> pictures_;
    std::set<std::string> ahead_;  // not decoded yet by the thread
    bool stopping_ = false;
    std::thread thread_;  // last: it starts once everything above is there
};
