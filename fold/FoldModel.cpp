#include "fold/FoldModel.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace {

constexpr double minimumSheetWidth = 256.0;
constexpr double windowWidthFactor = 1.496662974357605; // sqrtf(2.24), widened
constexpr double windowHeightFactor = 1.25;
constexpr double menuBarHeight = 22.0;
constexpr float largestAngle = 85.0f;
constexpr double zeroRoom = 0.01; // rooms and bounds below this count as zero
constexpr double deadZone = 0.1;  // drag amounts below this are left pending

// Rounding can push a geometrically non-negative square-root argument just below zero (a tent
// refitted at a compression of about 1e-7); such a root is taken as 0 rather than NaN.
float rootOf(float value) {
    return value > 0.0f ? std::sqrt(value) : 0.0f;
}

double rootOf(double value) {
    return value > 0.0 ? std::sqrt(value) : 0.0;
}

float cosineOfDegrees(float degrees) {
    if (!(degrees < largestAngle))
        degrees = largestAngle;
    return std::cos(static_cast<float>(degrees * std::numbers::pi / 180.0));
}

// The smaller of two rooms; on a tie the side room.
float smallerRoom(float slopeRoom, float sideRoom) {
    return slopeRoom < sideRoom ? slopeRoom : sideRoom;
}

double clampStep(double wanted, double lower, double upper) {
    return std::min(std::max(lower, wanted), upper);
}

double finiteOrZero(double value) {
    return std::isfinite(value) ? value : 0.0;
}

} // namespace

FoldSize FoldModel::displaySizeWithPixelSize(FoldSize pixelSize,
                                             std::optional<double> screenHeight) {
    // A bitmap without a usable size is sized as a single pixel.
    double w = pixelSize.width > 0.0 && std::isfinite(pixelSize.width) ? pixelSize.width : 1.0;
    double h = pixelSize.height > 0.0 && std::isfinite(pixelSize.height) ? pixelSize.height : 1.0;
    if (w / h > 4.0) {
        const double g = static_cast<float>(4.0 * h);
        w = (w - g) * 0.5 + g;
        h = 0.25 * w;
    }
    if (w / h < 0.26) {
        const double g = static_cast<float>(0.26 * h);
        w = (w - g) * 0.5 + g;
        h = w / 0.26;
    }
    if (w < minimumSheetWidth) {
        h = h * (minimumSheetWidth / w);
        w = minimumSheetWidth;
    }
    // Without a screen (or one too small to leave any height) there is no height limit.
    if (screenHeight) {
        const double limit = static_cast<float>(*screenHeight - menuBarHeight) / 1.25f;
        if (limit > 0.0 && h > limit) {
            w = w * (limit / h);
            h = limit;
        }
    }
    if (w < minimumSheetWidth)
        w = minimumSheetWidth;
    return {w, h};
}

FoldSize FoldModel::caliculateWindowSizeWithImageSize(FoldSize imageSize) {
    return {imageSize.width * windowWidthFactor, imageSize.height * windowHeightFactor};
}

FoldModel::FoldModel(FoldSize imageSize) : _imageSize(imageSize) {
    layOutFlat();
    deriveFoldParameters();
    caliculateLimitter();
}

void FoldModel::layOutFlat() {
    constexpr std::array<double, creaseLineCount> fractions{0.0, 0.15, 0.3, 0.5, 0.7, 0.85, 1.0};
    for (std::size_t i = 0; i < fractions.size(); ++i) {
        _creasePoint[i] = static_cast<float>(fractions[i] * _imageSize.width);
        _coordinates[i] = {_creasePoint[i], 0.0};
    }
}

void FoldModel::deriveFoldParameters() {
    const double width = _imageSize.width;
    _maximumPeakHeight = static_cast<float>(0.25 * _imageSize.height);
    _minimumSpaceMiddle = static_cast<float>(width * 15 * 0.00390625);
    _minimumSpaceFoot = _minimumSpaceMiddle * 1.5f;
    _minimumSpaceSide = _minimumSpaceFoot;
    const float aspect = static_cast<float>(width / _imageSize.height);
    _maximumPeekAngleCoefficientInSide = cosineOfDegrees(70.0f / std::sqrt(std::sqrt(aspect)));
    _maximumPeekAngleCoefficientOutSide = cosineOfDegrees(65.0f / aspect);
    _dirL = 1.0f;
    _dirR = 1.0f;
}

