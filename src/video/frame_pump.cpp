// SPDX-License-Identifier: GPL-3.0-or-later
#include "video/frame_pump.h"

#include "video/frame_planes.h"

namespace tesselink {

VideoFramePump::VideoFramePump(std::unique_ptr<VideoDecoder> decoder, int originalWidth, int originalHeight, int depth)
    : decoder_(std::move(decoder)),
      info_(decoder_ ? decoder_->Info() : VideoInfo()),
      depth_(depth > 0 ? static_cast<std::size_t>(depth) : 1),
      originalWidth_(originalWidth),
      originalHeight_(originalHeight) {
    worker_ = std::thread([this] { Run(); });
}

VideoFramePump::~VideoFramePump() { Stop(); }

void VideoFramePump::Stop() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
        for (auto& frame : ready_) spare_.push_back(std::move(frame));
        ready_.clear();
    }
    changed_.notify_all();
    if (worker_.joinable()) worker_.join();
}

void VideoFramePump::Seek(long long first) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        for (auto& frame : ready_) spare_.push_back(std::move(frame));
        ready_.clear();
        seekTo_ = first < 0 ? 0 : first;
        ++generation_;
        started_ = true;
        ended_ = false;
        error_.clear();
    }
    changed_.notify_all();
}

void VideoFramePump::SetOriginalSize(int originalWidth, int originalHeight) {
    std::lock_guard<std::mutex> lock(mutex_);
    originalWidth_ = originalWidth;
    originalHeight_ = originalHeight;
}

void VideoFramePump::KeepYuv420(int colourSpace) {
    std::lock_guard<std::mutex> lock(mutex_);
    keepYuvSpace_ = colourSpace;
}

void VideoFramePump::Recycle(std::unique_ptr<PumpedFrame> frame) {
    if (!frame) return;
    frame->Yuv.Release();  // the decoder's buffer goes back to it now, not at the frame's next use
    std::lock_guard<std::mutex> lock(mutex_);
    spare_.push_back(std::move(frame));
}

VideoFramePump::Result VideoFramePump::Take(std::unique_ptr<PumpedFrame>& frame, std::string* why) {
    if (stopping_ || !decoder_) return Result::End;
    if (!ready_.empty()) {
        frame = std::move(ready_.front());
        ready_.pop_front();
        changed_.notify_all();
        return Result::Frame;
    }
    if (ended_) {
        if (error_.empty()) return Result::End;
        if (why) *why = error_;
        return Result::Error;
    }
    return Result::Empty;
}

VideoFramePump::Result VideoFramePump::Pop(std::unique_ptr<PumpedFrame>& frame, std::string* why) {
    std::unique_lock<std::mutex> lock(mutex_);
    if (!started_) {
        lock.unlock();
        Seek(0);
        lock.lock();
    }
    for (;;) {
        const Result result = Take(frame, why);
        if (result != Result::Empty) return result;
        changed_.wait(lock);
    }
}

VideoFramePump::Result VideoFramePump::TryPop(std::unique_ptr<PumpedFrame>& frame, std::string* why) {
    std::lock_guard<std::mutex> lock(mutex_);
    return Take(frame, why);
}

void VideoFramePump::Run() {
    FramePlanesConverter converter;
    bool running = false;  // decoding on in the current generation
    unsigned long generation = 0;
    for (;;) {
        long long seekTo = -1;
        int width = 0, height = 0, keepYuvSpace = -1;
        std::unique_ptr<PumpedFrame> frame;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            // Wait for room, a seek or the end.
            changed_.wait(lock, [&] {
                return stopping_ || seekTo_ >= 0 || (running && generation == generation_ && ready_.size() < depth_);
            });
            if (stopping_ || !decoder_) return;
            if (seekTo_ >= 0) {
                seekTo = seekTo_;
                seekTo_ = -1;
                generation = generation_;
                running = true;
            }
            width = originalWidth_;
            height = originalHeight_;
            keepYuvSpace = keepYuvSpace_;
            if (!spare_.empty()) {
                frame = std::move(spare_.back());
                spare_.pop_back();
            }
        }
        if (!frame) frame = std::make_unique<PumpedFrame>();

        std::string why;
        const VideoDecoder::Step step = seekTo >= 0 ? decoder_->SeekToFrame(seekTo, &why) : decoder_->Next(&why);
        bool converted = false;
        if (step == VideoDecoder::Step::Frame) {
            const AVFrame& decoded = *decoder_->Frame();
            if (keepYuvSpace >= 0 &&
                FramePlanesConverter::KeepsYuv420(decoded, info_.Width, info_.Height, keepYuvSpace)) {
                frame->Planes.Release();
                converted = converter.ToYuv420(decoded, width, height, frame->Yuv, &why);
            } else {
                frame->Yuv.Release();
                converted = converter.Convert(decoded, info_.Width, info_.Height, width, height, frame->Planes, &why);
            }
            frame->Index = decoder_->FrameIndex();
            frame->Time = decoder_->FrameTime();
            frame->DecodedAt = std::chrono::steady_clock::now();
        }

        std::lock_guard<std::mutex> lock(mutex_);
        if (stopping_) return;
        if (generation != generation_ || seekTo_ >= 0) {
            frame->Yuv.Release();
            spare_.push_back(std::move(frame));  // decoded before a seek: not wanted
            continue;
        }
        if (converted) {
            ready_.push_back(std::move(frame));
        } else {
            spare_.push_back(std::move(frame));
            ended_ = true;
            running = false;
            error_ = step == VideoDecoder::Step::End ? std::string() : why;
        }
        changed_.notify_all();
    }
}

}  // namespace tesselink
