// SPDX-License-Identifier: GPL-3.0-or-later
#include "stage/background_decoder.h"

#include <utility>

namespace tesselink {

BackgroundDecoder::BackgroundDecoder(QObject* parent) : QObject(parent) {}

BackgroundDecoder::~BackgroundDecoder() {
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        stop_ = true;
        queuedTicket_ = 0;
    }
    wake_.notify_all();
    // A decode cannot be interrupted; its result, posted to this object, dies with it.
    if (worker_.joinable()) worker_.join();
}

void BackgroundDecoder::Request(const PictureFileStamp& stamp) {
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        wanted_ = ++nextTicket_;
        queuedTicket_ = wanted_;
        queued_ = stamp;
    }
    requested_ = stamp;
    busy_ = true;
    if (!worker_.joinable()) worker_ = std::thread([this] { Run(); });
    wake_.notify_one();
}

void BackgroundDecoder::Cancel() {
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        queuedTicket_ = 0;
        wanted_ = ++nextTicket_;  // a result on its way no longer matches
    }
    requested_ = PictureFileStamp();
    busy_ = false;
}

void BackgroundDecoder::Run() {
    for (;;) {
        std::uint64_t ticket = 0;
        auto result = std::make_shared<DecodedPicture>();
        {
            std::unique_lock<std::mutex> lock(mutex_);
            wake_.wait(lock, [this] { return stop_ || queuedTicket_ != 0; });
            if (stop_) return;
            ticket = std::exchange(queuedTicket_, 0);
            result->Stamp = queued_;
        }
        result->Image.Load(result->Stamp.Path, &result->Error);
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            if (stop_) return;
        }
        QMetaObject::invokeMethod(
            this, [this, ticket, result] { Deliver(ticket, result); }, Qt::QueuedConnection);
    }
}

void BackgroundDecoder::Deliver(std::uint64_t ticket, const std::shared_ptr<DecodedPicture>& result) {
    if (ticket != wanted_ || !busy_) return;  // overtaken by a newer request or cancelled
    busy_ = false;
    requested_ = PictureFileStamp();
    emit decoded(*result);
}

}  // namespace tesselink
