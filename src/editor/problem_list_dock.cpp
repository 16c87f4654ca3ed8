// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/problem_list_dock.h"

#include <QListWidget>
#include <QTimer>
#include <QVariant>

#include "document/tesselink_doc.h"

namespace tesselink {

namespace {

constexpr int WindowsRole = Qt::UserRole;
constexpr int AreaRole = Qt::UserRole + 1;

}  // namespace

ProblemListDock::ProblemListDock(QWidget* parent) : QDockWidget(QStringLiteral("Problems"), parent) {
    setObjectName(QStringLiteral("problemListDock"));
    list_ = new QListWidget(this);
    list_->setObjectName(QStringLiteral("problemList"));
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setWordWrap(true);
    setWidget(list_);
    refresh_ = new QTimer(this);
    refresh_->setSingleShot(true);
    refresh_->setInterval(0);
    connect(refresh_, &QTimer::timeout, this, &ProblemListDock::Refresh);
    connect(list_, &QListWidget::itemActivated, this, &ProblemListDock::Activate);
}

void ProblemListDock::Watch(const CTesselinkDoc& doc) {
    if (doc_ != nullptr) disconnect(doc_, nullptr, this, nullptr);
    doc_ = &doc;
    connect(&doc, &CTesselinkDoc::changed, this, &ProblemListDock::ScheduleRefresh);
    connect(&doc, &QObject::destroyed, this, [this] {
        doc_ = nullptr;
        refresh_->stop();
    });
    ShowMap(doc.GetMap());
}

void ProblemListDock::ScheduleRefresh(const MapChange& change) {
    // The cover option and the picture play no part in the layout.
    if (change.What == MapChange::Kind::Cover) return;
    // A timer already running covers this change too: one refresh for the whole burst.
    if (!refresh_->isActive()) refresh_->start();
}

void ProblemListDock::Refresh() {
    if (doc_ != nullptr) ShowMap(doc_->GetMap());
}

void ProblemListDock::ShowMap(const Map& map) {
    refresh_->stop();
    const std::vector<ProblemRow> rows = ProblemRows(FindProblems(map));
    list_->clear();
    for (const ProblemRow& row : rows) {
        auto* item = new QListWidgetItem(QString::fromStdString(row.Text), list_);
        item->setToolTip(item->text());
        if (!row.Windows.empty())
            item->setData(WindowsRole, QVariant::fromValue(QList<int>(row.Windows.begin(), row.Windows.end())));
        if (row.HasArea) item->setData(AreaRole, QRect(row.Area.X, row.Area.Y, row.Area.Width, row.Area.Height));
    }
    if (rows.empty()) {
        auto* item = new QListWidgetItem(QStringLiteral("No problems found."), list_);
        item->setFlags(Qt::NoItemFlags);
    }
    emit listed();
}

int ProblemListDock::RowCount() const { return list_->count(); }

QString ProblemListDock::RowText(int row) const {
    const QListWidgetItem* item = list_->item(row);
    return item != nullptr ? item->text() : QString();
}

void ProblemListDock::Activate(QListWidgetItem* item) {
    if (item == nullptr) return;
    const QVariant windows = item->data(WindowsRole);
    if (windows.isValid()) emit windowsActivated(windows.value<QList<int>>());
    const QVariant area = item->data(AreaRole);
    if (area.isValid()) emit targetAreaActivated(area.toRect());
}

}  // namespace tesselink