// ---- formula methods ------------------------------------------------------------------------

float FoldModel::caliculateEdxWithTO(float tO, float tI) const {
    const float c = std::max(_maximumPeekAngleCoefficientOutSide * tO, _minimumSpaceFoot);
    if (c > tO)
        return 0.0f;
    const float e = std::max(_maximumPeekAngleCoefficientInSide * tI, _minimumSpaceMiddle);
    if (e > tI)
        return 0.0f;
    const float hO = rootOf(tO * tO - c * c);
    if (hO < zeroRoom)
        return 0.0f;
    const float hI = rootOf(tI * tI - e * e);
    if (hI < zeroRoom)
        return 0.0f;
    const bool outerLimits = hI > hO;
    const float h = outerLimits ? hO : hI;
    float r = outerLimits ? tO + tI - c - rootOf(tI * tI - tO * tO + c * c)
                          : tO + tI - e - rootOf(tO * tO - tI * tI + e * e);
    const float hMax = _maximumPeakHeight;
    if (h > hMax)
        r = tO + tI - rootOf(tO * tO - hMax * hMax) - rootOf(tI * tI - hMax * hMax);
    return r >= zeroRoom ? r : 0.0f;
}

float FoldModel::caliculateMinimumSpaceWithMaximumAngleCoefficient(float k, float minSpace,
                                                                   float dx, float tLim,
                                                                   float tMov) {
    if (minSpace > k * tLim)
        return minSpace;
    const float a = (tLim + tMov) * 0.5f;
    const float b = ((tLim + tMov) - dx) * 0.5f;
    const float q = a * a - b * b;
    const float d = a * a - k * b * b;
    const float e = k * b * q;
    if (d == 0.0f)
        return minSpace;
    const float underRoot = k * q * q * d + e * e;
    const float r = static_cast<float>((e + rootOf(static_cast<double>(underRoot))) / d);
    return r > minSpace ? r : minSpace;
}

float FoldModel::caliculateSpreadDsWithMaximumAngleCoefficient(float k, float minSpace, float dx,
                                                               float tLim, float tMov) {
    const float c = std::max(k * tLim, minSpace);
    const float base = tLim + tMov - dx;
    const float g = tLim - dx - c;
    const float numerator = tLim * tLim + (base - 2.0f * c) * base - tMov * tMov;
    // As g approaches 0 the room grows without bound, so this slope sets no limit; the largest
    // finite room lets the other limits that each caller takes the smaller of decide.
    if (g == 0.0f)
        return numerator > 0.0f ? std::numeric_limits<float>::max() : 0.0f;
    float q = numerator / (2.0f * g);
    if (g < 0.0f)
        q = -q;
    return q >= zeroRoom ? q : 0.0f;
}

float FoldModel::caliculateNarrowDsWithMaximumAngleCoefficient(float k, float minSpace, float dx,
                                                               float tLim, float tMov) {
    const float base = tLim + tMov - dx;
    const float p = tMov * tMov + base * base - tLim * tLim;
    const float m = base + tMov - minSpace;
    const float rs = (m - rootOf(m * m - 2.0f * (p - 2.0f * base * minSpace))) * 0.5f;
    const float flatness = 1.0f - k;
    float r = rs;
    // With k = 1 the angle limit moves out of reach, so the minimum space alone decides.
    if (flatness != 0.0f) {
        const float g = flatness * (base + tMov);
        const float ra = (g - rootOf(g * g - 2.0f * flatness * (p - 2.0f * k * base * tMov))) /
                         (2.0f * flatness);
        r = std::abs(rs) < std::abs(ra) ? rs : ra;
    }
    return r >= zeroRoom ? r : 0.0f;
}

float FoldModel::caliculatePeakX2WithX1(float x1, float x3, float t1, float t3) {
    // A base of no width puts the apex over it.
    if (x3 == x1)
        return x1;
    return (x3 * x3 + (t1 * t1 - t3 * t3) - x1 * x1) / (2.0f * (x3 - x1));
}

