// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A video behind the map instead of the background picture. The frame pump
// decodes on its own thread; a timer on the GUI thread takes the frame that is
// due, never waiting for one, and hands its planes to the backdrop, which both
// views then show. Frames that are not ready when due, or overtaken while the
// GUI was busy, are skipped to stay on time, and counted.

#include <cstdint>
#include <memory>
#include <string>

#include <QElapsedTimer>
#include <QImage>
#include <QObject>
#include <QString>

#include "video/frame_pump.h"
#include "video/video_decoder.h"

class QTimer;

namespace tesselink {

class Backdrop;
class CTesselinkDoc;
struct MapChange;

class VideoPreview : public QObject {
    Q_OBJECT
public:
    VideoPreview(const CTesselinkDoc& doc, Backdrop& backdrop, QObject* parent = nullptr);
    ~VideoPreview() override;

    // Opens `path`, paused; its first frame replaces the picture as soon as it is
    // decoded. False, with the reason (e.g. "is not a video (...)"), when the
    // file is no usable video; a video already open stays then.
    bool Open(const std::string& path, std::string* why);
    // Back to the picture.
    void Close();
    bool IsOpen() const { return pump_ != nullptr; }
    const std::string& Path() const { return path_; }
    const VideoInfo& Info() const;
    // The video's frame count, worked out from its duration when the file does
    // not say; -1 unknown.
    long long FrameCount() const;
    // Frames per second played: the file's, or 25 when it states none.
    double FrameRate() const;

    void Play();
    void Pause();
    void TogglePlay();
    bool IsPlaying() const { return playing_; }
    // At the end, playing starts again from the first frame.
    void SetLoop(bool loop);
    bool Loops() const { return loop_; }

    // Exactly the next or the previous frame (paused); the frame comes through
    // the pump.
    void StepForward();
    void StepBack();
    // Shows frame `index` (exact to the frame); playing goes on from there.
    void SeekToFrame(long long index);

    // The frame on screen: its number (-1 before the first) and time in seconds.
    long long CurrentFrame() const { return current_; }
    double CurrentTime() const { return currentTime_; }
    // A seek or a step waits for its frame.
    bool Waiting() const { return awaited_ >= 0; }

    // Since Play: frames shown, frames skipped, and the rate shown over the last
    // second.
    long long ShownFrames() const { return shown_; }
    long long DroppedFrames() const { return dropped_; }
    double AchievedFrameRate() const { return achievedRate_; }

    // The current frame at the video's own size, decoded again from the file (the
    // planes on screen are only the original area). False, with the reason, when
    // that fails.
    bool GrabFullFrame(QImage& image, std::string* why) const;

signals:
    void openChanged(bool open);
    void playingChanged(bool playing);
    void frameShown(long long index, double seconds);
    // "29.97 fps, 0 dropped" once a second while playing.
    void statisticsChanged(const QString& text);
    // Decoding stopped with this reason (a damaged file); the last good frame
    // stays.
    void failed(const QString& why);

private:
    void Tick();
    // Takes the frame a seek or step waits for; false while it has not come.
    bool TakeAwaited();
    void TakeDue();
    void Show(std::unique_ptr<PumpedFrame> frame);
    void Await(long long index);
    void SetPlaying(bool playing);
    void RestartClock();
    void UpdateStatistics(bool force);
    void OnDocumentChanged(const MapChange& change);
    void Fail(const std::string& why);

    const CTesselinkDoc& doc_;
    Backdrop& backdrop_;
    std::unique_ptr<VideoFramePump> pump_;
    std::string path_;
    QTimer* timer_ = nullptr;
    int originalWidth_ = 0;
    int originalHeight_ = 0;

    bool playing_ = false;
    bool loop_ = false;
    bool atEnd_ = false;      // the last frame is on screen and nothing follows
    long long awaited_ = -1;  // a seek or step waits for this frame
    long long current_ = -1;
    double currentTime_ = 0;

    QElapsedTimer clock_;  // runs from when clockFrame_ was shown
    long long clockFrame_ = 0;

    long long shown_ = 0;
    long long dropped_ = 0;
    QElapsedTimer statsClock_;
    long long statsShown_ = 0;
    double achievedRate_ = 0;
};

}  // namespace tesselink
