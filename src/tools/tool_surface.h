// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a tool sees of the picture view it works in: the layout of the view's last relayout,
// its selection frame, and the few things the tool may ask of it. No widget behind it.

#include <vector>

#include <Qt>

#include "document/tesselink_doc.h"
#include "layout/snapping.h"
#include "views/rect_tracker.h"
#include "views/view_geometry.h"
#include "views/view_rect.h"

namespace tesselink {

class ToolSurface {
public:
    virtual ~ToolSurface() = default;

    virtual PictureViewRole Role() const = 0;
    // The picture and every window's display rectangle, in client coordinates, laid out now.
    virtual ViewRect PictureRect() const = 0;
    virtual const std::vector<ViewRect>& DisplayRects() const = 0;
    // How picture pixels lie on screen along each axis.
    virtual PictureAxis Across() const = 0;
    virtual PictureAxis Down() const = 0;
    virtual float ZoomFactor() const = 0;

    // The selection frame. A tool that moved it says so with FrameChanged, so the view keeps it
    // across scrolling and draws it.
    virtual RectTracker& Frame() = 0;
    virtual void FrameChanged() = 0;
    // The frame exactly on window `index` from a fresh layout; false when it is not shown.
    virtual bool PlaceFrameOn(int index) = 0;
    // While a gesture runs, changes of the document leave the frame under the mouse; when it
    // ends the frame goes back on the current window.
    virtual void SetGestureActive(bool active) = 0;
    // The lines an edge snapped to, drawn while the drag lasts (picture pixels); empty: none.
    virtual void ShowGuides(const std::vector<SnapGuide>& guides) = 0;
    // A text for this view's status pane.
    virtual void ShowStatus(const QString& text) = 0;
};

}  // namespace tesselink
