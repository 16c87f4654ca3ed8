// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// libpng reports a damaged file by printing "libpng error: ..." straight to stderr, past Qt's
// message handler. A command-line run prints only its own lines, so there the decoders' stderr
// can be held back while a picture decodes: the decoders' lines are dropped (the load says why
// in its own words), anything else written meanwhile is passed on afterwards.

#include <memory>

#include "picture/stderr_scratch.h"

namespace tesselink {

// Off unless a command-line mode switches it on; affects every DecoderStderr from then on.
void HoldBackDecoderStderr(bool on);

// While alive (and held back), the process's stderr goes to a scratch file. One at a time: a
// second one, on any thread, waits for the first to end.
class DecoderStderr {
public:
    DecoderStderr();
    ~DecoderStderr();
    DecoderStderr(const DecoderStderr&) = delete;
    DecoderStderr& operator=(const DecoderStderr&) = delete;

private:
    std::unique_ptr<StderrScratch> scratch_;  // while held back
};

}  // namespace tesselink
