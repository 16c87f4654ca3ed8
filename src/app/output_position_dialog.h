// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// View > Output > Position...: where on the output's screen the target's top-left corner goes.

#include <QDialog>
#include <QPoint>

class QSpinBox;

namespace tesselink {

class OutputPositionDialog : public QDialog {
    Q_OBJECT
public:
    OutputPositionDialog(const QPoint& position, const QSize& screen, QWidget* parent = nullptr);
    QPoint Position() const;

private:
    QSpinBox* x_ = nullptr;
    QSpinBox* y_ = nullptr;
};

}  // namespace tesselink
