// SPDX-License-Identifier: GPL-3.0-or-later
// The File, zoom and drawing-mode commands through the real main window, with scripted file
// dialogs and recorded message boxes, judged by the files on disk.
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QProcess>
#include <QRadioButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QUndoStack>
#include <QUrl>

#include <gtest/gtest.h>

#include <functional>

#include <sys/stat.h>

#include "app/app_settings.h"
#include "app/command_ids.h"
#include "app/editor_session.h"
#include "app/main_frame.h"
#include "editor/map_head_file_view.h"
#include "map/map_file.h"
#include "support/isolated_settings.h"
#include "support/recording_message_boxes.h"
#include "support/scripted_file_dialogs.h"
#include "support/source_tree.h"
#include "support/test_files.h"
#include "views/original_view.h"
#include "views/target_view.h"
#include "views/view_geometry.h"

namespace tesselink {
namespace {

using testing::FileBytes;
using testing::RecordingMessageBoxes;
using testing::ScriptedFileDialogs;
using testing::SourcePath;

Map TwoWindowMap() {
    Map map;
    map.Head.CoverOption = CoverFullScreen;
    map.Windows = {MakeWindow(0, 0, 100, 50, 10, 10, 0), MakeWindow(200, 100, 30, 10, 400, 300, 1)};
    map.Head.WindowCount = 2;
    return map;
}

class DocumentCommandsTest : public ::testing::Test {
protected:
    DocumentCommandsTest() {
        session_ = std::make_unique<EditorSession>(&boxes_, &dialogs_);
        stage().SetBackgroundPicturePath(SourcePath("res/tesselink.jpg").toStdString());
    }

    CTesselinkDoc& doc() { return session_->Doc(); }

    Backdrop& stage() { return session_->Stage(); }
    CMainFrame& frame() { return session_->Frame(); }
    void Trigger(int command) { frame().Action(command)->trigger(); }
    QString Path(const char* name) const { return dir_.filePath(name); }

    // A map on disk, opened as the current one; then one edit leaves it modified.
    void OpenModified(const QString& path) {
        ASSERT_TRUE(WriteMapFile(TwoWindowMap(), path.toStdString()));
        ASSERT_TRUE(session_->Commands().OpenMapFile(path));
        ASSERT_TRUE(doc().RemoveWindow(0));
        ASSERT_TRUE(doc().IsModified());
        boxes_.Shown.clear();
    }

    // Every box shown, as "text" lines.
    std::vector<std::string> Texts() const {
        std::vector<std::string> texts;
        for (const UserMessage& m : boxes_.Shown) texts.push_back(m.Text);
        return texts;
    }

