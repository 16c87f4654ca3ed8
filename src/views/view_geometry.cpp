// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/view_geometry.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <utility>

namespace tesselink {
namespace {

// Float to int, toward zero.
int Trunc(float v) { return static_cast<int>(v); }

}  // namespace

PictureLayout ComputePictureLayout(int clientWidth, int clientHeight, int pictureWidth, int pictureHeight, float zoom) {
    PictureLayout layout;
    layout.OffsetX = Trunc((clientWidth - pictureWidth * zoom) * 0.5f);
    if (layout.OffsetX <= MinPictureOffsetX) layout.OffsetX = MinPictureOffsetX;
    layout.OffsetY = Trunc((clientHeight - pictureHeight * zoom - 80) * 0.5f);
    if (layout.OffsetY <= MinPictureOffsetY) layout.OffsetY = MinPictureOffsetY;
    layout.Picture = {layout.OffsetX, layout.OffsetY, Trunc(pictureWidth * zoom + layout.OffsetX),
                      Trunc(pictureHeight * zoom + layout.OffsetY)};
    return layout;
}

ViewRect PictureToClient(int x, int y, int w, int h, float zoom, int offsetX, int offsetY, int scrollX, int scrollY) {
    const float fx = x * zoom;
    const float fy = y * zoom;
    return {Trunc(offsetX + (fx - scrollX)), Trunc(offsetY + (fy - scrollY)),
            Trunc(w * zoom + offsetX + (fx - scrollX)), Trunc(h * zoom + offsetY + (fy - scrollY))};
}

void ComputeDisplayRects(const PlaybackWindows& windows, WindowSide side, int limitWidth, int limitHeight, float zoom,
                         int offsetX, int offsetY, int scrollX, int scrollY, std::vector<ViewRect>& rects) {
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

ViewRect PlaceFrameAfterZoom(const ViewRect& picked, float zoom, int scrollX, int scrollY, int offsetX, int offsetY) {
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

bool PictureFitsClient(int pictureWidth, int pictureHeight, float zoom, int clientWidth, int clientHeight) {
    // The same float comparisons as the extent's, so a fit zoom never brings scroll bars.
    return !(pictureWidth * zoom > clientWidth - 130) && !(pictureHeight * zoom > clientHeight - 80);
}

float FitZoom(int pictureWidth, int pictureHeight, int clientWidth, int clientHeight, float lowest, float highest) {
    if (pictureWidth <= 0 || pictureHeight <= 0) return highest;
    const float across = static_cast<float>(clientWidth - 130) / static_cast<float>(pictureWidth);
    const float down = static_cast<float>(clientHeight - 80) / static_cast<float>(pictureHeight);
    float zoom = std::min({across, down, highest});
    if (zoom <= lowest) return lowest;
    // The quotient may be off by a unit in the last place either way: the largest float that fits.
    while (zoom > lowest && !PictureFitsClient(pictureWidth, pictureHeight, zoom, clientWidth, clientHeight))
        zoom = std::nextafter(zoom, 0.0f);
    while (zoom < highest &&
           PictureFitsClient(pictureWidth, pictureHeight, std::nextafter(zoom, highest), clientWidth, clientHeight))
        zoom = std::nextafter(zoom, highest);
    return std::max(zoom, lowest);
}

bool OverlapsOrTouches(const ViewRect& a, const ViewRect& b) {
    return a.left <= b.right && a.right >= b.left && a.top <= b.bottom && a.bottom >= b.top;
}

ViewRect ClipIntoPicture(const ViewRect& frame, const ViewRect& picture) {
    const auto clip = [](int v, int lo, int hi) { return std::min(std::max(v, lo), hi); };
    const ViewRect r{clip(frame.left, picture.left, picture.right), clip(frame.top, picture.top, picture.bottom),
                     clip(frame.right, picture.left, picture.right), clip(frame.bottom, picture.top, picture.bottom)};
    return r.Normalized();
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

int BoundaryToClient(const PictureAxis& axis, int k) {
    // k x Zoom is a multiple of a half below 2^23: exact in a float, as the sum is.
    return Trunc(axis.Offset + (k * axis.Zoom - axis.Scroll));
}

int NearestBoundary(const PictureAxis& axis, int client, float preferred, int lo, int hi) {
    if (hi < lo) return lo;
    // The shown positions rise with k; the nearest lies within a few boundaries of the estimate.
    const float estimate = (client - axis.Offset + axis.Scroll) / axis.Zoom;
    int k0 = estimate < lo ? lo : (estimate > hi ? hi : static_cast<int>(estimate));
    const int from = std::max(lo, k0 - 3);
    const int to = std::min(hi, k0 + 3);
    int best = from;
    long bestDistance = -1;
    float bestPreference = 0.0f;
    for (int k = from; k <= to; ++k) {
        const long distance = std::labs(static_cast<long>(BoundaryToClient(axis, k)) - client);
        const float preference = std::fabs(k - preferred);
        if (bestDistance < 0 || distance < bestDistance || (distance == bestDistance && preference < bestPreference)) {
            best = k;
            bestDistance = distance;
            bestPreference = preference;
        }
    }
    return best;
}

namespace {

// One edge of an edited rectangle: kept when the frame's edge is where it was at the press,
// else the boundary shown nearest to it.
int EdgeFromFrame(const PictureAxis& axis, int frameEdge, int startFrameEdge, int startEdge, int lo, int hi) {
    if (frameEdge == startFrameEdge && startEdge >= lo && startEdge <= hi) return startEdge;
    const float preferred = startEdge + (frameEdge - startFrameEdge) / axis.Zoom;
    return NearestBoundary(axis, frameEdge, preferred, lo, hi);
}

// [low, high) on one axis from the frame's edges.
void AxisFromFrame(const PictureAxis& axis, int frameLow, int frameHigh, int startFrameLow, int startFrameHigh,
                   int startLow, int startHigh, FrameEdit edit, int& low, int& high) {
    if (edit == FrameEdit::Move) {
        const int size = startHigh - startLow;
        const int maxLow = std::max(0, axis.Length - size);
        low = EdgeFromFrame(axis, frameLow, startFrameLow, startLow, 0, maxLow);
        high = low + size;
        return;
    }
    if (edit == FrameEdit::NewWindow) {
        const float origin = static_cast<float>(BoundaryToClient(axis, 0));
        low = NearestBoundary(axis, frameLow, (frameLow - origin) / axis.Zoom, 0, axis.Length);
        high = NearestBoundary(axis, frameHigh, (frameHigh - origin) / axis.Zoom, 0, axis.Length);
    } else {
        low = EdgeFromFrame(axis, frameLow, startFrameLow, startLow, 0, axis.Length);
        high = EdgeFromFrame(axis, frameHigh, startFrameHigh, startHigh, 0, axis.Length);
    }
    if (high < low) std::swap(low, high);
    // A window keeps at least one pixel: an edge dragged onto the other stops beside it.
    if (high == low && axis.Length > 0) {
        const bool lowMoved = edit == FrameEdit::Resize && low != startLow;
        if ((lowMoved && low > 0) || high == axis.Length)
            --low;
        else
            ++high;
    }
}

}  // namespace

ViewRect PictureRectFromFrame(const ViewRect& frame, const ViewRect& startFrame, const ViewRect& start, FrameEdit edit,
                              const PictureAxis& across, const PictureAxis& down) {
    ViewRect r;
    AxisFromFrame(across, frame.left, frame.right, startFrame.left, startFrame.right, start.left, start.right, edit,
                  r.left, r.right);
    AxisFromFrame(down, frame.top, frame.bottom, startFrame.top, startFrame.bottom, start.top, start.bottom, edit,
                  r.top, r.bottom);
    return r;
}

PlaybackWindow FillWindowFromRect(PlaybackWindow window, const ViewRect& rect, bool newWindow, int mode) {
    window.OriginalStartX = static_cast<std::uint16_t>(rect.left);
    window.OriginalStartY = static_cast<std::uint16_t>(rect.top);
    window.Width = static_cast<std::uint16_t>(rect.Width());
    window.Height = static_cast<std::uint16_t>(rect.Height());
    if (newWindow) {
        window.TargetStartX = 0;
        window.TargetStartY = 0;
        window.MapMode = static_cast<std::uint8_t>(mode & 0xFF);
        window.Reserved = 0;
    }
    window.UpdatePlacedSize();
    return window;
}

ViewRect NudgeInPicture(const ViewRect& rect, int dx, int dy, int width, int height) {
    const auto along = [](int start, int size, int delta, int length) {
        if (size > length) return start;
        return std::clamp(start + delta, std::min(start, 0), std::max(start, length - size));
    };
    const int left = along(rect.left, rect.Width(), dx, width);
    const int top = along(rect.top, rect.Height(), dy, height);
    return rect.Offset(left - rect.left, top - rect.top);
}

}  // namespace tesselink
