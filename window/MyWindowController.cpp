#include "window/MyWindowController.h"

#include "render/MyGLView.h"
#include "settings/PreferencesDefaults.h"
#include "window/FrameCoordinates.h"
#include "window/MyView.h"
#include "window/MyWindow.h"

#include <QBuffer>
#include <QClipboard>
#include <QGuiApplication>
#include <QImageReader>
#include <QMessageBox>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPdfWriter>
#include <QScreen>
#include <QWindow>
#include <algorithm>
#include <cmath>
#include <optional>

namespace {

constexpr int hoverPollInterval = 66; // ms, fifteen polls a second
constexpr int noArea = ControlAreas::noArea;
constexpr int topBand = ControlAreas::topBand;
constexpr int bottomBand = ControlAreas::bottomBand;
constexpr double maximumPitch = 60;
constexpr double pitchSnap = 15;

std::optional<double> firstScreenHeight() {
    const QList<QScreen*> screens = QGuiApplication::screens();
    if (screens.isEmpty())
        return std::nullopt;
    return screens.first()->geometry().height();
}

// Frames and views are whole points; the renderer truncates the window size the same way.
QSize truncatedSize(FoldSize size) {
    return QSize(static_cast<int>(size.width), static_cast<int>(size.height));
}

// Overlay path k: crease line k (0..6), or the polyline through the top (7) or bottom (8) ends.
QPainterPath overlayPath(const std::array<std::array<QPointF, 2>, 7>& endPt, int k) {
    QPainterPath path;
    if (k < topBand) {
        path.moveTo(endPt[k][0]);
        path.lineTo(endPt[k][1]);
        return path;
    }
    const int end = k == topBand ? 0 : 1;
    path.moveTo(endPt[0][end]);
    for (int i = 1; i < 7; ++i)
        path.lineTo(endPt[i][end]);
    return path;
}

// A format whose image plugin is missing is left out rather than offered empty.
void offerEncoded(QMimeData& mimeData, const QImage& picture, const char* format,
                  const QString& mimeType) {
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    if (picture.save(&buffer, format))
        mimeData.setData(mimeType, data);
}

// One page the picture's size in points, the picture covering it.
QByteArray pdfData(const QImage& picture) {
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    const QSizeF points = picture.deviceIndependentSize();
    QPdfWriter writer(&buffer);
    writer.setPageSize(QPageSize(points, QPageSize::Point, QString(), QPageSize::ExactMatch));
    writer.setPageMargins(QMarginsF());
    writer.setResolution(72);
    QPainter painter(&writer);
    painter.drawImage(QRectF(QPointF(), points), picture);
    painter.end();
    return data;
}

bool isShift(Qt::KeyboardModifiers modifiers) {
    return modifiers & Qt::ShiftModifier;
}

// Many window managers keep Alt+drag for themselves, so Control restricts the drag as well.
bool isOption(Qt::KeyboardModifiers modifiers) {
    return modifiers & (Qt::AltModifier | Qt::ControlModifier);
}

} // namespace

std::unique_ptr<MyWindowController> MyWindowController::initWithURL(const QUrl& url,
                                                                    PreferencesDefaults& defaults) {
    QImageReader reader(url.toLocalFile());
    const QImage loaded = reader.read();
    if (loaded.isNull()) {
        alertCantOpen(url);
        return nullptr;
    }
    const FoldSize pixelSize{static_cast<double>(loaded.width()),
                             static_cast<double>(loaded.height())};
    const FoldSize imageSize = FoldModel::displaySizeWithPixelSize(pixelSize, firstScreenHeight());
    const FoldSize windowSize = FoldModel::caliculateWindowSizeWithImageSize(imageSize);
    std::unique_ptr<MyWindowController> controller(
        new MyWindowController(imageSize, windowSize, defaults));
    controller->_window->setWindowTitle(url.fileName());

    controller->_myGLView =
        MyGLView::initWithFrame(QSizeF(windowSize.width, windowSize.height), controller->_scale);
    if (!controller->_myGLView) {
        alertCantOpen(url);
        return nullptr;
    }
    MyGLView& glView = *controller->_myGLView;
    glView.setPitch(0);
    controller->setCreaseAndCoordinatePointToMyGLView();
    glView.setImageSize(QSizeF(imageSize.width, imageSize.height));
    if (!glView.setImage(loaded)) {
        alertCantOpen(url);
        return nullptr;
    }
    controller->setImageToMyView();
    controller->_window->invalidateShadow();
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
    _window->setWindowController(this);
    _myView = view;
    // The window is not on screen yet: the ratio of the screen it will open on, not the largest.
    _scale = _window->screen()->devicePixelRatio();
    updateInstanceValues();
    _controlArea = noArea;
    _timer.setInterval(hoverPollInterval);
    connect(&_timer, &QTimer::timeout, this, &MyWindowController::checkMouseInArea);
}

