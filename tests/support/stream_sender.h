// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A test stream sent by the ffmpeg program on the loopback, for the live-source tests.

#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

namespace tesselink::testing {

// ffmpeg's input for a picture blue on the left (half of it, or `blue` pixels) and red on the
// right, 30 frames a second, forever (or for `seconds`).
inline QStringList TestStreamPicture(int width = 320, int height = 240, int seconds = 0, int blue = 0) {
    const QString color = QStringLiteral("color=c=red:s=%1x%2:r=30%3,drawbox=x=0:y=0:w=%4:h=%2:c=blue:t=fill")
                              .arg(width)
                              .arg(height)
                              .arg(seconds > 0 ? QStringLiteral(":d=%1").arg(seconds) : QString())
                              .arg(blue > 0 ? blue : width / 2);
    return {"-f", "lavfi", "-i", color};
}

// Sends `input` as MPEG-2 video in real time to ffmpeg's `output` arguments, until killed.
class StreamSender {
public:
    StreamSender() = default;
    StreamSender(const StreamSender&) = delete;
    StreamSender& operator=(const StreamSender&) = delete;
    ~StreamSender() { Kill(); }
    void Start(const QStringList& output, const QStringList& input = TestStreamPicture()) {
        QStringList arguments{"-hide_banner", "-loglevel", "error", "-nostdin", "-re"};
        arguments << input << "-c:v"
                  << "mpeg2video"
                  << "-g"
                  << "6"
                  << "-b:v"
                  << "1M" << output;
        process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process_.start(QStandardPaths::findExecutable("ffmpeg"), arguments);
        ASSERT_TRUE(process_.waitForStarted(5000));
    }
    bool WaitForEnd(int limit) { return process_.waitForFinished(limit); }
    void Kill() {
        if (process_.state() == QProcess::NotRunning) return;
        process_.kill();
        process_.waitForFinished(5000);
    }

private:
    QProcess process_;
};

}  // namespace tesselink::testing
