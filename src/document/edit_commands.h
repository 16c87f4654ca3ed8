// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The undoable edits of the map. Each keeps only what it changed and applies it through the
// document, which announces the change; each names itself for the Edit menu.

#include <cstdint>
#include <vector>

#include <QUndoCommand>

#include "map/map_model.h"

namespace tesselink {

class CTesselinkDoc;

// Which gesture made a window change; consecutive changes of one window by one gesture
// merge into one undo step. Serial tells two gestures of the same kind apart (two drags);
// 0 lets every consecutive change of that kind merge (key presses, typing in one field).
struct EditGesture {
    enum class Kind : int {
        None = 0,  // never merges
        OriginalStartXField,
        OriginalStartYField,
        TargetStartXField,
        TargetStartYField,
        WidthField,
        HeightField,
        MapModeBox,
        OriginalKeys,
        TargetKeys,
        OriginalDrag,
        TargetDrag,
    };
    Kind What = Kind::None;
    int Serial = 0;

    bool operator==(const EditGesture& o) const { return What == o.What && Serial == o.Serial; }
};

// A step that the changes of one gesture merge into. The gesture can take it back without a
// trace (GestureTransaction::Cancel): the next undo then drops it from the history.
class GestureStepCommand : public QUndoCommand {
public:
    explicit GestureStepCommand(EditGesture gesture) : gesture_(gesture) {}
    const EditGesture& Gesture() const { return gesture_; }
    void DropAtNextUndo() { dropAtNextUndo_ = true; }

    void undo() final;

protected:
    // Puts back what the step changed.
    virtual void Restore() = 0;

    EditGesture gesture_;

private:
    bool dropAtNextUndo_ = false;
};

class AddWindowCommand : public QUndoCommand {
public:
    AddWindowCommand(CTesselinkDoc& doc, const PlaybackWindow& window);
    void redo() override;
    void undo() override;

private:
    CTesselinkDoc& doc_;
    PlaybackWindow window_;
    int index_;
};

class ChangeWindowCommand : public GestureStepCommand {
public:
    ChangeWindowCommand(CTesselinkDoc& doc, int index, const PlaybackWindow& after, EditGesture gesture);
    void redo() override;
    int id() const override;
    bool mergeWith(const QUndoCommand* other) override;

protected:
    void Restore() override;

private:
    CTesselinkDoc& doc_;
    int index_;
    PlaybackWindow before_;
    PlaybackWindow after_;
};

class RemoveWindowCommand : public QUndoCommand {
public:
    RemoveWindowCommand(CTesselinkDoc& doc, int index);
    void redo() override;
    void undo() override;

private:
    CTesselinkDoc& doc_;
    int index_;
    PlaybackWindow window_;
};

// New head sizes, with the windows that no longer fit them deleted in the same step.
class ChangeHeadCommand : public QUndoCommand {
public:
    // `deleted`: indexes from the highest down, so each stays valid while the others go.
    ChangeHeadCommand(CTesselinkDoc& doc, const MapFileHead& sizes, const std::vector<int>& deleted);
    void redo() override;
    void undo() override;

private:
    struct Deleted {
        int Index;
        PlaybackWindow Window;
    };
    CTesselinkDoc& doc_;
    MapFileHead before_;
    MapFileHead after_;
    std::vector<Deleted> deleted_;
};

class ChangeCoverCommand : public QUndoCommand {
public:
    ChangeCoverCommand(CTesselinkDoc& doc, std::uint8_t option);
    void redo() override;
    void undo() override;

private:
    CTesselinkDoc& doc_;
    std::uint8_t before_;
    std::uint8_t after_;
};

}  // namespace tesselink
