#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include <string>
#include <vector>

#include "document/tesselink_doc.h"
#include "map/map_file.h"
#include "support/recording_message_boxes.h"

using namespace tesselink;
using tesselink::testing::RecordingMessageBoxes;

namespace {

// Each fake pane writes what it was asked into one shared log, so the order across panes shows.
struct CallLog {
    std::vector<std::string> Calls;
};

class FakePanel : public HeadFileViewPane {
public:
    explicit FakePanel(CallLog& log) : log_(log) {}
    void ResetHeadFields() override { log_.Calls.push_back("panel.ResetHeadFields"); }
    void FillHeadFromDocument() override { log_.Calls.push_back("panel.FillHeadFromDocument"); }
    void ShowCoverOption(std::uint8_t option) override {
        log_.Calls.push_back("panel.ShowCoverOption " + std::to_string(option));
    }
    void RefreshWindowList() override { log_.Calls.push_back("panel.RefreshWindowList"); }

private:
    CallLog& log_;
};

template <class Base>
class FakePictureView : public Base {
public:
    FakePictureView(CallLog& log, std::string name) : log_(log), name_(std::move(name)) {}
    void ApplyZoom(float zoom) override { Log("ApplyZoom " + std::to_string(zoom)); }
    void SetZoomChanged(int flag) override { Log("SetZoomChanged " + std::to_string(flag)); }
    void Repaint() override { Log("Repaint"); }
    void ClearSelectionFrame() override { Log("ClearSelectionFrame"); }
    void ShowWindowFrame(int i) override { Log("ShowWindowFrame " + std::to_string(i)); }
    void UpdateSelectionPictureRect(int i) override { Log("UpdateSelectionPictureRect " + std::to_string(i)); }

protected:
    void Log(const std::string& call) { log_.Calls.push_back(name_ + "." + call); }

private:
    CallLog& log_;
    std::string name_;
};

class FakeOriginalView : public FakePictureView<OriginalViewPane> {
public:
    explicit FakeOriginalView(CallLog& log) : FakePictureView(log, "original") {}
    void SetAddWindowArmed(int flag) override { Log("SetAddWindowArmed " + std::to_string(flag)); }
    void SetPendingMapMode(int mode) override { Log("SetPendingMapMode " + std::to_string(mode)); }
};

class FakeTargetView : public FakePictureView<TargetViewPane> {
public:
    explicit FakeTargetView(CallLog& log) : FakePictureView(log, "target") {}
    void SetCoverMode(int mode) override { Log("SetCoverMode " + std::to_string(mode)); }
};

// A document with all three panes attached in creation order and a message recorder.
struct AttachedDocument {
    CallLog log;
    FakePanel panel{log};
    FakeOriginalView original{log};
    FakeTargetView target{log};
    RecordingMessageBoxes boxes;
    CTesselinkDoc doc;

    AttachedDocument() {
        doc.AttachView(&panel);
        doc.AttachView(&original);
        doc.AttachView(&target);
        doc.SetMessageBoxes(&boxes);
    }
};

std::string WriteMap(const QTemporaryDir& dir, const QString& name, const Map& map) {
    const std::string path = dir.filePath(name).toStdString();
    EXPECT_TRUE(WriteMapFile(map, path).Written);
    return path;
}

}  // namespace

TEST(DocumentState, StartsWithTheDefaultsOfAnEmptyMap) {
    CTesselinkDoc doc;
    const MapFileHead& head = doc.GetHead();
    EXPECT_EQ(head.WindowCount, 0);
    EXPECT_EQ(head.CoverOption, 0);
    EXPECT_EQ(head.OriginalWidth, 640);
    EXPECT_EQ(head.OriginalHeight, 480);
    EXPECT_EQ(head.TargetWidth, 640);
    EXPECT_EQ(head.TargetHeight, 480);
    EXPECT_TRUE(doc.GetPlaybackWindows().empty());
    EXPECT_EQ(doc.NeedsRedraw, 0);
    EXPECT_EQ(doc.SelectedOriginalWindow, -1);
    EXPECT_EQ(doc.SelectedTargetWindow, -1);
    EXPECT_EQ(doc.OriginalZoom, 1.0f);
    EXPECT_EQ(doc.TargetZoom, 1.0f);
    EXPECT_EQ(doc.BaseZoom, 1.0f);
    EXPECT_EQ(doc.ZoomArea, AllArea);
    EXPECT_EQ(doc.StretchBackground, 0);
    EXPECT_TRUE(doc.BackgroundPicturePath.empty());
    EXPECT_TRUE(doc.LoadedPicturePath.empty());
    EXPECT_TRUE(doc.MapFilePath.empty());
    EXPECT_FALSE(doc.ColourPlanes.IsPresent());
    EXPECT_FALSE(doc.TargetPlanes.IsPresent());
}

TEST(DocumentViews, AccessorsFollowCreationOrder) {
    AttachedDocument d;
    EXPECT_EQ(d.doc.GetHeadFileView(), &d.panel);
    EXPECT_EQ(d.doc.GetOriginalView(), &d.original);
    EXPECT_EQ(d.doc.GetTargetView(), &d.target);
}

