// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
//
// PNG encoding of one command-line export (a 1200 x 900 JPEG photograph folded at 1x: the sheet
// with JPEG grain inside a transparent margin), by Qt's writer as exports use it today and by
// libspng with each of its row filter choices and a few zlib levels. Reports the time and, as the
// counter "bytes", the file's size; and PngWriter, the choice made from these.
#include "media/PictureEncoder.h"
#include "media/PngWriter.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>
#include <spng.h>
#include <zlib.h>

namespace {

QImage exportLikePicture() {
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
    const QImage decoded = QImage::fromData(jpeg, "JPEG");
    QImage picture(1100, 830, QImage::Format_ARGB32);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(QRect(60, 50, 980, 735), decoded);
    painter.end();
    return picture;
}

const QImage& picture() {
    static const QImage kept = exportLikePicture();
    return kept;
}

void qtWriter(benchmark::State& state) {
    QByteArray data;
    for (auto _ : state) {
        data.clear();
        QBuffer buffer(&data);
        buffer.open(QIODevice::WriteOnly);
        PictureEncoder::writeImage(picture(), &buffer, "PNG", {-1, int(state.range(0))});
    }
    state.counters["bytes"] = double(data.size());
}

void spngWriter(benchmark::State& state) {
    size_t size = 0;
    for (auto _ : state) {
        const QImage rgba = picture().convertToFormat(QImage::Format_RGBA8888);
        spng_ctx* context = spng_ctx_new(SPNG_CTX_ENCODER);
        spng_set_option(context, SPNG_ENCODE_TO_BUFFER, 1);
        spng_set_option(context, SPNG_FILTER_CHOICE, int(state.range(0)));
        spng_set_option(context, SPNG_IMG_COMPRESSION_LEVEL, int(state.range(1)));
        spng_ihdr header{};
        header.width = uint32_t(rgba.width());
        header.height = uint32_t(rgba.height());
        header.bit_depth = 8;
        header.color_type = SPNG_COLOR_TYPE_TRUECOLOR_ALPHA;
        spng_set_ihdr(context, &header);
        spng_encode_image(context, rgba.constBits(), size_t(rgba.sizeInBytes()), SPNG_FMT_PNG,
                          SPNG_ENCODE_FINALIZE);
        int error = 0;
        void* png = spng_get_png_buffer(context, &size, &error);
        benchmark::DoNotOptimize(png);
        std::free(png);
        spng_ctx_free(context);
    }
    state.counters["bytes"] = double(size);
}

// What exports use now, from the premultiplied picture the export steps leave.
void pngWriter(benchmark::State& state) {
    const QImage premultiplied = picture().convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QByteArray data;
    for (auto _ : state) {
        data.clear();
        QBuffer buffer(&data);
        buffer.open(QIODevice::WriteOnly);
        PngWriter::write(premultiplied, &buffer);
    }
    state.counters["bytes"] = double(data.size());
}

} // namespace

BENCHMARK(pngWriter)->Unit(benchmark::kMillisecond);
// Qt's compression 11 is zlib level 1, what exports use; 50 is about zlib's default.
BENCHMARK(qtWriter)->Arg(11)->Arg(50)->Unit(benchmark::kMillisecond);
BENCHMARK(spngWriter)
    ->ArgsProduct({{SPNG_FILTER_CHOICE_ALL, SPNG_FILTER_CHOICE_NONE, SPNG_FILTER_CHOICE_SUB,
                    SPNG_FILTER_CHOICE_UP, SPNG_FILTER_CHOICE_PAETH},
                   {1}})
    ->Args({SPNG_FILTER_CHOICE_PAETH | SPNG_FILTER_CHOICE_SUB, 1})
    ->Args({SPNG_FILTER_CHOICE_PAETH | SPNG_FILTER_CHOICE_UP, 1})
    ->Args({SPNG_FILTER_CHOICE_PAETH, 2})
    ->Args({SPNG_FILTER_CHOICE_SUB, 2})
    ->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
