// SPDX-License-Identifier: GPL-3.0-or-later
#include "video_test_files.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
#include <libavutil/pixdesc.h>
#include <libswscale/swscale.h>
}

#include <algorithm>
#include <memory>

namespace tesselink::test {
namespace {

std::string Text(int code) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return text;
}

// An output file with one stream; closes everything on destruction.
struct Output {
    AVFormatContext* format = nullptr;
    AVStream* stream = nullptr;
    bool headerWritten = false;

    ~Output() {
        if (format) {
            if (format->pb) avio_closep(&format->pb);
            avformat_free_context(format);
        }
    }

    std::string Open(const std::string& path, const std::string& muxer) {
        int result = avformat_alloc_output_context2(&format, nullptr, muxer.c_str(), path.c_str());
        if (result < 0) return "muxer: " + Text(result);
        stream = avformat_new_stream(format, nullptr);
        if (!stream) return "no stream";
        result = avio_open(&format->pb, path.c_str(), AVIO_FLAG_WRITE);
        return result < 0 ? "open: " + Text(result) : std::string();
    }

    std::string Header() {
        const int result = avformat_write_header(format, nullptr);
        headerWritten = result >= 0;
        return result < 0 ? "header: " + Text(result) : std::string();
    }

    std::string Trailer() {
        const int result = av_write_trailer(format);
        return result < 0 ? "trailer: " + Text(result) : std::string();
    }
};

}  // namespace

TestFrame NumberedFrame(int index, int width, int height) {
    TestFrame frame{width, height, std::vector<std::uint32_t>(static_cast<std::size_t>(width) * height)};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            frame.Words[static_cast<std::size_t>(y) * width + x] =
                0xFF000000u | (static_cast<std::uint32_t>(index & 255) << 16) |
                (static_cast<std::uint32_t>(x & 255) << 8) | static_cast<std::uint32_t>(y & 255);
    return frame;
}

int FrameNumberOf(std::uint32_t word) { return static_cast<int>((word >> 16) & 255); }

std::string WriteTestVideo(const std::string& path, const TestVideo& video, const std::vector<TestFrame>& frames) {
    Output out;
    if (std::string why = out.Open(path, video.Muxer); !why.empty()) return why;
    const AVCodec* encoder = avcodec_find_encoder_by_name(video.Codec.c_str());
    if (!encoder) return "no encoder " + video.Codec;
    const AVPixelFormat pixels = av_get_pix_fmt(video.PixelFormat.c_str());
    AVCodecContext* codec = nullptr;
    AVFrame* frame = av_frame_alloc();
    AVPacket* packet = av_packet_alloc();
    SwsContext* convert = nullptr;
    std::string problem;
    auto drain = [&](const AVFrame* f) {
        int result = avcodec_send_frame(codec, f);
        while (result >= 0) {
            result = avcodec_receive_packet(codec, packet);
            if (result < 0) break;
            if (packet->duration == 0) packet->duration = 1;  // else the last frame has no length
            av_packet_rescale_ts(packet, codec->time_base, out.stream->time_base);
            packet->stream_index = 0;
            if (av_interleaved_write_frame(out.format, packet) < 0) problem = "write failed";
        }
    };
    int width = 0, height = 0;
    for (std::size_t i = 0; i < frames.size() && problem.empty(); ++i) {
        const TestFrame& source = frames[i];
        if (source.Width != width || source.Height != height) {
            if (codec) {
                drain(nullptr);
                avcodec_free_context(&codec);
            }
            width = source.Width;
            height = source.Height;
            codec = avcodec_alloc_context3(encoder);
            codec->width = width;
            codec->height = height;
            codec->pix_fmt = pixels;
            codec->time_base = video.StampsMs.empty() ? AVRational{1, video.FrameRate} : AVRational{1, 1000};
            codec->framerate = AVRational{video.FrameRate, 1};
            if (video.KeyFrameInterval > 0) codec->gop_size = video.KeyFrameInterval;
            if (video.Codec == "ffv1") codec->level = 3;  // with a checksum on every slice
            if (video.Codec == "libx264") {
                av_opt_set(codec->priv_data, "preset", "ultrafast", 0);
                av_opt_set_int(codec->priv_data, "bf", 2, 0);  // B-frames: decode order differs from display order
                av_opt_set(codec->priv_data, "x264-params", "scenecut=0", 0);
            }
            if (out.format->oformat->flags & AVFMT_GLOBALHEADER) codec->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
            int result = avcodec_open2(codec, encoder, nullptr);
            if (result < 0) {
                problem = "encoder: " + Text(result);
                break;
            }
            if (!out.headerWritten) {
                avcodec_parameters_from_context(out.stream->codecpar, codec);
                out.stream->time_base = codec->time_base;
                if (std::string why = out.Header(); !why.empty()) {
                    problem = why;
                    break;
                }
            }
            av_frame_unref(frame);
            frame->format = pixels;
            frame->width = width;
            frame->height = height;
            av_frame_get_buffer(frame, 0);
            convert = sws_getCachedContext(convert, width, height, AV_PIX_FMT_BGR0, width, height, pixels, SWS_POINT,
                                           nullptr, nullptr, nullptr);
        }
        av_frame_make_writable(frame);
        const std::uint8_t* in[4] = {reinterpret_cast<const std::uint8_t*>(source.Words.data())};
        const int inStride[4] = {width * 4};
        sws_scale(convert, in, inStride, 0, height, frame->data, frame->linesize);
        frame->pts = video.StampsMs.empty() ? static_cast<std::int64_t>(i) : video.StampsMs[i];
        drain(frame);
    }
    if (codec && problem.empty()) drain(nullptr);
    if (problem.empty() && out.headerWritten) problem = out.Trailer();
    sws_freeContext(convert);
    avcodec_free_context(&codec);
    av_packet_free(&packet);
    av_frame_free(&frame);
    return problem;
}

