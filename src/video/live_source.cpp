// SPDX-License-Identifier: GPL-3.0-or-later
#include "video/live_source.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavdevice/avdevice.h>
#include <libavformat/avformat.h>
#include <libavutil/dict.h>
}

#include <utility>

#include "video/frame_planes.h"
#include "video/video_path.h"

namespace tesselink {
namespace {

using Clock = LiveSignalWatch::Clock;

void RegisterDevices() {
    static std::once_flag once;
    std::call_once(once, [] { avdevice_register_all(); });
}

}  // namespace

struct LiveSource::Session {
    AVFormatContext* format = nullptr;
    AVCodecContext* codec = nullptr;
    AVPacket* packet = nullptr;
    AVFrame* frame = nullptr;
    int stream = -1;
    AVRational timeBase{1, 1};
    AVRational declaredRate{0, 1};
    long long lastStamp = AV_NOPTS_VALUE;
    FramePlanesConverter* converter = nullptr;

    ~Session() {
        av_frame_free(&frame);
        av_packet_free(&packet);
        avcodec_free_context(&codec);
        avformat_close_input(&format);
    }
};

LiveSource::LiveSource(LiveSourceAddress address, int originalWidth, int originalHeight)
    : address_(std::move(address)), originalWidth_(originalWidth), originalHeight_(originalHeight) {}

LiveSource::~LiveSource() { Stop(); }

void LiveSource::SetSignalListener(SignalListener listener) { listener_ = std::move(listener); }

void LiveSource::Start() {
    if (worker_.joinable()) return;
    stopping_ = false;
    worker_ = std::thread([this] { Run(); });
}

void LiveSource::Stop() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    if (worker_.joinable()) worker_.join();
}

void LiveSource::SetOriginalSize(int originalWidth, int originalHeight) {
    std::lock_guard<std::mutex> lock(mutex_);
    originalWidth_ = originalWidth;
    originalHeight_ = originalHeight;
}

LiveSourceStatus LiveSource::Status() const {
    std::lock_guard<std::mutex> lock(mutex_);
    LiveSourceStatus status = status_;
    status.Signal = watch_.Signal();
    status.Reason = watch_.Reason();
    status.Attempts = watch_.Attempts();
    status.Dropped = slot_.Dropped();
    return status;
}

int LiveSource::Interrupt(void* opaque) {
    auto* self = static_cast<LiveSource*>(opaque);
    if (self->stopping_) return 1;
    if (Clock::now().time_since_epoch().count() >= self->deadline_.load()) {
        if (self->waitingForCaller_) {
            // A listener waits for its sender as long as it takes: opening again would not make
            // it call sooner. It is no signal all the same.
            self->MarkSilent("waiting for a sender to call");
            return 0;
        }
        self->timedOut_ = true;
        return 1;
    }
    return 0;
}

void LiveSource::MarkSilent(const std::string& reason) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (watch_.Signal() == LiveSignal::None) return;
        watch_.Lost(reason);
    }
    Report(LiveSignal::None, reason);
}

void LiveSource::Report(LiveSignal signal, const std::string& reason) {
    if (listener_) listener_(signal, reason);
}

void LiveSource::Refuse(const std::string& why) {
    std::lock_guard<std::mutex> lock(mutex_);
    ++status_.Refused;
    status_.LastRefusal = why;
}

void LiveSource::Run() {
    RegisterDevices();
    FramePlanesConverter converter;
    while (!stopping_) {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            watch_.Opening(Clock::now());
            deadline_ = watch_.Deadline().time_since_epoch().count();
            timedOut_ = false;
        }
        std::string why;
        {
            // Everything FFmpeg holds for this attempt goes back before the wait, so that
            // reopening again and again keeps the memory flat.
            Session session;
            session.converter = &converter;
            if (Open(session, &why)) why = Read(session);
        }
        if (stopping_) break;
        Clock::time_point next;
        bool changed = false;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            changed = watch_.Signal() != LiveSignal::None;  // a new reason alone is only in Status()
            watch_.Lost(why);
            next = watch_.NextAttempt();
        }
        if (changed) Report(LiveSignal::None, why);
        std::unique_lock<std::mutex> lock(mutex_);
        wake_.wait_until(lock, next, [this] { return stopping_.load(); });
    }
}

