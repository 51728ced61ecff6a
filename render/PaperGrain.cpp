// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "render/PaperGrain.h"

#include <QPointF>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

namespace {

constexpr int noiseEdge = 1024;

// Two octaves of value noise, random texels and random cells of two texels filtered linearly,
// summed into one table that repeats seamlessly. A fixed seed gives every renderer, tile and
// export the same paper. Stored around one half, at the strength of full grain.
std::vector<uchar> makeNoise() {
    std::mt19937 generator(22);
    std::uniform_real_distribution<float> level(0.0f, 1.0f);
    constexpr int coarseEdge = noiseEdge / 2;
    std::vector<float> coarse(coarseEdge * coarseEdge);
    for (float& value : coarse)
        value = level(generator);
    const auto coarseAt = [&](int x, int y) {
        return coarse[size_t((y % coarseEdge) * coarseEdge + x % coarseEdge)];
    };
    std::vector<uchar> texels(noiseEdge * noiseEdge);
    for (int y = 0; y < noiseEdge; ++y) {
        for (int x = 0; x < noiseEdge; ++x) {
            const float fx = (x % 2) * 0.5f;
            const float fy = (y % 2) * 0.5f;
            const int cx = x / 2;
            const int cy = y / 2;
            const float smooth =
                (coarseAt(cx, cy) * (1 - fx) + coarseAt(cx + 1, cy) * fx) * (1 - fy) +
                (coarseAt(cx, cy + 1) * (1 - fx) + coarseAt(cx + 1, cy + 1) * fx) * fy;
            const float noise = 0.65f * smooth + 0.35f * level(generator);
            texels[size_t(y * noiseEdge + x)] =
                uchar(std::lround(255 * (0.5f + 0.3f * (noise - 0.5f))));
        }
    }
    return texels;
}

// The noise filtered linearly at a point of the paper, in noise cells; it repeats. Whole repeats
// added keep the point positive, so that truncating rounds down.
float noiseAt(const uchar* noise, float x, float y) {
    constexpr float repeats = 16 * noiseEdge;
    x += repeats - 0.5f;
    y += repeats - 0.5f;
    const int ix = int(x);
    const int iy = int(y);
    const float fx = x - float(ix);
    const float fy = y - float(iy);
    const int x0 = ix & (noiseEdge - 1);
    const int x1 = (ix + 1) & (noiseEdge - 1);
    const uchar* row0 = noise + size_t((iy & (noiseEdge - 1)) * noiseEdge);
    const uchar* row1 = noise + size_t(((iy + 1) & (noiseEdge - 1)) * noiseEdge);
    const float top = row0[x0] + float(row0[x1] - row0[x0]) * fx;
    const float bottom = row1[x0] + float(row1[x1] - row1[x0]) * fx;
    return (top + (bottom - top) * fy) / 255;
}

// Where a texture coordinate lies in the noise, in noise cells. The noise is turned off the
// paper's axes, so that its grid never lines up with them.
QPointF noisePoint(const PaperGrain::Placement& placement, double s, double t) {
    s = placement.mirrorS ? 1 - s : s;
    t = placement.mirrorT ? 1 - t : t;
    const double along = (placement.alongS ? s : t) * placement.paper.width() / PaperGrain::cell;
    const double across =
        ((placement.alongS ? t : s) - 0.5) * placement.paper.height() / PaperGrain::cell;
    return {0.8 * along - 0.6 * across, 0.6 * along + 0.8 * across};
}

} // namespace

// Texel (x, y) has its centre at texture coordinate ((x + 0.5) / width, (y + 0.5) / height); the
// noise point moves by the same step from one texel to the next. Each texel takes the noise's mean
// over its share of the paper, from four points spread over it.
void PaperGrain::bake(QImage& texels, float amount, const Placement& placement) {
    static const std::vector<uchar> noise = makeNoise();
    const int channels = texels.format() == QImage::Format_RGBA8888 ? 4 : 3;
    const int width = texels.width();
    const int height = texels.height();
    const QPointF first = noisePoint(placement, 0.5 / width, 0.5 / height);
    const QPointF stepX = noisePoint(placement, 1.5 / width, 0.5 / height) - first;
    const QPointF stepY = noisePoint(placement, 0.5 / width, 1.5 / height) - first;
    struct Spread {
        float x, y;
    };
    const Spread a{float(stepX.x() + stepY.x()) / 4, float(stepX.y() + stepY.y()) / 4};
    const Spread b{float(stepX.x() - stepY.x()) / 4, float(stepX.y() - stepY.y()) / 4};
    const uchar* table = noise.data();
    for (int y = 0; y < height; ++y) {
        uchar* texel = texels.scanLine(y);
        const QPointF rowStart = first + stepY * y;
        for (int x = 0; x < width; ++x, texel += channels) {
            const float u = float(rowStart.x() + stepX.x() * x);
            const float v = float(rowStart.y() + stepX.y() * x);
            const float mean =
                (noiseAt(table, u + a.x, v + a.y) + noiseAt(table, u - a.x, v - a.y) +
                 noiseAt(table, u + b.x, v + b.y) + noiseAt(table, u - b.x, v - b.y)) /
                4;
            const float factor = 1 + amount * (mean - 0.5f);
            for (int c = 0; c < 3; ++c)
                texel[c] = uchar(std::min(255, int(texel[c] * factor + 0.5f)));
        }
    }
}
