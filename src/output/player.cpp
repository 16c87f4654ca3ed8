// SPDX-License-Identifier: GPL-3.0-or-later
#include "output/player.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include <QTimer>

#include "output/output_window.h"
#include "picture/no_signal_card.h"
#include "video/video_decoder.h"

namespace tesselink {

struct Player::Output {
    OutputWindow* Window = nullptr;
    TargetComposer Composer;
    ColourPlanes Still;  // a still source as this output shows it
    PlayStatistics Statistics;
    std::string Name;
};

Player::Player(QObject* parent) : QObject(parent), timer_(new QTimer(this)), statsTimer_(new QTimer(this)) {
    timer_->setSingleShot(true);
    timer_->setTimerType(Qt::PreciseTimer);
    connect(timer_, &QTimer::timeout, this, &Player::Tick);
    statsTimer_->setInterval(1000);
    connect(statsTimer_, &QTimer::timeout, this, &Player::PrintStatistics);
}

Player::~Player() {
    if (pump_) pump_->Stop();
}

bool Player::AddOutput(const Map& map, CoverMode coverMode, OutputWindow* window, std::string* why) {
    auto output = std::make_unique<Output>();
    output->Window = window;
    if (!output->Composer.SetMap(map.Windows, map.Head, coverMode)) {
        if (why) *why = output->Composer.Problem();
        return false;
    }
    output->Name = std::to_string(outputs_.size() + 1);
    connect(window, &OutputWindow::frameWanted, this, [this, window] { Represent(window); });
    outputs_.push_back(std::move(output));
    return true;
}

void Player::RemoveOutput(OutputWindow* window) {
    outputs_.erase(std::remove_if(outputs_.begin(), outputs_.end(),
                                  [window](const std::unique_ptr<Output>& o) { return o->Window == window; }),
                   outputs_.end());
}

void Player::ComposeAll(const ColourPlanes& planes, Output* only) {
    for (auto& output : outputs_) {
        if (only != nullptr && output.get() != only) continue;
        TargetComposer& composer = output->Composer;
        const QSize size(composer.TargetWidth(), composer.TargetHeight());
        if (!planes.IsPresent()) {
            output->Window->Clear();
            continue;
        }
        output->Window->Present(size, [&composer, &planes](std::uint32_t* words, std::ptrdiff_t stride) {
            return composer.ComposeWholeInto(planes, words, stride);
        });
    }
}

void Player::ShowStill(const ColourPlanes& planes) {
    for (int i = 0; i < OutputCount(); ++i) ShowStillOn(i, planes);
}

void Player::ShowStillOn(int output, const ColourPlanes& planes) {
    Output& o = *outputs_.at(static_cast<std::size_t>(output));
    o.Still = planes;
    ComposeAll(o.Still, &o);
    o.Statistics.Shown(0);
}

void Player::Represent(OutputWindow* window) {
    for (auto& output : outputs_) {
        if (output->Window != window) continue;
        if (live_) {
            ComposeAll(cardShown_ || !liveFrame_ ? card_ : liveFrame_->Planes, output.get());
            continue;
        }
        ComposeAll(shown_ ? shown_->Planes : output->Still, output.get());
    }
}

void Player::PlayVideo(std::unique_ptr<VideoDecoder> decoder, int originalWidth, int originalHeight, bool loop) {
    info_ = decoder->Info();
    loop_ = loop;
    // Two frames ahead: enough to ride out a slow frame, few enough that a frame waits little.
    pump_ = std::make_unique<VideoFramePump>(std::move(decoder), originalWidth, originalHeight, 2);
    pump_->Seek(0);
    Schedule(0);
}

void Player::PlayVideoOnClock(std::unique_ptr<VideoDecoder> decoder, int originalWidth, int originalHeight, bool loop,
                              double start) {
    info_ = decoder->Info();
    loop_ = loop;
    clocked_ = true;
    clockStart_ = start;
    passFrames_ = info_.FrameCount > 0 ? info_.FrameCount : 0;
    pump_ = std::make_unique<VideoFramePump>(std::move(decoder), originalWidth, originalHeight, 2);
    FollowClock();
    const double elapsed = SystemSeconds() - clockStart_;
    SeekToClock(elapsed);
    Schedule(0);
}

double Player::SystemSeconds() {
    return std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch()).count();
}

