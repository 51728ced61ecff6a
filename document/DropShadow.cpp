// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "document/DropShadow.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstring>
#include <type_traits>

// The formats handled directly all keep alpha in the fourth byte of each pixel, which is the top
// byte of a 32-bit word on this byte order.
static_assert(std::endian::native == std::endian::little);

namespace {

// Four pixels or sums at a time, in the compiler's vector registers: at -O2 the compiler keeps
// loops scalar, and the alpha of half the picture's rows is summed on every update.
using FourWords = uint32_t __attribute__((vector_size(16)));

// Adds the alpha of count pixels to their columns' sums.
void addAlpha(const uint32_t* pixels, uint32_t* sums, int count) {
    int x = 0;
    for (; x + 4 <= count; x += 4) {
        FourWords alpha;
        FourWords sum;
        std::memcpy(&alpha, pixels + x, sizeof alpha);
        std::memcpy(&sum, sums + x, sizeof sum);
        sum += alpha >> 24;
        std::memcpy(sums + x, &sum, sizeof sum);
    }
    for (; x < count; ++x)
        sums[x] += pixels[x] >> 24;
}

bool hasAlphaInFourthByte(QImage::Format format) {
    switch (format) {
    case QImage::Format_ARGB32:
    case QImage::Format_ARGB32_Premultiplied:
    case QImage::Format_RGBA8888:
    case QImage::Format_RGBA8888_Premultiplied:
        return true;
    default:
        return false;
    }
}

bool isPremultiplied(QImage::Format format) {
    return format == QImage::Format_ARGB32_Premultiplied ||
           format == QImage::Format_RGBA8888_Premultiplied;
}

// One box pass over the mask's interior: each value becomes the mean of the 2 r + 1 values `step`
// apart around it (step 1 along rows, the stride along columns); the zero border stands for the
// outside. Plain sums of neighbours with a fixed radius vectorise, unlike running sums.
template <int radius>
void boxPass(const uint16_t* src, uint16_t* dst, int width, int height, ptrdiff_t stride,
             ptrdiff_t step) {
    constexpr uint32_t reciprocal = 65536 / (2 * radius + 1);
    for (int y = 0; y < height; ++y) {
        const uint16_t* in = src + y * stride;
        uint16_t* out = dst + y * stride;
        for (int x = 0; x < width; ++x) {
            // Five values of at most maskScale fit 16 bits, which vectorise twice as wide.
            std::conditional_t<radius <= 2, uint16_t, uint32_t> sum = 0;
            for (int k = -radius; k <= radius; ++k)
                sum += in[x + k * step];
            out[x] = uint16_t((sum * reciprocal) >> 16);
        }
    }
}

// By radius - 1.
constexpr std::array boxPassOfRadius{&boxPass<1>, &boxPass<2>, &boxPass<3>, &boxPass<4>};

constexpr double usualCellPoints = 4.0;

// NaN takes the lower bound.
double bounded(double value, double lowest, double highest) {
    return value > lowest ? std::min(value, highest) : lowest;
}

bool allOpaque(const uint32_t* pixels, int count) {
    uint32_t common = 0xFFFFFFFFu;
    for (int i = 0; i < count; ++i)
        common &= pixels[i];
    return common >= 0xFF000000u;
}

// A pixel of alpha a (1..254) with a shadow of alpha s (1..255) behind it.
uint32_t darkenedBehind(uint32_t pixel, uint32_t s, bool premultiplied) {
    const uint32_t a = pixel >> 24;
    const uint32_t combined = a + (s * (255 - a) + 127) / 255;
    uint32_t result = combined << 24;
    for (int shift = 0; shift < 24; shift += 8) {
        uint32_t channel = (pixel >> shift) & 0xFF;
        // The shadow is black: a straight colour keeps only its share of the combined alpha.
        if (!premultiplied)
            channel = (channel * a + combined / 2) / combined;
        result |= channel << shift;
    }
    return result;
}

} // namespace

DropShadow::DropShadow() {
    setBlurRadius(defaultBlurPoints);
}

void DropShadow::setOpacity(double opacity) {
    _opacity = bounded(opacity, 0.0, 1.0);
}

// The reach is cells x radius x passes: the radius grows with the blur, so that the cells stay
// near a size fine enough for a smooth edge and coarse enough to blur quickly.
void DropShadow::setBlurRadius(double points) {
    _blurPoints = bounded(points, minBlurPoints, maxBlurPoints);
    const int radius =
        std::clamp(int(std::lround(_blurPoints / (boxPasses * usualCellPoints))), 1, maxBoxRadius);
    const double cellPoints = _blurPoints / (boxPasses * radius);
    if (radius == _boxRadius && cellPoints == _cellPoints)
        return;
    _boxRadius = radius;
    _cellPoints = cellPoints;
    _pictureSize = QSize(); // the mask's layout changes with the next update
}