float FoldModel::caliculateEllipsePeakY2WithX1(float x1, float x2, float x3, float dx, float t1,
                                               float t3) {
    const float a = (t1 + t3) * 0.5f;
    if (!(dx > 0.0f) || a == 0.0f)
        return 0.0f;
    const float b = a - dx * 0.5f;
    const float u = (x2 - x1) - (x3 - x1) * 0.5f;
    return rootOf((1.0f - u * u / (a * a)) * (a * a - b * b));
}

// ---- limiter ----------------------------------------------------------------------------------

void FoldModel::caliculateLimitter() {
    const Tent left = measureLeftTent();
    limitLeftPeak(left);
    limitLeftFootAndEdge(left);
    const Tent right = measureRightTentClampingEdge();
    limitRightPeak(right);
    limitRightFootAndEdge(right);
    limitMiddle(left, right);
    snapLimitter();
}

FoldModel::Tent FoldModel::measureLeftTent() const {
    Tent tent;
    tent.tO = _creasePoint[2] - _creasePoint[1];
    tent.tI = _creasePoint[3] - _creasePoint[2];
    tent.dx = x(0);
    tent.edx = caliculateEdxWithTO(tent.tO, tent.tI);
    tent.folded = tent.dx > zeroRoom;
    return tent;
}

FoldModel::Tent FoldModel::measureRightTentClampingEdge() {
    Tent tent;
    tent.tO = _creasePoint[5] - _creasePoint[4];
    tent.tI = _creasePoint[4] - _creasePoint[3];
    tent.edx = caliculateEdxWithTO(tent.tO, tent.tI);
    const float compression = static_cast<float>(_imageSize.width - _coordinates[6].x);
    if (compression < 0.0f)
        _coordinates[6].x = _imageSize.width;
    tent.dx = compression < 0.0f ? 0.0f : compression;
    tent.folded = tent.dx > zeroRoom;
    return tent;
}

void FoldModel::setPeakBounds(int line, float lo, float hi, float ylo, float yhi) {
    _limitter[line][0] = {std::min(lo, 0.0f), std::min(ylo, 0.0f)};
    _limitter[line][1] = {std::max(hi, 0.0f), std::max(yhi, 0.0f)};
}

void FoldModel::limitLeftPeak(const Tent& tent) {
    float mF = _minimumSpaceFoot;
    float mM = _minimumSpaceMiddle;
    float sc = 0.0f;
    if (tent.folded) {
        mF = caliculateMinimumSpaceWithMaximumAngleCoefficient(
            _maximumPeekAngleCoefficientOutSide, _minimumSpaceFoot, tent.dx, tent.tO, tent.tI);
        mM = caliculateMinimumSpaceWithMaximumAngleCoefficient(
            _maximumPeekAngleCoefficientInSide, _minimumSpaceMiddle, tent.dx, tent.tI, tent.tO);
        sc = _dirL * tent.dx;
    }
    setPeakBounds(2, x(1) - x(2) + mF, x(3) - x(2) - mM, -sc - tent.edx, tent.edx - sc);
}

void FoldModel::limitLeftFootAndEdge(const Tent& tent) {
    const double peakInward = _limitter[2][1].x;
    float outward = static_cast<float>(_coordinates[1].x - x(0) - _minimumSpaceSide);
    double inward = _coordinates[2].x - _coordinates[1].x - _minimumSpaceFoot;
    if (tent.folded) {
        const float spread = caliculateSpreadDsWithMaximumAngleCoefficient(
            _maximumPeekAngleCoefficientInSide, _minimumSpaceMiddle, tent.dx, tent.tI, tent.tO);
        outward = peakInward > 0.0 ? smallerRoom(spread, outward) : 0.0f;
        inward = caliculateNarrowDsWithMaximumAngleCoefficient(
            _maximumPeekAngleCoefficientOutSide, _minimumSpaceFoot, tent.dx, tent.tI, tent.tO);
    }
    _limitter[1][0].x = std::min(-outward, 0.0f);
    _limitter[1][1].x = std::max(inward, 0.0);
    _limitter[0][0].x = std::min(-x(0), 0.0f);
    float edgeInward = 0.0f;
    if (inward > zeroRoom && peakInward > zeroRoom)
        edgeInward = std::max(tent.edx - x(0), 0.0f);
    _limitter[0][1].x = edgeInward;
}

