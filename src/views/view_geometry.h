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
PictureLayout ComputePictureLayout(int clientWidth, int clientHeight, int pictureWidth, int pictureHeight,
                                   float zoom);

// One rectangle of picture pixels (x, y, w, h) in client coordinates.
ViewRect PictureToClient(int x, int y, int w, int h, float zoom, int offsetX, int offsetY, int scrollX,
                         int scrollY);

// Which rectangle of a window the view shows.
enum class WindowSide { Original, Target };

// Client rectangles of `windows` into `rects`, which grows to the list's size (new entries empty).
// Stops at the first window larger than the picture (limitWidth x limitHeight); it and the later
// ones keep the rectangles they had.
void ComputeDisplayRects(const PlaybackWindows& windows, WindowSide side, int limitWidth, int limitHeight,
                         float zoom, int offsetX, int offsetY, int scrollX, int scrollY,
                         std::vector<ViewRect>& rects);

// The window's rectangle in picture pixels from its client rectangle `display`, with the
// picture's client top-left (pictureLeft, pictureTop).
ViewRect DisplayToPicture(const ViewRect& display, int pictureLeft, int pictureTop, float zoom);

// The selection frame in client coordinates for the picture rectangle `picked` after a zoom.
ViewRect PlaceFrameAfterZoom(const ViewRect& picked, float zoom, int scrollX, int scrollY, int offsetX,
                             int offsetY);

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

// Whether two content rectangles overlap or touch.
bool OverlapsOrTouches(const ViewRect& a, const ViewRect& b);

// Pushes `frame` back inside `picture` keeping its signed size; an axis larger than the
// picture takes the picture's extent. Normalised last.
ViewRect ClampIntoPicture(const ViewRect& frame, const ViewRect& picture);

// Size of the picture frame label "(%dx%d)": the frame's size in picture pixels.
struct FrameSize {
    int Width = 0;
    int Height = 0;
};
FrameSize FrameSizeInPicture(const ViewRect& frame, float zoom);

}  // namespace tesselink
