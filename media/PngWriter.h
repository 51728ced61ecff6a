// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QString>

class QIODevice;

// Exports' PNG files: the Paeth filter on every row, in vector registers, and libdeflate's level 1
// over the whole picture, writing the chunks here; smaller and well under half the time of
// libspng at zlib's level 2 (png_encode_bench). Past 8 megapixels, bands of rows are deflated by
// zlib on every core into one stream and written as they are done, so memory stays bounded. The
// data goes to the device in IDAT chunks, one write each, so a write can be stopped midway.
class PngWriter {
public:
    // failure: the device's error when writing failed, else the compressor's.
    static bool write(const QImage& picture, QIODevice* device, QString* failure = nullptr);
};
