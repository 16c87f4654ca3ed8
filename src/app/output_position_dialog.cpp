// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/output_position_dialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QSpinBox>

namespace tesselink {

OutputPositionDialog::OutputPositionDialog(const QPoint& position, const QSize& screen, QWidget* parent)
    : QDialog(parent), x_(new QSpinBox(this)), y_(new QSpinBox(this)) {
    setWindowTitle(QStringLiteral("Output Position"));
    x_->setObjectName("outputX");
    y_->setObjectName("outputY");
    // Past the screen's edge nothing would show: the corner stays on it.
    x_->setRange(0, std::max(0, screen.width() - 1));
    y_->setRange(0, std::max(0, screen.height() - 1));
    x_->setValue(position.x());
    y_->setValue(position.y());
    auto* form = new QFormLayout(this);
    form->addRow(new QLabel(QStringLiteral("Where the target's top-left corner goes on the screen, in pixels."), this));
    form->addRow(QStringLiteral("&X:"), x_);
    form->addRow(QStringLiteral("&Y:"), y_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    form->addRow(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    x_->setFocus();
    x_->selectAll();
}

QPoint OutputPositionDialog::Position() const { return {x_->value(), y_->value()}; }

}  // namespace tesselink