bool LiveSource::Open(Session& s, std::string* why) {
    auto fail = [&](const std::string& text) {
        if (why) *why = text;
        return false;
    };
    s.format = avformat_alloc_context();
    s.packet = av_packet_alloc();
    s.frame = av_frame_alloc();
    if (!s.format || !s.packet || !s.frame) return fail("not enough memory");
    s.format->interrupt_callback.callback = &LiveSource::Interrupt;
    s.format->interrupt_callback.opaque = this;
    // No buffering beyond the protocol's own and a short probe: the first frame is what counts.
    s.format->flags |= AVFMT_FLAG_NOBUFFER;

    AVDictionary* options = nullptr;
    av_dict_set(&options, "protocol_whitelist", address_.ProtocolWhitelist.c_str(), 0);
    av_dict_set(&options, "format_whitelist", address_.FormatWhitelist.c_str(), 0);
    av_dict_set(&options, "fflags", "nobuffer", 0);
    av_dict_set(&options, "probesize", "500000", 0);
    av_dict_set(&options, "analyzeduration", "500000", 0);
    switch (address_.Kind) {
    case LiveSourceKind::Udp:
    case LiveSourceKind::Rtp:
        // The socket's own buffer and FFmpeg's receiving thread take bursts of a large key frame;
        // an overrun loses packets, not the stream. The address's own options win.
        av_dict_set(&options, "buffer_size", "4194304", 0);
        av_dict_set(&options, "fifo_size", "16384", 0);  // 3 MB: two seconds at 12 Mbit/s
        av_dict_set(&options, "overrun_nonfatal", "1", 0);
        break;
    case LiveSourceKind::Desktop:
        av_dict_set(&options, "framerate", "60", 0);
        av_dict_set(&options, "draw_mouse", "0", 0);
        if (address_.HasRectangle)
            av_dict_set(&options, "video_size",
                        (std::to_string(address_.Width) + "x" + std::to_string(address_.Height)).c_str(), 0);
        break;
    default: break;
    }
    const AVInputFormat* input = nullptr;
    if (!address_.InputFormat.empty()) {
        input = av_find_input_format(address_.InputFormat.c_str());
        if (!input) {
            av_dict_free(&options);
            return fail("this FFmpeg cannot read a " + std::string(LiveSourceKindName(address_.Kind)));
        }
    }
    waitingForCaller_ = address_.Kind == LiveSourceKind::Srt && address_.Url.find("mode=listener") != std::string::npos;
    int result = avformat_open_input(&s.format, address_.Url.c_str(), input, &options);
    waitingForCaller_ = false;
    av_dict_free(&options);
    // The probe that follows gets its own second.
    deadline_ = (Clock::now() + LiveSignalWatch::Silence).time_since_epoch().count();
    if (result < 0) {
        if (stopping_) return fail("stopped");
        return fail(timedOut_ ? "nothing came for a second" : "cannot be opened: " + AvErrorText(result));
    }
    result = avformat_find_stream_info(s.format, nullptr);
    if (result < 0)
        return fail(timedOut_ ? "nothing came for a second" : "sends nothing readable: " + AvErrorText(result));
    const AVCodec* decoder = nullptr;
    s.stream = av_find_best_stream(s.format, AVMEDIA_TYPE_VIDEO, -1, -1, &decoder, 0);
    if (s.stream < 0 || !decoder)
        return fail(s.stream == AVERROR_DECODER_NOT_FOUND ? "sends video that cannot be decoded here"
                                                          : "sends no video");
    for (unsigned i = 0; i < s.format->nb_streams; ++i) {
        if (static_cast<int>(i) != s.stream) s.format->streams[i]->discard = AVDISCARD_ALL;
    }
    AVStream* st = s.format->streams[s.stream];
    s.codec = avcodec_alloc_context3(decoder);
    if (!s.codec) return fail("not enough memory");
    result = avcodec_parameters_to_context(s.codec, st->codecpar);
    if (result < 0) return fail("cannot set up its decoder: " + AvErrorText(result));
    // Slices in parallel, never frames: frame threads hold a frame back per thread.
    s.codec->thread_count = 0;
    s.codec->thread_type = FF_THREAD_SLICE;
    s.codec->flags |= AV_CODEC_FLAG_LOW_DELAY;
    s.codec->pkt_timebase = st->time_base;
    result = avcodec_open2(s.codec, decoder, nullptr);
    if (result < 0) return fail("cannot open its decoder: " + AvErrorText(result));
    s.timeBase = st->time_base;
    s.declaredRate = av_guess_frame_rate(s.format, st, nullptr);
    std::lock_guard<std::mutex> lock(mutex_);
    status_.SourceRate = s.declaredRate.num > 0 && s.declaredRate.den > 0 ? av_q2d(s.declaredRate) : 0;
    return true;
}

