// SPDX-License-Identifier: GPL-3.0-or-later
#include "video/video_encoder.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/opt.h>
#include <libavutil/pixdesc.h>
#include <libswscale/swscale.h>
}

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cmath>
#include <cstring>
#include <vector>

#include "map/safe_write.h"
#include "video/colour_tags.h"
#include "video/library_log.h"
#include "video/rgb_to_yuv.h"
#include "video/video_path.h"

namespace tesselink {
namespace {

constexpr int DefaultCrf = 18;
// Ticks of the codec's time base per frame time: room for the frames of a variable-rate video.
constexpr int TicksPerFrame = 100;
constexpr int IoBufferSize = 1 << 16;

std::string Extension(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    const std::size_t dot = path.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return std::string();
    std::string ext = path.substr(dot + 1);
    for (char& c : ext) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return ext;
}

// The muxer for an extension, or null.
const char* MuxerName(const std::string& ext) {
    if (ext == "mp4") return "mp4";
    if (ext == "mov") return "mov";
    if (ext == "mkv") return "matroska";
    return nullptr;
}

std::string CodecFor(const std::string& ext, const std::string& codec) {
    if (!codec.empty()) return codec;
    return ext == "mkv" ? "ffv1" : "h264";
}

struct CodecChoice {
    const char* encoder;
    AVCodecID id;
};

bool FindCodec(const std::string& codec, CodecChoice& choice) {
    if (codec == "h264" || codec == "libx264")
        choice = {"libx264", AV_CODEC_ID_H264};
    else if (codec == "ffv1")
        choice = {"ffv1", AV_CODEC_ID_FFV1};
    else if (codec == "png")
        choice = {"png", AV_CODEC_ID_PNG};
    else
        return false;
    return true;
}

}  // namespace

std::string VideoEncoderSettingsProblem(const std::string& path, const VideoEncoderSettings& settings) {
    const std::string ext = Extension(path);
    const char* muxer = MuxerName(ext);
    if (!muxer) return "the output must end in .mp4, .mov or .mkv";
    const std::string codec = CodecFor(ext, settings.Codec);
    CodecChoice choice{};
    if (!FindCodec(codec, choice)) return "unknown codec " + codec + " (h264, ffv1 or png)";
    if (settings.Crf >= 0 && choice.id != AV_CODEC_ID_H264) return "--crf applies to h264 only";
    if (settings.Crf > 51) return "--crf takes 0 to 51, not " + std::to_string(settings.Crf);
    const AVOutputFormat* format = av_guess_format(muxer, nullptr, nullptr);
    // Matroska holds any codec, through its compatibility mapping where it has no native one (PNG).
    if (!format || (ext != "mkv" && avformat_query_codec(format, choice.id, FF_COMPLIANCE_NORMAL) != 1))
        return "a ." + ext + " file cannot hold " + codec + " video; use .mkv";
    if (!avcodec_find_encoder_by_name(choice.encoder))
        return "this FFmpeg has no " + std::string(choice.encoder) + " encoder";
    if (settings.Width <= 0 || settings.Height <= 0) return "the target size is empty";
    if (settings.FrameRateNum <= 0 || settings.FrameRateDen <= 0) return "the frame rate is unknown";
    return std::string();
}

struct VideoEncoder::State {
    std::string path, temporary, finalPath;
    int fd = -1;
    int writeErrno = 0;  // what the last failed write or seek said
    AVFormatContext* format = nullptr;
    AVIOContext* io = nullptr;
    AVCodecContext* codec = nullptr;
    AVStream* stream = nullptr;
    AVFrame* words = nullptr;       // what the caller fills: BGR0 bytes are 0xffRRGGBB words
    AVFrame* encoded = nullptr;     // the encoder's pixel format, when it is not BGR0
    SwsContext* convert = nullptr;  // to PNG's RGB24
    bool yuv = false;               // to H.264's YUV by WordsToYuv420/444
    YuvWeights weights{};
    AVPacket* packet = nullptr;
    long long frames = 0;
    long long lastPts = -1;
    AVPacket* held = nullptr;  // the encoder's latest packet, not yet muxed
    long long end = 0;         // the end of the last frame shown, in the codec's time base
    long long firstDts = AV_NOPTS_VALUE;
    bool movLike = false;    // MP4 or MOV
    long long nextPts = -1;  // set by SetNextFrameTime; negative: one frame time on
    int matrix = 0;
    std::string codecName;

