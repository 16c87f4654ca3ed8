#pragma once
// What the document asks of its three panes. The panes implement these; the document
// never sees a widget.

#include <cstdint>

namespace tesselink {

// The editor panel on the left.
class HeadFileViewPane {
public:
    virtual ~HeadFileViewPane() = default;
    // The four head fields read "640", "480", "640", "480".
    virtual void ResetHeadFields() = 0;
    // The head fields show the document's sizes.
    virtual void FillHeadFromDocument() = 0;
    // The three cover buttons show a CoverOption byte.
    virtual void ShowCoverOption(std::uint8_t coverOption) = 0;
    // The window list is refilled from the document's windows.
    virtual void RefreshWindowList() = 0;
};

// What both picture views offer the document and the editor panel.
class PictureViewPane {
public:
    virtual ~PictureViewPane() = default;
    // Sets the scroll extent for a zoom factor.
    virtual void ApplyZoom(float zoom) = 0;
    // A flag the next paint consumes: the selection frame is placed from the picked window again.
    virtual void SetZoomChanged(int flag) = 0;
    // The whole view is painted again (asynchronously).
    virtual void Repaint() = 0;
    // Hides the selection frame.
    virtual void ClearSelectionFrame() = 0;
    // The selection frame takes window `index`'s display rectangle; below 0 hides it. Does not repaint.
    virtual void ShowWindowFrame(int index) = 0;
    // Remembers window `index`'s rectangle in picture pixels for the next zoom; below 0 clears it.
    virtual void UpdateSelectionPictureRect(int index) = 0;
};

// The Original view (upper right).
class OriginalViewPane : public PictureViewPane {
public:
    virtual void SetAddWindowArmed(int flag) = 0;
    virtual void SetPendingMapMode(int mode) = 0;
};

// The Target view (lower right).
class TargetViewPane : public PictureViewPane {
public:
    // -1 no cover, 0 covered in the same direction, 1 in the other direction. The caller repaints.
    virtual void SetCoverMode(int mode) = 0;
};

}  // namespace tesselink
