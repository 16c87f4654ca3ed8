// SPDX-License-Identifier: GPL-3.0-or-later
#include "output/play_command.h"

#include <signal.h>

#include <atomic>
#include <cstdio>
#include <memory>
#include <string>

#include <QGuiApplication>
#include <QScreen>
#include <QTimer>

#include "exchange/lineup.h"
#include "output/output_window.h"
#include "output/player.h"
#include "output/screen_choice.h"
#include "picture/background_picture.h"
#include "picture/picture.h"
#include "render/command_line.h"
#include "render/render_inputs.h"
#include "render/render_target.h"
#include "video/video_decoder.h"

namespace tesselink {
namespace {

constexpr int ExitFailed = 1;
constexpr int ExitUsage = 2;

std::atomic<bool> stopRequested{false};

void RequestStop(int) { stopRequested = true; }

int Fail(int code, const std::string& text) {
    std::fprintf(stderr, "tesselink: %s\n", text.c_str());
    return code;
}

}  // namespace

int RunPlayCommand(const CommandLine& line, int argc, char** argv) {
    if (!line.Error.isEmpty()) return Fail(ExitUsage, line.Error.toStdString());
    const std::string mapPath = line.MapPath.toStdString();
    Map map;
    if (const std::string refused = LoadMapToRender(mapPath, map); !refused.empty()) return Fail(ExitFailed, refused);
    const MapFileHead& head = map.Head;
    const CoverMode coverMode = line.CoverMode ? *line.CoverMode : CoverModeFromOption(head.CoverOption);

    // Every input is checked before a window opens: the same reasons as --render.
    Picture picture;
    ColourPlanes still;
    std::unique_ptr<VideoDecoder> decoder;
    std::string why;
    if (!line.Picture.isEmpty()) {
        const std::string path = line.Picture.toStdString();
        if (!picture.Load(path, &why)) return Fail(ExitFailed, "cannot load picture " + path + ": " + why);
        if (!OriginalPlanesOfPicture(head, path, picture, still, &why))
            return Fail(ExitFailed, "cannot render " + mapPath + ": " + why);
    } else if (!line.Video.isEmpty()) {
        const std::string path = line.Video.toStdString();
        if (head.OriginalWidth == 0 || head.OriginalHeight == 0)
            return Fail(ExitFailed, "cannot render " + mapPath + ": its original size is " +
                                        std::to_string(head.OriginalWidth) + " x " +
                                        std::to_string(head.OriginalHeight) + " and its target size " +
                                        std::to_string(head.TargetWidth) + " x " + std::to_string(head.TargetHeight));
        decoder = std::make_unique<VideoDecoder>();
        if (!decoder->Open(path, &why)) return Fail(ExitFailed, "cannot load video " + path + ": " + why);
    }

    QGuiApplication app(argc, argv);
    BackgroundPicture lineup;
    if (line.PlayLineup) {
        const QImage image = OriginalLineup(map, &why);
        if (image.isNull()) return Fail(ExitFailed, "cannot render " + mapPath + ": " + why);
        lineup.SetImage(image, std::string(), head.OriginalWidth, head.OriginalHeight);
    }

    const std::vector<ScreenDescription> screens = CurrentScreens();
    QString placeProblem;
    const std::optional<QPoint> at =
        line.At ? std::optional<QPoint>(QPoint(line.At->first, line.At->second)) : std::nullopt;
    const std::optional<OutputPlace> place = PlaceOutput(screens, line.Screen, at, &placeProblem);
    if (!place) return Fail(ExitUsage, placeProblem.toStdString());
    QScreen* screen = QGuiApplication::screens().at(place->Screen);

    Player player;
    OutputWindow window(screen);
    if (!player.AddOutput(map, coverMode, &window, &why))
        return Fail(ExitFailed, "cannot render " + mapPath + ": " + why);

    int status = 0;
    QObject::connect(&window, &OutputWindow::closeRequested, &app, [&] { app.exit(player.Failed() ? 1 : 0); });
    QObject::connect(&player, &Player::finished, &app, [&](int code) { app.exit(code); });
    QObject::connect(&app, &QGuiApplication::screenRemoved, &app, [&](QScreen* gone) {
        if (gone != window.screen()) return;
        std::fprintf(stderr, "tesselink: the screen %s is gone; the output is off\n", qPrintable(gone->name()));
        status = ExitFailed;
        app.exit(ExitFailed);
    });

    // A stop from outside ends the loop cleanly; the signal only sets a flag.
    stopRequested = false;
    struct sigaction action {};
    action.sa_handler = RequestStop;
    sigemptyset(&action.sa_mask);
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) sigaction(signal, &action, nullptr);
    QTimer stopWatch;
    QObject::connect(&stopWatch, &QTimer::timeout, &app, [&] {
        if (stopRequested) app.exit(player.Failed() ? 1 : 0);
    });
    stopWatch.start(50);

    window.Place(screen, place->Geometry);
    window.show();
    window.requestActivate();
    player.EnableStatistics(line.Stats);
    if (decoder)
        player.PlayVideo(std::move(decoder), head.OriginalWidth, head.OriginalHeight, line.Loop);
    else
        player.ShowStill(line.PlayLineup ? lineup.Planes() : still);

    const int code = app.exec();
    window.hide();
    return status != 0 ? status : code;
}

}  // namespace tesselink
