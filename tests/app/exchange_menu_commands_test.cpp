// SPDX-License-Identifier: GPL-3.0-or-later
// File > Import Windows..., Export Windows..., Export Lineup..., Export Target Picture... and
// View > Lineup through the real main window, with scripted file dialogs and recorded boxes,
// judged by the map's bytes and the files on disk.
#include <QAction>
#include <QCoreApplication>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QSettings>
#include <QTemporaryDir>
#include <QUndoStack>

#include <gtest/gtest.h>

#include "app/app_settings.h"
#include "app/command_ids.h"
#include "app/editor_session.h"
#include "app/exchange_menu_commands.h"
#include "app/main_frame.h"
#include "exchange/lineup.h"
#include "exchange/map_json.h"
#include "exchange/window_csv.h"
#include "map/map_file.h"
#include "map/map_image.h"
#include "remap/cover.h"
#include "render/render_command.h"
#include "support/recording_message_boxes.h"
#include "support/scripted_file_dialogs.h"
#include "support/source_tree.h"
#include "views/original_view.h"
#include "views/target_view.h"

namespace tesselink {
namespace {

using testing::RecordingMessageBoxes;
using testing::ScriptedFileDialogs;

QByteArray Bytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool WriteBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// The map as its file would hold it: equal bytes mean an equal map.
QByteArray MapBytes(const Map& map) {
    std::uint8_t image[4096];
    const int size = BuildMapImage(map, image, static_cast<int>(sizeof image));
    EXPECT_GT(size, 0);
    return QByteArray(reinterpret_cast<const char*>(image), size);
}

Map OpenedMap() {
    Map map;
    map.Head.CoverOption = CoverFullScreen;
    map.Windows = {MakeWindow(0, 0, 100, 50, 10, 10, 0), MakeWindow(200, 100, 30, 10, 400, 300, 1)};
    map.Head.WindowCount = 2;
    return map;
}

Map OtherMap() {
    Map map;
    map.Head.OriginalWidth = 320;
    map.Head.OriginalHeight = 240;
    map.Head.TargetWidth = 480;
    map.Head.TargetHeight = 200;
    map.Head.CoverOption = CoverFullScreen | CoverDifferentDirection;
    map.Windows = {MakeWindow(0, 0, 160, 120, 0, 0, 5), MakeWindow(160, 120, 160, 120, 200, 0, 2),
                   MakeWindow(10, 10, 20, 20, 450, 150, 3)};
    map.Head.WindowCount = 3;
    return map;
}

class ExchangeMenuTest : public ::testing::Test {
protected:
    ExchangeMenuTest() {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings_.path());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settings_.path());
        UseProgramSettingsKey();
        session_ = std::make_unique<EditorSession>(&boxes_, &dialogs_);
        stage().SetBackgroundPicturePath(picture_.toStdString());
        EXPECT_TRUE(WriteMapFile(OpenedMap(), Path("opened.map").toStdString()));
        EXPECT_TRUE(session_->Commands().OpenMapFile(Path("opened.map")));
        opened_ = MapBytes(doc().GetMap());
    }

    CTesselinkDoc& doc() { return session_->Doc(); }

    Backdrop& stage() { return session_->Stage(); }
    QString Path(const char* name) const { return dir_.filePath(name); }
    QAction* Named(const char* name) const { return session_->Frame().findChild<QAction*>(name); }
    // Triggers the File item `name` with `answer` given to its file dialog.
    void Choose(const char* name, const QString& answer) {
        dialogs_.Answers = {answer.toStdString()};
        QAction* action = Named(name);
        ASSERT_NE(action, nullptr) << name;
        action->trigger();
    }
    std::vector<std::string> Texts() const {
        std::vector<std::string> texts;
        for (const UserMessage& m : boxes_.Shown) texts.push_back(m.Text);
        return texts;
    }

    QTemporaryDir settings_;
    QTemporaryDir dir_;
    const QString picture_ = testing::SourcePath("res/tesselink.jpg");
    RecordingMessageBoxes boxes_;
    ScriptedFileDialogs dialogs_;
    std::unique_ptr<EditorSession> session_;
    QByteArray opened_;
};

