#include "views/view_geometry.h"

#include <algorithm>

namespace tesselink {
namespace {

// Float to int, toward zero.
int Trunc(float v) { return static_cast<int>(v); }

}  // namespace

PictureLayout ComputePictureLayout(int clientWidth, int clientHeight, int pictureWidth, int pictureHeight,
                                   float zoom) {
    PictureLayout layout;
    layout.OffsetX = Trunc((clientWidth - pictureWidth * zoom) * 0.5f);
    if (layout.OffsetX <= MinPictureOffsetX) layout.OffsetX = MinPictureOffsetX;
    layout.OffsetY = Trunc((clientHeight - pictureHeight * zoom - 80) * 0.5f);
    if (layout.OffsetY <= MinPictureOffsetY) layout.OffsetY = MinPictureOffsetY;
    layout.Picture = {layout.OffsetX, layout.OffsetY, Trunc(pictureWidth * zoom + layout.OffsetX),
                      Trunc(pictureHeight * zoom + layout.OffsetY)};
    return layout;
}

ViewRect PictureToClient(int x, int y, int w, int h, float zoom, int offsetX, int offsetY, int scrollX,
                         int scrollY) {
    const float fx = x * zoom;
    const float fy = y * zoom;
    return {Trunc(offsetX + (fx - scrollX)), Trunc(offsetY + (fy - scrollY)),
            Trunc(w * zoom + offsetX + (fx - scrollX)), Trunc(h * zoom + offsetY + (fy - scrollY))};
}

void ComputeDisplayRects(const PlaybackWindows& windows, WindowSide side, int limitWidth, int limitHeight,
                         float zoom, int offsetX, int offsetY, int scrollX, int scrollY,
                         std::vector<ViewRect>& rects) {
    if (rects.size() < windows.size()) rects.resize(windows.size());
    for (std::size_t i = 0; i < windows.size(); ++i) {
        const PlaybackWindow& w = windows[i];
        const bool original = side == WindowSide::Original;
        const int x = original ? w.OriginalStartX : w.TargetStartX;
        const int y = original ? w.OriginalStartY : w.TargetStartY;
        const int width = original ? w.Width : w.PlacedWidth;
        const int height = original ? w.Height : w.PlacedHeight;
        if (width > limitWidth || height > limitHeight) return;
        rects[i] = PictureToClient(x, y, width, height, zoom, offsetX, offsetY, scrollX, scrollY);
    }
}

ViewRect DisplayToPicture(const ViewRect& display, int pictureLeft, int pictureTop, float zoom) {
    const float inv = 1.0f / zoom;
    ViewRect r;
    r.left = Trunc((display.left - pictureLeft) * inv);
    r.top = Trunc((display.top - pictureTop) * inv);
    r.right = Trunc((display.right - display.left) * inv) + r.left;
    r.bottom = Trunc((display.bottom - display.top) * inv) + r.top;
    return r;
}

ViewRect PlaceFrameAfterZoom(const ViewRect& picked, float zoom, int scrollX, int scrollY, int offsetX,
                             int offsetY) {
    const float fl = picked.left * zoom;
    const float ft = picked.top * zoom;
    return {Trunc((fl - scrollX) + offsetX), Trunc((ft - scrollY) + offsetY),
            Trunc((picked.right - picked.left) * zoom + (fl - scrollX) + offsetX),
            Trunc((picked.bottom - picked.top) * zoom + (ft - scrollY) + offsetY)};
}

ExtentSize ComputeZoomExtent(int pictureWidth, int pictureHeight, float zoom, int clipWidth, int clipHeight,
                             int clientWidth, int clientHeight, int marginHeight) {
    ExtentSize e;
    const float scaledWidth = pictureWidth * zoom;
    const float scaledHeight = pictureHeight * zoom;
    e.Width = scaledWidth > clipWidth - 130 ? Trunc(scaledWidth + ExtentMarginWidth) : clientWidth - 100;
    e.Height = scaledHeight > clipHeight - 80 ? Trunc(scaledHeight + marginHeight) : clientHeight - 100;
    return e;
}

bool OverlapsOrTouches(const ViewRect& a, const ViewRect& b) {
    return a.left <= b.right && a.right >= b.left && a.top <= b.bottom && a.bottom >= b.top;
}

ViewRect ClampIntoPicture(const ViewRect& frame, const ViewRect& picture) {
    ViewRect r = frame;
    const int w = r.right - r.left;
    const int h = r.bottom - r.top;
    const int pw = picture.right - picture.left;
    const int ph = picture.bottom - picture.top;
    if (r.left <= picture.left) {
        r.left = picture.left;
        r.right = w >= pw ? picture.right : picture.left + w;
    }
    if (r.top <= picture.top) {
        r.top = picture.top;
        r.bottom = h >= ph ? picture.bottom : picture.top + h;
    }
    if (r.right >= picture.right) {
        r.right = picture.right;
        r.left = w >= pw ? picture.left : picture.right - w;
    }
    if (r.bottom >= picture.bottom) {
        r.bottom = picture.bottom;
        r.top = h >= ph ? picture.top : picture.bottom - h;
    }
    return r.Normalized();
}

FrameSize FrameSizeInPicture(const ViewRect& frame, float zoom) {
    const float inv = 1.0f / zoom;
    return {Trunc(frame.Width() * inv), Trunc(frame.Height() * inv)};
}

}  // namespace tesselink
