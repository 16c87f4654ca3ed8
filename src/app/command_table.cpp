// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/command_table.h"

#include "map/map_model.h"

namespace tesselink {

// clang-format off: the tables keep the layout of the menus and the toolbar they describe.
const std::vector<MenuDef>& MainMenus() {
    static const std::vector<MenuDef> menus = {
        {MenuIds::File,
         "&File",
         FileMenuRank,
         {{CommandFileNew, "&New\tCtrl+N", FileDocumentSection},
          {CommandFileOpen, "&Open...\tCtrl+O", FileDocumentSection},
          {CommandFileSave, "&Save\tCtrl+S", FileDocumentSection},
          {CommandFileSaveAs, "Save &As...", FileDocumentSection},
          {CommandAppExit, "E&xit", FileQuitSection},
          {CommandMagnification, "Magnification", FileQuitSection},
          {CommandMinify, "minify", FileQuitSection}}},
        {MenuIds::View,
         "&View",
         ViewMenuRank,
         {{CommandViewToolbar, "&Toolbar", ViewBarsSection}, {CommandViewStatusBar, "&Status Bar", ViewBarsSection}}},
        {MenuIds::Help, "&Help", HelpMenuRank, {{CommandAppAbout, "&About Tesselink...", HelpAboutSection}}},
    };
    return menus;
}

const std::array<int, ToolbarPositionCount>& ToolbarPositions() {
    static const std::array<int, ToolbarPositionCount> positions = {
        CommandFileNew,
        CommandNone,
        CommandFileOpen,
        CommandNone,
        CommandFileSave,
        CommandNone,
        CommandMagnification,
        CommandMinify,
        CommandNone,
        CommandSelectWindows,
        CommandDrawCopy,
        CommandDrawClockwise90,
        CommandDrawAntiClockwise90,
        CommandDrawRotation180,
        CommandDrawVerticalMirror,
        CommandDrawLevelMirror,
    };
    return positions;
}

const std::array<int, 7>& DrawingModeCommands() {
    static const std::array<int, 7> commands = {
        CommandSelectWindows,   CommandDrawCopy,           CommandDrawClockwise90, CommandDrawAntiClockwise90,
        CommandDrawRotation180, CommandDrawVerticalMirror, CommandDrawLevelMirror,
    };
    return commands;
}
// clang-format on

namespace {
int Mode(MapMode mode) { return static_cast<int>(mode); }
}  // namespace

DrawingMode DrawingModeOf(int command) {
    switch (command) {
    case CommandDrawCopy: return {1, Mode(MapMode::Copy)};
    case CommandDrawClockwise90: return {1, Mode(MapMode::Clockwise90)};
    case CommandDrawAntiClockwise90: return {1, Mode(MapMode::AntiClockwise90)};
    case CommandDrawRotation180: return {1, Mode(MapMode::Rotation180)};
    case CommandDrawVerticalMirror: return {1, Mode(MapMode::VerticalMirror)};
    case CommandDrawLevelMirror: return {1, Mode(MapMode::LevelMirror)};
    default: return {0, -1};
    }
}

const char* CommandIconPath(int command) {
    switch (command) {
    case CommandFileNew: return ":/icons/new.svg";
    case CommandFileOpen: return ":/icons/open.svg";
    case CommandFileSave: return ":/icons/save.svg";
    case CommandMagnification: return ":/icons/magnify.svg";
    case CommandMinify: return ":/icons/minify.svg";
    case CommandSelectWindows: return ":/icons/select.svg";
    case CommandDrawCopy: return ":/icons/mode_copy.svg";
    case CommandDrawClockwise90: return ":/icons/mode_clockwise90.svg";
    case CommandDrawAntiClockwise90: return ":/icons/mode_anticlockwise90.svg";
    case CommandDrawRotation180: return ":/icons/mode_rotation180.svg";
    case CommandDrawVerticalMirror: return ":/icons/mode_vertical_mirror.svg";
    case CommandDrawLevelMirror: return ":/icons/mode_level_mirror.svg";
    default: return nullptr;
    }
}

CommandPrompt CommandPromptOf(int command) {
    switch (command) {
    case CommandFileNew: return {"Create a new document", "New"};
    case CommandFileOpen: return {"Open an existing document", "Open"};
    case CommandFileSave: return {"Save the active document", "Save"};
    case CommandFileSaveAs: return {"Save the active document with a new name", "Save As"};
    case CommandAppExit: return {"Quit the application; prompts to save documents", "Exit"};
    case CommandAppAbout: return {"Display program information, version number and copyright", "About"};
    case CommandViewToolbar: return {"Show or hide the toolbar", "Toggle ToolBar"};
    case CommandViewStatusBar: return {"Show or hide the status bar", "Toggle StatusBar"};
    default: return {nullptr, nullptr};
    }
}

}  // namespace tesselink
