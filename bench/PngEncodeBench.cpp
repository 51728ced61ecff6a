// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
//
// PNG encoding of three pictures: one command-line export (a 1200 x 900 JPEG photograph folded at
// 1x: the sheet with JPEG grain inside a transparent margin), the opaque photograph alone and a
// screenshot-like picture of flat panels and thin lines. Each goes through PngWriter and through
// the libspng writer it replaced (Paeth, zlib level 2), in the same run; the row filters alone;
// each filter with libdeflate; and, past PngWriter's whole-picture limit, zlib's bands on every
// core against libdeflate on one. Reports the time and, as the counter "bytes", the file's size.
#include "media/PngRowFilter.h"
#include "media/PngWriter.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>
#include <libdeflate.h>
#include <spng.h>

#include <cstdlib>
#include <vector>

namespace {

QImage photograph() {
    QImage photo(1200, 900, QImage::Format_RGB32);
    for (int y = 0; y < 900; ++y) {
        auto* line = reinterpret_cast<QRgb*>(photo.scanLine(y));
        for (int x = 0; x < 1200; ++x)
            line[x] = qRgb(x % 256, (y * 3 + x / 5) % 256, (x ^ y) % 256);
    }
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    photo.save(&buffer, "JPEG", 85);
    return QImage::fromData(jpeg, "JPEG").convertToFormat(QImage::Format_RGB32);
}

QImage exportLike(QSize size) {
    QImage picture(size, QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(QRectF(size.width() * 0.055, size.height() * 0.06, size.width() * 0.89,
                             size.height() * 0.885),
                      photograph());
    return picture;
}

QImage screenshot() {
    QImage picture(1280, 800, QImage::Format_RGB32);
    picture.fill(QColor(246, 245, 244));
    QPainter painter(&picture);
    painter.fillRect(0, 0, 1280, 36, QColor(53, 132, 228));
    painter.fillRect(0, 36, 240, 764, QColor(235, 235, 235));
    for (int row = 0; row < 30; ++row) {
        const int y = 60 + row * 24;
        painter.fillRect(260, y, 200 + (row * 97) % 700, 10, QColor(60, 60, 60));
        painter.fillRect(20, y, 120 + (row * 31) % 90, 8, QColor(90, 90, 90));
        painter.setPen(QColor(210, 210, 210));
        painter.drawLine(250, y + 16, 1270, y + 16);
    }
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(QColor(224, 27, 36));
    painter.drawEllipse(QPointF(1100, 600), 90, 90);
    return picture;
}

enum Picture { ExportPicture, Photo, Screenshot, LargeExport };

const QImage& picture(int which) {
    static const QImage pictures[] = {exportLike({1100, 830}), photograph(), screenshot(),
                                      exportLike({3600, 2500})};
    return pictures[which];
}

void setPictureLabel(benchmark::State& state, int which) {
    static const char* names[] = {"export", "photo", "screenshot", "9 MP export"};
    state.SetLabel(names[which]);
}

void pngWriter(benchmark::State& state) {
    const auto which = int(state.range(0));
    QByteArray data;
    for (auto _ : state) {
        data.clear();
        QBuffer buffer(&data);
        buffer.open(QIODevice::WriteOnly);
        PngWriter::write(picture(which), &buffer);
    }
    state.counters["bytes"] = double(data.size());
    setPictureLabel(state, which);
}

int writeToBuffer(spng_ctx*, void* user, void* data, size_t length) {
    static_cast<QBuffer*>(user)->write(static_cast<const char*>(data), qint64(length));
    return 0;
}

// The writer PngWriter replaced: libspng, Paeth on every row, zlib level 2, row by row.
void libspngWriter(benchmark::State& state) {
    const auto which = int(state.range(0));
    QByteArray data;
    for (auto _ : state) {
        data.clear();
        QBuffer buffer(&data);
        buffer.open(QIODevice::WriteOnly);
        const bool alpha = picture(which).hasAlphaChannel();
        const QImage pixels =
            picture(which).convertToFormat(alpha ? QImage::Format_RGBA8888 : QImage::Format_RGB888);
        spng_ctx* context = spng_ctx_new(SPNG_CTX_ENCODER);
        spng_set_png_stream(context, writeToBuffer, &buffer);
        spng_set_option(context, SPNG_FILTER_CHOICE, SPNG_FILTER_CHOICE_PAETH);
        spng_set_option(context, SPNG_IMG_COMPRESSION_LEVEL, 2);
        spng_ihdr header{};
        header.width = uint32_t(pixels.width());
        header.height = uint32_t(pixels.height());
        header.bit_depth = 8;
        header.color_type = alpha ? SPNG_COLOR_TYPE_TRUECOLOR_ALPHA : SPNG_COLOR_TYPE_TRUECOLOR;
        spng_set_ihdr(context, &header);
        spng_encode_image(context, nullptr, 0, SPNG_FMT_PNG,
                          SPNG_ENCODE_PROGRESSIVE | SPNG_ENCODE_FINALIZE);
        const size_t rowLength = size_t(pixels.width()) * (alpha ? 4 : 3);
        for (int y = 0; y < pixels.height(); ++y)
            spng_encode_row(context, pixels.constScanLine(y), rowLength);
        spng_ctx_free(context);
    }
    state.counters["bytes"] = double(data.size());
    setPictureLabel(state, which);
}

// Paeth, Sub or Up on every row, or per row whichever of Sub and Up leaves the smaller sum of
// bytes taken as signed, the usual guess at what compresses best.
enum FilterChoice { None, Sub, Up, Paeth, SubOrUp };

size_t signedSum(const uint8_t* bytes, size_t length) {
    size_t sum = 0;
    for (size_t i = 0; i < length; ++i)
        sum += size_t(std::abs(int(int8_t(bytes[i]))));
    return sum;
}

std::vector<uint8_t> filtered(const QImage& pixels, FilterChoice choice) {
    const size_t length = size_t(pixels.width()) * size_t(pixels.depth() / 8);
    const int pixelBytes = pixels.depth() / 8;
    std::vector<uint8_t> out((length + 1) * size_t(pixels.height()));
    std::vector<uint8_t> other(length + 1);
    for (int y = 0; y < pixels.height(); ++y) {
        const uint8_t* row = pixels.constScanLine(y);
        const uint8_t* above = y > 0 ? pixels.constScanLine(y - 1) : nullptr;
        uint8_t* target = out.data() + (length + 1) * size_t(y);
        using Type = PngRowFilter::Type;
        if (choice != SubOrUp) {
            const Type types[] = {Type::None, Type::Sub, Type::Up, Type::Paeth};
            PngRowFilter::filter(types[choice], row, above, length, pixelBytes, target);
            continue;
        }
        PngRowFilter::filter(Type::Sub, row, above, length, pixelBytes, target);
        PngRowFilter::filter(Type::Up, row, above, length, pixelBytes, other.data());
        if (signedSum(other.data() + 1, length) < signedSum(target + 1, length))
            std::copy(other.begin(), other.end(), target);
    }
    return out;
}

QImage pngPixels(const QImage& picture) {
    return picture.convertToFormat(picture.hasAlphaChannel() ? QImage::Format_RGBA8888
                                                             : QImage::Format_RGB888);
}

// The filter step alone, on the picture as PNG stores it.
void rowFilter(benchmark::State& state) {
    const QImage pixels = pngPixels(picture(int(state.range(0))));
    for (auto _ : state)
        benchmark::DoNotOptimize(filtered(pixels, FilterChoice(state.range(1))).data());
    setPictureLabel(state, int(state.range(0)));
}

// A filter, then libdeflate's zlib stream of the whole picture on one core at a level.
void filterAndLibdeflate(benchmark::State& state) {
    const QImage pixels = pngPixels(picture(int(state.range(0))));
    size_t size = 0;
    for (auto _ : state) {
        const std::vector<uint8_t> rows = filtered(pixels, FilterChoice(state.range(1)));
        libdeflate_compressor* compressor = libdeflate_alloc_compressor(int(state.range(2)));
        std::vector<uint8_t> out(libdeflate_zlib_compress_bound(compressor, rows.size()));
        size =
            libdeflate_zlib_compress(compressor, rows.data(), rows.size(), out.data(), out.size());
        libdeflate_free_compressor(compressor);
    }
    state.counters["bytes"] = double(size);
    setPictureLabel(state, int(state.range(0)));
}

} // namespace

// The processor time of every thread, bands included.
BENCHMARK(pngWriter)
    ->DenseRange(ExportPicture, LargeExport)
    ->MeasureProcessCPUTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(libspngWriter)->DenseRange(ExportPicture, LargeExport)->Unit(benchmark::kMillisecond);
BENCHMARK(rowFilter)
    ->ArgsProduct({{ExportPicture}, {None, Sub, Up, Paeth, SubOrUp}})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(filterAndLibdeflate)
    ->ArgsProduct({{ExportPicture, Photo, Screenshot}, {Sub, Up, Paeth, SubOrUp}, {1}})
    ->ArgsProduct({{ExportPicture, Screenshot}, {Paeth}, {2, 3}})
    ->Args({LargeExport, Paeth, 1})
    ->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
