#pragma once
// The Original view: the background picture at the map's original size, zoomed and centred,
// with corner labels, a title and every window's original rectangle outlined.

#include <cstdint>
#include <string>
#include <vector>

#include <QStringList>

class QPainter;

#include "document/tesselink_doc.h"
#include "document/view_panes.h"
#include "map/message_boxes.h"
#include "views/window_editing_view.h"
#include "views/scaled_picture.h"
#include "views/view_geometry.h"

namespace tesselink {

class CTesselinkView : public WindowEditingView, public OriginalViewPane {
    Q_OBJECT
public:
    // Registers itself with `doc` as its Original view and follows the document's changes.
    CTesselinkView(CTesselinkDoc& doc, MessageBoxes& boxes, QWidget* parent = nullptr);
    ~CTesselinkView() override;

    // Folders searched in order for the default picture "tesselink.jpg"; by default the
    // executable's folder, then the installed data folder.
    void SetDefaultPictureFolders(const QStringList& folders) { defaultFolders_ = folders; }
    const QStringList& DefaultPictureFolders() const { return defaultFolders_; }

    // Once, after the document and the views exist: takes the default picture if there is one,
    // sets the scroll extent to (client width - 100, 1000).
    void OnInitialUpdate();

    // OriginalViewPane
    void SetAddWindowArmed(int flag) override { addWindowArmed_ = flag; }
    void SetPendingMapMode(int mode) override { pendingMapMode_ = mode; }

    int AddWindowArmed() const { return addWindowArmed_; }
    int PendingMapMode() const { return pendingMapMode_; }
    const std::vector<ViewRect>& DisplayRects() const { return displayRects_; }
    ViewRect PictureRect() const { return pictureRect_; }
    int PictureOffsetX() const { return layout_.OffsetX; }
    int PictureOffsetY() const { return layout_.OffsetY; }
    int PlaneOriginX() const { return planeOriginX_; }
    int PlaneOriginY() const { return planeOriginY_; }

protected:
    void PaintView(QImage& buffer) override;
    void PressAt(int x, int y) override;
    void ShowHoverCursor(int x, int y) override;
    bool WindowForTrackedFrame(PlaybackWindow& window) override;
    void FinishGesture() override;
    void NudgeSelected(int dx, int dy) override;
    QSize PictureSize() const override;
    int ExtentMarginHeight() const override { return OriginalExtentMarginHeight; }

private:
    // Draw mode: a rubber band on empty picture area becomes a new window of PendingMapMode.
    bool DrawMode() const { return addWindowArmed_ != 0 && pendingMapMode_ >= 0 && pendingMapMode_ < MapModeCount; }
    void ReportFrameStatus(const ViewRect& rect);

    void ReportMissingPictureOnce(const std::string& path, bool missing);
    // Draws the picture on screen; returns the screen rectangle it covered.
    QRect DrawPicture(QPainter& painter, QImage& buffer, const Picture& picture, const ViewRect& source,
                      const ViewRect& visible);
    void DrawLabels(QPainter& painter);
    void DrawWindowFrames(QImage& buffer);
    void ComputeLayout(int clientWidth, int clientHeight) override;
    float Zoom() const override { return doc_.OriginalZoom; }
    int SelectedWindow() const override { return doc_.SelectedOriginalWindow(); }

    QStringList defaultFolders_;

    int planeOriginX_ = 0;
    int planeOriginY_ = 0;
    int addWindowArmed_ = 0;
    int pendingMapMode_ = -1;

    std::uint64_t pictureGeneration_ = 0;  // of the picture painted last, so kept scalings know when to go
    ScaledPicture scaled_;
    // The missing path already reported, so repaints do not raise the box again.
    std::string reportedMissingPath_;
};

}  // namespace tesselink
