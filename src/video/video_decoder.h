// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Reading a video file frame by frame with FFmpeg's libraries: what the file is, the next frame,
// and a seek exact to the frame. One decoder serves one thread at a time; a preview or a render
// runs it on a worker (see frame_pump.h).

#include <memory>
#include <string>

struct AVFrame;

namespace tesselink {

class VideoInput;

struct VideoInfo {
    int Width = 0;  // of the first frame; every frame is carried at this size
    int Height = 0;
    int FrameRateNum = 0;  // frames per second as a fraction
    int FrameRateDen = 1;
    double Duration = -1;          // seconds; negative when the file does not say
    long long FrameCount = -1;     // frames; negative when unknown
    bool FrameCountExact = false;  // declared by the file, not worked out from the duration
    int ColourSpace = 2;           // AVColorSpace of the first frame (2: unspecified)
    int ColourPrimaries = 2;       // its AVColorPrimaries, AVColorTransferCharacteristic and
    int ColourTransfer = 2;        // AVColorRange as the file tags them (2, 2, 0: not told)
    int ColourRange = 0;
    std::string CodecName;

    double FrameRate() const { return FrameRateDen > 0 ? static_cast<double>(FrameRateNum) / FrameRateDen : 0; }
};

class VideoDecoder {
public:
    enum class Step { Frame, End, Error };

    VideoDecoder();
    ~VideoDecoder();
    VideoDecoder(const VideoDecoder&) = delete;
    VideoDecoder& operator=(const VideoDecoder&) = delete;

    // Opens `path` and decodes its first frame, which the first Next() returns. False, with the
    // reason in `why`, for anything that is not a readable video with at least one frame of at
    // most Picture::MaxPixels pixels.
    bool Open(const std::string& path, std::string* why);
    // The same on an input of any kind (`name` for the demuxers' extension hint), with frames of
    // at most `maxPixels` pixels.
    bool Open(std::unique_ptr<VideoInput> input, const std::string& name, long long maxPixels, std::string* why);
    void Close();
    bool IsOpen() const;
    const VideoInfo& Info() const;

    // Makes the next frame current. End after the last frame; Error with the reason for a read
    // failure, a truncated file or memory that ran out, after which only a seek or Close helps. A
    // frame the decoder reports damaged (or one after a packet it could not decode) is still a
    // Frame, with FrameDamaged() set.
    Step Next(std::string* why);

    // Whether the decoder reported damage in the current frame, or could not decode a frame just
    // before it; then DamageText() is its last complaint.
    bool FrameDamaged() const;
    std::string DamageText() const;
    // Frames reported damaged since Open.
    long long DamagedFrames() const;

    // The current frame (decoded as stored: any size, any pixel format); null before the first.
    const AVFrame* Frame() const;
    // Its number from 0, from its time stamp and the frame rate; its time in seconds from the start.
    long long FrameIndex() const;
    double FrameTime() const;
    // Its own time stamp in seconds from frame 0; in a variable-rate video it differs from
    // FrameTime(). FrameTime() when the frame has no stamp.
    double FrameStamp() const;

    // Makes frame `index` current (from the key frame before it, decoding forward). End when the
    // video has fewer frames; a frame missing from a variable-rate video gives the next one.
    Step SeekToFrame(long long index, std::string* why);
    // The frame shown at `seconds` from the start: SeekToFrame(FrameIndexAt(seconds)).
    Step SeekToTime(double seconds, std::string* why);
    long long FrameIndexAt(double seconds) const;

private:
    struct State;
    std::unique_ptr<State> s_;
};

}  // namespace tesselink
