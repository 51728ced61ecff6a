#include "window/DocumentController.h"

#include "render/SheetRenderer.h"
#include "settings/PreferencesDefaults.h"
#include "window/DocumentWindow.h"
#include "window/FrameCoordinates.h"
#include "window/LineOverlay.h"
#include "window/PictureEncoder.h"
#include "window/PictureView.h"
#include "window/SheetOutline.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMessageBox>
#include <QMimeData>
#include <QScreen>

#include <cstdint>

namespace {

constexpr int hoverPollInterval = 66; // ms, fifteen polls a second

// Frames and views are whole points; the renderer truncates the window size the same way.
QSize truncatedSize(FoldSize size) {
    return QSize(static_cast<int>(size.width), static_cast<int>(size.height));
}

QRectF scaledRect(const QRectF& rect, double scale) {
    return QRectF(rect.topLeft() * scale, rect.size() * scale);
}

// From a frame in RGBA8888 to a picture of its size in ARGB32_Premultiplied. Unless the picture
// has alpha, the sheet is opaque and the rest transparent black, so a row only swaps red and blue
// (which vectorises); rows with translucent pixels are premultiplied afterwards.
void copyPremultiplied(const QImage& frame, QImage& picture, const QRect& pixels) {
    for (int y = pixels.top(); y <= pixels.bottom(); ++y) {
        const auto* from = reinterpret_cast<const uint32_t*>(frame.constScanLine(y));
        auto* to = reinterpret_cast<uint32_t*>(picture.scanLine(y));
        bool translucent = false;
        for (int x = pixels.left(); x <= pixels.right(); ++x) {
            const uint32_t rgba = from[x];
            to[x] = (rgba & 0xFF00FF00u) | ((rgba & 0xFFu) << 16) | ((rgba >> 16) & 0xFFu);
            translucent |= uint8_t((rgba >> 24) + 1) > 1;
        }
        if (translucent)
            for (int x = pixels.left(); x <= pixels.right(); ++x)
                to[x] = qPremultiply(to[x]);
    }
}

} // namespace

std::unique_ptr<DocumentController>
DocumentController::create(const PictureReader::Result& picture, const SheetSizing& sizing,
                           const QUrl& url, PreferencesDefaults& defaults, QString* failure) {
    const FoldSize imageSize = sizing.displaySize(picture.pixelSize);
    const FoldSize windowSize = FoldModel::windowSizeForSheet(imageSize);
    std::unique_ptr<DocumentController> controller(
        new DocumentController(imageSize, windowSize, defaults));
    controller->_url = url;
    controller->_picturePixelSize = picture.pixelSize;
    controller->_window->setWindowTitle(url.fileName());
    if (const QString whatFailed = controller->startRenderer(picture.picture, windowSize);
        !whatFailed.isEmpty()) {
        if (failure)
            *failure = whatFailed;
        return nullptr;
    }
    controller->showFrameInView();
    controller->updateInputArea();
    controller->_defaultsConnection =
        connect(&defaults, &PreferencesDefaults::handleDefaultsChange, controller.get(),
                &DocumentController::followPreferences, Qt::DirectConnection);
    controller->startTimer();
    return controller;
}

DocumentController::DocumentController(FoldSize imageSize, FoldSize windowSize,
                                       PreferencesDefaults& defaults)
    : _defaults(defaults), _fold(imageSize) {
    const QSize size = truncatedSize(windowSize);
    auto view = new PictureView(size);
    _window = std::make_unique<DocumentWindow>(size);
    _window->setContentView(view);
    _pictureView = view;
    listenToWindow();
    // The window is not on screen yet: the ratio of the screen it will open on, not the largest.
    _scale = _window->screen()->devicePixelRatio();
    reloadPreferences();
    _controlArea = ControlAreas::noArea;
    _timer.setInterval(hoverPollInterval);
    connect(&_timer, &QTimer::timeout, this, &DocumentController::updateHoveredArea);
}