std::string LiveSource::Read(Session& s) {
    for (;;) {
        int result = av_read_frame(s.format, s.packet);
        // Once the silence has counted, what the demuxer still flushes out is from before it.
        if (timedOut_) {
            av_packet_unref(s.packet);
            return "no frame came for a second";
        }
        if (result < 0) {
            if (stopping_) return "stopped";
            if (timedOut_) return "no frame came for a second";
            if (result == AVERROR_EOF) return "the stream ended";
            return "cannot be read: " + AvErrorText(result);
        }
        if (s.packet->stream_index != s.stream) {
            av_packet_unref(s.packet);
            continue;
        }
        // Packets keep the attempt open (a stream may start a few seconds before its next key
        // frame), but a second without a frame is no signal all the same.
        const Clock::time_point now = Clock::now();
        deadline_ = (now + LiveSignalWatch::Silence).time_since_epoch().count();
        bool lost = false;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (watch_.Signal() != LiveSignal::None && watch_.Silent(now)) {
                watch_.Lost("no frame came for a second");
                lost = true;
            }
        }
        if (lost) Report(LiveSignal::None, "no frame came for a second");
        result = avcodec_send_packet(s.codec, s.packet);
        av_packet_unref(s.packet);
        // Garbage is refused packet by packet; only silence ends the attempt.
        if (result < 0 && result != AVERROR(EAGAIN)) Refuse("a packet cannot be decoded: " + AvErrorText(result));
        for (;;) {
            result = avcodec_receive_frame(s.codec, s.frame);
            if (result == AVERROR(EAGAIN) || result == AVERROR_EOF) break;
            if (result < 0) {
                Refuse("a frame cannot be decoded: " + AvErrorText(result));
                break;
            }
            Accept(s);
            av_frame_unref(s.frame);
        }
        if (stopping_) return "stopped";
    }
}

void LiveSource::Accept(Session& s) {
    const AVFrame& frame = *s.frame;
    if (frame.decode_error_flags != 0 || (frame.flags & AV_FRAME_FLAG_CORRUPT)) {
        Refuse("a frame is damaged");
        return;
    }
    const long long stamp = frame.best_effort_timestamp;
    double rate = s.declaredRate.num > 0 && s.declaredRate.den > 0 ? av_q2d(s.declaredRate) : 0;
    if (rate <= 0 && stamp != AV_NOPTS_VALUE && s.lastStamp != AV_NOPTS_VALUE && stamp > s.lastStamp)
        rate = 1.0 / (static_cast<double>(stamp - s.lastStamp) * av_q2d(s.timeBase));
    if (stamp != AV_NOPTS_VALUE) s.lastStamp = stamp;
    const std::string problem = LiveFrameProblem(frame.width, frame.height, rate);
    if (!problem.empty()) {
        Refuse(problem);
        return;
    }
    int originalWidth = 0, originalHeight = 0;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        originalWidth = originalWidth_;
        originalHeight = originalHeight_;
    }
    std::unique_ptr<LiveFrame> out = slot_.Spare();
    std::string why;
    // The crop or stretch is chosen for each frame's own size.
    if (!s.converter->Convert(frame, frame.width, frame.height, originalWidth, originalHeight, out->Planes, &why)) {
        Refuse(why);
        return;
    }
    const Clock::time_point now = Clock::now();
    out->SourceWidth = frame.width;
    out->SourceHeight = frame.height;
    out->SourceTime = stamp == AV_NOPTS_VALUE ? -1 : static_cast<double>(stamp) * av_q2d(s.timeBase);
    out->Arrival = now;
    bool changed = false;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        changed = watch_.Signal() != LiveSignal::Live;
        watch_.Frame(now);
        out->Number = ++status_.Received;
        status_.SourceWidth = frame.width;
        status_.SourceHeight = frame.height;
    }
    slot_.Put(std::move(out));
    if (changed) Report(LiveSignal::Live, std::string());
}

}  // namespace tesselink
