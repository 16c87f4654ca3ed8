// SPDX-License-Identifier: GPL-3.0-or-later
#include "output/play_command.h"

#include <signal.h>

extern "C" {
#include <libavutil/log.h>
}

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include <QGuiApplication>
#include <QScreen>
#include <QTimer>

#include "exchange/lineup.h"
#include "output/output_window.h"
#include "output/player.h"
#include "output/screen_choice.h"
#include "output/show_file.h"
#include "picture/background_picture.h"
#include "picture/picture.h"
#include "render/command_line.h"
#include "render/render_inputs.h"
#include "render/render_target.h"
#include "video/live_source.h"
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

// The show a single map makes: that map, with the source and place of the command line.
Show SingleMapShow(const CommandLine& line, Map map) {
    Show show;
    if (!line.Picture.isEmpty()) {
        show.Source.What = ShowSource::Kind::Picture;
        show.Source.Path = line.Picture.toStdString();
    } else if (!line.Video.isEmpty()) {
        show.Source.What = ShowSource::Kind::Video;
        show.Source.Path = line.Video.toStdString();
        show.Source.Loop = line.Loop;
    } else if (!line.Source.isEmpty()) {
        show.Source.What = ShowSource::Kind::Live;
        show.Source.Path = line.Source.toStdString();
    } else {
        show.Source.What = ShowSource::Kind::Lineup;
    }
    ShowOutput output;
    output.MapPath = line.MapPath.toStdString();
    output.Screen = line.Screen;
    if (line.At) output.At = QPoint(line.At->first, line.At->second);
    output.Name = "1";
    output.Cover = line.CoverMode;
    output.LoadedMap = std::move(map);
    show.Outputs.push_back(std::move(output));
    return show;
}

struct PlacedOutput {
    QScreen* Screen = nullptr;
    QRect Geometry;
};

}  // namespace

