// SPDX-License-Identifier: GPL-3.0-or-later
#include "exchange/exchange_file.h"

#include <QFile>
#include <QFileInfo>

#include "exchange/map_json.h"
#include "exchange/window_csv.h"
#include "map/map_file.h"

namespace tesselink {

ExchangeFormat FormatOfPath(const std::string& path) {
    const QString suffix = QFileInfo(QString::fromStdString(path)).suffix().toLower();
    if (suffix == QLatin1String("map")) return ExchangeFormat::Map;
    if (suffix == QLatin1String("json")) return ExchangeFormat::Json;
    if (suffix == QLatin1String("csv")) return ExchangeFormat::Csv;
    if (suffix == QLatin1String("ffmpeg")) return ExchangeFormat::Ffmpeg;
    return ExchangeFormat::Unknown;
}

bool ReadExchangeFile(const std::string& path, QByteArray& data, std::string& why) {
    // The map reader's test: regular files only, so a FIFO or a device cannot stall the read.
    why = MapFileReadProblem(path);
    if (!why.empty()) return false;
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly)) {
        why = file.errorString().toStdString();
        return false;
    }
    if (file.size() > MaxExchangeFileBytes) {
        why = "the file is " + std::to_string(file.size()) + " bytes, more than the " +
              std::to_string(MaxExchangeFileBytes) + " read";
        return false;
    }
    data = file.read(MaxExchangeFileBytes + 1);
    if (data.size() > MaxExchangeFileBytes) {
        why = "the file grew while being read";
        return false;
    }
    if (data.trimmed().isEmpty()) {
        why = "the file is empty";
        return false;
    }
    return true;
}

bool LoadMapOrJson(const std::string& path, Map& map, std::vector<std::string>& problems) {
    if (FormatOfPath(path) != ExchangeFormat::Json) {
        Map read;
        const MapLoadResult loaded = ReadMapFile(read, path);
        if (loaded) {
            for (std::size_t i = 0; i < read.Windows.size(); ++i) {
                const MapLoadResult checked = CheckMapWindow(read.Windows[i], read.Head, EmptyWindows::Refused);
                if (!checked) {
                    problems.push_back(path + ": window " + std::to_string(i + 1) + ": " + checked.Message);
                    return false;
                }
            }
            map = read;
            return true;
        }
        std::string where = path;
        if (loaded.Window >= 0) where += ": window " + std::to_string(loaded.Window + 1);
        if (!loaded.ReadError.empty())
            problems.push_back(path + ": " + loaded.ReadError);
        else if (!loaded.Message.empty())
            problems.push_back(where + ": " + loaded.Message);
        else
            problems.push_back(path + ": not a map file");
        return false;
    }
    QByteArray data;
    std::string why;
    if (!ReadExchangeFile(path, data, why)) {
        problems.push_back(path + ": " + why);
        return false;
    }
    const ExchangeRead read = ReadMapJson(data, map);
    for (const ExchangeProblem& p : read.Problems) problems.push_back(DescribeProblem(path, p));
    return read.Ok();
}

bool LoadMapInput(const std::string& path, const std::string& headPath, Map& map, std::vector<std::string>& problems,
                  bool* usageMistake) {
    const bool csv = FormatOfPath(path) == ExchangeFormat::Csv;
    if (csv == headPath.empty()) {
        problems.push_back(csv ? "a .csv holds only windows: give the head with --head FILE (a .map or .json)"
                               : "--head is used only when the map is a .csv");
        if (usageMistake) *usageMistake = true;
        return false;
    }
    if (!csv) return LoadMapOrJson(path, map, problems);
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

}  // namespace tesselink
