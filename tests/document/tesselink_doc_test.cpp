// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QFile>
#include <QSignalSpy>
#include <QUndoStack>
#include <QTemporaryDir>

#include <functional>
#include <string>
#include <vector>

#include "document/tesselink_doc.h"
#include "map/map_file.h"
#include "map/map_image.h"

using namespace tesselink;

namespace {

std::string WriteMap(const QTemporaryDir& dir, const QString& name, const Map& map) {
    const std::string path = dir.filePath(name).toStdString();
    EXPECT_TRUE(WriteMapFile(map, path).Written);
    return path;
}

// A 640 x 480 map with three windows, as New and Open would leave it.
Map ThreeWindowMap() {
    Map map;
    map.Windows = {MakeWindow(0, 0, 100, 50, 0, 0, 0), MakeWindow(200, 100, 30, 10, 400, 300, 1),
                   MakeWindow(600, 400, 40, 80, 600, 400, 5)};
    map.Head.WindowCount = 3;
    return map;
}

std::vector<MapChange::Kind> Kinds(const QSignalSpy& spy) {
    std::vector<MapChange::Kind> kinds;
    for (const QList<QVariant>& call : spy) kinds.push_back(call.at(0).value<MapChange>().What);
    return kinds;
}

}  // namespace

TEST(DocumentOpen, ReplacesTheMapClearsSelectionAndHistory) {
    QTemporaryDir dir;
    Map onDisk;
    onDisk.Head =
        MapFileHead{2, static_cast<std::uint8_t>(CoverFullScreen | CoverDifferentDirection), 800, 600, 1024, 768};
    onDisk.Windows = {MakeWindow(0, 0, 100, 60, 0, 0, 0), MakeWindow(100, 0, 30, 10, 200, 0, 1)};
    const std::string path = WriteMap(dir, "two.map", onDisk);

    CTesselinkDoc doc;
    doc.AddWindow(MakeWindow(5, 5, 5, 5, 5, 5, 0));
    ASSERT_TRUE(doc.IsModified());

    QSignalSpy changes(&doc, &CTesselinkDoc::changed);
    const DocumentOpenResult opened = doc.OnOpenDocument(path);
    ASSERT_TRUE(opened);
    EXPECT_TRUE(opened.Message.Text.empty());
    EXPECT_EQ(doc.GetHead(), onDisk.Head);
    EXPECT_EQ(doc.GetPlaybackWindows(), onDisk.Windows);
    EXPECT_EQ(doc.SelectedOriginalWindow(), -1);
    EXPECT_EQ(doc.SelectedTargetWindow(), -1);
    EXPECT_FALSE(doc.IsModified());
    EXPECT_FALSE(doc.UndoStack().canUndo()) << "an opened map has no history";
    EXPECT_TRUE(doc.MapFilePath().empty()) << "the open step itself does not record the path";
    EXPECT_EQ(Kinds(changes), std::vector<MapChange::Kind>{MapChange::Kind::MapReplaced});
}

TEST(DocumentOpen, FileThatCannotBeOpenedSaysWhyAndChangesNothing) {
    QTemporaryDir dir;
    CTesselinkDoc doc;
    doc.ReplaceMap(ThreeWindowMap());
    doc.SelectWindow(1);

    const std::string missing = dir.filePath("absent.map").toStdString();
    const DocumentOpenResult opened = doc.OnOpenDocument(missing);
    EXPECT_FALSE(opened);
    EXPECT_EQ(opened.Message.Kind, MessageBoxKind::Application);
    EXPECT_EQ(opened.Message.Text.rfind("Failed to open document.", 0), 0u);
    EXPECT_NE(opened.Message.Text.find(missing), std::string::npos) << "the report names the file";
    EXPECT_EQ(doc.GetMap().Windows, ThreeWindowMap().Windows);
    EXPECT_EQ(doc.SelectedOriginalWindow(), 1);
}