void DropShadow::setOffset(double points) {
    _offsetPoints = bounded(points, 0.0, maxOffsetPoints);
}

// The blur spreads over the blur radius; reducing to cells and interpolating them add a cell
// each.
int DropShadow::reach() const {
    return int(std::ceil(_blurPoints + 2 * _cellPoints + _offsetPoints)) + 1;
}

void DropShadow::update(const QImage& picture) {
    if (picture.isNull()) {
        resize(QSize(0, 0), 1.0);
        return;
    }
    if (!hasAlphaInFourthByte(picture.format())) {
        update(picture.convertToFormat(QImage::Format_ARGB32_Premultiplied));
        return;
    }
    if (picture.size() != _pictureSize || picture.devicePixelRatio() != _pixelsPerPoint)
        resize(picture.size(), picture.devicePixelRatio());
    if (_pictureSize.isEmpty())
        return;
    reduceAlpha(picture);
    blur();
    fillRowExtents();
}

void DropShadow::resize(QSize pictureSize, double pixelsPerPoint) {
    _pictureSize = pictureSize;
    _pixelsPerPoint = pixelsPerPoint;
    _cellPixels = std::max(1, int(std::lround(_cellPoints * pixelsPerPoint)));
    const int width = std::max(0, pictureSize.width());
    const int height = std::max(0, pictureSize.height());
    _maskWidth = (width + _cellPixels - 1) / _cellPixels;
    _maskHeight = (height + _cellPixels - 1) / _cellPixels;

    _maskStride = _maskWidth + 2 * _boxRadius;
    const size_t cells = size_t(_maskStride) * size_t(_maskHeight + 2 * _boxRadius);
    _mask.assign(cells, 0);
    _work.assign(cells, 0);
    _alphaSums.assign(width, 0);
    _zeroRow.assign(_maskWidth, 0);
    _rowFirst.assign(_maskHeight, 0);
    _rowLast.assign(_maskHeight, -1);
    _rowBuffer.assign(_maskWidth + 2, 0);

    // Bilinear sampling at pixel centres; the row buffer has one zero column on each side of the
    // mask, so index i + 1 there is mask column i and the mask fades to zero past its edges.
    _columnIndex.resize(width);
    _columnWeight.resize(width);
    for (int x = 0; x < width; ++x) {
        const double position = (x + 0.5) / _cellPixels - 0.5;
        const double left = std::floor(position);
        _columnIndex[x] = int(left) + 1;
        _columnWeight[x] = uint16_t(std::lround((position - left) * 256.0));
    }
}

uint16_t* DropShadow::maskRow(uint16_t* mask, int row) const {
    return mask + size_t(row + _boxRadius) * _maskStride + _boxRadius;
}

const uint16_t* DropShadow::maskRow(int row) const {
    return _mask.data() + size_t(row + _boxRadius) * _maskStride + _boxRadius;
}

// Averages the picture's alpha over each cell and scales it to the shadow's opacity.
// A row every two points is enough for a mask that is blurred over several cells, and halves the
// reading (quarters it at scale 2).
void DropShadow::reduceAlpha(const QImage& picture) {
    const int width = _pictureSize.width();
    const int height = _pictureSize.height();
    const int rowStep = std::max(1, int(std::lround(2 * _pixelsPerPoint)));
    const int firstRow = rowStep / 2;
    const int sampledRows = (_cellPixels - firstRow + rowStep - 1) / rowStep;
    const uint64_t scale =
        std::llround(_opacity * maskScale * 65536.0 / (255.0 * sampledRows * _cellPixels));
    for (int my = 0; my < _maskHeight; ++my) {
        std::fill(_alphaSums.begin(), _alphaSums.end(), 0);
        const int rowEnd = std::min(height, (my + 1) * _cellPixels);
        for (int y = my * _cellPixels + firstRow; y < rowEnd; y += rowStep)
            addAlpha(reinterpret_cast<const uint32_t*>(picture.constScanLine(y)), _alphaSums.data(),
                     width);
        uint16_t* cells = maskRow(_mask.data(), my);
        for (int mx = 0; mx < _maskWidth; ++mx) {
            const int columnEnd = std::min(width, (mx + 1) * _cellPixels);
            uint64_t sum = 0;
            for (int x = mx * _cellPixels; x < columnEnd; ++x)
                sum += _alphaSums[x];
            cells[mx] = uint16_t(std::min<uint64_t>((sum * scale + 32768) >> 16, maskScale));
        }
    }
}

