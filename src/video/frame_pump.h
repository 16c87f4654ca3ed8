// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A worker thread that decodes a video and turns its frames into colour planes ahead of the
// consumer, a few frames deep. The render carries the planes through the map on its own thread
// while the next frames decode; a preview can take them from its GUI thread with TryPop().

#include <chrono>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "remap/colour_planes.h"
#include "video/frame_planes.h"
#include "video/video_decoder.h"

namespace tesselink {

struct PumpedFrame {
    // The original area, by the crop-or-stretch rule: in Yuv when the pump keeps 4:2:0 frames and
    // this one is such a frame, else in Planes.
    ColourPlanes Planes;
    Yuv420Area Yuv;
    long long Index = 0;  // frame number in the video
    double Time = 0;      // seconds from the start
    // When the worker finished the frame: how long it then waits is what a player measures.
    std::chrono::steady_clock::time_point DecodedAt{};
};

class VideoFramePump {
public:
    enum class Result { Frame, End, Error, Empty };

    // Takes an open decoder. Frames become originalWidth x originalHeight planes; at most `depth`
    // wait decoded.
    VideoFramePump(std::unique_ptr<VideoDecoder> decoder, int originalWidth, int originalHeight, int depth = 3);
    ~VideoFramePump();  // stops the worker
    VideoFramePump(const VideoFramePump&) = delete;
    VideoFramePump& operator=(const VideoFramePump&) = delete;

    const VideoInfo& Info() const { return info_; }

    // Starts (or restarts) decoding at frame `first`; frames queued from before are dropped.
    void Seek(long long first);
    // Frames from now on come at this original size.
    void SetOriginalSize(int originalWidth, int originalHeight);
    // Frames from now on that FramePlanesConverter::KeepsYuv420 for `colourSpace` come in Yuv.
    void KeepYuv420(int colourSpace);

    // The next frame in order, waiting for it. End after the last; Error with the reason, after
    // which the worker waits for a Seek.
    Result Pop(std::unique_ptr<PumpedFrame>& frame, std::string* why);
    // The same without waiting: Empty when no frame is ready yet.
    Result TryPop(std::unique_ptr<PumpedFrame>& frame, std::string* why);
    // Hands a popped frame's memory back for reuse.
    void Recycle(std::unique_ptr<PumpedFrame> frame);

    // Ends the worker; Pop then returns End. The destructor calls it.
    void Stop();

private:
    void Run();
    Result Take(std::unique_ptr<PumpedFrame>& frame, std::string* why);

    std::unique_ptr<VideoDecoder> decoder_;
    VideoInfo info_;
    const std::size_t depth_;

    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::unique_ptr<PumpedFrame>> ready_;
    std::vector<std::unique_ptr<PumpedFrame>> spare_;
    int originalWidth_, originalHeight_;
    int keepYuvSpace_ = -1;         // the matrix of the frames kept as 4:2:0; negative: none are
    long long seekTo_ = -1;         // a seek the worker has still to make
    unsigned long generation_ = 0;  // counts seeks, so a frame decoded before one is dropped
    bool started_ = false;
    bool ended_ = false;  // the worker reached the end or an error for this generation
    std::string error_;   // the error, when it ended in one
    bool stopping_ = false;
    std::thread worker_;
};

}  // namespace tesselink