TEST_F(ExchangeMenuTest, FileAndViewMenusCarryTheNewItemsAfterSaveAsAndStatusBar) {
    const QList<QAction*> menus = session_->Frame().menuBar()->actions();
    QStringList file, view;
    for (QAction* a : menus[0]->menu()->actions()) file << a->text();
    for (QAction* a : menus[2]->menu()->actions()) view << a->text();
    EXPECT_EQ(file, (QStringList{"&New\tCtrl+N",
                                 "&Open...\tCtrl+O",
                                 "&Save\tCtrl+S",
                                 "Save &As...",
                                 "Open S&how...",
                                 "&Import Windows...",
                                 "&Export Windows...",
                                 "Export &Lineup...",
                                 "Export &Target Picture...",
                                 "Open &Recent",
                                 "Open &Video...",
                                 "Close V&ideo",
                                 "Use &Frame as Background Picture",
                                 "",
                                 "Open So&urce...",
                                 "&Close Source",
                                 "",
                                 "E&xit",
                                 "Magnification",
                                 "minify"}));
    ASSERT_GE(view.size(), 3);
    EXPECT_EQ(view.mid(0, 3), (QStringList{"&Toolbar", "&Status Bar", "&Lineup"}));
    QAction* lineup = Named("viewLineup");
    EXPECT_TRUE(lineup->isCheckable());
    EXPECT_FALSE(lineup->isChecked()) << "off at start";
    EXPECT_EQ(lineup->shortcut(), QKeySequence("Ctrl+L"));
}

TEST_F(ExchangeMenuTest, AJsonImportReplacesTheWholeMapAsOneStep) {
    ASSERT_TRUE(WriteBytes(Path("other.json"), WriteMapJson(OtherMap())));
    const int steps = doc().UndoStack().count();
    Choose("importWindows", Path("other.json"));
    ASSERT_EQ(dialogs_.Requests.size(), 1u);
    EXPECT_EQ(dialogs_.Requests[0].Kind, "open");
    EXPECT_EQ(dialogs_.Requests[0].Request.Filter, "Windows(*.csv;*.json)");
    EXPECT_EQ(dialogs_.Requests[0].Request.ProposedPath, dir_.path().toStdString() + "/");
    EXPECT_TRUE(boxes_.Shown.empty()) << Texts().front();
    EXPECT_EQ(MapBytes(doc().GetMap()), MapBytes(OtherMap())) << "head, cover option and windows";
    EXPECT_EQ(doc().UndoStack().count(), steps + 1);
    EXPECT_TRUE(doc().IsModified());

    doc().UndoStack().undo();
    EXPECT_EQ(MapBytes(doc().GetMap()), opened_) << "one undo, byte for byte";
    EXPECT_FALSE(doc().IsModified());
    doc().UndoStack().redo();
    EXPECT_EQ(MapBytes(doc().GetMap()), MapBytes(OtherMap()));
}

TEST_F(ExchangeMenuTest, ACsvImportReplacesTheWindowsAndKeepsTheHead) {
    Map table = OpenedMap();
    table.Windows = {MakeWindow(5, 5, 40, 40, 0, 0, 1), MakeWindow(50, 5, 40, 40, 40, 0, 0),
                     MakeWindow(95, 5, 40, 40, 80, 0, 4)};
    table.Head.WindowCount = 3;
    ASSERT_TRUE(WriteBytes(Path("table.csv"), WriteWindowCsv(table)));
    const int steps = doc().UndoStack().count();
    Choose("importWindows", Path("table.csv"));
    EXPECT_TRUE(boxes_.Shown.empty()) << Texts().front();
    EXPECT_EQ(MapBytes(doc().GetMap()), MapBytes(table));
    EXPECT_EQ(doc().UndoStack().count(), steps + 1);
    doc().UndoStack().undo();
    EXPECT_EQ(MapBytes(doc().GetMap()), opened_);
}

TEST_F(ExchangeMenuTest, ARefusedImportChangesNothingAndNamesTheFirstFailure) {
    Map outside = OtherMap();
    outside.Windows[1].TargetStartX = 400;  // 160 wide from 400 leaves the 480 target
    const QByteArray badJson = WriteMapJson(outside);
    ASSERT_FALSE(badJson.isEmpty());
    ASSERT_TRUE(WriteBytes(Path("outside.json"), badJson));
    ASSERT_TRUE(WriteBytes(Path("bad.csv"),
                           "No,MapMode,OriginalX,OriginalY,Width,Height,TargetX,TargetY\n"
                           "1,0,0,0,10,10,0,0\n"
                           "2,9,0,0,10,10,0,0\n"
                           "3,0,0,0,x,10,0,0\n"));
    ASSERT_TRUE(WriteBytes(Path("empty.json"), ""));
    ASSERT_TRUE(WriteBytes(Path("windows.txt"), "1,0,0,0,10,10,0,0\n"));
    const int steps = doc().UndoStack().count();
    for (const char* name : {"outside.json", "bad.csv", "empty.json", "windows.txt", "missing.csv"})
        Choose("importWindows", Path(name));

    const std::string folder = dir_.path().toStdString() + "/";
    const std::vector<std::string> texts = Texts();
    ASSERT_EQ(texts.size(), 5u);
    EXPECT_EQ(texts[0].rfind("The windows were not imported.\n" + folder + "outside.json: windows[1] (window 2): ", 0),
              0u)
        << texts[0];
    EXPECT_EQ(texts[1].rfind("The windows were not imported.\n" + folder + "bad.csv line 3: ", 0), 0u)
        << "the first failing line only: " << texts[1];
    EXPECT_EQ(texts[1].find("line 4"), std::string::npos);
    EXPECT_NE(texts[2].find("empty.json: "), std::string::npos) << texts[2];
    EXPECT_NE(texts[3].find("windows.txt: the file must end in .csv or .json"), std::string::npos) << texts[3];
    EXPECT_NE(texts[4].find("missing.csv: "), std::string::npos) << texts[4];
    EXPECT_EQ(MapBytes(doc().GetMap()), opened_);
    EXPECT_EQ(doc().UndoStack().count(), steps);
    EXPECT_FALSE(doc().IsModified());
}

