// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What leaves the editor for other tools and comes back: File > Import Windows... and Export
// Windows... (CSV and JSON), Export Lineup... and Export Target Picture..., and View > Lineup.
// Every file goes through the safe writer; every refusal is told in a box with its reason.

#include <functional>
#include <string>

#include <QList>
#include <QObject>

#include "map/file_dialogs.h"
#include "map/message_boxes.h"

class QAction;

namespace tesselink {

class ActionRegistry;
class Backdrop;
class CTesselinkDoc;

// The filter of the window-table dialogs and of the picture dialogs.
constexpr const char* WindowsFileFilter = "Windows(*.csv;*.json)";
constexpr const char* PngFileFilter = "PNG picture(*.png)";

// Where the original lineup goes beside the target lineup at `path`: "-original" before the
// extension ("wall.png" gives "wall-original.png").
std::string OriginalLineupPath(const std::string& path);

class ExchangeMenuCommands : public QObject {
    Q_OBJECT
public:
    ExchangeMenuCommands(CTesselinkDoc& doc, Backdrop& backdrop, MessageBoxes& boxes, FileDialogs& dialogs,
                         QObject* parent = nullptr);

    // The file the map came from, if any: the dialogs start in its folder.
    void SetSourcePath(std::function<std::string()> sourcePath) { sourcePath_ = std::move(sourcePath); }

    // "&Import Windows...", "&Export Windows...", "Export &Lineup...", "Export &Target Picture..."
    // after "Save &As...", and View > "&Lineup" (Ctrl+L), a check item, off at start. Called once.
    void Register(ActionRegistry& registry);
    QAction* LineupAction() const { return lineup_; }
    // "&Cabling Order", a check item, off at start: the Target view and Export Lineup draw the
    // line through the windows in list order.
    QAction* CablingAction() const { return cabling_; }

    // The commands once the path is known; true when done. A refusal has been told.
    // A .json replaces the whole map, a .csv the windows only (the head stays), as one undo step,
    // and only when the whole file passed the checks.
    bool ImportWindowsFrom(const std::string& path);
    // By the extension: the whole map as .json, or the window table as .csv.
    bool ExportWindowsTo(const std::string& path);
    // The target lineup (with the map's cover option) at `path`, the original one beside it.
    bool ExportLineupTo(const std::string& path);
    // What `tesselink --render` writes for the map and the background picture.
    bool ExportTargetPictureTo(const std::string& path);

signals:
    // What an export wrote, for the status bar ("Wrote wall.png and wall-original.png").
    void wrote(const QString& text);

public slots:
    void ImportWindows();
    void ExportWindows();
    void ExportLineup();
    void ExportTargetPicture();

private:
    void AddFileAction(ActionRegistry& registry, const char* text, const char* name,
                       void (ExchangeMenuCommands::*slot)());
    FileDialogRequest Request(const char* filter, const char* suffix) const;
    bool Refuse(const std::string& what, const std::string& why);

    CTesselinkDoc& doc_;
    Backdrop& backdrop_;
    MessageBoxes& boxes_;
    FileDialogs& dialogs_;
    std::function<std::string()> sourcePath_;
    QAction* lineup_ = nullptr;
    QAction* cabling_ = nullptr;
};

}  // namespace tesselink
