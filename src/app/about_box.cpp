// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/about_box.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "app/program_icon.h"

namespace tesselink {

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(AboutCaption);
    setModal(true);

    auto* icon = new QLabel(this);
    icon->setObjectName("AboutIcon");
    icon->setPixmap(ProgramIcon().pixmap(48, 48));
    icon->setFixedSize(48, 48);

    auto* text = new QLabel(AboutText, this);
    text->setObjectName("AboutText");

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* row = new QHBoxLayout;
    row->addWidget(icon, 0, Qt::AlignTop);
    row->addSpacing(12);
    row->addWidget(text, 1, Qt::AlignVCenter);

    auto* column = new QVBoxLayout(this);
    column->addLayout(row);
    column->addWidget(buttons);
    setFixedSize(sizeHint().expandedTo(QSize(280, 110)));
}

}  // namespace tesselink
