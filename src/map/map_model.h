// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The map: a head with picture sizes and an ordered list of playback windows.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tesselink {

enum class MapMode : std::uint8_t {
    Copy = 0,
    Clockwise90 = 1,
    AntiClockwise90 = 2,
    VerticalMirror = 3,
    LevelMirror = 4,
    Rotation180 = 5,
};

constexpr int MapModeCount = 6;

// The text the editor shows for a mode; nullptr for values above 5.
const char* MapModeText(int mode);

// Bit values of MapFileHead::CoverOption.
constexpr std::uint8_t CoverFullScreen = 2;
constexpr std::uint8_t CoverDifferentDirection = 4;

// The file stores the count in one byte.
constexpr std::size_t MaxWindowCount = 255;
// What a user is told when a step would take the map past MaxWindowCount.
inline constexpr char TooManyWindowsMessage[] = "A map holds at most 255 playback windows.";

struct MapFileHead {
    std::uint8_t WindowCount = 0;
    std::uint8_t CoverOption = 0;
    std::uint16_t OriginalWidth = 640;
    std::uint16_t OriginalHeight = 480;
    std::uint16_t TargetWidth = 640;
    std::uint16_t TargetHeight = 480;

    bool operator==(const MapFileHead& o) const;
    bool operator!=(const MapFileHead& o) const { return !(*this == o); }
};

struct PlaybackWindow {
    std::uint16_t OriginalStartX = 0;
    std::uint16_t OriginalStartY = 0;
    std::uint16_t Width = 0;
    std::uint16_t Height = 0;
    std::uint16_t PlacedWidth = 0;   // derived from Width, Height and MapMode
    std::uint16_t PlacedHeight = 0;  // derived
    std::uint16_t TargetStartX = 0;
    std::uint16_t TargetStartY = 0;
    std::uint8_t MapMode = 0;
    std::uint8_t Reserved = 0;  // carried along, never saved

    // Sets PlacedWidth/PlacedHeight from Width, Height and MapMode:
    // swapped for the quarter turns, 0 x 0 for an unknown mode.
    void UpdatePlacedSize();

    bool operator==(const PlaybackWindow& o) const;
    bool operator!=(const PlaybackWindow& o) const { return !(*this == o); }
};

// Builds a window with its placed size already derived.
PlaybackWindow MakeWindow(int originalX, int originalY, int width, int height, int targetX, int targetY, int mode);

using PlaybackWindows = std::vector<PlaybackWindow>;

// The four fit tests, in the order they are checked and reported.
enum class FitResult {
    Fits,
    OriginalWidthExceeded,
    OriginalHeightExceeded,
    TargetWidthExceeded,
    TargetHeightExceeded,
};

// Sums are taken in full width: a start plus size beyond 65535 never wraps into range.
FitResult CheckFit(const PlaybackWindow& window, const MapFileHead& head);
inline bool Fits(const PlaybackWindow& window, const MapFileHead& head) {
    return CheckFit(window, head) == FitResult::Fits;
}
// The same four tests in the order a window edit reports them: original height, original
// width, target height, target width. The placed size is taken as the window carries it.
FitResult CheckWindowBounds(const PlaybackWindow& window, const MapFileHead& head);

// Outline colour of window `index` as 0x00BBGGRR; yellow beyond the 17 fixed colours.
std::uint32_t WindowColour(int index);

// Head plus windows; the document owns one of these.
struct Map {
    MapFileHead Head;
    PlaybackWindows Windows;

    // Empties the list; WindowCount is left to the caller.
    void ClearWindows();
    // Removes the window at `index` (later ones shift down); false when out of range.
    bool RemoveWindow(std::size_t index);
};

}  // namespace tesselink
