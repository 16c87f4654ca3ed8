// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the menu and the toolbar carry, in order, as data: the frame builds its
// widgets from these tables and the tests read them back from the widgets.

#include <array>
#include <vector>

#include "app/command_ids.h"
#include "app/menu_places.h"

namespace tesselink {

struct MenuItemDef {
    int Command;
    const char* Text;  // with '&' mnemonics and "\t" shortcut texts
    int Section;       // of menu_places.h
};

struct MenuDef {
    const char* Id;  // MenuIds
    const char* Title;
    int BarRank;
    std::vector<MenuItemDef> Items;
};

// "&File", "&View", "&Help" with their items.
const std::vector<MenuDef>& MainMenus();

constexpr int ToolbarPositionCount = 16;

// The toolbar's 16 positions; CommandNone marks a separator.
const std::array<int, ToolbarPositionCount>& ToolbarPositions();

// The drawing-mode commands (toolbar positions 9 to 15), in toolbar order.
const std::array<int, 7>& DrawingModeCommands();

// The command whose button is pressed at start.
constexpr int InitialDrawingModeCommand = CommandSelectWindows;

// What a drawing-mode command asks of the Original view: armed to draw new windows with MapMode,
// or (0, -1) to select windows.
struct DrawingMode {
    int Armed;
    int MapMode;
};
DrawingMode DrawingModeOf(int command);

// Resource path of a command's icon (":/icons/....svg"), or nullptr when it has none.
const char* CommandIconPath(int command);

// The fly-by prompt and tooltip of a command, or nullptr when it has none.
struct CommandPrompt {
    const char* StatusText;
    const char* ToolTip;
};
CommandPrompt CommandPromptOf(int command);

}  // namespace tesselink
