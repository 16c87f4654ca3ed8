// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The Problems dock: what is probably wrong with the map's layout, recomputed after each change
// of the document once control is back in the event loop, so a burst of changes (a drag, an
// undo of a group step) costs one computation and none happens while painting.

#include <QDockWidget>
#include <QList>
#include <QRect>
#include <QString>

#include "document/map_change.h"
#include "layout/problem_list.h"

class QListWidget;
class QListWidgetItem;
class QTimer;

namespace tesselink {

class CTesselinkDoc;

class ProblemListDock : public QDockWidget {
    Q_OBJECT
public:
    explicit ProblemListDock(QWidget* parent = nullptr);

    // Lists `doc`'s map now and after each of its changes.
    void Watch(const CTesselinkDoc& doc);
    // Lists `map` at once (what a refresh does with the watched document's map).
    void ShowMap(const Map& map);

    int RowCount() const;
    QString RowText(int row) const;
    QListWidget* List() const { return list_; }

signals:
    // A row naming windows was double-clicked (or Enter pressed on it): their indexes.
    void windowsActivated(const QList<int>& indexes);
    // A row naming a part of the target was activated: that rectangle in target pixels.
    void targetAreaActivated(const QRect& area);
    // The rows were rebuilt.
    void listed();

private:
    void ScheduleRefresh(const MapChange& change);
    void Refresh();
    void Activate(QListWidgetItem* item);

    QListWidget* list_ = nullptr;
    QTimer* refresh_ = nullptr;
    const CTesselinkDoc* doc_ = nullptr;
};

}  // namespace tesselink
