// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/video_transport_bar.h"

#include <cmath>

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QSlider>
#include <QStyle>
#include <QToolButton>

#include "stage/video_preview.h"

namespace tesselink {

QString VideoTimeText(double seconds) {
    const long long hundredths = std::llround(std::max(0.0, seconds) * 100);
    return QStringLiteral("%1:%2.%3")
        .arg(hundredths / 6000)
        .arg(hundredths / 100 % 60, 2, 10, QLatin1Char('0'))
        .arg(hundredths % 100, 2, 10, QLatin1Char('0'));
}

VideoTransportBar::VideoTransportBar(VideoPreview& preview, QWidget* parent) : QWidget(parent), preview_(preview) {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(4, 2, 4, 2);
    const auto button = [this, row](const char* name, QStyle::StandardPixmap icon, const QString& tip) {
        auto* b = new QToolButton(this);
        b->setObjectName(QLatin1String(name));
        b->setIcon(style()->standardIcon(icon));
        b->setToolTip(tip);
        b->setAutoRaise(true);
        row->addWidget(b);
        return b;
    };
    back_ = button("videoStepBack", QStyle::SP_MediaSkipBackward, QStringLiteral("One frame back (,)"));
    play_ = button("videoPlay", QStyle::SP_MediaPlay, QStringLiteral("Play (Space)"));
    forward_ = button("videoStepForward", QStyle::SP_MediaSkipForward, QStringLiteral("One frame forward (.)"));
    position_ = new QSlider(Qt::Horizontal, this);
    position_->setObjectName("videoPosition");
    position_->setFocusPolicy(Qt::NoFocus);
    row->addWidget(position_, 1);
    time_ = new QLabel(this);
    time_->setObjectName("videoTime");
    row->addWidget(time_);
    loop_ = new QCheckBox(QStringLiteral("Loop"), this);
    loop_->setObjectName("videoLoop");
    row->addWidget(loop_);

    connect(play_, &QToolButton::clicked, &preview_, &VideoPreview::TogglePlay);
    connect(back_, &QToolButton::clicked, &preview_, &VideoPreview::StepBack);
    connect(forward_, &QToolButton::clicked, &preview_, &VideoPreview::StepForward);
    connect(loop_, &QCheckBox::toggled, &preview_, &VideoPreview::SetLoop);
    // Only the user's moves seek; the bar's own updates are blocked.
    connect(position_, &QSlider::sliderMoved, this, &VideoTransportBar::SeekToSlider);
    connect(position_, &QSlider::actionTriggered, this, [this](int action) {
        if (action != QAbstractSlider::SliderMove)
            QMetaObject::invokeMethod(this, &VideoTransportBar::SeekToSlider, Qt::QueuedConnection);
    });
    connect(&preview_, &VideoPreview::openChanged, this, &VideoTransportBar::OnOpenChanged);
    connect(&preview_, &VideoPreview::playingChanged, this, &VideoTransportBar::OnPlayingChanged);
    connect(&preview_, &VideoPreview::frameShown, this, &VideoTransportBar::OnFrameShown);
    OnOpenChanged(preview_.IsOpen());
}

void VideoTransportBar::SeekToSlider() { preview_.SeekToFrame(position_->value()); }

void VideoTransportBar::OnOpenChanged(bool open) {
    const QSignalBlocker blocker(position_);
    const long long count = preview_.FrameCount();
    position_->setRange(0, count > 0 ? static_cast<int>(std::min<long long>(count - 1, 1 << 30)) : 0);
    position_->setValue(0);
    position_->setPageStep(std::max(1, static_cast<int>(std::lround(preview_.FrameRate()))));
    {
        const QSignalBlocker loopBlocker(loop_);
        loop_->setChecked(preview_.Loops());
    }
    OnPlayingChanged(preview_.IsPlaying());
    time_->setText(open ? VideoTimeText(0) : QString());
}

void VideoTransportBar::OnPlayingChanged(bool playing) {
    play_->setIcon(style()->standardIcon(playing ? QStyle::SP_MediaPause : QStyle::SP_MediaPlay));
    play_->setToolTip(playing ? QStringLiteral("Pause (Space)") : QStringLiteral("Play (Space)"));
}

void VideoTransportBar::OnFrameShown(long long index, double seconds) {
    if (!position_->isSliderDown()) {
        const QSignalBlocker blocker(position_);
        position_->setValue(static_cast<int>(std::min<long long>(index, position_->maximum())));
    }
    const long long count = preview_.FrameCount();
    const QString total =
        count > 0 ? QStringLiteral(" / %1").arg(VideoTimeText(count / preview_.FrameRate())) : QString();
    time_->setText(QStringLiteral("%1%2  frame %3").arg(VideoTimeText(seconds), total).arg(index));
}

}  // namespace tesselink
