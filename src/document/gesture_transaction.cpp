// SPDX-License-Identifier: GPL-3.0-or-later
#include "document/gesture_transaction.h"

#include <QUndoStack>

#include "document/tesselink_doc.h"

namespace tesselink {
namespace {

// The step the next undo would take back, if one gesture's changes merged into it.
const GestureStepCommand* NewestGestureStep(const QUndoStack& stack) {
    const int newest = stack.index() - 1;
    return newest >= 0 ? dynamic_cast<const GestureStepCommand*>(stack.command(newest)) : nullptr;
}

}  // namespace

void GestureTransaction::Begin() {
    Commit();
    serial_ = doc_.NewGestureSerial();
}

bool GestureTransaction::OwnsNewestStep() const {
    const GestureStepCommand* step = NewestGestureStep(doc_.UndoStack());
    return IsOpen() && step != nullptr && step->Gesture().Serial == serial_;
}

void GestureTransaction::Cancel() {
    QUndoStack& stack = doc_.UndoStack();
    // A gesture may have stored more than one step (the two views' keys in one run): all go.
    while (OwnsNewestStep()) {
        // The history hands out its steps read-only; this one is the gesture's own to drop.
        const_cast<GestureStepCommand*>(NewestGestureStep(stack))->DropAtNextUndo();
        stack.undo();
    }
    serial_ = 0;
}

}  // namespace tesselink