    ~State() { Close(true); }

    static int Write(void* opaque, std::uint8_t* data, int size) {
        auto* s = static_cast<State*>(opaque);
        int done = 0;
        while (done < size) {
            const ssize_t n = ::write(s->fd, data + done, static_cast<std::size_t>(size - done));
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) {
                s->writeErrno = n < 0 ? errno : ENOSPC;
                return AVERROR(s->writeErrno);
            }
            done += static_cast<int>(n);
        }
        return size;
    }

    static std::int64_t Seek(void* opaque, std::int64_t offset, int whence) {
        auto* s = static_cast<State*>(opaque);
        if (whence & AVSEEK_SIZE) {
            struct stat info {};
            return ::fstat(s->fd, &info) == 0 ? info.st_size : AVERROR(errno);
        }
        const off_t at = ::lseek(s->fd, offset, whence & ~AVSEEK_FORCE);
        if (at < 0) {
            s->writeErrno = errno;
            return AVERROR(errno);
        }
        return at;
    }

    // Frees everything; removes the temporary file when `remove`.
    void Close(bool remove) {
        sws_freeContext(convert);
        convert = nullptr;
        av_frame_free(&words);
        av_frame_free(&encoded);
        av_packet_free(&packet);
        av_packet_free(&held);
        avcodec_free_context(&codec);
        if (format) {
            format->pb = nullptr;
            avformat_free_context(format);
            format = nullptr;
        }
        if (io) {
            av_freep(&io->buffer);
            avio_context_free(&io);
        }
        if (fd >= 0) ::close(fd);
        fd = -1;
        if (remove && !temporary.empty()) ::unlink(temporary.c_str());
        temporary.clear();
    }

    std::string WriteFailure(int code) const {
        return "cannot write " + path + ": " + (writeErrno ? std::strerror(writeErrno) : AvErrorText(code));
    }

    // Writes `p` (in the codec's time base) to the muxer.
    bool Mux(AVPacket* p, std::string* why) {
        av_packet_rescale_ts(p, codec->time_base, stream->time_base);
        p->stream_index = stream->index;
        const int result = av_interleaved_write_frame(format, p);
        av_packet_unref(p);
        if (result < 0 || io->error < 0) {
            if (why) *why = WriteFailure(result < 0 ? result : io->error);
            return false;
        }
        return true;
    }

    // Hands `frame` (null: flush) to the encoder and writes every packet it gives back.
    bool Encode(const AVFrame* frame, std::string* why) {
        const LibraryLogMark mark = MarkLibraryLog();
        int result = avcodec_send_frame(codec, frame);
        if (result < 0) {
            if (why) *why = "cannot encode frame " + std::to_string(frames) + ": " + LibraryReason(result, mark);
            return false;
        }
        for (;;) {
            result = avcodec_receive_packet(codec, packet);
            if (result == AVERROR(EAGAIN)) return true;
            if (result == AVERROR_EOF) break;
            if (result < 0) {
                if (why) *why = "cannot encode frame " + std::to_string(frames) + ": " + LibraryReason(result, mark);
                return false;
            }
            // Every frame lasts one frame time; without it MP4's edit list cuts the last one off.
            if (packet->duration == 0) packet->duration = TicksPerFrame;
            if (packet->pts != AV_NOPTS_VALUE) end = std::max<long long>(end, packet->pts + packet->duration);
            if (firstDts == AV_NOPTS_VALUE) firstDts = packet->dts;
            // The last packet is held back until the encoder is flushed, for its length below.
            if (held->data && !Mux(held, why)) return false;
            av_packet_move_ref(held, packet);
        }
        if (!held->data) return true;
        // An MP4's length is its samples' decode times plus the last one's duration, less the
        // edit list's shift; with frames reordered at irregular times, one frame time for the last
        // would end the track before the last frame shown. Its duration reaches the end instead.
        if (movLike && held->dts != AV_NOPTS_VALUE && firstDts != AV_NOPTS_VALUE && end > 0)
            held->duration = std::max<long long>(held->duration, end - held->dts + std::min<long long>(firstDts, 0));
        return Mux(held, why);
    }
};