MyWindowController::~MyWindowController() {
    stopTimer();
    _window->close();
    _window->setWindowController(nullptr);
    disconnect(_defaultsConnection);
}

void MyWindowController::alertPanelWithMessageText(const QString& messageText,
                                                   const QString& infoText) {
    QMessageBox alert;
    alert.setText(messageText);
    alert.setInformativeText(infoText);
    alert.addButton(tr("OK"), QMessageBox::AcceptRole);
    alert.exec();
}

void MyWindowController::alertCantOpen(const QUrl& url) {
    alertPanelWithMessageText(tr("Can't open"), QStringLiteral("reason : %1").arg(url.fileName()));
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
    for (int i = 0; i < 7; ++i) {
        _myGLView->setCreasePoint(_fold._creasePoint[i], i);
        _myGLView->setCoordinates(QPointF(_fold._coordinates[i].x, _fold._coordinates[i].y), i);
    }
}

void MyWindowController::updateInstanceValues() {
    _lineColor[0] = _defaults.creaseLineColor();
    _lineColor[1] = _defaults.controlLineColor();
    _isShowCreaseLine = _defaults.showCreaseLine();
    _isShowControlLine = _defaults.showControlLine();
    _isCopyWithCreaseLine = _defaults.copyWithCreaseLine();
    _isCopyWithShadow = _defaults.copyWithShadow();
}

void MyWindowController::setImageToMyView() {
    _myGLView->display();
    QImage frame = _myGLView->imageFromView();
    updateEndPt();
    if (!_isMouseDraging)
        _controlAreas.updateTrackingAreaPath(_endPt);
    // The one conversion per update: the form the overlay, the shadow and the screen paint fastest.
    frame.convertTo(QImage::Format_ARGB32_Premultiplied);
    _myView->setImage(drawLineToImage(std::move(frame)));
}

// The shadow is recomputed before the window is painted, since Pleatora paints it itself.
void MyWindowController::updateMyWindow() {
    setImageToMyView();
    _window->invalidateShadow();
    _window->display();
}

void MyWindowController::updateEndPt() {
    for (int i = 0; i < 7; ++i) {
        _endPt[i][0] = _myGLView->getLineEndPointWithLineName(i, true);
        _endPt[i][1] = _myGLView->getLineEndPointWithLineName(i, false);
    }
}

QImage MyWindowController::drawLineToImage(QImage image) const {
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter.setTransform(FrameCoordinates::toWidgetTransform(image.height()));
    QPen pen;
    pen.setWidthF(2.0);
    pen.setCapStyle(Qt::SquareCap);
    for (int k = 0; k < 9; ++k) {
        bool stroke = false;
        if (k >= 1 && k <= 5 && _isShowCreaseLine) {
            pen.setColor(_lineColor[0]);
            stroke = true;
        }
        if (_isShowControlLine && k == _controlArea) {
            pen.setColor(_lineColor[1]);
            stroke = true;
        }
        if (stroke)
            painter.strokePath(overlayPath(_endPt, k), pen);
    }
    painter.end();
    return image;
}

QImage MyWindowController::captureWindow() const {
    QImage picture(_window->size() * _scale, QImage::Format_ARGB32_Premultiplied);
    picture.setDevicePixelRatio(_scale);
    picture.fill(Qt::transparent);
    _window->render(&picture, QPoint(), QRegion(), QWidget::DrawChildren);
    return picture;
}

QImage MyWindowController::image() {
    const bool showCreaseLine = _isShowCreaseLine;
    if (_isCopyWithShadow) {
        const bool redraw = _isCopyWithCreaseLine != showCreaseLine;
        if (redraw) {
            const bool showControlLine = _isShowControlLine;
            _isShowCreaseLine = _isCopyWithCreaseLine;
            if (!_isCopyWithCreaseLine)
                _isShowControlLine = false;
            updateMyWindow();
            _isShowControlLine = showControlLine;
        }
        QImage picture = captureWindow();
        _isShowCreaseLine = showCreaseLine;
        if (redraw)
            updateMyWindow();
        return picture;
    }
    QImage picture = _myGLView->imageFromView();
    if (_isCopyWithCreaseLine) {
        _isShowCreaseLine = true;
        picture = drawLineToImage(std::move(picture));
        _isShowCreaseLine = showCreaseLine;
    }
    return picture;
}