void DropShadow::blur() {
    uint16_t* mask = maskRow(_mask.data(), 0);
    uint16_t* work = maskRow(_work.data(), 0);
    const auto boxPass = boxPassOfRadius[_boxRadius - 1];
    for (int pass = 0; pass < boxPasses; ++pass) {
        boxPass(mask, work, _maskWidth, _maskHeight, _maskStride, 1);
        boxPass(work, mask, _maskWidth, _maskHeight, _maskStride, _maskStride);
    }
}

void DropShadow::fillRowExtents() {
    for (int my = 0; my < _maskHeight; ++my) {
        const uint16_t* row = maskRow(my);
        int first = 0;
        while (first < _maskWidth && row[first] == 0)
            ++first;
        int last = _maskWidth - 1;
        while (last >= first && row[last] == 0)
            --last;
        _rowFirst[my] = first;
        _rowLast[my] = last;
    }
}

// Interpolates the mask vertically for one picture row into row (with its zero border), and
// returns the mask columns [first, last] that are non-zero; first > last when none is.
void DropShadow::verticalRow(int pictureRow, uint16_t* row, int& first, int& last) const {
    const double position =
        (pictureRow + 0.5 - _offsetPoints * _pixelsPerPoint) / _cellPixels - 0.5;
    const int above = int(std::floor(position));
    const int weightBelow = int(std::lround((position - above) * 256.0));
    const bool hasAbove = above >= 0 && above < _maskHeight;
    const bool hasBelow = above + 1 >= 0 && above + 1 < _maskHeight;
    first = _maskWidth;
    last = -1;
    if (hasAbove) {
        first = _rowFirst[above];
        last = _rowLast[above];
    }
    if (hasBelow) {
        first = std::min(first, _rowFirst[above + 1]);
        last = std::max(last, _rowLast[above + 1]);
    }
    if (first > last)
        return;
    const uint16_t* upper = hasAbove ? maskRow(above) : _zeroRow.data();
    const uint16_t* lower = hasBelow ? maskRow(above + 1) : _zeroRow.data();
    for (int mx = first; mx <= last; ++mx)
        row[mx + 1] =
            uint16_t((upper[mx] * (256 - weightBelow) + lower[mx] * weightBelow + 128) >> 8);
    row[first] = 0;
    row[last + 2] = 0;
}

void DropShadow::paintUnder(QImage& picture, const QRect& area) const {
    if (picture.size() != _pictureSize || _pictureSize.isEmpty())
        return;
    const QRect pixels = area.isNull() ? picture.rect() : area & picture.rect();
    if (!hasAlphaInFourthByte(picture.format()))
        picture.convertTo(QImage::Format_ARGB32_Premultiplied);
    const bool premultiplied = isPremultiplied(picture.format());
    uint16_t* row = _rowBuffer.data();
    for (int y = pixels.top(); y <= pixels.bottom(); ++y) {
        int first = 0;
        int last = 0;
        verticalRow(y, row, first, last);
        if (first > last)
            continue;
        // Picture columns whose interpolation touches a non-zero mask column.
        const auto begin = int(std::lower_bound(_columnIndex.begin(), _columnIndex.end(), first) -
                               _columnIndex.begin());
        const auto end = int(std::upper_bound(_columnIndex.begin(), _columnIndex.end(), last + 1) -
                             _columnIndex.begin());
        shadeSpan(reinterpret_cast<uint32_t*>(picture.scanLine(y)), row,
                  std::max(begin, pixels.left()), std::min(end, pixels.right() + 1), premultiplied);
    }
}

// Runs of opaque pixels (most of the sheet) are recognised a few at a time and left alone.
void DropShadow::shadeSpan(uint32_t* pixels, const uint16_t* row, int begin, int end,
                           bool premultiplied) const {
    constexpr int runLength = 16;
    const int* columnIndex = _columnIndex.data();
    const uint16_t* columnWeight = _columnWeight.data();
    for (int x = begin; x < end;) {
        const int runEnd = std::min(end, x + runLength);
        if (allOpaque(pixels + x, runEnd - x)) {
            x = runEnd;
            continue;
        }
        for (; x < runEnd; ++x) {
            const uint32_t pixel = pixels[x];
            if (pixel >= 0xFF000000u)
                continue;
            const int index = columnIndex[x];
            const uint32_t weight = columnWeight[x];
            const uint32_t interpolated = row[index] * (256 - weight) + row[index + 1] * weight;
            const uint32_t shade = (interpolated * 255 + maskScale * 128) / (maskScale * 256);
            if (shade == 0)
                continue;
            pixels[x] =
                pixel < 0x01000000u ? shade << 24 : darkenedBehind(pixel, shade, premultiplied);
        }
    }
}
