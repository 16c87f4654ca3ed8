// SPDX-License-Identifier: GPL-3.0-or-later
// Feeds arbitrary bytes, as a file in memory, through the demuxer and decoder into colour planes,
// with a small frame-size limit so that each input stays cheap.
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

extern "C" {
#include <libavutil/frame.h>
#include <libavutil/log.h>
}

#include "remap/colour_planes.h"
#include "video/frame_planes.h"
#include "video/video_decoder.h"
#include "video/video_input.h"

using namespace tesselink;

namespace {

constexpr long long MaxPixels = 256 * 256;
constexpr int OriginalWidth = 48, OriginalHeight = 32;
constexpr int MaxFrames = 16;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    av_log_set_level(AV_LOG_QUIET);
    VideoDecoder decoder;
    std::string why;
    if (!decoder.Open(VideoInput::FromMemory(data, size), "input", MaxPixels, &why)) {
        // A refusal always names its reason, and leaves nothing open.
        if (why.empty() || decoder.IsOpen() || why.find("after frame -1") != std::string::npos) std::abort();
        return 0;
    }
    const VideoInfo& info = decoder.Info();
    if (info.Width <= 0 || info.Height <= 0 || static_cast<long long>(info.Width) * info.Height > MaxPixels)
        std::abort();
    if (info.FrameRateNum <= 0 || info.FrameRateDen <= 0) std::abort();
    FramePlanesConverter converter;
    ColourPlanes planes;
    long long damaged = 0;
    for (int i = 0; i < MaxFrames; ++i) {
        const VideoDecoder::Step step = decoder.Next(&why);
        if (step == VideoDecoder::Step::End) break;
        if (step == VideoDecoder::Step::Error) {
            if (why.empty() || why.find("after frame -1") != std::string::npos) std::abort();
            break;
        }
        const AVFrame* frame = decoder.Frame();
        if (!frame || frame->width <= 0 || frame->height <= 0) std::abort();
        damaged += decoder.FrameDamaged() ? 1 : 0;
        if (decoder.FrameDamaged() && decoder.DamageText().empty()) std::abort();
        // Every frame that converts comes out at exactly the original area's size.
        if (converter.Convert(*frame, info.Width, info.Height, OriginalWidth, OriginalHeight, planes, &why)) {
            if (planes.Width() != OriginalWidth || planes.Height() != OriginalHeight) std::abort();
        } else if (why.empty()) {
            std::abort();
        }
    }
    if (decoder.DamagedFrames() < damaged) std::abort();
    return 0;
}
