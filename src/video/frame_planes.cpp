// SPDX-License-Identifier: GPL-3.0-or-later
#include "video/frame_planes.h"

extern "C" {
#include <libavutil/frame.h>
#include <libavutil/imgutils.h>
#include <libavutil/pixdesc.h>
#include <libswscale/swscale.h>
}

#include <algorithm>

#include "video/colour_tags.h"
#include "video/video_path.h"

namespace tesselink {
namespace {

bool Fail(std::string* why, const std::string& text) {
    if (why) *why = text;
    return false;
}

// The frame's pixel format with the full-range YUV aliases replaced, and whether its range is full.
AVPixelFormat Unaliased(AVPixelFormat format, bool& fullRange) {
    switch (format) {
    case AV_PIX_FMT_YUVJ420P: fullRange = true; return AV_PIX_FMT_YUV420P;
    case AV_PIX_FMT_YUVJ422P: fullRange = true; return AV_PIX_FMT_YUV422P;
    case AV_PIX_FMT_YUVJ444P: fullRange = true; return AV_PIX_FMT_YUV444P;
    case AV_PIX_FMT_YUVJ440P: fullRange = true; return AV_PIX_FMT_YUV440P;
    case AV_PIX_FMT_YUVJ411P: fullRange = true; return AV_PIX_FMT_YUV411P;
    default: return format;
    }
}

}  // namespace

Yuv420Area::~Yuv420Area() { av_frame_free(&frame_); }

void Yuv420Area::Release() {
    if (frame_) av_frame_unref(frame_);
    present_ = false;
}

FramePlanesConverter::~FramePlanesConverter() {
    sws_freeContext(stretchYuv_);
    sws_freeContext(toWords_);
    sws_freeContext(resize_);
    av_frame_free(&resized_);
}

bool FramePlanesConverter::ToWords(const AVFrame& frame, int left, int top, int width, int height, int outWidth,
                                   int outHeight, int flags, std::string* why) {
    const auto format = static_cast<AVPixelFormat>(frame.format);
    const AVPixFmtDescriptor* desc = av_pix_fmt_desc_get(format);
    if (!desc) return Fail(why, "the frames have an unknown pixel format");
    bool fullRange = frame.color_range == AVCOL_RANGE_JPEG;
    const AVPixelFormat source = Unaliased(format, fullRange);

    // The region's top-left by pointer offsets; the caller keeps it on the chroma grid.
    const std::uint8_t* data[4] = {};
    int linesize[4] = {};
    const bool palette = (desc->flags & AV_PIX_FMT_FLAG_PAL) != 0;
    for (int p = 0; p < 4 && frame.data[p]; ++p) {
        data[p] = frame.data[p];
        linesize[p] = frame.linesize[p];
        if (palette && p == 1) continue;
        const int rowShift = (p == 1 || p == 2) ? desc->log2_chroma_h : 0;
        const int columnBytes = left > 0 ? av_image_get_linesize(source, left, p) : 0;
        if (columnBytes < 0)
            return Fail(why, "the frames' pixel format " + std::string(desc->name) + " is not supported");
        data[p] += static_cast<std::ptrdiff_t>(top >> rowShift) * linesize[p] + columnBytes;
    }

    toWords_ = sws_getCachedContext(toWords_, width, height, source, outWidth, outHeight, AV_PIX_FMT_BGR0, flags,
                                    nullptr, nullptr, nullptr);
    if (!toWords_) return Fail(why, "cannot convert frames of pixel format " + std::string(desc->name));
    if (!(desc->flags & AV_PIX_FMT_FLAG_RGB)) {
        // The frame's own matrix and range, as FFmpeg's scale filter reads them.
        const int* coefficients = sws_getCoefficients(EffectiveMatrix(frame.colorspace, frame.width, frame.height));
        sws_setColorspaceDetails(toWords_, coefficients, fullRange ? 1 : 0, sws_getCoefficients(SWS_CS_DEFAULT), 1, 0,
                                 1 << 16, 1 << 16);
    }
    const std::size_t words = static_cast<std::size_t>(outWidth) * outHeight;
    try {
        // Room for libswscale's vector stores past the last pixel.
        if (words_.size() < words + 16) words_.resize(words + 16);
    } catch (const std::bad_alloc&) {
        return Fail(why, "not enough memory for a frame");
    }
    std::uint8_t* out[4] = {reinterpret_cast<std::uint8_t*>(words_.data()), nullptr, nullptr, nullptr};
    const int outStride[4] = {outWidth * 4, 0, 0, 0};
    const int rows = sws_scale(toWords_, data, linesize, 0, height, out, outStride);
    if (rows != outHeight) return Fail(why, "cannot convert a frame of pixel format " + std::string(desc->name));
    return true;
}

bool FramePlanesConverter::KeepsYuv420(const AVFrame& frame, int videoWidth, int videoHeight, int colourSpace) {
    return frame.format == AV_PIX_FMT_YUV420P && frame.color_range != AVCOL_RANGE_JPEG &&
           frame.colorspace == colourSpace && frame.width == videoWidth && frame.height == videoHeight;
}

bool FramePlanesConverter::ToYuv420(const AVFrame& frame, int originalWidth, int originalHeight, Yuv420Area& area,
                                    std::string* why) {
    area.Release();
    if (originalWidth <= 0 || originalHeight <= 0) return Fail(why, "the original area is empty");
    if (!area.frame_) area.frame_ = av_frame_alloc();
    if (!area.frame_) return Fail(why, "not enough memory for a frame");
    const ColourPlaneSource choice = ChooseColourPlaneSource(frame.width, frame.height, originalWidth, originalHeight);
    if (choice.StretchBackground) {
        AVFrame* out = area.frame_;
        out->format = AV_PIX_FMT_YUV420P;
        out->width = originalWidth;
        out->height = originalHeight;
        if (av_frame_get_buffer(out, 0) < 0) return Fail(why, "not enough memory for a frame");
        stretchYuv_ = sws_getCachedContext(stretchYuv_, frame.width, frame.height, AV_PIX_FMT_YUV420P, originalWidth,
                                           originalHeight, AV_PIX_FMT_YUV420P, SWS_AREA, nullptr, nullptr, nullptr);
        if (!stretchYuv_ || sws_scale(stretchYuv_, frame.data, frame.linesize, 0, frame.height, out->data,
                                      out->linesize) != originalHeight) {
            av_frame_unref(out);
            return Fail(
                why, "cannot stretch a frame of " + std::to_string(frame.width) + " x " + std::to_string(frame.height));
        }
        area.originX_ = area.originY_ = 0;
    } else {
        if (av_frame_ref(area.frame_, &frame) < 0) return Fail(why, "not enough memory for a frame");
        area.originX_ = choice.OriginX;
        area.originY_ = choice.OriginY;
    }
    area.width_ = originalWidth;
    area.height_ = originalHeight;
    area.present_ = true;
    return true;
}

bool FramePlanesConverter::Convert(const AVFrame& frame, int videoWidth, int videoHeight, int originalWidth,
                                   int originalHeight, ColourPlanes& planes, std::string* why) {
    if (originalWidth <= 0 || originalHeight <= 0) return Fail(why, "the original area is empty");
    const AVFrame* source = &frame;
    if (frame.width != videoWidth || frame.height != videoHeight) {
        // The stream changed size: back to the size the crop or stretch was chosen for.
        if (!resized_) resized_ = av_frame_alloc();
        if (!resized_) return Fail(why, "not enough memory for a frame");
        if (resized_->width != videoWidth || resized_->height != videoHeight || resized_->format != frame.format) {
            av_frame_unref(resized_);
            resized_->format = frame.format;
            resized_->width = videoWidth;
            resized_->height = videoHeight;
            if (av_frame_get_buffer(resized_, 0) < 0) return Fail(why, "not enough memory for a frame");
        }
        bool fullRange = false;
        const auto format = Unaliased(static_cast<AVPixelFormat>(frame.format), fullRange);
        resize_ = sws_getCachedContext(resize_, frame.width, frame.height, format, videoWidth, videoHeight, format,
                                       SWS_BICUBIC, nullptr, nullptr, nullptr);
        if (!resize_)
            return Fail(
                why, "cannot rescale a frame of " + std::to_string(frame.width) + " x " + std::to_string(frame.height));
        sws_scale(resize_, frame.data, frame.linesize, 0, frame.height, resized_->data, resized_->linesize);
        resized_->colorspace = frame.colorspace;
        resized_->color_range = frame.color_range;
        source = resized_;
    }

    const ColourPlaneSource choice = ChooseColourPlaneSource(videoWidth, videoHeight, originalWidth, originalHeight);
    if (choice.StretchBackground) {
        if (!ToWords(*source, 0, 0, videoWidth, videoHeight, originalWidth, originalHeight, SWS_AREA, why))
            return false;
        const PixelSource pixels{words_.data(), originalWidth, originalHeight, originalWidth};
        BuildColourPlanes(planes, &pixels, 0, 0, originalWidth, originalHeight);
        return planes.IsPresent();
    }

    // The crop starts on the chroma grid (or, for formats that pack several pixels in a byte or
    // use a palette, at the frame's corner); the rest of the offset is taken from the words.
    const AVPixFmtDescriptor* desc = av_pix_fmt_desc_get(static_cast<AVPixelFormat>(source->format));
    if (!desc) return Fail(why, "the frames have an unknown pixel format");
    int left = choice.OriginX, top = choice.OriginY;
    if (desc->flags & (AV_PIX_FMT_FLAG_BITSTREAM | AV_PIX_FMT_FLAG_PAL | AV_PIX_FMT_FLAG_HWACCEL)) {
        left = top = 0;
    } else {
        left &= ~((1 << desc->log2_chroma_w) - 1);
        top &= ~((1 << desc->log2_chroma_h) - 1);
    }
    // Whole chroma samples too: libswscale's fast converters refuse odd heights, and the slower
    // path it falls back to would give the same pixel another colour than in the whole frame.
    const int alignX = 1 << desc->log2_chroma_w, alignY = 1 << desc->log2_chroma_h;
    const int width =
        std::min(videoWidth - left, (originalWidth + (choice.OriginX - left) + alignX - 1) & ~(alignX - 1));
    const int height =
        std::min(videoHeight - top, (originalHeight + (choice.OriginY - top) + alignY - 1) & ~(alignY - 1));
    if (!ToWords(*source, left, top, width, height, width, height, SWS_BICUBIC, why)) return false;
    const PixelSource pixels{words_.data(), width, height, width};
    BuildColourPlanes(planes, &pixels, choice.OriginX - left, choice.OriginY - top, originalWidth, originalHeight);
    return planes.IsPresent();
}

}  // namespace tesselink
