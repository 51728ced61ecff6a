// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>

#include <cstddef>
#include <cstdint>

class QImage;
class QIODevice;

// A PNG file's chunks, each with libdeflate's CRC-32, written to a device: the signature and
// header, the zlib stream in IDAT chunks and the end. Each chunk is one write, so a stopped export
// ends within one chunk; the first failed write ends the file.
class PngChunkWriter {
public:
    explicit PngChunkWriter(QIODevice* device) : _device(device) {}

    // The signature, IHDR for 8-bit RGBA or RGB and, when the picture has one, the resolution
    // Qt's writer records too.
    bool writeHeader(const QImage& picture, bool alpha);
    // More of the zlib stream, sent on in IDAT chunks as they fill.
    bool appendData(const uint8_t* data, size_t length);
    // The last IDAT chunk and IEND.
    bool finish();

private:
    bool writeChunk(const char* type, const QByteArray& data);

    QIODevice* _device;
    QByteArray _pending;
    bool _failed = false;
};
