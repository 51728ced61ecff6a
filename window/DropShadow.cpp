#include "DropShadow.h"

#include <algorithm>
#include <bit>
#include <cmath>

// The formats handled directly all keep alpha in the fourth byte of each pixel.
static_assert(std::endian::native == std::endian::little);

namespace {

constexpr int alphaByte = 3;

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

void transpose(const uint16_t* src, uint16_t* dst, int width, int height) {
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            dst[size_t(x) * height + y] = src[size_t(y) * width + x];
}

// One box pass along columns, a whole row at a time so the inner loop runs over contiguous data.
void boxColumns(const uint16_t* src, uint16_t* dst, int width, int height, int radius,
                std::vector<uint32_t>& sums) {
    const uint32_t reciprocal = (65536 + radius) / (2 * radius + 1);
    std::fill(sums.begin(), sums.begin() + width, 0u);
    for (int y = 0; y < std::min(radius, height); ++y) {
        const uint16_t* in = src + size_t(y) * width;
        for (int x = 0; x < width; ++x)
            sums[x] += in[x];
    }
    for (int y = 0; y < height; ++y) {
        if (y + radius < height) {
            const uint16_t* in = src + size_t(y + radius) * width;
            for (int x = 0; x < width; ++x)
                sums[x] += in[x];
        }
        uint16_t* out = dst + size_t(y) * width;
        for (int x = 0; x < width; ++x)
            out[x] = uint16_t((sums[x] * reciprocal + 32768) >> 16);
        if (y - radius >= 0) {
            const uint16_t* in = src + size_t(y - radius) * width;
            for (int x = 0; x < width; ++x)
                sums[x] -= in[x];
        }
    }
}

bool allOpaque(const uint32_t* pixels, int count) {
    uint32_t common = 0xFFFFFFFFu;
    for (int i = 0; i < count; ++i)
        common &= pixels[i];
    return common >= 0xFF000000u;
}

// The box passes along the columns of image, with scratch as the other buffer; the result ends in
// image.
void blurColumns(uint16_t* image, uint16_t* scratch, int width, int height,
                 std::vector<uint32_t>& sums) {
    uint16_t* source = image;
    uint16_t* target = scratch;
    for (int pass = 0; pass < DropShadow::boxPasses; ++pass) {
        boxColumns(source, target, width, height, DropShadow::boxRadius, sums);
        std::swap(source, target);
    }
    if (source != image)
        std::copy(source, source + size_t(width) * height, image);
}

// Puts a shadow of alpha s (0..255) behind one pixel of alpha a (0..254).
void darkenBehind(uchar* pixel, int s, bool premultiplied) {
    const int a = pixel[alphaByte];
    if (a == 0) {
        pixel[0] = pixel[1] = pixel[2] = 0;
        pixel[alphaByte] = uchar(s);
        return;
    }
    const int combined = a + (s * (255 - a) + 127) / 255;
    if (!premultiplied) {
        // The shadow is black: only the colour's share of the combined alpha shrinks.
        for (int c = 0; c < 3; ++c)
            pixel[c] = uchar((pixel[c] * a + combined / 2) / combined);
    }
    pixel[alphaByte] = uchar(combined);
}

} // namespace

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
    if (_mask.empty())
        return;
    reduceAlpha(picture);
    blur();
    fillRowExtents();
}

void DropShadow::resize(QSize pictureSize, double pixelsPerPoint) {
    _pictureSize = pictureSize;
    _pixelsPerPoint = pixelsPerPoint;
    _cellPixels = std::max(1, int(std::lround(maskCellPoints * pixelsPerPoint)));
    const int width = std::max(0, pictureSize.width());
    const int height = std::max(0, pictureSize.height());
    _maskWidth = (width + _cellPixels - 1) / _cellPixels;
    _maskHeight = (height + _cellPixels - 1) / _cellPixels;

    const size_t cells = size_t(_maskWidth) * size_t(_maskHeight);
    _mask.assign(cells, 0);
    _work.assign(cells, 0);
    _alphaSums.assign(width, 0);
    _columnSums.assign(std::max(_maskWidth, _maskHeight), 0);
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
        _columnWeight[x] = uint8_t(std::lround((position - left) * 255.0));
    }
}