VideoEncoder::VideoEncoder() = default;
VideoEncoder::~VideoEncoder() = default;

long long VideoEncoder::FramesWritten() const { return s_ ? s_->frames : 0; }

const std::string& VideoEncoder::CodecName() const {
    static const std::string none;
    return s_ ? s_->codecName : none;
}

void VideoEncoder::Abandon() { s_.reset(); }

std::uint32_t* VideoEncoder::FrameWords() {
    if (!s_ || !s_->words) return nullptr;
    // The encoder may still hold the last frame's buffer; then this one gets its own.
    if (av_frame_make_writable(s_->words) < 0) return nullptr;
    return reinterpret_cast<std::uint32_t*>(s_->words->data[0]);
}

std::ptrdiff_t VideoEncoder::StrideWords() const { return s_ && s_->words ? s_->words->linesize[0] / 4 : 0; }

bool VideoEncoder::Open(const std::string& path, const VideoEncoderSettings& settings, std::string* why) {
    auto fail = [&](const std::string& text) {
        if (why) *why = text;
        s_.reset();
        return false;
    };
    s_.reset();
    const std::string settingsProblem = VideoEncoderSettingsProblem(path, settings);
    if (!settingsProblem.empty()) return fail(settingsProblem);
    const std::string outputProblem = VideoOutputProblem(path);
    if (!outputProblem.empty()) return fail("cannot write " + path + ": " + outputProblem);

    const std::string ext = Extension(path);
    CodecChoice choice{};
    FindCodec(CodecFor(ext, settings.Codec), choice);

    s_ = std::make_unique<State>();
    State& s = *s_;
    s.path = path;
    OutputTemporary temporary;
    std::string problem;
    if (!CreateOutputTemporary(path, temporary, problem)) return fail(problem);
    s.fd = temporary.Fd;
    s.temporary = temporary.Path;
    s.finalPath = temporary.FinalPath;

    int result = avformat_alloc_output_context2(&s.format, nullptr, MuxerName(ext), s.temporary.c_str());
    if (result < 0 || !s.format) return fail("cannot make a ." + ext + " file: " + AvErrorText(result));
    auto* buffer = static_cast<std::uint8_t*>(av_malloc(IoBufferSize));
    if (!buffer) return fail("not enough memory");
    s.io = avio_alloc_context(buffer, IoBufferSize, 1, &s, nullptr, &State::Write, &State::Seek);
    if (!s.io) {
        av_free(buffer);
        return fail("not enough memory");
    }
    s.format->pb = s.io;
    s.format->flags |= AVFMT_FLAG_CUSTOM_IO;

    const AVCodec* encoder = avcodec_find_encoder_by_name(choice.encoder);
    s.codec = avcodec_alloc_context3(encoder);
    s.packet = av_packet_alloc();
    s.held = av_packet_alloc();
    s.movLike = ext == "mp4" || ext == "mov";
    s.words = av_frame_alloc();
    if (!s.codec || !s.packet || !s.held || !s.words) return fail("not enough memory");
    s.codecName = encoder->name;

    const bool odd = (settings.Width % 2) != 0 || (settings.Height % 2) != 0;
    AVPixelFormat pixels = AV_PIX_FMT_BGR0;
    if (choice.id == AV_CODEC_ID_H264)
        pixels = odd ? AV_PIX_FMT_YUV444P : AV_PIX_FMT_YUV420P;
    else if (choice.id == AV_CODEC_ID_PNG)
        pixels = AV_PIX_FMT_RGB24;

    AVCodecContext* c = s.codec;
    c->width = settings.Width;
    c->height = settings.Height;
    c->pix_fmt = pixels;
    c->time_base = av_mul_q(AVRational{settings.FrameRateDen, settings.FrameRateNum}, AVRational{1, TicksPerFrame});
    c->framerate = AVRational{settings.FrameRateNum, settings.FrameRateDen};
    c->sample_aspect_ratio = AVRational{1, 1};
    c->thread_count = 0;
    if (s.format->oformat->flags & AVFMT_GLOBALHEADER) c->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    const auto space = static_cast<AVColorSpace>(settings.ColourSpace);
    if (choice.id == AV_CODEC_ID_H264) {
        av_opt_set_int(c->priv_data, "crf", settings.Crf >= 0 ? settings.Crf : DefaultCrf, 0);
        // The source's matrix when it names one, which keeps its primaries and transfer too.
        s.matrix = EffectiveMatrix(space, settings.Width, settings.Height);
        ColourTags tags = TagsForMatrix(s.matrix);
        if (s.matrix == space) {
            if (settings.ColourPrimaries != AVCOL_PRI_UNSPECIFIED && settings.ColourPrimaries != AVCOL_PRI_RESERVED0)
                tags.Primaries = settings.ColourPrimaries;
            if (settings.ColourTransfer != AVCOL_TRC_UNSPECIFIED && settings.ColourTransfer != AVCOL_TRC_RESERVED0)
                tags.Transfer = settings.ColourTransfer;
        }
        c->color_range = AVCOL_RANGE_MPEG;
        c->colorspace = static_cast<AVColorSpace>(s.matrix);
        c->color_primaries = static_cast<AVColorPrimaries>(tags.Primaries);
        c->color_trc = static_cast<AVColorTransferCharacteristic>(tags.Transfer);
    } else if (choice.id == AV_CODEC_ID_FFV1) {
        c->level = 3;  // slices, so that it encodes and decodes on every core
        c->gop_size = 1;
    }
    const LibraryLogMark mark = MarkLibraryLog();
    result = avcodec_open2(c, encoder, nullptr);
    if (result < 0) return fail("cannot open the " + s.codecName + " encoder: " + LibraryReason(result, mark));

    s.stream = avformat_new_stream(s.format, nullptr);
    if (!s.stream) return fail("not enough memory");
    s.stream->time_base = c->time_base;
    s.stream->avg_frame_rate = c->framerate;
    result = avcodec_parameters_from_context(s.stream->codecpar, c);
    if (result < 0) return fail("cannot set up the stream: " + AvErrorText(result));

    s.words->format = AV_PIX_FMT_BGR0;
    s.words->width = settings.Width;
    s.words->height = settings.Height;
    if (av_frame_get_buffer(s.words, 64) < 0) return fail("not enough memory for a frame");
    if (pixels != AV_PIX_FMT_BGR0) {
        s.encoded = av_frame_alloc();
        if (!s.encoded) return fail("not enough memory");
        s.encoded->format = pixels;
        s.encoded->width = settings.Width;
        s.encoded->height = settings.Height;
        if (av_frame_get_buffer(s.encoded, 64) < 0) return fail("not enough memory for a frame");
        if (choice.id == AV_CODEC_ID_H264) {
            s.yuv = true;
            s.weights = YuvWeightsFor(s.matrix);
        } else {
            s.convert = sws_getContext(settings.Width, settings.Height, AV_PIX_FMT_BGR0, settings.Width,
                                       settings.Height, pixels, SWS_POINT, nullptr, nullptr, nullptr);
            if (!s.convert) return fail("cannot convert frames to " + std::string(av_get_pix_fmt_name(pixels)));
        }
    }

    result = avformat_write_header(s.format, nullptr);
    if (result < 0 || s.io->error < 0) return fail(s.WriteFailure(result < 0 ? result : s.io->error));
    return true;
}

