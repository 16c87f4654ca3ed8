// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/editor_main.h"

#include <QApplication>
#include <QBuffer>
#include <QTimer>

#include <cstdio>

#include "app/app_settings.h"
#include "app/editor_session.h"
#include "app/live_source_commands.h"
#include "app/main_frame.h"
#include "app/startup_options.h"
#include "map/safe_write.h"

namespace tesselink {

namespace {

// Waits for the first paints, writes the window's picture and ends the program.
void ScheduleScreenshot(CMainFrame& frame, const QString& path) {
    QTimer::singleShot(500, &frame, [&frame, path] {
        // Encoded in memory, then written whole or not at all.
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        if (!frame.grab().save(&buffer, "PNG")) {
            std::fprintf(stderr, "tesselink: cannot encode the window's picture\n");
            QApplication::exit(1);
            return;
        }
        const FileWriteResult written =
            WriteFileSafely(path.toStdString(), png.constData(), static_cast<std::size_t>(png.size()));
        if (!written) std::fprintf(stderr, "tesselink: %s\n", written.Error.c_str());
        QApplication::exit(written ? 0 : 1);
    });
}

}  // namespace

int RunEditor(int argc, char** argv) {
    QApplication app(argc, argv);
    UseProgramSettingsKey();

    QStringList arguments = QApplication::arguments();
    arguments.removeFirst();
    const EditorStartOptions options = ParseEditorArguments(arguments);
    if (!options.Error.isEmpty()) {
        std::fprintf(stderr, "tesselink: %s\n", qPrintable(options.Error));
        return 2;
    }

    EditorSession session;
    // Nobody is there to click in a screenshot run.
    if (!options.ScreenshotPath.isEmpty()) session.Boxes().SetUnattended(true);
    // A map that cannot be opened has been reported by the document; like a failed
    // start-up command, it ends the program. So does one the reader refused, in a screenshot
    // run: the picture would not show the map that was asked for.
    bool refused = false;
    if (!options.MapPath.isEmpty() && !session.OpenStartupMap(options.MapPath, &refused)) return 1;
    if (refused && !options.ScreenshotPath.isEmpty()) return 1;
    session.InitialUpdate();
    // Checked with the options already: it opens, and waits for its signal behind the map.
    if (!options.Source.isEmpty()) session.LiveSources().OpenSourceText(options.Source);

    CMainFrame& frame = session.Frame();
    if (options.ScreenshotPath.isEmpty()) {
        frame.ActivateFrame();
    } else {
        // Offscreen screens are small; a fixed size shows the whole layout.
        frame.setWindowState(Qt::WindowNoState);
        frame.resize(1280, 800);
        frame.QMainWindow::setVisible(true);
        ScheduleScreenshot(frame, options.ScreenshotPath);
    }
    QObject::connect(&app, &QApplication::aboutToQuit, [&session] { session.Close(); });
    return app.exec();
}

}  // namespace tesselink
