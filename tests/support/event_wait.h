// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Handling events until something a worker thread or a file watch delivers has come.

#include <functional>

#include <QCoreApplication>
#include <QElapsedTimer>

namespace tesselink::testing {

// Handles events until `done` holds or `limitMs` have passed; whether it holds.
inline bool HandleEventsUntil(const std::function<bool()>& done, int limitMs = 10000) {
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < limitMs) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

}  // namespace tesselink::testing
