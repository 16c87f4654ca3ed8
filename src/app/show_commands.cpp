// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/show_commands.h"

#include <QAction>
#include <QFileInfo>
#include <QSettings>
#include <QWidget>

#include "app/action_registry.h"
#include "app/document_commands.h"
#include "app/menu_places.h"
#include "app/show_map_list.h"

namespace tesselink {
namespace {

const char* const FolderKey = "Show/Folder";

}  // namespace

ShowCommands::ShowCommands(DocumentCommands& commands, MessageBoxes& boxes, FileDialogs& dialogs, QWidget* parent)
    : QObject(parent), commands_(commands), boxes_(boxes), dialogs_(dialogs), parent_(parent) {}

void ShowCommands::Register(ActionRegistry& registry) {
    ActionDef def(QStringLiteral("fileOpenShow"), QStringLiteral("Open S&how..."));
    def.StatusTip = QStringLiteral("Open a show and pick one of its maps to edit");
    def.Place = MenuPlace{MenuIds::File, FileShowSection};
    QAction* action = registry.Add(def);
    if (action) connect(action, &QAction::triggered, this, &ShowCommands::Open);
}

void ShowCommands::Open() {
    const std::string folder = QSettings().value(FolderKey).toString().toStdString();
    const std::string path = dialogs_.AskOpenPath({ShowFileFilter, ShowFileSuffix, folder});
    if (path.empty()) return;
    OpenShow(QString::fromStdString(path));
}

bool ShowCommands::OpenShow(const QString& path) {
    Show show;
    const std::string why = ReadShowFile(path.toStdString(), show);
    if (!why.empty()) {
        boxes_.Show(ApplicationMessage("Cannot open the show " + path.toStdString() + ":\n" + why));
        return false;
    }
    QSettings().setValue(FolderKey, QFileInfo(path).absolutePath());
    show_ = std::move(show);
    path_ = path;
    if (!list_) {
        list_ = new ShowMapList(parent_);
        connect(list_, &ShowMapList::mapChosen, this, &ShowCommands::OpenMap);
    }
    list_->SetShow(path_, *show_);
    list_->show();
    list_->raise();
    emit showOpened(&*show_);
    return true;
}

void ShowCommands::OpenMap(int index) {
    if (!show_ || index < 0 || index >= static_cast<int>(show_->Outputs.size())) return;
    const QString path = QString::fromStdString(show_->Outputs[static_cast<std::size_t>(index)].MapPath);
    if (KindOfDroppedFile(path) != DroppedFileKind::Map) {
        boxes_.Show(ApplicationMessage("Cannot edit " + path.toStdString() +
                                       ": the editor opens .map files; the show plays it as it is."));
        return;
    }
    // As File > Open once the file is chosen: the picture checks and the question about changes.
    commands_.OpenDropped(path);
}

}  // namespace tesselink
