// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Writing target pictures as a video with FFmpeg's libraries: all of it or nothing. The muxer
// writes a temporary file beside the output, which is synced and renamed into place only when
// the last frame is in; any failure, or Abandon(), removes it.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "video/rgb_to_yuv.h"

struct AVFrame;

namespace tesselink {

struct VideoEncoderSettings {
    int Width = 0;
    int Height = 0;
    int FrameRateNum = 25;
    int FrameRateDen = 1;
    // "h264" (libx264), "ffv1" or "png"; empty: h264 for .mp4 and .mov, ffv1 for .mkv.
    std::string Codec;
    int Crf = -1;  // h264 only, 0 to 51; negative: 18
    // The source's AVColorSpace, AVColorPrimaries and AVColorTransferCharacteristic. H.264's YUV is
    // in the source's matrix when it names one, else in BT.709 for HD sizes and BT.601 below; the
    // output is tagged with the matrix it is in, limited range.
    int ColourSpace = 2;
    int ColourPrimaries = 2;
    int ColourTransfer = 2;
};

// Why `settings` cannot be written to `path` (container by extension: .mp4, .mov, .mkv; codec known
// and held by the container; --crf only for h264), or empty. Looks at no file.
std::string VideoEncoderSettingsProblem(const std::string& path, const VideoEncoderSettings& settings);

class VideoEncoder {
public:
    VideoEncoder();
    ~VideoEncoder();  // abandons an unfinished file
    VideoEncoder(const VideoEncoder&) = delete;
    VideoEncoder& operator=(const VideoEncoder&) = delete;

    // Checks the settings and the output, creates the temporary file and opens the encoder.
    bool Open(const std::string& path, const VideoEncoderSettings& settings, std::string* why);

    // Where the next frame goes: Height rows of Width 0xffRRGGBB words (QImage::Format_RGB32
    // layout), StrideWords() apart. Valid until WriteFrame.
    std::uint32_t* FrameWords();
    std::ptrdiff_t StrideWords() const;

    // The time of the next frame, in seconds from the first (frames keep their own times, a video of
    // variable rate included); without it each frame lasts one frame time. Not before the last one.
    void SetNextFrameTime(double seconds);

    // Encodes the frame filled in FrameWords and writes what the encoder gives.
    bool WriteFrame(std::string* why);

    // The AVColorSpace of the Y'CbCr frames it encodes (an RGB codec: 0).
    int Matrix() const;

    // Whether the encoder takes 8-bit 4:2:0 planes of limited range (H.264 of an even size), which a
    // frame can be filled in directly instead of as words.
    bool TakesYuv420() const;
    // The planes of the next frame in that form, valid until WriteYuv420Frame; false when the
    // encoder does not take it or memory runs out.
    bool Yuv420Frame(YuvPlanes& planes);
    // Encodes the frame filled in Yuv420Frame.
    bool WriteYuv420Frame(std::string* why);
    // What the colour `word` (0xffRRGGBB) becomes in those planes: luma, Cb, Cr.
    void YuvOf(std::uint32_t word, std::uint8_t yuv[3]) const;
    // Flushes the encoder, finishes the container, syncs and renames into place.
    bool Finish(std::string* why);
    // Removes the temporary file; the output is left as it was.
    void Abandon();

    long long FramesWritten() const;
    const std::string& CodecName() const;  // the encoder's name, e.g. "libx264"

private:
    // Stamps and encodes `frame`; on failure everything is abandoned.
    bool SendFrame(AVFrame* frame, std::string* why);

    struct State;
    std::unique_ptr<State> s_;
};

}  // namespace tesselink
