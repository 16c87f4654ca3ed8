#include "render/render_command.h"

#include <cstdio>

namespace tesselink {
int RunRenderCommand(const QStringList&) {
    std::fprintf(stderr, "tesselink: --render is not available yet\n");
    return 2;
}
}  // namespace tesselink
