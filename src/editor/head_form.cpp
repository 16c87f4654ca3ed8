// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/head_form.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QEvent>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "document/tesselink_doc.h"
#include "stage/backdrop.h"
#include "editor/form_building.h"
#include "map/map_image.h"
#include "map/whole_number_expression.h"

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

HeadForm::HeadForm(CTesselinkDoc& doc, Backdrop& backdrop, QWidget* form, QObject* parent)
    : QObject(parent), doc_(doc), backdrop_(backdrop) {
    BuildHead(form);
    BuildZoom(form);
    FillSizes();
    ShowCoverOption(doc_.GetHead().CoverOption);
    Connect();
}

void HeadForm::BuildHead(QWidget* form) {
    AddGroup(form, "Map File Head", 2, 3, 280, 114);
    AddLabel(form, "Original width", 25, 14, 48, 10);
    originalWidth_ = AddNumberEdit(form, "OriginalWidthEdit", 75, 13, 39, 12);
    AddLabel(form, "Original heigh", 25, 30, 43, 10);
    originalHeight_ = AddNumberEdit(form, "OriginalHeightEdit", 75, 28, 39, 12);
    AddLabel(form, "Target width", 133, 14, 50, 10);
    targetWidth_ = AddNumberEdit(form, "TargetWidthEdit", 188, 13, 39, 12);
    AddLabel(form, "Target height", 133, 30, 51, 10);
    targetHeight_ = AddNumberEdit(form, "TargetHeightEdit", 188, 28, 39, 12);

    AddLabel(form, "BackGround Piture", 7, 51, 61, 14, Qt::AlignRight);
    picturePath_ = Place(new QLineEdit(form), 75, 49, 153, 14);
    picturePath_->setObjectName("PicturePathEdit");
    picturePath_->setReadOnly(true);
    // A file dropped on the read-only field goes to the window, which knows what to do with it.
    picturePath_->setAcceptDrops(false);
    browse_ = Place(new QPushButton("......", form), 243, 49, 14, 14);
    browse_->setObjectName("BrowseButton");
    apply_ = Place(new QPushButton("OK", form), 178, 68, 50, 14);
    apply_->setObjectName("ApplyHeadButton");

    coverFullScreen_ = Place(new QCheckBox("Covered with full screen", form), 7, 86, 90, 10);
    coverFullScreen_->setObjectName("CoverFullScreenCheck");
    coverSame_ = Place(new QRadioButton("Covered with same direction", form), 7, 102, 107, 10);
    coverSame_->setObjectName("CoverSameDirectionRadio");
    coverDifferent_ = Place(new QRadioButton("Covered with different direction", form), 139, 102, 118, 10);
    coverDifferent_->setObjectName("CoverDifferentDirectionRadio");
    auto* coverGroup = new QButtonGroup(this);
    coverGroup->addButton(coverSame_, 0);
    coverGroup->addButton(coverDifferent_, 1);
}

void HeadForm::BuildZoom(QWidget* form) {
    AddGroup(form, "Zoom", 1, 120, 280, 27);
    AddLabel(form, "Enlarged area:", 5, 131, 54, 8);
    zoomArea_ = new QButtonGroup(this);
    const char* const texts[] = {"All area", "Origina area", "Target area"};
    const int xs[] = {69, 133, 211};
    const int widths[] = {49, 64, 62};
    for (int choice = 0; choice < 3; ++choice) {
        auto* radio = Place(new QRadioButton(texts[choice], form), xs[choice], 131, widths[choice], 10);
        radio->setObjectName(QStringLiteral("ZoomAreaRadio%1").arg(choice));
        zoomArea_->addButton(radio, choice);
    }
    ShowZoomArea(ZoomArea::All);
}

QRadioButton* HeadForm::ZoomAreaRadio(ZoomArea area) const {
    return qobject_cast<QRadioButton*>(zoomArea_->button(static_cast<int>(area)));
}

void HeadForm::ShowZoomArea(ZoomArea area) {
    if (QAbstractButton* radio = zoomArea_->button(static_cast<int>(area))) radio->setChecked(true);
}

void HeadForm::Connect() {
    connect(apply_, &QPushButton::clicked, this, &HeadForm::ApplyHead);
    connect(browse_, &QPushButton::clicked, this, &HeadForm::BrowseBackgroundPicture);
    // The cover buttons ask the document for the option they show; it announces it back.
    const auto applyCover = [this] { doc_.SetCoverOption(CoverOptionFromControls()); };
    connect(coverFullScreen_, &QAbstractButton::clicked, this, applyCover);
    connect(coverSame_, &QAbstractButton::clicked, this, applyCover);
    connect(coverDifferent_, &QAbstractButton::clicked, this, applyCover);
    connect(zoomArea_, &QButtonGroup::idClicked, this,
            [this](int choice) { emit zoomAreaChosen(static_cast<ZoomArea>(choice)); });
    connect(&doc_, &CTesselinkDoc::changed, this, &HeadForm::OnDocumentChanged);
    connect(&backdrop_, &Backdrop::changed, this, [this](const BackdropChange& change) {
        if (change.What == BackdropChange::Kind::Loading && !backdrop_.PictureLoading() && reportWhenLoaded_)
            ReportUnusablePicture();
    });
    for (QLineEdit* field : {originalWidth_, originalHeight_, targetWidth_, targetHeight_}) {
        field->installEventFilter(this);
        // Enter applies the head as "OK" does (arithmetic is worked out first, there too).
        connect(field, &QLineEdit::returnPressed, this, &HeadForm::ApplyHead);
    }
    connect(picturePath_, &QLineEdit::returnPressed, this, &HeadForm::ApplyHead);
}

