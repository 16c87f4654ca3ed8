// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What one change of the document was, as announced to the panes.

#include <QMetaType>

namespace tesselink {

struct MapChange {
    enum class Kind {
        Head,           // the four picture sizes (windows the change deleted are part of it)
        WindowAdded,    // Index: the new window
        WindowChanged,  // Index: the changed window
        WindowRemoved,  // Index: where the window stood
        Cover,          // the cover option
        MapReplaced,    // New, Open: everything
        Windows,        // several windows at once: the whole list may differ
    };
    Kind What = Kind::MapReplaced;
    int Index = -1;

    // True for the changes after which a window's place in the list may differ.
    bool MovesWindows() const { return What != Kind::WindowChanged && What != Kind::Cover; }
};

}  // namespace tesselink

Q_DECLARE_METATYPE(tesselink::MapChange)
