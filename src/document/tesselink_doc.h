// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The one document: the map, its undo history and the state the three panes share.
// The map has one writer: the edit functions below, which push undoable commands; every
// change is announced once through changed(), and panes update themselves from it.

#include <cstdint>
#include <string>
#include <vector>

#include <QObject>

#include "document/background_decoder.h"
#include "document/edit_commands.h"
#include "document/map_change.h"
#include "map/head_fit.h"
#include "map/map_image.h"
#include "map/map_file.h"
#include "map/map_model.h"
#include "map/message_boxes.h"
#include "picture/background_picture.h"

class QTimer;
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

class CTesselinkDoc : public QObject {
    Q_OBJECT
public:
    explicit CTesselinkDoc(QObject* parent = nullptr);
    ~CTesselinkDoc() override;

    // Where boxes of the document's steps go; none set means nothing is shown.
    void SetMessageBoxes(MessageBoxes* boxes) { boxes_ = boxes; }

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

    // The background picture and what is derived from it for the current original size.
    const std::string& BackgroundPicturePath() const { return backgroundPicturePath_; }
    void SetBackgroundPicturePath(const std::string& path);
    // What the picture views show, as last brought up to date: the background picture, or the
    // lineup while it is shown. Never decodes, so painting may read it.
    const BackgroundPicture& Background() const { return lineupShown_ ? lineup_ : background_; }
    // The background picture itself, whatever the views show.
    const BackgroundPicture& BackgroundFile() const { return background_; }
    // Brings the picture up to date (a decode only when the path, the file or the original size
    // changed); announces a Picture change when what it shows changed. A picture of more than
    // AsyncDecodePixels pixels (by its header) is decoded on a worker thread: until it is done
    // the previous picture stays, PictureLoading() is true, and a newer choice overtakes it.
    void SyncBackground();
    static constexpr long long AsyncDecodePixels = 4000000;
    // A picture is being decoded on the worker thread (its path is BackgroundPicturePath()).
    bool PictureLoading() const;

    // The lineup instead of the background picture in both views: the original lineup of the
    // map, made again after each burst of changes (at once when the original size changes).
    void ShowLineup(bool shown);
    bool LineupShown() const { return lineupShown_; }

    // A video frame behind the map instead of the picture (see BackgroundPicture::ShowFrame):
    // `planes` of the original area are swapped in and get the previous frame's back. Announced
    // as a Picture change. EndVideoFrames() returns to the picture file.
    void ShowVideoFrame(ColourPlanes& planes);
    void EndVideoFrames();
    bool ShowsVideoFrame() const { return background_.ShowsFrame(); }

    const std::string& MapFilePath() const { return mapFilePath_; }
    void SetMapFilePath(const std::string& path);

    // Opens the map file at `path`: only a file read and accepted replaces the map (true).
    // A file that cannot be read, or that the reader refuses, is reported and changes nothing.
    bool OnOpenDocument(const std::string& path);
    // Writes the map to `path`; on success the document counts as saved. MapFilePath is the
    // caller's to change.
    MapWriteResult OnSaveDocument(const std::string& path);
    // Frees the picture data and the windows; called once when the program ends.
    void OnCloseDocument();

    // Outline colour of window `index`, 0x00BBGGRR.
    static std::uint32_t WindowColour(int index);

signals:
    void changed(const tesselink::MapChange& change);
    void selectionChanged();
    void modifiedChanged(bool modified);
    void mapFilePathChanged();
    // A worker-thread decode of the background picture started (true) or ended (false).
    void pictureLoadingChanged(bool loading);

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
    // The background picture for the current path and original size; a large picture that needs
    // decoding is handed to the worker and the one shown stays meanwhile.
    void SyncPicture();
    void OnPictureDecoded(const DecodedPicture& decoded);
    void SetPictureLoading(bool loading);
    // The lineup for the map as it is now.
    void RebuildLineup();
    void Announce(MapChange::Kind what, int index = -1);
    void SyncWindowCount();
    void ShowMessage(const UserMessage& message);

    Map map_;
    QUndoStack* undoStack_ = nullptr;
    int gestureSerial_ = 0;
    int selectedOriginal_ = -1;
    int selectedTarget_ = -1;
    std::vector<int> selection_;
    std::string backgroundPicturePath_;
    std::string mapFilePath_;
    BackgroundPicture background_;
    std::string shownPicturePath_;  // the path whose picture background_ holds
    BackgroundDecoder* decoder_ = nullptr;
    bool pictureLoading_ = false;
    BackgroundPicture lineup_;
    bool lineupShown_ = false;
    QTimer* lineupRefresh_ = nullptr;
    MessageBoxes* boxes_ = nullptr;
};

// The box that tells why a map file was refused (its Message not empty).
UserMessage MapLoadMessageBox(const MapLoadResult& result);

// The message of a refused window edit (empty for one that was accepted).
std::string WindowBoundsMessage(const WindowEditResult& result);

}  // namespace tesselink