bool VideoEncoder::WriteFrame(std::string* why) {
    if (!s_) {
        if (why) *why = "no video is being written";
        return false;
    }
    State& s = *s_;
    AVFrame* frame = s.words;
    if (s.encoded) {
        if (av_frame_make_writable(s.encoded) < 0) {
            if (why) *why = "not enough memory for a frame";
            s_.reset();
            return false;
        }
        if (s.yuv) {
            const YuvPlanes out{s.encoded->data[0],     s.encoded->data[1],     s.encoded->data[2],
                                s.encoded->linesize[0], s.encoded->linesize[1], s.encoded->linesize[2]};
            const auto* words = reinterpret_cast<const std::uint32_t*>(s.words->data[0]);
            const std::ptrdiff_t stride = s.words->linesize[0] / 4;
            if (s.encoded->format == AV_PIX_FMT_YUV420P)
                WordsToYuv420(words, stride, s.words->width, s.words->height, out, s.weights);
            else
                WordsToYuv444(words, stride, s.words->width, s.words->height, out, s.weights);
        } else {
            sws_scale(s.convert, s.words->data, s.words->linesize, 0, s.words->height, s.encoded->data,
                      s.encoded->linesize);
        }
        frame = s.encoded;
    }
    return SendFrame(frame, why);
}

