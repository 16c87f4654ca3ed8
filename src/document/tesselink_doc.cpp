// SPDX-License-Identifier: GPL-3.0-or-later
#include "document/tesselink_doc.h"

#include <algorithm>
#include <cmath>

#include <QString>
#include <QUndoStack>

#include "document/group_commands.h"
#include "document/replace_map_command.h"
#include "map/map_file.h"

namespace tesselink {

CTesselinkDoc::CTesselinkDoc(QObject* parent) : QObject(parent), undoStack_(new QUndoStack(this)) {
    connect(undoStack_, &QUndoStack::cleanChanged, this, [this](bool clean) { emit modifiedChanged(!clean); });
}

CTesselinkDoc::~CTesselinkDoc() {
    // The commands refer to the document: they go before the rest of it.
    undoStack_->blockSignals(true);
    undoStack_->clear();
}

std::uint32_t CTesselinkDoc::WindowColour(int index) { return tesselink::WindowColour(index); }

// ---- the gate ----

namespace {

// The part of the gate that every proposed window passes: its placed size from its mode,
// then the bounds in the order they are reported. False when refused.
bool CheckProposedWindow(PlaybackWindow& window, const MapFileHead& head, WindowEditResult& result) {
    window.UpdatePlacedSize();
    result.Fit = CheckWindowBounds(window, head);
    if (result.Fit == FitResult::Fits) return true;
    result.What = WindowEditResult::Outcome::OutOfBounds;
    return false;
}

}  // namespace

WindowEditResult CTesselinkDoc::AddWindow(PlaybackWindow window) {
    WindowEditResult result;
    if (map_.Windows.size() >= MaxWindowCount) {
        result.What = WindowEditResult::Outcome::TooManyWindows;
        return result;
    }
    const MapFileHead& h = map_.Head;
    if (std::max({h.OriginalWidth, h.OriginalHeight, h.TargetWidth, h.TargetHeight}) > MaxHeadSize) {
        result.What = WindowEditResult::Outcome::HeadTooLarge;
        return result;
    }
    if (!CheckProposedWindow(window, map_.Head, result)) return result;
    undoStack_->push(new AddWindowCommand(*this, window));
    result.Index = WindowCount() - 1;
    return result;
}

WindowEditResult CTesselinkDoc::ChangeWindow(int index, PlaybackWindow window, EditGesture gesture) {
    WindowEditResult result;
    if (index < 0 || index >= WindowCount()) {
        result.What = WindowEditResult::Outcome::NoSuchWindow;
        return result;
    }
    if (!CheckProposedWindow(window, map_.Head, result)) return result;
    result.Index = index;
    if (window == map_.Windows[static_cast<std::size_t>(index)]) {
        result.What = WindowEditResult::Outcome::Unchanged;
        return result;
    }
    undoStack_->push(new ChangeWindowCommand(*this, index, window, gesture));
    return result;
}

bool CTesselinkDoc::RemoveWindow(int index) {
    if (index < 0 || index >= WindowCount()) return false;
    undoStack_->push(new RemoveWindowCommand(*this, index));
    return true;
}

void CTesselinkDoc::ChangeHead(const MapFileHead& sizes, const std::vector<int>& deleteIndexes) {
    const MapFileHead& h = map_.Head;
    const bool sameSizes = sizes.OriginalWidth == h.OriginalWidth && sizes.OriginalHeight == h.OriginalHeight &&
                           sizes.TargetWidth == h.TargetWidth && sizes.TargetHeight == h.TargetHeight;
    std::vector<int> deleted;
    for (const int i : deleteIndexes)
        if (i >= 0 && i < WindowCount()) deleted.push_back(i);
    if (sameSizes && deleted.empty()) return;
    undoStack_->push(new ChangeHeadCommand(*this, sizes, deleted));
}

void CTesselinkDoc::SetCoverOption(std::uint8_t option) {
    if (option == map_.Head.CoverOption) return;
    undoStack_->push(new ChangeCoverCommand(*this, option));
}

void CTesselinkDoc::ReplaceMap(const Map& map) {
    undoStack_->clear();
    map_ = map;
    SyncWindowCount();
    undoStack_->setClean();
    SetSelectedWindows(-1, -1);
    Announce(MapChange::Kind::MapReplaced);
}

bool CTesselinkDoc::ReplaceMapAsStep(const Map& map, const QString& text) {
    Map proposed = map;
    proposed.Head.WindowCount = static_cast<std::uint8_t>(proposed.Windows.size() & 0xFF);
    if (proposed.Head == map_.Head && proposed.Windows == map_.Windows) return false;
    undoStack_->push(new ReplaceMapCommand(*this, proposed, text));
    return true;
}

void CTesselinkDoc::StoreMap(const Map& map) {
    map_ = map;
    SyncWindowCount();
    SetSelectedWindows(-1, -1);
    Announce(MapChange::Kind::MapReplaced);
}

bool CTesselinkDoc::IsModified() const { return !undoStack_->isClean(); }

void CTesselinkDoc::MarkSaved() { undoStack_->setClean(); }

// ---- what the commands change ----

void CTesselinkDoc::InsertWindowAt(int index, const PlaybackWindow& window) {
    map_.Windows.insert(map_.Windows.begin() + index, window);
    for (int& i : selection_)
        if (i >= index) ++i;
    SyncWindowCount();
    Announce(MapChange::Kind::WindowAdded, index);
}

void CTesselinkDoc::StoreWindowAt(int index, const PlaybackWindow& window) {
    map_.Windows[static_cast<std::size_t>(index)] = window;
    Announce(MapChange::Kind::WindowChanged, index);
}

void CTesselinkDoc::EraseWindowAt(int index) {
    map_.RemoveWindow(static_cast<std::size_t>(index));
    selection_.erase(std::remove(selection_.begin(), selection_.end(), index), selection_.end());
    for (int& i : selection_)
        if (i > index) --i;
    SyncWindowCount();
    Announce(MapChange::Kind::WindowRemoved, index);
}

void CTesselinkDoc::StoreHead(const MapFileHead& sizes, PlaybackWindows windows) {
    map_.Windows = std::move(windows);
    map_.Head.OriginalWidth = sizes.OriginalWidth;
    map_.Head.OriginalHeight = sizes.OriginalHeight;
    map_.Head.TargetWidth = sizes.TargetWidth;
    map_.Head.TargetHeight = sizes.TargetHeight;
    SyncWindowCount();
    Announce(MapChange::Kind::Head);
}

void CTesselinkDoc::StoreCoverOption(std::uint8_t option) {
    map_.Head.CoverOption = option;
    Announce(MapChange::Kind::Cover);
}

void CTesselinkDoc::SyncWindowCount() { map_.Head.WindowCount = static_cast<std::uint8_t>(map_.Windows.size() & 0xFF); }

void CTesselinkDoc::Announce(MapChange::Kind what, int index) { emit changed(MapChange{what, index}); }

// ---- shared state ----

void CTesselinkDoc::SetSelectedWindows(int original, int target) {
    const int count = WindowCount();
    if (original >= count) original = -1;
    if (target >= count) target = -1;
    if (original < -1) original = -1;
    if (target < -1) target = -1;
    std::vector<int> selection;
    if (original >= 0) selection.push_back(original);
    if (original == selectedOriginal_ && target == selectedTarget_ && selection == selection_) return;
    selectedOriginal_ = original;
    selectedTarget_ = target;
    selection_ = std::move(selection);
    emit selectionChanged();
}

bool CTesselinkDoc::IsSelected(int index) const {
    return std::find(selection_.begin(), selection_.end(), index) != selection_.end();
}

void CTesselinkDoc::SetSelection(std::vector<int> indexes, int current) {
    std::vector<int> kept;
    for (const int i : indexes)
        if (i >= 0 && i < WindowCount() && std::find(kept.begin(), kept.end(), i) == kept.end()) kept.push_back(i);
    if (current >= WindowCount()) current = -1;
    if (current < 0 && !kept.empty()) current = kept.back();
    if (current >= 0 && std::find(kept.begin(), kept.end(), current) == kept.end()) kept.push_back(current);
    if (kept == selection_ && current == selectedOriginal_ && current == selectedTarget_) return;
    selection_ = std::move(kept);
    selectedOriginal_ = current;
    selectedTarget_ = current;
    emit selectionChanged();
}

void CTesselinkDoc::SetCurrentWindow(int index) {
    if (index < 0 || index >= WindowCount()) return;
    std::vector<int> selection = selection_;
    if (!IsSelected(index)) selection.push_back(index);
    SetSelection(std::move(selection), index);
}

WindowEditResult CTesselinkDoc::ChangeWindows(PlaybackWindows windows, const std::vector<int>& selection,
                                              const QString& text, EditGesture gesture) {
    WindowEditResult result;
    if (windows.size() > MaxWindowCount) {
        result.What = WindowEditResult::Outcome::TooManyWindows;
        return result;
    }
    // As for Add: no reader would take the map once it has more windows under such a head.
    const MapFileHead& h = map_.Head;
    if (windows.size() > map_.Windows.size() &&
        std::max({h.OriginalWidth, h.OriginalHeight, h.TargetWidth, h.TargetHeight}) > MaxHeadSize) {
        result.What = WindowEditResult::Outcome::HeadTooLarge;
        return result;
    }
    for (std::size_t i = 0; i < windows.size(); ++i) {
        if (!CheckProposedWindow(windows[i], map_.Head, result)) {
            result.Index = static_cast<int>(i);
            return result;
        }
    }
    if (windows == map_.Windows) {
        result.What = WindowEditResult::Outcome::Unchanged;
        return result;
    }
    undoStack_->push(new ChangeWindowsCommand(*this, std::move(windows), selection, text, gesture));
    return result;
}

void CTesselinkDoc::StoreWindows(PlaybackWindows windows) {
    map_.Windows = std::move(windows);
    SyncWindowCount();
    Announce(MapChange::Kind::Windows);
}

void CTesselinkDoc::SetMapFilePath(const std::string& path) {
    if (path == mapFilePath_) return;
    mapFilePath_ = path;
    emit mapFilePathChanged();
}

// ---- document steps ----

DocumentOpenResult CTesselinkDoc::OnOpenDocument(const std::string& path) {
    // Only a file that can be read replaces the map; anything else leaves it as it was.
    // Without blocking on a FIFO, and refusing folders and devices.
    DocumentOpenResult result;
    const std::string why = path.empty() ? std::string("No file name was given.") : MapFileReadProblem(path);
    if (!why.empty()) {
        result.Message = ApplicationMessage("Failed to open document.\n" + path + "\n" + why);
        return result;
    }

    // Read into a copy: a refused file leaves windows, head, selection and history as they were.
    Map read = map_;
    read.ClearWindows();
    const MapLoadResult loaded = ReadMapFile(read, path);
    if (!loaded) {
        result.Message =
            !loaded.Message.empty()
                ? MapLoadMessageBox(loaded)
                : ApplicationMessage("Failed to open document.\n" + path + "\n" +
                                     (loaded.ReadError.empty() ? "It is not a map file." : loaded.ReadError));
        return result;
    }
    ReplaceMap(read);
    result.Opened = true;
    return result;
}

MapWriteResult CTesselinkDoc::OnSaveDocument(const std::string& path) {
    const MapWriteResult written = WriteMapFile(map_, path);
    if (written) MarkSaved();
    return written;
}

void CTesselinkDoc::OnCloseDocument() {
    undoStack_->clear();
    map_.ClearWindows();
    SyncWindowCount();
}

UserMessage MapLoadMessageBox(const MapLoadResult& result) {
    // A window outside its head is a warning about the picture: the Original view's own box.
    if (result.Refusal == MapRefusal::WindowOutside)
        return PlainMessage("Load warning ", result.Message, MessageOwner::OriginalView);
    return ApplicationMessage(result.Message);
}

std::string WindowBoundsMessage(const WindowEditResult& result) {
    switch (result.What) {
    case WindowEditResult::Outcome::TooManyWindows: return "A map holds at most 255 playback windows.";
    case WindowEditResult::Outcome::HeadTooLarge: return HeadTooLargeText;
    case WindowEditResult::Outcome::OutOfBounds: break;
    default: return std::string();
    }
    switch (result.Fit) {
    case FitResult::OriginalHeightExceeded: return "the Original Heigh of the playback window beyond the screen";
    case FitResult::OriginalWidthExceeded: return "the Original width of The playback window beyond the screen ";
    case FitResult::TargetHeightExceeded: return "the Target Heigh of The playback window beyond the screen";
    case FitResult::TargetWidthExceeded: return "the Target width of The playback window beyond the screen ";
    case FitResult::Fits: break;
    }
    return std::string();
}

}  // namespace tesselink
