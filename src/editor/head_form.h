// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The upper half of the editor panel: the map head's four sizes, the background picture,
// "OK", the cover controls and the zoom area. The head applies only through "OK".

#include <cstdint>
#include <string>

#include <QObject>
#include <QString>

#include "map/file_dialogs.h"
#include "map/message_boxes.h"
#include "views/zoom_area.h"

class QButtonGroup;
class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QWidget;

namespace tesselink {

class Backdrop;
class CTesselinkDoc;
struct MapChange;

class HeadForm : public QObject {
    Q_OBJECT
public:
    // Builds the controls on `form` and follows `doc`.
    HeadForm(CTesselinkDoc& doc, Backdrop& backdrop, QWidget* form, QObject* parent = nullptr);

    // Where messages and questions go, and how a picture file is asked for; without them
    // nothing is shown and "......" offers nothing.
    void SetMessageBoxes(MessageBoxes* boxes) { boxes_ = boxes; }
    void SetFileDialogs(FileDialogs* dialogs) { dialogs_ = dialogs; }

    // "OK", or Enter in one of the five head fields: checks the head fields and the picture path,
    // asks about windows that would no longer fit, and applies the head (with their deletion) as
    // one undoable step.
    void ApplyHead();
    // "......": a picture file chosen in the dialog goes into the path field, nothing else.
    void BrowseBackgroundPicture();
    // A picture path proposed from outside (the default picture, a dropped file) goes into the
    // path field, to be applied with "OK".
    void ProposePicturePath(const QString& path);

    QLineEdit* OriginalWidthEdit() const { return originalWidth_; }
    QLineEdit* OriginalHeightEdit() const { return originalHeight_; }
    QLineEdit* TargetWidthEdit() const { return targetWidth_; }
    QLineEdit* TargetHeightEdit() const { return targetHeight_; }
    QLineEdit* PicturePathEdit() const { return picturePath_; }
    QPushButton* BrowseButton() const { return browse_; }
    QPushButton* ApplyHeadButton() const { return apply_; }
    QCheckBox* CoverFullScreenCheck() const { return coverFullScreen_; }
    QRadioButton* CoverSameDirectionRadio() const { return coverSame_; }
    QRadioButton* CoverDifferentDirectionRadio() const { return coverDifferent_; }
    QRadioButton* ZoomAreaRadio(ZoomArea area) const;
    QButtonGroup* ZoomAreaGroup() const { return zoomArea_; }

    // The radio button of `area` checked, as the zoom commands' area changed elsewhere.
    void ShowZoomArea(ZoomArea area);

signals:
    // The head was applied: the window fields show no window any more.
    void headApplied();
    // A zoom-area radio button was clicked.
    void zoomAreaChosen(tesselink::ZoomArea area);

private:
    void BuildHead(QWidget* form);
    void BuildZoom(QWidget* form);
    void Connect();
    void OnDocumentChanged(const MapChange& change);
    void FillSizes();
    // The three cover buttons show the map's cover option.
    void ShowCoverOption(std::uint8_t option);
    std::uint8_t CoverOptionFromControls() const;
    void ReportUnusablePicture();
    // Leaving a size field (and before the head applies): arithmetic in it is replaced by its result, or refused with a
    // message and the map's size shown again (false). Digits alone stay as typed.
    bool CommitArithmetic(QLineEdit* field);
    void Tell(const std::string& text);
    MessageAnswer Ask(const std::string& text);
    bool eventFilter(QObject* watched, QEvent* event) override;

    CTesselinkDoc& doc_;
    Backdrop& backdrop_;
    MessageBoxes* boxes_ = nullptr;
    FileDialogs* dialogs_ = nullptr;
    QLineEdit* originalWidth_ = nullptr;
    QLineEdit* originalHeight_ = nullptr;
    QLineEdit* targetWidth_ = nullptr;
    QLineEdit* targetHeight_ = nullptr;
    QLineEdit* picturePath_ = nullptr;
    QPushButton* browse_ = nullptr;
    QPushButton* apply_ = nullptr;
    QCheckBox* coverFullScreen_ = nullptr;
    QRadioButton* coverSame_ = nullptr;
    QRadioButton* coverDifferent_ = nullptr;
    QButtonGroup* zoomArea_ = nullptr;
    // "OK" chose a picture that was still decoding: whether it is usable is told when it is done.
    bool reportWhenLoaded_ = false;
};

}  // namespace tesselink
