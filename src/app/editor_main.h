// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace tesselink {
// Starts the editor's window and runs it; `argc`/`argv` as given to main().
int RunEditor(int argc, char** argv);
}  // namespace tesselink
