// SPDX-License-Identifier: GPL-3.0-or-later
#include "picture/stderr_scratch.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdio>

namespace tesselink {
namespace {

void WriteAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n <= 0) return;
        data += n;
        size -= static_cast<std::size_t>(n);
    }
}

}  // namespace

StderrScratch::StderrScratch() {
    std::fflush(stderr);
    // A file, not a pipe: a pipe nobody drains would block a library that writes much.
    scratch_ = ::memfd_create("held-stderr", MFD_CLOEXEC);
    saved_ = scratch_ < 0 ? -1 : ::dup(STDERR_FILENO);
    if (saved_ < 0 || ::dup2(scratch_, STDERR_FILENO) < 0) {
        if (saved_ >= 0) ::close(saved_);
        if (scratch_ >= 0) ::close(scratch_);
        saved_ = scratch_ = -1;
    }
}

StderrScratch::~StderrScratch() {
    Restore([](const std::string&) { return false; });
}

std::string StderrScratch::ReadFrom(long& at) const {
    std::string held;
    if (scratch_ < 0) return held;
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::pread(scratch_, buffer, sizeof buffer, at);
        if (n <= 0) break;
        held.append(buffer, static_cast<std::size_t>(n));
        at += n;
    }
    return held;
}

void StderrScratch::Restore(const std::function<bool(const std::string& line)>& dropped) {
    if (saved_ < 0) return;
    std::fflush(stderr);
    ::dup2(saved_, STDERR_FILENO);
    ::close(saved_);
    saved_ = -1;
    long at = 0;
    const std::string held = ReadFrom(at);
    ::close(scratch_);
    scratch_ = -1;
    for (std::size_t start = 0; start < held.size();) {
        std::size_t end = held.find('\n', start);
        end = end == std::string::npos ? held.size() : end + 1;
        const std::string line = held.substr(start, end - start);
        if (!dropped(line)) WriteAll(STDERR_FILENO, line.data(), line.size());
        start = end;
    }
}

}  // namespace tesselink
