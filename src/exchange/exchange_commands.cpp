// SPDX-License-Identifier: GPL-3.0-or-later
#include "exchange/exchange_commands.h"

#include <QBuffer>
#include <QImageWriter>

#include <cstdio>
#include <string>
#include <vector>

#include "exchange/exchange_file.h"
#include "exchange/ffmpeg_graph.h"
#include "exchange/lineup.h"
#include "exchange/map_json.h"
#include "exchange/window_csv.h"
#include "map/map_file.h"
#include "map/output_guard.h"
#include "map/safe_write.h"
#include "remap/cover.h"
#include "render/command_line.h"

namespace tesselink {
namespace {

constexpr int ExitWritten = 0;
constexpr int ExitFailed = 1;
constexpr int ExitUsage = 2;

// A long list of failing lines is cut after this many.
constexpr std::size_t MaxProblemLines = 20;

int Fail(int code, const std::string& text) {
    std::fprintf(stderr, "tesselink: %s\n", text.c_str());
    return code;
}

int FailAll(const std::vector<std::string>& problems) {
    for (std::size_t i = 0; i < problems.size() && i < MaxProblemLines; ++i) Fail(ExitFailed, problems[i]);
    if (problems.size() > MaxProblemLines)
        Fail(ExitFailed, "... and " + std::to_string(problems.size() - MaxProblemLines) + " more");
    return ExitFailed;
}

int Write(const std::string& path, const QByteArray& bytes) {
    const FileWriteResult written = WriteFileSafely(path, bytes.constData(), static_cast<std::size_t>(bytes.size()));
    return written ? ExitWritten : Fail(ExitFailed, written.Error);
}

// The inputs a command names, for the check that its output is none of them.
std::vector<NamedInput> Inputs(const std::string& mapPath, const std::string& headPath) {
    std::vector<NamedInput> inputs{{"map", mapPath}};
    if (!headPath.empty()) inputs.push_back({"head file", headPath});
    return inputs;
}

// Why `output` must not be written, judged before any work; empty when it may.
std::string OutputProblem(const std::string& output, const std::vector<NamedInput>& inputs) {
    std::string problem = OutputIsInputProblem(output, inputs);
    if (problem.empty()) problem = OutputTargetProblem(output);
    return problem.empty() ? problem : "cannot write " + output + ": " + problem;
}

}  // namespace

int RunLineupCommand(const CommandLine& line) {
    if (!line.Error.isEmpty()) return Fail(ExitUsage, line.Error.toStdString());
    const std::string mapPath = line.MapPath.toStdString(), headPath = line.Head.toStdString();
    const std::string output = line.Output.toStdString();
    // The output is checked before the lineup is drawn: a wrong name should cost nothing. An
    // output that is an input is named as such first, whatever its name.
    if (const std::string problem = OutputIsInputProblem(output, Inputs(mapPath, headPath)); !problem.empty())
        return Fail(ExitFailed, "cannot write " + output + ": " + problem);
    if (const std::string problem = PictureOutputNameProblem(output); !problem.empty())
        return Fail(ExitUsage, "cannot write " + output + ": " + problem);
    if (const std::string problem = OutputProblem(output, Inputs(mapPath, headPath)); !problem.empty())
        return Fail(ExitFailed, problem);
    Map map;
    std::vector<std::string> problems;
    bool usageMistake = false;
    if (!LoadMapInput(mapPath, headPath, map, problems, &usageMistake))
        return usageMistake ? Fail(ExitUsage, problems.front()) : FailAll(problems);

    std::string why;
    const CoverMode cover = line.CoverMode ? *line.CoverMode : CoverModeFromOption(map.Head.CoverOption);
    const QImage image =
        line.OriginalSide ? OriginalLineup(map, line.Cabling, &why) : TargetLineup(map, cover, line.Cabling, &why);
    if (image.isNull()) return Fail(ExitFailed, "cannot draw the lineup of " + mapPath + ": " + why);

    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, PictureOutputFormat(output));
    if (!writer.write(image))
        return Fail(ExitFailed, "cannot encode the lineup: " + writer.errorString().toStdString());
    return Write(output, bytes);
}

int RunConvertCommand(const CommandLine& line) {
    if (!line.Error.isEmpty()) return Fail(ExitUsage, line.Error.toStdString());
    const std::string in = line.ConvertInput.toStdString(), out = line.ConvertOutput.toStdString();
    const std::string head = line.Head.toStdString();
    const ExchangeFormat from = FormatOfPath(in), to = FormatOfPath(out);
    if (from == ExchangeFormat::Unknown || from == ExchangeFormat::Ffmpeg)
        return Fail(ExitUsage, "cannot convert from " + in + ": the input must end in .map, .json or .csv");
    if (to == ExchangeFormat::Unknown)
        return Fail(ExitUsage, "cannot convert to " + out + ": the output must end in .map, .json, .csv or .ffmpeg");
    if (from == ExchangeFormat::Csv && head.empty())
        return Fail(ExitUsage, "a .csv holds only windows: give the head with --head FILE (a .map or .json)");
    if (from != ExchangeFormat::Csv && !head.empty())
        return Fail(ExitUsage, "--head is used only when the input is a .csv");
    if (const std::string problem = OutputProblem(out, Inputs(in, head)); !problem.empty())
        return Fail(ExitFailed, problem);

    Map map;
    std::vector<std::string> problems;
    if (!LoadMapInput(in, head, map, problems)) return FailAll(problems);

    std::string why;
    QByteArray bytes;
    switch (to) {
    case ExchangeFormat::Map: {
        const MapWriteResult written = WriteMapFile(map, out);
        return written ? ExitWritten : Fail(ExitFailed, written.Error);
    }
    case ExchangeFormat::Json: bytes = WriteMapJson(map, &why); break;
    case ExchangeFormat::Csv: bytes = WriteWindowCsv(map, &why); break;
    case ExchangeFormat::Ffmpeg:
        bytes = QByteArray::fromStdString(WriteFfmpegGraph(map, CoverModeFromOption(map.Head.CoverOption), &why));
        break;
    case ExchangeFormat::Unknown: break;
    }
    if (bytes.isEmpty()) return Fail(ExitFailed, "cannot write " + out + ": " + why);
    return Write(out, bytes);
}

}  // namespace tesselink