int RunPlayCommand(const CommandLine& line, int argc, char** argv) {
    if (!line.Error.isEmpty()) return Fail(ExitUsage, line.Error.toStdString());
    const std::string mapPath = line.MapPath.toStdString();
    const bool isShow = IsShowPath(mapPath);
    Show show;
    if (isShow) {
        if (const std::string refused = ReadShowFile(mapPath, show); !refused.empty())
            return Fail(ExitFailed, "cannot play " + refused);
    } else {
        Map map;
        if (const std::string refused = LoadMapToRender(mapPath, map); !refused.empty())
            return Fail(ExitFailed, refused);
        show = SingleMapShow(line, std::move(map));
    }
    const MapFileHead& canvas = show.Outputs.front().LoadedMap.Head;
    const std::string& canvasMap = show.Outputs.front().MapPath;

    // Every input is checked before a window opens: the same reasons as --render.
    Picture picture;
    ColourPlanes still;
    std::unique_ptr<VideoDecoder> decoder;
    LiveSourceAddress liveAddress;
    std::string why;
    const ShowSource& source = show.Source;
    if (source.What == ShowSource::Kind::Picture) {
        if (!picture.Load(source.Path, &why))
            return Fail(ExitFailed, "cannot load picture " + source.Path + ": " + why);
        if (!OriginalPlanesOfPicture(canvas, source.Path, picture, still, &why))
            return Fail(ExitFailed, "cannot render " + canvasMap + ": " + why);
    } else if (source.What == ShowSource::Kind::Video) {
        if (canvas.OriginalWidth == 0 || canvas.OriginalHeight == 0)
            return Fail(ExitFailed, "cannot render " + canvasMap + ": its original size is " +
                                        std::to_string(canvas.OriginalWidth) + " x " +
                                        std::to_string(canvas.OriginalHeight));
        decoder = std::make_unique<VideoDecoder>();
        if (!decoder->Open(source.Path, &why)) return Fail(ExitFailed, "cannot load video " + source.Path + ": " + why);
    } else if (source.What == ShowSource::Kind::Live) {
        // The address is checked now; whether anything answers there is not: a source that is not
        // there yet shows the "No signal" card and is tried again every second.
        if (canvas.OriginalWidth == 0 || canvas.OriginalHeight == 0)
            return Fail(ExitFailed, "cannot render " + canvasMap + ": its original size is " +
                                        std::to_string(canvas.OriginalWidth) + " x " +
                                        std::to_string(canvas.OriginalHeight));
        if (!ParseLiveSourceAddress(source.Path, LiveSourceEnvironment::Current(), liveAddress, &why))
            return Fail(isShow ? ExitFailed : ExitUsage, isShow ? "cannot play " + mapPath + ": " + why : why);
    }
    if (line.Clock && !decoder) return Fail(ExitUsage, "--clock goes with a video");

    QGuiApplication app(argc, argv);
    std::vector<BackgroundPicture> lineups(show.Outputs.size());
    if (source.What == ShowSource::Kind::Lineup) {
        for (std::size_t i = 0; i < show.Outputs.size(); ++i) {
            const Map& map = show.Outputs[i].LoadedMap;
            const QImage image = OriginalLineup(map, &why);
            if (image.isNull()) return Fail(ExitFailed, "cannot render " + show.Outputs[i].MapPath + ": " + why);
            lineups[i].SetImage(image, std::string(), map.Head.OriginalWidth, map.Head.OriginalHeight);
        }
    }

    // Where each output goes; two outputs may not show on the same pixels.
    const std::vector<ScreenDescription> screens = CurrentScreens();
    std::vector<PlacedOutput> places;
    for (std::size_t i = 0; i < show.Outputs.size(); ++i) {
        const ShowOutput& output = show.Outputs[i];
        QString problem;
        const std::optional<OutputPlace> place = PlaceOutput(screens, output.Screen, output.At, &problem);
        if (!place) {
            if (!isShow) return Fail(ExitUsage, problem.toStdString());
            return Fail(ExitFailed,
                        "cannot play " + mapPath + ": outputs[" + std::to_string(i) + "]: " + problem.toStdString());
        }
        const QSize target(output.LoadedMap.Head.TargetWidth, output.LoadedMap.Head.TargetHeight);
        const QRect area = QRect(place->Geometry.topLeft(), target) & place->Geometry;
        for (std::size_t j = 0; j < places.size(); ++j) {
            const QSize other(show.Outputs[j].LoadedMap.Head.TargetWidth, show.Outputs[j].LoadedMap.Head.TargetHeight);
            if (area.intersects(QRect(places[j].Geometry.topLeft(), other) & places[j].Geometry))
                return Fail(ExitFailed, "cannot play " + mapPath + ": outputs[" + std::to_string(j) + "] and outputs[" +
                                            std::to_string(i) + "] would show on the same area of the screen");
        }
        // Several outputs: each window is its target's size, over a black one covering the screen.
        const QRect geometry = show.Outputs.size() > 1 ? area : place->Geometry;
        places.push_back({QGuiApplication::screens().at(place->Screen), geometry});
    }

    Player player;
    std::vector<std::unique_ptr<OutputWindow>> windows;
    for (std::size_t i = 0; i < show.Outputs.size(); ++i) {
        const ShowOutput& output = show.Outputs[i];
        const CoverMode cover = output.Cover ? *output.Cover : CoverModeFromOption(output.LoadedMap.Head.CoverOption);
        windows.push_back(std::make_unique<OutputWindow>(places[i].Screen));
        if (!player.AddOutput(output.LoadedMap, cover, windows.back().get(), &why))
            return Fail(ExitFailed, "cannot render " + output.MapPath + ": " + why);
    }

    int status = 0;
    for (auto& window : windows)
        QObject::connect(window.get(), &OutputWindow::closeRequested, &app,
                         [&] { app.exit(player.Failed() ? ExitFailed : 0); });
    QObject::connect(&player, &Player::finished, &app, [&](int code) { app.exit(code); });
    QObject::connect(&app, &QGuiApplication::screenRemoved, &app, [&](QScreen* gone) {
        // The outputs on a screen that went are turned off; the others go on.
        for (std::size_t i = 0; i < windows.size(); ++i) {
            if (!windows[i] || windows[i]->screen() != gone) continue;
            std::fprintf(stderr, "tesselink: output %s: the screen %s is gone; the output is off\n",
                         show.Outputs[i].Name.c_str(), qPrintable(gone->name()));
            player.RemoveOutput(windows[i].get());
            windows[i]->hide();
            windows[i].reset();
            status = ExitFailed;
        }
        if (player.OutputCount() == 0) app.exit(ExitFailed);
    });

    // A stop from outside ends the loop cleanly; the signal only sets a flag.
    stopRequested = false;
    struct sigaction action {};
    action.sa_handler = RequestStop;
    sigemptyset(&action.sa_mask);
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) sigaction(signal, &action, nullptr);
    QTimer stopWatch;
    QObject::connect(&stopWatch, &QTimer::timeout, &app, [&] {
        if (stopRequested) app.exit(player.Failed() ? ExitFailed : 0);
    });
    stopWatch.start(50);

    std::vector<std::unique_ptr<OutputWindow>> backgrounds;
    if (windows.size() > 1) {
        for (const PlacedOutput& place : places) {
            const bool covered = std::any_of(backgrounds.begin(), backgrounds.end(),
                                             [&](const auto& b) { return b->screen() == place.Screen; });
            if (covered) continue;
            backgrounds.push_back(std::make_unique<OutputWindow>(place.Screen));
            OutputWindow* background = backgrounds.back().get();
            background->Place(place.Screen, place.Screen->geometry());
            QObject::connect(background, &OutputWindow::frameWanted, background, [background] { background->Clear(); });
            background->show();
            QObject::connect(backgrounds.back().get(), &OutputWindow::closeRequested, &app,
                             [&] { app.exit(player.Failed() ? ExitFailed : 0); });
        }
    }
    for (std::size_t i = 0; i < windows.size(); ++i) {
        windows[i]->Place(places[i].Screen, places[i].Geometry);
        windows[i]->show();
    }
    if (!windows.empty()) windows.front()->requestActivate();
    player.EnableStatistics(line.Stats);
    if (decoder) {
        if (line.Clock)
            player.PlayVideoOnClock(std::move(decoder), canvas.OriginalWidth, canvas.OriginalHeight, source.Loop,
                                    *line.Clock);
        else
            player.PlayVideo(std::move(decoder), canvas.OriginalWidth, canvas.OriginalHeight, source.Loop);
    } else if (source.What == ShowSource::Kind::Live) {
        // The source says in one line of ours why there is no signal; FFmpeg's own chatter about
        // each attempt would only repeat it.
        av_log_set_level(AV_LOG_FATAL);
        player.PlayLive(std::make_unique<LiveSource>(liveAddress, canvas.OriginalWidth, canvas.OriginalHeight),
                        canvas.OriginalWidth, canvas.OriginalHeight);
    } else if (source.What == ShowSource::Kind::Lineup) {
        for (int i = 0; i < player.OutputCount(); ++i)
            player.ShowStillOn(i, lineups[static_cast<std::size_t>(i)].Planes());
    } else {
        player.ShowStill(still);
    }

    const int code = app.exec();
    for (auto& window : windows)
        if (window) window->hide();
    for (auto& background : backgrounds) background->hide();
    return status != 0 ? status : code;
}

}  // namespace tesselink
