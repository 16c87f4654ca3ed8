// SPDX-License-Identifier: GPL-3.0-or-later
#include "stage/backdrop.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QString>
#include <QTimer>

#include "document/map_change.h"
#include "document/tesselink_doc.h"
#include "exchange/lineup.h"
#include "picture/picture_header.h"
#include "stage/background_decoder.h"

namespace tesselink {

namespace {

// The pixels a picture file declares in its header, or 0 when it declares none.
long long DeclaredPixels(const std::string& path) {
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly)) return 0;
    const PictureHeader header = InspectPicture(file);
    return header.Size.isValid() ? static_cast<long long>(header.Size.width()) * header.Size.height() : 0;
}

// A programme writing a picture touches it several times; one look once it has settled.
constexpr int FileSettleMilliseconds = 100;

}  // namespace

Backdrop::Backdrop(const CTesselinkDoc& doc, QObject* parent)
    : QObject(parent),
      doc_(doc),
      decoder_(new BackgroundDecoder(this)),
      lineupRefresh_(new QTimer(this)),
      watcher_(new QFileSystemWatcher(this)),
      fileSettle_(new QTimer(this)) {
    connect(&doc_, &CTesselinkDoc::changed, this, &Backdrop::OnMapChanged);
    connect(decoder_, &BackgroundDecoder::decoded, this, &Backdrop::OnPictureDecoded);
    // One lineup for a burst of changes (a drag, a typed number), made once the events are handled.
    lineupRefresh_->setSingleShot(true);
    lineupRefresh_->setInterval(0);
    connect(lineupRefresh_, &QTimer::timeout, this, [this] {
        RebuildLineup();
        Announce(BackdropChange::Kind::Lineup);
    });
    // The file is watched, and its folder too: a picture saved by renaming a new file over it
    // ends the watch on the old one, and a missing picture may appear.
    fileSettle_->setSingleShot(true);
    fileSettle_->setInterval(FileSettleMilliseconds);
    connect(fileSettle_, &QTimer::timeout, this, &Backdrop::SyncBackground);
    connect(watcher_, &QFileSystemWatcher::fileChanged, fileSettle_, qOverload<>(&QTimer::start));
    connect(watcher_, &QFileSystemWatcher::directoryChanged, fileSettle_, qOverload<>(&QTimer::start));
}

Backdrop::~Backdrop() {
    // A decode still running delivers to nothing.
    delete decoder_;
    decoder_ = nullptr;
}

void Backdrop::Announce(BackdropChange::Kind what) { emit changed(BackdropChange{what}); }

void Backdrop::SetBackgroundPicturePath(const std::string& path) {
    if (path == path_) return;
    path_ = path;
    WatchPictureFile();
    SyncPicture();
    Announce(BackdropChange::Kind::Picture);
}

void Backdrop::WatchPictureFile() {
    const QStringList watched = watcher_->files() + watcher_->directories();
    if (!watched.isEmpty()) watcher_->removePaths(watched);
    if (path_.empty()) return;
    const QFileInfo file(QString::fromStdString(path_));
    // Only a plain file's folder: the watch must not open a FIFO or a device.
    if (file.isFile()) watcher_->addPath(file.absoluteFilePath());
    if (file.absoluteDir().exists()) watcher_->addPath(file.absolutePath());
}

void Backdrop::SyncBackground() {
    // A frame on show does not come from the file: frames look at no file.
    if (picture_.ShowsFrame()) return;
    // A file replaced by a rename is a new file to watch.
    const QString file = QFileInfo(QString::fromStdString(path_)).absoluteFilePath();
    if (!path_.empty() && !watcher_->files().contains(file) && QFileInfo(file).isFile()) watcher_->addPath(file);
    if (SyncPicture()) Announce(BackdropChange::Kind::Picture);
}

