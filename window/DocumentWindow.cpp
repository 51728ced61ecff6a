// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/DocumentWindow.h"

#include "window/DroppedFiles.h"
#include "window/PictureView.h"
#include "window/WindowInputShape.h"

#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMouseEvent>

DocumentWindow::DocumentWindow(QSize size)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint) {
    setAttribute(Qt::WA_TranslucentBackground);
    setFixedSize(size);
    setFocusPolicy(Qt::ClickFocus);
    setAcceptDrops(true);
}

void DocumentWindow::setContentView(PictureView* view) {
    _contentView = view;
    view->setParent(this);
    view->move(0, 0);
}

void DocumentWindow::display(const QRect& area) {
    if (area.isNull())
        repaint();
    else
        repaint(area);
}

QImage DocumentWindow::capture(double scale) {
    QImage picture(size() * scale, QImage::Format_ARGB32_Premultiplied);
    picture.setDevicePixelRatio(scale);
    picture.fill(Qt::transparent);
    render(&picture, QPoint(), QRegion(), QWidget::DrawChildren);
    return picture;
}

void DocumentWindow::setInputArea(const QList<QPolygonF>& polygons) {
    _inputArea = polygons;
    applyInputArea();
}

void DocumentWindow::applyInputArea() {
    WindowInputShape::setInputArea(windowHandle(), _inputArea);
}

bool DocumentWindow::event(QEvent* event) {
    switch (event->type()) {
    case QEvent::WindowActivate:
        emit activated();
        break;
    case QEvent::WindowDeactivate:
        emit deactivated();
        break;
    case QEvent::Leave:
        emit mouseLeft();
        break;
    // The native window exists from here on, and is not mapped yet.
    case QEvent::Show:
        applyInputArea();
        break;
    default:
        break;
    }
    return QWidget::event(event);
}

// The middle button orbits the sheet; the others are Qt's.
void DocumentWindow::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton || event->button() == Qt::MiddleButton)
        emit mousePressed(*event);
    else
        QWidget::mousePressEvent(event);
}

void DocumentWindow::mouseMoveEvent(QMouseEvent* event) {
    if (event->buttons() & (Qt::LeftButton | Qt::MiddleButton))
        emit mouseDragged(*event);
}

void DocumentWindow::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton || event->button() == Qt::MiddleButton)
        emit mouseReleased(*event);
}

void DocumentWindow::keyPressEvent(QKeyEvent* event) {
    emit keyPressed(*event);
}

// Only Pleatora's own Close may end a document; a close from the window manager is passed on
// instead of leaving the document running behind a hidden window.
void DocumentWindow::closeEvent(QCloseEvent* event) {
    if (event->spontaneous()) {
        event->ignore();
        emit closeRequested();
        return;
    }
    QWidget::closeEvent(event);
}

void DocumentWindow::contextMenuEvent(QContextMenuEvent* event) {
    emit contextMenuRequested(event->globalPos());
}

void DocumentWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (DroppedFiles::bringsPictures(event->mimeData()))
        event->acceptProposedAction();
}

void DocumentWindow::dropEvent(QDropEvent* event) {
    if (!DroppedFiles::bringsPictures(event->mimeData()))
        return;
    event->acceptProposedAction();
    emit filesDropped(event->mimeData()->urls());
}
