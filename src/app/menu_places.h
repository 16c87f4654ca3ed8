// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where the menus stand in the menu bar and which sections each menu has, top to bottom. An item
// names its menu and section (see ActionRegistry); a new block of items takes a section of its own,
// numbered between its neighbours.

namespace tesselink {

namespace MenuIds {
constexpr const char* File = "file";
constexpr const char* Edit = "edit";
constexpr const char* View = "view";
constexpr const char* Help = "help";
constexpr const char* Recent = "file.recent";
constexpr const char* MapMode = "edit.mapMode";
constexpr const char* Output = "view.output";
}  // namespace MenuIds

// The menu bar's order, left to right.
enum MenuBarRank : int {
    FileMenuRank = 100,
    EditMenuRank = 200,
    ViewMenuRank = 300,
    HelpMenuRank = 400,
};

enum FileSection : int {
    FileDocumentSection = 100,  // New, Open..., Save, Save As...
    FileShowSection = 150,      // Open Show...
    FileExchangeSection = 200,  // Import Windows..., Export Windows..., Export Lineup..., Export Target Picture...
    FileRecentSection = 300,    // Open Recent
    FileVideoSection = 400,     // Open Video..., Close Video, Use Frame as Background Picture
    FileQuitSection = 500,      // Exit and the zoom items after it
};

enum EditSection : int {
    EditUndoSection = 100,       // Undo, Redo
    EditSelectionSection = 200,  // Select All, Duplicate, Make Array..., Map Mode
};

enum ViewSection : int {
    ViewBarsSection = 100,      // Toolbar, Status Bar
    ViewBackdropSection = 200,  // Lineup
    ViewOutputSection = 250,    // Output (screens, Off, Show's Outputs, Position...)
    ViewDocksSection = 300,     // History, Problems
    ViewSnapSection = 400,      // Snap, Show Grid, Grid Step...
    ViewZoomSection = 500,      // Zoom In, Zoom Out, Fit
};

enum HelpSection : int {
    HelpAboutSection = 100,
};

}  // namespace tesselink