TEST_F(ExchangeMenuTest, ExportedWindowsReadBackToTheSameMap) {
    Choose("exportWindows", Path("out.json"));
    Choose("exportWindows", Path("out.csv"));
    EXPECT_TRUE(boxes_.Shown.empty());
    EXPECT_EQ(dialogs_.Requests[0].Kind, "save");
    EXPECT_EQ(dialogs_.Requests[0].Request.DefaultSuffix, "json");
    EXPECT_EQ(Bytes(Path("out.json")), WriteMapJson(OpenedMap()));
    EXPECT_EQ(Bytes(Path("out.csv")), WriteWindowCsv(OpenedMap()));

    // Back in through Import, over another map: the same bytes as the map that was exported.
    ASSERT_TRUE(WriteMapFile(OtherMap(), Path("other.map").toStdString()));
    ASSERT_TRUE(session_->Commands().OpenMapFile(Path("other.map")));
    Choose("importWindows", Path("out.json"));
    EXPECT_EQ(MapBytes(doc().GetMap()), opened_);

    Choose("exportWindows", Path("out.txt"));
    ASSERT_EQ(boxes_.Shown.size(), 1u);
    EXPECT_EQ(Texts()[0], "The windows were not exported.\n" + Path("out.txt").toStdString() +
                              ": the file must end in .csv or .json");
    EXPECT_FALSE(QFile::exists(Path("out.txt")));
}

TEST_F(ExchangeMenuTest, ExportLineupWritesTheTargetLineupAndTheOriginalBesideIt) {
    ASSERT_TRUE(doc().RemoveWindow(1));  // one small window: its cover has many tiles
    Choose("exportLineup", Path("wall.png"));
    EXPECT_TRUE(boxes_.Shown.empty()) << Texts().front();
    const QImage target(Path("wall.png"), "png");
    const QImage original(Path("wall-original.png"), "png");
    ASSERT_FALSE(target.isNull());
    ASSERT_FALSE(original.isNull());
    const Map map = doc().GetMap();
    EXPECT_EQ(target.convertToFormat(QImage::Format_RGB32),
              TargetLineup(map, CoverModeFromOption(map.Head.CoverOption)))
        << "with the map's own cover option";
    EXPECT_NE(target.convertToFormat(QImage::Format_RGB32), TargetLineup(map, CoverMode::None));
    EXPECT_EQ(original.convertToFormat(QImage::Format_RGB32), OriginalLineup(map));

    Choose("exportLineup", Path("no-such-folder/wall.png"));
    ASSERT_EQ(boxes_.Shown.size(), 1u);
    const std::string told =
        "The lineup was not exported.\ncannot write " + Path("no-such-folder/wall.png").toStdString();
    EXPECT_EQ(Texts()[0].rfind(told, 0), 0u) << Texts()[0];
}

TEST_F(ExchangeMenuTest, ExportTargetPictureWritesWhatRenderWrites) {
    Choose("exportTargetPicture", Path("target.png"));
    EXPECT_TRUE(boxes_.Shown.empty()) << Texts().front();
    ASSERT_EQ(RunRenderCommand(
                  QStringList{"--render", Path("opened.map"), "--picture", picture_, "--output", Path("rendered.png")}),
              0);
    const QByteArray exported = Bytes(Path("target.png"));
    EXPECT_FALSE(exported.isEmpty());
    EXPECT_EQ(exported, Bytes(Path("rendered.png")));

    // While the lineup is shown the export is still of the picture.
    Named("viewLineup")->trigger();
    Choose("exportTargetPicture", Path("target2.png"));
    EXPECT_EQ(Bytes(Path("target2.png")), exported);

    stage().SetBackgroundPicturePath(Path("gone.jpg").toStdString());
    Choose("exportTargetPicture", Path("target3.png"));
    ASSERT_FALSE(boxes_.Shown.empty());
    EXPECT_EQ(boxes_.Shown.back().Text, "The target picture was not exported.\ncannot load picture " +
                                            Path("gone.jpg").toStdString() + ": No such file or directory");
    EXPECT_FALSE(QFile::exists(Path("target3.png")));
}

