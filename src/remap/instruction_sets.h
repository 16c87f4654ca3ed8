// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the kernels may use beyond plain C++. The build targets plain x86-64, which includes SSE2;
// the SSSE3 and AVX2 forms are compiled for their own instruction set through TESSELINK_TARGET and
// chosen at run time by what the processor offers, so one binary runs everywhere and still uses
// what the processor has. Elsewhere only the portable forms are built.

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define TESSELINK_X86_KERNELS 1
#include <immintrin.h>
// Compiles the function it precedes for `isa` ("ssse3", "avx2"). Call such a function only when
// CpuSupports says the processor runs it. Lambdas do not inherit the attribute.
#define TESSELINK_TARGET(isa) __attribute__((target(isa)))
#endif

namespace tesselink {

// The instruction sets this processor runs, of those the kernels have forms for; all false in a
// build without x86 kernels.
struct CpuSupports {
    bool sse2 = false;
    bool ssse3 = false;
    bool avx2 = false;
};

// Asked of the processor once, on the first call.
const CpuSupports& Cpu();

}  // namespace tesselink
