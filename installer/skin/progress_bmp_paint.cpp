// How the picture progress bar paints itself.
#include <algorithm>
#include <memory>
#include <string>
#include <utility>

#include "framework/device_context.h"
#include "skin/gdiplus_include.h"
#include "skin/progress_bmp_ctrl.h"

namespace {

// GDI+ interpolation mode 5: stretching keeps hard pixel edges.
constexpr Gdiplus::InterpolationMode kTileInterpolation = Gdiplus::InterpolationModeNearestNeighbor;
constexpr INT kSolidTileWidth = 16;

Gdiplus::Color Opaque(COLORREF colour) {
    return Gdiplus::Color(255, GetRValue(colour), GetGValue(colour), GetBValue(colour));
}

// One tile of the line's texture: a picture stretched to the line's
// thickness, or a plain colour. Drawn into an indexed bitmap, a picture
// comes out black (or in a standard palette's colours): the tile of a
// palette picture is 32-bit ARGB.
std::unique_ptr<Gdiplus::Bitmap> PictureTile(Gdiplus::Image& picture, int thickness) {
    const INT width = static_cast<INT>(picture.GetWidth());
    const Gdiplus::PixelFormat format = Gdiplus::IsIndexedPixelFormat(picture.GetPixelFormat())
                                            ? PixelFormat32bppARGB
                                            : picture.GetPixelFormat();
    auto tile = std::make_unique<Gdiplus::Bitmap>(width, thickness, format);
    Gdiplus::Graphics graphics(tile.get());
    graphics.SetInterpolationMode(kTileInterpolation);
    // Pixel centres at half coordinates: otherwise the stretch leaves the
    // tile's last row empty, a dark seam along the bar.
    graphics.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
    graphics.DrawImage(&picture, Gdiplus::Rect(0, 0, width, thickness));
    return tile;
}

std::unique_ptr<Gdiplus::Bitmap> ColourTile(COLORREF colour, int thickness) {
    auto tile = std::make_unique<Gdiplus::Bitmap>(kSolidTileWidth, thickness, PixelFormat24bppRGB);
    Gdiplus::Graphics graphics(tile.get());
    graphics.Clear(Opaque(colour));
    return tile;
}

// (position - minimum) * scale / (maximum - minimum), truncated toward zero,
// in 64 bits so that a wide range cannot overflow.
long long Share(int position, int minimum, int maximum, int scale) {
    const long long done = static_cast<long long>(position) - minimum;
    const long long range = static_cast<long long>(maximum) - minimum;
    return done * scale / range;
}

void DrawThickLine(Gdiplus::Graphics& graphics, Gdiplus::Bitmap& tile, int thickness, bool rounded,
                   int offset, int fromX, int toX, int y) {
    Gdiplus::TextureBrush brush(&tile);
    Gdiplus::Pen pen(&brush, static_cast<Gdiplus::REAL>(thickness));
    const Gdiplus::LineCap cap = rounded ? Gdiplus::LineCapRound : Gdiplus::LineCapFlat;
    pen.SetStartCap(cap);
    pen.SetEndCap(cap);
    const Gdiplus::GraphicsState state = graphics.Save();
    graphics.TranslateTransform(0, static_cast<Gdiplus::REAL>(offset));
    graphics.DrawLine(&pen, fromX, y, toX, y);
    graphics.Restore(state);
}

}  // namespace

void CProgressBmpCtrl::OnPaint() {
    CPaintDC paint(hwnd);
    RECT client{};
    GetClientRect(hwnd, &client);
    const int width = client.right;
    const int height = client.bottom;

    CaptureBackground(paint.Get(), width, height);
    CBitmap frame(CreateCompatibleBitmap(paint.Get(), width, height));
    {
        CMemoryDC memory(paint.Get());
        CSelectObject select(memory.Get(), frame.Get());
        DrawBackground(memory.Get(), width, height);
        {
            Gdiplus::Graphics graphics(memory.Get());
            DrawBar(graphics, width, height);
        }
        BitBlt(paint.Get(), 0, 0, width, height, memory.Get(), 0, 0, SRCCOPY);
    }
    SetLastFrame(std::move(frame));
}

void CProgressBmpCtrl::DrawBar(Gdiplus::Graphics& graphics, int width, int height) const {
    const int thickness = height;
    const int offset = 0;
    const int centreY = height / 2;
    const int start = height / 2;
    const int rightMargin = height / 2;
    const int length = width - rightMargin - start;

    const auto track =
        trackImage_ ? PictureTile(*trackImage_, thickness) : ColourTile(trackColour_, thickness);
    DrawThickLine(graphics, *track, thickness, roundedEnds_, offset, start, start + length,
                  centreY);

    const int minimum = minimum_;
    const int maximum = maximum_;
    const int position = position_;
    const int end = maximum > minimum
                        ? start + static_cast<int>(Share(position, minimum, maximum, length))
                        : start + length;
    const auto fill = frames_.empty()
                          ? ColourTile(barColour_, thickness)
                          : PictureTile(*frames_[frameIndex_ % frames_.size()], thickness);
    DrawThickLine(graphics, *fill, thickness, roundedEnds_, offset, start, end, centreY);

    if (showText_) DrawValueText(graphics, width, thickness, offset);
}

void CProgressBmpCtrl::DrawValueText(Gdiplus::Graphics& graphics, int width, int thickness,
                                     int offset) const {
    const int minimum = minimum_;
    const int maximum = maximum_;
    const int position = position_;
    std::wstring text;
    if (textAsPercent_) {
        const long long percent =
            maximum > minimum ? std::clamp(Share(position, minimum, maximum, 100), 0LL, 100LL)
                              : 100;
        text = std::to_wstring(percent) + L"%";
    } else {
        text = std::to_wstring(position);
    }

    const int size = static_cast<int>(thickness * 0.6);
    const Gdiplus::FontFamily arial(L"Arial");
    const Gdiplus::FontFamily* family =
        arial.IsAvailable() ? &arial : Gdiplus::FontFamily::GenericSansSerif();
    const Gdiplus::Font font(family, static_cast<Gdiplus::REAL>(size), Gdiplus::FontStyleRegular,
                             Gdiplus::UnitPixel);
    const Gdiplus::RectF layout(0, static_cast<Gdiplus::REAL>((thickness - size) / 2 + offset),
                                static_cast<Gdiplus::REAL>(width),
                                static_cast<Gdiplus::REAL>(size));
    Gdiplus::StringFormat format;
    format.SetAlignment(Gdiplus::StringAlignmentCenter);
    const Gdiplus::SolidBrush brush(Opaque(textColour_));
    graphics.DrawString(text.c_str(), -1, &font, layout, &format, &brush);
}
