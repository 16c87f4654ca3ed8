#include "document/tesselink_doc.h"

#include <QFile>
#include <QString>

#include "map/map_file.h"
#include "remap/remap.h"

namespace tesselink {

CTesselinkDoc::CTesselinkDoc() = default;
CTesselinkDoc::~CTesselinkDoc() = default;

bool CTesselinkDoc::IsAttached(const void* identity) const {
    for (const AttachedView& v : views_) {
        if (v.Identity == identity) return true;
    }
    return false;
}

void CTesselinkDoc::AttachView(HeadFileViewPane* pane) {
    if (pane == nullptr || IsAttached(pane)) return;
    AttachedView v{PaneKind::HeadFile, pane};
    v.HeadFile = pane;
    views_.push_back(v);
}

void CTesselinkDoc::AttachView(OriginalViewPane* pane) {
    if (pane == nullptr || IsAttached(pane)) return;
    AttachedView v{PaneKind::Original, pane};
    v.Original = pane;
    views_.push_back(v);
}

void CTesselinkDoc::AttachView(TargetViewPane* pane) {
    if (pane == nullptr || IsAttached(pane)) return;
    AttachedView v{PaneKind::Target, pane};
    v.Target = pane;
    views_.push_back(v);
}

void CTesselinkDoc::Detach(const void* identity) {
    for (auto it = views_.begin(); it != views_.end(); ++it) {
        if (it->Identity == identity) {
            views_.erase(it);
            return;
        }
    }
}

void CTesselinkDoc::DetachView(const HeadFileViewPane* pane) { Detach(pane); }
void CTesselinkDoc::DetachView(const OriginalViewPane* pane) { Detach(pane); }
void CTesselinkDoc::DetachView(const TargetViewPane* pane) { Detach(pane); }

HeadFileViewPane* CTesselinkDoc::GetHeadFileView() const {
    if (views_.empty()) return nullptr;
    return views_.front().HeadFile;
}

OriginalViewPane* CTesselinkDoc::GetOriginalView() const {
    if (views_.size() < 2) return nullptr;
    return views_[1].Original;
}

TargetViewPane* CTesselinkDoc::GetTargetView() const {
    if (views_.empty()) return nullptr;
    return views_.back().Target;
}

std::uint32_t CTesselinkDoc::WindowColour(int index) { return tesselink::WindowColour(index); }

void CTesselinkDoc::ClearWindows() { map_.ClearWindows(); }

void CTesselinkDoc::RemapWindows(const PlaybackWindows& windows) {
    tesselink::RemapWindows(ColourPlanes, windows, map_.Head.TargetWidth, map_.Head.TargetHeight, TargetPlanes);
}

void CTesselinkDoc::ShowMessage(const UserMessage& message) {
    if (boxes_ != nullptr) boxes_->Show(message);
}

bool CTesselinkDoc::OnOpenDocument(const std::string& path) {
    // Only a file that can be read replaces the map; anything else leaves it as it was.
    // Without blocking on a FIFO, and refusing folders and devices.
    const std::string why = path.empty() ? std::string("No file name was given.") : MapFileReadProblem(path);
    if (!why.empty()) {
        ShowMessage(ApplicationMessage("Failed to open document.\n" + path + "\n" + why));
        return false;
    }

    ClearWindows();
    map_.Head.WindowCount = 0;
    const MapLoadResult loaded = ReadMapFile(map_, path);
    if (boxes_ != nullptr) ReportLoadMessage(loaded, *boxes_);

    SelectedOriginalWindow = -1;
    SelectedTargetWindow = -1;

    if (TargetViewPane* target = GetTargetView()) target->ApplyZoom(BaseZoom);
    if (OriginalViewPane* original = GetOriginalView()) original->ApplyZoom(BaseZoom);
    if (OriginalViewPane* original = GetOriginalView()) original->Repaint();
    if (TargetViewPane* target = GetTargetView()) target->Repaint();
    NeedsRedraw = 1;

    if (HeadFileViewPane* panel = GetHeadFileView()) {
        panel->FillHeadFromDocument();
        panel->ShowCoverOption(map_.Head.CoverOption);
        panel->RefreshWindowList();
    }
    return true;
}

void CTesselinkDoc::OnCloseDocument() {
    TargetPlanes.Free();
    ColourPlanes.Free();
    ClearWindows();
    map_.Head.WindowCount = 0;
}

}  // namespace tesselink
