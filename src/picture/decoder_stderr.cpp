// SPDX-License-Identifier: GPL-3.0-or-later
#include "picture/decoder_stderr.h"

#include <sys/mman.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <mutex>
#include <string>

namespace tesselink {
namespace {

std::atomic<bool> holdBack{false};
std::mutex redirecting;  // stderr is one per process: one redirection at a time

// A decoder's own line, as libpng prints it.
bool IsDecoderLine(const std::string& line) { return line.rfind("libpng ", 0) == 0; }

void WriteAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n <= 0) return;
        data += n;
        size -= static_cast<std::size_t>(n);
    }
}

}  // namespace

void HoldBackDecoderStderr(bool on) { holdBack = on; }

DecoderStderr::DecoderStderr() {
    if (!holdBack) return;
    redirecting.lock();
    std::fflush(stderr);
    // A file, not a pipe: a pipe nobody drains would block a decoder that writes much.
    scratch_ = ::memfd_create("decoder-stderr", MFD_CLOEXEC);
    saved_ = scratch_ < 0 ? -1 : ::dup(STDERR_FILENO);
    if (saved_ < 0 || ::dup2(scratch_, STDERR_FILENO) < 0) {
        if (saved_ >= 0) ::close(saved_);
        if (scratch_ >= 0) ::close(scratch_);
        saved_ = scratch_ = -1;
        redirecting.unlock();
    }
}

DecoderStderr::~DecoderStderr() {
    if (saved_ < 0) return;
    std::fflush(stderr);
    ::dup2(saved_, STDERR_FILENO);
    ::close(saved_);
    std::string held;
    char buffer[4096];
    for (off_t at = 0;;) {
        const ssize_t n = ::pread(scratch_, buffer, sizeof buffer, at);
        if (n <= 0) break;
        held.append(buffer, static_cast<std::size_t>(n));
        at += n;
    }
    ::close(scratch_);
    for (std::size_t start = 0; start < held.size();) {
        std::size_t end = held.find('\n', start);
        end = end == std::string::npos ? held.size() : end + 1;
        const std::string line = held.substr(start, end - start);
        if (!IsDecoderLine(line)) WriteAll(STDERR_FILENO, line.data(), line.size());
        start = end;
    }
    redirecting.unlock();
}

}  // namespace tesselink
