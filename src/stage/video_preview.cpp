// SPDX-License-Identifier: GPL-3.0-or-later
#include "stage/video_preview.h"

#include <algorithm>
#include <cmath>

#include <QTimer>

#include "document/tesselink_doc.h"
#include "picture/background_picture.h"
#include "picture/colour_plane_refresh.h"
#include "video/frame_planes.h"
#include "video/video_path.h"
#include "stage/backdrop.h"

namespace tesselink {
namespace {

// Frames decoded ahead of the one on screen: enough to ride out a slow paint or
// a key frame.
constexpr int PumpDepth = 4;
// A stream that states no frame rate is played at this one.
constexpr double FallbackFrameRate = 25.0;

}  // namespace

VideoPreview::VideoPreview(const CTesselinkDoc& doc, Backdrop& backdrop, QObject* parent)
    : QObject(parent), doc_(doc), backdrop_(backdrop), timer_(new QTimer(this)) {
    timer_->setTimerType(Qt::PreciseTimer);
    connect(timer_, &QTimer::timeout, this, &VideoPreview::Tick);
    connect(&doc_, &CTesselinkDoc::changed, this, &VideoPreview::OnDocumentChanged);
}

VideoPreview::~VideoPreview() {
    timer_->stop();
    pump_.reset();
}

const VideoInfo& VideoPreview::Info() const {
    static const VideoInfo none;
    return pump_ ? pump_->Info() : none;
}

double VideoPreview::FrameRate() const {
    const double rate = Info().FrameRate();
    return rate > 0 ? rate : FallbackFrameRate;
}

long long VideoPreview::FrameCount() const {
    const VideoInfo& info = Info();
    if (!pump_) return -1;
    if (info.FrameCount > 0) return info.FrameCount;
    if (info.Duration > 0) return std::max(1LL, std::llround(info.Duration * FrameRate()));
    return -1;
}

bool VideoPreview::Open(const std::string& path, std::string* why) {
    const MapFileHead& head = doc_.GetHead();
    const std::string tooLarge = AreaTooLargeText("original", head.OriginalWidth, head.OriginalHeight);
    if (!tooLarge.empty()) {
        if (why) *why = tooLarge;
        return false;
    }
    auto decoder = std::make_unique<VideoDecoder>();
    if (!decoder->Open(path, why)) return false;

    Close();
    path_ = path;
    originalWidth_ = head.OriginalWidth;
    originalHeight_ = head.OriginalHeight;
    pump_ = std::make_unique<VideoFramePump>(std::move(decoder), originalWidth_, originalHeight_, PumpDepth);
    // A few checks a frame, so that a frame is shown within a fraction of its
    // time after it is due.
    timer_->setInterval(std::clamp(static_cast<int>(1000.0 / FrameRate() / 4), 2, 10));
    current_ = -1;
    currentTime_ = 0;
    atEnd_ = false;
    Await(0);
    emit openChanged(true);
    return true;
}

void VideoPreview::Close() {
    if (!pump_) return;
    SetPlaying(false);
    timer_->stop();
    pump_.reset();
    path_.clear();
    awaited_ = -1;
    current_ = -1;
    currentTime_ = 0;
    backdrop_.EndVideoFrames();
    emit statisticsChanged(QString());
    emit openChanged(false);
}

// ---- transport ----

void VideoPreview::Play() {
    if (!pump_ || playing_) return;
    if (atEnd_) Await(0);
    SetPlaying(true);
    RestartClock();
    shown_ = dropped_ = 0;
    statsShown_ = 0;
    achievedRate_ = 0;
    statsClock_.start();
    timer_->start();
}

void VideoPreview::Pause() {
    SetPlaying(false);
    if (awaited_ < 0) timer_->stop();
    UpdateStatistics(true);
}

void VideoPreview::TogglePlay() {
    if (playing_)
        Pause();
    else
        Play();
}

void VideoPreview::SetLoop(bool loop) { loop_ = loop; }

void VideoPreview::StepForward() {
    if (!pump_) return;
    Pause();
    // The frames after the one on screen are already coming in order; no seek is
    // needed, unless a seek is still on its way.
    const long long base = awaited_ >= 0 ? awaited_ : current_;
    if (awaited_ >= 0) {
        SeekToFrame(base + 1);
        return;
    }
    if (atEnd_) return;
    awaited_ = base + 1;
    timer_->start();
    Tick();
}

void VideoPreview::StepBack() {
    if (!pump_) return;
    Pause();
    const long long base = awaited_ >= 0 ? awaited_ : current_;
    if (base <= 0) return;
    SeekToFrame(base - 1);
}

void VideoPreview::SeekToFrame(long long index) {
    if (!pump_) return;
    const long long count = FrameCount();
    if (count > 0) index = std::min(index, count - 1);
    Await(std::max(0LL, index));
}

void VideoPreview::Await(long long index) {
    pump_->Seek(index);
    awaited_ = index;
    atEnd_ = false;
    timer_->start();
}

void VideoPreview::SetPlaying(bool playing) {
    if (playing == playing_) return;
    playing_ = playing;
    emit playingChanged(playing);
}

void VideoPreview::RestartClock() {
    clockFrame_ = std::max(0LL, current_);
    clock_.start();
}

// ---- the timer ----

void VideoPreview::Tick() {
    if (!pump_) {
        timer_->stop();
        return;
    }
    if (awaited_ >= 0) {
        if (!TakeAwaited()) return;
        if (playing_) RestartClock();
    }
    if (!playing_) {
        timer_->stop();
        return;
    }
    TakeDue();
    UpdateStatistics(false);
}

bool VideoPreview::TakeAwaited() {
    for (;;) {
        std::unique_ptr<PumpedFrame> frame;
        std::string why;
        switch (pump_->TryPop(frame, &why)) {
        case VideoFramePump::Result::Empty: return false;
        case VideoFramePump::Result::Frame:
            // Frames before the one asked for come from the key frame before it.
            if (frame->Index < awaited_) {
                pump_->Recycle(std::move(frame));
                continue;
            }
            awaited_ = -1;
            Show(std::move(frame));
            return true;
        case VideoFramePump::Result::End:
            // Past the last frame: the last one shown stays.
            awaited_ = -1;
            atEnd_ = true;
            SetPlaying(false);
            return true;
        case VideoFramePump::Result::Error: Fail(why); return true;
        }
    }
}

void VideoPreview::TakeDue() {
    const long long due = clockFrame_ + static_cast<long long>(clock_.nsecsElapsed() * 1e-9 * FrameRate());
    if (current_ >= due) return;
    // The newest frame that is due; those before it are never shown.
    std::unique_ptr<PumpedFrame> latest;
    for (;;) {
        std::unique_ptr<PumpedFrame> frame;
        std::string why;
        const VideoFramePump::Result result = pump_->TryPop(frame, &why);
        if (result == VideoFramePump::Result::Frame) {
            if (latest) {
                ++dropped_;
                pump_->Recycle(std::move(latest));
            }
            latest = std::move(frame);
            if (latest->Index >= due) break;
            continue;
        }
        if (result == VideoFramePump::Result::Error) {
            if (latest) Show(std::move(latest));
            Fail(why);
            return;
        }
        if (result == VideoFramePump::Result::End && !latest) {
            if (loop_) {
                Await(0);
            } else {
                atEnd_ = true;
                Pause();
            }
            return;
        }
        break;  // nothing more ready yet (or the end comes after the latest)
    }
    if (latest) Show(std::move(latest));
}

void VideoPreview::Show(std::unique_ptr<PumpedFrame> frame) {
    // A frame made for an original size that changed since is not the map's.
    if (frame->Planes.Width() != originalWidth_ || frame->Planes.Height() != originalHeight_) {
        pump_->Recycle(std::move(frame));
        return;
    }
    backdrop_.ShowVideoFrame(frame->Planes);
    current_ = frame->Index;
    currentTime_ = frame->Time;
    pump_->Recycle(std::move(frame));  // it holds the previous frame's planes now
    ++shown_;
    emit frameShown(current_, currentTime_);
}

void VideoPreview::UpdateStatistics(bool force) {
    if (!statsClock_.isValid()) return;
    const qint64 elapsed = statsClock_.elapsed();
    if (!force && elapsed < 1000) return;
    if (elapsed > 0 && shown_ > statsShown_) achievedRate_ = (shown_ - statsShown_) * 1000.0 / elapsed;
    statsShown_ = shown_;
    statsClock_.restart();
    emit statisticsChanged(QStringLiteral("%1 fps, %2 dropped").arg(achievedRate_, 0, 'f', 2).arg(dropped_));
}

void VideoPreview::Fail(const std::string& why) {
    awaited_ = -1;
    SetPlaying(false);
    timer_->stop();
    emit failed(QString::fromStdString(why));
}

// ---- the map's original size ----

void VideoPreview::OnDocumentChanged(const MapChange& change) {
    if (!pump_ || (change.What != MapChange::Kind::Head && change.What != MapChange::Kind::MapReplaced)) return;
    const MapFileHead& head = doc_.GetHead();
    if (head.OriginalWidth == originalWidth_ && head.OriginalHeight == originalHeight_) return;
    const std::string tooLarge = AreaTooLargeText("original", head.OriginalWidth, head.OriginalHeight);
    if (!tooLarge.empty()) {
        const std::string reason = tooLarge;
        Close();
        emit failed(QString::fromStdString(reason));
        return;
    }
    originalWidth_ = head.OriginalWidth;
    originalHeight_ = head.OriginalHeight;
    // The frame on screen again at the new size; playing goes on from it.
    pump_->SetOriginalSize(originalWidth_, originalHeight_);
    Await(std::max(0LL, current_));
}

// ---- a still ----

bool VideoPreview::GrabFullFrame(QImage& image, std::string* why) const {
    if (!pump_ || current_ < 0) {
        if (why) *why = "no frame is shown";
        return false;
    }
    VideoDecoder decoder;
    if (!decoder.Open(path_, why)) return false;
    const VideoDecoder::Step step = decoder.SeekToFrame(current_, why);
    if (step != VideoDecoder::Step::Frame) {
        if (step == VideoDecoder::Step::End && why) *why = "the frame is no longer in the file";
        return false;
    }
    const VideoInfo& info = decoder.Info();
    ColourPlanes planes;
    FramePlanesConverter converter;
    if (!converter.Convert(*decoder.Frame(), info.Width, info.Height, info.Width, info.Height, planes, why))
        return false;
    PlanesToImage(planes, image);
    if (image.isNull()) {
        if (why) *why = "not enough memory";
        return false;
    }
    return true;
}

}  // namespace tesselink