TEST(DocumentViews, NoneWhenTooFewViewsAreAttached) {
    CallLog log;
    FakePanel panel(log);
    CTesselinkDoc doc;
    EXPECT_EQ(doc.GetHeadFileView(), nullptr);
    EXPECT_EQ(doc.GetOriginalView(), nullptr);
    EXPECT_EQ(doc.GetTargetView(), nullptr);

    doc.AttachView(&panel);
    EXPECT_EQ(doc.GetHeadFileView(), &panel);
    EXPECT_EQ(doc.GetOriginalView(), nullptr) << "a single view is no Original view";
    EXPECT_EQ(doc.GetTargetView(), nullptr) << "the last view is the panel, not a Target view";
}

TEST(DocumentViews, AttachingTwiceKeepsTheFirstPlaceAndDetachRemoves) {
    AttachedDocument d;
    d.doc.AttachView(&d.original);
    EXPECT_EQ(d.doc.ViewCount(), 3);
    EXPECT_EQ(d.doc.GetOriginalView(), &d.original);
    EXPECT_EQ(d.doc.GetTargetView(), &d.target);

    d.doc.DetachView(&d.target);
    EXPECT_EQ(d.doc.GetTargetView(), nullptr);
    EXPECT_EQ(d.doc.GetOriginalView(), &d.original);
    d.doc.DetachView(&d.panel);
    EXPECT_EQ(d.doc.GetHeadFileView(), nullptr) << "the first view is now the Original view";
}

TEST(DocumentColours, FixedTableThenYellow) {
    EXPECT_EQ(CTesselinkDoc::WindowColour(0), 0x00FFFFFFu);
    EXPECT_EQ(CTesselinkDoc::WindowColour(2), 0x000428DAu) << "RGB(218,40,4), red in the low byte";
    EXPECT_EQ(CTesselinkDoc::WindowColour(14), 0x0000A5FFu);
    EXPECT_EQ(CTesselinkDoc::WindowColour(4), CTesselinkDoc::WindowColour(15));
    EXPECT_EQ(CTesselinkDoc::WindowColour(17), 0x0000FFFFu);
    EXPECT_EQ(CTesselinkDoc::WindowColour(200), 0x0000FFFFu);
}

TEST(DocumentOpen, ReplacesTheWindowsAndTellsThePanesInOrder) {
    QTemporaryDir dir;
    Map onDisk;
    onDisk.Head = MapFileHead{2, static_cast<std::uint8_t>(CoverFullScreen | CoverDifferentDirection), 800, 600,
                              1024, 768};
    onDisk.Windows = {MakeWindow(0, 0, 100, 60, 0, 0, 0), MakeWindow(100, 0, 30, 10, 200, 0, 1)};
    const std::string path = WriteMap(dir, "two.map", onDisk);

    AttachedDocument d;
    d.doc.GetPlaybackWindows().push_back(MakeWindow(5, 5, 5, 5, 5, 5, 0));
    d.doc.SelectedOriginalWindow = 0;
    d.doc.SelectedTargetWindow = 0;
    d.doc.OriginalZoom = 2.5f;
    d.doc.TargetZoom = 3.0f;

    ASSERT_TRUE(d.doc.OnOpenDocument(path));
    EXPECT_EQ(d.doc.GetHead(), onDisk.Head);
    EXPECT_EQ(d.doc.GetPlaybackWindows(), onDisk.Windows);
    EXPECT_EQ(d.doc.SelectedOriginalWindow, -1);
    EXPECT_EQ(d.doc.SelectedTargetWindow, -1);
    EXPECT_EQ(d.doc.NeedsRedraw, 1);
    EXPECT_EQ(d.doc.OriginalZoom, 2.5f) << "only New resets the zoom factors";
    EXPECT_EQ(d.doc.TargetZoom, 3.0f);
    EXPECT_TRUE(d.doc.MapFilePath.empty()) << "the open step itself does not record the path";
    EXPECT_TRUE(d.boxes.Shown.empty());

    const std::vector<std::string> expected = {
        "target.ApplyZoom 1.000000", "original.ApplyZoom 1.000000", "original.Repaint", "target.Repaint",
        "panel.FillHeadFromDocument", "panel.ShowCoverOption 6",  "panel.RefreshWindowList",
    };
    EXPECT_EQ(d.log.Calls, expected);
}

