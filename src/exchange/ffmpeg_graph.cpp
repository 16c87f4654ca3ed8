// SPDX-License-Identifier: GPL-3.0-or-later
#include "exchange/ffmpeg_graph.h"

#include "picture/colour_plane_refresh.h"
#include "remap/colour_planes.h"
#include "remap/cover.h"

namespace tesselink {
namespace {

bool Fail(std::string* why, std::string text) {
    if (why) *why = std::move(text);
    return false;
}

// The windows the target shows, in drawing order, as RenderTarget chooses them.
bool DrawnWindows(const Map& map, CoverMode coverMode, PlaybackWindows& drawn, std::string* why) {
    drawn.clear();
    if (coverMode != CoverMode::None) {
        const CoverBuild built = BuildCoverWindows(map.Windows, map.Head, coverMode, drawn);
        if (built == CoverBuild::TooLarge) return Fail(why, CoverTooLargeText(map.Windows));
    }
    if (drawn.empty()) drawn = map.Windows;  // no tiles: the map's own windows
    // The remap skips unknown modes and draws nothing for an empty window.
    PlaybackWindows kept;
    for (const PlaybackWindow& w : drawn)
        if (w.MapMode < MapModeCount && w.Width > 0 && w.Height > 0) kept.push_back(w);
    drawn.swap(kept);
    return true;
}

const char* Turn(int mode) {
    switch (mode) {
    case 1: return ",transpose=clock";
    case 2: return ",transpose=cclock";
    case 3: return ",vflip";  // upside down
    case 4: return ",hflip";  // left to right
    case 5: return ",hflip,vflip";
    default: return "";
    }
}

std::string N(long long value) { return std::to_string(value); }

}  // namespace

std::string WriteFfmpegGraph(const Map& map, CoverMode coverMode, std::string* why) {
    const MapFileHead& h = map.Head;
    if (h.OriginalWidth == 0 || h.OriginalHeight == 0 || h.TargetWidth == 0 || h.TargetHeight == 0) {
        Fail(why, "a filter graph needs pictures of at least 1 x 1; the original is " + N(h.OriginalWidth) + " x " +
                      N(h.OriginalHeight) + ", the target " + N(h.TargetWidth) + " x " + N(h.TargetHeight));
        return std::string();
    }
    for (const std::string& tooLarge : {AreaTooLargeText("original", h.OriginalWidth, h.OriginalHeight),
                                        AreaTooLargeText("target", h.TargetWidth, h.TargetHeight)}) {
        if (!tooLarge.empty()) {
            Fail(why, tooLarge);
            return std::string();
        }
    }
    PlaybackWindows drawn;
    if (!DrawnWindows(map, coverMode, drawn, why)) return std::string();
    if (drawn.size() > MaxGraphWindows) {
        Fail(why, "the picture is drawn by " + N(static_cast<long long>(drawn.size())) +
                      " windows; a filter graph holds at most " + N(MaxGraphWindows));
        return std::string();
    }

    const std::string grey = "lutrgb=r=" + N(TargetFillValue) + ":g=" + N(TargetFillValue) + ":b=" + N(TargetFillValue);
    const std::string size = N(h.TargetWidth) + ":" + N(h.TargetHeight);
    const std::string colour = ":color=0xacacac";
    // The first line is the input's own: a scale for inputs of another size goes in front of it.
    if (drawn.empty()) return "[0:v]format=gbrp,crop=1:1:0:0," + grey + ",scale=" + size + ":flags=neighbor[out]\n";

    // One xstack pass copies every window once into one frame (a chain of overlays would keep a
    // copy of the whole picture per window). Its first input is one grey pixel at (0, 0), so it
    // always has two; one thread keeps the list order where windows overlap; the pad grows the
    // bounding box of the windows to the target size.
    const long long count = static_cast<long long>(drawn.size());
    std::string graph = "[0:v]format=gbrp,split=" + N(count + 1) + "[grey]";
    for (long long i = 1; i <= count; ++i) graph += "[in" + N(i) + "]";
    graph += ";\n[grey]crop=1:1:0:0," + grey + "[w0];\n";
    std::string inputs = "[w0]", layout = "0_0";
    for (long long i = 1; i <= count; ++i) {
        const PlaybackWindow& w = drawn[static_cast<std::size_t>(i - 1)];
        graph += "[in" + N(i) + "]crop=" + N(w.Width) + ":" + N(w.Height) + ":" + N(w.OriginalStartX) + ":" +
                 N(w.OriginalStartY) + Turn(w.MapMode) + "[w" + N(i) + "];\n";
        inputs += "[w" + N(i) + "]";
        layout += "|" + N(w.TargetStartX) + "_" + N(w.TargetStartY);
    }
    graph += inputs + "xstack=inputs=" + N(count + 1) + ":layout=" + layout + ":fill=0xacacac:threads=1,pad=" + size +
             ":0:0" + colour + "[out]\n";
    return graph;
}

}  // namespace tesselink
