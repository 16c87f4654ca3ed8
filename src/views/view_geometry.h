// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The picture views' geometry as plain numbers: layout of the scaled picture, window
// rectangles on screen and back, scroll extents, frame placement and clamping.
// Floats are 32-bit and every float-to-int conversion truncates toward zero; the order of
// the operations is part of the result, so each formula keeps it.

#include <vector>

#include "map/map_model.h"
#include "views/view_rect.h"

namespace tesselink {

// Smallest distance of the picture from the left and from the top of the canvas.
constexpr int MinPictureOffsetX = 5;
constexpr int MinPictureOffsetY = 80;

struct PictureLayout {
    int OffsetX = 0;
    int OffsetY = 0;
    ViewRect Picture;  // content coordinates
};

// The picture (pictureWidth x pictureHeight pixels at `zoom`) centred in a client of
// clientWidth x clientHeight, 80 pixels kept free above for the title.
PictureLayout ComputePictureLayout(int clientWidth, int clientHeight, int pictureWidth, int pictureHeight, float zoom);

// One rectangle of picture pixels (x, y, w, h) in client coordinates.
ViewRect PictureToClient(int x, int y, int w, int h, float zoom, int offsetX, int offsetY, int scrollX, int scrollY);

// Which rectangle of a window the view shows.
enum class WindowSide { Original, Target };

// Client rectangles of `windows` into `rects`, which grows to the list's size (new entries empty).
// Stops at the first window larger than the picture (limitWidth x limitHeight); it and the later
// ones keep the rectangles they had.
void ComputeDisplayRects(const PlaybackWindows& windows, WindowSide side, int limitWidth, int limitHeight, float zoom,
                         int offsetX, int offsetY, int scrollX, int scrollY, std::vector<ViewRect>& rects);

// The window's rectangle in picture pixels from its client rectangle `display`, with the
// picture's client top-left (pictureLeft, pictureTop).
ViewRect DisplayToPicture(const ViewRect& display, int pictureLeft, int pictureTop, float zoom);

// The selection frame in client coordinates for the picture rectangle `picked` after a zoom.
ViewRect PlaceFrameAfterZoom(const ViewRect& picked, float zoom, int scrollX, int scrollY, int offsetX, int offsetY);

// Scroll extent after a zoom: the picture plus margins when it outgrows the visible area
// (clip box less 130 across, less 80 down), else the client less 100.
struct ExtentSize {
    int Width = 0;
    int Height = 0;
};
constexpr int ExtentMarginWidth = 240;
constexpr int OriginalExtentMarginHeight = 240;
constexpr int TargetExtentMarginHeight = 180;
ExtentSize ComputeZoomExtent(int pictureWidth, int pictureHeight, float zoom, int clipWidth, int clipHeight,
                             int clientWidth, int clientHeight, int marginHeight);

// Whether the picture at `zoom` is shown whole in a client of that size: no scrolling (the
// extent above stays the client's), so the centred picture lies inside the client.
bool PictureFitsClient(int pictureWidth, int pictureHeight, float zoom, int clientWidth, int clientHeight);
// The largest zoom from `lowest` to `highest` at which the picture fits the client; `lowest`
// when none does (a client too small for any).
float FitZoom(int pictureWidth, int pictureHeight, int clientWidth, int clientHeight, float lowest, float highest);

// Whether two content rectangles overlap or touch.
bool OverlapsOrTouches(const ViewRect& a, const ViewRect& b);

// Pushes `frame` back inside `picture` keeping its signed size; an axis larger than the
// picture takes the picture's extent. Normalised last.
ViewRect ClampIntoPicture(const ViewRect& frame, const ViewRect& picture);

// `frame` with each edge stopped at the picture's edges (a resize: the edges inside stay put).
// Normalised last.
ViewRect ClipIntoPicture(const ViewRect& frame, const ViewRect& picture);

// Size of the picture frame label "(%dx%d)": the frame's size in picture pixels.
struct FrameSize {
    int Width = 0;
    int Height = 0;
};
FrameSize FrameSizeInPicture(const ViewRect& frame, float zoom);

// One axis of a picture on screen: the boundary before picture pixel k (k = 0 .. Length) lies at
// client position trunc(Offset + (k x Zoom - Scroll)), the formula the display rectangles use,
// so a window from k to k + n is shown from boundary k to boundary k + n.
struct PictureAxis {
    int Offset = 0;  // the picture's content position on this axis
    int Scroll = 0;
    float Zoom = 1.0f;
    int Length = 0;  // picture pixels on this axis
};
int BoundaryToClient(const PictureAxis& axis, int k);
// The boundary in [lo, hi] shown nearest to client position `client`; among boundaries shown
// equally near (a zoom below 1 shows several at one place, a half-pixel tie), the one nearest
// to `preferred`, then the lower one.
int NearestBoundary(const PictureAxis& axis, int client, float preferred, int lo, int hi);

// What a tracked frame did to a window.
enum class FrameEdit {
    Move,       // dragged by the inside: the size is kept exactly
    Resize,     // dragged by a handle or an edge: edges that did not move keep their place
    NewWindow,  // a rubber band
};

// The picture rectangle (left, top, right, bottom in picture pixels) a frame stands for.
// `frame` is the tracked frame, already clamped into the picture and normalised; `startFrame` is
// the frame at the press, shown exactly over `start`, the picture rectangle before the gesture
// (both unused for a new window). The result lies inside the picture, is at least one pixel
// wide and high when the picture is, and is shown where the frame is or at the nearest pixel.
ViewRect PictureRectFromFrame(const ViewRect& frame, const ViewRect& startFrame, const ViewRect& start, FrameEdit edit,
                              const PictureAxis& across, const PictureAxis& down);

// The window's original rectangle taken from `rect` (picture pixels). A new window gets `mode`
// and the target's top-left corner; an edited one keeps its mode and target start.
PlaybackWindow FillWindowFromRect(PlaybackWindow window, const ViewRect& rect, bool newWindow, int mode);

// A window's rectangle moved by (dx, dy) picture pixels, stopped at the picture's edges
// (width x height); a rectangle larger than the picture on an axis does not move on it.
ViewRect NudgeInPicture(const ViewRect& rect, int dx, int dy, int width, int height);

}  // namespace tesselink