void FoldModel::limitRightPeak(const Tent& tent) {
    float mF = _minimumSpaceFoot;
    float mM = _minimumSpaceMiddle;
    float sc = 0.0f;
    if (tent.folded) {
        mM = caliculateMinimumSpaceWithMaximumAngleCoefficient(
            _maximumPeekAngleCoefficientInSide, _minimumSpaceMiddle, tent.dx, tent.tI, tent.tO);
        mF = caliculateMinimumSpaceWithMaximumAngleCoefficient(
            _maximumPeekAngleCoefficientOutSide, _minimumSpaceFoot, tent.dx, tent.tO, tent.tI);
        sc = _dirR * tent.dx;
    }
    setPeakBounds(4, x(3) - x(4) + mM, x(5) - x(4) - mF, -sc - tent.edx, tent.edx - sc);
}

void FoldModel::limitRightFootAndEdge(const Tent& tent) {
    const double peakInward = _limitter[4][0].x;
    float outward = static_cast<float>(_coordinates[6].x - _coordinates[5].x - _minimumSpaceSide);
    double inward = _coordinates[4].x - _coordinates[5].x + _minimumSpaceFoot;
    if (tent.folded) {
        inward = -caliculateNarrowDsWithMaximumAngleCoefficient(
            _maximumPeekAngleCoefficientOutSide, _minimumSpaceFoot, tent.dx, tent.tI, tent.tO);
        const float spread = caliculateSpreadDsWithMaximumAngleCoefficient(
            _maximumPeekAngleCoefficientInSide, _minimumSpaceMiddle, tent.dx, tent.tI, tent.tO);
        outward = peakInward < 0.0 ? smallerRoom(spread, outward) : 0.0f;
    }
    _limitter[5][0].x = std::min(inward, 0.0);
    _limitter[5][1].x = std::max(outward, 0.0f);
    _limitter[6][1].x = tent.dx;
    float edgeInward = 0.0f;
    if (_limitter[5][0].x < -zeroRoom && peakInward < -zeroRoom)
        edgeInward = std::min(tent.dx - tent.edx, 0.0f);
    _limitter[6][0].x = edgeInward;
}

void FoldModel::limitMiddle(const Tent& left, const Tent& right) {
    const double width = _imageSize.width;
    const float up = static_cast<float>(0.65 * width - _coordinates[3].x);
    const float down = static_cast<float>(0.35 * width - _coordinates[3].x);
    const float kO = _maximumPeekAngleCoefficientOutSide;
    const float kI = _maximumPeekAngleCoefficientInSide;
    const float sF = _minimumSpaceFoot;
    const float sM = _minimumSpaceMiddle;

    // Moving the middle right shortens the right inner slope and lengthens the left one.
    float lowR = down;
    float upR = x(4) - x(3) - sM;
    if (right.folded) {
        lowR = std::max(
            -caliculateSpreadDsWithMaximumAngleCoefficient(kO, sF, right.dx, right.tO, right.tI),
            down);
        upR = caliculateNarrowDsWithMaximumAngleCoefficient(kI, sM, right.dx, right.tO, right.tI);
    }
    upR = std::min(upR, up);

    float lowL = x(2) - x(3) + sM;
    float upL = up;
    if (left.folded) {
        upL = std::min(
            caliculateSpreadDsWithMaximumAngleCoefficient(kO, sF, left.dx, left.tO, left.tI), up);
        lowL = std::max(
            -caliculateNarrowDsWithMaximumAngleCoefficient(kI, sM, left.dx, left.tO, left.tI),
            down);
    }
    _limitter[3][0].x = std::min(std::max(lowL, lowR), 0.0f);
    _limitter[3][1].x = std::max(std::min(upL, upR), 0.0f);
}

void FoldModel::snapLimitter() {
    for (auto& bounds : _limitter) {
        if (bounds[0].x > -zeroRoom)
            bounds[0].x = 0.0;
        if (bounds[1].x < zeroRoom)
            bounds[1].x = 0.0;
    }
}

// ---- movement solver --------------------------------------------------------------------------