// The clipboard changes only once there is a picture, so a failed capture keeps what the user
// had copied before.
void MyWindowController::copyImageWithFormat(const QString& format) {
    const QImage picture = image();
    if (picture.isNull())
        return;
    auto mimeData = std::make_unique<QMimeData>();
    if (format == QLatin1String("PDF")) {
        mimeData->setData(QStringLiteral("application/pdf"), pdfData(picture));
    } else {
        mimeData->setImageData(picture);
        offerEncoded(*mimeData, picture, "PNG", QStringLiteral("image/png"));
        offerEncoded(*mimeData, picture, "TIFF", QStringLiteral("image/tiff"));
    }
    QGuiApplication::clipboard()->setMimeData(mimeData.release());
}

void MyWindowController::setCursorShape(Qt::CursorShape shape) {
    _window->setCursor(shape);
}

void MyWindowController::checkMouseInArea() {
    if (_isMouseDown)
        return;
    const QPointF pointer =
        FrameCoordinates::fromWidget(_window->mapFromGlobal(QCursor::pos()), _window->height());
    const int area = _controlAreas.controlAreaPoint(pointer);
    if (area == _controlArea)
        return;
    _controlArea = area;
    setCursorShape(area == noArea ? Qt::ArrowCursor : Qt::OpenHandCursor);
    updateMyWindow();
}

void MyWindowController::mouseDown(const QMouseEvent& event) {
    stopTimer();
    _isMouseDown = true;
    _isManualWindowMove = false;
    _lastPointInWindow = event.position();
    _lastPoint = FrameCoordinates::fromScreen(event.globalPosition());
    if (_controlArea != noArea)
        setCursorShape(Qt::ClosedHandCursor);
}

void MyWindowController::mouseDragged(const QMouseEvent& event) {
    if (!_isMouseDown)
        return;
    if (_controlArea == noArea)
        moveWindow(event);
    else if (_controlArea == topBand || _controlArea == bottomBand)
        dragTilt(FrameCoordinates::fromScreen(event.globalPosition()), event.modifiers());
    else
        dragLine(FrameCoordinates::fromScreen(event.globalPosition()), event.modifiers());
}

void MyWindowController::mouseUp(const QMouseEvent&) {
    endPress();
}

void MyWindowController::endPress() {
    setCursorShape(Qt::OpenHandCursor);
    _isMouseDown = false;
    _isMouseDraging = false;
    startTimer();
}

// The window manager moves the window where it can (the only way on Wayland); once it has taken
// the press over, no release reaches the window, so the press ends here.
void MyWindowController::moveWindow(const QMouseEvent& event) {
    if (!_isManualWindowMove) {
        if (_window->windowHandle() && _window->windowHandle()->startSystemMove()) {
            endPress();
            return;
        }
        _isManualWindowMove = true;
    }
    _window->move((event.globalPosition() - _lastPointInWindow).toPoint());
}

// One degree of tilt per point of vertical motion, within [-60, 60]; the excess stays pending.
void MyWindowController::dragTilt(QPointF screenPoint, Qt::KeyboardModifiers modifiers) {
    const double pitch = _myGLView->pitch();
    double newPitch =
        std::clamp(pitch + (screenPoint.y() - _lastPoint.y()), -maximumPitch, maximumPitch);
    if (isShift(modifiers)) {
        const double snapped = newPitch - std::fmod(newPitch, pitchSnap);
        if (snapped == pitch - std::fmod(pitch, pitchSnap)) {
            _isMouseDraging = true;
            return;
        }
        newPitch = snapped;
    }
    _myGLView->setPitch(static_cast<float>(newPitch));
    _lastPoint.ry() += newPitch - pitch;
    updateMyWindow();
    _isMouseDraging = true;
}

// The displacement counts from the reference point, which advances only by what the solver
// applied, so refused motion stays pending.
void MyWindowController::dragLine(QPointF screenPoint, Qt::KeyboardModifiers modifiers) {
    const double dx = isOption(modifiers) ? 0 : screenPoint.x() - _lastPoint.x();
    const double dy = isShift(modifiers) ? 0 : screenPoint.y() - _lastPoint.y();
    const FoldPoint applied =
        _fold.handlingLine(_controlArea, FoldPoint{dx, dy}, _myGLView->pitch());
    _lastPoint += QPointF(applied.x, applied.y);
    setCreaseAndCoordinatePointToMyGLView();
    updateMyWindow();
    _isMouseDraging = true;
}

void MyWindowController::windowDidBecomeKey() {
    startTimer();
}

// The highlight drawn last stays until the next redraw.
void MyWindowController::windowDidResignKey() {
    stopTimer();
    _controlArea = noArea;
}

void MyWindowController::didReceiveNotification() {
    updateInstanceValues();
    updateMyWindow();
}
