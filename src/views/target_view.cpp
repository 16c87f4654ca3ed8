#include "views/target_view.h"

#include <algorithm>

#include <QFileInfo>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include "picture/area_scale.h"
#include "picture/colour_plane_refresh.h"
#include "remap/cover.h"
#include "remap/remap.h"
#include "remap/window_clip.h"
#include "views/plane_blit.h"
#include "views/target_clip.h"
#include "views/view_drawing.h"

namespace tesselink {
namespace {

// The colour of a freshly erased view, under a picture that is not drawn.
constexpr QRgb ErasedBackgroundRgb = 0xFFFFFF;

// Target pixels built and shown at a time.
constexpr int BandPixels = 128 * 1024;


ViewRect PlaceOf(const PlaybackWindow& w) {
    return {w.TargetStartX, w.TargetStartY, w.TargetStartX + w.PlacedWidth, w.TargetStartY + w.PlacedHeight};
}

}  // namespace

CRightView::CRightView(CTesselinkDoc& doc, MessageBoxes& boxes, QWidget* parent) : CRightView(doc, parent) {
    boxes_ = &boxes;
}

CRightView::CRightView(CTesselinkDoc& doc, QWidget* parent)
    : WindowEditingView(doc, nullptr, PictureViewRole::Target, parent) {
    doc_.SetTargetView(this);
}

CRightView::~CRightView() {
    if (doc_.GetTargetView() == this) doc_.SetTargetView(nullptr);
}

tesselink::CoverMode CRightView::CoverMode() const { return CoverModeFromOption(doc_.GetHead().CoverOption); }

void CRightView::OnInitialUpdate() {
    SetScrollExtent(QSize(500, 1000));
    SetScrollPosition(0, 0);
    viewport()->update();
}

QSize CRightView::PictureSize() const { return {doc_.GetHead().TargetWidth, doc_.GetHead().TargetHeight}; }

void CRightView::ComputeLayout(int clientWidth, int clientHeight) {
    const MapFileHead& head = doc_.GetHead();
    const float zoom = doc_.TargetZoom;
    layout_ = ComputePictureLayout(clientWidth, clientHeight, head.TargetWidth, head.TargetHeight, zoom);
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
    const BackgroundPicture& background = doc_.Background();
    const bool exists = background.Exists();
    const PlaybackWindows& windows = doc_.GetPlaybackWindows();
    const tesselink::CoverMode coverMode = CoverMode();

    ComputeLayout(cw, ch);

    QPainter painter(&buffer);
    const ViewRect visible{sx, sy, sx + cw, sy + ch};  // content coordinates
    const bool pictureDrawn = !windows.empty() && exists && background.Planes().IsPresent();
    if (windows.empty()) {
        PaintPlaceholder(painter, visible);
    } else if (!pictureDrawn) {
        painter.fillRect(buffer.rect(), QColor::fromRgb(ErasedBackgroundRgb));
    }
    if (!doc_.BackgroundPicturePath().empty() && !exists) {
        PaintPlaceholder(painter, visible);
        return;
    }
    // A target too large to hold is never built; the placeholder says where it would be.
    if (const std::string tooLarge = AreaTooLargeText("target", tw, th); !tooLarge.empty()) {
        PaintPlaceholder(painter, visible);
        ReportStatus(2, QStringLiteral("Target view: ") + QString::fromStdString(tooLarge));
        return;
    }

    const bool coverOn = coverMode != tesselink::CoverMode::None;
    if (!windows.empty() && exists) {
        std::size_t coverCount = 0;
        if (coverOn) {
            if (BuildCoverWindows(windows, head, coverMode, coverWindows_) == CoverBuild::Filled) {
                ComputeDisplayRects(coverWindows_, WindowSide::Target, tw, th, zoom, layout_.OffsetX,
                                    layout_.OffsetY, sx, sy, coverDisplayRects_);
            }
            coverCount = coverWindows_.size();
            if (coverBlock_.Build(windows, head, coverMode) == CoverBuild::TooLarge)
                ReportStatus(2, QString::fromStdString(CoverTooLargeText(windows)));
            else if (coverBlock_.HasTiles())
                cover_ = &coverBlock_;
        }
        // The cover tiles begin with copies of the map's own windows and are drawn over the
        // whole picture, so with a cover only the cover picture needs building.
        DrawTargetPicture(painter, buffer, visible, background.Planes(), coverCount > 0 ? coverWindows_ : windows);
        cover_ = nullptr;
        if (coverOn) DrawWindowFrames(buffer, coverDisplayRects_, coverCount);
    }

    painter.save();
    painter.translate(-sx, -sy);
    DrawTargetLabels(painter);
    painter.restore();
    DrawWindowFrames(buffer, displayRects_, windows.size());

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
                                   const ColourPlanes& planes, const PlaybackWindows& windows) {
    // Without colour planes the remap makes nothing and nothing is drawn.
    if (!planes.IsPresent()) return;
    const MapFileHead& head = doc_.GetHead();
    const float zoom = doc_.TargetZoom;
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
            RemapTargetArea(planes, windows, band);
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
    FillAround(painter, screen, pictureOnScreen, QColor::fromRgb(ViewBackgroundRgb));
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
        // Exactly the target pixels the scaler reads: a margin would be remapped for nothing.
        ViewRect area;
        AreaAxisMap::SourceSpan(tw, fullSize.width(), band.left(), band.right() + 1, area.left, area.right);
        AreaAxisMap::SourceSpan(th, fullSize.height(), band.top(), band.bottom() + 1, area.top, area.bottom);
        RemapTargetArea(planes, windows, area);
        scaled = halfStepScaler_.Scale(visiblePlanes_, QPoint(area.left, area.top), QSize(tw, th), fullSize, band,
                                       buffer, origin + band.topLeft());
    }
    if (!scaled) {
        // Zooms below one half: the whole part through a picture of the full target size.
        RemapTargetArea(planes, windows, whole);
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

void CRightView::RemapTargetArea(const ColourPlanes& planes, const PlaybackWindows& windows, const ViewRect& area) {
    if (cover_) {
        cover_->RemapArea(planes, area.left, area.top, area.Width(), area.Height(), visiblePlanes_);
        return;
    }
    ClipWindowsToArea(windows, area, clippedWindows_);
    RemapWindows(planes, clippedWindows_, area.Width(), area.Height(), visiblePlanes_);
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
        ReportStatus(2, QStringLiteral("Target view: ") + text);
    }
}

void CRightView::DrawWindowFrames(QImage& buffer, const std::vector<ViewRect>& rects, std::size_t count) {
    const std::size_t n = std::min(count, rects.size());
    for (std::size_t i = 0; i < n; ++i) {
        const int index = static_cast<int>(i);
        DrawWindowOutline(buffer, rects[i], index == doc_.SelectedTargetWindow(), CTesselinkDoc::WindowColour(index));
    }
}

// ---- mouse and keys: only the target start changes here ----

void CRightView::PressAt(int x, int y) {
    ComputeLayoutNow();
    int selected = doc_.SelectedTargetWindow();
    if (selected >= 0) SnapFrameTo(selected);
    // The frame first: a press on it keeps the window it is on, even under a later window.
    int hit = frame_.HitTest(x, y);
    if (hit == HitNothing || selected < 0) {
        const int picked = PickWindowAt(x, y, doc_.WindowCount());
        if (picked >= 0) {
            doc_.SelectWindow(picked);
            selected = picked;
            SnapFrameTo(selected);
            hit = frame_.HitTest(x, y);
        }
    }
    // Places are moved by the inside only; they are never resized here.
    if (selected < 0 || selected >= doc_.WindowCount() || hit != HitMiddle) return;
    BeginWindowGesture(selected, PlaceOf(doc_.GetPlaybackWindows()[static_cast<std::size_t>(selected)]),
                       FrameEdit::Move, EditGesture::Kind::TargetDrag, HitMiddle, x, y);
}

PlaybackWindow CRightView::ProposedWindow() const {
    const ViewRect place = TrackedPictureRect();
    PlaybackWindow w = gesture_.Start;
    w.TargetStartX = static_cast<std::uint16_t>(place.left);
    w.TargetStartY = static_cast<std::uint16_t>(place.top);
    return w;
}

void CRightView::ShowHoverCursor(int x, int y) {
    // Only the inside does something here, so only the inside shows a cursor of its own.
    ShowCursorForHit(frame_.HitTest(x, y) == HitMiddle ? HitMiddle : HitNothing);
}

bool CRightView::WindowForTrackedFrame(PlaybackWindow& window) {
    window = ProposedWindow();
    ReportStatus(2, QStringLiteral("Target view: ") +
                        WindowRectText(window.TargetStartX, window.TargetStartY, window.PlacedWidth, window.PlacedHeight));
    return true;
}

void CRightView::FinishGesture() {
    const bool moved = frame_.Moved();
    const PlaybackWindow w = ProposedWindow();
    frame_.EndTrack();
    CommitGesture(moved, w);
    gesture_ = WindowGesture{};
    EndGesture();
}

void CRightView::NudgeSelected(int dx, int dy) {
    const int index = doc_.SelectedTargetWindow();
    if (index < 0 || index >= doc_.WindowCount()) return;
    const MapFileHead& head = doc_.GetHead();
    PlaybackWindow w = doc_.GetPlaybackWindows()[static_cast<std::size_t>(index)];
    const ViewRect from = PlaceOf(w);
    const ViewRect to = NudgeInPicture(from, dx, dy, head.TargetWidth, head.TargetHeight);
    if (to == from) return;
    w.TargetStartX = static_cast<std::uint16_t>(to.left);
    w.TargetStartY = static_cast<std::uint16_t>(to.top);
    StoreNudge(index, w, EditGesture::Kind::TargetKeys);
}

}  // namespace tesselink