    testing::IsolatedSettings settings_;
    QTemporaryDir dir_;
    RecordingMessageBoxes boxes_;
    ScriptedFileDialogs dialogs_;
    std::unique_ptr<EditorSession> session_;
};

TEST_F(DocumentCommandsTest, NewKeepsPictureAndCoverAndSaveThenWritesAnEmptyHead) {
    OpenModified(Path("wall.map"));
    session_->OriginalView().ZoomObject().SetFactor(3.0f);
    session_->TargetView().ZoomObject().SetFactor(0.5f);
    boxes_.Answers = {MessageAnswer::No};
    Trigger(CommandFileNew);
    ASSERT_EQ(boxes_.Shown.size(), 1u);
    EXPECT_EQ(boxes_.Shown[0], ApplicationMessage(SaveChangesQuestion, MessageButtons::YesNoCancel));

    EXPECT_TRUE(doc().GetPlaybackWindows().empty());
    EXPECT_EQ(doc().GetHead(), (MapFileHead{0, CoverFullScreen, 640, 480, 640, 480}));
    EXPECT_EQ(session_->OriginalView().ZoomObject().Factor(), 1.0f);
    EXPECT_EQ(session_->TargetView().ZoomObject().Factor(), 1.0f);
    EXPECT_TRUE(doc().MapFilePath().empty());
    EXPECT_EQ(stage().BackgroundPicturePath(), SourcePath("res/tesselink.jpg").toStdString());
    EXPECT_FALSE(doc().IsModified());

    dialogs_.Answers = {Path("empty.map").toStdString()};
    Trigger(CommandFileSave);
    ASSERT_EQ(dialogs_.Requests.size(), 1u);
    EXPECT_EQ(dialogs_.Requests[0].Kind, "save");
    EXPECT_EQ(dialogs_.Requests[0].Request.Filter, "Tesse Link(*.map)");
    EXPECT_EQ(dialogs_.Requests[0].Request.DefaultSuffix, "map");
    const QByteArray written = FileBytes(Path("empty.map"));
    ASSERT_EQ(written.size(), 16);
    EXPECT_EQ(written.left(4), "#Map");
    EXPECT_EQ(written[6], 0) << "window count";
    EXPECT_EQ(doc().MapFilePath(), Path("empty.map").toStdString());
}

TEST_F(DocumentCommandsTest, OpenNeedsAnExistingPictureBeforeAnyQuestionOrDialog) {
    OpenModified(Path("wall.map"));
    stage().SetBackgroundPicturePath("");
    Trigger(CommandFileOpen);
    const std::string gone = Path("gone.jpg").toStdString();
    stage().SetBackgroundPicturePath(gone);
    Trigger(CommandFileOpen);
    ASSERT_EQ(boxes_.Shown.size(), 2u);
    EXPECT_EQ(boxes_.Shown[0], PlainMessage("", "Please Select BackGround Picture ", MessageOwner::OriginalView));
    EXPECT_EQ(boxes_.Shown[1], PlainMessage("", "can't find " + gone + "\nplease Select background picture",
                                            MessageOwner::OriginalView));
    EXPECT_TRUE(dialogs_.Requests.empty());
}

TEST_F(DocumentCommandsTest, ZoomStepsStopAtTheLimitsAndFollowTheZoomArea) {
    for (int i = 0; i < 15; ++i) Trigger(CommandMagnification);
    EXPECT_EQ(session_->OriginalView().ZoomObject().Factor(), 8.0f);
    EXPECT_EQ(session_->TargetView().ZoomObject().Factor(), 8.0f);
    session_->OriginalView().ZoomObject().SetFactor(1.0f);
    session_->TargetView().ZoomObject().SetFactor(1.0f);
    for (int i = 0; i < 2; ++i) Trigger(CommandMinify);
    EXPECT_EQ(session_->OriginalView().ZoomObject().Factor(), 0.5f);
    EXPECT_EQ(session_->TargetView().ZoomObject().Factor(), 0.5f);

    session_->Editor().Head().ZoomAreaRadio(ZoomArea::Original)->click();
    Trigger(CommandMagnification);
    EXPECT_EQ(session_->OriginalView().ZoomObject().Factor(), 1.0f);
    EXPECT_EQ(session_->TargetView().ZoomObject().Factor(), 0.5f);
    session_->Editor().Head().ZoomAreaRadio(ZoomArea::Target)->click();
    Trigger(CommandMagnification);
    Trigger(CommandMagnification);
    EXPECT_EQ(session_->OriginalView().ZoomObject().Factor(), 1.0f);
    EXPECT_EQ(session_->TargetView().ZoomObject().Factor(), 1.5f);
}

TEST_F(DocumentCommandsTest, AfterOpenTheExtentsFitTheCurrentZoom) {
    const QString map = Path("wall.map");
    ASSERT_TRUE(WriteMapFile(TwoWindowMap(), map.toStdString()));
    session_->OriginalView().ZoomObject().SetFactor(2.5f);
    dialogs_.Answers = {map.toStdString()};
    Trigger(CommandFileOpen);
    ASSERT_EQ(doc().MapFilePath(), map.toStdString());
    CTesselinkView& view = session_->OriginalView();
    const QSize client = view.viewport()->size();
    const ExtentSize e = ComputeZoomExtent(640, 480, 2.5f, client.width(), client.height(), client.width(),
                                           client.height(), OriginalExtentMarginHeight);
    EXPECT_EQ(view.ScrollExtent(), QSize(e.Width, e.Height));
    EXPECT_EQ(session_->OriginalView().ZoomObject().Factor(), 2.5f);
}

TEST_F(DocumentCommandsTest, SaveAsksBeforeOverwritingAndCancelWritesNothing) {
    const QString wall = Path("wall.map");
    OpenModified(wall);
    const QByteArray before = FileBytes(wall);

    boxes_.Answers = {MessageAnswer::Cancel};
    Trigger(CommandFileSave);
    EXPECT_EQ(Texts(), std::vector<std::string>{"are you sure recovery Original file "});
    EXPECT_EQ(boxes_.Shown[0].Buttons, MessageButtons::YesNoCancel);
    EXPECT_EQ(FileBytes(wall), before);
    EXPECT_TRUE(doc().IsModified());
    EXPECT_TRUE(dialogs_.Requests.empty());

    boxes_.Answers = {MessageAnswer::No};  // No asks for another name, proposing this one
    Trigger(CommandFileSave);
    ASSERT_EQ(dialogs_.Requests.size(), 1u);
    EXPECT_EQ(dialogs_.Requests[0].Request.ProposedPath, wall.toStdString());
    EXPECT_EQ(FileBytes(wall), before);

    boxes_.Answers = {MessageAnswer::Yes};
    Trigger(CommandFileSave);
    Map saved;
    ASSERT_TRUE(ReadMapFile(saved, wall.toStdString()));
    EXPECT_EQ(saved.Windows, doc().GetPlaybackWindows());
    EXPECT_EQ(saved.Windows.size(), 1u);
    EXPECT_FALSE(doc().IsModified());
}

TEST_F(DocumentCommandsTest, SavedThenOpenedMapIsTheSameByteForByte) {
    const QString example = SourcePath("examples/cover_block.map");
    dialogs_.Answers = {example.toStdString(), Path("copy.map").toStdString()};
    Trigger(CommandFileOpen);
    ASSERT_EQ(doc().GetPlaybackWindows().size(), 2u);
    Trigger(CommandFileSaveAs);
    EXPECT_EQ(dialogs_.Requests[1].Request.ProposedPath, example.toStdString());
    EXPECT_EQ(FileBytes(Path("copy.map")), FileBytes(example));
    EXPECT_EQ(doc().MapFilePath(), Path("copy.map").toStdString());
    Trigger(CommandFileOpen);
    EXPECT_EQ(dialogs_.Requests[2].Request.ProposedPath, dir_.path().toStdString() + "/") << "the map's folder";

    // A map opened at start-up has no MapFilePath, but Save As still proposes its file.
    EditorSession second(&boxes_, &dialogs_);
    ASSERT_TRUE(second.OpenStartupMap(example));
    EXPECT_TRUE(second.Doc().MapFilePath().empty());
    second.Frame().Action(CommandFileSave)->trigger();
    EXPECT_EQ(dialogs_.Requests.back().Request.ProposedPath, example.toStdString());
}

TEST_F(DocumentCommandsTest, AMapThatCannotBeOpenedChangesNothing) {
    const QString wall = Path("wall.map");
    OpenModified(wall);
    doc().SelectWindow(0);
    QFile junk(Path("junk.map"));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write("#Mapnot enough");
    junk.close();
    const Map before = doc().GetMap();

    for (const QString& bad : {Path("junk.map"), Path("absent.map"), dir_.path()}) {
        SCOPED_TRACE(bad.toStdString());
        boxes_.Shown.clear();
        boxes_.Answers = {MessageAnswer::No};  // let the changes go
        dialogs_.Answers = {bad.toStdString()};
        Trigger(CommandFileOpen);
        ASSERT_EQ(boxes_.Shown.size(), 2u) << "the question, then the report";
        if (bad != Path("junk.map")) {
            EXPECT_NE(boxes_.Shown[1].Text.find(bad.toStdString()), std::string::npos) << boxes_.Shown[1].Text;
        }
        EXPECT_EQ(doc().GetHead(), before.Head);
        EXPECT_EQ(doc().GetPlaybackWindows(), before.Windows);
        EXPECT_EQ(doc().MapFilePath(), wall.toStdString());
        EXPECT_EQ(doc().SelectedOriginalWindow(), 0);
        EXPECT_TRUE(doc().IsModified());
        EXPECT_TRUE(doc().UndoStack().canUndo());
    }
}

// New, Open and closing the window each ask about unsaved changes; Yes saves first (and goes on
// only when the save worked), No goes on, Cancel stops.
TEST_F(DocumentCommandsTest, UnsavedChangesAreNeverLostWithoutAQuestion) {
    struct Step {
        const char* name;
        std::function<void()> run;
        std::function<bool()> wentOn;
    };
    const QString other = Path("other.map");
    ASSERT_TRUE(WriteMapFile(Map{}, other.toStdString()));
    frame().QMainWindow::setVisible(true);
    const std::vector<Step> steps = {
        {"New", [this] { Trigger(CommandFileNew); }, [this] { return doc().GetPlaybackWindows().empty(); }},
        {"Open",
         [this, other] {
             dialogs_.Answers = {other.toStdString()};
             Trigger(CommandFileOpen);
         },
         [this, other] { return doc().MapFilePath() == other.toStdString(); }},
        {"close", [this] { frame().close(); }, [this] { return !frame().isVisible(); }},
    };
    for (const Step& step : steps) {
        for (const MessageAnswer answer : {MessageAnswer::Cancel, MessageAnswer::No, MessageAnswer::Yes}) {
            SCOPED_TRACE(std::string(step.name) + " answered " + std::to_string(static_cast<int>(answer)));
            const QString wall = Path("wall.map");
            OpenModified(wall);
            frame().QMainWindow::setVisible(true);
            const Map edited = doc().GetMap();
            const QByteArray onDisk = FileBytes(wall);
            dialogs_.Requests.clear();
            boxes_.Answers = {answer, MessageAnswer::Yes};  // Yes: and yes, overwrite wall.map
            step.run();

            ASSERT_GE(boxes_.Shown.size(), 1u);
            EXPECT_EQ(boxes_.Shown[0].Text, SaveChangesQuestion);
            EXPECT_EQ(step.wentOn(), answer != MessageAnswer::Cancel);
            Map saved;
            ASSERT_TRUE(ReadMapFile(saved, wall.toStdString()));
            if (answer == MessageAnswer::Yes) {
                EXPECT_EQ(saved.Windows, edited.Windows) << "saved before going on";
            } else {
                EXPECT_EQ(FileBytes(wall), onDisk);
            }
            if (answer == MessageAnswer::Cancel) {
                EXPECT_EQ(doc().GetPlaybackWindows(), edited.Windows);
            }
        }
    }

    // Unmodified: nothing is asked.
    ASSERT_TRUE(session_->Commands().OpenMapFile(other));
    frame().QMainWindow::setVisible(true);
    boxes_.Shown.clear();
    Trigger(CommandFileNew);
    frame().close();
    EXPECT_TRUE(boxes_.Shown.empty());
    EXPECT_FALSE(frame().isVisible());
}

TEST_F(DocumentCommandsTest, YesWithAFailedSaveDoesNotGoOn) {
    // No name yet: Yes leads to Save As; a name in a folder that does not exist fails.
    ASSERT_TRUE(doc().AddWindow(MakeWindow(0, 0, 10, 10, 0, 0, 0)).Accepted());
    boxes_.Answers = {MessageAnswer::Yes};
    const QString nowhere = Path("no/such/folder/wall.map");
    dialogs_.Answers = {nowhere.toStdString()};
    Trigger(CommandFileNew);
    ASSERT_EQ(boxes_.Shown.size(), 2u);
    EXPECT_EQ(boxes_.Shown[1].Kind, MessageBoxKind::Application);
    EXPECT_NE(boxes_.Shown[1].Text.find(nowhere.toStdString()), std::string::npos) << boxes_.Shown[1].Text;
    EXPECT_EQ(doc().WindowCount(), 1) << "New did not go on";
    EXPECT_TRUE(doc().IsModified());
    EXPECT_TRUE(doc().MapFilePath().empty());
}

// Run by FailedSaveUnderAFileSizeLimitKeepsTheOldFile in a child process limited to 0-byte files.
TEST_F(DocumentCommandsTest, ChildSavesUnderAFileSizeLimit) {
    const QString wall = qEnvironmentVariable("TESSELINK_CHILD_MAP");
    if (wall.isEmpty()) GTEST_SKIP() << "run by FailedSaveUnderAFileSizeLimitKeepsTheOldFile";
    ASSERT_TRUE(session_->Commands().OpenMapFile(wall));
    ASSERT_TRUE(doc().RemoveWindow(0));
    boxes_.Answers = {MessageAnswer::Yes};
    Trigger(CommandFileSave);
    dialogs_.Answers = {(QFileInfo(wall).path() + "/other.map").toStdString()};
    Trigger(CommandFileSaveAs);
    ASSERT_EQ(boxes_.Shown.size(), 3u);
    for (const std::size_t report : {1u, 2u}) {
        EXPECT_EQ(boxes_.Shown[report].Kind, MessageBoxKind::Application);
        EXPECT_NE(boxes_.Shown[report].Text.find("File too large"), std::string::npos) << boxes_.Shown[report].Text;
    }
    EXPECT_TRUE(doc().IsModified());
    EXPECT_EQ(doc().MapFilePath(), wall.toStdString());
}

TEST_F(DocumentCommandsTest, FailedSaveUnderAFileSizeLimitKeepsTheOldFile) {
    const QString wall = Path("wall.map");
    ASSERT_TRUE(WriteMapFile(TwoWindowMap(), wall.toStdString()));
    const QByteArray before = FileBytes(wall);
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("TESSELINK_CHILD_MAP", wall);
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start("sh", {"-c", "trap '' XFSZ; ulimit -f 0; exec \"$0\" '--gtest_filter=*ChildSavesUnderAFileSizeLimit'",
                       QCoreApplication::applicationFilePath()});
    ASSERT_TRUE(child.waitForFinished(120000));
    const QString output = QString::fromLocal8Bit(child.readAll());
    EXPECT_EQ(child.exitCode(), 0) << output.toStdString();
    EXPECT_FALSE(output.contains("SKIPPED")) << output.toStdString();
    EXPECT_EQ(FileBytes(wall), before);
    EXPECT_FALSE(QFile::exists(Path("other.map")));
    EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files), QStringList{"wall.map"}) << "no partial file is left";
}