std::string WriteSoundOnly(const std::string& path) {
    Output out;
    if (std::string why = out.Open(path, "matroska"); !why.empty()) return why;
    AVCodecParameters* par = out.stream->codecpar;
    par->codec_type = AVMEDIA_TYPE_AUDIO;
    par->codec_id = AV_CODEC_ID_PCM_S16LE;
    par->sample_rate = 8000;
    av_channel_layout_default(&par->ch_layout, 1);
    par->format = AV_SAMPLE_FMT_S16;
    out.stream->time_base = AVRational{1, 8000};
    if (std::string why = out.Header(); !why.empty()) return why;
    std::vector<std::uint8_t> silence(1600);
    for (int i = 0; i < 5; ++i) {
        AVPacket* packet = av_packet_alloc();
        av_new_packet(packet, static_cast<int>(silence.size()));
        std::copy(silence.begin(), silence.end(), packet->data);
        packet->pts = packet->dts = i * 800;
        packet->duration = 800;
        packet->stream_index = 0;
        av_interleaved_write_frame(out.format, packet);
        av_packet_free(&packet);
    }
    return out.Trailer();
}

std::string WriteNoFrames(const std::string& path) {
    // A video track that never gets a frame, beside a sound track that does (Matroska writes no
    // file without a packet).
    Output out;
    if (std::string why = out.Open(path, "matroska"); !why.empty()) return why;
    AVCodecParameters* par = out.stream->codecpar;
    par->codec_type = AVMEDIA_TYPE_VIDEO;
    par->codec_id = AV_CODEC_ID_FFV1;
    par->format = AV_PIX_FMT_BGR0;
    par->width = 16;
    par->height = 16;
    out.stream->time_base = AVRational{1, 10};
    AVStream* sound = avformat_new_stream(out.format, nullptr);
    if (!sound) return "no stream";
    sound->codecpar->codec_type = AVMEDIA_TYPE_AUDIO;
    sound->codecpar->codec_id = AV_CODEC_ID_PCM_S16LE;
    sound->codecpar->sample_rate = 8000;
    av_channel_layout_default(&sound->codecpar->ch_layout, 1);
    sound->codecpar->format = AV_SAMPLE_FMT_S16;
    sound->time_base = AVRational{1, 8000};
    if (std::string why = out.Header(); !why.empty()) return why;
    AVPacket* packet = av_packet_alloc();
    av_new_packet(packet, 1600);
    std::fill(packet->data, packet->data + 1600, 0);
    packet->pts = packet->dts = 0;
    packet->duration = 800;
    packet->stream_index = sound->index;
    av_interleaved_write_frame(out.format, packet);
    av_packet_free(&packet);
    return out.Trailer();
}

std::string WriteHugeHead(const std::string& path, int width, int height) {
    Output out;
    if (std::string why = out.Open(path, "matroska"); !why.empty()) return why;
    AVCodecParameters* par = out.stream->codecpar;
    par->codec_type = AVMEDIA_TYPE_VIDEO;
    par->codec_id = AV_CODEC_ID_FFV1;
    par->format = AV_PIX_FMT_BGR0;
    par->width = width;
    par->height = height;
    out.stream->time_base = AVRational{1, 10};
    if (std::string why = out.Header(); !why.empty()) return why;
    AVPacket* packet = av_packet_alloc();
    av_new_packet(packet, 16);
    packet->pts = packet->dts = 0;
    packet->stream_index = 0;
    av_interleaved_write_frame(out.format, packet);
    av_packet_free(&packet);
    return out.Trailer();
}

}  // namespace tesselink::test