TEST(DocumentOpen, RefusedFileSaysWhyAndLeavesTheDocumentExactlyAsItWas) {
    QTemporaryDir dir;
    const QString junk = dir.filePath("junk.map");
    {
        QFile f(junk);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("not a map at all");
    }
    Map tooWide;  // a window in a head wider than the reader accepts
    tooWide.Head.OriginalWidth = 2001;
    tooWide.Windows = {MakeWindow(0, 0, 10, 10, 0, 0, 0)};
    tooWide.Head.WindowCount = 1;
    const std::string wide = WriteMap(dir, "wide.map", tooWide);
    Map outside;  // a window beyond its own head
    outside.Windows = {MakeWindow(600, 0, 100, 10, 0, 0, 0)};
    outside.Head.WindowCount = 1;
    const std::string beyond = dir.filePath("beyond.map").toStdString();
    {
        std::uint8_t bytes[64];
        const int n = BuildMapImage(outside, bytes, sizeof bytes);
        QFile f(QString::fromStdString(beyond));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(reinterpret_cast<const char*>(bytes), n);
    }

    // The picture warning is the Original view's own box; the rest are the application's.
    const std::vector<std::pair<std::string, UserMessage>> cases = {
        {junk.toStdString(),
         ApplicationMessage("Failed to open document.\n" + junk.toStdString() + "\nIt is not a map file.")},
        {wide, ApplicationMessage("High and Width can't more than 2000")},
        {beyond,
         PlainMessage("Load warning ", "The paywindow's Original Width beyond Screen", MessageOwner::OriginalView)},
    };
    for (const auto& [path, message] : cases) {
        SCOPED_TRACE(path);
        CTesselinkDoc doc;
        Map before = ThreeWindowMap();
        before.Head.OriginalWidth = 1000;
        before.Head.CoverOption = CoverFullScreen;
        doc.ReplaceMap(before);
        doc.SetMapFilePath("/somewhere/before.map");
        doc.RemoveWindow(0);
        doc.SelectWindow(1);
        const Map edited = doc.GetMap();

        const DocumentOpenResult opened = doc.OnOpenDocument(path);
        EXPECT_FALSE(opened);
        EXPECT_EQ(opened.Message, message) << "the refusal says why, for the caller to show";
        EXPECT_EQ(doc.GetMap().Head, edited.Head);
        EXPECT_EQ(doc.GetMap().Windows, edited.Windows);
        EXPECT_EQ(doc.MapFilePath(), "/somewhere/before.map");
        EXPECT_EQ(doc.SelectedOriginalWindow(), 1);
        EXPECT_TRUE(doc.IsModified());
        EXPECT_EQ(doc.UndoStack().count(), 1) << "the history is kept";
    }
}

