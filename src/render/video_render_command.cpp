// SPDX-License-Identifier: GPL-3.0-or-later
#include "render/video_render_command.h"

extern "C" {
#include <libavutil/log.h>
}

#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "map/map_file.h"
#include "picture/colour_plane_refresh.h"
#include "remap/cover.h"
#include "stage/target_composer.h"
#include "video/frame_pump.h"
#include "video/video_encoder.h"
#include "video/video_path.h"
#include "video/yuv420_remap.h"

namespace tesselink {
namespace {

constexpr int ExitFailed = 1;
constexpr int ExitUsage = 2;

const char* const VideoUsage =
    "usage: tesselink --render MAP --video IN --output OUT.mp4|.mov|.mkv [--cover none|same|different] "
    "[--codec h264|ffv1|png] [--crf N] [--start SECONDS] [--duration SECONDS]";

volatile sig_atomic_t interrupted = 0;

void OnInterrupt(int) { interrupted = 1; }

// Ctrl+C and a polite kill stop the loop between frames instead of killing the process with a
// temporary file left behind; the handlers go back to what they were when the render ends.
class InterruptCatcher {
public:
    InterruptCatcher() {
        interrupted = 0;
        struct sigaction action {};
        action.sa_handler = OnInterrupt;
        sigemptyset(&action.sa_mask);
        sigaction(SIGINT, &action, &oldInt_);
        sigaction(SIGTERM, &action, &oldTerm_);
    }
    ~InterruptCatcher() {
        sigaction(SIGINT, &oldInt_, nullptr);
        sigaction(SIGTERM, &oldTerm_, nullptr);
    }

private:
    struct sigaction oldInt_ {};
    struct sigaction oldTerm_ {};
};

int Fail(int code, const std::string& text) {
    std::fprintf(stderr, "tesselink: %s\n", text.c_str());
    return code;
}

bool ParseNumber(const std::string& text, double& value) {
    if (text.empty()) return false;
    char* end = nullptr;
    value = std::strtod(text.c_str(), &end);
    return end && *end == '\0' && std::isfinite(value);
}

// The progress line: rewritten in place on a terminal, printed once at the end otherwise.
class Progress {
public:
    explicit Progress(long long total) : total_(total), terminal_(::isatty(STDERR_FILENO) == 1) {}

    void Frame(long long done) {
        if (!terminal_) return;
        const auto now = Clock::now();
        if (now - shown_ < std::chrono::milliseconds(250)) return;
        shown_ = now;
        std::fprintf(stderr, "\r%s", Line(done).c_str());
        std::fflush(stderr);
    }

    void Finish(long long done, const std::string& output) {
        if (terminal_)
            std::fprintf(stderr, "\r%s\n", Line(done).c_str());
        else
            std::fprintf(stderr, "tesselink: wrote %s: %s\n", output.c_str(), Line(done).c_str());
    }

    void Abandon(long long done) {
        if (terminal_ && done > 0) std::fprintf(stderr, "\r%s\n", Line(done).c_str());
    }

private:
    using Clock = std::chrono::steady_clock;

    std::string Line(long long done) const {
        const double seconds = std::chrono::duration<double>(Clock::now() - start_).count();
        const double fps = seconds > 0 ? done / seconds : 0;
        char text[160];
        // The count is the file's estimate when it does not state one; past it, none is shown.
        if (total_ > 0 && done <= total_) {
            std::snprintf(text, sizeof text, "frame %lld of %lld (%d %%), %.1f fps", done, total_,
                          static_cast<int>(100.0 * done / total_), fps);
        } else {
            std::snprintf(text, sizeof text, "frame %lld, %.1f fps", done, fps);
        }
        return text;
    }