bool HeadForm::eventFilter(QObject* watched, QEvent* event) {
    // Undo and redo are the map's, not the field's: the head fields apply only with "OK".
    if (IsMapUndoKey(event)) return true;
    if (event->type() == QEvent::FocusOut) {
        for (QLineEdit* field : {originalWidth_, originalHeight_, targetWidth_, targetHeight_})
            if (watched == field) CommitArithmetic(field);
    }
    return QObject::eventFilter(watched, event);
}

bool HeadForm::CommitArithmetic(QLineEdit* field) {
    const QString text = field->text();
    if (!IsArithmetic(text)) return true;
    const WholeNumberResult result = EvaluateWholeNumberExpression(text);
    if (result) {
        field->setText(QString::number(result.Value));
        return true;
    }
    // The size the map has, before the box: the focus the box takes leaves no arithmetic behind.
    const MapFileHead& head = doc_.GetHead();
    const std::uint16_t stored = field == originalWidth_    ? head.OriginalWidth
                                 : field == originalHeight_ ? head.OriginalHeight
                                 : field == targetWidth_    ? head.TargetWidth
                                                            : head.TargetHeight;
    field->setText(QString::number(stored));
    Tell(ArithmeticRefusal(text, result.Error));
    return false;
}

void HeadForm::OnDocumentChanged(const MapChange& change) {
    using Kind = MapChange::Kind;
    if (change.What == Kind::MapReplaced || change.What == Kind::Head) FillSizes();
    if (change.What == Kind::MapReplaced || change.What == Kind::Cover) ShowCoverOption(doc_.GetHead().CoverOption);
}

void HeadForm::FillSizes() {
    const MapFileHead& head = doc_.GetHead();
    originalWidth_->setText(QString::number(head.OriginalWidth));
    originalHeight_->setText(QString::number(head.OriginalHeight));
    targetWidth_->setText(QString::number(head.TargetWidth));
    targetHeight_->setText(QString::number(head.TargetHeight));
}

void HeadForm::ShowCoverOption(std::uint8_t option) {
    const bool fullScreen = (option & CoverFullScreen) != 0;
    coverFullScreen_->setChecked(fullScreen);
    coverSame_->setEnabled(fullScreen);
    coverDifferent_->setEnabled(fullScreen);
    const bool different = (option & CoverDifferentDirection) != 0;
    coverDifferent_->setChecked(different);
    coverSame_->setChecked(!different);
}

std::uint8_t HeadForm::CoverOptionFromControls() const {
    std::uint8_t option = 0;
    if (coverFullScreen_->isChecked()) option |= CoverFullScreen;
    if (coverDifferent_->isChecked()) option |= CoverDifferentDirection;
    return option;
}

void HeadForm::ProposePicturePath(const QString& path) { picturePath_->setText(path); }

void HeadForm::ApplyHead() {
    // Arithmetic not yet worked out (Enter not pressed, the field not left) is worked out first.
    for (QLineEdit* field : {originalWidth_, originalHeight_, targetWidth_, targetHeight_})
        if (!CommitArithmetic(field)) return;
    const QString texts[4] = {originalWidth_->text(), originalHeight_->text(), targetWidth_->text(),
                              targetHeight_->text()};
    const QString path = picturePath_->text();
    for (const QString& t : texts) {
        if (t.isEmpty()) return Tell("input data invalid\n");
    }
    if (path.isEmpty()) return Tell("Please LoadDown backbround picture\n");

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
    const std::vector<HeadMisfit> misfits = doc_.HeadMisfits(head);
    if (!misfits.empty()) {
        if (Ask(HeadMisfitQuestion(misfits)) != MessageAnswer::Yes) return;
        for (const HeadMisfit& m : misfits) deleted.push_back(m.Index);
    }

    reportWhenLoaded_ = false;  // an earlier choice overtaken by this one is not reported
    backdrop_.SetBackgroundPicturePath(path.toStdString());
    // The same path may name a file made or changed since: OK looks at it again.
    backdrop_.SyncBackground();
    doc_.ChangeHead(head, deleted);
    doc_.SetSelectedWindows(-1, -1);
    emit headApplied();
    ReportUnusablePicture();
}

void HeadForm::ReportUnusablePicture() {
    // A picture decoding on the worker thread is reported once it is done.
    reportWhenLoaded_ = backdrop_.PictureLoading();
    if (reportWhenLoaded_) return;
    const BackgroundPicture& background = backdrop_.BackgroundFile();
    if (!background.Exists() || background.Image().HasBitmap()) return;
    Tell("Cannot use the picture " + backdrop_.BackgroundPicturePath() + ": " + background.LoadError());
}

void HeadForm::BrowseBackgroundPicture() {
    if (dialogs_ == nullptr) return;
    FileDialogRequest request;
    request.Filter = "Image(*.bmp;*.jpg;*.png;*.gif;*.png)";
    const QString current = picturePath_->text();
    if (!current.isEmpty()) request.ProposedPath = current.toStdString();
    const std::string chosen = dialogs_->AskOpenPath(request);
    if (chosen.empty()) return;
    picturePath_->setText(QFileInfo(QString::fromStdString(chosen)).absoluteFilePath());
}

void HeadForm::Tell(const std::string& text) {
    if (boxes_ != nullptr) boxes_->Show(ApplicationMessage(text));
}

MessageAnswer HeadForm::Ask(const std::string& text) {
    if (boxes_ == nullptr) return MessageAnswer::No;
    return boxes_->Show(ApplicationMessage(text, MessageButtons::YesNo));
}

}  // namespace tesselink
