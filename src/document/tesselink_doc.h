#pragma once
// The one document: the map and the state the three panes share.

#include <cstdint>
#include <string>
#include <vector>

#include "document/view_panes.h"
#include "map/map_model.h"
#include "map/message_boxes.h"
#include "remap/colour_planes.h"

namespace tesselink {

// Selectable views for the zoom commands.
enum ZoomAreaChoice : int { AllArea = 0, OriginalArea = 1, TargetArea = 2 };

class CTesselinkDoc {
public:
    CTesselinkDoc();
    ~CTesselinkDoc();
    CTesselinkDoc(const CTesselinkDoc&) = delete;
    CTesselinkDoc& operator=(const CTesselinkDoc&) = delete;

    // Panes are attached in creation order: editor panel, Original view, Target view.
    // The picture views attach themselves when constructed, so whoever builds the frame
    // attaches the editor panel before creating them. Attaching a pane twice keeps the
    // first place; a pane detaches itself before it goes away.
    void AttachView(HeadFileViewPane* pane);
    void AttachView(OriginalViewPane* pane);
    void AttachView(TargetViewPane* pane);
    void DetachView(const HeadFileViewPane* pane);
    void DetachView(const OriginalViewPane* pane);
    void DetachView(const TargetViewPane* pane);
    int ViewCount() const { return static_cast<int>(views_.size()); }

    // The first view when it is the editor panel, else none.
    HeadFileViewPane* GetHeadFileView() const;
    // The second view when at least two are attached and it is the Original view, else none.
    OriginalViewPane* GetOriginalView() const;
    // The last view when it is the Target view, else none.
    TargetViewPane* GetTargetView() const;

    // Where boxes of the document's steps go; none set means nothing is shown.
    void SetMessageBoxes(MessageBoxes* boxes) { boxes_ = boxes; }

    Map& GetMap() { return map_; }
    const Map& GetMap() const { return map_; }
    MapFileHead& GetHead() { return map_.Head; }
    const MapFileHead& GetHead() const { return map_.Head; }
    PlaybackWindows& GetPlaybackWindows() { return map_.Windows; }
    const PlaybackWindows& GetPlaybackWindows() const { return map_.Windows; }

    // Outline colour of window `index`, 0x00BBGGRR.
    static std::uint32_t WindowColour(int index);
    // Empties the window list; WindowCount is the caller's.
    void ClearWindows();
    // Rebuilds TargetPlanes from ColourPlanes and `windows` (nothing without ColourPlanes).
    void RemapWindows(const PlaybackWindows& windows);

    // Opens the map file at `path`: a file that cannot be opened is reported and changes
    // nothing (false); otherwise the windows are replaced by the file's (an invalid file is
    // reported and leaves an empty list and the previous head), selections cleared, views
    // reset to BaseZoom extents and repainted, the panel refilled; true.
    bool OnOpenDocument(const std::string& path);
    // Frees the planes and the windows; called once when the program ends.
    void OnCloseDocument();

    // Shared state, read and written by the panes.
    int NeedsRedraw = 0;
    tesselink::ColourPlanes ColourPlanes;
    tesselink::TargetPlanes TargetPlanes;
    float BaseZoom = 1.0f;
    std::string BackgroundPicturePath;
    std::string LoadedPicturePath;
    std::string MapFilePath;
    int SelectedOriginalWindow = -1;
    int SelectedTargetWindow = -1;
    float OriginalZoom = 1.0f;
    float TargetZoom = 1.0f;
    int ZoomArea = AllArea;
    int StretchBackground = 0;

private:
    enum class PaneKind { HeadFile, Original, Target };
    struct AttachedView {
        PaneKind Kind;
        const void* Identity;
        HeadFileViewPane* HeadFile = nullptr;
        OriginalViewPane* Original = nullptr;
        TargetViewPane* Target = nullptr;
    };
    bool IsAttached(const void* identity) const;
    void Detach(const void* identity);
    void ShowMessage(const UserMessage& message);

    Map map_;
    std::vector<AttachedView> views_;
    MessageBoxes* boxes_ = nullptr;
};

}  // namespace tesselink
