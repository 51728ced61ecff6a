// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QString>

class QIODevice;

// Exports' PNG files, through libspng: with the Paeth filter on every row and zlib's level 2 it
// encodes an export faster than Qt's writer at zlib's level 1 with libpng's adaptive filters,
// and the file is a few percent smaller (png_encode_bench). The data is streamed to the device
// as it is made, so a write can be stopped midway.
class PngWriter {
public:
    // failure: the device's error when writing failed, else libspng's.
    static bool write(const QImage& picture, QIODevice* device, QString* failure = nullptr);
};
