// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A status-bar pane whose preferred width is the share of the client width it was given.

#include <QLabel>

namespace tesselink {

class StatusPaneLabel : public QLabel {
public:
    explicit StatusPaneLabel(QWidget* parent) : QLabel(parent) { setFrameStyle(QFrame::Panel | QFrame::Sunken); }

    void SetPreferredWidth(int width) {
        if (width == PreferredWidth_) return;
        PreferredWidth_ = width;
        updateGeometry();
    }
    QSize sizeHint() const override { return {PreferredWidth_, QLabel::sizeHint().height()}; }
    // Long texts never widen the pane; they are cut at its edge.
    QSize minimumSizeHint() const override { return {0, QLabel::minimumSizeHint().height()}; }

private:
    int PreferredWidth_ = 0;
};

}  // namespace tesselink
