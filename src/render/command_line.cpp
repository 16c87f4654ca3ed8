// SPDX-License-Identifier: GPL-3.0-or-later
#include "render/command_line.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QDateTime>

#include <algorithm>
#include <cmath>

#include "remap/cover.h"
#include "video/live_source_address.h"

namespace tesselink {
namespace {

struct OptionDef {
    const char* Name;
    const char* ValueName;  // nullptr: a switch
    const char* Description;
};

// Every option the program takes, in the order --help lists them.
const OptionDef Options[] = {
    {"render", "MAP", "Build the target picture (or, with --video, the target video) of MAP without a display."},
    {"picture", "PICTURE", "--render: the original picture, a bmp, jpg, png or gif file."},
    {"video", "IN", "--render: a video to carry through the map instead of a picture."},
    {"output", "OUT", "--render, --lineup: the file to write; it is replaced only once complete."},
    {"cover", "none|same|different",
     "--render, --lineup: tile the map's block of windows over the whole target, in the same or the other "
     "direction, or not at all. Without it the map's own cover option decides."},
    {"codec", "NAME", "--video: the encoder of the output video."},
    {"crf", "N", "--video: the constant rate factor, 0 to 51."},
    {"start", "SECONDS", "--video: where in the input to begin."},
    {"duration", "SECONDS", "--video: how much of the input to render."},
    {"keep-going", nullptr,
     "--video: write the output even when frames of the input are damaged; the status is still 1."},
    {"lineup", "MAP",
     "Write the lineup picture of MAP: each window numbered, sized and marked with an F and an "
     "arrow pointing up."},
    {"side", "original|target", "--lineup: the original lineup, or the target lineup (the default)."},
    {"cabling", nullptr,
     "--lineup: draw the cabling order over it: a line through the windows' centres in list order, an "
     "arrow on each step, the first window ringed."},
    {"convert", "IN",
     "Convert the map in IN to OUT, the formats told by the extensions .map, .json, .csv and "
     ".ffmpeg."},
    {"head", "FILE",
     "--convert, --render, --lineup: the .map or .json whose head and cover option a .csv input's windows get."},
    {"screenshot", "OUT.png", "Editor: lay the window out at 1280 x 800, write a PNG of it and quit."},
    {"play", "MAP",
     "Show the target picture of MAP full screen, live, without the editor, from --picture, --video, "
     "--lineup or --source, until the window is closed, Escape is pressed or the program is stopped."},
    {"loop", nullptr, "--play --video: start the video again at its end, without a gap."},
    {"source", "SOURCE",
     "Editor, --play: a live source: v4l2:/dev/videoN, srt://..., rtmp://..., rtsp://..., udp://..., rtp://... or "
     "desktop:SCREEN[,X,Y,W,H] (X11). Without a signal the map shows a \"No signal\" card and the source is "
     "opened again every second."},
    {"screen", "NAME|NUMBER",
     "--play: the screen to show on, by its name or its number from 1 (the first by default)."},
    {"at", "X,Y", "--play: the desktop position of the target's top-left corner, instead of --screen."},
    {"clock", "START",
     "--play --video: show frame n at START + n / rate by the system clock (an ISO 8601 time or seconds since "
     "the epoch), so that players on several machines whose clocks agree show the same frame."},
    {"stats", nullptr,
     "--play: once a second, write frames shown and dropped, the source rate and the time from a decoded "
     "frame to its presentation to stderr."},
    {"help", nullptr, "Show this help and exit."},
    {"version", nullptr, "Show the version and exit."},
};

const char* const Usages[][2] = {
    {"tesselink [MAP] [--screenshot OUT.png] [--source SOURCE]",
     "Opens the editor, with the map file MAP if given, and the live source SOURCE behind it."},
    {"tesselink --render MAP --picture PICTURE --output OUT.png [--cover none|same|different]",
     "Writes the target picture that MAP makes from PICTURE, without a display."},
    {"tesselink --render MAP --video IN --output OUT [--cover none|same|different] [--codec NAME] [--crf N]\n"
     "          [--start SECONDS] [--duration SECONDS] [--keep-going]",
     "Writes the target video that MAP makes from the video IN."},
    {"tesselink --lineup MAP --output OUT.png [--side original|target] [--cover none|same|different] [--cabling]",
     "Writes the lineup picture of MAP, by default as the target shows it."},
    {"tesselink --convert IN OUT [--head FILE]",
     "Converts a map between .map, .json, .csv (the window table) and .ffmpeg (a filter graph);\n"
     "      a .csv input takes its head from --head FILE, a .map or .json."},
    {"tesselink --play MAP [--picture PICTURE | --video VIDEO [--loop] | --lineup | --source SOURCE]\n"
     "          [--screen NAME|NUMBER] [--at X,Y] [--cover none|same|different] [--clock START] [--stats]",
     "Shows the target picture of MAP full screen on a screen, without the editor, until it is closed."},
    {"tesselink --play SHOW.show [--clock START] [--stats]",
     "Shows every output of a show: one source through several maps, each on its screen or at its place."},
    {"tesselink --help | --version", nullptr},
};

const char* const RenderUsage =
    "usage: tesselink --render MAP --picture PICTURE --output OUT.png [--cover none|same|different]";
const char* const LineupUsage =
    "usage: tesselink --lineup MAP --output OUT.png [--side original|target] [--cover none|same|different]";
const char* const ConvertUsage = "usage: tesselink --convert IN OUT [--head FILE]";
const char* const PlayUsage =
    "usage: tesselink --play MAP [--picture PICTURE | --video VIDEO [--loop] | --lineup | --source SOURCE] "
    "[--screen NAME|NUMBER] "
    "[--at X,Y] [--cover none|same|different] [--clock START] [--stats]";

// An ISO 8601 time or seconds since the epoch, within ten years of now either way.
std::optional<double> ClockStart(const QString& value) {
    bool number = false;
    double seconds = value.toDouble(&number);
    if (!number) {
        QDateTime time = QDateTime::fromString(value, Qt::ISODateWithMs);
        if (!time.isValid()) time = QDateTime::fromString(value, Qt::ISODate);
        if (!time.isValid()) return std::nullopt;
        seconds = static_cast<double>(time.toMSecsSinceEpoch()) / 1000.0;
    }
    const double now = static_cast<double>(QDateTime::currentMSecsSinceEpoch()) / 1000.0;
    constexpr double TenYears = 10 * 366 * 86400.0;
    if (!std::isfinite(seconds) || seconds < now - TenYears || seconds > now + TenYears) return std::nullopt;
    return seconds;
}

// "X,Y" with whole numbers (negative allowed: screens left of or above the first).
std::optional<std::pair<int, int>> PointOf(const QString& value) {
    const QStringList parts = value.split(',');
    if (parts.size() != 2) return std::nullopt;
    bool okX = false, okY = false;
    const int x = parts[0].trimmed().toInt(&okX);
    const int y = parts[1].trimmed().toInt(&okY);
    if (!okX || !okY || x < -100000 || x > 100000 || y < -100000 || y > 100000) return std::nullopt;
    return std::make_pair(x, y);
}

const OptionDef* Find(const QString& name) {
    for (const OptionDef& def : Options)
        if (name == QLatin1String(def.Name)) return &def;
    return nullptr;
}

// The option a "--name" or "--name=value" argument names, or nullptr.
const OptionDef* Named(const QString& argument) {
    if (!argument.startsWith(QLatin1String("--")) || argument.size() == 2) return nullptr;
    return Find(argument.mid(2).section('=', 0, 0));
}

// Single-dash words that name no option ("-odd.map") are file names; they go behind "--" so
// the parser takes them as such. The value of an option is left where it is, whatever it holds.
QStringList SeparateFileNames(const QStringList& arguments, QString& missingValue, bool& singleDashWords) {
    QStringList options, files;
    bool allFiles = false;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString& a = arguments[i];
        if (allFiles) {
            files << a;
        } else if (a == QLatin1String("--")) {
            allFiles = true;
        } else if (a.startsWith('-') && !a.startsWith(QLatin1String("--")) && a != QLatin1String("-h") &&
                   a != QLatin1String("-")) {
            files << a;
            singleDashWords = true;
        } else {
            options << a;
            const OptionDef* def = Named(a);
            if (def && def->ValueName && !a.contains('=')) {
                if (i + 1 < arguments.size())
                    options << arguments[++i];
                else if (def == Find(QStringLiteral("screenshot")))
                    missingValue = QStringLiteral("--screenshot needs the path of a PNG file to write");
                else
                    missingValue = QStringLiteral("--%1 needs a value").arg(def->Name);
            }
        }
    }
    return options + QStringList{QStringLiteral("--")} + files;
}

std::optional<CoverMode> CoverModeOf(const QString& value) {
    if (value == QLatin1String("none")) return CoverMode::None;
    if (value == QLatin1String("same")) return CoverMode::Same;
    if (value == QLatin1String("different")) return CoverMode::Different;
    return std::nullopt;
}

bool Seconds(const QString& value, bool zeroAllowed, std::optional<double>& out) {
    bool ok = false;
    const double seconds = value.toDouble(&ok);
    if (!ok || !std::isfinite(seconds) || seconds < 0 || (seconds == 0 && !zeroAllowed)) return false;
    out = seconds;
    return true;
}

// Fills `line` from a successful parse; the first mistake goes into line.Error.
void Interpret(const QCommandLineParser& parser, bool singleDashWords, CommandLine& line) {
    auto isSet = [&parser](const char* name) { return parser.isSet(QLatin1String(name)); };
    auto value = [&parser](const char* name) { return parser.value(QLatin1String(name)); };
    auto fail = [&line](const QString& text) {
        if (line.Error.isEmpty()) line.Error = text;
    };

    for (const OptionDef& def : Options) {
        if (!def.ValueName) continue;
        const QStringList values = parser.values(QLatin1String(def.Name));
        if (values.size() > 1) fail(QStringLiteral("--%1 is given more than once").arg(def.Name));
        if (values.size() == 1 && values[0].isEmpty()) fail(QStringLiteral("--%1 needs a value").arg(def.Name));
    }

    // Which options each mode takes; the others are mistakes there.
    const QStringList pictureOptions = {"picture", "video", "output",   "cover",     "codec",
                                        "crf",     "start", "duration", "keep-going"};
    QStringList allowed;
    const QStringList positional = parser.positionalArguments();
    switch (line.Mode) {
    case CommandMode::Editor:
        allowed = {"screenshot", "source"};
        if (positional.size() > 1) {
            fail("only one map file can be opened");
            line.FileNameMistake = singleDashWords && line.Error == QLatin1String("only one map file can be opened");
        }
        if (!positional.isEmpty()) line.MapPath = positional[0];
        line.Screenshot = value("screenshot");
        if (isSet("screenshot") && line.Screenshot.isEmpty())
            fail("--screenshot needs the path of a PNG file to write");
        if (isSet("source")) {
            line.Source = value("source");
            LiveSourceAddress address;
            std::string why;
            if (!ParseLiveSourceAddress(line.Source.toStdString(), LiveSourceEnvironment::Current(), address, &why))
                fail(QString::fromStdString(why));
        }
        break;
    case CommandMode::Render:
        allowed = pictureOptions + QStringList{"render", "head"};
        line.MapPath = value("render");
        line.Head = value("head");
        line.Picture = value("picture");
        line.Video = value("video");
        line.Output = value("output");
        if (isSet("picture") && isSet("video")) fail("--picture and --video cannot both be given");
        if (!isSet("video")) {
            for (const char* videoOnly : {"codec", "crf", "start", "duration", "keep-going"})
                if (isSet(videoOnly)) fail(QStringLiteral("--%1 goes with --video").arg(videoOnly));
        }
        if (line.MapPath.isEmpty() || (line.Picture.isEmpty() && line.Video.isEmpty()) || line.Output.isEmpty())
            fail(RenderUsage);
        break;
    case CommandMode::Lineup:
        allowed = {"lineup", "output", "cover", "side", "cabling", "head"};
        line.Cabling = isSet("cabling");
        line.MapPath = value("lineup");
        line.Head = value("head");
        line.Output = value("output");
        if (line.MapPath.isEmpty() || line.Output.isEmpty()) fail(LineupUsage);
        break;
    case CommandMode::Convert:
        allowed = {"convert", "head"};
        line.ConvertInput = value("convert");
        line.Head = value("head");
        if (positional.size() == 1) line.ConvertOutput = positional[0];
        if (positional.size() > 1) fail("unexpected argument " + positional[1]);
        if (line.ConvertInput.isEmpty() || line.ConvertOutput.isEmpty()) fail(ConvertUsage);
        break;
    case CommandMode::Play:
        allowed = {"play", "picture", "video", "loop", "screen", "at", "cover", "stats", "clock", "source"};
        line.MapPath = value("play");
        line.Picture = value("picture");
        line.Video = value("video");
        line.Loop = isSet("loop");
        line.Stats = isSet("stats");
        line.Screen = value("screen");
        if (int(isSet("picture")) + int(isSet("video")) + int(line.PlayLineup) + int(isSet("source")) > 1)
            fail("--play takes one source: --picture, --video, --lineup or --source");
        if (isSet("source")) {
            line.Source = value("source");
            LiveSourceAddress address;
            std::string why;
            if (!ParseLiveSourceAddress(line.Source.toStdString(), LiveSourceEnvironment::Current(), address, &why))
                fail(QString::fromStdString(why));
        }
        if (line.Loop && !isSet("video")) fail("--loop goes with --video");
        if (isSet("screen") && isSet("at")) fail("--screen and --at cannot both be given");
        if (isSet("at")) {
            line.At = PointOf(value("at"));
            if (!line.At) fail("--at takes a desktop position X,Y, not " + value("at"));
        }
        if (line.MapPath.endsWith(QLatin1String(".show"))) {
            for (const char* own : {"picture", "video", "loop", "screen", "at", "cover", "source"})
                if (isSet(own)) fail(QStringLiteral("--%1 does not go with a show: the show file says it").arg(own));
            if (line.PlayLineup) fail("--lineup does not go with a show: the show file says it");
        } else if (line.MapPath.isEmpty() ||
                   (line.Picture.isEmpty() && line.Video.isEmpty() && !line.PlayLineup && line.Source.isEmpty())) {
            fail(PlayUsage);
        }
        if (isSet("clock")) {
            line.Clock = ClockStart(value("clock"));
            if (!line.Clock)
                fail(
                    "--clock takes a time within ten years of now, as ISO 8601 (2026-12-09T18:00:00Z) or seconds "
                    "since the epoch, not " +
                    value("clock"));
            else if (isSet("picture") || line.PlayLineup || isSet("source"))
                fail("--clock goes with a video");
        }
        break;
    case CommandMode::Help:
    case CommandMode::Version: return;
    }
    if (line.Mode != CommandMode::Editor && line.Mode != CommandMode::Convert && !positional.isEmpty())
        fail("unexpected argument " + positional[0]);
    for (const OptionDef& def : Options) {
        const QString name = QLatin1String(def.Name);
        if (parser.isSet(name) && !allowed.contains(name) && name != QLatin1String("help") &&
            name != QLatin1String("version")) {
            const char* mode = line.Mode == CommandMode::Editor   ? "the editor"
                               : line.Mode == CommandMode::Render ? "--render"
                               : line.Mode == CommandMode::Lineup ? "--lineup"
                               : line.Mode == CommandMode::Play   ? "--play"
                                                                  : "--convert";
            fail(QStringLiteral("--%1 does not go with %2").arg(name, QLatin1String(mode)));
        }
    }

    if (isSet("cover")) {
        line.CoverMode = CoverModeOf(value("cover"));
        if (!line.CoverMode) fail("--cover takes none, same or different, not " + value("cover"));
    }
    if (isSet("side")) {
        line.OriginalSide = value("side") == QLatin1String("original");
        if (!line.OriginalSide && value("side") != QLatin1String("target"))
            fail("--side takes original or target, not " + value("side"));
    }
    line.Codec = value("codec");
    line.KeepGoing = isSet("keep-going");
    if (isSet("crf")) {
        bool ok = false;
        const int crf = value("crf").toInt(&ok);
        if (!ok || crf < 0 || crf > 51)
            fail("--crf takes a whole number from 0 to 51, not " + value("crf"));
        else
            line.Crf = crf;
    }
    if (isSet("start") && !Seconds(value("start"), true, line.Start))
        fail("--start takes a number of seconds from 0 on, not " + value("start"));
    if (isSet("duration") && !Seconds(value("duration"), false, line.Duration))
        fail("--duration takes a number of seconds above 0, not " + value("duration"));
}

}  // namespace

