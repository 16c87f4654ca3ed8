// SPDX-License-Identifier: GPL-3.0-or-later
#include "document/replace_map_command.h"

#include "document/tesselink_doc.h"

namespace tesselink {

ReplaceMapCommand::ReplaceMapCommand(CTesselinkDoc& doc, const Map& after, const QString& text)
    : doc_(doc), before_(doc.GetMap()), after_(after) {
    setText(text);
}

void ReplaceMapCommand::redo() { doc_.StoreMap(after_); }

void ReplaceMapCommand::undo() { doc_.StoreMap(before_); }

}  // namespace tesselink
