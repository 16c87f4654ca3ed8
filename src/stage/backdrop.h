// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the original area shows behind the map: the background picture file (decoded on a worker
// thread when it is large, the newest choice winning), the lineup, or the frames of a video or a
// live source. The one owner of that state; every change of it is announced once by changed().
// It follows the document's original size and windows; build it before the views, so that it has
// taken up a head change before they draw.

#include <cstdint>
#include <string>

#include <QMetaType>
#include <QObject>

#include "picture/background_picture.h"

class QFileSystemWatcher;
class QTimer;

namespace tesselink {

class BackgroundDecoder;
class CTesselinkDoc;
struct DecodedPicture;
struct MapChange;

// What one change of the backdrop was.
struct BackdropChange {
    enum class Kind {
        Picture,     // the picture file's picture, its path, or whether it exists or decodes
        Loading,     // a worker-thread decode started or ended (see Backdrop::PictureLoading)
        Lineup,      // the lineup was shown, hidden or made again
        VideoFrame,  // a new video or live frame, or the frames ended
    };
    Kind What = Kind::Picture;
};

class Backdrop : public QObject {
    Q_OBJECT
public:
    explicit Backdrop(const CTesselinkDoc& doc, QObject* parent = nullptr);
    ~Backdrop() override;
    Backdrop(const Backdrop&) = delete;
    Backdrop& operator=(const Backdrop&) = delete;

    // The background picture chosen by the user (empty for none).
    const std::string& BackgroundPicturePath() const { return path_; }
    void SetBackgroundPicturePath(const std::string& path);
    // What the picture views show, as last brought up to date: the picture or the frame, or the
    // lineup while it is shown. Never decodes, so painting may read it.
    const BackgroundPicture& Background() const { return lineupShown_ ? lineup_ : picture_; }
    // The picture file itself (or the frame), whatever the views show.
    const BackgroundPicture& BackgroundFile() const { return picture_; }

    // Looks at the picture file again and takes up a change on disk. A watch on the file does
    // this by itself; the program also calls it when it becomes active again.
    void SyncBackground();
    // A picture of more than this many pixels (by its header) is decoded on the worker thread:
    // until it is done the previous picture stays, PictureLoading() is true, and a newer choice
    // overtakes it.
    static constexpr long long AsyncDecodePixels = 4000000;
    bool PictureLoading() const { return loading_; }

    // The lineup instead of the picture: the original lineup of the map, made again after each
    // burst of changes (at once when the original size changes).
    void ShowLineup(bool shown);
    bool LineupShown() const { return lineupShown_; }

    // A frame behind the map instead of the picture (see BackgroundPicture::ShowFrame): `planes`
    // of the original area are swapped in and get the previous frame's back. EndVideoFrames()
    // returns to the picture file.
    void ShowVideoFrame(ColourPlanes& planes);
    void EndVideoFrames();
    bool ShowsVideoFrame() const { return picture_.ShowsFrame(); }

    // Frees the pictures and stops the worker's decode; once, when the program ends.
    void Free();

signals:
    void changed(const tesselink::BackdropChange& change);

private:
    void OnMapChanged(const MapChange& change);
    // The picture for the current path and original size; a large picture that needs decoding
    // is handed to the worker and the one shown stays meanwhile. True when what it shows changed.
    bool SyncPicture();
    void OnPictureDecoded(const DecodedPicture& decoded);
    void SetLoading(bool loading);
    void RebuildLineup();
    void WatchPictureFile();
    void Announce(BackdropChange::Kind what);

    const CTesselinkDoc& doc_;
    std::string path_;
    BackgroundPicture picture_;
    std::string shownPath_;  // the path whose picture picture_ holds
    BackgroundDecoder* decoder_ = nullptr;
    bool loading_ = false;
    BackgroundPicture lineup_;
    bool lineupShown_ = false;
    QTimer* lineupRefresh_ = nullptr;
    QFileSystemWatcher* watcher_ = nullptr;
    QTimer* fileSettle_ = nullptr;
};

}  // namespace tesselink

Q_DECLARE_METATYPE(tesselink::BackdropChange)
