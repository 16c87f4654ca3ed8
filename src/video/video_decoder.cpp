// SPDX-License-Identifier: GPL-3.0-or-later
#include "video/video_decoder.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/avutil.h>
}

#include <cmath>
#include <cstdio>
#include <utility>
#include <vector>

#include "picture/picture.h"
#include "video/library_log.h"
#include "video/video_input.h"
#include "video/video_path.h"

namespace tesselink {
namespace {

std::string TooLarge(int width, int height, long long maxPixels) {
    return "the video is " + std::to_string(width) + " x " + std::to_string(height) + " pixels, more than the " +
           std::to_string(maxPixels) + " pixels that can be loaded";
}

// FFmpeg's decoders take (width + 128) x (height + 128) below 2^31 / 8 pixels: 16255 x 16255 at most.
std::string TooLargeForDecoders(int width, int height) {
    return "the video is " + std::to_string(width) + " x " + std::to_string(height) +
           " pixels, more than the decoders take (16255 x 16255 at most)";
}

// When a library refused a picture size since `mark`, that reason (FFmpeg logs "Picture size WxH
// is invalid" and then gives a code that says nothing of it).
std::string SizeRefusalSince(LibraryLogMark mark) {
    const std::string line = LibrarySizeRefusalSince(mark);
    int width = 0, height = 0;
    const std::size_t at = line.find("Picture size ");
    if (at != std::string::npos && std::sscanf(line.c_str() + at, "Picture size %ux%u", &width, &height) == 2)
        return TooLargeForDecoders(width, height);
    return std::string();
}

// Consecutive packets that fail to decode before the file counts as unreadable, not damaged.
constexpr int MaxFailedPackets = 64;

}  // namespace

struct VideoDecoder::State {
    std::unique_ptr<VideoInput> input;  // outlives the demuxer reading it
    AVFormatContext* format = nullptr;
    AVCodecContext* codec = nullptr;
    AVPacket* packet = nullptr;
    AVFrame* frame = nullptr;
    int stream = -1;
    AVRational timeBase{1, 1};
    AVRational rate{0, 1};
    long long firstStamp = 0;  // time stamp of frame 0, in timeBase
    bool haveFrame = false;
    bool pending = false;     // the current frame is decoded but not yet handed out by Next()
    bool draining = false;    // the file is read to its end; the decoder gives what it still holds
    long long index = -1;     // of the current frame
    long long expected = -1;  // frames the video stream itself says it has; -1 when it does not
    long long maxPixels = Picture::MaxPixels;
    long long seekingTo = 0;  // the frame a seek went for, while no frame is decoded after it
    VideoInfo info;
    DecoderComplaints complaints;  // the codec context's opaque: its error lines in the log
    unsigned long complaintsSeen = 0;
    bool opened = false;      // past the first frame: a frame that fails to decode is damage
    bool damaged = false;     // of the current frame
    bool lostBefore = false;  // a packet before the next frame could not be decoded
    int failedPackets = 0;    // in a row
    long long damagedFrames = 0;
    std::string damage;  // the last complaint

    ~State() {
        av_frame_free(&frame);
        av_packet_free(&packet);
        avcodec_free_context(&codec);
        avformat_close_input(&format);
    }

    // "after frame N", or "at the first frame" before any.
    std::string Where() const {
        if (index >= 0) return "after frame " + std::to_string(index);
        return seekingTo > 0 ? "near frame " + std::to_string(seekingTo) : std::string("at the first frame");
    }

    // A packet the decoder refused: damage once the video is open, a failure before.
    bool Refused(int result, LibraryLogMark mark, std::string* why) {
        if (result == AVERROR(ENOMEM) || LibraryMemoryShortSince(mark)) {
            Fail(why, "cannot decode the frame " + Where() + ": not enough memory");
            return false;
        }
        if (const std::string size = SizeRefusalSince(mark); !size.empty()) {
            Fail(why, size);
            return false;
        }
        if (!opened || ++failedPackets > MaxFailedPackets) {
            Fail(why, "cannot decode the frame " + Where() + ": " + LibraryReason(result, mark));
            return false;
        }
        lostBefore = true;
        const std::string line = LibraryErrorSince(mark);
        damage = line.empty() ? AvErrorText(result) : line;
        return true;
    }

    long long IndexOfStamp(long long stamp) const {
        const double seconds = static_cast<double>(stamp - firstStamp) * av_q2d(timeBase);
        return std::llround(seconds * av_q2d(rate));
    }

