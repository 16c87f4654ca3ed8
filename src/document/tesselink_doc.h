// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The one document: the map, its undo history, the selection and the file it came from. What
// the picture views show behind the map is the backdrop's (stage/backdrop.h).
// The map has one writer: the edit functions below, which push undoable commands; every
// change is announced once through changed(), and panes update themselves from it.

#include <cstdint>
#include <string>
#include <vector>

#include <QObject>

#include "document/edit_commands.h"
#include "document/map_change.h"
#include "map/head_fit.h"
#include "map/map_image.h"
#include "map/map_file.h"
#include "map/map_model.h"
#include "map/message_boxes.h"

class QUndoStack;

namespace tesselink {

// The two picture views, for what concerns one of them.
enum class PictureViewRole { Original, Target };

// What the gate did with a proposed window.
struct WindowEditResult {
    enum class Outcome {
        Stored,          // pushed as one step (or merged into the last one)
        Unchanged,       // equal to the stored window: nothing pushed
        OutOfBounds,     // Fit names the first failing test; nothing stored
        TooManyWindows,  // the map already holds MaxWindowCount windows
        HeadTooLarge,    // a head size is above MaxHeadSize: no reader would take the map with a window
        NoSuchWindow,    // the index names no window
    };
    Outcome What = Outcome::Stored;
    FitResult Fit = FitResult::Fits;
    int Index = -1;  // the window's index when stored or unchanged
    bool Accepted() const { return What == Outcome::Stored || What == Outcome::Unchanged; }
};

// What opening a map file did: the map replaced, or why not.
struct DocumentOpenResult {
    bool Opened = false;
    UserMessage Message;  // the box that tells why it was not opened
    explicit operator bool() const { return Opened; }
};

class CTesselinkDoc : public QObject {
    Q_OBJECT
public:
    explicit CTesselinkDoc(QObject* parent = nullptr);
    ~CTesselinkDoc() override;

    // Reading the map.
    const Map& GetMap() const { return map_; }
    const MapFileHead& GetHead() const { return map_.Head; }
    const PlaybackWindows& GetPlaybackWindows() const { return map_.Windows; }
    int WindowCount() const { return static_cast<int>(map_.Windows.size()); }

    // The gate: every window edit comes through here. The window is checked in the order the
    // user is told about misfits (its placed size derived from its mode first); only a window
    // that fits is pushed. The caller shows a refusal (WindowBoundsMessage gives the text).
    WindowEditResult AddWindow(PlaybackWindow window);
    WindowEditResult ChangeWindow(int index, PlaybackWindow window, EditGesture gesture = {});
    bool RemoveWindow(int index);
    // The new head sizes (the window count and cover option of `sizes` are ignored), deleting the
    // windows at `deleteIndexes` (from FindHeadMisfits) in the same step. Unchanged sizes with
    // nothing to delete push nothing.
    void ChangeHead(const MapFileHead& sizes, const std::vector<int>& deleteIndexes);
    // The windows that would not fit `sizes`, from the last index down.
    std::vector<HeadMisfit> HeadMisfits(const MapFileHead& sizes) const { return FindHeadMisfits(map_.Windows, sizes); }
    void SetCoverOption(std::uint8_t option);
    // An import: the whole map (head, cover option and windows) replaced as one undoable step
    // named `text`; selections are cleared. A map equal to the one held pushes nothing (false).
    bool ReplaceMapAsStep(const Map& map, const QString& text);
    // New and Open: the whole map at once, not undoable; the history is cleared and the
    // document counts as saved. Selections are cleared.
    void ReplaceMap(const Map& map);

    // The undo history; the document is modified exactly when it is not at its clean index.
    QUndoStack& UndoStack() { return *undoStack_; }
    bool IsModified() const;
    // After a successful save: the current state is the saved one.
    void MarkSaved();
    // A number no earlier gesture has used, for EditGesture::Serial.
    int NewGestureSerial() { return ++gestureSerial_; }

