// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>

#include <cstdint>
#include <vector>

// The soft drop shadow that a frameless translucent window does not get from Linux window
// managers. It is computed from the alpha of the picture (the folded sheet on transparency) and
// composited under the picture, so the window shows the sheet floating above its own shadow.
//
// Usage on every display update:
//     shadow.update(picture);      // recompute from the picture's alpha
//     shadow.paintUnder(picture);  // composite the shadow under the picture, in place
// The picture may then be painted with QPainter::CompositionMode_Source as it is. Painting
// under a transparent image of the picture's size instead gives the shadow alone.
//
// Cost: the alpha is reduced to a mask of one pixel per cell of 2 to 6 points (about 4), blurred
// there with a three-pass box blur (close to a Gaussian) and scaled back up with bilinear filtering
// while it is composited; only the pixels the shadow reaches and the picture does not cover are
// written, and opaque runs of the picture are passed over a few pixels at a time.
// Buffers are kept between updates and reallocated only when the picture size or the blur changes.
//
// Pictures in the 32-bit formats with alpha (ARGB32, RGBA8888, premultiplied or not) are used as
// they are; others are converted to ARGB32_Premultiplied. Their devicePixelRatio() gives the
// pixels per point, so the shadow keeps its size in points at any backing scale.
class DropShadow {
public:
    static constexpr double defaultOpacity = 0.5; // shadow alpha under a fully opaque sheet
    // About how far beyond the sheet's edge the shadow reaches (before its offset), in points.
    static constexpr double defaultBlurPoints = 24.0;
    static constexpr double minBlurPoints = 6.0;
    static constexpr double maxBlurPoints = 48.0;
    static constexpr double defaultOffsetPoints = 6.0; // downward, like a desktop window's shadow
    static constexpr double maxOffsetPoints = 24.0;
    static constexpr int boxPasses = 3;

    DropShadow();

    // The settings take effect at the next update. Values out of range are clamped.
    void setOpacity(double opacity); // 0..1
    void setBlurRadius(double points);
    void setOffset(double points);
    double opacity() const { return _opacity; }
    double blurRadius() const { return _blurPoints; }
    double offset() const { return _offsetPoints; }
    // How far, in whole points, the shadow can reach beyond what casts it, in any direction.
    int reach() const;

    // Recomputes the shadow from the alpha of picture.
    void update(const QImage& picture);

    // Composites the shadow of the last update under picture: transparent pixels take the
    // shadow, translucent ones are darkened behind, opaque ones stay as they are. Does nothing
    // when picture's size differs from the one given to update. Pixels outside area (when given)
    // are left alone.
    void paintUnder(QImage& picture, const QRect& area = QRect()) const;

private:
    // Mask values run to maskScale (a full shadow), so that a box of five sums within 16 bits;
    // wider boxes sum in 32 bits.
    static constexpr uint32_t maskScale = 65535 / 5;
    static constexpr int maxBoxRadius = 4; // the blur's box passes are made for radii 1 to 4

    void resize(QSize pictureSize, double pixelsPerPoint);
    uint16_t* maskRow(uint16_t* mask, int row) const;
    const uint16_t* maskRow(int row) const;
    void reduceAlpha(const QImage& picture);
    void blur();
    void fillRowExtents();
    void verticalRow(int pictureRow, uint16_t* row, int& first, int& last) const;
    void shadeSpan(uint32_t* pixels, const uint16_t* row, int begin, int end,
                   bool premultiplied) const;

    double _opacity = defaultOpacity;
    double _blurPoints = defaultBlurPoints;
    double _offsetPoints = defaultOffsetPoints;
    int _boxRadius = 0;       // mask pixels per box pass
    double _cellPoints = 0.0; // points per mask pixel

    QSize _pictureSize;
    double _pixelsPerPoint = 0.0;
    int _cellPixels = 0; // picture pixels per mask pixel, in each direction
    int _maskWidth = 0;
    int _maskHeight = 0;
    int _maskStride = 0; // the mask and its blur scratch have a zero border _boxRadius wide
    std::vector<uint16_t> _mask;
    std::vector<uint16_t> _work;
    std::vector<uint32_t> _alphaSums; // per picture column, over one row of cells
    std::vector<uint16_t> _zeroRow;
    std::vector<int> _rowFirst; // first and last column of non-zero mask per mask row
    std::vector<int> _rowLast;
    std::vector<int> _columnIndex; // per picture column: left mask column of its interpolation
    std::vector<uint16_t>
        _columnWeight; // per picture column: weight of the right mask column, /256
    mutable std::vector<uint16_t> _rowBuffer;
};
