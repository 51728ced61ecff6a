// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/PngChunkWriter.h"

#include <QIODevice>
#include <QImage>

#include <algorithm>
#include <libdeflate.h>

namespace {

constexpr qsizetype idatLength = 256 * 1024;

void appendBigEndian(QByteArray& bytes, uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8)
        bytes.append(char((value >> shift) & 0xff));
}

QByteArray chunk(const char* type, const QByteArray& data) {
    QByteArray bytes;
    bytes.reserve(data.size() + 12);
    appendBigEndian(bytes, uint32_t(data.size()));
    bytes.append(type, 4);
    bytes.append(data);
    const uint32_t crc = libdeflate_crc32(0, bytes.constData() + 4, size_t(data.size()) + 4);
    appendBigEndian(bytes, crc);
    return bytes;
}

} // namespace

bool PngChunkWriter::writeHeader(const QImage& picture, bool alpha) {
    QByteArray bytes("\x89PNG\r\n\x1a\n", 8);
    QByteArray header;
    appendBigEndian(header, uint32_t(picture.width()));
    appendBigEndian(header, uint32_t(picture.height()));
    header.append(char(8));             // bits a sample
    header.append(char(alpha ? 6 : 2)); // RGBA or RGB
    header.append(3, char(0));          // deflate, adaptive filters, not interlaced
    bytes.append(chunk("IHDR", header));
    if (picture.dotsPerMeterX() > 0 && picture.dotsPerMeterY() > 0) {
        QByteArray resolution;
        appendBigEndian(resolution, uint32_t(picture.dotsPerMeterX()));
        appendBigEndian(resolution, uint32_t(picture.dotsPerMeterY()));
        resolution.append(char(1)); // a metre
        bytes.append(chunk("pHYs", resolution));
    }
    _failed = _failed || _device->write(bytes) != bytes.size();
    return !_failed;
}

bool PngChunkWriter::appendData(const uint8_t* data, size_t length) {
    while (length > 0 && !_failed) {
        const auto taken = std::min(size_t(idatLength - _pending.size()), length);
        const auto* bytes = reinterpret_cast<const char*>(data);
        if (_pending.isEmpty() && taken == size_t(idatLength)) {
            writeChunk("IDAT", QByteArray::fromRawData(bytes, idatLength));
        } else {
            _pending.append(bytes, qsizetype(taken));
            if (_pending.size() == idatLength) {
                writeChunk("IDAT", _pending);
                _pending.clear();
            }
        }
        data += taken;
        length -= taken;
    }
    return !_failed;
}

bool PngChunkWriter::finish() {
    if (!_pending.isEmpty())
        writeChunk("IDAT", _pending);
    return writeChunk("IEND", {});
}

bool PngChunkWriter::writeChunk(const char* type, const QByteArray& data) {
    if (!_failed) {
        const QByteArray bytes = chunk(type, data);
        _failed = _device->write(bytes) != bytes.size();
    }
    return !_failed;
}
