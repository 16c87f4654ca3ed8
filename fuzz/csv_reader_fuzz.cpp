// SPDX-License-Identifier: GPL-3.0-or-later
// Arbitrary bytes as a window table under a head: the first 9 bytes are the head (four sizes,
// big-endian, and the cover option), the rest the CSV. Refused untouched with a reason, or
// accepted and the same through every other format.
#include <cstdint>

#include "exchange_fuzz_checks.h"

using namespace tesselink;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 9) return 0;
    MapFileHead head;
    auto u16 = [&](std::size_t at) { return static_cast<std::uint16_t>(data[at] << 8 | data[at + 1]); };
    head.OriginalWidth = u16(0);
    head.OriginalHeight = u16(2);
    head.TargetWidth = u16(4);
    head.TargetHeight = u16(6);
    // Only the bits that mean something: JSON keeps no others.
    head.CoverOption = data[8] & (CoverFullScreen | CoverDifferentDirection);
    const QByteArray csv(reinterpret_cast<const char*>(data + 9), static_cast<qsizetype>(size - 9));
    Map map = fuzz::Sentinel();
    const ExchangeRead read = ReadWindowCsv(csv, head, map);
    if (read.Ok()) {
        fuzz::Check(map.Head.OriginalWidth == head.OriginalWidth && map.Head.TargetHeight == head.TargetHeight &&
                    map.Head.CoverOption == head.CoverOption);
        fuzz::CheckAccepted(map);
    } else {
        fuzz::CheckRefusal(read, map);
    }
    return 0;
}
