// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "DocumentFixture.h"

#include "window/DocumentWindow.h"
#include "window/PictureView.h"

#include <QApplication>
#include <QCursor>
#include <QFile>
#include <QMouseEvent>
#include <QPainter>
#include <QTest>

const QColor DocumentFixture::creaseColor(0, 0, 255);
const QColor DocumentFixture::controlColor(0, 255, 0);

void DocumentFixture::SetUp() {
    _settings =
        std::make_unique<ApplicationSettings>(_dir.filePath(QStringLiteral("Pleatora.conf")));
    _preferences = std::make_unique<Preferences>(*_settings);
    // Keep the pointer off every window until a test puts it somewhere.
    QCursor::setPos(1900, 1060);
}

void DocumentFixture::TearDown() {
    _preferences.reset();
    _settings.reset();
}

// Opaque squares in two warm colours, neither of them a line colour.
QUrl DocumentFixture::writeImage(QSize pixelSize, const QString& name) {
    QImage picture(pixelSize, QImage::Format_RGB32);
    QPainter painter(&picture);
    for (int y = 0; y < pixelSize.height(); y += 16) {
        for (int x = 0; x < pixelSize.width(); x += 16) {
            const bool odd = ((x + y) / 16) % 2;
            painter.fillRect(x, y, 16, 16, odd ? QColor(200, 150, 100) : QColor(230, 220, 210));
        }
    }
    painter.end();
    const QString path = _dir.filePath(name);
    EXPECT_TRUE(picture.save(path));
    return QUrl::fromLocalFile(path);
}

std::unique_ptr<DocumentController> DocumentFixture::openDocument(const QUrl& url,
                                                                  QString* failure) {
    const SheetSizing sizing = SheetSizing::ofFirstScreen();
    const PictureReader::Result read =
        PictureReader::read(QFile::encodeName(url.toLocalFile()),
                            [&sizing](QSize pixels) { return sizing.decodeSize(pixels); });
    if (read.picture.isNull()) {
        if (failure)
            *failure = read.failure;
        return nullptr;
    }
    return DocumentController::create(read, sizing, url, *_preferences, failure);
}

std::unique_ptr<DocumentController> DocumentFixture::openShown(QSize pixelSize) {
    auto controller = openDocument(writeImage(pixelSize));
    if (!controller)
        return nullptr;
    controller->showWindow();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(controller->window()));
    EXPECT_TRUE(QTest::qWaitForWindowActive(controller->window()));
    return controller;
}

void DocumentFixture::useOpaqueLineColors() {
    _preferences->setValue(Preferences::creaseLineColor, creaseColor);
    _preferences->setValue(Preferences::controlLineColor, controlColor);
}

bool DocumentFixture::waitFor(const std::function<bool()>& condition) {
    return QTest::qWaitFor(condition, 3000);
}

QPoint DocumentFixture::widgetPoint(const DocumentController& controller, QPointF framePoint) {
    return QPointF(framePoint.x(), controller.window()->height() - framePoint.y()).toPoint();
}

QPointF DocumentFixture::lineMiddle(const DocumentController& controller, int line) {
    const auto& endPoints = controller.endPoints();
    return (endPoints[line][0] + endPoints[line][1]) / 2;
}

QColor DocumentFixture::framePixel(const QImage& picture, QPointF framePoint) {
    const int row = picture.height() - 1 - static_cast<int>(framePoint.y());
    return picture.pixelColor(static_cast<int>(framePoint.x()), row);
}

QColor DocumentFixture::shownPixel(const DocumentController& controller, QPointF framePoint) {
    return framePixel(controller.window()->contentView()->image(), framePoint);
}

namespace {

void sendMouse(DocumentController& controller, QEvent::Type type, QPoint at, QPoint global,
               Qt::MouseButton button, Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers) {
    QMouseEvent event(type, QPointF(at), QPointF(global), button, buttons, modifiers);
    QApplication::sendEvent(controller.window()->contentView(), &event);
}

} // namespace

void DocumentFixture::press(DocumentController& controller, QPoint at,
                            Qt::KeyboardModifiers modifiers) {
    sendMouse(controller, QEvent::MouseButtonPress, at, controller.window()->mapToGlobal(at),
              Qt::LeftButton, Qt::LeftButton, modifiers);
}

void DocumentFixture::dragTo(DocumentController& controller, QPoint to,
                             Qt::KeyboardModifiers modifiers) {
    sendMouse(controller, QEvent::MouseMove, to, controller.window()->mapToGlobal(to), Qt::NoButton,
              Qt::LeftButton, modifiers);
}

void DocumentFixture::release(DocumentController& controller, QPoint at) {
    sendMouse(controller, QEvent::MouseButtonRelease, at, controller.window()->mapToGlobal(at),
              Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
}

void DocumentFixture::hover(DocumentController& controller, QPoint at, int expectedArea) {
    // Only the active window polls. Without a window manager a late focus change can leave it
    // inactive; a user pointing at it would have clicked it first.
    QWidget* window = controller.window();
    if (!window->isActiveWindow()) {
        window->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(window));
    }
    QCursor::setPos(window->mapToGlobal(at));
    EXPECT_TRUE(waitFor([&] { return controller.controlArea() == expectedArea; }))
        << "area " << controller.controlArea() << " instead of " << expectedArea;
}