CommandLine ParseCommandLine(const QStringList& arguments) {
    QCommandLineParser parser;
    for (const OptionDef& def : Options) {
        QStringList names{QLatin1String(def.Name)};
        if (names[0] == QLatin1String("help")) names.prepend(QStringLiteral("h"));
        QCommandLineOption option(names, QLatin1String(def.Description));
        if (def.ValueName) option.setValueName(QLatin1String(def.ValueName));
        parser.addOption(option);
    }
    // With --play, a bare --lineup names the source, not a map of its own.
    const bool playing = std::any_of(arguments.begin(), arguments.end(), [](const QString& a) {
        return a == QLatin1String("--play") || a.startsWith(QLatin1String("--play="));
    });
    QStringList given = arguments;
    bool playLineup = false;
    if (playing) {
        const int endOfOptions =
            given.contains(QStringLiteral("--")) ? given.indexOf(QStringLiteral("--")) : given.size();
        const int at = given.indexOf(QStringLiteral("--lineup"));
        if (at >= 0 && at < endOfOptions) {
            given.removeAt(at);
            playLineup = true;
        }
    }
    QString missingValue;
    bool singleDashWords = false;
    const QStringList separated = SeparateFileNames(given, missingValue, singleDashWords);
    const bool parsed = parser.parse(QStringList{QStringLiteral("tesselink")} + separated);

    CommandLine line;
    if (parser.isSet(QStringLiteral("help"))) {
        line.Mode = CommandMode::Help;
        return line;
    }
    if (parser.isSet(QStringLiteral("version"))) {
        line.Mode = CommandMode::Version;
        return line;
    }
    QStringList modes;
    for (const char* mode : {"render", "lineup", "convert", "play"})
        if (parser.isSet(QLatin1String(mode))) modes << QStringLiteral("--") + mode;
    if (modes.contains(QStringLiteral("--render")))
        line.Mode = CommandMode::Render;
    else if (modes.contains(QStringLiteral("--lineup")))
        line.Mode = CommandMode::Lineup;
    else if (modes.contains(QStringLiteral("--convert")))
        line.Mode = CommandMode::Convert;
    else if (modes.contains(QStringLiteral("--play")))
        line.Mode = CommandMode::Play;
    line.PlayLineup = playLineup;

    if (!parsed || !missingValue.isEmpty()) {
        if (!parser.unknownOptionNames().isEmpty())
            line.Error = "unknown option --" + parser.unknownOptionNames().first();
        else if (!missingValue.isEmpty())
            line.Error = missingValue;
        else
            line.Error = parser.errorText();
        return line;
    }
    if (modes.size() > 1) {
        line.Error = modes.join(QStringLiteral(" and ")) + " cannot be given together: give one mode";
        return line;
    }
    Interpret(parser, singleDashWords, line);
    return line;
}

