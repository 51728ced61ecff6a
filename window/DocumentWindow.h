// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QPolygonF>
#include <QUrl>
#include <QWidget>

class PictureView;

// A document window: frameless and translucent, so that the folded picture floats on the desktop
// with the shadow Pleatora draws for it. It knows nothing of the document it shows: its mouse,
// activation, menu, drop and close events go out as signals.
class DocumentWindow : public QWidget {
    Q_OBJECT

public:
    explicit DocumentWindow(QSize size);

    void setContentView(PictureView* view);
    PictureView* contentView() const { return _contentView; }

    // Paints the content at once, before returning: all of it, or the area given (points).
    void display(const QRect& area = QRect());
    // The window as shown, shadow included, at scale pixels per point.
    QImage capture(double scale);
    // Only this area (polygons in window points, see WindowInputShape) takes the mouse; clicks
    // elsewhere reach the windows behind. Kept and applied again whenever the window is shown.
    void setInputArea(const QList<QPolygonF>& polygons);

signals:
    // Left button only; the events are those the window received.
    void mousePressed(const QMouseEvent& event);
    void mouseDragged(const QMouseEvent& event);
    void mouseReleased(const QMouseEvent& event);
    // Keys no shortcut took.
    void keyPressed(const QKeyEvent& event);
    void activated();
    void deactivated();
    // The pointer left the window's input area.
    void mouseLeft();
    void contextMenuRequested(const QPoint& globalPos);
    // Everything a drop brought; only a drag that brings at least one picture can be dropped.
    void filesDropped(const QList<QUrl>& urls);
    // The window manager asked to close the window (Alt+F4, a task bar); the document should end.
    void closeRequested();

protected:
    bool event(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void applyInputArea();

    PictureView* _contentView = nullptr;
    QList<QPolygonF> _inputArea;
};
