// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The editor panel on the left: a scrollable form holding the head form (sizes, picture,
// cover, zoom area) above the window form (list, Add, Delete, fields, Map Mode), laid out as
// the template drew it, with the template's tab order.

#include <QScrollArea>
#include <QSize>

#include "editor/head_form.h"
#include "editor/window_form.h"

namespace tesselink {

class Backdrop;
class CTesselinkDoc;

// The panel's push buttons: a plain box, and a 2-pixel border of FocusFrameColour with the focus.
constexpr unsigned FocusFrameColour = 0x1a5fd0;
constexpr const char* PanelButtonStyle =
    "QPushButton { border: 1px solid palette(dark); border-radius: 2px; background: palette(button); "
    "padding: 0px 2px; }"
    "QPushButton:pressed { background: palette(mid); }"
    "QPushButton:disabled { color: palette(mid); }"
    "QPushButton:focus { border: 2px solid #1a5fd0; }";

class CMapHeadFileView : public QScrollArea {
    Q_OBJECT
public:
    CMapHeadFileView(CTesselinkDoc& doc, Backdrop& backdrop, QWidget* parent = nullptr);

    // The form's size in pixels (its template is 293 x 394 dialog units).
    static QSize FormSize();

    void SetMessageBoxes(MessageBoxes* boxes);
    void SetFileDialogs(FileDialogs* dialogs) { head_->SetFileDialogs(dialogs); }

    HeadForm& Head() const { return *head_; }
    WindowForm& Windows() const { return *windows_; }

public slots:
    // A picture path proposed from outside (the default picture, a dropped file).
    void ProposePicturePath(const QString& path) { head_->ProposePicturePath(path); }

private:
    void SetTabOrder();

    HeadForm* head_ = nullptr;
    WindowForm* windows_ = nullptr;
};

}  // namespace tesselink
