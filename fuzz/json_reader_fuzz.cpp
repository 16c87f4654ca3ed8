// SPDX-License-Identifier: GPL-3.0-or-later
// Arbitrary bytes as a map in JSON: refused untouched with a reason, or accepted and the same
// through every other format.
#include <cstdint>

#include "exchange_fuzz_checks.h"

using namespace tesselink;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray json(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    Map map = fuzz::Sentinel();
    const ExchangeRead read = ReadMapJson(json, map);
    if (read.Ok())
        fuzz::CheckAccepted(map);
    else
        fuzz::CheckRefusal(read, map);
    return 0;
}