// Every kind of edit, done, undone and done again, gives back exactly the map before and after.
TEST(DocumentEdits, UndoAndRedoGiveBackTheExactMap) {
    struct Case {
        const char* name;
        std::function<void(CTesselinkDoc&)> edit;
    };
    MapFileHead narrow;
    narrow.OriginalWidth = 250;  // windows 2 (200 + 30 > 250? no: 230) fit; window 3 (600 + 40) does not
    narrow.OriginalHeight = 480;
    narrow.TargetWidth = 640;
    narrow.TargetHeight = 320;  // window 2's place 300 + 30 > 320 and window 3's fail too
    const std::vector<Case> cases = {
        {"add", [](CTesselinkDoc& d) { d.AddWindow(MakeWindow(8, 8, 8, 8, 8, 8, 3)); }},
        {"change", [](CTesselinkDoc& d) { d.ChangeWindow(1, MakeWindow(200, 100, 30, 10, 400, 300, 2)); }},
        {"remove first", [](CTesselinkDoc& d) { d.RemoveWindow(0); }},
        {"remove last", [](CTesselinkDoc& d) { d.RemoveWindow(2); }},
        {"head deleting two windows",
         [narrow](CTesselinkDoc& d) {
             std::vector<int> misfits;
             for (const HeadMisfit& m : d.HeadMisfits(narrow)) misfits.push_back(m.Index);
             ASSERT_EQ(misfits, (std::vector<int>{2, 1}));
             d.ChangeHead(narrow, misfits);
         }},
        {"cover", [](CTesselinkDoc& d) { d.SetCoverOption(CoverFullScreen | CoverDifferentDirection); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CTesselinkDoc doc;
        doc.ReplaceMap(ThreeWindowMap());
        const Map before = doc.GetMap();
        c.edit(doc);
        const Map after = doc.GetMap();
        ASSERT_FALSE(after.Head == before.Head && after.Windows == before.Windows) << "the edit changed nothing";
        EXPECT_EQ(after.Head.WindowCount, after.Windows.size());
        ASSERT_EQ(doc.UndoStack().count(), 1) << "one edit, one step";

        doc.UndoStack().undo();
        EXPECT_EQ(doc.GetMap().Head, before.Head);
        EXPECT_EQ(doc.GetMap().Windows, before.Windows);
        doc.UndoStack().redo();
        EXPECT_EQ(doc.GetMap().Head, after.Head);
        EXPECT_EQ(doc.GetMap().Windows, after.Windows);
    }
}

TEST(DocumentEdits, OneGestureOnOneWindowIsOneStep) {
    CTesselinkDoc doc;
    doc.ReplaceMap(ThreeWindowMap());
    const EditGesture typing{EditGesture::Kind::TargetStartXField, doc.NewGestureSerial()};
    for (const int x : {1, 12, 120}) {
        PlaybackWindow w = doc.GetPlaybackWindows()[0];
        w.TargetStartX = static_cast<std::uint16_t>(x);
        EXPECT_TRUE(doc.ChangeWindow(0, w, typing).Accepted());
    }
    EXPECT_EQ(doc.UndoStack().count(), 1) << "three keystrokes in one field";

    const EditGesture keys{EditGesture::Kind::OriginalKeys, 0};
    for (int press = 0; press < 20; ++press) {
        PlaybackWindow w = doc.GetPlaybackWindows()[0];
        ++w.OriginalStartX;
        doc.ChangeWindow(0, w, keys);
    }
    EXPECT_EQ(doc.UndoStack().count(), 2) << "twenty arrow presses";
    EXPECT_EQ(doc.UndoStack().undoText(), "Move window 1");

    PlaybackWindow other = doc.GetPlaybackWindows()[1];
    ++other.OriginalStartX;
    doc.ChangeWindow(1, other, keys);
    EXPECT_EQ(doc.UndoStack().count(), 3) << "another window starts a new step";

    for (int drag = 0; drag < 2; ++drag) {
        const EditGesture gesture{EditGesture::Kind::OriginalDrag, doc.NewGestureSerial()};
        for (int step = 0; step < 5; ++step) {
            PlaybackWindow w = doc.GetPlaybackWindows()[1];
            ++w.OriginalStartY;
            doc.ChangeWindow(1, w, gesture);
        }
    }
    EXPECT_EQ(doc.UndoStack().count(), 5) << "two drags of one window are two steps";

    doc.UndoStack().undo();
    EXPECT_EQ(doc.GetPlaybackWindows()[1].OriginalStartY, 105);
    EXPECT_EQ(doc.SelectedOriginalWindow(), 1) << "the undone window becomes the selected one";
    EXPECT_EQ(doc.SelectedTargetWindow(), 1);
}

TEST(DocumentGate, RefusesEachFailingTestInOrderAndStoresNothing) {
    struct Case {
        PlaybackWindow window;
        FitResult expected;
        const char* message;
    };
    // 10 x 30 clockwise is placed 30 x 10; each case fails the named test and every later one.
    const std::vector<Case> cases = {
        {MakeWindow(700, 470, 10, 30, 700, 475, 1), FitResult::OriginalHeightExceeded,
         "the Original Heigh of the playback window beyond the screen"},
        {MakeWindow(700, 0, 10, 30, 700, 475, 1), FitResult::OriginalWidthExceeded,
         "the Original width of The playback window beyond the screen "},
        {MakeWindow(0, 0, 10, 30, 700, 475, 1), FitResult::TargetHeightExceeded,
         "the Target Heigh of The playback window beyond the screen"},
        {MakeWindow(0, 0, 10, 30, 620, 0, 1), FitResult::TargetWidthExceeded,
         "the Target width of The playback window beyond the screen "},
    };
    CTesselinkDoc doc;
    doc.ReplaceMap(ThreeWindowMap());
    const Map before = doc.GetMap();
    for (const Case& c : cases) {
        PlaybackWindow stale = c.window;
        stale.PlacedWidth = stale.PlacedHeight = 0;  // the gate derives the placed size itself
        for (const WindowEditResult& r : {doc.AddWindow(stale), doc.ChangeWindow(0, stale)}) {
            EXPECT_EQ(r.What, WindowEditResult::Outcome::OutOfBounds);
            EXPECT_EQ(r.Fit, c.expected);
            EXPECT_EQ(WindowBoundsMessage(r), c.message);
        }
    }
    EXPECT_EQ(doc.ChangeWindow(3, before.Windows[0]).What, WindowEditResult::Outcome::NoSuchWindow);
    EXPECT_EQ(doc.GetMap().Windows, before.Windows);
    EXPECT_EQ(doc.UndoStack().count(), 0);

    const WindowEditResult touching = doc.AddWindow(MakeWindow(630, 470, 10, 10, 630, 470, 0));
    EXPECT_EQ(touching.What, WindowEditResult::Outcome::Stored) << "touching the edges fits";
    EXPECT_EQ(touching.Index, 3);
    EXPECT_EQ(doc.ChangeWindow(3, doc.GetPlaybackWindows()[3]).What, WindowEditResult::Outcome::Unchanged);
    EXPECT_EQ(doc.UndoStack().count(), 1) << "an unchanged window pushes nothing";
}

TEST(DocumentGate, RefusesThe256thWindow) {
    CTesselinkDoc doc;
    for (int i = 0; i < 255; ++i) ASSERT_TRUE(doc.AddWindow(MakeWindow(0, 0, 1, 1, 0, 0, 0)).Accepted());
    EXPECT_EQ(doc.GetHead().WindowCount, 255);
    const WindowEditResult r = doc.AddWindow(MakeWindow(0, 0, 1, 1, 0, 0, 0));
    EXPECT_EQ(r.What, WindowEditResult::Outcome::TooManyWindows);
    EXPECT_FALSE(WindowBoundsMessage(r).empty());
    EXPECT_EQ(doc.WindowCount(), 255);
}

// A head without windows may be larger than 2000 (the reader allows it), but no reader takes such a
// map with a window in it: the first window is refused, whatever its place.
TEST(DocumentGate, RefusesAWindowWhileAHeadSizeIsAbove2000) {
    for (std::uint16_t MapFileHead::*size : {&MapFileHead::OriginalWidth, &MapFileHead::OriginalHeight,
                                             &MapFileHead::TargetWidth, &MapFileHead::TargetHeight}) {
        CTesselinkDoc doc;
        Map map;
        map.Head.*size = 2001;
        doc.ReplaceMap(map);
        const WindowEditResult r = doc.AddWindow(MakeWindow(0, 0, 8, 8, 0, 0, 0));
        EXPECT_EQ(r.What, WindowEditResult::Outcome::HeadTooLarge);
        EXPECT_FALSE(r.Accepted());
        EXPECT_EQ(WindowBoundsMessage(r), "High and Width can't more than 2000");
        EXPECT_EQ(doc.WindowCount(), 0);
        EXPECT_EQ(doc.UndoStack().count(), 0);

        map.Head.*size = 2000;  // the largest size a map with windows carries
        doc.ReplaceMap(map);
        EXPECT_EQ(doc.AddWindow(MakeWindow(0, 0, 8, 8, 0, 0, 0)).What, WindowEditResult::Outcome::Stored);
    }
}

TEST(DocumentModified, FollowsTheCleanStateOfTheHistory) {
    CTesselinkDoc doc;
    QSignalSpy modified(&doc, &CTesselinkDoc::modifiedChanged);
    EXPECT_FALSE(doc.IsModified());
    doc.AddWindow(MakeWindow(0, 0, 8, 8, 0, 0, 0));
    EXPECT_TRUE(doc.IsModified());
    doc.UndoStack().undo();
    EXPECT_FALSE(doc.IsModified()) << "undone back to where it was saved";
    doc.UndoStack().redo();
    doc.MarkSaved();
    EXPECT_FALSE(doc.IsModified());

    // Typing on after a save is a new step, not a merge into the saved one.
    const EditGesture typing{EditGesture::Kind::WidthField, 0};
    PlaybackWindow w = doc.GetPlaybackWindows()[0];
    w.Width = 9;
    doc.ChangeWindow(0, w, typing);
    w.Width = 10;
    doc.ChangeWindow(0, w, typing);
    EXPECT_TRUE(doc.IsModified());
    doc.UndoStack().undo();
    EXPECT_FALSE(doc.IsModified());
    ASSERT_GE(modified.count(), 4);
    EXPECT_FALSE(modified.last().at(0).toBool());
}

TEST(DocumentChanges, EachEditIsAnnouncedOnce) {
    CTesselinkDoc doc;
    doc.ReplaceMap(ThreeWindowMap());
    QSignalSpy changes(&doc, &CTesselinkDoc::changed);
    doc.AddWindow(MakeWindow(0, 0, 8, 8, 0, 0, 0));
    ASSERT_EQ(changes.count(), 1);
    EXPECT_EQ(changes[0].at(0).value<MapChange>().What, MapChange::Kind::WindowAdded);
    EXPECT_EQ(changes[0].at(0).value<MapChange>().Index, 3);

    changes.clear();
    MapFileHead small;
    small.OriginalWidth = small.OriginalHeight = small.TargetWidth = small.TargetHeight = 100;
    std::vector<int> misfits;
    for (const HeadMisfit& m : doc.HeadMisfits(small)) misfits.push_back(m.Index);
    doc.ChangeHead(small, misfits);
    EXPECT_EQ(Kinds(changes), std::vector<MapChange::Kind>{MapChange::Kind::Head})
        << "the head and the windows it deleted are one change";
    EXPECT_EQ(doc.WindowCount(), 2);
}

TEST(DocumentClose, FreesTheWindows) {
    CTesselinkDoc doc;
    doc.ReplaceMap(ThreeWindowMap());
    doc.OnCloseDocument();
    EXPECT_TRUE(doc.GetPlaybackWindows().empty());
    EXPECT_EQ(doc.GetHead().WindowCount, 0);
}
