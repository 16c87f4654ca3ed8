// SPDX-License-Identifier: GPL-3.0-or-later
// Holding back what libraries print to stderr: their own lines are dropped, everything else
// reaches the real stderr afterwards, in order; a second hold inside waits its turn.
#include <gtest/gtest.h>

#include <sys/mman.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "picture/decoder_stderr.h"
#include "picture/stderr_scratch.h"

using namespace tesselink;

namespace {

// Sends stderr to a file of its own while alive, so that a test can read what reached it.
class CapturedStderr {
public:
    CapturedStderr() {
        std::fflush(stderr);
        file_ = ::memfd_create("captured-stderr", MFD_CLOEXEC);
        saved_ = ::dup(STDERR_FILENO);
        ::dup2(file_, STDERR_FILENO);
    }
    ~CapturedStderr() {
        std::fflush(stderr);
        ::dup2(saved_, STDERR_FILENO);
        ::close(saved_);
        ::close(file_);
    }
    std::string Text() const {
        std::fflush(stderr);
        std::string text;
        char buffer[256];
        for (off_t at = 0;;) {
            const ssize_t n = ::pread(file_, buffer, sizeof buffer, at);
            if (n <= 0) break;
            text.append(buffer, static_cast<std::size_t>(n));
            at += n;
        }
        return text;
    }

private:
    int file_ = -1;
    int saved_ = -1;
};

void Say(const char* text) {
    std::fputs(text, stderr);
    std::fflush(stderr);
}

}  // namespace

TEST(StderrScratchTest, HoldsEverythingAndPassesOnAllButTheDroppedLinesInOrder) {
    CapturedStderr real;
    {
        StderrScratch held;
        ASSERT_TRUE(held.Holding());
        Say("first line\nlib: noise\n");
        long at = 0;
        EXPECT_EQ(held.ReadFrom(at), "first line\nlib: noise\n");
        Say("second line\nlib: more noise\nunfinished");
        EXPECT_EQ(held.ReadFrom(at), "second line\nlib: more noise\nunfinished") << "only what came since";
        EXPECT_EQ(real.Text(), "") << "nothing reaches the real stderr while held";
        held.Restore([](const std::string& line) { return line.rfind("lib: ", 0) == 0; });
        Say("after\n");
    }
    EXPECT_EQ(real.Text(), "first line\nsecond line\nunfinishedafter\n");
}

TEST(StderrScratchTest, DecoderHoldDropsOnlyLibpngLinesAndOnlyWhenSwitchedOn) {
    CapturedStderr real;
    {
        const DecoderStderr off;
        Say("libpng warning: shown, nothing is held back\n");
    }
    HoldBackDecoderStderr(true);
    {
        const DecoderStderr on;
        Say("libpng error: IDAT: CRC error\nQt: kept\n");
    }
    HoldBackDecoderStderr(false);
    EXPECT_EQ(real.Text(), "libpng warning: shown, nothing is held back\nQt: kept\n");
}
