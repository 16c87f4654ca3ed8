// SPDX-License-Identifier: GPL-3.0-or-later
// A separate process for the output tests: `hold PATH` opens a temporary for PATH, says "ready"
// and waits to be killed; `write PATH TEXT` writes TEXT to PATH with the safe writer.
#include <unistd.h>

#include <cstdio>
#include <cstring>

#include "map/safe_write.h"

int main(int argc, char** argv) {
    if (argc < 3) return 2;
    if (std::strcmp(argv[1], "hold") == 0) {
        tesselink::OutputTemporary temporary;
        std::string why;
        if (!tesselink::CreateOutputTemporary(argv[2], temporary, why)) {
            std::fprintf(stderr, "%s\n", why.c_str());
            return 1;
        }
        std::printf("ready\n");
        std::fflush(stdout);
        for (;;) ::pause();
    }
    if (std::strcmp(argv[1], "write") == 0 && argc == 4) {
        const tesselink::FileWriteResult r = tesselink::WriteFileSafely(argv[2], argv[3], std::strlen(argv[3]));
        if (!r) std::fprintf(stderr, "%s\n", r.Error.c_str());
        return r ? 0 : 1;
    }
    return 2;
}
