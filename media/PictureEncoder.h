// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

#include <memory>

class QIODevice;
class QMimeData;

// Turns a picture (its device pixel ratio gives its size in points) into the data Pleatora hands
// out: encoded image files, a one-page PDF, and the clipboard's MIME data.
namespace PictureEncoder {

// How hard an image format works, as QImageWriter takes it: a quality (0..100, JPEG and WebP) or
// a compression (PNG: 0..100 onto zlib's levels 0..9; TIFF: 1 for LZW); -1 leaves the default.
struct ImageSettings {
    int quality = -1;
    int compression = -1;
};

// Writes the picture to device in an image format Qt can write ("PNG", "TIFF", ...); failure:
// the writer's reason.
bool writeImage(const QImage& picture, QIODevice* device, const char* format,
                ImageSettings settings = {}, QString* failure = nullptr);

// Writes one page the picture's size in points, no margins, the picture covering it. Write
// failures show on the device.
void writePdf(const QImage& picture, QIODevice* device);

// The picture in an image format Qt can write; empty when it cannot.
QByteArray encodedData(const QImage& picture, const char* format);

// The one-page PDF in memory.
QByteArray pdfData(const QImage& picture);

// "PDF" (exactly) gives application/pdf; any other format the image itself, also offered as
// image/png and image/tiff where those encoders exist.
std::unique_ptr<QMimeData> mimeDataWithFormat(const QImage& picture, const QString& format);

} // namespace PictureEncoder
