// SPDX-License-Identifier: GPL-3.0-or-later
#include "map/map_model.h"

namespace tesselink {

const char* MapModeText(int mode) {
    static const char* const texts[MapModeCount] = {
        "Copy", "Clockwise rotaion 90", "AntiClockwise rotaion 90", "Vertical mirror", "Level mirror", "Rotatoin 180",
    };
    if (mode < 0 || mode >= MapModeCount) return nullptr;
    return texts[mode];
}

bool MapFileHead::operator==(const MapFileHead& o) const {
    return WindowCount == o.WindowCount && CoverOption == o.CoverOption && OriginalWidth == o.OriginalWidth &&
           OriginalHeight == o.OriginalHeight && TargetWidth == o.TargetWidth && TargetHeight == o.TargetHeight;
}

void PlaybackWindow::UpdatePlacedSize() {
    switch (MapMode) {
    case 1:
    case 2:
        PlacedWidth = Height;
        PlacedHeight = Width;
        break;
    case 0:
    case 3:
    case 4:
    case 5:
        PlacedWidth = Width;
        PlacedHeight = Height;
        break;
    default:
        PlacedWidth = 0;
        PlacedHeight = 0;
        break;
    }
}

bool PlaybackWindow::operator==(const PlaybackWindow& o) const {
    return OriginalStartX == o.OriginalStartX && OriginalStartY == o.OriginalStartY && Width == o.Width &&
           Height == o.Height && PlacedWidth == o.PlacedWidth && PlacedHeight == o.PlacedHeight &&
           TargetStartX == o.TargetStartX && TargetStartY == o.TargetStartY && MapMode == o.MapMode &&
           Reserved == o.Reserved;
}

PlaybackWindow MakeWindow(int originalX, int originalY, int width, int height, int targetX, int targetY, int mode) {
    PlaybackWindow w;
    w.OriginalStartX = static_cast<std::uint16_t>(originalX);
    w.OriginalStartY = static_cast<std::uint16_t>(originalY);
    w.Width = static_cast<std::uint16_t>(width);
    w.Height = static_cast<std::uint16_t>(height);
    w.TargetStartX = static_cast<std::uint16_t>(targetX);
    w.TargetStartY = static_cast<std::uint16_t>(targetY);
    w.MapMode = static_cast<std::uint8_t>(mode);
    w.UpdatePlacedSize();
    return w;
}

namespace {

// Which of the four edges a window passes; sums promoted to 32 bits so they cannot wrap.
struct EdgeTests {
    bool OriginalWidth, OriginalHeight, TargetWidth, TargetHeight;
};

EdgeTests TestEdges(const PlaybackWindow& w, const MapFileHead& head) {
    return {std::uint32_t{w.OriginalStartX} + w.Width > head.OriginalWidth,
            std::uint32_t{w.OriginalStartY} + w.Height > head.OriginalHeight,
            std::uint32_t{w.TargetStartX} + w.PlacedWidth > head.TargetWidth,
            std::uint32_t{w.TargetStartY} + w.PlacedHeight > head.TargetHeight};
}

}  // namespace

FitResult CheckFit(const PlaybackWindow& w, const MapFileHead& head) {
    const EdgeTests e = TestEdges(w, head);
    if (e.OriginalWidth) return FitResult::OriginalWidthExceeded;
    if (e.OriginalHeight) return FitResult::OriginalHeightExceeded;
    if (e.TargetWidth) return FitResult::TargetWidthExceeded;
    if (e.TargetHeight) return FitResult::TargetHeightExceeded;
    return FitResult::Fits;
}

FitResult CheckWindowBounds(const PlaybackWindow& w, const MapFileHead& head) {
    const EdgeTests e = TestEdges(w, head);
    if (e.OriginalHeight) return FitResult::OriginalHeightExceeded;
    if (e.OriginalWidth) return FitResult::OriginalWidthExceeded;
    if (e.TargetHeight) return FitResult::TargetHeightExceeded;
    if (e.TargetWidth) return FitResult::TargetWidthExceeded;
    return FitResult::Fits;
}

std::uint32_t WindowColour(int index) {
    struct Rgb {
        std::uint8_t r, g, b;
    };
    static const Rgb table[17] = {
        {255, 255, 255}, {0, 0, 0},       {218, 40, 4},    {255, 200, 255}, {0, 0, 255},     {208, 102, 205},
        {0, 255, 255},   {218, 50, 107},  {123, 104, 238}, {32, 178, 170},  {0, 250, 154},   {245, 245, 220},
        {128, 128, 0},   {253, 245, 230}, {255, 165, 0},   {0, 0, 255},     {220, 220, 220},
    };
    Rgb c{255, 255, 0};
    if (index >= 0 && index < 17) c = table[index];
    return std::uint32_t{c.r} | (std::uint32_t{c.g} << 8) | (std::uint32_t{c.b} << 16);
}

void Map::ClearWindows() { Windows.clear(); }

bool Map::RemoveWindow(std::size_t index) {
    if (index >= Windows.size()) return false;
    Windows.erase(Windows.begin() + static_cast<std::ptrdiff_t>(index));
    return true;
}

}  // namespace tesselink