void Player::FollowClock() {
    // Source time 0 of this pass is due at the clock's start; the steady clock paces, the
    // system clock decides where it points.
    const auto steadyNow = FramePacer::Clock::now();
    const double fromStart = clockStart_ - SystemSeconds();
    pacer_.StartAt(steadyNow +
                   std::chrono::duration_cast<FramePacer::Clock::duration>(std::chrono::duration<double>(fromStart)));
}

void Player::SeekToClock(double elapsed) {
    const ClockPosition at =
        FrameOnClock(elapsed, info_.FrameRate() > 0 ? info_.FrameRate() : 25.0, passFrames_, loop_);
    loopOffset_ = at.PassStart;
    const long long frame = at.Frame;
    if (pending_) pump_->Recycle(std::move(pending_));
    if (next_) pump_->Recycle(std::move(next_));
    ended_ = false;
    pump_->Seek(frame);
}

void Player::EnableStatistics(bool on) {
    if (on)
        statsTimer_->start();
    else
        statsTimer_->stop();
}

void Player::Schedule(int milliseconds) { timer_->start(std::max(0, milliseconds)); }

bool Player::Fetch(std::unique_ptr<PumpedFrame>& slot) {
    if (ended_ || !pump_) return false;
    std::string why;
    const VideoFramePump::Result result = pump_->TryPop(slot, &why);
    if (result == VideoFramePump::Result::Empty) return false;
    if (result == VideoFramePump::Result::Frame) {
        // A video's own time stamps pace it (variable rates included); on the clock frame n is
        // due at n / rate, as every player counts it.
        slot->Time = (clocked_ ? slot->Time : slot->Stamp) + loopOffset_;
        lastTime_ = slot->Time;
        return true;
    }
    if (result == VideoFramePump::Result::Error) {
        failed_ = true;
        std::fprintf(stderr, "tesselink: the video stopped after frame %lld: %s; the last good frame stays\n",
                     std::max(0LL, shownFrame_), why.c_str());
    }
    const double frameLength = info_.FrameRate() > 0 ? 1.0 / info_.FrameRate() : 0.04;
    if (loop_ && shownFrame_ >= 0) {
        // The next pass begins one frame length after the last frame of this one (on the clock:
        // exactly one pass of the stated frames later, as every player counts it).
        loopOffset_ = clocked_ && passFrames_ > 0 && info_.FrameRate() > 0
                          ? loopOffset_ + static_cast<double>(passFrames_) / info_.FrameRate()
                          : lastTime_ + frameLength;
        pump_->Seek(0);
        return false;
    }
    ended_ = true;
    if (failed_) {
        // Ends when the video would have: at its stated length, or now.
        const double end = info_.Duration > 0 ? info_.Duration + loopOffset_ : lastTime_;
        const auto wait =
            std::chrono::duration_cast<std::chrono::milliseconds>(pacer_.DueAt(end) - FramePacer::Clock::now());
        QTimer::singleShot(static_cast<int>(std::max<long long>(0, wait.count())), this, [this] { emit finished(1); });
    }
    return false;
}

void Player::PlayLive(std::unique_ptr<LiveSource> source, int originalWidth, int originalHeight) {
    live_ = std::move(source);
    std::string why;
    if (!BuildNoSignalCard(card_, originalWidth, originalHeight, live_->Address().Text, &why))
        std::fprintf(stderr, "tesselink: cannot draw the \"No signal\" card: %s\n", why.c_str());
    live_->Start();
    Schedule(0);
}

