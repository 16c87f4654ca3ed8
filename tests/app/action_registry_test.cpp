// SPDX-License-Identifier: GPL-3.0-or-later
// Items registered with the main frame's registry land where their place says, whatever order
// the registering classes run in.
#include "app/action_registry.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>

#include <gtest/gtest.h>

#include "app/main_frame.h"
#include "app/menu_places.h"

namespace tesselink {
namespace {

QStringList Texts(const QMenu* menu) {
    QStringList texts;
    for (const QAction* a : menu->actions()) texts << (a->isSeparator() ? QStringLiteral("---") : a->text());
    return texts;
}

QStringList BarTitles(CMainFrame& frame) {
    QStringList titles;
    for (const QAction* a : frame.menuBar()->actions()) titles << a->text();
    return titles;
}

class ActionRegistryTest : public ::testing::Test {
protected:
    QAction* Item(const char* id, const char* menu, int section, int order = 0, bool before = false,
                  bool after = false) {
        ActionDef def(QString::fromUtf8(id), QString::fromUtf8(id));
        def.Place = MenuPlace{QString::fromUtf8(menu), section, order, before, after};
        return frame_.Registry().Add(def);
    }
    QMenu* BarMenu(const char* id, const char* title, int rank) {
        MenuInfo info;
        info.Id = QString::fromUtf8(id);
        info.Title = QString::fromUtf8(title);
        info.BarRank = rank;
        return frame_.Registry().AddMenu(info);
    }

    CMainFrame frame_;
};

TEST_F(ActionRegistryTest, ItemsStandBySectionThenOrderThenRegistration) {
    QMenu* menu = BarMenu("tests", "&Tests", 350);
    Item("c", "tests", 30);
    Item("a", "tests", 10);
    Item("d", "tests", 10);
    Item("b", "tests", 10, -1);
    Item("e", "tests", 20);
    EXPECT_EQ(Texts(menu), (QStringList{"b", "a", "d", "e", "c"}));
}

TEST_F(ActionRegistryTest, SeparatorsNeverLeadTrailOrDouble) {
    QMenu* menu = BarMenu("tests", "&Tests", 350);
    Item("first", "tests", 10, 0, true);
    Item("second", "tests", 10, 0, false, true);
    Item("third", "tests", 20, 0, true, true);
    Item("last", "tests", 30, 0, false, true);
    EXPECT_EQ(Texts(menu), (QStringList{"first", "second", "---", "third", "---", "last"}));
}

TEST_F(ActionRegistryTest, MenusTakeItemsRegisteredBeforeThemAndStandByRank) {
    Item("early", "late", 10);
    ActionDef nested("nested", "nested");
    nested.Place = MenuPlace{"late.sub", 0};
    frame_.Registry().Add(nested);
    QMenu* late = BarMenu("late", "&Late", HelpMenuRank + 50);
    MenuInfo sub;
    sub.Id = "late.sub";
    sub.Title = "&Sub";
    sub.Place = MenuPlace{"late", 5};
    QMenu* submenu = frame_.Registry().AddMenu(sub);
    ASSERT_NE(submenu, nullptr);
    EXPECT_EQ(Texts(late), (QStringList{"&Sub", "early"}));
    EXPECT_EQ(late->actions().front()->menu(), submenu);
    EXPECT_EQ(Texts(submenu), (QStringList{"nested"}));
    EXPECT_EQ(BarTitles(frame_), (QStringList{"&File", "&View", "&Help", "&Late"})) << "ranked after Help";

    BarMenu("between", "&Between", EditMenuRank + 10);
    EXPECT_EQ(BarTitles(frame_), (QStringList{"&File", "&View", "&Help", "&Late"})) << "an empty menu is not shown";
    Item("only", "between", 0);
    EXPECT_EQ(BarTitles(frame_), (QStringList{"&File", "&Between", "&View", "&Help", "&Late"}));
}

TEST_F(ActionRegistryTest, ATakenIdIsRefusedAndTheFirstItemStays) {
    QMenu* menu = BarMenu("tests", "&Tests", 350);
    QAction* first = Item("same", "tests", 10);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(Item("same", "tests", 20), nullptr);
    EXPECT_EQ(frame_.Registry().Action("same"), first);
    EXPECT_EQ(Texts(menu), (QStringList{"same"}));
    EXPECT_EQ(BarMenu("tests", "&Again", 360), nullptr);
    // Numbered commands of the frame's own table are taken as well.
    ActionDef again("command57600", "&New again");
    again.Command = CommandFileNew;
    EXPECT_EQ(frame_.Registry().Add(again), nullptr);
    EXPECT_EQ(frame_.Action(CommandFileNew)->text(), "&New\tCtrl+N");
}

TEST_F(ActionRegistryTest, ToolbarButtonsJoinAtTheirPositionsInAnyOrder) {
    // The last drawing-mode button first, then the select button.
    for (const int command : {CommandDrawLevelMirror, CommandSelectWindows}) {
        ActionDef def(QStringLiteral("button%1").arg(command), QString());
        def.Command = command;
        def.ToolbarPosition = command == CommandSelectWindows ? 9 : 15;
        ASSERT_NE(frame_.Registry().Add(def), nullptr);
    }
    QList<int> commands;
    for (const QAction* a : frame_.ToolBar()->actions()) commands << (a->isSeparator() ? 0 : a->data().toInt());
    EXPECT_EQ(commands, (QList<int>{CommandFileNew, 0, CommandFileOpen, 0, CommandFileSave, 0, CommandMagnification,
                                    CommandMinify, 0, CommandSelectWindows, CommandDrawLevelMirror}));
}

}  // namespace
}  // namespace tesselink
