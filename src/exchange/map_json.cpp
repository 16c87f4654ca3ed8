// SPDX-License-Identifier: GPL-3.0-or-later
#include "exchange/map_json.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>

#include <cmath>

#include "exchange/json_duplicates.h"
#include "map/map_image.h"

namespace tesselink {
namespace {

const char* const ModeNames[MapModeCount] = {"copy",         "clockwise", "anticlockwise", "vertical-mirror",
                                             "level-mirror", "half-turn"};

// Thrown inside the reader only: the first problem ends the read.
struct Refused {
    ExchangeProblem Problem;
};

[[noreturn]] void Refuse(const std::string& element, const std::string& reason) {
    throw Refused{ExchangeProblem{0, element, reason}};
}

std::string Quoted(const QString& text) { return QuotedValue(text.toStdString()); }

// What a JSON value is, for messages.
std::string KindOf(const QJsonValue& value) {
    switch (value.type()) {
    case QJsonValue::Null: return "null";
    case QJsonValue::Bool: return value.toBool() ? "true" : "false";
    case QJsonValue::Double: return QString::number(value.toDouble(), 'g', 17).toStdString();
    case QJsonValue::String: return Quoted(value.toString());
    case QJsonValue::Array: return "a list";
    case QJsonValue::Object: return "an object";
    case QJsonValue::Undefined: break;
    }
    return "nothing";
}

QJsonValue Member(const QJsonObject& object, const char* key, const std::string& element) {
    const QJsonValue value = object.value(QLatin1String(key));
    if (value.isUndefined()) Refuse(element, std::string("\"") + key + "\" is missing");
    return value;
}

QJsonObject ObjectAt(const QJsonValue& value, const std::string& element) {
    if (!value.isObject()) Refuse(element, "an object is expected, not " + KindOf(value));
    return value.toObject();
}

std::uint16_t WholeNumber(const QJsonValue& value, const std::string& element) {
    const double d = value.toDouble(-1);
    if (!value.isDouble() || !std::isfinite(d) || d != std::floor(d) || d < 0 || d > 65535)
        Refuse(element, KindOf(value) + " is not a whole number from 0 to 65535");
    return static_cast<std::uint16_t>(d);
}

// A list of exactly `count` whole numbers.
void Numbers(const QJsonValue& value, const std::string& element, int count, std::uint16_t* out) {
    if (!value.isArray())
        Refuse(element, "a list of " + std::to_string(count) + " numbers is expected, not " + KindOf(value));
    const QJsonArray array = value.toArray();
    if (array.size() != count)
        Refuse(element,
               "a list of " + std::to_string(count) + " numbers is expected, not of " + std::to_string(array.size()));
    for (int i = 0; i < count; ++i) out[i] = WholeNumber(array[i], element + "[" + std::to_string(i) + "]");
}

void ReadSize(const QJsonObject& root, const char* key, std::uint16_t& width, std::uint16_t& height) {
    const QJsonObject size = ObjectAt(Member(root, key, ""), key);
    width = WholeNumber(Member(size, "width", key), std::string(key) + ".width");
    height = WholeNumber(Member(size, "height", key), std::string(key) + ".height");
}

std::uint8_t ReadCover(const QJsonObject& root) {
    const QJsonValue cover = root.value(QLatin1String("cover"));
    if (cover.isUndefined()) return 0;
    const QJsonObject object = ObjectAt(cover, "cover");
    std::uint8_t option = 0;
    const QJsonValue full = object.value(QLatin1String("full-screen"));
    if (!full.isUndefined()) {
        if (!full.isBool()) Refuse("cover.full-screen", "true or false is expected, not " + KindOf(full));
        if (full.toBool()) option |= CoverFullScreen;
    }
    const QJsonValue direction = object.value(QLatin1String("direction"));
    if (!direction.isUndefined()) {
        if (direction == QJsonValue(QLatin1String("different")))
            option |= CoverDifferentDirection;
        else if (direction != QJsonValue(QLatin1String("same")))
            Refuse("cover.direction", "\"same\" or \"different\" is expected, not " + KindOf(direction));
    }
    return option;
}

int ReadMode(const QJsonValue& value, const std::string& element) {
    for (int mode = 0; mode < MapModeCount; ++mode)
        if (value == QJsonValue(QLatin1String(ModeNames[mode]))) return mode;
    std::string names;
    for (int mode = 0; mode < MapModeCount; ++mode) names += std::string(mode ? ", " : "") + ModeNames[mode];
    Refuse(element, KindOf(value) + " is not a map mode (" + names + ")");
}

Map ReadMap(const QJsonObject& root) {
    Map map;
    ReadSize(root, "original", map.Head.OriginalWidth, map.Head.OriginalHeight);
    ReadSize(root, "target", map.Head.TargetWidth, map.Head.TargetHeight);
    map.Head.CoverOption = ReadCover(root);
    const QJsonValue windows = Member(root, "windows", "");
    if (!windows.isArray()) Refuse("windows", "a list is expected, not " + KindOf(windows));
    const QJsonArray list = windows.toArray();
    if (list.size() > static_cast<qsizetype>(MaxWindowCount))
        Refuse("windows", "a map holds at most 255 windows, this list has " + std::to_string(list.size()));
    for (int i = 0; i < list.size(); ++i) {
        const std::string element = "windows[" + std::to_string(i) + "] (window " + std::to_string(i + 1) + ")";
        const std::string path = "windows[" + std::to_string(i) + "]";
        const QJsonObject object = ObjectAt(list[i], element);
        std::uint16_t original[4], target[2];
        Numbers(Member(object, "original", element), path + ".original", 4, original);
        Numbers(Member(object, "target", element), path + ".target", 2, target);
        const int mode = ReadMode(Member(object, "mode", element), path + ".mode");
        const PlaybackWindow w =
            MakeWindow(original[0], original[1], original[2], original[3], target[0], target[1], mode);
        const MapLoadResult checked = CheckMapWindow(w, map.Head, EmptyWindows::Refused);
        if (!checked) Refuse(element, checked.Message);
        map.Windows.push_back(w);
    }
    map.Head.WindowCount = static_cast<std::uint8_t>(map.Windows.size());
    return map;
}

}  // namespace

const char* MapModeJsonName(int mode) { return mode >= 0 && mode < MapModeCount ? ModeNames[mode] : nullptr; }

QByteArray WriteMapJson(const Map& map, std::string* why) {
    if (map.Windows.size() > MaxWindowCount) {
        if (why) *why = "a map holds at most 255 windows, this one has " + std::to_string(map.Windows.size());
        return QByteArray();
    }
    const MapFileHead& h = map.Head;
    std::string out = "{\n";
    out += "    \"original\": {\"width\": " + std::to_string(h.OriginalWidth) +
           ", \"height\": " + std::to_string(h.OriginalHeight) + "},\n";
    out += "    \"target\": {\"width\": " + std::to_string(h.TargetWidth) +
           ", \"height\": " + std::to_string(h.TargetHeight) + "},\n";
    out += std::string("    \"cover\": {\"full-screen\": ") + ((h.CoverOption & CoverFullScreen) ? "true" : "false") +
           ", \"direction\": \"" + ((h.CoverOption & CoverDifferentDirection) ? "different" : "same") + "\"},\n";
    out += "    \"windows\": [";
    for (std::size_t i = 0; i < map.Windows.size(); ++i) {
        const PlaybackWindow& w = map.Windows[i];
        const char* mode = MapModeJsonName(w.MapMode);
        if (!mode) {
            if (why)
                *why = "window " + std::to_string(i + 1) + " has map mode " + std::to_string(w.MapMode) +
                       ", which has no name in JSON";
            return QByteArray();
        }
        out += i == 0 ? "\n" : ",\n";
        out += "        {\"original\": [" + std::to_string(w.OriginalStartX) + ", " + std::to_string(w.OriginalStartY) +
               ", " + std::to_string(w.Width) + ", " + std::to_string(w.Height) + "], \"target\": [" +
               std::to_string(w.TargetStartX) + ", " + std::to_string(w.TargetStartY) + "], \"mode\": \"" + mode +
               "\"}";
    }
    out += map.Windows.empty() ? "]\n}\n" : "\n    ]\n}\n";
    return QByteArray::fromStdString(out);
}

ExchangeRead ReadMapJson(const QByteArray& json, Map& map) {
    ExchangeRead result;
    if (const std::string what = TextEncodingProblem(json.constData(), static_cast<std::size_t>(json.size()));
        !what.empty()) {
        result.Problems.push_back({0, "", what});
        return result;
    }
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError) {
        const int line = 1 + static_cast<int>(json.left(error.offset).count('\n'));
        result.Problems.push_back({line, "", "JSON syntax error: " + error.errorString().toStdString()});
        return result;
    }
    if (!document.isObject()) {
        result.Problems.push_back({0, "", "the top level is not an object"});
        return result;
    }
    if (const std::optional<ExchangeProblem> twice = FindDuplicateJsonMember(json)) {
        result.Problems.push_back(*twice);
        return result;
    }
    try {
        map = ReadMap(document.object());
    } catch (const Refused& refused) {
        result.Problems.push_back(refused.Problem);
    }
    return result;
}

}  // namespace tesselink
