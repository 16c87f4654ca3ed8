// SPDX-License-Identifier: GPL-3.0-or-later
#include "output/show_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>

#include "render/render_inputs.h"

namespace tesselink {
namespace {

// Larger than any list of outputs a person writes, small enough that a damaged file is refused
// before it is read into memory.
constexpr qint64 MaxShowBytes = 1 << 20;
constexpr int MaxOutputs = 64;

// The members of `object` not among `known`, in file order.
QString UnknownMember(const QJsonObject& object, const QStringList& known) {
    for (auto it = object.begin(); it != object.end(); ++it)
        if (!known.contains(it.key())) return it.key();
    return QString();
}

// The first member name repeated within one object of `json` (valid JSON), or empty: Qt's reader
// would keep the last silently.
QString RepeatedMember(const QByteArray& json) {
    std::vector<QStringList> objects;  // the names seen in each open object, innermost last
    std::vector<bool> inObject;        // per open bracket: an object (true) or a list
    bool expectKey = false;
    for (int i = 0; i < json.size(); ++i) {
        const char c = json[i];
        if (c == '"') {
            int end = i + 1;
            while (end < json.size() && json[end] != '"') end += json[end] == '\\' ? 2 : 1;
            if (expectKey && !inObject.empty() && inObject.back()) {
                const QString key =
                    QJsonDocument::fromJson("[" + json.mid(i, end - i + 1) + "]").array().at(0).toString();
                if (objects.back().contains(key)) return key;
                objects.back() << key;
            }
            expectKey = false;
            i = end;
        } else if (c == '{') {
            inObject.push_back(true);
            objects.emplace_back();
            expectKey = true;
        } else if (c == '[') {
            inObject.push_back(false);
        } else if (c == '}' || c == ']') {
            if (!inObject.empty() && inObject.back()) objects.pop_back();
            if (!inObject.empty()) inObject.pop_back();
        } else if (c == ',') {
            expectKey = !inObject.empty() && inObject.back();
        }
    }
    return QString();
}

std::string Resolve(const QDir& folder, const QString& path) {
    return QDir::cleanPath(QFileInfo(path).isAbsolute() ? path : folder.filePath(path)).toStdString();
}

// Whole numbers only, in a desktop's range.
bool Coordinate(const QJsonValue& value, int& out) {
    if (!value.isDouble()) return false;
    const double d = value.toDouble();
    if (d != static_cast<double>(static_cast<long long>(d)) || d < -100000 || d > 100000) return false;
    out = static_cast<int>(d);
    return true;
}

}  // namespace

bool IsShowPath(const std::string& path) { return path.size() > 5 && path.compare(path.size() - 5, 5, ".show") == 0; }

std::string ReadShowFile(const std::string& path, Show& show) {
    const QString name = QString::fromStdString(path);
    const std::string where = path + ": ";
    QFile file(name);
    if (!QFileInfo(name).isFile()) return where + (QFileInfo::exists(name) ? "not a file" : "no such file");
    if (!file.open(QIODevice::ReadOnly)) return where + file.errorString().toStdString();
    if (file.size() > MaxShowBytes) return where + "larger than a show file can be (1 MB)";
    const QByteArray bytes = file.readAll();
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError)
        return where + "not JSON at byte " + std::to_string(error.offset) + ": " + error.errorString().toStdString();
    if (!document.isObject()) return where + "the show must be a JSON object {\"source\": ..., \"outputs\": [...]}";
    const QJsonObject top = document.object();
    if (const QString unknown = UnknownMember(top, {"source", "outputs"}); !unknown.isEmpty())
        return where + "unknown member \"" + unknown.toStdString() + "\"";
    if (const QString repeated = RepeatedMember(bytes); !repeated.isEmpty())
        return where + "the member \"" + repeated.toStdString() + "\" is given twice in one object";
    const QDir folder = QFileInfo(name).absoluteDir();