    const long long total_;
    const bool terminal_;
    const Clock::time_point start_ = Clock::now();
    Clock::time_point shown_{};
};

}  // namespace

std::optional<std::string> ParseVideoRenderArguments(const std::vector<std::string>& arguments,
                                                     VideoRenderOptions& options) {
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& name = arguments[i];
        if (name != "--render" && name != "--video" && name != "--output" && name != "--cover" && name != "--codec" &&
            name != "--crf" && name != "--start" && name != "--duration")
            return "unknown argument " + name;
        if (i + 1 >= arguments.size()) return name + " needs a value";
        const std::string& value = arguments[++i];
        double number = 0;
        if (name == "--render")
            options.MapPath = value;
        else if (name == "--video")
            options.VideoPath = value;
        else if (name == "--output")
            options.OutputPath = value;
        else if (name == "--codec")
            options.Codec = value;
        else if (name == "--cover") {
            if (value == "none")
                options.CoverMode = CoverMode::None;
            else if (value == "same")
                options.CoverMode = CoverMode::Same;
            else if (value == "different")
                options.CoverMode = CoverMode::Different;
            else
                return "--cover takes none, same or different, not " + value;
        } else if (name == "--crf") {
            if (!ParseNumber(value, number) || number != std::floor(number) || number < 0 || number > 51)
                return "--crf takes a whole number from 0 to 51, not " + value;
            options.Crf = static_cast<int>(number);
        } else if (name == "--start") {
            if (!ParseNumber(value, number) || number < 0) return "--start takes seconds from 0, not " + value;
            options.Start = number;
        } else {
            if (!ParseNumber(value, number) || number <= 0) return "--duration takes seconds above 0, not " + value;
            options.Duration = number;
        }
    }
    if (options.MapPath.empty() || options.VideoPath.empty() || options.OutputPath.empty()) return VideoUsage;
    return std::nullopt;
}

