// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/original_view.h"

#include <QPainter>

#include "picture/background_picture.h"
#include "picture/picture.h"
#include "views/plane_blit.h"
#include "views/view_drawing.h"

namespace tesselink {

CTesselinkView::CTesselinkView(CTesselinkDoc& doc, const Backdrop& backdrop, MessageBoxes* boxes, QWidget* parent)
    : WindowEditingView(doc, backdrop, PictureViewRole::Original, parent), boxes_(boxes) {}

void CTesselinkView::OnInitialUpdate() {
    SetScrollExtent(QSize(viewport()->width() - 100, 1000));
    Relayout();
}

QSize CTesselinkView::PictureSize() const { return {doc_.GetHead().OriginalWidth, doc_.GetHead().OriginalHeight}; }

void CTesselinkView::RelayoutContent() { ReportMissingPictureOnce(); }

QString CTesselinkView::IdleStatus() const {
    const int current = CurrentWindow();
    const PlaybackWindows& windows = doc_.GetPlaybackWindows();
    if (current >= 0 && current < static_cast<int>(windows.size())) {
        const PlaybackWindow& w = windows[static_cast<std::size_t>(current)];
        return QStringLiteral("Original view: ") +
               WindowRectText(w.OriginalStartX, w.OriginalStartY, w.Width, w.Height);
    }
    const BackgroundPicture& background = backdrop_.Background();
    if (!background.Refusal().empty())
        return QStringLiteral("Original view: ") + QString::fromStdString(background.Refusal());
    if (background.Exists() && !background.Image().HasBitmap())
        return QStringLiteral("Original view: cannot show %1: %2")
            .arg(QString::fromStdString(backdrop_.BackgroundPicturePath()),
                 QString::fromStdString(background.LoadError()));
    return QString();
}

void CTesselinkView::ReportMissingPictureOnce() {
    const std::string& path = backdrop_.BackgroundPicturePath();
    // The file's own state, also while the lineup is shown; a picture still decoding is there.
    if (path.empty() || backdrop_.BackgroundFile().Exists() || backdrop_.PictureLoading()) {
        reportedMissingPath_.clear();
        return;
    }
    if (path == reportedMissingPath_ || boxes_ == nullptr) return;
    reportedMissingPath_ = path;
    // Shown once the current event is over: a modal box inside a relayout would re-enter it.
    const UserMessage message =
        PlainMessage(ApplicationCaption, UnusablePictureLine(path) + "\nplease Select background picture",
                     MessageOwner::OriginalView);
    QMetaObject::invokeMethod(
        this, [this, message] { boxes_->Show(message); }, Qt::QueuedConnection);
}

void CTesselinkView::PaintView(QImage& buffer) {
    const MapFileHead& head = doc_.GetHead();
    const int ow = head.OriginalWidth;
    const int oh = head.OriginalHeight;
    const int cw = buffer.width();
    const int ch = buffer.height();
    const int sx = ScrollX();
    const int sy = ScrollY();
    const BackgroundPicture& background = backdrop_.Background();
    const ViewRect& p = layout_.Picture;

    const Picture& picture = background.Image();
    const ColourPlaneSource& source = background.Source();
    // The crop at the picture's resolution, or the whole picture stretched.
    const ViewRect sourceRect =
        source.StretchBackground ? ViewRect{0, 0, picture.Width(), picture.Height()}
                                 : ViewRect{source.OriginX, source.OriginY, source.OriginX + ow, source.OriginY + oh};

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
    DrawToolOverlay(painter);
    frame_.Draw(painter);
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
    const QImage& scaled =
        scaled_.Get(picture.Image(), backdrop_.Background().Generation(), sourceRect, fullSize, part, partOrigin);
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
        const FrameSize size = FrameSizeInPicture(frame, Zoom());
        const ViewRect logical = FrameLogicalRect();
        DrawLabel(painter, logical.left + frame.Width() / 2 - 20, logical.top + frame.Height() / 2 - 5,
                  QStringLiteral("(%1x%2)").arg(size.Width).arg(size.Height));
    }

    DrawTitle(painter, titleStyle_, viewport()->width() / 2 - 130, 3, QStringLiteral("Original View"));

    const int selected = doc_.SelectedOriginalWindow();
    const PlaybackWindows& windows = doc_.GetPlaybackWindows();
    if (selected >= 0 && selected < static_cast<int>(windows.size())) {
        const PlaybackWindow& w = windows[selected];
        const QString text = WindowRectText(w.OriginalStartX, w.OriginalStartY, w.Width, w.Height);
        DrawLabel(painter, p.left + (p.right - p.left) / 2, p.top - 40, text);
    }
}

void CTesselinkView::DrawWindowFrames(QImage& buffer) {
    const PlaybackWindows& windows = doc_.GetPlaybackWindows();
    const int count = static_cast<int>(std::min(windows.size(), displayRects_.size()));
    for (int i = 0; i < count; ++i) {
        const bool selected = i == doc_.SelectedOriginalWindow() || doc_.IsSelected(i);
        DrawWindowOutline(buffer, displayRects_[i], selected, CTesselinkDoc::WindowColour(i));
    }
}

}  // namespace tesselink