    Show read;
    if (!top.value("source").isObject()) return where + "source: must be an object";
    const QJsonObject source = top.value("source").toObject();
    if (source.size() == 0) return where + "source: names no source";
    if (source.contains("picture")) {
        if (const QString u = UnknownMember(source, {"picture"}); !u.isEmpty())
            return where + "source: unknown member \"" + u.toStdString() + "\" beside \"picture\"";
        if (!source.value("picture").isString() || source.value("picture").toString().isEmpty())
            return where + "source.picture: must be a file name";
        read.Source.What = ShowSource::Kind::Picture;
        read.Source.Path = Resolve(folder, source.value("picture").toString());
    } else if (source.contains("video")) {
        if (const QString u = UnknownMember(source, {"video", "loop"}); !u.isEmpty())
            return where + "source: unknown member \"" + u.toStdString() + "\" beside \"video\"";
        if (!source.value("video").isString() || source.value("video").toString().isEmpty())
            return where + "source.video: must be a file name";
        if (source.contains("loop") && !source.value("loop").isBool())
            return where + "source.loop: must be true or false";
        read.Source.What = ShowSource::Kind::Video;
        read.Source.Path = Resolve(folder, source.value("video").toString());
        read.Source.Loop = source.value("loop").toBool(false);
    } else if (source.contains("lineup")) {
        if (const QString u = UnknownMember(source, {"lineup"}); !u.isEmpty())
            return where + "source: unknown member \"" + u.toStdString() + "\" beside \"lineup\"";
        if (source.value("lineup") != QJsonValue(true)) return where + "source.lineup: must be true";
        read.Source.What = ShowSource::Kind::Lineup;
    } else if (source.contains("live")) {
        if (const QString u = UnknownMember(source, {"live"}); !u.isEmpty())
            return where + "source: unknown member \"" + u.toStdString() + "\" beside \"live\"";
        if (!source.value("live").isString() || source.value("live").toString().isEmpty())
            return where + "source.live: must be a source address";
        read.Source.What = ShowSource::Kind::Live;
        read.Source.Path = source.value("live").toString().toStdString();
    } else {
        return where + "source: unknown member \"" + source.begin().key().toStdString() +
               "\" (a source is picture, video, lineup or live)";
    }

    if (!top.value("outputs").isArray()) return where + "outputs: must be a list";
    const QJsonArray outputs = top.value("outputs").toArray();
    if (outputs.isEmpty()) return where + "outputs: the list is empty";
    if (outputs.size() > MaxOutputs) return where + "outputs: more than " + std::to_string(MaxOutputs) + " outputs";
    for (int i = 0; i < outputs.size(); ++i) {
        const std::string at = where + "outputs[" + std::to_string(i) + "]";
        if (!outputs[i].isObject()) return at + ": must be an object";
        const QJsonObject o = outputs[i].toObject();
        if (const QString u = UnknownMember(o, {"map", "screen", "at", "name", "cover"}); !u.isEmpty())
            return at + ": unknown member \"" + u.toStdString() + "\"";
        ShowOutput output;
        if (!o.value("map").isString() || o.value("map").toString().isEmpty()) return at + ".map: must be a file name";
        output.MapPath = Resolve(folder, o.value("map").toString());
        if (o.contains("screen") && o.contains("at")) return at + ": \"screen\" and \"at\" cannot both be given";
        if (o.contains("screen")) {
            const QJsonValue screen = o.value("screen");
            if (screen.isString() && !screen.toString().isEmpty())
                output.Screen = screen.toString();
            else if (int n = 0; Coordinate(screen, n) && n >= 1)
                output.Screen = QString::number(n);
            else
                return at + ".screen: must be a screen's name or its number from 1";
        } else if (o.contains("at")) {
            const QJsonArray point = o.value("at").toArray();
            int x = 0, y = 0;
            if (!o.value("at").isArray() || point.size() != 2 || !Coordinate(point[0], x) || !Coordinate(point[1], y))
                return at + ".at: must be a desktop position [X, Y]";
            output.At = QPoint(x, y);
        } else {
            return at + ": needs \"screen\" or \"at\"";
        }
        if (o.contains("name")) {
            if (!o.value("name").isString()) return at + ".name: must be text";
            output.Name = o.value("name").toString().toStdString();
        } else {
            output.Name = std::to_string(i + 1);
        }
        if (o.contains("cover")) {
            const QString cover = o.value("cover").toString();
            if (cover == "none")
                output.Cover = CoverMode::None;
            else if (cover == "same")
                output.Cover = CoverMode::Same;
            else if (cover == "different")
                output.Cover = CoverMode::Different;
            else
                return at + ".cover: must be \"none\", \"same\" or \"different\"";
        }
        if (const std::string refused = LoadMapToRender(output.MapPath, output.LoadedMap); !refused.empty())
            return at + ".map: " + refused;
        if (!read.Outputs.empty()) {
            const MapFileHead& first = read.Outputs.front().LoadedMap.Head;
            const MapFileHead& head = output.LoadedMap.Head;
            if (head.OriginalWidth != first.OriginalWidth || head.OriginalHeight != first.OriginalHeight)
                return at + ".map: its original size " + std::to_string(head.OriginalWidth) + " x " +
                       std::to_string(head.OriginalHeight) + " differs from the first map's " +
                       std::to_string(first.OriginalWidth) + " x " + std::to_string(first.OriginalHeight) +
                       " (every map of a show shares one original picture)";
        }
        read.Outputs.push_back(std::move(output));
    }
    show = std::move(read);
    return {};
}

}  // namespace tesselink
