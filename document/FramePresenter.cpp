// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "document/FramePresenter.h"

#include "document/ControlAreas.h"
#include "document/Document.h"
#include "document/ExportPicture.h"
#include "document/RendererSetup.h"

#include <chrono>
#include <cstdint>
#include <cstring>
#include <utility>

namespace {

// Milliseconds from since to now; since becomes now.
double lap(std::chrono::steady_clock::time_point& since) {
    const auto now = std::chrono::steady_clock::now();
    return std::chrono::duration<double, std::milli>(now - std::exchange(since, now)).count();
}

QRectF scaledRect(const QRectF& rect, double scale) {
    return QRectF(rect.topLeft() * scale, rect.size() * scale);
}

// Four pixels at a time, in the compiler's vector registers: at -O2 the compiler keeps such loops
// scalar, and this one runs over every changed pixel of every update.
using FourPixels = uint32_t __attribute__((vector_size(16)));

// Swaps red and blue from RGBA8888 to ARGB32; gives whether any pixel is translucent.
bool swapRedAndBlue(const uint32_t* from, uint32_t* to, int count) {
    FourPixels translucent = {};
    int x = 0;
    for (; x + 4 <= count; x += 4) {
        FourPixels rgba;
        std::memcpy(&rgba, from + x, sizeof rgba);
        const FourPixels argb =
            (rgba & 0xFF00FF00u) | ((rgba & 0xFFu) << 16) | ((rgba >> 16) & 0xFFu);
        std::memcpy(to + x, &argb, sizeof argb);
        const FourPixels alpha = rgba >> 24;
        translucent |= (alpha != 0u) & (alpha != 0xFFu);
    }
    bool anyTranslucent = (translucent[0] | translucent[1] | translucent[2] | translucent[3]) != 0;
    for (; x < count; ++x) {
        const uint32_t rgba = from[x];
        to[x] = (rgba & 0xFF00FF00u) | ((rgba & 0xFFu) << 16) | ((rgba >> 16) & 0xFFu);
        anyTranslucent |= uint8_t((rgba >> 24) + 1) > 1;
    }
    return anyTranslucent;
}

// From a frame in RGBA8888 to a picture of its size in ARGB32_Premultiplied. Unless the picture
// has alpha, the sheet is opaque and the rest transparent black, so a row only swaps red and
// blue; rows with translucent pixels are premultiplied afterwards.
void copyPremultiplied(const QImage& frame, QImage& picture, const QRect& pixels) {
    for (int y = pixels.top(); y <= pixels.bottom(); ++y) {
        const auto* from =
            reinterpret_cast<const uint32_t*>(frame.constScanLine(y)) + pixels.left();
        auto* to = reinterpret_cast<uint32_t*>(picture.scanLine(y)) + pixels.left();
        if (swapRedAndBlue(from, to, pixels.width()))
            for (int x = 0; x < pixels.width(); ++x)
                to[x] = qPremultiply(to[x]);
    }
}

} // namespace

std::unique_ptr<FramePresenter> FramePresenter::create(const Document& document, QSize windowSize,
                                                       double scale, const QImage& picture,
                                                       QString* failure) {
    std::unique_ptr<SheetRenderer> renderer =
        RendererSetup::create(windowSize, scale, OffscreenContext::Platform::WindowSystem, failure);
    if (!renderer ||
        !RendererSetup::showFold(*renderer, document.fold(), document.pitch(), picture, failure))
        return nullptr;
    std::unique_ptr<FramePresenter> presenter(
        new FramePresenter(std::move(renderer), windowSize, scale));
    presenter->showFold(document);
    return presenter;
}

FramePresenter::FramePresenter(std::unique_ptr<SheetRenderer> renderer, QSize windowSize,
                               double scale)
    : _renderer(std::move(renderer)), _windowSize(windowSize), _scale(scale),
      _shownArea(ControlAreas::noArea) {}

void FramePresenter::setOverlay(const LineOverlay& overlay) {
    _overlay = overlay;
    _overlay.lineCount = _renderer->lineCount();
}

bool FramePresenter::resize(QSize windowSize) {
    _windowSize = windowSize;
    _frame = QImage();
    return _renderer->resize(QSizeF(windowSize));
}

void FramePresenter::setShading(float amount) {
    _renderer->setShading(amount);
}

void FramePresenter::setShadow(double opacity, double blurRadius, double offset) {
    const std::array before{_shadow.opacity(), _shadow.blurRadius(), _shadow.offset()};
    _shadow.setOpacity(opacity);
    _shadow.setBlurRadius(blurRadius);
    _shadow.setOffset(offset);
    if (before != std::array{_shadow.opacity(), _shadow.blurRadius(), _shadow.offset()})
        _frame = QImage(); // the shadow under the frame is made again
}

void FramePresenter::showFold(const Document& document) {
    _renderer->setFold(document.fold());
    _renderer->setPitch(document.pitch());
    _renderer->setYaw(document.yaw());
    _overlay.lineCount = _renderer->lineCount();
}

// A frame pass runs only when its frame and end points would differ from the last one's.
QRect FramePresenter::present(QImage& picture, int hoveredArea) {
    _stepTimes = StepTimes();
    QRect changed;
    if (_renderer->needsDisplay() || _frame.isNull())
        changed = refreshFrame();
    return showLines(picture, changed, hoveredArea);
}

