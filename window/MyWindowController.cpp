#include "window/MyWindowController.h"

#include "render/MyGLView.h"
#include "settings/PreferencesDefaults.h"
#include "window/FrameCoordinates.h"
#include "window/LineOverlay.h"
#include "window/MyView.h"
#include "window/MyWindow.h"
#include "window/PictureEncoder.h"
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

std::unique_ptr<MyWindowController>
MyWindowController::initWithPicture(const PictureReader::Result& picture, const SheetSizing& sizing,
                                    const QUrl& url, PreferencesDefaults& defaults,
                                    QString* failure) {
    const FoldSize imageSize = sizing.displaySize(picture.pixelSize);
    const FoldSize windowSize = FoldModel::caliculateWindowSizeWithImageSize(imageSize);
    std::unique_ptr<MyWindowController> controller(
        new MyWindowController(imageSize, windowSize, defaults));
    controller->_url = url;
    controller->_picturePixelSize = picture.pixelSize;
    controller->_window->setWindowTitle(url.fileName());
    if (const QString whatFailed = controller->startRenderer(picture.picture, windowSize);
        !whatFailed.isEmpty()) {
        if (failure)
            *failure = whatFailed;
        return nullptr;
    }
    controller->setImageToMyView();
    controller->updateInputArea();
    controller->_defaultsConnection =
        connect(&defaults, &PreferencesDefaults::handleDefaultsChange, controller.get(),
                &MyWindowController::didReceiveNotification, Qt::DirectConnection);
    controller->startTimer();
    return controller;
}

MyWindowController::MyWindowController(FoldSize imageSize, FoldSize windowSize,
                                       PreferencesDefaults& defaults)
    : _defaults(defaults), _fold(imageSize) {
    const QSize size = truncatedSize(windowSize);
    auto view = new MyView(size);
    _window = std::make_unique<MyWindow>(size);
    _window->setContentView(view);
    _myView = view;
    listenToWindow();
    // The window is not on screen yet: the ratio of the screen it will open on, not the largest.
    _scale = _window->screen()->devicePixelRatio();
    updateInstanceValues();
    _controlArea = ControlAreas::noArea;
    _timer.setInterval(hoverPollInterval);
    connect(&_timer, &QTimer::timeout, this, &MyWindowController::checkMouseInArea);
}

MyWindowController::~MyWindowController() {
    stopTimer();
    // Closing and destroying the window can still send activation events; none may reach a
    // controller that is going away.
    _window->disconnect(this);
    _window->close();
    disconnect(_defaultsConnection);
}

void MyWindowController::listenToWindow() {
    MyWindow* window = _window.get();
    connect(window, &MyWindow::mouseDown, this, &MyWindowController::mouseDown);
    connect(window, &MyWindow::mouseDragged, this, &MyWindowController::mouseDragged);
    connect(window, &MyWindow::mouseUp, this, &MyWindowController::mouseUp);
    connect(window, &MyWindow::keyDown, this, &MyWindowController::keyDown);
    connect(window, &MyWindow::windowDidBecomeKey, this, &MyWindowController::windowDidBecomeKey);
    connect(window, &MyWindow::windowDidResignKey, this, &MyWindowController::windowDidResignKey);
    connect(window, &MyWindow::mouseExited, this, &MyWindowController::mouseExited);
}

// The renderer takes the fold state, the image size and the picture, as the first update needs.
// Gives what failed, or nothing.
QString MyWindowController::startRenderer(const QImage& picture, FoldSize windowSize) {
    QString whatFailed;
    _myGLView =
        MyGLView::initWithFrame(QSizeF(windowSize.width, windowSize.height), _scale, &whatFailed);
    if (!_myGLView)
        return whatFailed;
    _myGLView->setPitch(0);
    _myGLView->setShading(_shading);
    setCreaseAndCoordinatePointToMyGLView();
    _myGLView->setImageSize(QSizeF(_fold._imageSize.width, _fold._imageSize.height));
    if (!_myGLView->setImage(picture))
        return tr("The picture could not be made into an OpenGL texture.");
    return QString();
}

void MyWindowController::alertPanelWithMessageText(const QString& messageText,
                                                   const QString& infoText) {
    QMessageBox alert;
    alert.setText(messageText);
    alert.setInformativeText(infoText);
    alert.addButton(tr("OK"), QMessageBox::AcceptRole);
    alert.exec();
}

void MyWindowController::showWindow() {
    _window->show();
    _window->raise();
    _window->activateWindow();
}

void MyWindowController::startTimer() {
    if (!_timer.isActive())
        _timer.start();
}

void MyWindowController::stopTimer() {
    _timer.stop();
}

void MyWindowController::setCreaseAndCoordinatePointToMyGLView() {
    _myGLView->setFold(_fold);
}

void MyWindowController::updateInstanceValues() {
    _lineColor[0] = _defaults.creaseLineColor();
    _lineColor[1] = _defaults.controlLineColor();
    _isShowCreaseLine = _defaults.showCreaseLine();
    _isShowControlLine = _defaults.showControlLine();
    _isCopyWithCreaseLine = _defaults.copyWithCreaseLine();
    _isCopyWithShadow = _defaults.copyWithShadow();
    _shading = float(_defaults.shading() / 100.0);
    if (_myGLView)
        _myGLView->setShading(_shading);
    DropShadow& shadow = _window->dropShadow();
    const std::array before{shadow.opacity(), shadow.blurRadius(), shadow.offset()};
    shadow.setOpacity(_defaults.shadowOpacity() / 100.0);
    shadow.setBlurRadius(_defaults.shadowBlur());
    shadow.setOffset(_defaults.shadowOffset());
    if (before != std::array{shadow.opacity(), shadow.blurRadius(), shadow.offset()})
        _frame = QImage(); // the shadow under the frame is made again
}