TEST_F(ExchangeMenuTest, ViewLineupShowsTheLineupColoursInTheOriginalView) {
    CMainFrame& frame = session_->Frame();
    frame.resize(1280, 800);
    frame.show();
    session_->InitialUpdate();
    stage().SetBackgroundPicturePath(picture_.toStdString());
    QCoreApplication::processEvents();
    CTesselinkView& view = session_->OriginalView();
    ASSERT_EQ(session_->OriginalView().ZoomObject().Factor(), 1.0f);

    // Inside window 1 (original 0,0 100 x 50), away from its border and its texts.
    const ViewRect picture = view.PictureRect();
    const QPoint inPicture(4, 44);
    const QPoint onScreen(picture.left + inPicture.x(), picture.top + inPicture.y());
    const QImage lineup = OriginalLineup(doc().GetMap());
    const QRgb lineupColour = lineup.pixel(inPicture);
    ASSERT_EQ(lineupColour, QColor::fromRgb(LineupColour(0)).rgb());
    EXPECT_NE(view.RenderViewport().pixel(onScreen), lineupColour);

    Named("viewLineup")->trigger();
    EXPECT_EQ(view.RenderViewport().pixel(onScreen), lineupColour);

    // Live: the window moves, the lineup follows once the burst of changes is over.
    PlaybackWindow moved = doc().GetPlaybackWindows()[0];
    moved.OriginalStartX = 200;
    moved.OriginalStartY = 300;
    ASSERT_TRUE(doc().ChangeWindow(0, moved).Accepted());
    QCoreApplication::processEvents();
    EXPECT_EQ(view.RenderViewport().pixel(onScreen), OriginalLineup(doc().GetMap()).pixel(inPicture));
    EXPECT_NE(view.RenderViewport().pixel(onScreen), lineupColour);
    EXPECT_EQ(view.RenderViewport().pixel(picture.left + 204, picture.top + 344), lineupColour);

    Named("viewLineup")->trigger();
    EXPECT_NE(view.RenderViewport().pixel(picture.left + 204, picture.top + 344), lineupColour);
}

TEST(OriginalLineupPathTest, OriginalGoesBeforeTheExtension) {
    EXPECT_EQ(OriginalLineupPath("/a/wall.png"), "/a/wall-original.png");
    EXPECT_EQ(OriginalLineupPath("/a.b/wall"), "/a.b/wall-original");
    EXPECT_EQ(OriginalLineupPath("wall.x.PNG"), "wall.x-original.PNG");
    EXPECT_EQ(OriginalLineupPath("/a/.png"), "/a/.png-original");
}

}  // namespace
}  // namespace tesselink

namespace tesselink {
namespace {

TEST_F(ExchangeMenuTest, EveryExportSaysInTheStatusBarWhatItWrote) {
    QLabel* pane = session_->Frame().StatusPane(0);
    Choose("exportLineup", Path("wall.png"));
    EXPECT_EQ(pane->text(), "Wrote wall.png and wall-original.png");
    Choose("exportTargetPicture", Path("target.png"));
    EXPECT_EQ(pane->text(), "Wrote target.png");
    Choose("exportWindows", Path("windows.csv"));
    EXPECT_EQ(pane->text(), "Wrote windows.csv");
    // A refused export says nothing of the kind: its box tells why.
    Choose("exportWindows", Path("no-such-folder/windows.csv"));
    EXPECT_EQ(pane->text(), "Wrote windows.csv");
    EXPECT_EQ(boxes_.Shown.size(), 1u);
}

TEST_F(ExchangeMenuTest, ExportLineupDrawsTheCablingOrderWhileViewCablingOrderIsOn) {
    QAction* cabling = Named("viewCabling");
    ASSERT_NE(cabling, nullptr);
    EXPECT_TRUE(cabling->isCheckable());
    EXPECT_FALSE(cabling->isChecked()) << "off at start";
    cabling->trigger();
    EXPECT_TRUE(session_->TargetView().CablingShown());
    Choose("exportLineup", Path("cabled.png"));
    const Map map = doc().GetMap();
    const QImage target(Path("cabled.png"), "png");
    EXPECT_EQ(target.convertToFormat(QImage::Format_RGB32),
              TargetLineup(map, CoverModeFromOption(map.Head.CoverOption), true, nullptr));
    EXPECT_NE(target.convertToFormat(QImage::Format_RGB32),
              TargetLineup(map, CoverModeFromOption(map.Head.CoverOption), false, nullptr));
    cabling->trigger();
    EXPECT_FALSE(session_->TargetView().CablingShown());
}

}  // namespace
}  // namespace tesselink
