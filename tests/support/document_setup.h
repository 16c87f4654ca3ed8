// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Setting up a document's map in tests the way Open does: replaced whole, outside the history.

#include <cstdint>

#include "document/tesselink_doc.h"

namespace tesselink::testing {

inline void SetWindows(CTesselinkDoc& doc, const PlaybackWindows& windows) {
    Map map = doc.GetMap();
    map.Windows = windows;
    doc.ReplaceMap(map);
}

inline void SetHeadSize(CTesselinkDoc& doc, std::uint16_t MapFileHead::*field, int value) {
    Map map = doc.GetMap();
    map.Head.*field = static_cast<std::uint16_t>(value);
    doc.ReplaceMap(map);
}

inline void SelectOriginal(CTesselinkDoc& doc, int index) { doc.SetSelectedWindows(index, doc.SelectedTargetWindow()); }
inline void SelectTarget(CTesselinkDoc& doc, int index) { doc.SetSelectedWindows(doc.SelectedOriginalWindow(), index); }

}  // namespace tesselink::testing
