#include "views/target_view.h"

#include <algorithm>

#include <QFileInfo>
#include <QPainter>
#include <QRegion>

#include "picture/area_scale.h"
#include "remap/cover.h"
#include "remap/remap.h"
#include "views/plane_blit.h"
#include "views/target_clip.h"
#include "views/view_drawing.h"

namespace tesselink {
namespace {

bool FileExists(const std::string& path) { return !path.empty() && QFileInfo(QString::fromStdString(path)).isFile(); }

// The colour of a freshly erased view, under a picture that is not drawn.
constexpr QRgb ErasedBackgroundRgb = 0xFFFFFF;

// Target pixels built and shown at a time.
constexpr int BandPixels = 64 * 1024;

}  // namespace

CRightView::CRightView(CTesselinkDoc& doc, QWidget* parent) : PictureScrollView(parent), doc_(doc) {
    doc_.AttachView(static_cast<TargetViewPane*>(this));
}

CRightView::~CRightView() { doc_.DetachView(static_cast<TargetViewPane*>(this)); }

void CRightView::OnInitialUpdate() {
    SetScrollExtent(QSize(500, 1000));
    SetScrollPosition(0, 0);
    viewport()->update();
}

void CRightView::ApplyZoom(float zoom) {
    const MapFileHead& head = doc_.GetHead();
    const QSize client = viewport()->size();
    const ExtentSize e = ComputeZoomExtent(head.TargetWidth, head.TargetHeight, zoom, client.width(),
                                           client.height(), client.width(), client.height(),
                                           TargetExtentMarginHeight);
    SetScrollExtent(QSize(e.Width, e.Height));
}

void CRightView::Repaint() { viewport()->update(); }

void CRightView::ClearSelectionFrame() { HideFrame(); }

void CRightView::EnsureDisplayRect(int index) {
    if (index < static_cast<int>(displayRects_.size())) return;
    const MapFileHead& head = doc_.GetHead();
    const float zoom = doc_.TargetZoom;
    layout_ = ComputePictureLayout(viewport()->width(), viewport()->height(), head.TargetWidth, head.TargetHeight,
                                   zoom);
    pictureRect_ = layout_.Picture.Offset(-ScrollX(), -ScrollY());
    ComputeDisplayRects(doc_.GetPlaybackWindows(), WindowSide::Target, head.TargetWidth, head.TargetHeight, zoom,
                        layout_.OffsetX, layout_.OffsetY, ScrollX(), ScrollY(), displayRects_);
}

void CRightView::PaintView(QImage& buffer) {
    const MapFileHead& head = doc_.GetHead();
    const int tw = head.TargetWidth;
    const int th = head.TargetHeight;
    const float zoom = doc_.TargetZoom;
    const int cw = buffer.width();
    const int ch = buffer.height();
    const int sx = ScrollX();
    const int sy = ScrollY();
    const bool exists = FileExists(doc_.BackgroundPicturePath);
    const PlaybackWindows& windows = doc_.GetPlaybackWindows();

    layout_ = ComputePictureLayout(cw, ch, tw, th, zoom);
    pictureRect_ = layout_.Picture.Offset(-sx, -sy);
    ComputeDisplayRects(windows, WindowSide::Target, tw, th, zoom, layout_.OffsetX, layout_.OffsetY, sx, sy,
                        displayRects_);

    QPainter painter(&buffer);
    const ViewRect visible{sx, sy, sx + cw, sy + ch};  // content coordinates
    const bool pictureDrawn = !windows.empty() && exists && doc_.ColourPlanes.IsPresent();
    if (windows.empty()) {
        PaintPlaceholder(painter, visible);
    } else if (!pictureDrawn) {
        painter.fillRect(buffer.rect(), QColor::fromRgb(ErasedBackgroundRgb));
    }
    if (!doc_.BackgroundPicturePath.empty() && !exists) {
        PaintPlaceholder(painter, visible);
        return;
    }

    const bool coverOn = coverMode_ == CoverModeSame || coverMode_ == CoverModeDifferent;
    if (!windows.empty() && exists) {
        std::size_t coverCount = 0;
        if (coverOn) {
            if (BuildCoverWindows(windows, head, coverMode_, coverWindows_) == CoverFilled) {
                ComputeDisplayRects(coverWindows_, WindowSide::Target, tw, th, zoom, layout_.OffsetX,
                                    layout_.OffsetY, sx, sy, coverDisplayRects_);
            }
            coverCount = coverWindows_.size();
        }
        // The cover tiles begin with copies of the map's own windows and are drawn over the
        // whole picture, so with a cover only the cover picture needs building.
        DrawTargetPicture(painter, buffer, visible, coverCount > 0 ? coverWindows_ : windows);
        if (coverOn) DrawWindowFrames(painter, coverDisplayRects_, coverCount);
    }

    painter.save();
    painter.translate(-sx, -sy);
    DrawTargetLabels(painter);
    painter.restore();
    DrawWindowFrames(painter, displayRects_, windows.size());
    doc_.NeedsRedraw = 0;

    if (zoomChanged_) {
        frame_.Rect = PlaceFrameAfterZoom(selectionPictureRect_, zoom, sx, sy, layout_.OffsetX, layout_.OffsetY);
        frameLogicalRect_ = frame_.Rect.Offset(sx, sy);
    } else {
        FollowFrameLogicalRect();
    }
    frame_.Draw(painter);
    zoomChanged_ = 0;
}

void CRightView::PaintPlaceholder(QPainter& painter, const ViewRect& visible) {
    painter.fillRect(QRect(0, 0, visible.Width(), visible.Height()), QColor::fromRgb(ViewBackgroundRgb));
    if (OverlapsOrTouches(visible, layout_.Picture)) {
        painter.fillRect(pictureRect_.left, pictureRect_.top, pictureRect_.Width(), pictureRect_.Height(),
                         QColor::fromRgb(MissingPictureRgb));
    }
}

void CRightView::DrawTargetPicture(QPainter& painter, QImage& buffer, const ViewRect& visible,
                                   const PlaybackWindows& windows) {
    // Without colour planes the remap makes nothing and nothing is drawn.
    if (!doc_.ColourPlanes.IsPresent()) return;
    const MapFileHead& head = doc_.GetHead();
    const float zoom = doc_.TargetZoom;
    const QPoint origin(pictureRect_.left, pictureRect_.top);
    const QRect screen(0, 0, visible.Width(), visible.Height());

    // Planes the size of the head are drawn trunc(size x zoom) wide, which a whole factor meets
    // exactly; then only the target pixels on screen are built, and shown by repeating pixels.
    if (const int factor = WholeZoomFactor(zoom)) {
        const QRect pictureOnScreen = QRect(origin, QSize(head.TargetWidth * factor, head.TargetHeight * factor));
        painter.save();
        painter.setClipRegion(QRegion(screen).subtracted(QRegion(pictureOnScreen)));
        painter.fillRect(screen, QColor::fromRgb(ViewBackgroundRgb));
        painter.restore();
        const ViewRect area = TargetAreaOnScreen(ViewRect{0, 0, screen.width(), screen.height()}, origin.x(),
                                                 origin.y(), factor, head.TargetWidth, head.TargetHeight);
        if (area.Width() <= 0 || area.Height() <= 0) return;
        // In bands small enough to stay in the cache between building and showing them.
        const int bandRows = std::max(8, BandPixels / area.Width());
        for (int top = area.top; top < area.bottom; top += bandRows) {
            const ViewRect band{area.left, top, area.right, std::min(top + bandRows, area.bottom)};
            ClipWindowsToArea(windows, band, clippedWindows_);
            RemapWindows(doc_.ColourPlanes, clippedWindows_, band.Width(), band.Height(), visiblePlanes_);
            BlitPlanesScaled(visiblePlanes_, factor, buffer,
                             origin + QPoint(band.left * factor, band.top * factor), screen);
        }
        ReleaseTargetPlanes(visiblePlanes_);
        return;
    }

    const int tw = head.TargetWidth;
    const int th = head.TargetHeight;
    const QSize fullSize(static_cast<int>(tw * zoom), static_cast<int>(th * zoom));
    const QRect pictureOnScreen(origin, fullSize);
    painter.save();
    painter.setClipRegion(QRegion(screen).subtracted(QRegion(pictureOnScreen)));
    painter.fillRect(screen, QColor::fromRgb(ViewBackgroundRgb));
    painter.restore();
    const ViewRect& p = layout_.Picture;
    const QRect part = QRect(visible.left - p.left, visible.top - p.top, visible.Width(), visible.Height()) &
                       QRect(QPoint(0, 0), fullSize);
    if (part.isEmpty()) return;
    // Only the target pixels under the part on screen are built, and scaled from the planes by
    // area averaging straight into the view, in bands of view rows whose target pixels stay in
    // the cache between building and scaling them.
    const ViewRect whole = TargetAreaForScaledPart(ViewRect{part.left(), part.top(), part.right() + 1, part.bottom() + 1},
                                                   fullSize.width(), fullSize.height(), tw, th);
    if (whole.Width() <= 0 || whole.Height() <= 0) {
        painter.fillRect(pictureOnScreen, QColor::fromRgb(ViewBackgroundRgb));
        return;
    }
    const long long targetRowsPerBand = std::max(8, BandPixels / whole.Width());
    const int bandRows = static_cast<int>(std::max<long long>(4, targetRowsPerBand * fullSize.height() / th));
    bool scaled = true;
    for (int top = part.top(); top <= part.bottom() && scaled; top += bandRows) {
        const QRect band(part.left(), top, part.width(), std::min(bandRows, part.bottom() + 1 - top));
        const ViewRect area = TargetAreaForScaledPart(
            ViewRect{band.left(), band.top(), band.right() + 1, band.bottom() + 1}, fullSize.width(),
            fullSize.height(), tw, th);
        ClipWindowsToArea(windows, area, clippedWindows_);
        RemapWindows(doc_.ColourPlanes, clippedWindows_, area.Width(), area.Height(), visiblePlanes_);
        scaled = halfStepScaler_.Scale(visiblePlanes_, QPoint(area.left, area.top), QSize(tw, th), fullSize, band,
                                       buffer, origin + band.topLeft());
    }
    if (!scaled) {
        // Zooms below one half: the whole part through a picture of the full target size.
        ClipWindowsToArea(windows, whole, clippedWindows_);
        RemapWindows(doc_.ColourPlanes, clippedWindows_, whole.Width(), whole.Height(), visiblePlanes_);
        if (targetPicture_.size() != QSize(tw, th)) {
            targetPicture_ = QImage(tw, th, QImage::Format_RGB32);
            targetPicture_.fill(QColor::fromRgb(MissingPictureRgb));
        }
        BlitPlanesScaled(visiblePlanes_, 1, targetPicture_, QPoint(whole.left, whole.top), targetPicture_.rect());
        ScaleAreaAverageInto(targetPicture_, targetPicture_.rect(), fullSize, part, scaledPart_);
        painter.drawImage(origin + part.topLeft(), scaledPart_);
    }
    ReleaseTargetPlanes(visiblePlanes_);
}

void CRightView::DrawTargetLabels(QPainter& painter) {
    const MapFileHead& head = doc_.GetHead();
    const ViewRect& p = layout_.Picture;
    // The left labels stand 20 pixels further out than in the Original view.
    DrawCornerLabels(painter, p, head.TargetWidth, head.TargetHeight, 20);
    DrawTitle(painter, viewport()->width() / 2 - 130, 3, QStringLiteral("Target View "));

    const int selected = doc_.SelectedTargetWindow;
    const PlaybackWindows& windows = doc_.GetPlaybackWindows();
    if (selected >= 0 && selected < static_cast<int>(windows.size())) {
        const PlaybackWindow& w = windows[selected];
        const QString text = WindowRectText(w.TargetStartX, w.TargetStartY, w.PlacedWidth, w.PlacedHeight);
        DrawLabel(painter, p.left + (p.right - p.left) / 2, p.top - 40, text);
        ReportStatus(2, QStringLiteral("Target view: ") + text);
    }
}

void CRightView::DrawWindowFrames(QPainter& painter, const std::vector<ViewRect>& rects, std::size_t count) {
    const std::size_t n = std::min(count, rects.size());
    for (std::size_t i = 0; i < n; ++i) {
        const int index = static_cast<int>(i);
        DrawWindowOutline(painter, rects[i], index == doc_.SelectedTargetWindow, CTesselinkDoc::WindowColour(index));
    }
}

}  // namespace tesselink
