// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Decodes background pictures on a worker thread, one at a time, so that a large picture does not
// freeze the window. Only the newest request counts: one waiting is replaced by a newer one, and
// the result of one that was overtaken while decoding is dropped.

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include <QObject>

#include "picture/picture.h"
#include "picture/picture_cache.h"

namespace tesselink {

// A picture decoded by the worker, from the file as `Stamp` describes it.
struct DecodedPicture {
    PictureFileStamp Stamp;
    Picture Image;
    std::string Error;  // why Image is empty, if it is
};

class BackgroundDecoder : public QObject {
    Q_OBJECT
public:
    explicit BackgroundDecoder(QObject* parent = nullptr);
    // Waits for a decode that is running (its result is dropped).
    ~BackgroundDecoder() override;
    BackgroundDecoder(const BackgroundDecoder&) = delete;
    BackgroundDecoder& operator=(const BackgroundDecoder&) = delete;

    // Decodes the file `stamp` describes; earlier requests no longer count.
    void Request(const PictureFileStamp& stamp);
    // No request counts any more.
    void Cancel();
    // A request is waiting for its result.
    bool Busy() const { return busy_; }
    // The file of the request that counts (meaningful while Busy).
    const PictureFileStamp& Requested() const { return requested_; }

signals:
    // On the thread the decoder lives on, for the request that counts only.
    void decoded(const tesselink::DecodedPicture& picture);

private:
    void Run();
    void Deliver(std::uint64_t ticket, const std::shared_ptr<DecodedPicture>& result);

    // The user-interface thread's view.
    PictureFileStamp requested_;
    std::uint64_t wanted_ = 0;  // the ticket whose result counts
    bool busy_ = false;

    // Shared with the worker.
    std::mutex mutex_;
    std::condition_variable wake_;
    std::uint64_t nextTicket_ = 0;
    std::uint64_t queuedTicket_ = 0;  // 0: nothing waiting
    PictureFileStamp queued_;
    bool stop_ = false;
    std::thread worker_;
};

}  // namespace tesselink