int RunVideoRenderCommand(const VideoRenderOptions& options) {
    // Every failure is reported in one line of ours; FFmpeg's own chatter would only repeat it.
    av_log_set_level(AV_LOG_FATAL);

    Map map;
    const MapLoadResult loaded = ReadMapFile(map, options.MapPath);
    if (!loaded) {
        const std::string why = !loaded.Message.empty()     ? loaded.Message
                                : !loaded.ReadError.empty() ? loaded.ReadError
                                                            : "not a map file";
        return Fail(ExitFailed, "cannot load map " + options.MapPath + ": " + why);
    }
    const MapFileHead& head = map.Head;
    if (head.TargetWidth == 0 || head.TargetHeight == 0 || head.OriginalWidth == 0 || head.OriginalHeight == 0) {
        return Fail(ExitFailed, "cannot render " + options.MapPath + ": its original size is " +
                                    std::to_string(head.OriginalWidth) + " x " + std::to_string(head.OriginalHeight) +
                                    " and its target size " + std::to_string(head.TargetWidth) + " x " +
                                    std::to_string(head.TargetHeight));
    }
    for (const std::string& tooLarge : {AreaTooLargeText("original", head.OriginalWidth, head.OriginalHeight),
                                        AreaTooLargeText("target", head.TargetWidth, head.TargetHeight)}) {
        if (!tooLarge.empty()) return Fail(ExitFailed, "cannot render " + options.MapPath + ": " + tooLarge);
    }

    VideoEncoderSettings settings;
    settings.Width = head.TargetWidth;
    settings.Height = head.TargetHeight;
    settings.Codec = options.Codec;
    settings.Crf = options.Crf ? *options.Crf : -1;
    // Checked before a frame is decoded: a wrong name should not cost a minute of work.
    if (const std::string problem = VideoEncoderSettingsProblem(options.OutputPath, settings); !problem.empty())
        return Fail(options.Crf || !options.Codec.empty() ? ExitUsage : ExitFailed,
                    "cannot write " + options.OutputPath + ": " + problem);
    if (const std::string problem = VideoOutputProblem(options.OutputPath); !problem.empty())
        return Fail(ExitFailed, "cannot write " + options.OutputPath + ": " + problem);

    const CoverMode coverMode = options.CoverMode ? *options.CoverMode : CoverModeFromOption(head.CoverOption);
    TargetComposer composer;
    if (!composer.SetMap(map.Windows, head, coverMode))
        return Fail(ExitFailed, "cannot render " + options.MapPath + ": " + CoverTooLargeText(map.Windows));

    auto decoder = std::make_unique<VideoDecoder>();
    std::string why;
    if (!decoder->Open(options.VideoPath, &why))
        return Fail(ExitFailed, "cannot load video " + options.VideoPath + ": " + why);
    const VideoInfo info = decoder->Info();
    settings.FrameRateNum = info.FrameRateNum;
    settings.FrameRateDen = info.FrameRateDen;
    settings.ColourSpace = info.ColourSpace;

    const long long first = decoder->FrameIndexAt(options.Start);
    long long limit = -1;  // frames to write; negative: to the end
    if (options.Duration)
        limit = std::max(1LL, static_cast<long long>(std::ceil(*options.Duration * info.FrameRate() - 1e-6)));
    long long total = info.FrameCount >= 0 ? std::max(0LL, info.FrameCount - first) : -1;
    if (limit >= 0) total = total >= 0 ? std::min(total, limit) : limit;

    InterruptCatcher catcher;
    VideoEncoder encoder;
    if (!encoder.Open(options.OutputPath, settings, &why)) return Fail(ExitFailed, why);

    VideoFramePump pump(std::move(decoder), head.OriginalWidth, head.OriginalHeight);
    // 4:2:0 frames into a 4:2:0 encoder skip the round trip through RGB; a cover's tiles go through
    // the engine's colour planes.
    std::uint8_t fillYuv[3] = {};
    if (encoder.TakesYuv420() && !composer.CoverShown()) {
        pump.KeepYuv420(info.ColourSpace);
        encoder.YuvOf(0xff000000u | 0x010101u * TargetFillValue, fillYuv);
    }
    Yuv420Remapper yuvRemapper;
    pump.Seek(first);
    Progress progress(total);
    long long written = 0;
    for (;;) {
        if (interrupted) {
            encoder.Abandon();
            progress.Abandon(written);
            return Fail(VideoRenderInterrupted, "interrupted; " + options.OutputPath + " not written");
        }
        if (limit >= 0 && written >= limit) break;
        std::unique_ptr<PumpedFrame> frame;
        const VideoFramePump::Result result = pump.Pop(frame, &why);
        if (result == VideoFramePump::Result::End) break;
        if (result != VideoFramePump::Result::Frame) {
            encoder.Abandon();
            progress.Abandon(written);
            return Fail(ExitFailed, "cannot render " + options.VideoPath + ": " + why);
        }
        const bool yuv = frame->Yuv.IsPresent();
        bool remapped = false;
        if (yuv) {
            YuvPlanes planes;
            remapped = encoder.Yuv420Frame(planes);
            if (remapped)
                yuvRemapper.Remap(frame->Yuv, map.Windows, head.TargetWidth, head.TargetHeight, planes, fillYuv);
        } else {
            std::uint32_t* words = encoder.FrameWords();
            remapped = words && composer.ComposeWholeInto(frame->Planes, words, encoder.StrideWords());
        }
        pump.Recycle(std::move(frame));
        if (!remapped) {
            encoder.Abandon();
            progress.Abandon(written);
            return Fail(ExitFailed, "cannot render " + options.MapPath + ": not enough memory for the target picture");
        }
        if (!(yuv ? encoder.WriteYuv420Frame(&why) : encoder.WriteFrame(&why))) {
            progress.Abandon(written);
            return Fail(ExitFailed, why);
        }
        ++written;
        progress.Frame(written);
    }
    pump.Stop();
    if (interrupted) {
        encoder.Abandon();
        progress.Abandon(written);
        return Fail(VideoRenderInterrupted, "interrupted; " + options.OutputPath + " not written");
    }
    if (written == 0) {
        encoder.Abandon();
        char start[32];
        std::snprintf(start, sizeof start, "%g", options.Start);
        return Fail(ExitFailed, "cannot render " + options.VideoPath + ": it has no frame from " + start + " s on");
    }
    if (!encoder.Finish(&why)) return Fail(ExitFailed, why);
    progress.Finish(written, options.OutputPath);
    return 0;
}

}  // namespace tesselink
