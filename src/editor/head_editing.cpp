// The upper half of the editor panel: head sizes, background picture, cover and zoom scope.
#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "document/tesselink_doc.h"
#include "editor/map_head_file_view.h"
#include "map/map_image.h"

namespace tesselink {
namespace {

// The leading decimal digits of `text` as a number, saturated far above any valid size so
// that a long run of digits is never wrapped into a small one.
long long LeadingNumber(const QString& text) {
    long long value = 0;
    for (const QChar c : text) {
        if (!c.isDigit()) break;
        value = std::min(value * 10 + c.digitValue(), 1LL << 40);
    }
    return value;
}

}  // namespace

void CMapHeadFileView::ConnectHeadControls() {
    connect(ApplyHeadButton_, &QPushButton::clicked, this, &CMapHeadFileView::ApplyHead);
    connect(BrowseButton_, &QPushButton::clicked, this, &CMapHeadFileView::BrowseBackgroundPicture);
    // The cover buttons ask the document for the option they show; it announces it back.
    const auto applyCover = [this] { Doc_.SetCoverOption(CoverOptionFromControls()); };
    connect(CoverFullScreenCheck_, &QAbstractButton::clicked, this, applyCover);
    connect(CoverSameRadio_, &QAbstractButton::clicked, this, applyCover);
    connect(CoverDifferentRadio_, &QAbstractButton::clicked, this, applyCover);
    connect(ZoomAreaGroup_, &QButtonGroup::idClicked, this, [this](int choice) {
        ValuesFromControls();
        Doc_.ZoomArea = choice;
    });
}

void CMapHeadFileView::ApplyHead() {
    const QString texts[4] = {OriginalWidthEdit_->text(), OriginalHeightEdit_->text(), TargetWidthEdit_->text(),
                              TargetHeightEdit_->text()};
    const QString path = PicturePathEdit_->text();
    for (const QString& t : texts) {
        if (t.isEmpty()) return Tell("input data invalid\n");
    }
    if (path.isEmpty()) return Tell("Please LoadDown backbround picture\n");
    Values_.PicturePath = path;

    long long sizes[4];
    for (int i = 0; i < 4; ++i) sizes[i] = LeadingNumber(texts[i]);
    // A map file cannot carry larger sizes with windows in it, so the editor never makes one.
    for (const long long size : sizes) {
        if (size > MaxHeadSize) return Tell("High and Width can't more than 2000");
    }
    MapFileHead head;
    head.OriginalWidth = static_cast<std::uint16_t>(sizes[0]);
    head.OriginalHeight = static_cast<std::uint16_t>(sizes[1]);
    head.TargetWidth = static_cast<std::uint16_t>(sizes[2]);
    head.TargetHeight = static_cast<std::uint16_t>(sizes[3]);

    std::vector<int> deleted;
    const std::vector<HeadMisfit> misfits = Doc_.HeadMisfits(head);
    if (!misfits.empty()) {
        if (Ask(HeadMisfitQuestion(misfits)) != MessageAnswer::Yes) return;
        for (const HeadMisfit& m : misfits) deleted.push_back(m.Index);
    }

    ValuesFromControls();
    Doc_.SetBackgroundPicturePath(Values_.PicturePath.toStdString());
    Doc_.ChangeHead(head, deleted);
    Doc_.SetSelectedWindows(-1, -1);
    ShowWindowFields(nullptr);
    ReportUnusablePicture();
}

void CMapHeadFileView::ReportUnusablePicture() {
    const BackgroundPicture& background = Doc_.Background();
    if (!background.Exists() || background.Image().HasBitmap()) return;
    Tell("Cannot use the picture " + Doc_.BackgroundPicturePath() + ": " + background.LoadError());
}

void CMapHeadFileView::BrowseBackgroundPicture() {
    if (Dialogs_ == nullptr) return;
    FileDialogRequest request;
    request.Filter = "Image(*.bmp;*.jpg;*.png;*.gif;*.png)";
    const QString current = PicturePathEdit_->text();
    if (!current.isEmpty()) request.ProposedPath = current.toStdString();
    const std::string chosen = Dialogs_->AskOpenPath(request);
    if (chosen.empty()) return;
    PicturePathEdit_->setText(QFileInfo(QString::fromStdString(chosen)).absoluteFilePath());
}

void CMapHeadFileView::Tell(const std::string& text) {
    if (Boxes_ == nullptr) return;
    Telling_ = true;
    Boxes_->Show(ApplicationMessage(text));
    Telling_ = false;
}

MessageAnswer CMapHeadFileView::Ask(const std::string& text) {
    if (Boxes_ == nullptr) return MessageAnswer::No;
    Telling_ = true;
    const MessageAnswer answer = Boxes_->Show(ApplicationMessage(text, MessageButtons::YesNo));
    Telling_ = false;
    return answer;
}

}  // namespace tesselink