    static bool Fail(std::string* why, const std::string& text) {
        if (why) *why = text;
        return false;
    }

    // One frame out of the decoder, reading packets as it asks for them.
    Step Decode(std::string* why) {
        for (;;) {
            const LibraryLogMark mark = MarkLibraryLog();
            int result = avcodec_receive_frame(codec, frame);
            if (result == 0) {
                // A decoder tells damage by the frame's flags, or only by a line in the log.
                const unsigned long complaintCount = complaints.Count();
                damaged = lostBefore || frame->decode_error_flags != 0 || (frame->flags & AV_FRAME_FLAG_CORRUPT) ||
                          complaintCount != complaintsSeen;
                complaintsSeen = complaintCount;
                if (damaged) {
                    ++damagedFrames;
                    if (!lostBefore || damage.empty()) damage = complaints.Last();
                    if (damage.empty()) damage = "the decoder marked it damaged";
                }
                lostBefore = false;
                failedPackets = 0;
                const long long stamp = frame->best_effort_timestamp;
                index = stamp == AV_NOPTS_VALUE ? index + 1 : IndexOfStamp(stamp);
                haveFrame = true;
                return Step::Frame;
            }
            if (result == AVERROR_EOF) {
                // Some demuxers end a file cut short without a word; its own count tells. A frame
                // of slack: a container's duration may leave out the last frame's length.
                if (expected > 0 && index + 2 < expected) {
                    Fail(why, "the file is truncated: it ends after frame " + std::to_string(index) + " of " +
                                  std::to_string(expected));
                    return Step::Error;
                }
                return Step::End;
            }
            if (result != AVERROR(EAGAIN)) {
                if (!Refused(result, mark, why)) return Step::Error;
                continue;
            }
            if (draining) return Step::End;
            result = av_read_frame(format, packet);
            if (result == AVERROR_EOF) {
                draining = true;
                avcodec_send_packet(codec, nullptr);
                continue;
            }
            if (result < 0) {
                Fail(why, "cannot read the file " + Where() + ": " + LibraryReason(result, mark));
                return Step::Error;
            }
            if (packet->stream_index != stream) {
                av_packet_unref(packet);
                continue;
            }
            // The demuxer marks a packet cut short by the end of the file.
            const bool cut = (packet->flags & AV_PKT_FLAG_CORRUPT) != 0;
            result = avcodec_send_packet(codec, packet);
            av_packet_unref(packet);
            if (cut) {
                Fail(why, index < 0 ? std::string("the file is truncated before its first frame")
                                    : "the file is truncated after frame " + std::to_string(index));
                return Step::Error;
            }
            if (result < 0 && result != AVERROR(EAGAIN) && !Refused(result, mark, why)) return Step::Error;
        }
    }
};

VideoDecoder::VideoDecoder() = default;
VideoDecoder::~VideoDecoder() = default;

void VideoDecoder::Close() { s_.reset(); }
bool VideoDecoder::IsOpen() const { return s_ != nullptr; }

const VideoInfo& VideoDecoder::Info() const {
    static const VideoInfo none;
    return s_ ? s_->info : none;
}

const AVFrame* VideoDecoder::Frame() const { return s_ && s_->haveFrame ? s_->frame : nullptr; }
long long VideoDecoder::FrameIndex() const { return s_ && s_->haveFrame ? s_->index : -1; }

double VideoDecoder::FrameTime() const {
    if (!s_ || !s_->haveFrame || s_->rate.num <= 0) return 0;
    return static_cast<double>(s_->index) / av_q2d(s_->rate);
}

double VideoDecoder::FrameStamp() const {
    if (!s_ || !s_->haveFrame) return 0;
    const long long stamp = s_->frame->best_effort_timestamp;
    if (stamp == AV_NOPTS_VALUE) return FrameTime();
    return static_cast<double>(stamp - s_->firstStamp) * av_q2d(s_->timeBase);
}

bool VideoDecoder::FrameDamaged() const { return s_ && s_->haveFrame && s_->damaged; }
std::string VideoDecoder::DamageText() const { return s_ ? s_->damage : std::string(); }
long long VideoDecoder::DamagedFrames() const { return s_ ? s_->damagedFrames : 0; }

bool VideoDecoder::Open(const std::string& path, std::string* why) {
    Close();
    InstallLibraryLog();
    std::unique_ptr<VideoInput> input = VideoInput::OpenFile(path, why);
    if (!input) return false;
    return Open(std::move(input), path, Picture::MaxPixels, why);
}

bool VideoDecoder::Open(std::unique_ptr<VideoInput> input, const std::string& name, long long maxPixels,
                        std::string* why) {
    Close();
    InstallLibraryLog();
    const LibraryLogMark mark = MarkLibraryLog();
    auto s = std::make_unique<State>();
    s->maxPixels = maxPixels;
    s->input = std::move(input);
    std::string openProblem;
    int result = s->input->OpenFormat(&s->format, name, &openProblem);
    if (result < 0) {
        const std::string size = SizeRefusalSince(mark);
        return State::Fail(why, size.empty() ? openProblem : size);
    }
    // The sizes the file states, before probing: a decoder that refuses a size makes the probe forget it.
    std::vector<std::pair<int, int>> stated;
    for (unsigned i = 0; i < s->format->nb_streams; ++i)
        stated.emplace_back(s->format->streams[i]->codecpar->width, s->format->streams[i]->codecpar->height);
    result = avformat_find_stream_info(s->format, nullptr);
    if (result < 0) return State::Fail(why, "cannot read its streams: " + LibraryReason(result, mark));

    // A cover picture attached to a sound file is a video stream too, but not a video.
    bool sound = false;
    for (unsigned i = 0; i < s->format->nb_streams; ++i) {
        const AVStream* st = s->format->streams[i];
        if (st->codecpar->codec_type == AVMEDIA_TYPE_AUDIO) sound = true;
        if (st->codecpar->codec_type == AVMEDIA_TYPE_VIDEO && !(st->disposition & AV_DISPOSITION_ATTACHED_PIC) &&
            s->stream < 0)
            s->stream = static_cast<int>(i);
    }
    if (s->stream < 0) return State::Fail(why, sound ? "has no video, only sound" : "has no video stream");
    AVStream* st = s->format->streams[s->stream];
    const AVCodecParameters* par = st->codecpar;
    for (const auto& [w, h] : {std::pair(par->width, par->height), stated[static_cast<std::size_t>(s->stream)]}) {
        if (static_cast<long long>(w) * h > s->maxPixels) return State::Fail(why, TooLarge(w, h, s->maxPixels));
    }
    const AVCodec* decoder = avcodec_find_decoder(par->codec_id);
    if (!decoder)
        return State::Fail(
            why, "its video codec " + std::string(avcodec_get_name(par->codec_id)) + " cannot be decoded here");
    s->codec = avcodec_alloc_context3(decoder);
    s->packet = av_packet_alloc();
    s->frame = av_frame_alloc();
    if (!s->codec || !s->packet || !s->frame) return State::Fail(why, "not enough memory");
    result = avcodec_parameters_to_context(s->codec, par);
    if (result < 0) return State::Fail(why, "cannot set up its decoder: " + AvErrorText(result));
    s->codec->thread_count = 0;  // as many as the machine has
    s->codec->thread_type = FF_THREAD_FRAME | FF_THREAD_SLICE;
    s->codec->pkt_timebase = st->time_base;
    s->codec->opaque = &s->complaints;
    // A damaged frame is an error, not a frame patched from its neighbours: a render must not
    // put out pictures the file does not hold.
    s->codec->err_recognition |= AV_EF_CRCCHECK | AV_EF_EXPLODE;
    result = avcodec_open2(s->codec, decoder, nullptr);
    if (result < 0) return State::Fail(why, "cannot open its decoder: " + LibraryReason(result, mark));

    s->timeBase = st->time_base;
    s->rate = av_guess_frame_rate(s->format, st, nullptr);
    if (s->rate.num <= 0 || s->rate.den <= 0) s->rate = AVRational{25, 1};  // a single picture has none

    std::string decodeProblem;
    const Step first = s->Decode(&decodeProblem);
    if (first == Step::End) {
        // A decoder that refused every frame's size ends the same way as a video without frames.
        const std::string size = SizeRefusalSince(mark);
        return State::Fail(why, size.empty() ? std::string("has no frames") : size);
    }
    if (first == Step::Error) return State::Fail(why, decodeProblem);
    const AVFrame* f = s->frame;
    if (f->width <= 0 || f->height <= 0) return State::Fail(why, "its frames have no size");
    if (static_cast<long long>(f->width) * f->height > s->maxPixels)
        return State::Fail(why, TooLarge(f->width, f->height, s->maxPixels));
    s->opened = true;
    // Frame 0 is the first frame decoded, whatever the stream's start time says.
    s->firstStamp = f->best_effort_timestamp == AV_NOPTS_VALUE ? 0 : f->best_effort_timestamp;
    s->index = 0;
    s->pending = true;

    VideoInfo& info = s->info;
    info.Width = f->width;
    info.Height = f->height;
    info.FrameRateNum = s->rate.num;
    info.FrameRateDen = s->rate.den;
    info.ColourSpace = f->colorspace != AVCOL_SPC_UNSPECIFIED ? f->colorspace : par->color_space;
    info.ColourPrimaries = f->color_primaries != AVCOL_PRI_UNSPECIFIED ? f->color_primaries : par->color_primaries;
    info.ColourTransfer = f->color_trc != AVCOL_TRC_UNSPECIFIED ? f->color_trc : par->color_trc;
    info.ColourRange = f->color_range != AVCOL_RANGE_UNSPECIFIED ? f->color_range : par->color_range;
    info.CodecName = decoder->name;
    if (st->duration != AV_NOPTS_VALUE && st->duration > 0)
        info.Duration = static_cast<double>(st->duration) * av_q2d(st->time_base);
    else if (s->format->duration != AV_NOPTS_VALUE && s->format->duration > 0)
        info.Duration = static_cast<double>(s->format->duration) / AV_TIME_BASE;
    if (st->nb_frames > 0) {
        info.FrameCount = st->nb_frames;
        info.FrameCountExact = true;
        s->expected = info.FrameCount;
    } else if (info.Duration > 0) {
        info.FrameCount = std::llround(info.Duration * av_q2d(s->rate));
        // Only the video's own length: a file's may be that of a longer sound track.
        if ((st->duration != AV_NOPTS_VALUE && st->duration > 0) || s->format->nb_streams == 1)
            s->expected = info.FrameCount;
    }
    s_ = std::move(s);
    return true;
}

VideoDecoder::Step VideoDecoder::Next(std::string* why) {
    if (!s_) {
        State::Fail(why, "no video is open");
        return Step::Error;
    }
    if (s_->pending) {
        s_->pending = false;
        return Step::Frame;
    }
    return s_->Decode(why);
}

long long VideoDecoder::FrameIndexAt(double seconds) const {
    if (!s_ || seconds <= 0) return 0;
    // A hair over, so that a time read back from a frame's own stamp finds that frame.
    const double index = std::floor(seconds * av_q2d(s_->rate) + 1e-6);
    return index < 4e18 ? static_cast<long long>(index) : 4000000000000000000LL;  // far past any end
}

VideoDecoder::Step VideoDecoder::SeekToTime(double seconds, std::string* why) {
    return SeekToFrame(FrameIndexAt(seconds), why);
}

VideoDecoder::Step VideoDecoder::SeekToFrame(long long index, std::string* why) {
    if (!s_) {
        State::Fail(why, "no video is open");
        return Step::Error;
    }
    State& s = *s_;
    if (index < 0) index = 0;
    // Stepping a little forward is cheaper by decoding on than by going back to a key frame.
    const bool ahead = s.haveFrame && index >= s.index && index - s.index <= 8 && !s.draining;
    if (s.haveFrame && index == s.index) {
        s.pending = false;
        return Step::Frame;
    }
    if (!ahead) {
        for (int attempt = 0; attempt < 2; ++attempt) {
            // Second attempt from the very start: the container's index put the first one too late.
            const long long target =
                attempt == 0 ? s.firstStamp + av_rescale_q(index, av_inv_q(s.rate), s.timeBase) : s.firstStamp;
            int result = av_seek_frame(s.format, s.stream, target, AVSEEK_FLAG_BACKWARD);
            if (result < 0) result = av_seek_frame(s.format, s.stream, target, AVSEEK_FLAG_BACKWARD | AVSEEK_FLAG_ANY);
            if (result < 0) {
                State::Fail(why, "cannot seek to frame " + std::to_string(index) + ": " + AvErrorText(result));
                return Step::Error;
            }
            avcodec_flush_buffers(s.codec);
            s.draining = false;
            s.pending = false;
            s.haveFrame = false;
            s.index = -1;
            s.seekingTo = index;
            const Step step = s.Decode(why);
            if (step != Step::Frame) return step;
            if (s.index <= index || attempt == 1) break;
        }
        if (s.index >= index) return Step::Frame;
    }
    s.pending = false;
    while (s.index < index) {
        const Step step = s.Decode(why);
        if (step != Step::Frame) return step;
    }
    return Step::Frame;
}

}  // namespace tesselink
