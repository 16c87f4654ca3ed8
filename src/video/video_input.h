// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where a demuxer reads a video from: one plain file (or, for the fuzz target, a buffer in
// memory), through an AVIOContext of our own. A file name is never a protocol ("concat:",
// "file:", "subfile,"), a pattern ("x%03d.png") or a list of other files: the demuxer gets the
// bytes of that one file, every attempt to open another file is refused, and playlists are
// refused as not being videos.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

struct AVFormatContext;
struct AVIOContext;

namespace tesselink {

class VideoInput {
public:
    ~VideoInput();
    VideoInput(const VideoInput&) = delete;
    VideoInput& operator=(const VideoInput&) = delete;

    // The regular file at `path`, opened for reading; null with the reason (VideoInputProblem's).
    static std::unique_ptr<VideoInput> OpenFile(const std::string& path, std::string* why);
    // `size` bytes at `data`, which must outlive the input.
    static std::unique_ptr<VideoInput> FromMemory(const std::uint8_t* data, std::size_t size);

    // Opens `format` (null on entry) on this input: the demuxer is probed from the bytes (the name
    // gives an extension hint only), may open no other file, and must not be a playlist. The input
    // must outlive the context. A negative FFmpeg code on failure, with the reason in `why`.
    int OpenFormat(AVFormatContext** format, const std::string& name, std::string* why);

private:
    VideoInput() = default;
    static int Read(void* opaque, std::uint8_t* buffer, int size);
    static std::int64_t Seek(void* opaque, std::int64_t offset, int whence);

    int fd_ = -1;
    const std::uint8_t* data_ = nullptr;
    std::size_t size_ = 0;
    std::size_t at_ = 0;
    AVIOContext* io_ = nullptr;
};

// Whether the demuxer `name` reads other files named in the one it is given (a playlist, a list).
bool IsListDemuxer(const std::string& name);

}  // namespace tesselink
