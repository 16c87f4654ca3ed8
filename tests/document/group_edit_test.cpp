// SPDX-License-Identifier: GPL-3.0-or-later
// Several windows changed as one step: group moves, Delete, a mode for all, Duplicate, arrays.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include <QUndoStack>

#include "document/tesselink_doc.h"
#include "map/map_image.h"
#include "support/document_setup.h"
#include "tools/selection_edits.h"

using namespace tesselink;
using namespace tesselink::testing;

namespace {

std::vector<std::uint8_t> Bytes(const CTesselinkDoc& doc) {
    std::vector<std::uint8_t> bytes(16 + 14 * 256);
    bytes.resize(static_cast<std::size_t>(BuildMapImage(doc.GetMap(), bytes.data(), static_cast<int>(bytes.size()))));
    return bytes;
}

PlaybackWindows RandomWindows(std::mt19937& random, int count) {
    PlaybackWindows windows;
    std::uniform_int_distribution<int> size(1, 200);
    for (int i = 0; i < count; ++i) {
        const int w = size(random), h = size(random);
        std::uniform_int_distribution<int> ox(0, 640 - w), oy(0, 480 - h);
        const int mode = std::uniform_int_distribution<int>(0, 5)(random);
        const bool turned = mode == 1 || mode == 2;
        std::uniform_int_distribution<int> tx(0, 640 - (turned ? h : w)), ty(0, 480 - (turned ? w : h));
        windows.push_back(MakeWindow(ox(random), oy(random), w, h, tx(random), ty(random), mode));
    }
    return windows;
}

}  // namespace

TEST(GroupEdits, MovesOfRandomSelectionsStopAtTheEdgeAndUndoExactly) {
    std::mt19937 random(7);
    for (int round = 0; round < 100; ++round) {
        CTesselinkDoc doc;
        SetWindows(doc, RandomWindows(random, 12));
        const std::vector<std::uint8_t> before = Bytes(doc);
        std::vector<int> selection;
        for (int i = 0; i < 12; ++i)
            if (random() % 3 == 0) selection.push_back(i);
        if (selection.size() < 2) selection = {0, 5};
        doc.SetSelection(selection);
        const MapSide side = random() % 2 ? MapSide::Original : MapSide::Target;
        std::uniform_int_distribution<int> delta(-900, 900);
        const MoveDelta asked{delta(random), delta(random)};
        ASSERT_TRUE(MoveSelection(doc, side, asked, {}).Accepted());
        for (const PlaybackWindow& w : doc.GetPlaybackWindows()) ASSERT_TRUE(Fits(w, doc.GetHead()));
        // One delta for all: every moved window moved by the same amount.
        const PlaybackWindows& moved = doc.GetPlaybackWindows();
        Map start;
        ASSERT_EQ(ParseMapImage(start, before.data(), static_cast<long long>(before.size())).Refusal, MapRefusal::None);
        int dx = 0, dy = 0;
        for (std::size_t k = 0; k < selection.size(); ++k) {
            const PlaybackWindow& a = start.Windows[static_cast<std::size_t>(selection[k])];
            const PlaybackWindow& b = moved[static_cast<std::size_t>(selection[k])];
            const int mx =
                side == MapSide::Original ? b.OriginalStartX - a.OriginalStartX : b.TargetStartX - a.TargetStartX;
            const int my =
                side == MapSide::Original ? b.OriginalStartY - a.OriginalStartY : b.TargetStartY - a.TargetStartY;
            if (k == 0) {
                dx = mx;
                dy = my;
            }
            EXPECT_EQ(mx, dx);
            EXPECT_EQ(my, dy);
        }
        EXPECT_EQ(doc.Selection(), selection);
        if (doc.UndoStack().count() == 1) {
            doc.UndoStack().undo();
            EXPECT_EQ(Bytes(doc), before);
            EXPECT_EQ(doc.Selection(), selection);
        }
    }
}

TEST(GroupEdits, AGroupDragIsOneStepAndADragBackLeavesNone) {
    CTesselinkDoc doc;
    SetWindows(doc, {MakeWindow(0, 0, 10, 10, 0, 0, 0), MakeWindow(20, 0, 10, 10, 20, 0, 0)});
    doc.SetSelection({0, 1});
    const PlaybackWindows start = doc.GetPlaybackWindows();
    const EditGesture drag{EditGesture::Kind::OriginalDrag, doc.NewGestureSerial()};
    for (int step = 1; step <= 5; ++step) MoveSelectionFrom(doc, start, MapSide::Original, {step * 3, step}, drag);
    EXPECT_EQ(doc.UndoStack().count(), 1);
    EXPECT_EQ(doc.UndoStack().text(0), "Move 2 windows");
    EXPECT_EQ(doc.GetPlaybackWindows()[1].OriginalStartX, 35);
    MoveSelectionFrom(doc, start, MapSide::Original, {0, 0}, drag);
    EXPECT_FALSE(doc.UndoStack().canUndo()) << "ending where it began leaves no step";
    EXPECT_EQ(doc.GetPlaybackWindows(), start);
}

TEST(GroupEdits, DeleteOfSeveralIsOneStepThatUndoRestoresWithTheSelection) {
    CTesselinkDoc doc;
    std::mt19937 random(3);
    SetWindows(doc, RandomWindows(random, 6));
    const std::vector<std::uint8_t> before = Bytes(doc);
    doc.SetSelection({4, 1, 2}, 1);
    ASSERT_TRUE(DeleteSelection(doc));
    ASSERT_EQ(doc.WindowCount(), 3);
    EXPECT_TRUE(doc.Selection().empty());
    EXPECT_EQ(doc.UndoStack().count(), 1);
    doc.UndoStack().undo();
    EXPECT_EQ(Bytes(doc), before);
    EXPECT_EQ(doc.Selection(), (std::vector<int>{4, 1, 2}));
    EXPECT_EQ(doc.SelectedOriginalWindow(), 1);
    doc.UndoStack().redo();
    EXPECT_EQ(doc.WindowCount(), 3);
}

