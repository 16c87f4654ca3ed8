// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A command-line run that runs out of memory (an allocation or a thread start that fails) ends
// with one line and status 1 instead of an abort. The exception unwinds the run first, so every
// temporary output file is removed on the way out.

#include <functional>

namespace tesselink {

// The line printed (after "tesselink: ") when memory runs out during a command-line run.
extern const char* const OutOfMemoryText;

// Runs `command` and returns its exit code; std::bad_alloc and a std::system_error (a thread
// that cannot start) become OutOfMemoryText on stderr and status 1.
int RunWithMemoryGuard(const std::function<int()>& command);

}  // namespace tesselink