    // The window picked in each picture view; -1 for none.
    int SelectedOriginalWindow() const { return selectedOriginal_; }
    int SelectedTargetWindow() const { return selectedTarget_; }
    // Picks one window (-1 for none): it alone is selected.
    void SetSelectedWindows(int original, int target);
    void SelectWindow(int index) { SetSelectedWindows(index, index); }

    // Several windows selected: an ordered set of indexes, the current window (the picked one,
    // which the panel's fields show) among them. One window selected is the single selection.
    const std::vector<int>& Selection() const { return selection_; }
    bool IsSelected(int index) const;
    // `indexes` (out of range and repeated ones dropped, order kept) with `current` among them
    // (appended when missing; -1 takes the last). Announced once through selectionChanged.
    void SetSelection(std::vector<int> indexes, int current = -1);
    // The current window changes; the selection stays (a press on one of several selected).
    void SetCurrentWindow(int index);

    // A change of several windows at once as one step (a group move, Delete of several, a mode
    // for all, Duplicate, an array): the whole new list, checked window by window in order as
    // the gate checks one; the first that fails refuses all of it, and Index names it. The
    // selection afterwards is `selection`, its last element current. Steps of one gesture
    // (`gesture` not None) merge. `text` names the step for the Edit menu.
    WindowEditResult ChangeWindows(PlaybackWindows windows, const std::vector<int>& selection, const QString& text,
                                   EditGesture gesture = {});

    const std::string& MapFilePath() const { return mapFilePath_; }
    void SetMapFilePath(const std::string& path);

    // Opens the map file at `path`: only a file read and accepted replaces the map. A file that
    // cannot be read, or that the reader refuses, changes nothing; the result says why, for the
    // caller to show.
    DocumentOpenResult OnOpenDocument(const std::string& path);
    // Writes the map to `path`; on success the document counts as saved. MapFilePath is the
    // caller's to change.
    MapWriteResult OnSaveDocument(const std::string& path);
    // Frees the windows and the history; called once when the program ends.
    void OnCloseDocument();

    // Outline colour of window `index`, 0x00BBGGRR.
    static std::uint32_t WindowColour(int index);

signals:
    void changed(const tesselink::MapChange& change);
    void selectionChanged();
    void modifiedChanged(bool modified);
    void mapFilePathChanged();

private:
    // Used by the edit commands only; each announces itself.
    friend class AddWindowCommand;
    friend class ChangeWindowCommand;
    friend class RemoveWindowCommand;
    friend class ChangeHeadCommand;
    friend class ChangeCoverCommand;
    friend class ChangeWindowsCommand;
    friend class ReplaceMapCommand;
    void InsertWindowAt(int index, const PlaybackWindow& window);
    void StoreWindowAt(int index, const PlaybackWindow& window);
    void EraseWindowAt(int index);
    // The four sizes of `sizes` and the whole list, announced as one head change.
    void StoreHead(const MapFileHead& sizes, PlaybackWindows windows);
    void StoreCoverOption(std::uint8_t option);
    // The whole list, announced as one change of the windows.
    void StoreWindows(PlaybackWindows windows);
    // The whole map, announced as a replaced map; selections cleared.
    void StoreMap(const Map& map);
    void Announce(MapChange::Kind what, int index = -1);
    void SyncWindowCount();

    Map map_;
    QUndoStack* undoStack_ = nullptr;
    int gestureSerial_ = 0;
    int selectedOriginal_ = -1;
    int selectedTarget_ = -1;
    std::vector<int> selection_;
    std::string mapFilePath_;
};

// The box that tells why a map file was refused (its Message not empty).
UserMessage MapLoadMessageBox(const MapLoadResult& result);

// The message of a refused window edit (empty for one that was accepted).
std::string WindowBoundsMessage(const WindowEditResult& result);

}  // namespace tesselink
