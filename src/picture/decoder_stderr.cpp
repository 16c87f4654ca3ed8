// SPDX-License-Identifier: GPL-3.0-or-later
#include "picture/decoder_stderr.h"

#include <atomic>
#include <mutex>
#include <string>

namespace tesselink {
namespace {

std::atomic<bool> holdBack{false};
std::mutex redirecting;  // stderr is one per process: one redirection at a time

// A decoder's own line, as libpng prints it.
bool IsDecoderLine(const std::string& line) { return line.rfind("libpng ", 0) == 0; }

}  // namespace

void HoldBackDecoderStderr(bool on) { holdBack = on; }

DecoderStderr::DecoderStderr() {
    if (!holdBack) return;
    redirecting.lock();
    scratch_ = std::make_unique<StderrScratch>();
    if (!scratch_->Holding()) {
        scratch_.reset();
        redirecting.unlock();
    }
}

DecoderStderr::~DecoderStderr() {
    if (!scratch_) return;
    scratch_->Restore(IsDecoderLine);
    scratch_.reset();
    redirecting.unlock();
}

}  // namespace tesselink