bool Backdrop::SyncPicture() {
    const std::uint64_t generation = picture_.Generation();
    const bool existed = picture_.Exists();
    const std::string refusal = picture_.Refusal();
    const int width = doc_.GetHead().OriginalWidth;
    const int height = doc_.GetHead().OriginalHeight;
    bool handedOver = false;
    if (!picture_.IsCurrent(path_) && !picture_.ShowsFrame()) {
        const PictureFileStamp stamp = StampPictureFile(path_);
        if (stamp.Exists && DeclaredPixels(path_) > AsyncDecodePixels) {
            // The worker decodes it; what is shown now stays until it is done.
            if (!decoder_->Busy() || decoder_->Requested() != stamp) decoder_->Request(stamp);
            SetLoading(true);
            picture_.Sync(shownPath_, width, height, false);
            handedOver = true;
        }
    }
    if (!handedOver) {
        // A small picture (or none) decodes here at once and overtakes a large one on its way.
        if (decoder_->Busy()) decoder_->Cancel();
        SetLoading(false);
        shownPath_ = path_;
        picture_.Sync(path_, width, height);
    }
    return picture_.Generation() != generation || picture_.Exists() != existed || picture_.Refusal() != refusal;
}

void Backdrop::OnPictureDecoded(const DecodedPicture& decoded) {
    if (decoded.Stamp.Path != path_) return;
    picture_.Adopt(decoded.Stamp, decoded.Image, decoded.Error);
    shownPath_ = decoded.Stamp.Path;
    SetLoading(false);
    // The file may have changed again meanwhile: then that is decoded next.
    SyncPicture();
    Announce(BackdropChange::Kind::Picture);
}

void Backdrop::SetLoading(bool loading) {
    if (loading == loading_) return;
    loading_ = loading;
    Announce(BackdropChange::Kind::Loading);
}

void Backdrop::OnMapChanged(const MapChange& change) {
    using Kind = MapChange::Kind;
    const bool sizes = change.What == Kind::Head || change.What == Kind::MapReplaced;
    if (sizes) {
        // The planes follow the original size; the views that draw them take this change after us.
        const ColourPlanes& planes = picture_.Planes();
        const bool resized = planes.IsPresent() && (planes.Width() != doc_.GetHead().OriginalWidth ||
                                                    planes.Height() != doc_.GetHead().OriginalHeight);
        const bool pictureChanged = SyncPicture();
        if (pictureChanged || resized)
            Announce(picture_.ShowsFrame() ? BackdropChange::Kind::VideoFrame : BackdropChange::Kind::Picture);
    }
    if (!lineupShown_ || change.What == Kind::Cover) return;
    // A lineup of another size would show the wrong area: that one is made at once.
    const MapFileHead& h = doc_.GetHead();
    if (lineup_.Image().Width() != h.OriginalWidth || lineup_.Image().Height() != h.OriginalHeight) {
        lineupRefresh_->stop();
        RebuildLineup();
        Announce(BackdropChange::Kind::Lineup);
    } else {
        lineupRefresh_->start();
    }
}

void Backdrop::ShowLineup(bool shown) {
    if (shown == lineupShown_) return;
    lineupShown_ = shown;
    if (shown) {
        RebuildLineup();
    } else {
        lineupRefresh_->stop();
        lineup_.Free();
    }
    Announce(BackdropChange::Kind::Lineup);
}

void Backdrop::RebuildLineup() {
    std::string why;
    const Map& map = doc_.GetMap();
    const QImage image = OriginalLineup(map, &why);
    lineup_.SetImage(image, image.isNull() ? why : std::string(), map.Head.OriginalWidth, map.Head.OriginalHeight);
}

void Backdrop::ShowVideoFrame(ColourPlanes& planes) {
    picture_.ShowFrame(planes);
    Announce(BackdropChange::Kind::VideoFrame);
}

void Backdrop::EndVideoFrames() {
    if (!picture_.ShowsFrame()) return;
    picture_.EndFrames();
    SyncPicture();
    Announce(BackdropChange::Kind::VideoFrame);
}

void Backdrop::Free() {
    decoder_->Cancel();
    SetLoading(false);
    lineupRefresh_->stop();
    fileSettle_->stop();
    lineup_.Free();
    picture_.Free();
}

}  // namespace tesselink