TEST(GroupEdits, AModeThatDoesNotFitOneWindowIsRefusedForAll) {
    CTesselinkDoc doc;
    // A quarter turn makes the second window 200 high at target y 400: beyond 480.
    SetWindows(doc, {MakeWindow(0, 0, 50, 50, 0, 0, 0), MakeWindow(0, 0, 200, 50, 0, 400, 0),
                     MakeWindow(0, 0, 300, 50, 0, 420, 0)});
    doc.SetSelection({0, 1, 2});
    const WindowEditResult refused = SetSelectionMode(doc, 1);
    EXPECT_EQ(refused.What, WindowEditResult::Outcome::OutOfBounds);
    EXPECT_EQ(refused.Index, 1) << "the first window that fails";
    EXPECT_EQ(WindowBoundsMessage(refused), "the Target Heigh of The playback window beyond the screen");
    EXPECT_FALSE(doc.UndoStack().canUndo());
    EXPECT_EQ(doc.GetPlaybackWindows()[0].MapMode, 0);

    ASSERT_TRUE(SetSelectionMode(doc, 5).Accepted());
    for (const PlaybackWindow& w : doc.GetPlaybackWindows()) EXPECT_EQ(w.MapMode, 5);
    EXPECT_EQ(doc.UndoStack().count(), 1);
}

TEST(GroupEdits, DuplicateAppendsCopiesSelectsThemAndRefusesPastTheCount) {
    CTesselinkDoc doc;
    SetWindows(doc, {MakeWindow(0, 0, 100, 50, 0, 0, 0), MakeWindow(10, 10, 100, 50, 540, 0, 0)});
    doc.SetSelection({0, 1});
    std::string message;
    ASSERT_TRUE(DuplicateSelection(doc, message));
    ASSERT_EQ(doc.WindowCount(), 4);
    EXPECT_EQ(doc.GetPlaybackWindows()[2], MakeWindow(0, 0, 100, 50, 100, 0, 0)) << "moved right by its width";
    EXPECT_EQ(doc.GetPlaybackWindows()[3], MakeWindow(10, 10, 100, 50, 540, 50, 0)) << "no room right: down";
    EXPECT_EQ(doc.Selection(), (std::vector<int>{2, 3}));
    EXPECT_EQ(doc.UndoStack().count(), 1);

    PlaybackWindows full(254, MakeWindow(0, 0, 1, 1, 0, 0, 0));
    SetWindows(doc, full);
    doc.SetSelection({0, 1});
    const std::vector<std::uint8_t> before = Bytes(doc);
    EXPECT_FALSE(DuplicateSelection(doc, message));
    EXPECT_EQ(message, "A map holds at most 255 playback windows.");
    EXPECT_EQ(Bytes(doc), before);
    EXPECT_FALSE(doc.UndoStack().canUndo());
}

TEST(GroupEdits, AnArrayIsOneStepAndItsUndoRestoresTheMapByteForByte) {
    CTesselinkDoc doc;
    SetWindows(doc, {MakeWindow(0, 0, 160, 120, 0, 0, 0)});
    doc.SelectWindow(0);
    const std::vector<std::uint8_t> before = Bytes(doc);
    ArrayShape shape = DefaultArrayShape(doc.GetPlaybackWindows()[0]);
    shape.Rows = 4;
    shape.Columns = 4;
    shape.Order = ArrayOrder::SerpentineRows;
    const ArrayPlan plan = PlanArray(doc.GetMap(), 0, shape);
    ASSERT_TRUE(plan.Fits);
    ASSERT_TRUE(ApplyArray(doc, 0, plan).Accepted());
    ASSERT_EQ(doc.WindowCount(), 16);
    EXPECT_EQ(doc.Selection().size(), 16u);
    // Serpentine: the second row starts at the right.
    EXPECT_EQ(doc.GetPlaybackWindows()[4].TargetStartX, 480);
    EXPECT_EQ(doc.GetPlaybackWindows()[4].TargetStartY, 120);
    EXPECT_EQ(doc.UndoStack().count(), 1);
    doc.UndoStack().undo();
    EXPECT_EQ(Bytes(doc), before);
    doc.UndoStack().redo();
    EXPECT_EQ(doc.WindowCount(), 16);
}

TEST(Selection, KeepsItsOrderAndStaysValidWhenWindowsGoAndCome) {
    CTesselinkDoc doc;
    SetWindows(doc, PlaybackWindows(6, MakeWindow(0, 0, 5, 5, 0, 0, 0)));
    doc.SetSelection({5, 1, 3, 3, 9, -2}, 3);
    EXPECT_EQ(doc.Selection(), (std::vector<int>{5, 1, 3})) << "repeats and strangers dropped, order kept";
    EXPECT_EQ(doc.SelectedOriginalWindow(), 3);
    doc.SetCurrentWindow(1);
    EXPECT_EQ(doc.Selection(), (std::vector<int>{5, 1, 3})) << "a press on one of several keeps them";
    EXPECT_EQ(doc.SelectedTargetWindow(), 1);
    doc.SelectWindow(2);
    EXPECT_EQ(doc.Selection(), std::vector<int>{2}) << "a pick selects one";
    doc.SelectWindow(-1);
    EXPECT_TRUE(doc.Selection().empty());
}
