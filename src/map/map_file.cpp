#include "map/map_file.h"

#include <QFile>
#include <QSaveFile>
#include <QString>

#include <vector>

namespace tesselink {
namespace {

MapWriteResult WriteFailed(std::string why) {
    MapWriteResult r;
    r.Error = std::move(why);
    return r;
}

}  // namespace

MapWriteResult WriteMapFile(const Map& map, const std::string& path) {
    if (map.Windows.size() > MaxWindowCount) {
        return WriteFailed("A map can hold at most 255 windows; this one has " + std::to_string(map.Windows.size()) +
                           ".");
    }
    const int size = BuildMapImage(map, nullptr, 0);
    std::vector<std::uint8_t> image(static_cast<std::size_t>(size));
    if (BuildMapImage(map, image.data(), size) != size) return WriteFailed("The map could not be encoded.");

    // QSaveFile writes beside the target and renames over it only on commit, so a failed
    // save leaves the previous file as it was.
    QSaveFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::WriteOnly)) {
        return WriteFailed("Cannot create " + path + ": " + file.errorString().toStdString());
    }
    const qint64 written = file.write(reinterpret_cast<const char*>(image.data()), size);
    // A small image can sit in the buffer until commit(), whose own final write is not
    // checked on every Qt version: push it out and check before committing.
    if (written != size || !file.flush()) {
        const std::string why = file.errorString().toStdString();
        file.cancelWriting();
        return WriteFailed("Cannot write " + path + ": " + why);
    }
    if (!file.commit()) return WriteFailed("Cannot save " + path + ": " + file.errorString().toStdString());
    MapWriteResult ok;
    ok.Written = true;
    return ok;
}

MapLoadResult ReadMapFile(Map& map, const std::string& path) {
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly)) return MapLoadResult{};
    const qint64 length = file.size();
    const QByteArray bytes = file.readAll();
    if (bytes.size() != length) return MapLoadResult{};

    MapLoadResult result = ParseMapImage(map, reinterpret_cast<const std::uint8_t*>(bytes.constData()), bytes.size());
    if (!result.Accepted) {
        map.ClearWindows();
        map.Head.WindowCount = 0;
    }
    return result;
}

}  // namespace tesselink
