// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/show_map_list.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace tesselink {

QString OutputPlaceText(const ShowOutput& output) {
    if (output.At) return QStringLiteral("at %1, %2").arg(output.At->x()).arg(output.At->y());
    if (output.Screen.isEmpty()) return QStringLiteral("first screen");
    return QStringLiteral("screen %1").arg(output.Screen);
}

ShowMapList::ShowMapList(QWidget* parent) : QDialog(parent) {
    setObjectName("ShowMapList");
    setWindowTitle(QStringLiteral("Show"));
    auto* layout = new QVBoxLayout(this);
    title_ = new QLabel(this);
    title_->setWordWrap(true);
    layout->addWidget(title_);
    rows_ = new QTreeWidget(this);
    rows_->setObjectName("showMaps");
    rows_->setRootIsDecorated(false);
    rows_->setHeaderLabels({QStringLiteral("Output"), QStringLiteral("Map"), QStringLiteral("Place")});
    rows_->header()->setStretchLastSection(false);
    rows_->header()->setSectionResizeMode(1, QHeaderView::Stretch);
    layout->addWidget(rows_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Open | QDialogButtonBox::Close, this);
    layout->addWidget(buttons);
    connect(rows_, &QTreeWidget::itemActivated, this,
            [this](QTreeWidgetItem* item) { emit mapChosen(rows_->indexOfTopLevelItem(item)); });
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        if (QTreeWidgetItem* item = rows_->currentItem()) emit mapChosen(rows_->indexOfTopLevelItem(item));
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);
    resize(560, 260);
}

void ShowMapList::keyPressEvent(QKeyEvent* event) {
    // Enter has opened the list's current row already: the default button would open it again.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void ShowMapList::SetShow(const QString& path, const Show& show) {
    title_->setText(QStringLiteral("The maps of %1; double-click one to edit it.").arg(QDir::toNativeSeparators(path)));
    rows_->clear();
    for (const ShowOutput& output : show.Outputs) {
        auto* item = new QTreeWidgetItem(rows_);
        item->setText(0, QString::fromStdString(output.Name));
        item->setText(1, QDir::toNativeSeparators(QString::fromStdString(output.MapPath)));
        item->setText(2, OutputPlaceText(output));
    }
    if (rows_->topLevelItemCount() > 0) rows_->setCurrentItem(rows_->topLevelItem(0));
    for (int column = 0; column < 3; ++column) rows_->resizeColumnToContents(column);
}

}  // namespace tesselink
