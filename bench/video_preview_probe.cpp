// SPDX-License-Identifier: GPL-3.0-or-later
// Plays a video behind a map in the real editor window and reports what the
// preview achieved:
//   video_preview_probe MAP VIDEO [SECONDS]
// Phase 1 plays SECONDS (10) of the video in real time and prints the frames
// shown, the frames dropped and the rate, as the status bar counts them. Phase
// 2 steps through frames as fast as they come (decoding on the pump's thread,
// both views repainted for each frame): the decode-to-screen pipeline's
// capacity. Then the memory resident now and at its peak. Run it on a display
// (Xvfb) with the window maximised; the zoom is 1.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include <QApplication>
#include <QElapsedTimer>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>

#include "app/app_settings.h"
#include "app/editor_session.h"
#include "app/main_frame.h"
#include "app/video_commands.h"
#include "stage/video_preview.h"
#include "views/original_view.h"
#include "views/target_view.h"

namespace {

// VmRSS and VmHWM of this process, in MB.
std::string MemoryText() {
    std::ifstream status("/proc/self/status");
    std::string line, text;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0 || line.rfind("VmHWM:", 0) == 0) text += line + "  ";
    return text;
}

void Wait(int ms) {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms) QApplication::processEvents(QEventLoop::AllEvents, 5);
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s MAP VIDEO [SECONDS]\n", argv[0]);
        return 2;
    }
    const double seconds = argc > 3 ? std::atof(argv[3]) : 10.0;
    // The user's own settings stay untouched.
    QTemporaryDir settings;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settings.path());
    tesselink::UseProgramSettingsKey();

    tesselink::EditorSession session;
    if (!session.OpenStartupMap(QString::fromLocal8Bit(argv[1]))) return 1;
    session.InitialUpdate();
    session.Frame().ActivateFrame();
    Wait(1500);  // the window manager maximises the frame
    if (!session.VideoMenu().OpenVideoFile(QString::fromLocal8Bit(argv[2]))) return 1;
    tesselink::VideoPreview& video = session.Video();
    while (video.Waiting() || video.CurrentFrame() < 0) Wait(10);
    Wait(500);
    std::printf(
        "window %dx%d, Original view %dx%d, Target view %dx%d, video "
        "%dx%d at %.3f fps\n",
        session.Frame().width(), session.Frame().height(), session.OriginalView().viewport()->width(),
        session.OriginalView().viewport()->height(), session.TargetView().viewport()->width(),
        session.TargetView().viewport()->height(), video.Info().Width, video.Info().Height, video.FrameRate());
    std::printf("before playing: %s\n", MemoryText().c_str());

    // Phase 1: real time, as a user sees it.
    QString lastStatus;
    QObject::connect(&video, &tesselink::VideoPreview::statisticsChanged,
                     [&](const QString& text) { lastStatus = text; });
    QElapsedTimer clock;
    clock.start();
    video.Play();
    Wait(static_cast<int>(seconds * 1000));
    const double played = clock.elapsed() / 1000.0;
    video.Pause();
    std::printf(
        "real time: %.2f s, %lld frames shown (%.2f fps), %lld dropped; "
        "status bar: %s\n",
        played, video.ShownFrames(), video.ShownFrames() / played, video.DroppedFrames(),
        lastStatus.toUtf8().constData());
    std::printf("while playing: %s\n", MemoryText().c_str());

    // Phase 2: as fast as frames come, each painted in both views before the
    // next.
    video.SeekToFrame(0);
    while (video.Waiting()) Wait(1);
    long long frames = 0;
    clock.restart();
    while (clock.elapsed() < 5000) {
        const long long before = video.CurrentFrame();
        video.StepForward();
        while (video.Waiting()) QApplication::processEvents(QEventLoop::AllEvents, 1);
        if (video.CurrentFrame() == before) break;  // the end
        session.OriginalView().viewport()->repaint();
        session.TargetView().viewport()->repaint();
        ++frames;
    }
    const double flat = clock.elapsed() / 1000.0;
    std::printf("flat out: %lld frames in %.2f s: %.2f fps (%.2f x the video's rate)\n", frames, flat, frames / flat,
                frames / flat / video.FrameRate());
    std::printf("at the end: %s\n", MemoryText().c_str());
    session.Close();
    return 0;
}
