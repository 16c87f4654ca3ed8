// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A decoded video frame into the colour planes of the original area, by the rule a background
// picture follows: the centred crop when the frame is at least the original size both ways,
// else the whole frame stretched to it by area averaging.

#include <cstdint>
#include <string>
#include <vector>

#include "remap/colour_planes.h"

struct AVFrame;
struct SwsContext;

namespace tesselink {

class FramePlanesConverter {
public:
    FramePlanesConverter() = default;
    ~FramePlanesConverter();
    FramePlanesConverter(const FramePlanesConverter&) = delete;
    FramePlanesConverter& operator=(const FramePlanesConverter&) = delete;

    // `frame` belongs to a video whose frames are videoWidth x videoHeight; a frame of another size
    // (the stream changed size) is first rescaled to that size, so the crop stays where it was.
    // `planes` become originalWidth x originalHeight. False, with the reason, when libswscale
    // cannot convert the frame's pixel format or memory runs out.
    bool Convert(const AVFrame& frame, int videoWidth, int videoHeight, int originalWidth, int originalHeight,
                 ColourPlanes& planes, std::string* why);

private:
    // libswscale turns 8-bit YUV into 32-bit words four to eight times faster than into planes,
    // and the engine splits words into planes at memory speed; so the frame goes through words.
    bool ToWords(const AVFrame& frame, int left, int top, int width, int height, int outWidth, int outHeight, int flags,
                 std::string* why);

    SwsContext* toWords_ = nullptr;
    SwsContext* resize_ = nullptr;
    AVFrame* resized_ = nullptr;
    std::vector<std::uint32_t> words_;
};

}  // namespace tesselink
