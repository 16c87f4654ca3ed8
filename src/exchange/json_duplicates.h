// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Qt's JSON parser keeps the last of two members of the same name without a word; a map whose
// "windows" came twice would lose the first list. This finds the first such member.

#include <optional>

#include <QByteArray>

#include "exchange/exchange_problem.h"

namespace tesselink {

// The first member of an object in `json` (text Qt's parser has accepted) whose name an earlier
// member of the same object has: its line, the object's place ("windows[2]", empty for the top
// level) and the reason 'the member "mode" is given twice'. Names are compared after their
// escapes are decoded, as the parser does. Nothing when every name is unique.
std::optional<ExchangeProblem> FindDuplicateJsonMember(const QByteArray& json);

}  // namespace tesselink