// Averages the picture's alpha over each cell and scales it to the shadow's opacity, in 1/256.
// Every second row of a cell is enough for a mask that is blurred over several cells, and halves
// the reading.
void DropShadow::reduceAlpha(const QImage& picture) {
    const int width = _pictureSize.width();
    const int height = _pictureSize.height();
    const int firstRow = _cellPixels > 1 ? 1 : 0;
    const int sampledRows = std::max(1, _cellPixels / 2);
    const uint64_t scale = std::llround(opacity * 256.0 * 65536.0 / (sampledRows * _cellPixels));
    for (int my = 0; my < _maskHeight; ++my) {
        std::fill(_alphaSums.begin(), _alphaSums.end(), 0);
        const int rowEnd = std::min(height, (my + 1) * _cellPixels);
        for (int y = my * _cellPixels + firstRow; y < rowEnd; y += 2) {
            const auto* line = reinterpret_cast<const uint32_t*>(picture.constScanLine(y));
            for (int x = 0; x < width; ++x)
                _alphaSums[x] += uint16_t(line[x] >> 24);
        }
        uint16_t* maskRow = _mask.data() + size_t(my) * _maskWidth;
        for (int mx = 0; mx < _maskWidth; ++mx) {
            const int columnEnd = std::min(width, (mx + 1) * _cellPixels);
            uint64_t sum = 0;
            for (int x = mx * _cellPixels; x < columnEnd; ++x)
                sum += _alphaSums[x];
            maskRow[mx] = uint16_t((sum * scale + 32768) >> 16);
        }
    }
}

// Rows are blurred as the columns of the transposed mask: column passes vectorise, row passes
// with running sums do not.
void DropShadow::blur() {
    blurColumns(_mask.data(), _work.data(), _maskWidth, _maskHeight, _columnSums);
    transpose(_mask.data(), _work.data(), _maskWidth, _maskHeight);
    blurColumns(_work.data(), _mask.data(), _maskHeight, _maskWidth, _columnSums);
    transpose(_work.data(), _mask.data(), _maskHeight, _maskWidth);
}

void DropShadow::fillRowExtents() {
    for (int my = 0; my < _maskHeight; ++my) {
        const uint16_t* row = _mask.data() + size_t(my) * _maskWidth;
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
    const double position = (pictureRow + 0.5 - offsetPoints * _pixelsPerPoint) / _cellPixels - 0.5;
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
    const uint16_t* upper = hasAbove ? _mask.data() + size_t(above) * _maskWidth : _zeroRow.data();
    const uint16_t* lower =
        hasBelow ? _mask.data() + size_t(above + 1) * _maskWidth : _zeroRow.data();
    for (int mx = first; mx <= last; ++mx)
        row[mx + 1] =
            uint16_t((upper[mx] * (256 - weightBelow) + lower[mx] * weightBelow + 128) >> 8);
    row[first] = 0;
    row[last + 2] = 0;
}

void DropShadow::paintUnder(QImage& picture) const {
    if (picture.size() != _pictureSize || _mask.empty())
        return;
    if (!hasAlphaInFourthByte(picture.format()))
        picture.convertTo(QImage::Format_ARGB32_Premultiplied);
    const bool premultiplied = isPremultiplied(picture.format());
    uint16_t* row = _rowBuffer.data();
    for (int y = 0; y < _pictureSize.height(); ++y) {
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
        shadeSpan(picture.scanLine(y), row, begin, end, premultiplied);
    }
}

// Runs of opaque pixels (most of the sheet) are recognised a few at a time and left alone.
void DropShadow::shadeSpan(uchar* line, const uint16_t* row, int begin, int end,
                           bool premultiplied) const {
    constexpr int runLength = 16;
    const auto* pixels = reinterpret_cast<const uint32_t*>(line);
    for (int x = begin; x < end;) {
        const int runEnd = std::min(end, x + runLength);
        if (allOpaque(pixels + x, runEnd - x)) {
            x = runEnd;
            continue;
        }
        for (; x < runEnd; ++x) {
            uchar* pixel = line + 4 * x;
            if (pixel[alphaByte] == 255)
                continue;
            const int index = _columnIndex[x];
            const int weight = _columnWeight[x];
            const int shade =
                (row[index] * (255 - weight) + row[index + 1] * weight + 255 * 128) / (255 * 256);
            if (shade > 0)
                darkenBehind(pixel, shade, premultiplied);
        }
    }
}
