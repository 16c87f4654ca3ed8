// SPDX-License-Identifier: GPL-3.0-or-later
#include "document/group_commands.h"

#include "document/tesselink_doc.h"

namespace tesselink {

ChangeWindowsCommand::ChangeWindowsCommand(CTesselinkDoc& doc, PlaybackWindows after, std::vector<int> selectionAfter,
                                           const QString& text, EditGesture gesture)
    : GestureStepCommand(gesture),
      doc_(doc),
      before_(doc.GetPlaybackWindows()),
      after_(std::move(after)),
      selectionBefore_(doc.Selection()),
      currentBefore_(doc.SelectedOriginalWindow()),
      selectionAfter_(std::move(selectionAfter)) {
    setText(text);
}

void ChangeWindowsCommand::redo() {
    doc_.StoreWindows(after_);
    doc_.SetSelection(selectionAfter_);
}

void ChangeWindowsCommand::Restore() {
    doc_.StoreWindows(before_);
    doc_.SetSelection(selectionBefore_, currentBefore_);
}

// Apart from the single-window changes' id, so the two never merge.
int ChangeWindowsCommand::id() const { return gesture_.What == EditGesture::Kind::None ? -1 : 2; }

bool ChangeWindowsCommand::mergeWith(const QUndoCommand* other) {
    const auto* next = static_cast<const ChangeWindowsCommand*>(other);
    if (!(next->gesture_ == gesture_)) return false;
    after_ = next->after_;
    selectionAfter_ = next->selectionAfter_;
    // A gesture that ends where it began leaves no step behind.
    setObsolete(after_ == before_);
    return true;
}

}  // namespace tesselink
