// SPDX-License-Identifier: GPL-3.0-or-later
#include "map/map_image.h"

#include <cstring>

namespace tesselink {
namespace {

void PutU16(std::uint8_t* at, std::uint16_t value) {
    at[0] = static_cast<std::uint8_t>(value >> 8);
    at[1] = static_cast<std::uint8_t>(value & 0xFF);
}

std::uint16_t GetU16(const std::uint8_t* at) { return static_cast<std::uint16_t>((at[0] << 8) | at[1]); }

const char* FitMessage(FitResult result) {
    switch (result) {
    case FitResult::OriginalWidthExceeded: return "The paywindow's Original Width beyond Screen";
    case FitResult::OriginalHeightExceeded: return "The paywindow's Original Heigh beyond Screen";
    case FitResult::TargetWidthExceeded: return "The paywindow's Target Width beyond Screen";
    case FitResult::TargetHeightExceeded: return "The paywindow's Target Heigh beyond Screen";
    case FitResult::Fits: break;
    }
    return "";
}

MapLoadResult Refuse(MapRefusal why, std::string message = std::string(), FitResult fit = FitResult::Fits) {
    MapLoadResult r;
    r.Refusal = why;
    r.Fit = fit;
    r.Message = std::move(message);
    return r;
}

}  // namespace

int BuildMapImage(const Map& map, std::uint8_t* buffer, int capacity) {
    const long long needed = MapHeadSize + static_cast<long long>(MapEntrySize) * map.Windows.size();
    if (buffer == nullptr) return static_cast<int>(needed);
    if (capacity <= 0) return capacity;
    if (capacity < needed) return 0;

    const MapFileHead& h = map.Head;
    std::memcpy(buffer, MapFileMagic, 4);
    buffer[4] = buffer[5] = 0;
    buffer[6] = h.WindowCount;
    buffer[7] = h.CoverOption;
    PutU16(buffer + 8, h.OriginalWidth);
    PutU16(buffer + 10, h.OriginalHeight);
    PutU16(buffer + 12, h.TargetWidth);
    PutU16(buffer + 14, h.TargetHeight);

    std::uint8_t* entry = buffer + MapHeadSize;
    for (const PlaybackWindow& w : map.Windows) {
        PutU16(entry + 0, w.OriginalStartX);
        PutU16(entry + 2, w.OriginalStartY);
        PutU16(entry + 4, w.Width);
        PutU16(entry + 6, w.Height);
        PutU16(entry + 8, w.TargetStartX);
        PutU16(entry + 10, w.TargetStartY);
        entry[12] = w.MapMode;
        entry[13] = 0;  // the reserved byte is never saved
        entry += MapEntrySize;
    }

    std::uint32_t sum = 0;
    for (long long i = 0; i < needed; ++i) sum += buffer[i];  // bytes 4 and 5 are still 0
    PutU16(buffer + 4, static_cast<std::uint16_t>(sum & 0xFFFF));
    return static_cast<int>(needed);
}

MapLoadResult CheckMapWindow(const PlaybackWindow& w, const MapFileHead& head, EmptyWindows empty) {
    if (empty == EmptyWindows::Refused && (w.Width == 0 || w.Height == 0 || w.MapMode >= MapModeCount)) {
        return Refuse(MapRefusal::EmptyWindow, "the window is " + std::to_string(w.Width) + " x " +
                                                   std::to_string(w.Height) +
                                                   (w.MapMode >= MapModeCount ? " with no map mode 0-5" : "") +
                                                   "; a window needs a width and a height of at least 1");
    }
    if (head.TargetHeight > MaxHeadSize || head.TargetWidth > MaxHeadSize || head.OriginalHeight > MaxHeadSize ||
        head.OriginalWidth > MaxHeadSize) {
        return Refuse(MapRefusal::HeadTooLarge, HeadTooLargeText);
    }
    const FitResult fit = CheckFit(w, head);
    if (fit != FitResult::Fits) return Refuse(MapRefusal::WindowOutside, FitMessage(fit), fit);
    MapLoadResult ok;
    ok.Accepted = true;
    return ok;
}

MapLoadResult ParseMapImage(Map& map, const std::uint8_t* data, long long count) {
    if (data == nullptr || count <= 0) return Refuse(MapRefusal::NotAMap);
    if (count < 4 || std::memcmp(data, MapFileMagic, 4) != 0) return Refuse(MapRefusal::NotAMap);
    if (count < MapHeadSize) return Refuse(MapRefusal::NotAMap);

    // The checksum at offset 4 is not verified: files with a wrong one load as before.
    MapFileHead head;
    head.WindowCount = data[6];
    head.CoverOption = data[7];
    head.OriginalWidth = GetU16(data + 8);
    head.OriginalHeight = GetU16(data + 10);
    head.TargetWidth = GetU16(data + 12);
    head.TargetHeight = GetU16(data + 14);

    PlaybackWindows read;
    read.reserve(head.WindowCount);
    for (int i = 0; i < head.WindowCount; ++i) {
        const long long offset = MapHeadSize + static_cast<long long>(MapEntrySize) * i;
        if (offset + MapEntrySize > count) {
            MapLoadResult incomplete =
                Refuse(MapRefusal::Incomplete, "The map file is incomplete: it ends inside its window entries");
            incomplete.Window = i;
            return incomplete;
        }
        const std::uint8_t* e = data + offset;
        PlaybackWindow w;
        w.OriginalStartX = GetU16(e + 0);
        w.OriginalStartY = GetU16(e + 2);
        w.Width = GetU16(e + 4);
        w.Height = GetU16(e + 6);
        w.TargetStartX = GetU16(e + 8);
        w.TargetStartY = GetU16(e + 10);
        w.MapMode = e[12];
        w.Reserved = e[13];
        w.UpdatePlacedSize();

        MapLoadResult checked = CheckMapWindow(w, head);
        if (!checked) {
            checked.Window = i;
            return checked;
        }
        read.push_back(w);
    }

    map.Head = head;
    map.Windows.insert(map.Windows.end(), read.begin(), read.end());
    MapLoadResult ok;
    ok.Accepted = true;
    return ok;
}

}  // namespace tesselink
