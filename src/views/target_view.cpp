// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/target_view.h"

#include <algorithm>

#include <QPainter>

#include "exchange/cabling_path.h"
#include "picture/area_scale.h"
#include "picture/colour_plane_refresh.h"
#include "views/plane_blit.h"
#include "views/target_clip.h"
#include "views/view_drawing.h"

namespace tesselink {
namespace {

// The colour of a freshly erased view, under a picture that is not drawn.
constexpr QRgb ErasedBackgroundRgb = 0xFFFFFF;

// Target pixels built and shown at a time.
constexpr int BandPixels = 128 * 1024;

}  // namespace

CRightView::CRightView(CTesselinkDoc& doc, const Backdrop& backdrop, QWidget* parent)
    : WindowEditingView(doc, backdrop, PictureViewRole::Target, parent) {}

tesselink::CoverMode CRightView::CoverMode() const { return CoverModeFromOption(doc_.GetHead().CoverOption); }

void CRightView::OnInitialUpdate() {
    SetScrollExtent(QSize(500, 1000));
    SetScrollPosition(0, 0);
    Relayout();
}

QSize CRightView::PictureSize() const { return {doc_.GetHead().TargetWidth, doc_.GetHead().TargetHeight}; }

void CRightView::RelayoutContent() {
    coverFrames_.clear();
    const MapFileHead& head = doc_.GetHead();
    const PlaybackWindows& windows = doc_.GetPlaybackWindows();
    const tesselink::CoverMode coverMode = CoverMode();
    const tesselink::CoverMode drawn = CoverModeDrawn(coverMode, windows, head, backdrop_.Background().Exists());
    composer_.SetMap(windows, head, drawn);
    if (drawn == tesselink::CoverMode::None) return;
    // Outlines only for the tiles on screen, however many there are.
    const TargetOnScreen screen{Zoom(),    layout_.OffsetX,     layout_.OffsetY,     ScrollX(),
                                ScrollY(), viewport()->width(), viewport()->height()};
    VisibleCoverFrames(windows, head, coverMode == tesselink::CoverMode::Different, screen, coverFrames_);
}

QString CRightView::IdleStatus() const {
    const MapFileHead& head = doc_.GetHead();
    if (const std::string tooLarge = AreaTooLargeText("target", head.TargetWidth, head.TargetHeight); !tooLarge.empty())
        return QStringLiteral("Target view: ") + QString::fromStdString(tooLarge);
    const int current = CurrentWindow();
    const PlaybackWindows& windows = doc_.GetPlaybackWindows();
    if (current >= 0 && current < static_cast<int>(windows.size())) {
        const PlaybackWindow& w = windows[static_cast<std::size_t>(current)];
        return QStringLiteral("Target view: ") +
               WindowRectText(w.TargetStartX, w.TargetStartY, w.PlacedWidth, w.PlacedHeight);
    }
    return QString::fromStdString(composer_.Problem());
}

void CRightView::PaintView(QImage& buffer) {
    const MapFileHead& head = doc_.GetHead();
    const int cw = buffer.width();
    const int ch = buffer.height();
    const int sx = ScrollX();
    const int sy = ScrollY();
    const BackgroundPicture& background = backdrop_.Background();
    const bool exists = background.Exists();
    const PlaybackWindows& windows = doc_.GetPlaybackWindows();

    QPainter painter(&buffer);
    const ViewRect visible{sx, sy, sx + cw, sy + ch};  // content coordinates
    if (!backdrop_.BackgroundPicturePath().empty() && !exists) {
        PaintPlaceholder(painter, visible);
        return;
    }
    // A target too large to hold is never built; the placeholder says where it would be.
    const bool tooLarge = !AreaTooLargeText("target", head.TargetWidth, head.TargetHeight).empty();
    if (windows.empty() || tooLarge) {
        PaintPlaceholder(painter, visible);
    } else if (!exists || !background.Planes().IsPresent()) {
        painter.fillRect(buffer.rect(), QColor::fromRgb(ErasedBackgroundRgb));
    } else {
        DrawTargetPicture(painter, buffer, visible, background.Planes());
        for (const CoverFrame& f : coverFrames_)
            DrawWindowOutline(buffer, f.Rect, f.Index == CurrentWindow(),
                              CTesselinkDoc::WindowColour(static_cast<int>(std::min<long long>(f.Index, 1 << 20))));
    }

    painter.save();
    painter.translate(-sx, -sy);
    DrawTargetLabels(painter);
    painter.restore();
    if (tooLarge) return;
    DrawWindowFrames(buffer);
    if (cablingShown_) DrawCablingOrder(painter);
    DrawToolOverlay(painter);
    frame_.Draw(painter);
}

void CRightView::PaintPlaceholder(QPainter& painter, const ViewRect& visible) {
    painter.fillRect(QRect(0, 0, visible.Width(), visible.Height()), QColor::fromRgb(ViewBackgroundRgb));
    if (OverlapsOrTouches(visible, layout_.Picture)) {
        painter.fillRect(pictureRect_.left, pictureRect_.top, pictureRect_.Width(), pictureRect_.Height(),
                         QColor::fromRgb(MissingPictureRgb));
    }
}

void CRightView::DrawTargetPicture(QPainter& painter, QImage& buffer, const ViewRect& visible,
                                   const ColourPlanes& planes) {
    // Without colour planes the remap makes nothing and nothing is drawn.
    if (!planes.IsPresent()) return;
    const MapFileHead& head = doc_.GetHead();
    const float zoom = Zoom();
    const QPoint origin(pictureRect_.left, pictureRect_.top);
    const QRect screen(0, 0, visible.Width(), visible.Height());

    // Planes the size of the head are drawn trunc(size x zoom) wide, which a whole factor meets
    // exactly; then only the target pixels on screen are built, and shown by repeating pixels.
    if (const int factor = WholeZoomFactor(zoom)) {
        const QRect pictureOnScreen = QRect(origin, QSize(head.TargetWidth * factor, head.TargetHeight * factor));
        FillAround(painter, screen, pictureOnScreen, QColor::fromRgb(ViewBackgroundRgb));
        const ViewRect area = TargetAreaOnScreen(ViewRect{0, 0, screen.width(), screen.height()}, origin.x(),
                                                 origin.y(), factor, head.TargetWidth, head.TargetHeight);
        if (area.Width() <= 0 || area.Height() <= 0) return;
        // In bands small enough to stay in the cache between building and showing them.
        const int bandRows = std::max(8, BandPixels / area.Width());
        for (int top = area.top; top < area.bottom; top += bandRows) {
            const ViewRect band{area.left, top, area.right, std::min(top + bandRows, area.bottom)};
            ComposeTargetArea(planes, band);
            BlitPlanesScaled(visiblePlanes_, factor, buffer, origin + QPoint(band.left * factor, band.top * factor),
                             screen);
        }
        ReleaseTargetPlanes(visiblePlanes_);
        return;
    }

    const int tw = head.TargetWidth;
    const int th = head.TargetHeight;
    const QSize fullSize(static_cast<int>(tw * zoom), static_cast<int>(th * zoom));
    const QRect pictureOnScreen(origin, fullSize);
    FillAround(painter, screen, pictureOnScreen, QColor::fromRgb(ViewBackgroundRgb));
    const ViewRect& p = layout_.Picture;
    const QRect part = QRect(visible.left - p.left, visible.top - p.top, visible.Width(), visible.Height()) &
                       QRect(QPoint(0, 0), fullSize);
    if (part.isEmpty()) return;
    // Only the target pixels under the part on screen are built, and scaled from the planes by
    // area averaging straight into the view, in bands of view rows whose target pixels stay in
    // the cache between building and scaling them.
    const ViewRect whole =
        TargetAreaForScaledPart(ViewRect{part.left(), part.top(), part.right() + 1, part.bottom() + 1},
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
        // Exactly the target pixels the scaler reads: a margin would be remapped for nothing.
        ViewRect area;
        AreaAxisMap::SourceSpan(tw, fullSize.width(), band.left(), band.right() + 1, area.left, area.right);
        AreaAxisMap::SourceSpan(th, fullSize.height(), band.top(), band.bottom() + 1, area.top, area.bottom);
        ComposeTargetArea(planes, area);
        scaled = halfStepScaler_.Scale(visiblePlanes_, QPoint(area.left, area.top), QSize(tw, th), fullSize, band,
                                       buffer, origin + band.topLeft());
    }
    if (!scaled) {
        // Zooms below one half: the whole part through a picture of the full target size.
        ComposeTargetArea(planes, whole);
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

void CRightView::ComposeTargetArea(const ColourPlanes& planes, const ViewRect& area) {
    composer_.ComposeArea(planes, area, visiblePlanes_);
}

void CRightView::DrawTargetLabels(QPainter& painter) {
    const MapFileHead& head = doc_.GetHead();
    const ViewRect& p = layout_.Picture;
    // The left labels stand 20 pixels further out than in the Original view.
    DrawCornerLabels(painter, p, head.TargetWidth, head.TargetHeight, 20);
    DrawTitle(painter, titleStyle_, viewport()->width() / 2 - 130, 3, QStringLiteral("Target View "));

    const int selected = doc_.SelectedTargetWindow();
    const PlaybackWindows& windows = doc_.GetPlaybackWindows();
    if (selected >= 0 && selected < static_cast<int>(windows.size())) {
        const PlaybackWindow& w = windows[selected];
        const QString text = WindowRectText(w.TargetStartX, w.TargetStartY, w.PlacedWidth, w.PlacedHeight);
        DrawLabel(painter, p.left + (p.right - p.left) / 2, p.top - 40, text);
    }
}

void CRightView::DrawWindowFrames(QImage& buffer) {
    const std::size_t n = std::min(doc_.GetPlaybackWindows().size(), displayRects_.size());
    for (std::size_t i = 0; i < n; ++i) {
        const int index = static_cast<int>(i);
        const bool selected = index == CurrentWindow() || doc_.IsSelected(index);
        DrawWindowOutline(buffer, displayRects_[i], selected, CTesselinkDoc::WindowColour(index));
    }
}

void CRightView::SetCablingShown(bool shown) {
    if (shown == cablingShown_) return;
    cablingShown_ = shown;
    viewport()->update();
}

void CRightView::DrawCablingOrder(QPainter& painter) {
    const std::size_t n = std::min(doc_.GetPlaybackWindows().size(), displayRects_.size());
    std::vector<QPointF> centres;
    centres.reserve(n);
    for (std::size_t i = 0; i < n; ++i) {
        const ViewRect& r = displayRects_[i];
        centres.emplace_back((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    }
    DrawCablingPath(painter, centres);
}

}  // namespace tesselink
