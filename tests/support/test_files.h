// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Files and pictures for tests: what a file holds, pictures of noise.

#include <cstdint>
#include <random>

#include <QByteArray>
#include <QFile>
#include <QImage>
#include <QString>

namespace tesselink::testing {

// The whole file; empty when it cannot be read.
inline QByteArray FileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Every pixel drawn at random, so that a pixel taken from the wrong place shows.
inline QImage NoisePicture(int width, int height, std::mt19937& random) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) image.setPixel(x, y, 0xFF000000u | (random() & 0xFFFFFF));
    return image;
}

}  // namespace tesselink::testing
