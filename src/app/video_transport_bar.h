// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The transport bar under the views while a video is open: play/pause, a frame
// back and forward, the position (a slider and the time), and looping.

#include <QString>
#include <QWidget>

class QCheckBox;
class QLabel;
class QSlider;
class QToolButton;

namespace tesselink {

class VideoPreview;

// "1:02.50": minutes, seconds and hundredths.
QString VideoTimeText(double seconds);

class VideoTransportBar : public QWidget {
    Q_OBJECT
public:
    explicit VideoTransportBar(VideoPreview& preview, QWidget* parent = nullptr);

    QToolButton* PlayButton() const { return play_; }
    QToolButton* StepBackButton() const { return back_; }
    QToolButton* StepForwardButton() const { return forward_; }
    QSlider* PositionSlider() const { return position_; }
    QLabel* TimeLabel() const { return time_; }
    QCheckBox* LoopBox() const { return loop_; }

private:
    void OnOpenChanged(bool open);
    void OnPlayingChanged(bool playing);
    void OnFrameShown(long long index, double seconds);
    void SeekToSlider();

    VideoPreview& preview_;
    QToolButton* play_ = nullptr;
    QToolButton* back_ = nullptr;
    QToolButton* forward_ = nullptr;
    QSlider* position_ = nullptr;
    QLabel* time_ = nullptr;
    QCheckBox* loop_ = nullptr;
};

}  // namespace tesselink
