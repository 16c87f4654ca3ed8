#include "picture/picture_header.h"

#include <QByteArray>
#include <QFile>

#include <cstdlib>

namespace tesselink {
namespace {

unsigned Byte(const QByteArray& b, int at) { return static_cast<unsigned char>(b[at]); }
unsigned Be16(const QByteArray& b, int at) { return (Byte(b, at) << 8) | Byte(b, at + 1); }
unsigned Le16(const QByteArray& b, int at) { return Byte(b, at) | (Byte(b, at + 1) << 8); }
quint32 Be32(const QByteArray& b, int at) { return (quint32(Be16(b, at)) << 16) | Be16(b, at + 2); }
qint32 Le32(const QByteArray& b, int at) { return static_cast<qint32>(Le16(b, at) | (quint32(Le16(b, at + 2)) << 16)); }

QSize Clamped(long long width, long long height) {
    // Sizes beyond int still have to read as "too large", never as invalid or negative.
    const long long limit = 0x7FFFFFFF;
    return QSize(static_cast<int>(std::min(width, limit)), static_cast<int>(std::min(height, limit)));
}

QSize JpegSize(QFile& file) {
    // Walk the marker segments up to the first start-of-frame.
    if (!file.seek(2)) return QSize();
    for (int segments = 0; segments < 1000; ++segments) {
        QByteArray marker = file.read(2);
        if (marker.size() < 2 || Byte(marker, 0) != 0xFF) return QSize();
        unsigned code = Byte(marker, 1);
        while (code == 0xFF) {  // fill bytes
            const QByteArray next = file.read(1);
            if (next.isEmpty()) return QSize();
            code = Byte(next, 0);
        }
        if (code == 0x01 || (code >= 0xD0 && code <= 0xD7)) continue;  // no length
        if (code == 0xD9 || code == 0xDA) return QSize();               // end, or scan before a frame
        const QByteArray length = file.read(2);
        if (length.size() < 2 || Be16(length, 0) < 2) return QSize();
        const bool frame = code >= 0xC0 && code <= 0xCF && code != 0xC4 && code != 0xC8 && code != 0xCC;
        if (frame) {
            const QByteArray sof = file.read(5);
            if (sof.size() < 5) return QSize();
            return QSize(static_cast<int>(Be16(sof, 3)), static_cast<int>(Be16(sof, 1)));
        }
        if (!file.seek(file.pos() + Be16(length, 0) - 2)) return QSize();
    }
    return QSize();
}

}  // namespace

QSize ReadDeclaredPictureSize(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return QSize();
    const QByteArray head = file.read(32);
    if (head.size() >= 24 && head.startsWith(QByteArray("\x89PNG\r\n\x1a\n", 8)) && head.mid(12, 4) == "IHDR")
        return Clamped(Be32(head, 16), Be32(head, 20));
    if (head.size() >= 10 && (head.startsWith("GIF87a") || head.startsWith("GIF89a")))
        return QSize(static_cast<int>(Le16(head, 6)), static_cast<int>(Le16(head, 8)));
    if (head.size() >= 26 && head.startsWith("BM")) {
        if (Le32(head, 14) == 12) return QSize(static_cast<int>(Le16(head, 18)), static_cast<int>(Le16(head, 20)));
        return Clamped(std::llabs(Le32(head, 18)), std::llabs(Le32(head, 22)));
    }
    if (head.size() >= 4 && Byte(head, 0) == 0xFF && Byte(head, 1) == 0xD8) return JpegSize(file);
    return QSize();
}

}  // namespace tesselink
