// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One gesture (a drag, a run of arrow presses, typing in a field) as a transaction on the
// document's history: Begin, edits that carry Step() and merge into one step, then Commit, or
// Cancel, which puts the map back as it was at Begin and leaves no step on the history (no undo
// and no redo of the gesture).

#include "document/edit_commands.h"

namespace tesselink {

class CTesselinkDoc;

class GestureTransaction {
public:
    explicit GestureTransaction(CTesselinkDoc& doc) : doc_(doc) {}

    // Starts a gesture; one still open is committed first.
    void Begin();
    bool IsOpen() const { return serial_ != 0; }
    // What an edit of this gesture carries, for the kind of edit it is.
    EditGesture Step(EditGesture::Kind kind) const { return EditGesture{kind, serial_}; }
    // The newest done step of the history is this gesture's: nothing was done or undone since
    // its last edit, so the next one merges into it.
    bool OwnsNewestStep() const;
    // Keeps what the gesture did: one step, or none when it changed nothing.
    void Commit() { serial_ = 0; }
    // Takes back everything the gesture stored and ends it; a gesture that stored nothing, or
    // whose step is no longer the newest, changes nothing.
    void Cancel();

private:
    CTesselinkDoc& doc_;
    int serial_ = 0;
};

}  // namespace tesselink