TEST_F(DocumentCommandsTest, RecentMapsAreListedOpenedAndForgottenWhenGone) {
    QMenu* recent = frame().RecentMenu();
    EXPECT_FALSE(recent->isEnabled());
    const QString a = Path("a.map");
    const QString b = Path("b.map");
    for (const QString& p : {a, b}) ASSERT_TRUE(WriteMapFile(TwoWindowMap(), p.toStdString()));
    ASSERT_TRUE(session_->Commands().OpenMapFile(a));
    ASSERT_TRUE(session_->Commands().OpenMapFile(b));
    ASSERT_TRUE(recent->isEnabled());
    ASSERT_EQ(recent->actions().size(), 2);
    EXPECT_EQ(recent->actions()[0]->text(), "&1 " + QFileInfo(b).canonicalFilePath());
    EXPECT_EQ(recent->actions()[1]->text(), "&2 " + QFileInfo(a).canonicalFilePath());

    recent->actions()[1]->trigger();
    EXPECT_EQ(doc().MapFilePath(), QFileInfo(a).canonicalFilePath().toStdString());
    EXPECT_EQ(recent->actions()[0]->text(), "&1 " + QFileInfo(a).canonicalFilePath());

    ASSERT_TRUE(QFile::remove(b));
    recent->actions()[1]->trigger();
    ASSERT_EQ(boxes_.Shown.size(), 1u);
    EXPECT_NE(boxes_.Shown[0].Text.find("b.map"), std::string::npos);
    ASSERT_EQ(recent->actions().size(), 1);
    QSettings settings;
    EXPECT_FALSE(settings.contains("Recent File List/File2")) << "forgotten in the settings too";
}

