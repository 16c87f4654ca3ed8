// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Videos with known content for the tests, written with FFmpeg's libraries.

#include <cstdint>
#include <string>
#include <vector>

namespace tesselink::test {

// One frame as 0xffRRGGBB words, row-major, no padding.
struct TestFrame {
    int Width = 0;
    int Height = 0;
    std::vector<std::uint32_t> Words;
};

// Frame `index` of a numbered video: red is the frame number, green the column, blue the row
// (each modulo 256), so every pixel says where it came from.
TestFrame NumberedFrame(int index, int width, int height);
// The frame number a numbered frame's pixel says.
int FrameNumberOf(std::uint32_t word);

struct TestVideo {
    std::string Muxer = "matroska";
    std::string Codec = "ffv1";
    std::string PixelFormat = "bgr0";  // av_get_pix_fmt name
    int FrameRate = 10;
    int KeyFrameInterval = 0;  // 0: the encoder's default
    // Each frame's time in milliseconds, for a variable frame rate; empty: one per 1 / FrameRate.
    std::vector<long long> StampsMs;
};

// Writes `frames` (any sizes: the encoder is opened again for a new size) to `path`; empty on
// success, else why not.
std::string WriteTestVideo(const std::string& path, const TestVideo& video, const std::vector<TestFrame>& frames);

// A Matroska file with one sound stream and no video.
std::string WriteSoundOnly(const std::string& path);
// A Matroska file whose video stream has a head but no frame.
std::string WriteNoFrames(const std::string& path);
// A Matroska file whose video stream says width x height (one tiny packet, no real frame).
std::string WriteHugeHead(const std::string& path, int width, int height);

}  // namespace tesselink::test
