// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The state of a document's undo history, compared whole: a cancelled gesture must leave all of
// it as it was.

#include <ostream>

#include <QUndoStack>

#include "document/tesselink_doc.h"

namespace tesselink::testing {

struct History {
    int Count;
    int Index;
    bool CanRedo;
    bool Modified;
    bool operator==(const History& o) const {
        return Count == o.Count && Index == o.Index && CanRedo == o.CanRedo && Modified == o.Modified;
    }
};

inline std::ostream& operator<<(std::ostream& out, const History& h) {
    return out << "count " << h.Count << ", index " << h.Index << (h.CanRedo ? ", redo" : "")
               << (h.Modified ? ", modified" : "");
}

inline History HistoryOf(CTesselinkDoc& doc) {
    QUndoStack& s = doc.UndoStack();
    return {s.count(), s.index(), s.canRedo(), doc.IsModified()};
}

}  // namespace tesselink::testing
