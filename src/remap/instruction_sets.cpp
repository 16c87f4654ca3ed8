// SPDX-License-Identifier: GPL-3.0-or-later
#include "remap/instruction_sets.h"

namespace tesselink {

const CpuSupports& Cpu() {
    static const CpuSupports supports = [] {
        CpuSupports s;
#if defined(TESSELINK_X86_KERNELS)
        __builtin_cpu_init();
        s.sse2 = true;  // part of x86-64
        s.ssse3 = __builtin_cpu_supports("ssse3");
        s.avx2 = __builtin_cpu_supports("avx2");
#endif
        return s;
    }();
    return supports;
}

}  // namespace tesselink
