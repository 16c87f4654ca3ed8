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

bool ReadCsvMap(const std::string& path, const std::string& headPath, Map& map, std::vector<std::string>& problems) {
    Map head;
    if (!LoadMapOrJson(headPath, head, problems)) return false;
    QByteArray data;
    std::string why;
    if (!ReadExchangeFile(path, data, why)) {
        problems.push_back(path + ": " + why);
        return false;
    }
    const ExchangeRead read = ReadWindowCsv(data, head.Head, map);
    for (const ExchangeProblem& p : read.Problems) problems.push_back(DescribeProblem(path, p));
    return read.Ok();
}

}  // namespace

int RunLineupCommand(const CommandLine& line) {
    if (!line.Error.isEmpty()) return Fail(ExitUsage, line.Error.toStdString());
    const std::string mapPath = line.MapPath.toStdString();
    Map map;
    std::vector<std::string> problems;
    if (!LoadMapOrJson(mapPath, map, problems)) return FailAll(problems);

    std::string why;
    const CoverMode cover = line.CoverMode ? *line.CoverMode : CoverModeFromOption(map.Head.CoverOption);
    const QImage image =
        line.OriginalSide ? OriginalLineup(map, line.Cabling, &why) : TargetLineup(map, cover, line.Cabling, &why);
    if (image.isNull()) return Fail(ExitFailed, "cannot draw the lineup of " + mapPath + ": " + why);

    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    if (!writer.write(image))
        return Fail(ExitFailed, "cannot encode the lineup: " + writer.errorString().toStdString());
    return Write(line.Output.toStdString(), png);
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

    Map map;
    std::vector<std::string> problems;
    const bool loaded =
        from == ExchangeFormat::Csv ? ReadCsvMap(in, head, map, problems) : LoadMapOrJson(in, map, problems);
    if (!loaded) return FailAll(problems);

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