void Player::LiveTick() {
    const LiveSourceStatus status = live_->Status();
    if (live_->TakeFrame(liveFrame_)) {
        for (auto& output : outputs_) {
            ComposeAll(liveFrame_->Planes, output.get());
            const auto presented = FramePacer::Clock::now();
            output->Statistics.Shown(
                std::max(0.0, std::chrono::duration<double, std::milli>(presented - liveFrame_->Arrival).count()));
        }
        cardShown_ = false;
    } else if (status.Signal != LiveSignal::Live && !cardShown_ && (status.Signal == LiveSignal::None || !liveFrame_)) {
        ComposeAll(card_);
        cardShown_ = true;
    }
    if (status.Dropped > liveDropped_) {
        for (auto& output : outputs_) output->Statistics.Dropped(status.Dropped - liveDropped_);
        liveDropped_ = status.Dropped;
    }
    if (status.Signal != liveSignal_ && status.Signal != LiveSignal::Waiting) {
        if (status.Signal == LiveSignal::None)
            std::fprintf(stderr, "tesselink: no signal from %s: %s; it is opened again every second\n",
                         live_->Address().Text.c_str(), status.Reason.c_str());
        else if (liveSignal_ == LiveSignal::None)
            std::fprintf(stderr, "tesselink: the signal from %s is back\n", live_->Address().Text.c_str());
        liveSignal_ = status.Signal;
    }
    Schedule(2);  // the newest frame goes out at most 2 ms after it is ready
}

void Player::Tick() {
    if (live_) {
        LiveTick();
        return;
    }
    if (clocked_) FollowClock();
    for (;;) {
        if (!pending_ && !Fetch(pending_)) break;
        if (!next_) Fetch(next_);
        const auto now = FramePacer::Clock::now();
        if (clocked_) {
            // More than a second off: the clock jumped; find the frame due instead of
            // dropping or waiting through everything between.
            const double off = std::chrono::duration<double>(now - pacer_.DueAt(pending_->Time)).count();
            if (off > 1.0 || off < -1.0) {
                SeekToClock(SystemSeconds() - clockStart_);
                Schedule(1);
                return;
            }
        }
        const std::optional<double> nextTime = next_ ? std::optional<double>(next_->Time) : std::nullopt;
        const FramePacer::Verdict verdict = pacer_.Judge(pending_->Time, nextTime, now);
        if (verdict == FramePacer::Verdict::Wait) {
            const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(pacer_.DueAt(pending_->Time) - now);
            Schedule(static_cast<int>(wait.count()));
            return;
        }
        if (verdict == FramePacer::Verdict::Drop) {
            for (auto& output : outputs_) output->Statistics.Dropped();
            pump_->Recycle(std::move(pending_));
        } else {
            Present(*pending_);
            if (shown_) pump_->Recycle(std::move(shown_));
            shown_ = std::move(pending_);
        }
        pending_ = std::move(next_);
    }
    if (!ended_) Schedule(2);  // the decoder is behind: look again soon
}

void Player::Present(PumpedFrame& frame) {
    const auto due = pacer_.DueAt(frame.Time);
    const auto ready = std::max(due, frame.DecodedAt);
    for (auto& output : outputs_) {
        ComposeAll(frame.Planes, output.get());
        // A damaged frame is shown as the decoder made it, and counted.
        if (frame.Damaged) output->Statistics.Damaged();
        const auto presented = FramePacer::Clock::now();
        output->Statistics.Shown(std::max(0.0, std::chrono::duration<double, std::milli>(presented - ready).count()));
    }
    shownFrame_ = frame.Index;
}

void Player::PrintStatistics() {
    std::string liveText;
    double liveRate = 0;
    if (live_) {
        const LiveSourceStatus status = live_->Status();
        liveRate = status.SourceRate;
        liveText = std::string(", ") + LiveSignalName(status.Signal);
        if (status.Signal == LiveSignal::None) liveText += " (" + status.Reason + ")";
        if (status.Signal == LiveSignal::Live && liveFrame_ && liveFrame_->SourceTime >= 0) {
            char stamp[64];
            std::snprintf(stamp, sizeof stamp, ", source time %.3f s", liveFrame_->SourceTime);
            liveText += stamp;
        }
        if (status.Refused > 0) liveText += ", refused " + std::to_string(status.Refused);
    }
    for (auto& output : outputs_) {
        const std::string line = output->Statistics.Line(pump_ ? info_.FrameRate() : liveRate) + liveText;
        if (outputs_.size() == 1)
            std::fprintf(stderr, "tesselink: %s\n", line.c_str());
        else
            std::fprintf(stderr, "tesselink: output %s: %s, frame %lld\n", output->Name.c_str(), line.c_str(),
                         shownFrame_);
    }
    std::fflush(stderr);
}

}  // namespace tesselink