FoldPoint FoldModel::handlingLine(long line, FoldPoint move, float pitch) {
    if (line < 0 || line > 6)
        return {};
    caliculateLimitter();
    const auto& bounds = _limitter[line];
    double h = clampStep(finiteOrZero(move.x), bounds[0].x, bounds[1].x);
    if (std::abs(h) < deadZone)
        h = 0.0;
    if (line == 2 || line == 4) {
        // Seen from below, an upward drag lowers the peak.
        const bool reversed = pitch < 0.0f;
        const double v = reversed ? -finiteOrZero(move.y) : finiteOrZero(move.y);
        FoldPoint applied = line == 2 ? moveLeftPeak(h, v) : moveRightPeak(h, v);
        if (reversed)
            applied.y = -applied.y;
        return applied;
    }
    if (h == 0.0)
        return {};
    switch (line) {
    case 0:
        return {moveLeftEdge(h), 0.0};
    case 1:
        moveLeftFoot(h);
        break;
    case 3:
        moveMiddle(h);
        break;
    case 5:
        moveRightFoot(h);
        break;
    default:
        moveRightEdge(h);
        break;
    }
    return {h, 0.0};
}

double FoldModel::leftCompression() const {
    return _coordinates[0].x;
}

double FoldModel::rightCompression() const {
    return _imageSize.width - _coordinates[6].x;
}

// The peak's height is taken from the slope on its left, which keeps that slope's length.
void FoldModel::refitLeftPeak() {
    const float t1 = _creasePoint[2] - _creasePoint[1];
    const float peakX = caliculatePeakX2WithX1(x(1), x(3), t1, _creasePoint[3] - _creasePoint[2]);
    const float run = peakX - x(1);
    _coordinates[2] = {peakX, _dirL * rootOf(t1 * t1 - run * run)};
}

void FoldModel::refitRightPeak() {
    const float t1 = _creasePoint[4] - _creasePoint[3];
    const float peakX = caliculatePeakX2WithX1(x(3), x(5), t1, _creasePoint[5] - _creasePoint[4]);
    const float run = peakX - x(3);
    _coordinates[4] = {peakX, _dirR * rootOf(t1 * t1 - run * run)};
}

double FoldModel::moveLeftEdge(double h) {
    const double moved = _coordinates[0].x + h;
    _coordinates[0].x = std::max(0.0, moved);
    _coordinates[1].x = _creasePoint[1] + x(0);
    if (leftCompression() > 0.0) {
        refitLeftPeak();
    } else {
        _coordinates[2] = {_coordinates[1].x + (_creasePoint[2] - _creasePoint[1]), 0.0};
    }
    return moved < 0.0 ? h - moved : h;
}

void FoldModel::moveLeftFoot(double h) {
    _creasePoint[1] = static_cast<float>(_creasePoint[1] + h);
    _coordinates[1].x += h;
    if (leftCompression() > 0.0)
        refitLeftPeak();
}

FoldPoint FoldModel::moveLeftPeak(double h, double v) {
    if (h != 0.0) {
        _coordinates[2].x += h;
        const float rise =
            caliculateEllipsePeakY2WithX1(x(1), x(2), x(3), x(0), _creasePoint[2] - _creasePoint[1],
                                          _creasePoint[3] - _creasePoint[2]);
        _coordinates[2].y = _dirL * rise;
        // The crease slides along the sheet so that the outer slope keeps its length.
        const float run = x(2) - x(1);
        _creasePoint[2] = _creasePoint[1] + rootOf(run * run + rise * rise);
        caliculateLimitter();
    }
    if (!(std::abs(v) > deadZone))
        return {h, 0.0};
    return {h, compressLeftTent(v)};
}

