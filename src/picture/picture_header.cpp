// SPDX-License-Identifier: GPL-3.0-or-later
#include "picture/picture_header.h"

#include <QByteArray>

#include <algorithm>
#include <cstdlib>

namespace tesselink {
namespace {

unsigned Byte(const QByteArray& b, int at) { return static_cast<unsigned char>(b[at]); }
unsigned Be16(const QByteArray& b, int at) { return (Byte(b, at) << 8) | Byte(b, at + 1); }
unsigned Le16(const QByteArray& b, int at) { return Byte(b, at) | (Byte(b, at + 1) << 8); }
quint32 Be32(const QByteArray& b, int at) { return (quint32(Be16(b, at)) << 16) | Be16(b, at + 2); }
quint32 Le32u(const QByteArray& b, int at) { return Le16(b, at) | (quint32(Le16(b, at + 2)) << 16); }
qint32 Le32(const QByteArray& b, int at) { return static_cast<qint32>(Le32u(b, at)); }

QSize Clamped(long long width, long long height) {
    // Sizes beyond int still have to read as "too large", never as invalid or negative.
    const long long limit = 0x7FFFFFFF;
    return QSize(static_cast<int>(std::min(width, limit)), static_cast<int>(std::min(height, limit)));
}

// Moves `count` bytes on; false when that passes the end of the data.
bool Skip(QIODevice& d, qint64 count) {
    const qint64 to = d.pos() + count;
    return count >= 0 && to <= d.size() && d.seek(to);
}

// Reads exactly `count` bytes into `out`; false when the data ends first.
bool ReadExactly(QIODevice& d, qint64 count, QByteArray& out) {
    out = d.read(count);
    return out.size() == count;
}

// Walks the chunks to IEND.
void InspectPng(QIODevice& d, PictureHeader& h) {
    QByteArray b;
    if (!d.seek(8) || !ReadExactly(d, 16, b) || b.mid(4, 4) != "IHDR") {
        h.Truncated = d.size() < 24;
        return;
    }
    h.Size = Clamped(Be32(b, 8), Be32(b, 12));
    if (!d.seek(8)) return;
    for (;;) {
        if (!ReadExactly(d, 8, b)) {
            h.Truncated = true;
            return;
        }
        if (b.mid(4, 4) == "IEND") {
            h.Truncated = !Skip(d, 4);  // its CRC
            return;
        }
        if (!Skip(d, qint64(Be32(b, 0)) + 4)) {  // data and CRC
            h.Truncated = true;
            return;
        }
    }
}

// Skips data sub-blocks up to their zero terminator; false when the data ends first.
bool SkipGifSubBlocks(QIODevice& d) {
    QByteArray b;
    for (;;) {
        if (!ReadExactly(d, 1, b)) return false;
        if (Byte(b, 0) == 0) return true;
        if (!Skip(d, Byte(b, 0))) return false;
    }
}

// Walks the blocks to the trailer byte.
void InspectGif(QIODevice& d, PictureHeader& h) {
    QByteArray b;
    if (!d.seek(6) || !ReadExactly(d, 7, b)) {
        h.Truncated = true;
        return;
    }
    h.Size = QSize(static_cast<int>(Le16(b, 0)), static_cast<int>(Le16(b, 2)));
    const auto tableBytes = [](unsigned flags) { return (flags & 0x80) ? qint64(3) << ((flags & 7) + 1) : 0; };
    if (!Skip(d, tableBytes(Byte(b, 4)))) {
        h.Truncated = true;
        return;
    }
    for (;;) {
        if (!ReadExactly(d, 1, b)) {
            h.Truncated = true;
            return;
        }
        const unsigned kind = Byte(b, 0);
        if (kind == 0x3B) return;  // trailer
        bool whole = false;
        if (kind == 0x21) {  // extension: label, then sub-blocks
            whole = Skip(d, 1) && SkipGifSubBlocks(d);
        } else if (kind == 0x2C) {  // image: descriptor, local table, code size, sub-blocks
            whole = ReadExactly(d, 9, b) && Skip(d, tableBytes(Byte(b, 8)) + 1) && SkipGifSubBlocks(d);
        } else {
            return;  // not a block: damaged rather than cut short; the decoder says so
        }
        if (!whole) {
            h.Truncated = true;
            return;
        }
    }
}

// Uncompressed rows take a known number of bytes; compressed ones at least reach the file size
// the header declares.
void InspectBmp(QIODevice& d, PictureHeader& h) {
    QByteArray b;
    if (!d.seek(0) || !ReadExactly(d, 26, b)) {
        h.Truncated = true;
        return;
    }
    const quint32 headerSize = Le32u(b, 14);
    long long width = 0, height = 0;
    unsigned bits = 0, compression = 0;
    if (headerSize == 12) {  // the old core header: 16-bit sizes
        width = Le16(b, 18);
        height = Le16(b, 20);
        bits = Le16(b, 24);
    } else {
        width = std::llabs(Le32(b, 18));
        height = std::llabs(Le32(b, 22));
        QByteArray more;
        if (!d.seek(28) || !ReadExactly(d, 6, more)) {
            h.Size = Clamped(width, height);
            h.Truncated = true;
            return;
        }
        bits = Le16(more, 0);
        compression = Le32u(more, 2);
    }
    h.Size = Clamped(width, height);
    const long long dataOffset = Le32u(b, 10);
    const long long fileSize = d.size();
    if (compression == 0 || compression == 3 || compression == 6) {
        const long long rowBytes = (width * bits + 31) / 32 * 4;
        const long long dataBytes = fileSize - dataOffset;  // divided, so that no product overflows
        h.Truncated = dataBytes < 0 || (rowBytes > 0 && dataBytes / rowBytes < height);
    } else {
        h.Truncated = fileSize < static_cast<long long>(Le32u(b, 2));
    }
}

// Walks the marker segments up to the first scan; the frame header gives the size.
void InspectJpeg(QIODevice& d, PictureHeader& h) {
    if (!d.seek(2)) return;
    QByteArray b;
    for (int segments = 0; segments < 100000; ++segments) {
        if (!ReadExactly(d, 2, b)) {
            h.Truncated = true;
            return;
        }
        if (Byte(b, 0) != 0xFF) return;  // damaged, not cut short
        unsigned code = Byte(b, 1);
        while (code == 0xFF) {  // fill bytes
            if (!ReadExactly(d, 1, b)) {
                h.Truncated = true;
                return;
            }
            code = Byte(b, 0);
        }
        if (code == 0x01 || (code >= 0xD0 && code <= 0xD7)) continue;  // no length
        if (code == 0xD9) return;                                      // end of image
        if (!ReadExactly(d, 2, b) || Be16(b, 0) < 2) {
            h.Truncated = b.size() < 2;
            return;
        }
        const qint64 length = Be16(b, 0) - 2;
        const bool frame = code >= 0xC0 && code <= 0xCF && code != 0xC4 && code != 0xC8 && code != 0xCC;
        if (frame && !h.Size.isValid()) {
            if (!ReadExactly(d, 5, b)) {
                h.Truncated = true;
                return;
            }
            h.Size = QSize(static_cast<int>(Be16(b, 3)), static_cast<int>(Be16(b, 1)));
            if (!Skip(d, length - 5)) {
                h.Truncated = true;
                return;
            }
            continue;
        }
        if (!Skip(d, length)) {
            h.Truncated = true;
            return;
        }
        if (code == 0xDA) {  // start of scan: compressed data follows, which needs some bytes
            h.Truncated = d.pos() >= d.size();
            return;
        }
    }
}

}  // namespace

PictureHeader InspectPicture(QIODevice& device) {
    PictureHeader h;
    if (!device.seek(0)) return h;
    const QByteArray head = device.peek(8);
    const QByteArray pngSignature("\x89PNG\r\n\x1a\n", 8);
    if (head.size() >= 4 && head.size() < 8 && pngSignature.startsWith(head)) {
        h.Format = PictureFormat::Png;  // cut inside the signature
        h.Truncated = true;
    } else if (head.startsWith(pngSignature)) {
        h.Format = PictureFormat::Png;
        InspectPng(device, h);
    } else if (head.startsWith("GIF87a") || head.startsWith("GIF89a")) {
        h.Format = PictureFormat::Gif;
        InspectGif(device, h);
    } else if (head.startsWith("BM")) {
        h.Format = PictureFormat::Bmp;
        InspectBmp(device, h);
    } else if (head.size() >= 2 && Byte(head, 0) == 0xFF && Byte(head, 1) == 0xD8) {
        h.Format = PictureFormat::Jpeg;
        InspectJpeg(device, h);
    }
    return h;
}

const char* PictureFormatName(PictureFormat format) {
    switch (format) {
    case PictureFormat::Bmp: return "bmp";
    case PictureFormat::Gif: return "gif";
    case PictureFormat::Jpeg: return "jpeg";
    case PictureFormat::Png: return "png";
    case PictureFormat::Unknown: break;
    }
    return "";
}

}  // namespace tesselink