DocumentController::~DocumentController() {
    stopTimer();
    // Closing and destroying the window can still send activation events; none may reach a
    // controller that is going away.
    _window->disconnect(this);
    _window->close();
    disconnect(_defaultsConnection);
}

void DocumentController::listenToWindow() {
    DocumentWindow* window = _window.get();
    connect(window, &DocumentWindow::mouseDown, this, &DocumentController::mouseDown);
    connect(window, &DocumentWindow::mouseDragged, this, &DocumentController::mouseDragged);
    connect(window, &DocumentWindow::mouseUp, this, &DocumentController::mouseUp);
    connect(window, &DocumentWindow::keyDown, this, &DocumentController::keyDown);
    connect(window, &DocumentWindow::windowActivated, this, &DocumentController::windowActivated);
    connect(window, &DocumentWindow::windowDeactivated, this,
            &DocumentController::windowDeactivated);
    connect(window, &DocumentWindow::mouseExited, this, &DocumentController::mouseExited);
}

// The renderer takes the fold state, the image size and the picture, as the first update needs.
// Gives what failed, or nothing.
QString DocumentController::startRenderer(const QImage& picture, FoldSize windowSize) {
    QString whatFailed;
    _renderer =
        SheetRenderer::create(QSizeF(windowSize.width, windowSize.height), _scale, &whatFailed);
    if (!_renderer)
        return whatFailed;
    _renderer->setPitch(0);
    _renderer->setShading(_shading);
    pushFoldToRenderer();
    _renderer->setImageSize(QSizeF(_fold.sheetSize().width, _fold.sheetSize().height));
    if (!_renderer->setImage(picture))
        return tr("The picture could not be made into an OpenGL texture.");
    return QString();
}

void DocumentController::showAlert(const QString& messageText, const QString& infoText) {
    QMessageBox alert;
    alert.setText(messageText);
    alert.setInformativeText(infoText);
    alert.addButton(tr("OK"), QMessageBox::AcceptRole);
    alert.exec();
}

void DocumentController::showWindow() {
    _window->show();
    _window->raise();
    _window->activateWindow();
}

void DocumentController::startTimer() {
    if (!_timer.isActive())
        _timer.start();
}

void DocumentController::stopTimer() {
    _timer.stop();
}

void DocumentController::pushFoldToRenderer() {
    _renderer->setFold(_fold);
}

void DocumentController::reloadPreferences() {
    _lineColor[0] = _defaults.creaseLineColor();
    _lineColor[1] = _defaults.controlLineColor();
    _showCreaseLines = _defaults.showCreaseLine();
    _showControlLine = _defaults.showControlLine();
    _copyWithCreaseLines = _defaults.copyWithCreaseLine();
    _copyWithShadow = _defaults.copyWithShadow();
    _shading = float(_defaults.shading() / 100.0);
    if (_renderer)
        _renderer->setShading(_shading);
    DropShadow& shadow = _window->dropShadow();
    const std::array before{shadow.opacity(), shadow.blurRadius(), shadow.offset()};
    shadow.setOpacity(_defaults.shadowOpacity() / 100.0);
    shadow.setBlurRadius(_defaults.shadowBlur());
    shadow.setOffset(_defaults.shadowOffset());
    if (before != std::array{shadow.opacity(), shadow.blurRadius(), shadow.offset()})
        _frame = QImage(); // the shadow under the frame is made again
}

// A frame pass runs only when its frame and end points would differ from the last one's.
QRect DocumentController::showFrameInView() {
    QRect changed;
    if (_renderer->needsDisplay() || _frame.isNull())
        changed = refreshFrame();
    updateEndPoints();
    if (!_isDragging)
        _controlAreas.updateTrackingAreaPath(_endPoints);
    return showLines(changed);
}

