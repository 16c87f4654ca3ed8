// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Picking windows and moving them: in the Original view a window's original rectangle is
// moved by its inside and resized by its handles; in the Target view its place is moved.
// The arrow keys nudge the current window, Delete removes it. Several windows: Ctrl + click
// adds or removes one, a rubber band on empty area selects those inside it, Ctrl+A all;
// dragging, the arrows and Delete then act on all of them. Moving edges snap.

#include "document/edit_commands.h"
#include "document/gesture_transaction.h"
#include "map/map_model.h"
#include "layout/snapping.h"
#include "tools/tool.h"

namespace tesselink {

class PickMoveTool : public Tool {
    Q_OBJECT
public:
    using Tool::Tool;

    // Arrow keys move by one picture pixel, with Shift by ten.
    static constexpr int ShiftKeyStep = 10;

    void Press(ToolSurface& view, const ToolPoint& at) override;
    void Move(ToolSurface& view, const ToolPoint& at) override;
    void Release(ToolSurface& view, const ToolPoint& at) override;
    bool Key(ToolSurface& view, int key, Qt::KeyboardModifiers modifiers) override;
    void Cancel(ToolSurface& view) override;
    Qt::CursorShape HoverCursor(ToolSurface& view, int x, int y) override;
    bool GestureRunning() const override { return gesture_.View != nullptr; }
    void Deactivate() override;

protected:
    // A press that hit no window and no handle of the current one.
    virtual void PressOnEmptyArea(ToolSurface& view, const ToolPoint& at);
    // A rubber band came to an end over `rect` (picture pixels); `drawn` when it has an area.
    virtual void FinishRubberBand(const ViewRect& rect, bool drawn);

    // The window a rubber band over `rect` (picture pixels) would add; the pick tool adds none.
    virtual PlaybackWindow NewWindowFor(const ViewRect& rect) const;

    // Starts a rubber band at a client point: one that draws a window (`selects` false) or one
    // that selects the windows inside it.
    void BeginRubberBand(ToolSurface& view, const ToolPoint& at, bool selects = false);
    // The hit code of the current window's frame at a client point, as a press there would use it.
    int CurrentFrameHit(ToolSurface& view, int x, int y) const;

private:
    // One mouse gesture, from the press to the release.
    struct Gesture {
        ToolSurface* View = nullptr;  // none: no gesture
        int Index = -1;               // the window being changed; -1 for a rubber band
        PlaybackWindow Start;         // as it was stored at the press
        ViewRect StartPicture;        // its rectangle in picture pixels at the press
        FrameEdit Edit = FrameEdit::Move;
        EditGesture Step;              // merges every stored step of this gesture into one
        bool Selects = false;          // a rubber band that selects instead of drawing
        bool Touches = false;          // that band selects what it touches, not only what lies inside
        bool Group = false;            // several selected windows move together
        bool ClickSelectsOne = false;  // a click without a drag leaves only this window selected
        PlaybackWindows StartWindows;  // the whole list at the press, for a group
        std::vector<int> Moving;       // the windows that move: their edges are no snap targets
        SnapTargets Targets;           // what the moving edges snap to
    };

    void BeginWindowGesture(ToolSurface& view, int index, int hit, const ToolPoint& at);
    // The picture rectangle the tracked frame stands for now, kept inside the picture.
    ViewRect TrackedPictureRect(ToolSurface& view) const;
    // The gesture's window as the picture rectangle `rect` makes it.
    PlaybackWindow ProposedWindow(ToolSurface& view, const ViewRect& rect) const;
    void ReportTracked(ToolSurface& view, const ViewRect& rect);
    void Finish(ToolSurface& view);
    // What a move of the tracked frame does (after TrackTo moved it).
    void Step(ToolSurface& view, const ToolPoint& at);
    // The picture rectangle snapped as the settings and the keys say; guides shown.
    ViewRect Snapped(ToolSurface& view, const ViewRect& rect, unsigned movingEdges, bool suspended);
    void MoveGroup(ToolSurface& view, const ViewRect& rect, bool snapSuspended);
    void FinishSelectionBand(ToolSurface& view, const ViewRect& rect, bool moved, bool touching);
    // Ctrl + click: the window under the point joins the selection or leaves it.
    void ToggleAt(ToolSurface& view, const ToolPoint& at);
    void Nudge(ToolSurface& view, int dx, int dy);
    // A run of arrow presses is one undo step; anything else in between starts the next.
    EditGesture KeyRunStep(bool original);
    void EndKeyRun() { keyRun_.Commit(); }

    Gesture gesture_;
    GestureTransaction drag_{doc_};
    ViewRect lastRect_;  // the picture rectangle of the gesture's last step
    GestureTransaction keyRun_{doc_};
};

// A window's original rectangle and its place in the target, in picture pixels.
ViewRect OriginalRectOf(const PlaybackWindow& w);
ViewRect PlaceOf(const PlaybackWindow& w);

}  // namespace tesselink
