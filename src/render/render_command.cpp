#include "render/render_command.h"

#include <QBuffer>
#include <QImageWriter>

#include <cstdio>
#include <optional>
#include <string>

#include "map/map_file.h"
#include "map/safe_write.h"
#include "picture/colour_plane_refresh.h"
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
    std::optional<CoverMode> coverMode;  // none: follow the map's CoverOption
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
        else if (value == "none") args.coverMode = CoverMode::None;
        else if (value == "same") args.coverMode = CoverMode::Same;
        else if (value == "different") args.coverMode = CoverMode::Different;
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
        if (!loaded.Message.empty()) return Fail(ExitFailed, "cannot load map " + args.map + ": " + loaded.Message);
        if (!loaded.ReadError.empty()) return Fail(ExitFailed, "cannot load map " + args.map + ": " + loaded.ReadError);
        return Fail(ExitFailed, "cannot load map " + args.map + ": not a map file");
    }
    if (map.Head.TargetWidth == 0 || map.Head.TargetHeight == 0) {
        return Fail(ExitFailed, "cannot render " + args.map + ": its target size is " +
                                    std::to_string(map.Head.TargetWidth) + " x " +
                                    std::to_string(map.Head.TargetHeight));
    }

    // Only a map without windows gets past the reader with sizes above 2000; the editor would
    // not show it either.
    for (const std::string& tooLarge :
         {AreaTooLargeText("original", map.Head.OriginalWidth, map.Head.OriginalHeight),
          AreaTooLargeText("target", map.Head.TargetWidth, map.Head.TargetHeight)}) {
        if (!tooLarge.empty()) return Fail(ExitFailed, "cannot render " + args.map + ": " + tooLarge);
    }

    Picture picture;
    std::string why;
    if (!picture.Load(args.picture, &why)) return Fail(ExitFailed, "cannot load picture " + args.picture + ": " + why);

    const CoverMode coverMode = args.coverMode ? *args.coverMode : CoverModeFromOption(map.Head.CoverOption);
    std::string renderProblem;
    const QImage image = RenderTarget(map, args.picture, picture, coverMode, &renderProblem);
    if (image.isNull()) return Fail(ExitFailed, "cannot render " + args.map + ": " + renderProblem);

    // Encoded in memory first: the file is then written whole or not at all, and a failing
    // disk is reported by the writer, not by the encoder's own complaints.
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    if (!writer.write(image)) return Fail(ExitFailed, "cannot encode the picture: " + writer.errorString().toStdString());
    const FileWriteResult written = WriteFileSafely(args.output, png.constData(), static_cast<std::size_t>(png.size()));
    if (!written) return Fail(ExitFailed, written.Error);
    return 0;
}

}  // namespace tesselink
