// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
//
// One frame pass with its capture: what every drag step of a document pays; beside it the bare
// floor of the same frame size (BareFloor.h).
#include "BareFloor.h"
#include "fold/PanelFoldModel.h"
#include "render/SheetRenderer.h"

#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

struct Document {
    QSizeF imageSize; // sheet size in points
    QSize pixelSize;  // the opened image
};

// Sheets whose document windows truncate to 957 x 600 and 1577 x 878 points.
Document documentForFrameWidth(int frameWidth) {
    if (frameWidth == 957)
        return {QSizeF(640, 480), QSize(640, 480)};
    return {QSizeF(1053.6, 702.4), QSize(3000, 2000)};
}

QImage gradientImage(QSize size) {
    QImage image(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y) {
        QRgb* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < size.width(); ++x)
            row[x] = qRgb(x * 255 / size.width(), y * 255 / size.height(), 128);
    }
    return image;
}

// Both tents raised toward the viewer, as in the middle of a drag.
void pushRaisedTents(SheetRenderer& view, QSizeF imageSize) {
    const double w = imageSize.width();
    const double shares[7] = {0, 0.15, 0.3, 0.5, 0.7, 0.85, 1};
    const double compression = 0.08 * w;
    const double outer = 0.15 * w;
    const double inner = 0.2 * w;
    const double base = 0.35 * w - compression;
    const double along = (base * base + outer * outer - inner * inner) / (2 * base);
    const double height = std::sqrt(outer * outer - along * along);
    const QPointF vertices[7] = {
        {compression, 0},
        {0.15 * w + compression, 0},
        {0.15 * w + compression + along, height},
        {0.5 * w, 0},
        {0.85 * w - compression - along, height},
        {0.85 * w - compression, 0},
        {w - compression, 0},
    };
    for (int i = 0; i < 7; ++i) {
        view.setCreasePoint(float(w * shares[i]), i);
        view.setCoordinates(vertices[i], i);
    }
    view.setImageSize(imageSize);
}

void BM_FramePassWithCapture(benchmark::State& state) {
    const Document document = documentForFrameWidth(int(state.range(0)));
    const double scale = double(state.range(1));
    const QSizeF window(document.imageSize.width() * 1.496662974357605,
                        document.imageSize.height() * 1.25);
    std::unique_ptr<SheetRenderer> view = SheetRenderer::create(window, scale);
    if (!view || !view->setImage(gradientImage(document.pixelSize))) {
        state.SkipWithError("no OpenGL renderer");
        return;
    }
    pushRaisedTents(*view, document.imageSize);
    view->setPitch(20);
    view->setShading(float(state.range(2)) / 100);

    for (auto _ : state) {
        view->display();
        const QImage frame = view->captureFrame();
        benchmark::DoNotOptimize(frame.constBits());
    }
}

// A fold's own surface with each crease bent on an arc of `arcPoints` points either side, beside
// the same fold drawn between its lines (arcPoints 0); the back shows a picture, as a hinged fold
// seen from behind does.
void BM_SurfaceFramePass(benchmark::State& state) {
    const Document document = documentForFrameWidth(1577);
    const int arcPoints = int(state.range(0));
    const QSizeF window(document.imageSize.width() * 1.496662974357605,
                        document.imageSize.height() * 1.25);
    std::unique_ptr<SheetRenderer> view = SheetRenderer::create(window, 1.0);
    const QImage picture = gradientImage(document.pixelSize);
    if (!view || !view->setImage(picture) || !view->setBackImage(picture.mirrored())) {
        state.SkipWithError("no OpenGL renderer");
        return;
    }
    PanelFoldModel fold(FoldLayout::accordion(3),
                        {document.imageSize.width(), document.imageSize.height()});
    fold.moveLine(1, {80, 0}, 0.0f);
    view->setImageSize(document.imageSize);
    view->setFold(fold);
    // Points a thousandth of a panel apart along each facet next to each crease.
    std::vector<HingedFold::SurfacePoint> surface;
    for (int line = 0; line < fold.lineCount(); ++line) {
        const FoldPoint at = fold.profile()[line];
        const double paper = fold.creases()[line];
        for (int k = -arcPoints; k <= arcPoints; ++k) {
            const int next = k < 0 ? line - 1 : line + 1;
            if (k != 0 && (next < 0 || next >= fold.lineCount()))
                continue;
            const double share = k == 0 ? 0.0 : std::abs(k) * 0.001;
            const FoldPoint toward = k == 0 ? at : fold.profile()[next];
            const double towardPaper = k == 0 ? paper : fold.creases()[next];
            surface.push_back(
                {paper + (towardPaper - paper) * share,
                 {at.x + (toward.x - at.x) * share, at.y + (toward.y - at.y) * share}});
        }
    }
    std::sort(surface.begin(), surface.end(),
              [](const auto& a, const auto& b) { return a.paper < b.paper; });
    if (arcPoints > 0)
        view->setSurface(surface, 0.283);
    PaperLook look;
    look.back = PaperLook::Back::picture;
    view->setPaperLook(look);
    view->setPitch(20);

    for (auto _ : state) {
        view->display();
        const QImage frame = view->captureFrame();
        benchmark::DoNotOptimize(frame.constBits());
    }
    state.counters["points"] = double(arcPoints > 0 ? surface.size() : fold.lineCount());
}

// The floor for the same frame and sheet as the frame pass.
void BM_BareFloor(benchmark::State& state) {
    const Document document = documentForFrameWidth(int(state.range(0)));
    const double scale = double(state.range(1));
    const QSize frame(qRound(int(document.imageSize.width() * 1.496662974357605) * scale),
                      qRound(int(document.imageSize.height() * 1.25) * scale));
    measureBareFloor(state, frame, (document.imageSize * scale).toSize());
}

} // namespace

BENCHMARK(BM_BareFloor)
    ->ArgNames({"frame", "scale"})
    ->Args({957, 1})
    ->Args({957, 2})
    ->Args({1577, 1})
    ->Args({1577, 2})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// Arguments: frame width in points, backing scale, shading in percent. GL rasterises on worker
// threads, so wall time is what counts.
BENCHMARK(BM_FramePassWithCapture)
    ->ArgNames({"frame", "scale", "shading"})
    ->Args({957, 1, 0})
    ->Args({957, 2, 0})
    ->Args({1577, 1, 0})
    ->Args({1577, 1, 100})
    ->Args({1577, 2, 0})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// Argument: the points an arc has either side of its crease; 0 draws between the lines alone.
BENCHMARK(BM_SurfaceFramePass)
    ->ArgNames({"arcPoints"})
    ->Arg(0)
    ->Arg(8)
    ->Arg(32)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
