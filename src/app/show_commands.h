// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// File > Open Show...: reads a show and lists its maps; the one picked opens as File > Open opens
// a map (the editor edits one map at a time). The show stays open for View > Output.

#include <optional>

#include <QObject>
#include <QString>

#include "map/file_dialogs.h"
#include "map/message_boxes.h"
#include "output/show_file.h"

class QWidget;

namespace tesselink {

class ActionRegistry;
class DocumentCommands;
class ShowMapList;

constexpr const char* ShowFileFilter = "Shows (*.show)";
constexpr const char* ShowFileSuffix = "show";

class ShowCommands : public QObject {
    Q_OBJECT
public:
    ShowCommands(DocumentCommands& commands, MessageBoxes& boxes, FileDialogs& dialogs, QWidget* parent);

    void Register(ActionRegistry& registry);

    // Reads the show at `path` and lists its maps; a refusal is told with its reason and leaves
    // the show open before (if any) as it was. True when the show was read.
    bool OpenShow(const QString& path);
    // Opens the map of output `index` of the open show, asking first about unsaved changes.
    void OpenMap(int index);

    // The open show, or nullptr.
    const Show* Current() const { return show_ ? &*show_ : nullptr; }
    // The list of the show's maps once a show was opened, or nullptr.
    ShowMapList* List() const { return list_; }

public slots:
    void Open();

signals:
    // A show was read (`show` lives until the next one).
    void showOpened(const tesselink::Show* show);

private:
    DocumentCommands& commands_;
    MessageBoxes& boxes_;
    FileDialogs& dialogs_;
    QWidget* parent_;
    std::optional<Show> show_;
    QString path_;
    ShowMapList* list_ = nullptr;
};

}  // namespace tesselink
