// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Command numbers of the menu, the toolbar and the keys, as the map documents and
// the resources of the program have always numbered them.

namespace tesselink {

enum CommandId : int {
    CommandNone = 0,  // a toolbar separator
    CommandFileNew = 57600,
    CommandFileOpen = 57601,
    CommandFileSave = 57603,
    CommandFileSaveAs = 57604,
    CommandAppAbout = 57664,
    CommandAppExit = 57665,
    CommandViewToolbar = 59392,
    CommandViewStatusBar = 59393,
    CommandMagnification = 32782,
    CommandMinify = 32784,
    // The seven drawing-mode buttons, in toolbar order.
    CommandSelectWindows = 32792,
    CommandDrawCopy = 32791,
    CommandDrawClockwise90 = 32785,
    CommandDrawAntiClockwise90 = 32786,
    CommandDrawRotation180 = 32787,
    CommandDrawVerticalMirror = 32788,
    CommandDrawLevelMirror = 32789,
};

}  // namespace tesselink
