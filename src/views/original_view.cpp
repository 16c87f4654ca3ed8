#include "views/original_view.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include "picture/colour_plane_refresh.h"
#include "picture/picture.h"
#include "views/plane_blit.h"
#include "views/view_drawing.h"

#ifndef TESSELINK_DATA_DIR
#define TESSELINK_DATA_DIR "/usr/local/share/tesselink"
#endif

namespace tesselink {
namespace {

const char* const DefaultPictureName = "tesselink.jpg";


}  // namespace

CTesselinkView::CTesselinkView(CTesselinkDoc& doc, MessageBoxes& boxes, QWidget* parent)
    : WindowEditingView(doc, &boxes, PictureViewRole::Original, parent) {
    // Beside the program (the build tree), the data folder of the prefix it was installed under
    // (a package may use another prefix than the build was configured with), the configured one.
    const QString programFolder = QCoreApplication::applicationDirPath();
    defaultFolders_ << programFolder << programFolder + QStringLiteral("/../share/tesselink")
                    << QStringLiteral(TESSELINK_DATA_DIR);
    doc_.SetOriginalView(this);
}

CTesselinkView::~CTesselinkView() {
    if (doc_.GetOriginalView() == this) doc_.SetOriginalView(nullptr);
}

void CTesselinkView::OnInitialUpdate() {
    for (const QString& folder : defaultFolders_) {
        const QString candidate = folder + QLatin1Char('/') + QLatin1String(DefaultPictureName);
        if (QFileInfo(candidate).isFile()) {
            doc_.SetBackgroundPicturePath(candidate.toStdString());
            break;
        }
    }
    viewport()->update();
    SetScrollExtent(QSize(viewport()->width() - 100, 1000));
}

QSize CTesselinkView::PictureSize() const { return {doc_.GetHead().OriginalWidth, doc_.GetHead().OriginalHeight}; }

void CTesselinkView::ComputeLayout(int clientWidth, int clientHeight) {
    const MapFileHead& head = doc_.GetHead();
    const float zoom = doc_.OriginalZoom;
    layout_ = ComputePictureLayout(clientWidth, clientHeight, head.OriginalWidth, head.OriginalHeight, zoom);
    pictureRect_ = layout_.Picture.Offset(-ScrollX(), -ScrollY());
    ComputeDisplayRects(doc_.GetPlaybackWindows(), WindowSide::Original, head.OriginalWidth, head.OriginalHeight,
                        zoom, layout_.OffsetX, layout_.OffsetY, ScrollX(), ScrollY(), displayRects_);
}

void CTesselinkView::ReportMissingPictureOnce(const std::string& path, bool missing) {
    if (!missing) {
        reportedMissingPath_.clear();
        return;
    }
    if (path == reportedMissingPath_) return;
    reportedMissingPath_ = path;
    // Shown after the paint: a modal box inside it would re-enter painting.
    const UserMessage message = PlainMessage(ApplicationCaption,
                                             UnusablePictureLine(path) + "\nplease Select background picture",
                                             MessageOwner::OriginalView);
    QMetaObject::invokeMethod(this, [this, message] { boxes_->Show(message); }, Qt::QueuedConnection);
}

void CTesselinkView::PaintView(QImage& buffer) {
    const MapFileHead& head = doc_.GetHead();
    const int ow = head.OriginalWidth;
    const int oh = head.OriginalHeight;
    const float zoom = doc_.OriginalZoom;
    const int cw = buffer.width();
    const int ch = buffer.height();
    const int sx = ScrollX();
    const int sy = ScrollY();
    const std::string& path = doc_.BackgroundPicturePath();
    const BackgroundPicture& background = doc_.Background();
    const bool exists = background.Exists();

    ReportMissingPictureOnce(path, !path.empty() && !exists);
    if (!background.Refusal().empty())
        ReportStatus(1, QStringLiteral("Original view: ") + QString::fromStdString(background.Refusal()));
    else if (exists && !background.Image().HasBitmap())
        ReportStatus(1, QStringLiteral("Original view: cannot show %1: %2")
                            .arg(QString::fromStdString(path), QString::fromStdString(background.LoadError())));

    ComputeLayout(cw, ch);
    const ViewRect& p = layout_.Picture;

    const Picture& picture = background.Image();
    pictureGeneration_ = background.Generation();
    const ColourPlaneSource& source = background.Source();
    planeOriginX_ = source.OriginX;
    planeOriginY_ = source.OriginY;
    // The crop at the picture's resolution, or the whole picture stretched.
    const ViewRect sourceRect = source.StretchBackground
                                    ? ViewRect{0, 0, picture.Width(), picture.Height()}
                                    : ViewRect{source.OriginX, source.OriginY, source.OriginX + ow, source.OriginY + oh};

    if (zoomChanged_) {
        frame_.Rect = PlaceFrameAfterZoom(selectionPictureRect_, zoom, sx, sy, layout_.OffsetX, layout_.OffsetY);
        frameLogicalRect_ = frame_.Rect.Offset(sx, sy);
    }

    QPainter painter(&buffer);
    const QColor backgroundColour = QColor::fromRgb(ViewBackgroundRgb);
    const QRect pictureOnScreen =
        QRect(pictureRect_.left, pictureRect_.top, pictureRect_.Width(), pictureRect_.Height()) & buffer.rect();
    // What the picture (or its placeholder) covers is not filled first: at most zooms that is
    // the whole view, and filling it cost as much as drawing the picture.
    FillAround(painter, buffer.rect(), pictureOnScreen, backgroundColour);
    QRect painted;
    const ViewRect visible{sx, sy, sx + cw, sy + ch};  // content coordinates
    if (OverlapsOrTouches(visible, p)) {
        if (picture.HasBitmap() && background.Refusal().empty()) {
            painted = DrawPicture(painter, buffer, picture, sourceRect, visible) & pictureOnScreen;
        } else {
            painter.fillRect(pictureOnScreen, QColor::fromRgb(MissingPictureRgb));
            painted = pictureOnScreen;
        }
    }
    if (painted != pictureOnScreen) FillAround(painter, pictureOnScreen, painted, backgroundColour);
    painter.save();
    painter.translate(-sx, -sy);
    DrawLabels(painter);
    painter.restore();

    DrawWindowFrames(buffer);
    if (!zoomChanged_) FollowFrameLogicalRect();
    frame_.Draw(painter);
    zoomChanged_ = 0;
}

QRect CTesselinkView::DrawPicture(QPainter& painter, QImage& buffer, const Picture& picture, const ViewRect& source,
                                  const ViewRect& visible) {
    const ViewRect& p = layout_.Picture;
    const QRect sourceRect(source.left, source.top, source.Width(), source.Height());
    const QSize fullSize(p.Width(), p.Height());
    if (fullSize.isEmpty() || sourceRect.isEmpty()) return QRect();
    const QPoint origin(pictureRect_.left, pictureRect_.top);

    // At a whole-number scale every screen pixel lies inside one picture pixel, so repeating
    // pixels gives exactly the area-averaged picture, with nothing to keep between paints.
    const int factor = fullSize.width() / sourceRect.width();
    if (factor >= 1 && sourceRect.size() * factor == fullSize && picture.Image().format() == QImage::Format_RGB32) {
        if ((sourceRect & picture.Image().rect()) != sourceRect) return QRect();
        BlitImageScaled(picture.Image(), sourceRect, factor, buffer, origin, buffer.rect());
        return QRect(origin, fullSize);
    }
    // Otherwise the picture kept scaled for this zoom; only the part on screen when it is large.
    const QRect part(visible.left - p.left, visible.top - p.top, visible.Width(), visible.Height());
    QPoint partOrigin;
    const QImage& scaled = scaled_.Get(picture.Image(), pictureGeneration_, sourceRect, fullSize, part, partOrigin);
    if (scaled.isNull()) return QRect();
    const QRect pictureOnScreen(origin, fullSize);
    painter.save();
    painter.setClipRect(pictureOnScreen);
    painter.drawImage(origin + partOrigin, scaled);
    painter.restore();
    return QRect(origin + partOrigin, scaled.size()) & pictureOnScreen;
}

void CTesselinkView::DrawLabels(QPainter& painter) {
    const MapFileHead& head = doc_.GetHead();
    const ViewRect& p = layout_.Picture;
    DrawCornerLabels(painter, p, head.OriginalWidth, head.OriginalHeight, 0);

    const ViewRect& frame = frame_.Rect;
    const bool allZero = frame.left == 0 && frame.top == 0 && frame.right == 0 && frame.bottom == 0;
    if (!frame_.IsHidden() && !allZero && frame.Width() != 0 && frame.Height() != 0) {
        const FrameSize size = FrameSizeInPicture(frame, doc_.OriginalZoom);
        DrawLabel(painter, frameLogicalRect_.left + frame.Width() / 2 - 20,
                  frameLogicalRect_.top + frame.Height() / 2 - 5,
                  QStringLiteral("(%1x%2)").arg(size.Width).arg(size.Height));
    }

    DrawTitle(painter, titleStyle_, viewport()->width() / 2 - 130, 3, QStringLiteral("Original View"));

    const int selected = doc_.SelectedOriginalWindow();
    const PlaybackWindows& windows = doc_.GetPlaybackWindows();
    if (selected >= 0 && selected < static_cast<int>(windows.size())) {
        const PlaybackWindow& w = windows[selected];
        const QString text = WindowRectText(w.OriginalStartX, w.OriginalStartY, w.Width, w.Height);
        DrawLabel(painter, p.left + (p.right - p.left) / 2, p.top - 40, text);
        ReportStatus(1, QStringLiteral("Original view: ") + text);
    }
}

void CTesselinkView::DrawWindowFrames(QImage& buffer) {
    const PlaybackWindows& windows = doc_.GetPlaybackWindows();
    const int count = static_cast<int>(std::min(windows.size(), displayRects_.size()));
    for (int i = 0; i < count; ++i) {
        DrawWindowOutline(buffer, displayRects_[i], i == doc_.SelectedOriginalWindow(), CTesselinkDoc::WindowColour(i));
    }
}

// ---- mouse and keys ----

void CTesselinkView::PressAt(int x, int y) {
    ComputeLayoutNow();
    const int count = doc_.WindowCount();
    // First pick: the last window under the point; the Target view follows the selection.
    const int picked = PickWindowAt(x, y, count);
    if (picked >= 0) doc_.SelectWindow(picked);
    const int selected = doc_.SelectedOriginalWindow();
    if (selected >= 0) SnapFrameTo(selected);
    const int hit = frame_.HitTest(x, y);
    if (selected >= 0 && (picked >= 0 || hit != HitNothing)) {
        const PlaybackWindow& w = doc_.GetPlaybackWindows()[static_cast<std::size_t>(selected)];
        const int grip = hit == HitNothing ? HitMiddle : hit;
        BeginWindowGesture(selected, {w.OriginalStartX, w.OriginalStartY, w.OriginalStartX + w.Width, w.OriginalStartY + w.Height},
                           grip == HitMiddle ? FrameEdit::Move : FrameEdit::Resize, EditGesture::Kind::OriginalDrag, grip,
                           x, y);
        return;
    }
    // Select mode: a click on empty area changes nothing, not even the selection.
    if (!DrawMode() || !pictureRect_.Contains(x, y)) return;
    gesture_ = WindowGesture{};
    gesture_.Edit = FrameEdit::NewWindow;
    BeginGesture();
    frame_.BeginRubberBand(x, y);
    KeepTrackedFrame();
}

void CTesselinkView::ShowHoverCursor(int x, int y) {
    const int hit = frame_.HitTest(x, y);
    if (hit == HitNothing && DrawMode() && pictureRect_.Contains(x, y))
        viewport()->setCursor(Qt::CrossCursor);
    else
        ShowCursorForHit(hit);
}

bool CTesselinkView::WindowForTrackedFrame(PlaybackWindow& window) {
    const ViewRect rect = TrackedPictureRect();
    ReportFrameStatus(rect);
    if (gesture_.Index < 0) return false;
    window = FillWindowFromRect(gesture_.Start, rect, false, 0);
    return true;
}

void CTesselinkView::FinishGesture() {
    const bool moved = frame_.Moved();
    const ViewRect band = frame_.Rect;
    const ViewRect rect = TrackedPictureRect();
    frame_.EndTrack();
    WindowEditResult result;
    if (gesture_.Edit == FrameEdit::NewWindow) {
        // A click, or a band without area, adds nothing; the frame goes back to the selection.
        if (moved && band.Width() != 0 && band.Height() != 0 && rect.Width() > 0 && rect.Height() > 0)
            result = doc_.AddWindow(FillWindowFromRect(PlaybackWindow{}, rect, true, pendingMapMode_));
        if (!result.Accepted()) ReportRefusal(result);
    } else {
        CommitGesture(moved, FillWindowFromRect(gesture_.Start, rect, false, 0));
    }
    gesture_ = WindowGesture{};
    EndGesture();
}

void CTesselinkView::NudgeSelected(int dx, int dy) {
    const int index = doc_.SelectedOriginalWindow();
    if (index < 0 || index >= doc_.WindowCount()) return;
    const MapFileHead& head = doc_.GetHead();
    const PlaybackWindow& w = doc_.GetPlaybackWindows()[static_cast<std::size_t>(index)];
    const ViewRect from{w.OriginalStartX, w.OriginalStartY, w.OriginalStartX + w.Width, w.OriginalStartY + w.Height};
    const ViewRect to = NudgeInPicture(from, dx, dy, head.OriginalWidth, head.OriginalHeight);
    if (to == from) return;
    StoreNudge(index, FillWindowFromRect(w, to, false, 0), EditGesture::Kind::OriginalKeys);
}

void CTesselinkView::ReportFrameStatus(const ViewRect& rect) {
    ReportStatus(1, QStringLiteral("Original view: ") + WindowRectText(rect.left, rect.top, rect.Width(), rect.Height()));
}

}  // namespace tesselink