bool VideoEncoder::TakesYuv420() const { return s_ && s_->yuv && s_->encoded->format == AV_PIX_FMT_YUV420P; }

bool VideoEncoder::Yuv420Frame(YuvPlanes& planes) {
    if (!TakesYuv420() || av_frame_make_writable(s_->encoded) < 0) return false;
    const AVFrame* e = s_->encoded;
    planes = YuvPlanes{e->data[0], e->data[1], e->data[2], e->linesize[0], e->linesize[1], e->linesize[2]};
    return true;
}

bool VideoEncoder::WriteYuv420Frame(std::string* why) {
    if (!TakesYuv420()) {
        if (why) *why = "no 4:2:0 video is being written";
        return false;
    }
    return SendFrame(s_->encoded, why);
}

void VideoEncoder::YuvOf(std::uint32_t word, std::uint8_t yuv[3]) const {
    // Through the frame conversion itself, so both ways of filling a frame agree to the bit.
    const std::uint32_t block[4] = {word, word, word, word};
    std::uint8_t y[4], u = 0, v = 0;
    const YuvPlanes out{y, &u, &v, 2, 1, 1};
    WordsToYuv420(block, 2, 2, 2, out, s_ ? s_->weights : YuvWeightsFor(AVCOL_SPC_SMPTE170M));
    yuv[0] = y[0];
    yuv[1] = u;
    yuv[2] = v;
}

int VideoEncoder::Matrix() const { return s_ ? s_->matrix : 0; }

void VideoEncoder::SetNextFrameTime(double seconds) {
    if (!s_ || !(seconds >= 0) || !s_->codec) return;
    const double ticks = seconds / av_q2d(s_->codec->time_base);
    s_->nextPts = ticks < 4e18 ? std::llround(ticks) : -1;
}

bool VideoEncoder::SendFrame(AVFrame* frame, std::string* why) {
    State& s = *s_;
    long long pts = s.nextPts >= 0 ? s.nextPts : (s.lastPts < 0 ? 0 : s.lastPts + TicksPerFrame);
    if (pts <= s.lastPts) pts = s.lastPts + 1;  // two frames at one time: the later just after
    s.nextPts = -1;
    s.lastPts = pts;
    frame->pts = pts;
    if (!s.Encode(frame, why)) {
        s_.reset();
        return false;
    }
    ++s.frames;
    return true;
}

bool VideoEncoder::Finish(std::string* why) {
    if (!s_) {
        if (why) *why = "no video is being written";
        return false;
    }
    State& s = *s_;
    auto fail = [&](const std::string& text) {
        if (why) *why = text;
        s_.reset();
        return false;
    };
    if (!s.Encode(nullptr, why)) return fail(why ? *why : std::string());
    int result = av_write_trailer(s.format);
    avio_flush(s.io);
    if (result < 0 || s.io->error < 0) return fail(s.WriteFailure(result < 0 ? result : s.io->error));
    // Some file systems report a full disk only when the data is flushed.
    if (::fsync(s.fd) != 0 && errno != EINVAL && errno != EROFS)
        return fail("cannot write " + s.path + ": " + std::strerror(errno));
    // Through a symbolic link to its target, keeping an existing file's mode.
    OutputTemporary temporary{s.fd, s.temporary, s.finalPath};
    s.fd = -1;
    s.temporary.clear();
    std::string problem;
    if (!CommitOutputTemporary(temporary, s.path, problem)) return fail(problem);
    s.Close(false);
    return true;
}

}  // namespace tesselink
