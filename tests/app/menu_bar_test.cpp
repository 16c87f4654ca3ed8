// SPDX-License-Identifier: GPL-3.0-or-later
// The menus and the toolbar of a whole editor as the user sees them: every item's text,
// shortcuts, check state and enabled state in order, separators and submenus included, and
// which shortcuts work while the menu bar is out of reach.
#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>

#include <map>

#include <gtest/gtest.h>

#include "app/editor_session.h"
#include "app/main_frame.h"
#include "support/isolated_settings.h"

namespace tesselink {
namespace {

// One line an item: "text | shortcuts | flags", a separator "---", a submenu's items indented.
void Describe(const QMenu* menu, const QString& indent, QStringList& lines) {
    for (const QAction* a : menu->actions()) {
        if (a->isSeparator()) {
            lines << indent + "---";
            continue;
        }
        QStringList keys;
        for (const QKeySequence& k : a->shortcuts()) keys << k.toString();
        QString flags;
        if (a->isCheckable()) flags += a->isChecked() ? "on" : "off";
        if (!a->isEnabled()) flags += " disabled";
        if (!a->isVisible()) flags += " hidden";
        lines << indent + a->text() + " | " + keys.join(", ") + " | " + flags.trimmed();
        if (a->menu() != nullptr) Describe(a->menu(), indent + "  ", lines);
    }
}

class MenuBarTest : public ::testing::Test {
protected:
    MenuBarTest() { session_ = std::make_unique<EditorSession>(); }

    testing::IsolatedSettings settings_;
    std::unique_ptr<EditorSession> session_;
};

TEST_F(MenuBarTest, EveryMenuCarriesItsItemsInOrder) {
    QStringList titles;
    std::vector<QStringList> menus;
    for (const QAction* top : session_->Frame().menuBar()->actions()) {
        titles << top->text();
        QStringList lines;
        Describe(top->menu(), QString(), lines);
        menus.push_back(lines);
    }
    ASSERT_EQ(titles, (QStringList{"&File", "&Edit", "&View", "&Help"}));
    EXPECT_EQ(menus[0], (QStringList{
                            "&New\tCtrl+N | Ctrl+N | ",
                            "&Open...\tCtrl+O | Ctrl+O | ",
                            "&Save\tCtrl+S | Ctrl+S | ",
                            "Save &As... |  | ",
                            "Open S&how... |  | ",
                            "&Import Windows... |  | ",
                            "&Export Windows... |  | ",
                            "Export &Lineup... |  | ",
                            "Export &Target Picture... |  | ",
                            "Open &Recent |  | disabled",
                            "Open &Video... |  | ",
                            "Close V&ideo |  | disabled",
                            "Use &Frame as Background Picture |  | disabled",
                            "---",
                            "Open So&urce... |  | ",
                            "&Close Source |  | disabled",
                            "---",
                            "E&xit |  | ",
                            "Magnification |  | ",
                            "minify |  | ",
                        }));
    EXPECT_EQ(menus[1], (QStringList{
                            "&Undo | Ctrl+Z | disabled",
                            "&Redo | Ctrl+Y, Ctrl+Shift+Z | disabled",
                            "---",
                            "Select &All | Ctrl+A | ",
                            "&Duplicate | Ctrl+D | disabled",
                            "Make Arra&y... | Ctrl+Shift+A | disabled",
                            "&Map Mode |  | disabled",
                            "  Copy |  | ",
                            "  Clockwise rotaion 90 |  | ",
                            "  AntiClockwise rotaion 90 |  | ",
                            "  Vertical mirror |  | ",
                            "  Level mirror |  | ",
                            "  Rotatoin 180 |  | ",
                        }));
    EXPECT_EQ(menus[2], (QStringList{
                            "&Toolbar |  | on",
                            "&Status Bar |  | on",
                            "&Lineup | Ctrl+L | off",
                            "&Cabling Order |  | off",
                            "&Output |  | ",
                            "  Screen 1 (800 x 800) |  | off",
                            "  O&ff |  | on",
                            "  &Show's Outputs |  | off disabled",
                            "  ---",
                            "  &Position... |  | ",
                            "&History |  | off",
                            "&Problems |  | off",
                            "---",
                            "S&nap |  | on",
                            "Show &Grid |  | off",
                            "Grid S&tep... |  | ",
                            "---",
                            "Zoom &In | Ctrl++ | ",
                            "Zoom &Out | Ctrl+- | ",
                            "&Fit | Ctrl+0 | ",
                        }));
    EXPECT_EQ(menus[3], (QStringList{"&About Tesselink... |  | "}));
}

TEST_F(MenuBarTest, ShortcutsWorkWithTheMenuBarOutOfReach) {
    // A shortcut reaches its item from a focused pane only when the frame carries it too.
    QStringList carried;
    for (const QAction* a : session_->Frame().actions())
        if (!a->shortcuts().isEmpty()) carried << a->text();
    for (const char* text : {"&Undo", "&Redo", "Select &All", "&Duplicate", "Make Arra&y...", "&Lineup"})
        EXPECT_TRUE(carried.contains(text)) << text;
}

TEST_F(MenuBarTest, NoTwoItemsShareAShortcut) {
    // Qt runs neither of two actions bound to one key in one window.
    std::map<QString, QString> owner;
    for (const QAction* a : session_->Frame().findChildren<QAction*>()) {
        for (const QKeySequence& key : a->shortcuts()) {
            const auto [it, fresh] = owner.emplace(key.toString(), a->objectName());
            EXPECT_TRUE(fresh || it->second == a->objectName())
                << key.toString().toStdString() << ": " << it->second.toStdString() << " and "
                << a->objectName().toStdString();
        }
    }
    EXPECT_GE(owner.size(), 10u);
}

TEST_F(MenuBarTest, ToolbarShowsSixteenPositionsAndTheTransportBarStartsHidden) {
    QStringList names;
    for (const QAction* a : session_->Frame().ToolBar()->actions())
        names << (a->isSeparator() ? QStringLiteral("|") : a->objectName());
    EXPECT_EQ(names, (QStringList{"command57600", "|", "command57601", "|", "command57603", "|", "command32782",
                                  "command32784", "|", "command32792", "command32791", "command32785", "command32786",
                                  "command32787", "command32788", "command32789"}));
    const auto bars = session_->Frame().findChildren<QToolBar*>();
    ASSERT_EQ(bars.size(), 2);
    for (const QToolBar* bar : bars)
        if (bar != session_->Frame().ToolBar()) {
            EXPECT_FALSE(bar->isVisibleTo(&session_->Frame()));
        }
}

}  // namespace
}  // namespace tesselink