// The shadow is computed from the frame without its lines, before they are drawn, so that it is
// kept while only the lines change. Gives where the frame or the shadow changed.
QRect FramePresenter::refreshFrame() {
    const QRect whole(QPoint(0, 0), _windowSize);
    const bool wasEmpty = _frame.isNull();
    auto clock = std::chrono::steady_clock::now();
    if (_renderer->needsDisplay())
        _renderer->display();
    _stepTimes.endPoints = lap(clock);
    _frame = QImage(); // unshared, the renderer's frame takes what changed without a copy
    _frame = _renderer->captureFrame();
    _stepTimes.frame = lap(clock);
    _shadow.update(_frame);
    _stepTimes.shadow = lap(clock);
    if (wasEmpty)
        return whole;
    const int reach = _shadow.reach();
    const QRect sheet = scaledRect(_renderer->lastCaptureChange(), 1.0 / _scale).toAlignedRect();
    return sheet.adjusted(-reach, -reach, reach, reach) & whole;
}

// Where the frame, its shadow or the lines changed, the picture is made again from the frame:
// every pixel is written once, in the form the overlay and the screen paint fastest.
QRect FramePresenter::showLines(QImage& picture, QRect changed, int hoveredArea) {
    const QRect whole(QPoint(0, 0), _windowSize);
    const LineEndPoints& endPoints = this->endPoints();
    if (picture.size() != _frame.size()) {
        picture = QImage(_frame.size(), QImage::Format_ARGB32_Premultiplied);
        picture.setDevicePixelRatio(_frame.devicePixelRatio());
        changed = whole;
    } else {
        changed |= _overlay.changeFrom(_shownOverlay, _shownEndPoints, _shownArea, endPoints,
                                       hoveredArea, whole.height());
        changed &= whole;
    }
    if (!changed.isEmpty()) {
        auto clock = std::chrono::steady_clock::now();
        const QRect pixels = scaledRect(changed, _scale).toAlignedRect() & _frame.rect();
        copyPremultiplied(_frame, picture, pixels);
        _shadow.paintUnder(picture, pixels);
        _overlay.draw(picture, endPoints, hoveredArea, scaledRect(pixels, 1.0 / _scale));
        _stepTimes.picture = lap(clock);
    }
    _shownOverlay = _overlay;
    _shownEndPoints = endPoints;
    _shownArea = hoveredArea;
    return changed;
}

QImage FramePresenter::sheetPicture(bool withLines, int hoveredArea) {
    QImage picture = _renderer->captureFrame();
    if (withLines) {
        LineOverlay overlay = _overlay;
        overlay.showCreaseLine = true;
        overlay.draw(picture, endPoints(), hoveredArea);
    }
    return picture;
}

QImage FramePresenter::exportPicture(const Document& document, const ExportOptions& options,
                                     const SheetRenderer::TileProgress& progress) {
    const ExportPicture::Look look{_overlay.creaseLineColor, _shadow.opacity(),
                                   _shadow.blurRadius(), _shadow.offset()};
    const double pixelsPerPoint = ExportPicture::pixelsPerPoint(options, _windowSize);
    const QImage finer = ExportPicture::finerPicture(
        document.url().toLocalFile(), document.printed().page, document.fold().sheetSize(),
        document.pictureLimit(), _renderer->textureSize(), pixelsPerPoint);
    return ExportPicture::render(*_renderer, endPoints(), _windowSize, options, look, finer,
                                 progress);
}

AnimationExport::Outcome
FramePresenter::exportAnimation(const Document& document, const ExportOptions& options,
                                const QString& fileName, const FoldSnapshot& start,
                                const FoldMotion::Timing& timing,
                                const AnimationExport::Progress& progress, QString* failure) {
    const ExportPicture::Look look{_overlay.creaseLineColor, _shadow.opacity(),
                                   _shadow.blurRadius(), _shadow.offset()};
    const FoldSize sheet = document.fold().sheetSize();
    // A sweep turns the sheet, so the frames need the window that holds it at every yaw.
    const QSize window =
        timing.sweep != 0 ? document.turnedSizingPlan().windowPoints() : _windowSize;
    if (window != _windowSize && !_renderer->resize(QSizeF(window))) {
        if (failure)
            *failure = AnimationExport::tr("The folded picture could not be drawn at that size.");
        _renderer->resize(QSizeF(_windowSize));
        return AnimationExport::Outcome::Failed;
    }
    const QImage finer = ExportPicture::finerPicture(
        document.url().toLocalFile(), document.printed().page, sheet, document.pictureLimit(),
        _renderer->textureSize(), ExportPicture::pixelsPerPoint(options, window));
    const std::vector<FoldSnapshot> frames =
        FoldMotion::frames(sheet, start, document.snapshot(), timing);
    AnimationExport animation(*_renderer, sheet, window, options, look, finer);
    const AnimationExport::Outcome outcome =
        animation.write(fileName, frames, timing, progress, failure);
    // The frames passed through the window's renderer; the next present() draws afresh.
    if (window != _windowSize)
        _renderer->resize(QSizeF(_windowSize));
    showFold(document);
    _frame = QImage();
    return outcome;
}
