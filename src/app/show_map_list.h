// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The maps of an open show, one row an output (name, map file, screen or position); a row
// activated (double-click or Enter) asks for its map to be opened.

#include <QDialog>

#include "output/show_file.h"

class QKeyEvent;
class QLabel;
class QTreeWidget;

namespace tesselink {

class ShowMapList : public QDialog {
    Q_OBJECT
public:
    explicit ShowMapList(QWidget* parent = nullptr);

    // The rows of `show`, read from `path` (shown above them).
    void SetShow(const QString& path, const Show& show);
    QTreeWidget* Rows() const { return rows_; }

signals:
    // The output's index in the show.
    void mapChosen(int output);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QLabel* title_ = nullptr;
    QTreeWidget* rows_ = nullptr;
};

// Where an output goes, as the list shows it: "screen WALL" or "at 640, 0".
QString OutputPlaceText(const ShowOutput& output);

}  // namespace tesselink
