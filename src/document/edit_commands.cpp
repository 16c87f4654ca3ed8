// SPDX-License-Identifier: GPL-3.0-or-later
#include "document/edit_commands.h"

#include <algorithm>

#include <QString>

#include "document/tesselink_doc.h"

namespace tesselink {
namespace {

// Windows are numbered from 1 for people, as in the editor's list.
QString Numbered(const char* what, int index) {
    return QStringLiteral("%1 %2").arg(QLatin1String(what)).arg(index + 1);
}

QString ChangeText(const PlaybackWindow& a, const PlaybackWindow& b, int index, EditGesture::Kind gesture) {
    using Kind = EditGesture::Kind;
    const bool resized = a.Width != b.Width || a.Height != b.Height;
    switch (gesture) {
    case Kind::OriginalStartXField: return Numbered("Change original x of window", index);
    case Kind::OriginalStartYField: return Numbered("Change original y of window", index);
    case Kind::TargetStartXField: return Numbered("Change target x of window", index);
    case Kind::TargetStartYField: return Numbered("Change target y of window", index);
    case Kind::WidthField: return Numbered("Change width of window", index);
    case Kind::HeightField: return Numbered("Change height of window", index);
    case Kind::MapModeBox: return Numbered("Change map mode of window", index);
    case Kind::OriginalKeys:
    case Kind::OriginalDrag: return Numbered(resized ? "Resize window" : "Move window", index);
    case Kind::TargetKeys:
    case Kind::TargetDrag: return Numbered("Move target place of window", index);
    case Kind::None: break;
    }
    return Numbered("Change window", index);
}

QString CoverText(std::uint8_t before, std::uint8_t after) {
    const bool wasOn = (before & CoverFullScreen) != 0;
    const bool isOn = (after & CoverFullScreen) != 0;
    if (isOn && !wasOn) return QStringLiteral("Cover with full screen");
    if (!isOn && wasOn) return QStringLiteral("Stop covering with full screen");
    return (after & CoverDifferentDirection) != 0 ? QStringLiteral("Cover in the different direction")
                                                  : QStringLiteral("Cover in the same direction");
}

}  // namespace

// ---- a gesture's step ----

void GestureStepCommand::undo() {
    Restore();
    // The history drops a step that is obsolete after its undo: nothing is left to redo.
    if (dropAtNextUndo_) setObsolete(true);
}

// ---- add ----

AddWindowCommand::AddWindowCommand(CTesselinkDoc& doc, const PlaybackWindow& window)
    : doc_(doc), window_(window), index_(doc.WindowCount()) {
    setText(Numbered("Add window", index_));
}

void AddWindowCommand::redo() {
    doc_.InsertWindowAt(index_, window_);
    doc_.SelectWindow(index_);
}

void AddWindowCommand::undo() {
    doc_.EraseWindowAt(index_);
    doc_.SelectWindow(std::min(index_, doc_.WindowCount() - 1));
}

// ---- change ----

ChangeWindowCommand::ChangeWindowCommand(CTesselinkDoc& doc, int index, const PlaybackWindow& after,
                                         EditGesture gesture)
    : GestureStepCommand(gesture),
      doc_(doc),
      index_(index),
      before_(doc.GetPlaybackWindows()[static_cast<std::size_t>(index)]),
      after_(after) {
    setText(ChangeText(before_, after_, index_, gesture_.What));
}

void ChangeWindowCommand::redo() {
    doc_.StoreWindowAt(index_, after_);
    doc_.SelectWindow(index_);
}

void ChangeWindowCommand::Restore() {
    doc_.StoreWindowAt(index_, before_);
    doc_.SelectWindow(index_);
}

int ChangeWindowCommand::id() const { return gesture_.What == EditGesture::Kind::None ? -1 : 1; }

bool ChangeWindowCommand::mergeWith(const QUndoCommand* other) {
    const auto* next = static_cast<const ChangeWindowCommand*>(other);
    if (next->index_ != index_ || !(next->gesture_ == gesture_)) return false;
    after_ = next->after_;
    setText(ChangeText(before_, after_, index_, gesture_.What));
    // A gesture that ends where it began leaves no step behind.
    setObsolete(after_ == before_);
    return true;
}

// ---- remove ----

RemoveWindowCommand::RemoveWindowCommand(CTesselinkDoc& doc, int index)
    : doc_(doc), index_(index), window_(doc.GetPlaybackWindows()[static_cast<std::size_t>(index)]) {
    setText(Numbered("Delete window", index_));
}

void RemoveWindowCommand::redo() {
    doc_.EraseWindowAt(index_);
    // The window that followed takes the place; after the last one, the one before it.
    doc_.SelectWindow(std::min(index_, doc_.WindowCount() - 1));
}

void RemoveWindowCommand::undo() {
    doc_.InsertWindowAt(index_, window_);
    doc_.SelectWindow(index_);
}

// ---- head ----

ChangeHeadCommand::ChangeHeadCommand(CTesselinkDoc& doc, const MapFileHead& sizes, const std::vector<int>& deleted)
    : doc_(doc), before_(doc.GetHead()), after_(sizes) {
    setText(QStringLiteral("Change head"));
    std::vector<int> order = deleted;
    std::sort(order.rbegin(), order.rend());
    order.erase(std::unique(order.begin(), order.end()), order.end());
    for (const int i : order) deleted_.push_back({i, doc.GetPlaybackWindows()[static_cast<std::size_t>(i)]});
}

void ChangeHeadCommand::redo() {
    PlaybackWindows windows = doc_.GetPlaybackWindows();
    // Highest index first, so the lower ones stay valid.
    for (const Deleted& removed : deleted_) windows.erase(windows.begin() + removed.Index);
    doc_.StoreHead(after_, std::move(windows));
    doc_.SetSelectedWindows(-1, -1);
}

void ChangeHeadCommand::undo() {
    PlaybackWindows windows = doc_.GetPlaybackWindows();
    for (auto it = deleted_.rbegin(); it != deleted_.rend(); ++it)
        windows.insert(windows.begin() + it->Index, it->Window);
    doc_.StoreHead(before_, std::move(windows));
    doc_.SetSelectedWindows(-1, -1);
}

// ---- cover ----

ChangeCoverCommand::ChangeCoverCommand(CTesselinkDoc& doc, std::uint8_t option)
    : doc_(doc), before_(doc.GetHead().CoverOption), after_(option) {
    setText(CoverText(before_, after_));
}

void ChangeCoverCommand::redo() { doc_.StoreCoverOption(after_); }
void ChangeCoverCommand::undo() { doc_.StoreCoverOption(before_); }

}  // namespace tesselink
