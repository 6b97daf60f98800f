#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "skin/gdiplus_include.h"
#include "skin/gdiplus_session.h"

// Test support for the skinned windows.

// A fresh folder below the temporary folder, removed with everything in it.
class CTempFolder {
public:
    CTempFolder();
    ~CTempFolder();
    CTempFolder(const CTempFolder&) = delete;
    CTempFolder& operator=(const CTempFolder&) = delete;

    // Ends with a backslash. GBK, like every path of the program.
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

// Writes a GDI+ bitmap as PNG (or BMP, which keeps indexed formats as they are).
bool SavePicture(Gdiplus::Bitmap& picture, const std::string& path, bool asBmp = false);
// A w x h picture of one colour.
bool SaveSolidPicture(const std::string& path, int width, int height, Gdiplus::Color colour);

// The folder holding the default skin's "skin\" tree, with its backslash.
std::string DefaultSkinRoot();
// The folder of the skin test pictures, with its backslash: "palette.png",
// 8-bit palette, all (37, 113, 201), a colour of no standard palette; and
// "half_transparent.png", 28 x 28, all (255, 0, 0) at alpha 128.
std::string SkinFixtureFolder();
// Copies the default skin into root + "skin\", leaving out the files named
// (relative paths such as "MsgBox\B1_Disable.png").
void CopyDefaultSkin(const std::string& root, const std::vector<std::string>& leaveOut);

// Points HKLM "SOFTWARE\Tarvano\" + productKey "InstallPath" at a folder
// given with its trailing backslash (stored without it, like an installer
// writes it), or removes the value (nullopt), for the life of the object,
// and puts back what was there before.
class CInstallPathOverride {
public:
    CInstallPathOverride(const std::string& productKey,
                         const std::optional<std::string>& installFolder);
    ~CInstallPathOverride();
    CInstallPathOverride(const CInstallPathOverride&) = delete;
    CInstallPathOverride& operator=(const CInstallPathOverride&) = delete;

private:
    std::string keyPath_;
    bool keyExisted_ = false;
    bool valueExisted_ = false;
    std::string previous_;
};

// The pixels of a window, read once: what the window has drawn on its
// surface, the surface that the display shows.
class CWindowPixels {
public:
    // With fromDisplay, the same area as the display shows it.
    explicit CWindowPixels(HWND window, bool fromDisplay = false);
    COLORREF At(int x, int y) const;
    int Width() const { return width_; }
    int Height() const { return height_; }

private:
    void Read(HWND window, int width, int height, int left, int top);

    int width_ = 0;
    int height_ = 0;
    std::vector<COLORREF> pixels_;
};

// Saves the whole screen as a PNG among the build's test artefacts, once the
// display shows what the window has drawn (the display catches up with a
// window a little later).
void SaveScreenshot(const std::string& name, HWND window);

// Colours equal within a small tolerance per channel (anti-aliasing aside).
bool Near(COLORREF a, COLORREF b, int tolerance = 8);
// The same for expectations, naming both colours when they differ.
::testing::AssertionResult IsNear(COLORREF actual, COLORREF expected, int tolerance = 8);