std::string CommandLineHelp() {
    std::string text = "Usage:\n";
    for (const auto& usage : Usages) {
        text += std::string("  ") + usage[0] + "\n";
        if (usage[1]) text += std::string("      ") + usage[1] + "\n";
    }
    text += "\nOptions:\n";
    constexpr std::size_t Column = 32, Width = 100;
    for (const OptionDef& def : Options) {
        std::string head = std::string(def.Name == std::string("help") ? "  -h, --" : "  --") + def.Name;
        if (def.ValueName) head += std::string(" ") + def.ValueName;
        text += head;
        std::size_t at = head.size();
        if (at + 2 > Column) {
            text += "\n";
            at = 0;
        }
        // The description, wrapped at word ends to the width.
        std::string words = def.Description, row;
        auto flush = [&] {
            text += std::string(Column - at, ' ') + row + "\n";
            at = 0;
            row.clear();
        };
        std::size_t start = 0;
        while (start < words.size()) {
            std::size_t end = words.find(' ', start);
            if (end == std::string::npos) end = words.size();
            const std::string word = words.substr(start, end - start);
            if (!row.empty() && Column + row.size() + 1 + word.size() > Width) flush();
            row += (row.empty() ? "" : " ") + word;
            start = end + 1;
        }
        flush();
    }
    return text;
}

std::vector<std::string> CommandLineOptionNames() {
    std::vector<std::string> names;
    for (const OptionDef& def : Options) names.push_back(std::string("--") + def.Name);
    return names;
}

}  // namespace tesselink