double FoldModel::compressLeftTent(double v) {
    double w = clampStep(v, _limitter[2][0].y, _limitter[2][1].y);
    if (std::abs(w) < deadZone)
        return 0.0;
    const float signedCompression = static_cast<float>(_dirL * _coordinates[0].x + w);
    _dirL = signedCompression < 0.0f ? -1.0f : 1.0f;
    const float t1 = _creasePoint[2] - _creasePoint[1];
    const float t3 = _creasePoint[3] - _creasePoint[2];
    const float largest = caliculateEdxWithTO(t1, t3);
    float compression = std::abs(signedCompression);
    if (compression > largest) {
        w -= compression - largest;
        compression = largest;
    }
    _coordinates[0].x = compression > 0.0f ? compression : 0.0f;
    const float foot = _creasePoint[1] + compression;
    _coordinates[1].x = foot;
    const float peakX = caliculatePeakX2WithX1(foot, x(3), t1, t3);
    const float rise = caliculateEllipsePeakY2WithX1(foot, peakX, x(3), compression, t1, t3);
    _coordinates[2] = {peakX, rise * _dirL};
    return w;
}

void FoldModel::moveMiddle(double h) {
    _creasePoint[3] = static_cast<float>(_creasePoint[3] + h);
    _coordinates[3].x += h;
    if (leftCompression() > 0.0)
        refitLeftPeak();
    if (rightCompression() > 0.0)
        refitRightPeak();
}

FoldPoint FoldModel::moveRightPeak(double h, double v) {
    if (h != 0.0) {
        _coordinates[4].x += h;
        const float rise = caliculateEllipsePeakY2WithX1(
            x(3), x(4), x(5), static_cast<float>(rightCompression()),
            _creasePoint[4] - _creasePoint[3], _creasePoint[5] - _creasePoint[4]);
        _coordinates[4].y = _dirR * rise;
        const float run = x(4) - x(3);
        _creasePoint[4] = _creasePoint[3] + rootOf(run * run + rise * rise);
        caliculateLimitter();
    }
    // Unlike the left peak, any nonzero vertical move is clamped and tried here.
    if (v == 0.0)
        return {h, 0.0};
    return {h, compressRightTent(v)};
}

double FoldModel::compressRightTent(double v) {
    double w = clampStep(v, _limitter[4][0].y, _limitter[4][1].y);
    if (std::abs(w) < deadZone)
        return 0.0;
    const double width = _imageSize.width;
    const float signedCompression = static_cast<float>(_dirR * rightCompression() + w);
    _dirR = signedCompression < 0.0f ? -1.0f : 1.0f;
    const float t1 = _creasePoint[4] - _creasePoint[3];
    const float t3 = _creasePoint[5] - _creasePoint[4];
    const float largest = caliculateEdxWithTO(t3, t1);
    float compression = std::abs(signedCompression);
    if (compression > largest) {
        w -= compression - largest;
        compression = largest;
    }
    _coordinates[6].x = std::min(width - compression, width);
    const float foot = _creasePoint[5] - compression;
    _coordinates[5].x = foot;
    const float peakX = caliculatePeakX2WithX1(x(3), foot, t1, t3);
    const float rise = caliculateEllipsePeakY2WithX1(x(3), peakX, foot, compression, t1, t3);
    _coordinates[4] = {peakX, rise * _dirR};
    return w;
}

void FoldModel::moveRightFoot(double h) {
    _creasePoint[5] = static_cast<float>(_creasePoint[5] + h);
    _coordinates[5].x += h;
    if (rightCompression() > 0.0)
        refitRightPeak();
}

void FoldModel::moveRightEdge(double h) {
    _coordinates[6].x = std::min(_coordinates[6].x + h, _imageSize.width);
    _coordinates[5].x += h;
    if (rightCompression() > 0.0) {
        refitRightPeak();
    } else {
        _coordinates[4] = {_coordinates[3].x + (_creasePoint[4] - _creasePoint[3]), 0.0};
    }
}

// ---- point helpers ----------------------------------------------------------------------------

FoldPoint FoldModel::pointMoveDeltaX(float d, FoldPoint a, FoldPoint b) {
    // A vertical pair gives no slope: keep A's height.
    const double run = b.x - a.x;
    const double rise = run == 0.0 ? 0.0 : d * (b.y - a.y) / run;
    return {a.x + d, rise + a.y};
}

FoldPoint FoldModel::pointMoveDeltaY(float d, FoldPoint a, FoldPoint b) {
    // A horizontal pair gives no slope: keep A's x.
    const double rise = b.y - a.y;
    const double shift = rise == 0.0 ? 0.0 : (b.x - a.x) * d / rise;
    return {shift + a.x, a.y + d};
}