// The shadow is computed from the frame without its lines, before they are drawn, so that it is
// kept while only the lines change. Gives where the frame or the shadow changed.
QRect DocumentController::refreshFrame() {
    const QRect whole(QPoint(0, 0), _pictureView->size());
    const bool wasEmpty = _frame.isNull();
    if (_renderer->needsDisplay())
        _renderer->display();
    _frame = QImage(); // unshared, the renderer's frame takes what changed without a copy
    _frame = _renderer->captureFrame();
    _window->invalidateShadow(_frame);
    if (wasEmpty)
        return whole;
    const int reach = _window->dropShadow().reach();
    const QRect sheet = scaledRect(_renderer->lastCaptureChange(), 1.0 / _scale).toAlignedRect();
    return sheet.adjusted(-reach, -reach, reach, reach) & whole;
}

// Where the frame, its shadow or the lines changed, the picture is made again from the frame:
// every pixel is written once, in the form the overlay and the screen paint fastest.
QRect DocumentController::showLines(QRect changed) {
    const QRect whole(QPoint(0, 0), _pictureView->size());
    const LineOverlay overlay = lineOverlay();
    QImage picture = _pictureView->takeImage();
    if (picture.size() != _frame.size()) {
        picture = QImage(_frame.size(), QImage::Format_ARGB32_Premultiplied);
        picture.setDevicePixelRatio(_frame.devicePixelRatio());
        changed = whole;
    } else {
        changed |= overlay.changeFrom(_shownOverlay, _shownEndPoints, int(_shownArea), _endPoints,
                                      int(_controlArea), whole.height());
        changed &= whole;
    }
    if (!changed.isEmpty()) {
        const QRect pixels = scaledRect(changed, _scale).toAlignedRect() & _frame.rect();
        copyPremultiplied(_frame, picture, pixels);
        _window->dropShadow().paintUnder(picture, pixels);
        overlay.draw(picture, _endPoints, int(_controlArea), scaledRect(pixels, 1.0 / _scale));
    }
    _pictureView->setImage(std::move(picture));
    _shownOverlay = overlay;
    _shownEndPoints = _endPoints;
    _shownArea = _controlArea;
    return changed;
}

void DocumentController::updateDisplay() {
    const QRect changed = showFrameInView();
    if (!changed.isEmpty())
        _window->display(changed);
}

// Clicks on the transparent margin go to the windows behind, as they would on the macOS desktop.
void DocumentController::updateInputArea() {
    _window->setInputArea(SheetOutline::polygons(_endPoints, _window->height()));
}

void DocumentController::updateEndPoints() {
    _endPoints = _renderer->lineEndPoints();
}

LineOverlay DocumentController::lineOverlay() const {
    return LineOverlay{_lineColor[0], _lineColor[1], _showCreaseLines, _showControlLine};
}

QImage DocumentController::drawLines(QImage image) const {
    lineOverlay().draw(image, _endPoints, static_cast<int>(_controlArea));
    return image;
}

QImage DocumentController::image() {
    if (_copyWithShadow)
        return captureWithCopyLines();
    QImage picture = _renderer->captureFrame();
    if (_copyWithCreaseLines) {
        const bool showCreaseLine = _showCreaseLines;
        _showCreaseLines = true;
        picture = drawLines(std::move(picture));
        _showCreaseLines = showCreaseLine;
    }
    return picture;
}

// The window is captured as shown, redrawn first with the lines the copy wants (a copy without
// crease lines hides the control line too) and afterwards with its own again.
QImage DocumentController::captureWithCopyLines() {
    const bool showCreaseLine = _showCreaseLines;
    const bool redraw = _copyWithCreaseLines != showCreaseLine;
    if (redraw) {
        const bool showControlLine = _showControlLine;
        _showCreaseLines = _copyWithCreaseLines;
        if (!_copyWithCreaseLines)
            _showControlLine = false;
        updateDisplay();
        _showControlLine = showControlLine;
    }
    QImage picture = _window->capture(_scale);
    _showCreaseLines = showCreaseLine;
    if (redraw)
        updateDisplay();
    return picture;
}

// The clipboard changes only once there is a picture, so a failed capture keeps what the user
// had copied before.
void DocumentController::copyPicture(const QString& format) {
    const QImage picture = image();
    if (picture.isNull())
        return;
    QGuiApplication::clipboard()->setMimeData(
        PictureEncoder::mimeDataWithFormat(picture, format).release());
}
