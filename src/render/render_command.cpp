#include "render/render_command.h"

#include <QFileInfo>
#include <QImageWriter>
#include <QSaveFile>

#include <cstdio>
#include <optional>
#include <string>
#include <tuple>

#include "map/map_file.h"
#include "picture/picture.h"
#include "remap/cover.h"
#include "render/render_target.h"

namespace tesselink {
namespace {

constexpr int ExitFailed = 1;
constexpr int ExitUsage = 2;

int Fail(int code, const std::string& text) {
    std::fprintf(stderr, "tesselink: %s\n", text.c_str());
    return code;
}

struct RenderArguments {
    std::string map, picture, output;
    std::optional<int> coverMode;  // none: follow the map's CoverOption
};

// Fills `args`; on a mistake returns the line to print.
std::optional<std::string> Parse(const QStringList& arguments, RenderArguments& args) {
    for (int i = 0; i < arguments.size(); ++i) {
        const QString& name = arguments[i];
        if (name != "--render" && name != "--picture" && name != "--output" && name != "--cover")
            return "unknown argument " + name.toStdString();
        if (i + 1 >= arguments.size()) return name.toStdString() + " needs a value";
        const std::string value = arguments[++i].toStdString();
        if (name == "--render") args.map = value;
        else if (name == "--picture") args.picture = value;
        else if (name == "--output") args.output = value;
        else if (value == "none") args.coverMode = CoverModeNone;
        else if (value == "same") args.coverMode = CoverModeSame;
        else if (value == "different") args.coverMode = CoverModeDifferent;
        else return "--cover takes none, same or different, not " + value;
    }
    if (args.map.empty() || args.picture.empty() || args.output.empty())
        return "usage: tesselink --render MAP --picture PICTURE --output OUT.png [--cover none|same|different]";
    return std::nullopt;
}

}  // namespace

int RunRenderCommand(const QStringList& arguments) {
    RenderArguments args;
    if (const auto mistake = Parse(arguments, args)) return Fail(ExitUsage, *mistake);

    Map map;
    const MapLoadResult loaded = ReadMapFile(map, args.map);
    if (!loaded) {
        if (loaded.Message) return Fail(ExitFailed, "cannot load map " + args.map + ": " + loaded.Message->Text);
        if (!QFileInfo(QString::fromStdString(args.map)).isFile())
            return Fail(ExitFailed, "cannot load map " + args.map + ": no such file");
        return Fail(ExitFailed, "cannot load map " + args.map + ": not a map file");
    }
    if (map.Head.TargetWidth == 0 || map.Head.TargetHeight == 0) {
        return Fail(ExitFailed, "cannot render " + args.map + ": its target size is " +
                                    std::to_string(map.Head.TargetWidth) + " x " +
                                    std::to_string(map.Head.TargetHeight));
    }

    // Only a map without windows gets past the reader with sizes above 2000; planes that large
    // would take gigabytes before anything could be written.
    for (const auto& [what, width, height] :
         {std::tuple<const char*, long long, long long>{"original", map.Head.OriginalWidth, map.Head.OriginalHeight},
          {"target", map.Head.TargetWidth, map.Head.TargetHeight}}) {
        if (width * height > Picture::MaxPixels) {
            return Fail(ExitFailed, "cannot render " + args.map + ": its " + what + " size " + std::to_string(width) +
                                        " x " + std::to_string(height) + " is more than " +
                                        std::to_string(Picture::MaxPixels) + " pixels");
        }
    }

    Picture picture;
    std::string why;
    if (!picture.Load(args.picture, &why)) return Fail(ExitFailed, "cannot load picture " + args.picture + ": " + why);

    const int coverMode = args.coverMode ? *args.coverMode : CoverModeFromOption(map.Head.CoverOption);
    const QImage image = RenderTarget(map, args.picture, picture, coverMode);
    if (image.isNull()) return Fail(ExitFailed, "cannot render " + args.map + ": not enough memory");

    // Written beside the output and renamed over it only when complete: no partial file.
    QSaveFile file(QString::fromStdString(args.output));
    if (!file.open(QIODevice::WriteOnly))
        return Fail(ExitFailed, "cannot write " + args.output + ": " + file.errorString().toStdString());
    QImageWriter writer(&file, "png");
    if (!writer.write(image)) {
        file.cancelWriting();
        return Fail(ExitFailed, "cannot write " + args.output + ": " + writer.errorString().toStdString());
    }
    if (!file.commit())
        return Fail(ExitFailed, "cannot write " + args.output + ": " + file.errorString().toStdString());
    return 0;
}

}  // namespace tesselink
