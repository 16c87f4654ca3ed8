// SPDX-License-Identifier: GPL-3.0-or-later
#include "render/render_command.h"

#include <QBuffer>
#include <QImageWriter>

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "exchange/exchange_file.h"
#include "map/map_file.h"
#include "map/output_guard.h"
#include "map/safe_write.h"
#include "picture/colour_plane_refresh.h"
#include "picture/picture.h"
#include "remap/cover.h"
#include "render/command_line.h"
#include "render/render_target.h"
#include "render/video_render_command.h"

namespace tesselink {
namespace {

constexpr int ExitFailed = 1;
constexpr int ExitUsage = 2;

const char* const RenderUsageText =
    "usage: tesselink --render MAP --picture PICTURE --output OUT.png [--cover none|same|different]";

int Fail(int code, const std::string& text) {
    std::fprintf(stderr, "tesselink: %s\n", text.c_str());
    return code;
}

// The first problems of a file that is refused, and how many more there are.
int FailAll(const std::vector<std::string>& problems) {
    constexpr std::size_t shown = 20;
    for (std::size_t i = 0; i < problems.size() && i < shown; ++i) Fail(ExitFailed, problems[i]);
    if (problems.size() > shown) Fail(ExitFailed, "... and " + std::to_string(problems.size() - shown) + " more");
    return ExitFailed;
}

}  // namespace

int RunRenderCommand(const QStringList& arguments) {
    const CommandLine line = ParseCommandLine(arguments);
    if (line.Mode != CommandMode::Render) return Fail(ExitUsage, RenderUsageText);
    return RunRenderCommand(line);
}

int RunRenderCommand(const CommandLine& line) {
    if (!line.Error.isEmpty()) return Fail(ExitUsage, line.Error.toStdString());
    const bool video = !line.Video.isEmpty();
    struct {
        std::string map, head, picture, output;
        std::optional<CoverMode> coverMode;
    } args{line.MapPath.toStdString(), line.Head.toStdString(), (video ? line.Video : line.Picture).toStdString(),
           line.Output.toStdString(), line.CoverMode};

    // Checked before any work: a picture output named as a picture, and no output that is one
    // of the inputs (it would be destroyed by the write that reads it).
    // An output that is an input is named as such first, whatever its name.
    std::vector<NamedInput> inputs{{"map", args.map}, {video ? "video" : "picture", args.picture}};
    if (!args.head.empty()) inputs.push_back({"head file", args.head});
    if (const std::string problem = OutputIsInputProblem(args.output, inputs); !problem.empty())
        return Fail(ExitFailed, "cannot write " + args.output + ": " + problem);
    if (!video) {
        if (const std::string problem = PictureOutputNameProblem(args.output); !problem.empty())
            return Fail(ExitUsage, "cannot write " + args.output + ": " + problem);
    }
    if (!video) {
        if (const std::string problem = OutputTargetProblem(args.output); !problem.empty())
            return Fail(ExitFailed, "cannot write " + args.output + ": " + problem);
    }

    Map map;
    if (FormatOfPath(args.map) == ExchangeFormat::Map || FormatOfPath(args.map) == ExchangeFormat::Unknown) {
        if (!args.head.empty()) return Fail(ExitUsage, "--head is used only when the map is a .csv");
        const MapLoadResult loaded = ReadMapFile(map, args.map);
        if (!loaded) {
            if (!loaded.Message.empty()) return Fail(ExitFailed, "cannot load map " + args.map + ": " + loaded.Message);
            if (!loaded.ReadError.empty())
                return Fail(ExitFailed, "cannot load map " + args.map + ": " + loaded.ReadError);
            return Fail(ExitFailed, "cannot load map " + args.map + ": not a map file");
        }
        for (std::size_t i = 0; i < map.Windows.size(); ++i) {
            const MapLoadResult checked = CheckMapWindow(map.Windows[i], map.Head, EmptyWindows::Refused);
            if (!checked)
                return Fail(ExitFailed, "cannot load map " + args.map + ": window " + std::to_string(i + 1) + ": " +
                                            checked.Message);
        }
    } else {
        std::vector<std::string> problems;
        bool usageMistake = false;
        if (!LoadMapInput(args.map, args.head, map, problems, &usageMistake))
            return usageMistake ? Fail(ExitUsage, problems.front()) : FailAll(problems);
    }

    // A video goes through the video render, frame by frame.
    if (video) {
        VideoRenderOptions options;
        options.MapPath = args.map;
        options.Map = &map;
        options.VideoPath = args.picture;
        options.OutputPath = args.output;
        options.CoverMode = line.CoverMode;
        options.Codec = line.Codec.toStdString();
        options.Crf = line.Crf;
        options.Start = line.Start.value_or(0.0);
        options.Duration = line.Duration;
        options.KeepGoing = line.KeepGoing;
        return RunVideoRenderCommand(options);
    }

    if (map.Head.TargetWidth == 0 || map.Head.TargetHeight == 0) {
        return Fail(ExitFailed, "cannot render " + args.map + ": its target size is " +
                                    std::to_string(map.Head.TargetWidth) + " x " +
                                    std::to_string(map.Head.TargetHeight));
    }

    // Only a map without windows gets past the reader with sizes above 2000; the editor would
    // not show it either.
    for (const std::string& tooLarge : {AreaTooLargeText("original", map.Head.OriginalWidth, map.Head.OriginalHeight),
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
    QImageWriter writer(&buffer, PictureOutputFormat(args.output));
    if (!writer.write(image))
        return Fail(ExitFailed, "cannot encode the picture: " + writer.errorString().toStdString());
    const FileWriteResult written = WriteFileSafely(args.output, png.constData(), static_cast<std::size_t>(png.size()));
    if (!written) return Fail(ExitFailed, written.Error);
    return 0;
}

}  // namespace tesselink
