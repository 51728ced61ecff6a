// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "render/LineEndPointSearch.h"

#include <algorithm>
#include <optional>

namespace {

// A trace moves up to three pixels sideways from one row to the next.
constexpr int sideStepsPerRow = 4;
// After a hit on the middle row the next three pixels belong to the same line.
constexpr int crossingWidth = 4;
// Lines the middle row did not show are laid this far right of the previous line, so that
// neighbouring lines never coincide (the hit areas divide by their differences).
constexpr double missingLineOffset = 4.0;

// Reads coverage in frame coordinates straight from the pixel buffer.
class Coverage {
public:
    explicit Coverage(const QImage& frame)
        : _frame(frame.convertToFormat(QImage::Format_RGBA8888)) {}

    int width() const { return _frame.width(); }
    int height() const { return _frame.height(); }

    bool isCovered(int x, int y) const {
        if (x < 0 || y < 0 || x >= width() || y >= height())
            return false;
        constexpr int alphaByte = 3;
        return _frame.constScanLine(height() - 1 - y)[4 * x + alphaByte] > 0;
    }

    // First covered pixel of row y among x, x + step, x + 2 step, x + 3 step.
    std::optional<int> firstCoveredBeside(int x, int y, int step) const {
        for (int k = 0; k < sideStepsPerRow; ++k) {
            if (isCovered(x + k * step, y))
                return x + k * step;
        }
        return std::nullopt;
    }

private:
    QImage _frame;
};

struct Crossings {
    std::array<QPoint, creaseLineCount> point;
    // +1 when the line's x grows going up the frame, -1 when it shrinks.
    std::array<int, creaseLineCount> lean{};
    int count = 0;
};

Crossings findCrossings(const Coverage& coverage, float pitch) {
    Crossings crossings;
    const int mid = coverage.height() / 2;
    const int half = coverage.width() / 2;
    for (int x = 0; x < coverage.width() && crossings.count < creaseLineCount;) {
        if (!coverage.isCovered(x, mid)) {
            ++x;
            continue;
        }
        int lean = x < half ? 1 : -1;
        if (pitch < 0)
            lean = -lean;
        crossings.point[crossings.count] = QPoint(x, mid);
        crossings.lean[crossings.count] = lean;
        ++crossings.count;
        x += crossingWidth;
    }
    return crossings;
}

QPoint traceUp(const Coverage& coverage, QPoint start, int lean) {
    QPoint end = start;
    for (int y = start.y() + 1; y < coverage.height(); ++y) {
        const std::optional<int> x = coverage.firstCoveredBeside(end.x(), y, lean);
        if (!x)
            break;
        end = QPoint(*x, y);
    }
    return end;
}

QPoint traceDown(const Coverage& coverage, QPoint start, int lean) {
    QPoint end = start;
    for (int y = start.y() - 1; y >= 0; --y) {
        const std::optional<int> x = coverage.firstCoveredBeside(end.x(), y, -lean);
        if (!x)
            break;
        end = QPoint(*x, y);
    }
    return end;
}

// Where the straight line through the top end and the crossing reaches the height yb. The
// differences are narrowed to single precision on purpose, matching the rest of the fold values.
QPointF extrapolateBottom(QPointF top, QPointF crossing, double yb) {
    const float dx = float(top.x() - crossing.x());
    const float dy = float(top.y() - crossing.y());
    if (dy == 0.0f) // the top end never left the middle row: take the line as vertical
        return {top.x(), yb};
    return {top.x() - dx * (top.y() - yb) / dy, yb};
}

bool isTracedDownward(int line) {
    return line == 0 || line == 2 || line == 4;
}

} // namespace

LineEndPoints searchLineEndPoints(const QImage& frame, float pitch) {
    const Coverage coverage(frame);
    const Crossings crossings = findCrossings(coverage, pitch);
    const int half = coverage.width() / 2;
    LineEndPoints endPoints{};

    for (int i = 0; i < crossings.count; ++i) {
        const QPoint crossing = crossings.point[i];
        if (i == 3 && crossing.x() == half)
            endPoints[i][0] = QPointF(crossing.x(), endPoints[0][0].y());
        else
            endPoints[i][0] = traceUp(coverage, crossing, crossings.lean[i]);
    }
    for (int i = 0; i < crossings.count; ++i) {
        const QPoint crossing = crossings.point[i];
        if (isTracedDownward(i))
            endPoints[i][1] = traceDown(coverage, crossing, crossings.lean[i]);
        else
            endPoints[i][1] = extrapolateBottom(endPoints[i][0], crossing, endPoints[0][1].y());
    }

    if (crossings.count == 0) {
        // Nothing on the middle row: a vertical line down the middle of the frame.
        endPoints[0] = {QPointF(half, std::max(coverage.height() - 1, 0)), QPointF(half, 0)};
    }
    for (int i = std::max(crossings.count, 1); i < creaseLineCount; ++i) {
        for (int end = 0; end < 2; ++end)
            endPoints[i][end] = endPoints[i - 1][end] + QPointF(missingLineOffset, 0);
    }
    return endPoints;
}