// A recent map that became something else (a FIFO, a folder) may become a map again: the box
// gives the real reason and the entry stays, with the map on screen untouched.
TEST_F(DocumentCommandsTest, ARecentMapReplacedByAFifoOrAFolderSaysWhyAndStays) {
    QMenu* recent = frame().RecentMenu();
    const QString fifo = Path("fifo.map"), folder = Path("folder.map");
    for (const QString& p : {fifo, folder}) ASSERT_TRUE(WriteMapFile(TwoWindowMap(), p.toStdString()));
    ASSERT_TRUE(session_->Commands().OpenMapFile(fifo));
    ASSERT_TRUE(session_->Commands().OpenMapFile(folder));
    ASSERT_TRUE(QFile::remove(fifo) && QFile::remove(folder));
    ASSERT_EQ(mkfifo(fifo.toUtf8().constData(), 0600), 0);
    ASSERT_TRUE(QDir().mkdir(folder));
    const Map before = doc().GetMap();

    session_->Commands().OpenRecent(fifo);
    session_->Commands().OpenRecent(folder);
    EXPECT_EQ(Texts(), (std::vector<std::string>{"Cannot open " + fifo.toStdString() + ": is not a regular file",
                                                 "Cannot open " + folder.toStdString() + ": is a folder"}));
    EXPECT_EQ(recent->actions().size(), 2);
    EXPECT_EQ(session_->RecentFiles().Files(), (QStringList{folder, fifo}));
    EXPECT_EQ(doc().GetMap().Windows, before.Windows);
}

