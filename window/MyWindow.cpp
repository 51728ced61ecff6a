#include "window/MyWindow.h"

#include "window/DroppedFiles.h"
#include "window/MyView.h"
#include "window/MyWindowController.h"

#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMouseEvent>

MyWindow::MyWindow(QSize size) : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint) {
    setAttribute(Qt::WA_TranslucentBackground);
    setFixedSize(size);
    setFocusPolicy(Qt::ClickFocus);
    setAcceptDrops(true);
}

void MyWindow::setContentView(MyView* view) {
    _contentView = view;
    view->setParent(this);
    view->move(0, 0);
}

void MyWindow::setWindowController(MyWindowController* controller) {
    _windowController = controller;
}

void MyWindow::display() {
    repaint();
}

void MyWindow::invalidateShadow() {
    if (!_contentView)
        return;
    QImage picture = _contentView->takeImage();
    _shadow.update(picture);
    _shadow.paintUnder(picture);
    _contentView->setImage(std::move(picture));
}

bool MyWindow::event(QEvent* event) {
    if (_windowController) {
        if (event->type() == QEvent::WindowActivate)
            _windowController->windowDidBecomeKey();
        else if (event->type() == QEvent::WindowDeactivate)
            _windowController->windowDidResignKey();
    }
    return QWidget::event(event);
}

void MyWindow::mousePressEvent(QMouseEvent* event) {
    if (_windowController && event->button() == Qt::LeftButton)
        _windowController->mouseDown(*event);
    else
        QWidget::mousePressEvent(event);
}

void MyWindow::mouseMoveEvent(QMouseEvent* event) {
    if (_windowController && (event->buttons() & Qt::LeftButton))
        _windowController->mouseDragged(*event);
}

void MyWindow::mouseReleaseEvent(QMouseEvent* event) {
    if (_windowController && event->button() == Qt::LeftButton)
        _windowController->mouseUp(*event);
}

// Only Pleatora's own Close may end a document; a close from the window manager is passed on to
// it instead of leaving the document running behind a hidden window.
void MyWindow::closeEvent(QCloseEvent* event) {
    if (event->spontaneous() && _windowController) {
        event->ignore();
        emit closeRequested();
        return;
    }
    QWidget::closeEvent(event);
}

void MyWindow::contextMenuEvent(QContextMenuEvent* event) {
    emit contextMenuRequested(event->globalPos());
}

void MyWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (!droppedLocalFiles(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void MyWindow::dropEvent(QDropEvent* event) {
    const QList<QUrl> urls = droppedLocalFiles(event->mimeData());
    if (urls.isEmpty())
        return;
    event->acceptProposedAction();
    emit filesDropped(urls);
}
