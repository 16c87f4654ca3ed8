// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/exchange_menu_commands.h"

#include <vector>

#include <QAction>
#include <QBuffer>
#include <QCursor>
#include <QFileInfo>
#include <QStringList>
#include <QGuiApplication>
#include <QImageWriter>

#include "app/action_registry.h"
#include "app/menu_places.h"
#include "document/tesselink_doc.h"
#include "exchange/exchange_file.h"
#include "exchange/lineup.h"
#include "exchange/map_json.h"
#include "exchange/window_csv.h"
#include "map/safe_write.h"
#include "picture/colour_plane_refresh.h"
#include "picture/picture.h"
#include "remap/cover.h"
#include "render/render_target.h"
#include "stage/backdrop.h"

namespace tesselink {
namespace {

constexpr const char* ImportStepText = "Import Windows";

// A busy cursor while a picture is drawn, encoded and written.
class BusyCursor {
public:
    BusyCursor() { QGuiApplication::setOverrideCursor(Qt::BusyCursor); }
    ~BusyCursor() { QGuiApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

// The PNG of `image` in memory: the file is then written whole or not at all.
bool EncodePng(const QImage& image, QByteArray& png, std::string& why) {
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    if (writer.write(image)) return true;
    why = "cannot encode the picture: " + writer.errorString().toStdString();
    return false;
}

bool Write(const std::string& path, const QByteArray& bytes, std::string& why) {
    const FileWriteResult written = WriteFileSafely(path, bytes.constData(), static_cast<std::size_t>(bytes.size()));
    if (!written) why = written.Error;
    return static_cast<bool>(written);
}

// "Wrote a.png", "Wrote a.png and b.png": the files' names, their folder is the one chosen.
QString WroteText(const std::vector<std::string>& paths) {
    QStringList names;
    for (const std::string& path : paths) names << QFileInfo(QString::fromStdString(path)).fileName();
    const QString last = names.takeLast();
    return QStringLiteral("Wrote ") + (names.isEmpty() ? last : names.join(QStringLiteral(", ")) + " and " + last);
}

}  // namespace

std::string OriginalLineupPath(const std::string& path) {
    const QFileInfo file(QString::fromStdString(path));
    const QString name = file.fileName();
    const int dot = name.lastIndexOf(QLatin1Char('.'));
    // A leading dot starts a hidden name, not an extension.
    const QString renamed = dot > 0 ? name.left(dot) + "-original" + name.mid(dot) : name + "-original";
    const std::string folder = path.substr(0, path.size() - name.toStdString().size());
    return folder + renamed.toStdString();
}

ExchangeMenuCommands::ExchangeMenuCommands(CTesselinkDoc& doc, Backdrop& backdrop, MessageBoxes& boxes,
                                           FileDialogs& dialogs, QObject* parent)
    : QObject(parent), doc_(doc), backdrop_(backdrop), boxes_(boxes), dialogs_(dialogs) {}

void ExchangeMenuCommands::Register(ActionRegistry& registry) {
    AddFileAction(registry, "&Import Windows...", "importWindows", &ExchangeMenuCommands::ImportWindows);
    AddFileAction(registry, "&Export Windows...", "exportWindows", &ExchangeMenuCommands::ExportWindows);
    AddFileAction(registry, "Export &Lineup...", "exportLineup", &ExchangeMenuCommands::ExportLineup);
    AddFileAction(registry, "Export &Target Picture...", "exportTargetPicture",
                  &ExchangeMenuCommands::ExportTargetPicture);

    ActionDef lineup("viewLineup", QStringLiteral("&Lineup"));
    lineup.Checkable = true;
    lineup.Shortcuts = {QKeySequence(Qt::CTRL | Qt::Key_L)};
    lineup.StatusTip = QStringLiteral("Show the lineup of the windows instead of the background picture");
    lineup.Place = MenuPlace{MenuIds::View, ViewBackdropSection};
    lineup.WindowShortcut = true;
    lineup_ = registry.Add(lineup);
    if (lineup_ != nullptr) connect(lineup_, &QAction::toggled, &backdrop_, &Backdrop::ShowLineup);

    ActionDef cabling("viewCabling", QStringLiteral("&Cabling Order"));
    cabling.Checkable = true;
    cabling.StatusTip = QStringLiteral("Draw the order of the windows as a line through the Target view");
    cabling.Place = MenuPlace{MenuIds::View, ViewBackdropSection};
    cabling_ = registry.Add(cabling);
}

void ExchangeMenuCommands::AddFileAction(ActionRegistry& registry, const char* text, const char* name,
                                         void (ExchangeMenuCommands::*slot)()) {
    ActionDef def(QString::fromUtf8(name), QString::fromUtf8(text));
    def.Place = MenuPlace{MenuIds::File, FileExchangeSection};
    def.WindowShortcut = true;
    if (QAction* action = registry.Add(def)) connect(action, &QAction::triggered, this, slot);
}

FileDialogRequest ExchangeMenuCommands::Request(const char* filter, const char* suffix) const {
    FileDialogRequest request{filter, suffix, std::string()};
    const std::string source = sourcePath_ ? sourcePath_() : std::string();
    if (!source.empty())
        request.ProposedPath = QFileInfo(QString::fromStdString(source)).absolutePath().toStdString() + "/";
    return request;
}

bool ExchangeMenuCommands::Refuse(const std::string& what, const std::string& why) {
    boxes_.Show(ApplicationMessage(what + "\n" + why));
    return false;
}

// ---- the dialogs ----

void ExchangeMenuCommands::ImportWindows() {
    const std::string path = dialogs_.AskOpenPath(Request(WindowsFileFilter, ""));
    if (!path.empty()) ImportWindowsFrom(path);
}

void ExchangeMenuCommands::ExportWindows() {
    const std::string path = dialogs_.AskSavePath(Request(WindowsFileFilter, "json"));
    if (!path.empty()) ExportWindowsTo(path);
}

void ExchangeMenuCommands::ExportLineup() {
    const std::string path = dialogs_.AskSavePath(Request(PngFileFilter, "png"));
    if (!path.empty()) ExportLineupTo(path);
}

void ExchangeMenuCommands::ExportTargetPicture() {
    const std::string path = dialogs_.AskSavePath(Request(PngFileFilter, "png"));
    if (!path.empty()) ExportTargetPictureTo(path);
}

// ---- the commands ----

bool ExchangeMenuCommands::ImportWindowsFrom(const std::string& path) {
    const char* const what = "The windows were not imported.";
    const ExchangeFormat format = FormatOfPath(path);
    if (format != ExchangeFormat::Csv && format != ExchangeFormat::Json)
        return Refuse(what, path + ": the file must end in .csv or .json");
    QByteArray data;
    std::string why;
    if (!ReadExchangeFile(path, data, why)) return Refuse(what, path + ": " + why);

    Map read;
    const ExchangeRead result =
        format == ExchangeFormat::Json ? ReadMapJson(data, read) : ReadWindowCsv(data, doc_.GetHead(), read);
    if (!result.Ok()) return Refuse(what, DescribeProblem(path, result.Problems.front()));

    if (format == ExchangeFormat::Json) {
        doc_.ReplaceMapAsStep(read, QString::fromUtf8(ImportStepText));
        return true;
    }
    // A table has no head: the windows alone change, through the gate as any edit of several.
    const WindowEditResult stored = doc_.ChangeWindows(read.Windows, {}, QString::fromUtf8(ImportStepText));
    if (!stored.Accepted())
        return Refuse(what, path + ": window " + std::to_string(stored.Index + 1) + ": " + WindowBoundsMessage(stored));
    return true;
}

bool ExchangeMenuCommands::ExportWindowsTo(const std::string& path) {
    const char* const what = "The windows were not exported.";
    const ExchangeFormat format = FormatOfPath(path);
    if (format != ExchangeFormat::Csv && format != ExchangeFormat::Json)
        return Refuse(what, path + ": the file must end in .csv or .json");
    std::string why;
    const QByteArray bytes =
        format == ExchangeFormat::Json ? WriteMapJson(doc_.GetMap(), &why) : WriteWindowCsv(doc_.GetMap(), &why);
    if (bytes.isEmpty()) return Refuse(what, why);
    if (!Write(path, bytes, why)) return Refuse(what, why);
    emit wrote(WroteText({path}));
    return true;
}

bool ExchangeMenuCommands::ExportLineupTo(const std::string& path) {
    const char* const what = "The lineup was not exported.";
    const BusyCursor busy;
    const Map& map = doc_.GetMap();
    std::string why;
    const bool cabling = cabling_->isChecked();
    const QImage target = TargetLineup(map, CoverModeFromOption(map.Head.CoverOption), cabling, &why);
    if (target.isNull()) return Refuse(what, "cannot draw the lineup: " + why);
    const QImage original = OriginalLineup(map, cabling, &why);
    if (original.isNull()) return Refuse(what, "cannot draw the lineup: " + why);
    QByteArray targetPng, originalPng;
    if (!EncodePng(target, targetPng, why) || !EncodePng(original, originalPng, why)) return Refuse(what, why);
    if (!Write(path, targetPng, why) || !Write(OriginalLineupPath(path), originalPng, why)) return Refuse(what, why);
    emit wrote(WroteText({path, OriginalLineupPath(path)}));
    return true;
}

bool ExchangeMenuCommands::ExportTargetPictureTo(const std::string& path) {
    const char* const what = "The target picture was not exported.";
    const BusyCursor busy;
    const Map& map = doc_.GetMap();
    const MapFileHead& head = map.Head;
    if (head.TargetWidth == 0 || head.TargetHeight == 0)
        return Refuse(
            what, "the target size is " + std::to_string(head.TargetWidth) + " x " + std::to_string(head.TargetHeight));
    for (const std::string& tooLarge : {AreaTooLargeText("original", head.OriginalWidth, head.OriginalHeight),
                                        AreaTooLargeText("target", head.TargetWidth, head.TargetHeight)})
        if (!tooLarge.empty()) return Refuse(what, tooLarge);

    // Decoded here as --render decodes it, whatever the views show meanwhile (the lineup, or the
    // previous picture while a large one is decoding).
    const std::string& picturePath = backdrop_.BackgroundPicturePath();
    Picture picture;
    std::string why;
    if (!picture.Load(picturePath, &why)) return Refuse(what, "cannot load picture " + picturePath + ": " + why);
    const QImage image = RenderTarget(map, picturePath, picture, CoverModeFromOption(head.CoverOption), &why);
    if (image.isNull()) return Refuse(what, "cannot render: " + why);
    QByteArray png;
    if (!EncodePng(image, png, why)) return Refuse(what, why);
    if (!Write(path, png, why)) return Refuse(what, why);
    emit wrote(WroteText({path}));
    return true;
}

}  // namespace tesselink
