// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "document/SheetMesh.h"
#include "media/GltfWriter.h"

#include <benchmark/benchmark.h>

namespace {

const QSizeF a4Points(841.89, 595.28);

SheetFold standingLetter() {
    SheetFold fold(FoldLayout::hinged(FoldLayout::Shape::letter), {842.0, 595.0});
    fold.setPose(HingedFold::Pose::presentation);
    return fold;
}

// The solid of a standing letter fold, with its arcs.
void sheetMesh(benchmark::State& state) {
    const SheetFold fold = standingLetter();
    for (auto _ : state)
        benchmark::DoNotOptimize(SheetMesh::build(fold, a4Points, true));
}
BENCHMARK(sheetMesh);

// A whole GLB at 1x and 4x of an A4 sheet: the picture's JPEG is nearly all of it.
void glbModel(benchmark::State& state) {
    PaperModel model = SheetMesh::build(standingLetter(), a4Points, true);
    const int scale = int(state.range(0));
    QImage picture(842 * scale, 595 * scale, QImage::Format_RGB32);
    for (int y = 0; y < picture.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(picture.scanLine(y));
        for (int x = 0; x < picture.width(); ++x)
            row[x] = qRgb(x * 7 % 256, y * 3 % 256, (x ^ y) % 256);
    }
    model.frontPicture = picture;
    for (auto _ : state)
        benchmark::DoNotOptimize(GltfWriter::encode(model, GltfWriter::Container::binary));
}
BENCHMARK(glbModel)->Arg(1)->Arg(4)->Unit(benchmark::kMillisecond);

} // namespace
