#pragma once

#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "framework/gdi_object.h"

// Decodes pictures (as LoadSkinImage does) on a thread of its own, in the
// order given, so that a window finds them decoded when it needs them: the
// installer starts one before it asks its server, and decoding goes on
// while it waits for the answer. Without a thread it decodes nothing.
class CPicturePrefetch {
public:
    explicit CPicturePrefetch(const std::vector<std::string>& paths);
    // Stops after the picture being decoded; what was not taken goes.
    ~CPicturePrefetch();
    CPicturePrefetch(const CPicturePrefetch&) = delete;
    CPicturePrefetch& operator=(const CPicturePrefetch&) = delete;

    // The picture of path, decoded ahead (empty when it does not decode),
    // once; waits for it when its turn has not come yet. Nothing when path
    // is not one of the list or was taken before: the caller decodes it.
    std::optional<CBitmap> Take(const std::string& path);

private:
    struct Picture {
        std::string path;
        CBitmap bitmap;
        bool decoded = false;
        bool taken = false;
    };

    void DecodeInOrder();

    std::mutex lock_;
    std::condition_variable decodedOne_;
    std::vector<Picture> pictures_;
    bool stopping_ = false;
    std::thread thread_;  // last: it starts once everything above is there
};
