// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "render/LineEndPointSearch.h"

#include <algorithm>
#include <cstdlib>
#include <optional>

namespace {

// A trace moves up to three pixels sideways from one row to the next.
constexpr int sideStepsPerRow = 4;
// After a hit on the middle row the next three pixels belong to the same line.
constexpr int crossingWidth = 4;
// Lines the middle row did not show are laid this far right of the previous line, so that
// neighbouring lines never coincide (the hit areas divide by their differences).
constexpr double missingLineOffset = 4.0;

// Reads coverage straight from the pixel buffer, in frame coordinates, or for lines running
// across the frame in turned coordinates where those lines run up: x counts down the frame from
// its top and y leftward from its right edge, so that lines are met from the top one down and
// traced up toward their left ends.
class Coverage {
public:
    Coverage(const QImage& frame, bool turned)
        : _frame(frame.convertToFormat(QImage::Format_Alpha8)), _turned(turned) {}

    int width() const { return _turned ? _frame.height() : _frame.width(); }
    int height() const { return _turned ? _frame.width() : _frame.height(); }

    bool isCovered(int x, int y) const {
        if (x < 0 || y < 0 || x >= width() || y >= height())
            return false;
        const int row = _turned ? x : height() - 1 - y;
        const int column = _turned ? _frame.width() - 1 - y : x;
        return _frame.constScanLine(row)[column] > 0;
    }

    // First covered pixel of row y among x, x + step, x + 2 step, x + 3 step.
    std::optional<int> firstCoveredBeside(int x, int y, int step) const {
        for (int k = 0; k < sideStepsPerRow; ++k) {
            if (isCovered(x + k * step, y))
                return x + k * step;
        }
        return std::nullopt;
    }

    // A point of these coordinates in frame coordinates.
    QPointF inFrame(QPointF point) const {
        if (!_turned)
            return point;
        return {_frame.width() - 1 - point.y(), _frame.height() - 1 - point.x()};
    }

private:
    QImage _frame;
    bool _turned;
};

struct Crossings {
    std::array<QPoint, mostCreaseLines> point;
    // +1 when the line's x grows going up the frame, -1 when it shrinks.
    std::array<int, mostCreaseLines> lean{};
    int count = 0;
};

Crossings findCrossings(const Coverage& coverage, float pitch, int lineCount) {
    Crossings crossings;
    const int mid = coverage.height() / 2;
    const int half = coverage.width() / 2;
    for (int x = 0; x < coverage.width() && crossings.count < lineCount;) {
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

// The farther of the traces leaning either way: a trace leaning against its line soon loses it.
QPoint farther(QPoint start, QPoint one, QPoint other) {
    return std::abs(one.y() - start.y()) >= std::abs(other.y() - start.y()) ? one : other;
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

// The classic's seven lines: the middle line on the frame's centre takes the left edge's top,
// and the lines between the left edge and the peaks are extrapolated to the left edge's bottom.
void traceClassicLines(const Coverage& coverage, const Crossings& crossings,
                       LineEndPoints& endPoints) {
    const int half = coverage.width() / 2;
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
}

void traceEveryLine(const Coverage& coverage, const Crossings& crossings,
                    LineEndPoints& endPoints) {
    for (int i = 0; i < crossings.count; ++i) {
        const QPoint crossing = crossings.point[i];
        endPoints[i][0] =
            farther(crossing, traceUp(coverage, crossing, 1), traceUp(coverage, crossing, -1));
        endPoints[i][1] =
            farther(crossing, traceDown(coverage, crossing, 1), traceDown(coverage, crossing, -1));
    }
}

// Lines the middle row did not show follow the last one found; with none found, the first runs
// down the middle of the frame.
void placeMissingLines(const Coverage& coverage, int found, int lineCount,
                       LineEndPoints& endPoints) {
    if (found == 0) {
        const int half = coverage.width() / 2;
        endPoints[0] = {QPointF(half, std::max(coverage.height() - 1, 0)), QPointF(half, 0)};
    }
    for (int i = std::max(found, 1); i < lineCount; ++i) {
        for (int end = 0; end < 2; ++end)
            endPoints[i][end] = endPoints[i - 1][end] + QPointF(missingLineOffset, 0);
    }
}

} // namespace

LineEndPoints searchLineEndPoints(const QImage& frame, float pitch) {
    const Coverage coverage(frame, false);
    const Crossings crossings = findCrossings(coverage, pitch, creaseLineCount);
    LineEndPoints endPoints{};
    traceClassicLines(coverage, crossings, endPoints);
    placeMissingLines(coverage, crossings.count, creaseLineCount, endPoints);
    return endPoints;
}

LineEndPoints searchLineEndPoints(const QImage& frame, int lineCount, FoldLayout::Axis axis) {
    const Coverage coverage(frame, axis == FoldLayout::Axis::horizontal);
    lineCount = std::clamp(lineCount, 1, mostCreaseLines);
    const Crossings crossings = findCrossings(coverage, 0.0f, lineCount);
    LineEndPoints endPoints{};
    traceEveryLine(coverage, crossings, endPoints);
    placeMissingLines(coverage, crossings.count, lineCount, endPoints);
    for (int i = 0; i < lineCount; ++i) {
        for (QPointF& end : endPoints[i])
            end = coverage.inFrame(end);
    }
    return endPoints;
}