// A frame pass runs only when its frame and end points would differ from the last one's.
QRect MyWindowController::setImageToMyView() {
    QRect changed;
    if (_myGLView->needsDisplay() || _frame.isNull())
        changed = refreshFrame();
    updateEndPt();
    if (!_isMouseDraging)
        _controlAreas.updateTrackingAreaPath(_endPt);
    return showLines(changed);
}

// The shadow is computed from the frame without its lines, before they are drawn, so that it is
// kept while only the lines change. Gives where the frame or the shadow changed.
QRect MyWindowController::refreshFrame() {
    const QRect whole(QPoint(0, 0), _myView->size());
    const bool wasEmpty = _frame.isNull();
    if (_myGLView->needsDisplay())
        _myGLView->display();
    _frame = QImage(); // unshared, the renderer's frame takes what changed without a copy
    _frame = _myGLView->imageFromView();
    _window->invalidateShadow(_frame);
    if (wasEmpty)
        return whole;
    const int reach = _window->dropShadow().reach();
    const QRect sheet = scaledRect(_myGLView->lastCaptureChange(), 1.0 / _scale).toAlignedRect();
    return sheet.adjusted(-reach, -reach, reach, reach) & whole;
}

// Where the frame, its shadow or the lines changed, the picture is made again from the frame:
// every pixel is written once, in the form the overlay and the screen paint fastest.
QRect MyWindowController::showLines(QRect changed) {
    const QRect whole(QPoint(0, 0), _myView->size());
    const LineOverlay overlay = lineOverlay();
    QImage picture = _myView->takeImage();
    if (picture.size() != _frame.size()) {
        picture = QImage(_frame.size(), QImage::Format_ARGB32_Premultiplied);
        picture.setDevicePixelRatio(_frame.devicePixelRatio());
        changed = whole;
    } else {
        changed |= overlay.changeFrom(_shownOverlay, _shownEndPt, int(_shownArea), _endPt,
                                      int(_controlArea), whole.height());
        changed &= whole;
    }
    if (!changed.isEmpty()) {
        const QRect pixels = scaledRect(changed, _scale).toAlignedRect() & _frame.rect();
        copyPremultiplied(_frame, picture, pixels);
        _window->dropShadow().paintUnder(picture, pixels);
        overlay.draw(picture, _endPt, int(_controlArea), scaledRect(pixels, 1.0 / _scale));
    }
    _myView->setImage(std::move(picture));
    _shownOverlay = overlay;
    _shownEndPt = _endPt;
    _shownArea = _controlArea;
    return changed;
}

void MyWindowController::updateMyWindow() {
    const QRect changed = setImageToMyView();
    if (!changed.isEmpty())
        _window->display(changed);
}

// Clicks on the transparent margin go to the windows behind, as they would on the macOS desktop.
void MyWindowController::updateInputArea() {
    _window->setInputArea(SheetOutline::polygons(_endPt, _window->height()));
}

void MyWindowController::updateEndPt() {
    _endPt = _myGLView->lineEndPoints();
}

LineOverlay MyWindowController::lineOverlay() const {
    return LineOverlay{_lineColor[0], _lineColor[1], _isShowCreaseLine, _isShowControlLine};
}

QImage MyWindowController::drawLineToImage(QImage image) const {
    lineOverlay().draw(image, _endPt, static_cast<int>(_controlArea));
    return image;
}

QImage MyWindowController::image() {
    if (_isCopyWithShadow)
        return imageWithCopyLinesFromScreen();
    QImage picture = _myGLView->imageFromView();
    if (_isCopyWithCreaseLine) {
        const bool showCreaseLine = _isShowCreaseLine;
        _isShowCreaseLine = true;
        picture = drawLineToImage(std::move(picture));
        _isShowCreaseLine = showCreaseLine;
    }
    return picture;
}

// The window is captured as shown, redrawn first with the lines the copy wants (a copy without
// crease lines hides the control line too) and afterwards with its own again.
QImage MyWindowController::imageWithCopyLinesFromScreen() {
    const bool showCreaseLine = _isShowCreaseLine;
    const bool redraw = _isCopyWithCreaseLine != showCreaseLine;
    if (redraw) {
        const bool showControlLine = _isShowControlLine;
        _isShowCreaseLine = _isCopyWithCreaseLine;
        if (!_isCopyWithCreaseLine)
            _isShowControlLine = false;
        updateMyWindow();
        _isShowControlLine = showControlLine;
    }
    QImage picture = _window->capture(_scale);
    _isShowCreaseLine = showCreaseLine;
    if (redraw)
        updateMyWindow();
    return picture;
}

// The clipboard changes only once there is a picture, so a failed capture keeps what the user
// had copied before.
void MyWindowController::copyImageWithFormat(const QString& format) {
    const QImage picture = image();
    if (picture.isNull())
        return;
    QGuiApplication::clipboard()->setMimeData(
        PictureEncoder::mimeDataWithFormat(picture, format).release());
}
