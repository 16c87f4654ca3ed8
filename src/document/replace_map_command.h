// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One undo step that replaces the whole map (head, cover option and windows): an import.

#include <QUndoCommand>

#include "map/map_model.h"

namespace tesselink {

class CTesselinkDoc;

class ReplaceMapCommand : public QUndoCommand {
public:
    ReplaceMapCommand(CTesselinkDoc& doc, const Map& after, const QString& text);
    void redo() override;
    void undo() override;

private:
    CTesselinkDoc& doc_;
    Map before_;
    Map after_;
};

}  // namespace tesselink
