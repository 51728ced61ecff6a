// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/PngWriter.h"

#include <QCoreApplication>
#include <QIODevice>

#include <memory>
#include <spng.h>

namespace {

constexpr int compressionLevel = 2;

int writeToDevice(spng_ctx*, void* user, void* data, size_t length) {
    auto* device = static_cast<QIODevice*>(user);
    const qint64 written = device->write(static_cast<const char*>(data), qint64(length));
    return written == qint64(length) ? 0 : SPNG_IO_ERROR;
}

QString failureText(int error, const QIODevice* device) {
    if (error == SPNG_IO_ERROR && !device->errorString().isEmpty())
        return device->errorString();
    return QCoreApplication::translate("PngWriter", "The PNG encoder failed: %1")
        .arg(QString::fromUtf8(spng_strerror(error)));
}

} // namespace

bool PngWriter::write(const QImage& picture, QIODevice* device, QString* failure) {
    // Straight alpha, as PNG stores it; a picture without alpha is stored without.
    const bool alpha = picture.hasAlphaChannel();
    const QImage pixels =
        picture.convertToFormat(alpha ? QImage::Format_RGBA8888 : QImage::Format_RGB888);
    const std::unique_ptr<spng_ctx, decltype(&spng_ctx_free)> context(
        spng_ctx_new(SPNG_CTX_ENCODER), &spng_ctx_free);
    spng_ihdr header{};
    header.width = uint32_t(pixels.width());
    header.height = uint32_t(pixels.height());
    header.bit_depth = 8;
    header.color_type = alpha ? SPNG_COLOR_TYPE_TRUECOLOR_ALPHA : SPNG_COLOR_TYPE_TRUECOLOR;
    // The resolution Qt's writer records too.
    spng_phys resolution{uint32_t(pixels.dotsPerMeterX()), uint32_t(pixels.dotsPerMeterY()), 1};
    int error = spng_set_png_stream(context.get(), writeToDevice, device);
    if (!error)
        error = spng_set_option(context.get(), SPNG_FILTER_CHOICE, SPNG_FILTER_CHOICE_PAETH);
    if (!error)
        error = spng_set_option(context.get(), SPNG_IMG_COMPRESSION_LEVEL, compressionLevel);
    if (!error)
        error = spng_set_ihdr(context.get(), &header);
    if (!error && resolution.ppu_x > 0 && resolution.ppu_y > 0)
        error = spng_set_phys(context.get(), &resolution);
    // Row by row: the picture's lines are padded to 4 bytes, the encoder's are not.
    if (!error)
        error = spng_encode_image(context.get(), nullptr, 0, SPNG_FMT_PNG,
                                  SPNG_ENCODE_PROGRESSIVE | SPNG_ENCODE_FINALIZE);
    const size_t rowLength = size_t(pixels.width()) * (alpha ? 4 : 3);
    for (int y = 0; !error && y < pixels.height(); ++y)
        error = spng_encode_row(context.get(), pixels.constScanLine(y), rowLength);
    if (error == SPNG_EOI)
        error = 0;
    if (error && failure)
        *failure = failureText(error, device);
    return !error;
}
