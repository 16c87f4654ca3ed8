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

// The original area of a frame kept in the frame's own 8-bit 4:2:0 planes of limited range, the
// form H.264 stores and encodes: a reference to the decoded frame and the area's corner in it, or
// a frame stretched to the area. An encoder taking that form needs no colour conversion.
class Yuv420Area {
public:
    Yuv420Area() = default;
    ~Yuv420Area();
    Yuv420Area(const Yuv420Area&) = delete;
    Yuv420Area& operator=(const Yuv420Area&) = delete;

    bool IsPresent() const { return present_; }
    // Lets go of the frame.
    void Release();
    int Width() const { return width_; }  // the original size
    int Height() const { return height_; }
    // The area's top-left pixel in Frame().
    int OriginX() const { return originX_; }
    int OriginY() const { return originY_; }
    // A YUV420P frame holding the area; null when absent.
    const AVFrame* Frame() const { return present_ ? frame_ : nullptr; }

private:
    friend class FramePlanesConverter;
    AVFrame* frame_ = nullptr;
    int width_ = 0, height_ = 0, originX_ = 0, originY_ = 0;
    bool present_ = false;
};

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

    // Whether `frame` can be kept as a Yuv420Area: 8-bit 4:2:0 of limited range in the matrix
    // `colourSpace` (an AVColorSpace), at the video's own size.
    static bool KeepsYuv420(const AVFrame& frame, int videoWidth, int videoHeight, int colourSpace);
    // The original area of a frame that KeepsYuv420 into `area`, by the crop-or-stretch rule. False,
    // with the reason, when memory runs out or the frame cannot be stretched.
    bool ToYuv420(const AVFrame& frame, int originalWidth, int originalHeight, Yuv420Area& area, std::string* why);

private:
    // libswscale turns 8-bit YUV into 32-bit words four to eight times faster than into planes,
    // and the engine splits words into planes at memory speed; so the frame goes through words.
    bool ToWords(const AVFrame& frame, int left, int top, int width, int height, int outWidth, int outHeight, int flags,
                 std::string* why);

    SwsContext* toWords_ = nullptr;
    SwsContext* resize_ = nullptr;
    SwsContext* stretchYuv_ = nullptr;
    AVFrame* resized_ = nullptr;
    std::vector<std::uint32_t> words_;
};

}  // namespace tesselink
