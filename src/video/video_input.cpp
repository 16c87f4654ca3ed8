// SPDX-License-Identifier: GPL-3.0-or-later
#include "video/video_input.h"

extern "C" {
#include <libavformat/avformat.h>
#include <libavutil/dict.h>
}

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "video/library_log.h"
#include "video/video_path.h"

namespace tesselink {
namespace {

constexpr int IoBufferSize = 1 << 16;

// A demuxer asks for other files (segments, listed files, planes of a picture) through this.
int RefuseOtherFiles(AVFormatContext*, AVIOContext**, const char*, int, AVDictionary**) { return AVERROR(EPERM); }

}  // namespace

bool IsListDemuxer(const std::string& name) {
    for (const char* list : {"hls", "applehttp", "concat", "dash", "webm_dash_manifest", "imf", "ffmetadata", "tee"})
        if (name == list) return true;
    return false;
}

VideoInput::~VideoInput() {
    if (io_) {
        av_freep(&io_->buffer);
        avio_context_free(&io_);
    }
    if (fd_ >= 0) ::close(fd_);
}

std::unique_ptr<VideoInput> VideoInput::OpenFile(const std::string& path, std::string* why) {
    const std::string problem = VideoInputProblem(path);
    if (!problem.empty()) {
        if (why) *why = problem;
        return nullptr;
    }
    std::unique_ptr<VideoInput> input(new VideoInput);
    input->fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    struct stat info {};
    if (input->fd_ < 0 || ::fstat(input->fd_, &info) != 0 || !S_ISREG(info.st_mode)) {
        // Swapped for something else since the check.
        if (why) *why = input->fd_ < 0 ? std::strerror(errno) : "is not a regular file";
        return nullptr;
    }
    return input;
}

std::unique_ptr<VideoInput> VideoInput::FromMemory(const std::uint8_t* data, std::size_t size) {
    std::unique_ptr<VideoInput> input(new VideoInput);
    input->data_ = data;
    input->size_ = size;
    return input;
}

int VideoInput::Read(void* opaque, std::uint8_t* buffer, int size) {
    auto* in = static_cast<VideoInput*>(opaque);
    if (in->fd_ < 0) {
        const std::size_t n = std::min(static_cast<std::size_t>(size), in->size_ - in->at_);
        if (n == 0) return AVERROR_EOF;
        std::memcpy(buffer, in->data_ + in->at_, n);
        in->at_ += n;
        return static_cast<int>(n);
    }
    for (;;) {
        const ssize_t n = ::read(in->fd_, buffer, static_cast<std::size_t>(size));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return AVERROR(errno);
        return n == 0 ? AVERROR_EOF : static_cast<int>(n);
    }
}

std::int64_t VideoInput::Seek(void* opaque, std::int64_t offset, int whence) {
    auto* in = static_cast<VideoInput*>(opaque);
    whence &= ~AVSEEK_FORCE;
    if (in->fd_ >= 0) {
        if (whence == AVSEEK_SIZE) {
            struct stat info {};
            return ::fstat(in->fd_, &info) == 0 ? info.st_size : AVERROR(errno);
        }
        const off_t at = ::lseek(in->fd_, offset, whence);
        return at < 0 ? AVERROR(errno) : at;
    }
    const auto size = static_cast<std::int64_t>(in->size_);
    if (whence == AVSEEK_SIZE) return size;
    std::int64_t at = offset;
    if (whence == SEEK_CUR) at += static_cast<std::int64_t>(in->at_);
    if (whence == SEEK_END) at += size;
    if (at < 0 || at > size) return AVERROR(EINVAL);
    in->at_ = static_cast<std::size_t>(at);
    return at;
}

int VideoInput::OpenFormat(AVFormatContext** format, const std::string& name, std::string* why) {
    auto fail = [&](int code, const std::string& text) {
        if (why) *why = text;
        return code;
    };
    if (!io_) {
        auto* buffer = static_cast<std::uint8_t*>(av_malloc(IoBufferSize));
        if (buffer) io_ = avio_alloc_context(buffer, IoBufferSize, 0, this, &Read, nullptr, &Seek);
        if (!io_) {
            av_free(buffer);
            return fail(AVERROR(ENOMEM), "not enough memory");
        }
    }
    AVFormatContext* context = avformat_alloc_context();
    if (!context) return fail(AVERROR(ENOMEM), "not enough memory");
    context->pb = io_;
    context->io_open = &RefuseOtherFiles;
    // Belt and braces: no protocol at all, and a picture demuxer reads this file only.
    AVDictionary* options = nullptr;
    av_dict_set(&options, "protocol_whitelist", "none", 0);
    av_dict_set(&options, "pattern_type", "none", 0);
    const LibraryLogMark mark = MarkLibraryLog();
    // The name only as the demuxers' extension hint; "x%03d.png" must not read as a sequence.
    const std::size_t slash = name.rfind('/');
    const std::size_t dot = name.rfind('.');
    const std::string hint =
        dot != std::string::npos && (slash == std::string::npos || dot > slash) ? "input" + name.substr(dot) : "input";
    const std::string url = hint.find('%') == std::string::npos ? hint : "input";
    // Probed first, so that a playlist is refused before its demuxer goes looking for its parts.
    const AVInputFormat* demuxer = nullptr;
    int result = av_probe_input_buffer2(io_, &demuxer, url.c_str(), nullptr, 0, 0);
    if (result >= 0 && demuxer && IsListDemuxer(demuxer->name)) result = AVERROR(EPERM);
    if (result < 0) {
        av_dict_free(&options);
        avformat_free_context(context);
        if (result == AVERROR(EPERM)) return fail(result, "is not a video file: it is a playlist or a list of files");
        if (result == AVERROR_EOF) return fail(result, "is empty");
        if (result == AVERROR(ENOMEM) || LibraryMemoryShortSince(mark)) return fail(result, "not enough memory");
        return fail(result, "is not a video (" + AvErrorText(result) + ")");
    }
    result = avformat_open_input(&context, url.c_str(), demuxer, &options);
    av_dict_free(&options);
    if (result < 0) {
        // avformat_open_input frees the context on failure.
        if (result == AVERROR_EOF) return fail(result, "ends before its first frame");
        if (result == AVERROR(ENOMEM) || LibraryMemoryShortSince(mark)) return fail(result, "not enough memory");
        return fail(result, "is not a video (" + AvErrorText(result) + ")");
    }
    *format = context;
    return 0;
}

}  // namespace tesselink
