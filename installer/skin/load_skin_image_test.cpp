#include "skin/load_skin_image.h"

#include <gtest/gtest.h>

#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "framework/device_context.h"
#include "skin/picture_prefetch.h"
#include "skin_test_support.h"

namespace {

class LoadSkinImageTest : public ::testing::Test {
protected:
    DIBSECTION Describe(const CBitmap& bitmap) {
        DIBSECTION dib{};
        EXPECT_EQ(GetObjectW(bitmap.Get(), sizeof(dib), &dib), static_cast<int>(sizeof(dib)));
        return dib;
    }
    // The bytes of pixel (x, y) of a top-down DIB section.
    const BYTE* PixelBytes(const DIBSECTION& dib, int x, int y) {
        return static_cast<const BYTE*>(dib.dsBm.bmBits) + y * dib.dsBm.bmWidthBytes +
               x * dib.dsBm.bmBitsPixel / 8;
    }

    CGdiplusSession gdiplus;
    CTempFolder folder;
};

TEST_F(LoadSkinImageTest, PictureWithAlphaBecomes32BitsWithTheAlphaKept) {
    Gdiplus::Bitmap picture(3, 2, PixelFormat32bppARGB);
    picture.SetPixel(0, 0, Gdiplus::Color(128, 10, 20, 30));
    picture.SetPixel(2, 1, Gdiplus::Color(255, 200, 100, 50));
    ASSERT_TRUE(SavePicture(picture, folder.Path() + "alpha.png"));

    const CBitmap bitmap = LoadSkinImage(folder.Path() + "alpha.png");
    ASSERT_TRUE(bitmap);
    const DIBSECTION dib = Describe(bitmap);
    EXPECT_EQ(dib.dsBm.bmBitsPixel, 32);
    EXPECT_EQ(dib.dsBm.bmWidth, 3);
    EXPECT_EQ(dib.dsBm.bmHeight, 2);
    const BYTE* topLeft = PixelBytes(dib, 0, 0);
    EXPECT_EQ(topLeft[0], 30);  // blue, green, red, alpha: not premultiplied
    EXPECT_EQ(topLeft[1], 20);
    EXPECT_EQ(topLeft[2], 10);
    EXPECT_EQ(topLeft[3], 128);
    const BYTE* bottomRight = PixelBytes(dib, 2, 1);
    EXPECT_EQ(bottomRight[0], 50);
    EXPECT_EQ(bottomRight[2], 200);
    EXPECT_EQ(bottomRight[3], 255);
}

TEST_F(LoadSkinImageTest, RgbPictureKeepsItsDepthAndColours) {
    Gdiplus::Bitmap picture(5, 3, PixelFormat24bppRGB);
    picture.SetPixel(4, 2, Gdiplus::Color(255, 31, 111, 235));
    ASSERT_TRUE(SavePicture(picture, folder.Path() + "rgb.png"));

    const CBitmap bitmap = LoadSkinImage(folder.Path() + "rgb.png");
    ASSERT_TRUE(bitmap);
    const DIBSECTION dib = Describe(bitmap);
    EXPECT_EQ(dib.dsBm.bmBitsPixel, 24);
    const BYTE* pixel = PixelBytes(dib, 4, 2);
    EXPECT_EQ(pixel[0], 235);
    EXPECT_EQ(pixel[1], 111);
    EXPECT_EQ(pixel[2], 31);
}

TEST_F(LoadSkinImageTest, IndexedPictureBringsItsPalette) {
    Gdiplus::Bitmap picture(4, 1, PixelFormat8bppIndexed);
    std::vector<BYTE> paletteBuffer(sizeof(Gdiplus::ColorPalette) + 3 * sizeof(Gdiplus::ARGB));
    auto* palette = reinterpret_cast<Gdiplus::ColorPalette*>(paletteBuffer.data());
    palette->Flags = 0;
    palette->Count = 4;
    palette->Entries[0] = Gdiplus::Color::MakeARGB(255, 0, 0, 0);
    palette->Entries[1] = Gdiplus::Color::MakeARGB(255, 255, 0, 0);
    palette->Entries[2] = Gdiplus::Color::MakeARGB(255, 0, 160, 0);
    palette->Entries[3] = Gdiplus::Color::MakeARGB(255, 0, 0, 255);
    ASSERT_EQ(picture.SetPalette(palette), Gdiplus::Ok);
    Gdiplus::BitmapData data{};
    const Gdiplus::Rect all(0, 0, 4, 1);
    ASSERT_EQ(picture.LockBits(&all, Gdiplus::ImageLockModeWrite, PixelFormat8bppIndexed, &data),
              Gdiplus::Ok);
    const BYTE indices[4] = {3, 2, 1, 0};
    std::copy(indices, indices + 4, static_cast<BYTE*>(data.Scan0));
    picture.UnlockBits(&data);
    ASSERT_TRUE(SavePicture(picture, folder.Path() + "indexed.bmp", true));

    const CBitmap bitmap = LoadSkinImage(folder.Path() + "indexed.bmp");
    ASSERT_TRUE(bitmap);
    const DIBSECTION dib = Describe(bitmap);
    EXPECT_EQ(dib.dsBm.bmBitsPixel, 8);
    EXPECT_EQ(*PixelBytes(dib, 0, 0), 3);
    EXPECT_EQ(*PixelBytes(dib, 1, 0), 2);

    RGBQUAD table[256] = {};
    UINT entries = 0;
    {
        CMemoryDC memory(nullptr);
        CSelectObject select(memory.Get(), bitmap.Get());
        entries = GetDIBColorTable(memory.Get(), 0, 256, table);
    }
    ASSERT_GE(entries, 4u);
    EXPECT_EQ(table[2].rgbGreen, 160);
    EXPECT_EQ(table[3].rgbBlue, 255);
    EXPECT_EQ(table[1].rgbRed, 255);
}

TEST_F(LoadSkinImageTest, PictureGdiCannotUseIsRedrawnAs32BitRgb) {
    // 2 x 1 pixels of (255, 128, 0) at 16 bits per channel.
    const char png48[] =
        "\x89\x50\x4e\x47\x0d\x0a\x1a\x0a\x00\x00\x00\x0d\x49\x48\x44\x52\x00\x00\x00\x02\x00\x00"
        "\x00\x01\x10\x02\x00\x00\x00\x2b\xd0\x34\x9e\x00\x00\x00\x0f\x49\x44\x41\x54\x08\xd7\x63"
        "\xfc\xff\xbf\xa1\x81\x01\x0a\x00\x20\x83\x03\x00\xa4\x64\x43\x96\x00\x00\x00\x00\x49\x45"
        "\x4e\x44\xae\x42\x60\x82";
    std::ofstream(folder.Path() + "deep.png", std::ios::binary).write(png48, sizeof(png48) - 1);

    const CBitmap bitmap = LoadSkinImage(folder.Path() + "deep.png");
    ASSERT_TRUE(bitmap);
    const DIBSECTION dib = Describe(bitmap);
    EXPECT_EQ(dib.dsBm.bmBitsPixel, 32);
    const BYTE* pixel = PixelBytes(dib, 1, 0);
    EXPECT_EQ(pixel[2], 255);
    EXPECT_NEAR(pixel[1], 128, 1);
    EXPECT_EQ(pixel[0], 0);
}

TEST_F(LoadSkinImageTest, MissingOrUnreadableFileGivesNoBitmap) {
    EXPECT_FALSE(LoadSkinImage(folder.Path() + "missing.png"));
    std::ofstream(folder.Path() + "text.png") << "not a picture";
    EXPECT_FALSE(LoadSkinImage(folder.Path() + "text.png"));
    EXPECT_FALSE(LoadSkinImage(""));
}

TEST_F(LoadSkinImageTest, PathIsInTheLocalCodePage) {
    const std::string chineseFolder = folder.Path() + "皮肤\\";
    ASSERT_TRUE(CreateDirectoryA(chineseFolder.c_str(), nullptr));
    ASSERT_TRUE(SaveSolidPicture(chineseFolder + "0.png", 7, 5, Gdiplus::Color(255, 1, 2, 3)));

    const CBitmap bitmap = LoadSkinImage(chineseFolder + "0.png");
    ASSERT_TRUE(bitmap);
    EXPECT_EQ(Describe(bitmap).dsBm.bmWidth, 7);
}

TEST_F(LoadSkinImageTest, PicturesDecodedAheadAreTakenOnceEachAsTheyWouldDecode) {
    Gdiplus::Bitmap picture(5, 3, PixelFormat24bppRGB);
    picture.SetPixel(4, 2, Gdiplus::Color(255, 31, 111, 235));
    const std::string path = folder.Path() + "ahead.png";
    ASSERT_TRUE(SavePicture(picture, path));
    const std::string missing = folder.Path() + "missing.png";

    CPicturePrefetch ahead(PicturesAhead{{path, missing, path}, {path, missing}});
    std::optional<CBitmap> taken = ahead.Take(path);
    ASSERT_TRUE(taken && *taken);
    const DIBSECTION dib = Describe(*taken);
    EXPECT_EQ(dib.dsBm.bmBitsPixel, 24);
    const BYTE* pixel = PixelBytes(dib, 4, 2);
    EXPECT_EQ(RGB(pixel[2], pixel[1], pixel[0]), RGB(31, 111, 235));
    EXPECT_FALSE(ahead.Take(path)) << "once";
    const std::optional<CBitmap> failed = ahead.Take(missing);
    ASSERT_TRUE(failed);
    EXPECT_FALSE(*failed);
    EXPECT_FALSE(ahead.Take(folder.Path() + "not-listed.png"));

    // Listed as a GDI+ image, the same file comes as GDI+ reads it.
    const std::unique_ptr<Gdiplus::Bitmap> image = ahead.TakeImage(path);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->GetLastStatus(), Gdiplus::Ok);
    Gdiplus::Color colour;
    ASSERT_EQ(image->GetPixel(4, 2, &colour), Gdiplus::Ok);
    EXPECT_EQ(colour.ToCOLORREF(), RGB(31, 111, 235));
    EXPECT_FALSE(ahead.TakeImage(path)) << "once";
    const std::unique_ptr<Gdiplus::Bitmap> unread = ahead.TakeImage(missing);
    ASSERT_TRUE(unread);
    EXPECT_NE(unread->GetLastStatus(), Gdiplus::Ok);

    // Going away in the middle of decoding does not wait for the rest.
    std::vector<std::string> copies;
    for (int copy = 0; copy < 64; ++copy) {
        copies.push_back(folder.Path() + "copy" + std::to_string(copy) + ".png");
        ASSERT_TRUE(CopyFileA(path.c_str(), copies.back().c_str(), TRUE));
    }
    const CPicturePrefetch untaken(PicturesAhead{copies, copies});
}

}  // namespace
