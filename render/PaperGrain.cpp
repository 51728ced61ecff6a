// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "render/PaperGrain.h"

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

namespace {

constexpr int noiseEdge = 1024;

// Two octaves of value noise, random texels and random cells of two texels filtered linearly,
// summed into one table that repeats seamlessly. A fixed seed gives every renderer, tile and
// export the same paper. Stored around one half, at the strength of full grain.
std::vector<float> makeNoise() {
    std::mt19937 generator(22);
    std::uniform_real_distribution<float> level(0.0f, 1.0f);
    constexpr int coarseEdge = noiseEdge / 2;
    std::vector<float> coarse(coarseEdge * coarseEdge);
    for (float& value : coarse)
        value = level(generator);
    const auto coarseAt = [&](int x, int y) {
        return coarse[size_t((y % coarseEdge) * coarseEdge + x % coarseEdge)];
    };
    std::vector<float> texels(noiseEdge * noiseEdge);
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
                std::round(255 * (0.5f + 0.3f * (noise - 0.5f))) / 255.0f;
        }
    }
    return texels;
}

// The noise filtered linearly at a point of the paper, in noise cells; it repeats.
float noiseAt(const std::vector<float>& noise, float x, float y) {
    const float fx = x - 0.5f - std::floor(x - 0.5f);
    const float fy = y - 0.5f - std::floor(y - 0.5f);
    const int x0 = int(std::floor(x - 0.5f)) & (noiseEdge - 1);
    const int y0 = int(std::floor(y - 0.5f)) & (noiseEdge - 1);
    const int x1 = (x0 + 1) & (noiseEdge - 1);
    const int y1 = (y0 + 1) & (noiseEdge - 1);
    const auto at = [&](int i, int j) { return noise[size_t(j * noiseEdge + i)]; };
    return (at(x0, y0) * (1 - fx) + at(x1, y0) * fx) * (1 - fy) +
           (at(x0, y1) * (1 - fx) + at(x1, y1) * fx) * fy;
}

// The noise's mean over a texel, from four points spread over it (a texel's size on the paper
// along and across, in noise cells): the texel shows the grain of all the paper it covers. The
// noise is turned off the paper's axes, so that its grid never lines up with them.
float meanNoise(const std::vector<float>& noise, float along, float across, float stepAlong,
                float stepAcross) {
    float sum = 0;
    for (const float a : {along - 0.25f * stepAlong, along + 0.25f * stepAlong}) {
        for (const float c : {across - 0.25f * stepAcross, across + 0.25f * stepAcross})
            sum += noiseAt(noise, 0.8f * a - 0.6f * c, 0.6f * a + 0.8f * c);
    }
    return sum / 4;
}

} // namespace

// Texel (x, y) has its centre at texture coordinate ((x + 0.5) / width, (y + 0.5) / height).
void PaperGrain::bake(QImage& texels, float amount, const Placement& placement) {
    static const std::vector<float> noise = makeNoise();
    const int channels = texels.format() == QImage::Format_RGBA8888 ? 4 : 3;
    const int width = texels.width();
    const int height = texels.height();
    const float length = float(placement.paper.width()) / cell;
    const float breadth = float(placement.paper.height()) / cell;
    const float stepAlong = length / (placement.alongS ? width : height);
    const float stepAcross = breadth / (placement.alongS ? height : width);
    for (int y = 0; y < height; ++y) {
        float t = (y + 0.5f) / height;
        t = placement.mirrorT ? 1 - t : t;
        uchar* texel = texels.scanLine(y);
        for (int x = 0; x < width; ++x, texel += channels) {
            float s = (x + 0.5f) / width;
            s = placement.mirrorS ? 1 - s : s;
            const float along = (placement.alongS ? s : t) * length;
            const float across = ((placement.alongS ? t : s) - 0.5f) * breadth;
            const float factor =
                1 + amount * (meanNoise(noise, along, across, stepAlong, stepAcross) - 0.5f);
            for (int c = 0; c < 3; ++c)
                texel[c] = uchar(std::min(255.0f, std::round(texel[c] * factor)));
        }
    }
}