// A background picture that is a FIFO or a device is not missing: Open says what it is.
TEST_F(DocumentCommandsTest, OpenNamesWhyAPictureThatIsNotARegularFileCannotBeUsed) {
    const std::string fifo = Path("pipe.jpg").toStdString();
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    for (const std::string& picture : {fifo, std::string("/dev/null")}) {
        boxes_.Shown.clear();
        stage().SetBackgroundPicturePath(picture);
        Trigger(CommandFileOpen);
        ASSERT_EQ(boxes_.Shown.size(), 1u);
        EXPECT_EQ(boxes_.Shown[0], PlainMessage("",
                                                "Cannot use the picture " + picture +
                                                    ": is not a regular file\nplease Select background picture",
                                                MessageOwner::OriginalView));
        EXPECT_TRUE(dialogs_.Requests.empty());
    }
}

TEST_F(DocumentCommandsTest, DroppedMapOpensAndDroppedPictureFillsThePictureField) {
    const QString map = Path("dropped.map");
    ASSERT_TRUE(WriteMapFile(TwoWindowMap(), map.toStdString()));
    const QString picture = SourcePath("tests/data/tiny_3x2.gif");
    const auto drop = [this](const QString& path) {
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(path)});
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&frame(), &enter);
        const bool accepted = enter.isAccepted();
        if (accepted) {
            QDropEvent dropped(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(&frame(), &dropped);
            QApplication::processEvents();
        }
        return accepted;
    };
    EXPECT_FALSE(drop(Path("notes.txt"))) << "only maps and pictures are taken";

    ASSERT_TRUE(doc().AddWindow(MakeWindow(0, 0, 10, 10, 0, 0, 0)).Accepted());
    boxes_.Answers = {MessageAnswer::Cancel};
    ASSERT_TRUE(drop(map));
    EXPECT_EQ(Texts(), std::vector<std::string>{SaveChangesQuestion});
    EXPECT_EQ(doc().WindowCount(), 1) << "cancelled";
    boxes_.Answers = {MessageAnswer::No};
    ASSERT_TRUE(drop(map));
    EXPECT_EQ(doc().GetPlaybackWindows(), TwoWindowMap().Windows);
    EXPECT_EQ(doc().MapFilePath(), map.toStdString());

    ASSERT_TRUE(drop(picture));
    EXPECT_EQ(session_->Editor().Head().PicturePathEdit()->text(), QFileInfo(picture).absoluteFilePath());
    EXPECT_EQ(stage().BackgroundPicturePath(), SourcePath("res/tesselink.jpg").toStdString()) << "until OK";
}

}  // namespace
}  // namespace tesselink