TEST(DocumentOpen, FileThatCannotBeOpenedIsReportedAndChangesNothing) {
    QTemporaryDir dir;
    AttachedDocument d;
    d.doc.GetHead().TargetWidth = 700;
    d.doc.GetPlaybackWindows().push_back(MakeWindow(5, 5, 5, 5, 5, 5, 0));
    d.doc.GetHead().WindowCount = 1;
    d.doc.SelectedOriginalWindow = 0;

    const std::string missing = dir.filePath("absent.map").toStdString();
    EXPECT_FALSE(d.doc.OnOpenDocument(missing));
    ASSERT_EQ(d.boxes.Shown.size(), 1u);
    EXPECT_EQ(d.boxes.Shown[0].Kind, MessageBoxKind::Application);
    EXPECT_EQ(d.boxes.Shown[0].Caption, "Tesselink");
    EXPECT_EQ(d.boxes.Shown[0].Text.rfind("Failed to open document.", 0), 0u);
    EXPECT_NE(d.boxes.Shown[0].Text.find(missing), std::string::npos) << "the report names the file";

    EXPECT_EQ(d.doc.GetPlaybackWindows().size(), 1u);
    EXPECT_EQ(d.doc.GetHead().WindowCount, 1);
    EXPECT_EQ(d.doc.GetHead().TargetWidth, 700);
    EXPECT_EQ(d.doc.SelectedOriginalWindow, 0);
    EXPECT_EQ(d.doc.NeedsRedraw, 0);
    EXPECT_TRUE(d.log.Calls.empty()) << "no pane is disturbed";
}

TEST(DocumentOpen, InvalidFileLeavesAnEmptyListAndThePreviousHead) {
    QTemporaryDir dir;
    const QString path = dir.filePath("junk.map");
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("not a map at all");
    }
    AttachedDocument d;
    d.doc.GetHead().OriginalWidth = 1000;
    d.doc.GetPlaybackWindows().push_back(MakeWindow(5, 5, 5, 5, 5, 5, 0));
    d.doc.GetHead().WindowCount = 1;

    EXPECT_TRUE(d.doc.OnOpenDocument(path.toStdString())) << "an unreadable map still counts as opened";
    EXPECT_TRUE(d.doc.GetPlaybackWindows().empty());
    EXPECT_EQ(d.doc.GetHead().WindowCount, 0);
    EXPECT_EQ(d.doc.GetHead().OriginalWidth, 1000);
    EXPECT_EQ(d.doc.NeedsRedraw, 1);
    EXPECT_EQ(d.log.Calls.back(), "panel.RefreshWindowList");
}

TEST(DocumentOpen, WorksWithoutPanesOrMessageBoxes) {
    CTesselinkDoc doc;
    EXPECT_FALSE(doc.OnOpenDocument(""));
    QTemporaryDir dir;
    Map onDisk;
    onDisk.Windows = {MakeWindow(1, 2, 3, 4, 5, 6, 5)};
    onDisk.Head.WindowCount = 1;
    EXPECT_TRUE(doc.OnOpenDocument(WriteMap(dir, "one.map", onDisk)));
    EXPECT_EQ(doc.GetPlaybackWindows(), onDisk.Windows);
}

TEST(DocumentPlanes, RemapWindowsBuildsTheTargetFromTheColourPlanes) {
    CTesselinkDoc doc;
    doc.GetHead().OriginalWidth = 4;
    doc.GetHead().OriginalHeight = 2;
    doc.GetHead().TargetWidth = 5;
    doc.GetHead().TargetHeight = 3;
    const PlaybackWindows windows = {MakeWindow(1, 0, 2, 2, 3, 1, 4)};  // level mirror

    doc.RemapWindows(windows);
    EXPECT_FALSE(doc.TargetPlanes.IsPresent()) << "without colour planes nothing is built";

    doc.ColourPlanes.Allocate(4, 2);
    for (int i = 0; i < 8; ++i) {
        doc.ColourPlanes.Red()[i] = static_cast<std::uint8_t>(10 + i);
        doc.ColourPlanes.Green()[i] = static_cast<std::uint8_t>(20 + i);
        doc.ColourPlanes.Blue()[i] = static_cast<std::uint8_t>(30 + i);
    }
    doc.RemapWindows(windows);
    ASSERT_TRUE(doc.TargetPlanes.IsPresent());
    EXPECT_EQ(doc.TargetPlanes.Width(), 5);
    EXPECT_EQ(doc.TargetPlanes.Height(), 3);
    const std::uint8_t* red = doc.TargetPlanes.Red();
    // Source row 0 columns 1, 2 (11, 12) land reversed at target (3, 1), (4, 1).
    EXPECT_EQ(red[1 * 5 + 3], 12);
    EXPECT_EQ(red[1 * 5 + 4], 11);
    EXPECT_EQ(red[2 * 5 + 3], 16);
    EXPECT_EQ(doc.TargetPlanes.Blue()[2 * 5 + 4], 35);
    EXPECT_EQ(red[0], TargetFillValue) << "uncovered target stays grey";
}

TEST(DocumentClose, FreesPlanesAndWindows) {
    CTesselinkDoc doc;
    doc.ColourPlanes.Allocate(8, 8);
    doc.TargetPlanes.Allocate(8, 8);
    doc.GetPlaybackWindows().push_back(MakeWindow(0, 0, 1, 1, 0, 0, 0));
    doc.GetHead().WindowCount = 1;
    doc.OnCloseDocument();
    EXPECT_FALSE(doc.ColourPlanes.IsPresent());
    EXPECT_FALSE(doc.TargetPlanes.IsPresent());
    EXPECT_TRUE(doc.GetPlaybackWindows().empty());
}
