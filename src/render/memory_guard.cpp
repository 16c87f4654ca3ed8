// SPDX-License-Identifier: GPL-3.0-or-later
#include "render/memory_guard.h"

#include <cstdio>
#include <new>
#include <system_error>

namespace tesselink {

const char* const OutOfMemoryText = "not enough memory to finish; nothing was written";

int RunWithMemoryGuard(const std::function<int()>& command) {
    try {
        return command();
    } catch (const std::bad_alloc&) {
    } catch (const std::system_error&) {
        // Only thread starts throw it here; they fail for want of memory for the stack.
    }
    // fputs: a formatted print might itself want memory.
    std::fputs("tesselink: ", stderr);
    std::fputs(OutOfMemoryText, stderr);
    std::fputs("\n", stderr);
    return 1;
}

}  // namespace tesselink
