// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One undo step for a change of several windows at once (a group move, Delete of several, a
// mode for all, Duplicate, an array). It keeps the list before and after: at most 255 windows
// of 18 bytes, less than the bookkeeping of a command per window.

#include <vector>

#include <QUndoCommand>

#include "document/edit_commands.h"
#include "map/map_model.h"

namespace tesselink {

class CTesselinkDoc;

class ChangeWindowsCommand : public GestureStepCommand {
public:
    ChangeWindowsCommand(CTesselinkDoc& doc, PlaybackWindows after, std::vector<int> selectionAfter,
                         const QString& text, EditGesture gesture);
    void redo() override;
    int id() const override;
    bool mergeWith(const QUndoCommand* other) override;

protected:
    void Restore() override;

private:
    CTesselinkDoc& doc_;
    PlaybackWindows before_;
    PlaybackWindows after_;
    std::vector<int> selectionBefore_;
    int currentBefore_;
    std::vector<int> selectionAfter_;
};

}  // namespace tesselink
