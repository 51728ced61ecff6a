// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
//
// The hover poll and the mouse drags of a document: which hit area is under the pointer, and what
// a drag from it does to the fold, the tilt or the window.
#include "window/DocumentController.h"

#include "document/FrameCoordinates.h"
#include "window/DocumentWindow.h"

#include <QApplication>
#include <QCursor>
#include <QDrag>
#include <QMimeData>
#include <QMouseEvent>
#include <QWindow>

#include <algorithm>
#include <cmath>

namespace {

constexpr double pitchSnap = 15;
constexpr double hingedAngleSnap = 15; // degrees
constexpr double orbitSnap = 5;
constexpr int dragImageWidth = 200; // points

bool isShift(Qt::KeyboardModifiers modifiers) {
    return modifiers & Qt::ShiftModifier;
}

// Many window managers keep Alt+drag for themselves, so Control restricts the drag as well.
bool isOption(Qt::KeyboardModifiers modifiers) {
    return modifiers & (Qt::AltModifier | Qt::ControlModifier);
}

// One degree a point within the limits; with snap the angle moves only from one whole snap to
// another, and a move within one stays pending.
double turnedBy(double angle, double points, double limit, bool snap) {
    const double turned = std::clamp(angle + points, -limit, limit);
    if (!snap)
        return turned;
    const double snapped = turned - std::fmod(turned, orbitSnap);
    return snapped == angle - std::fmod(angle, orbitSnap) ? angle : snapped;
}

} // namespace

void DocumentController::setCursorShape(Qt::CursorShape shape) {
    _window->setCursor(shape);
}

// While a menu or other pop-up is open the pointer is over it, not the window: the highlight stays
// as the user saw it when the pop-up opened, so that a Copy chosen there copies that.
void DocumentController::updateHoveredArea() {
    if (_isMouseDown || QApplication::activePopupWidget())
        return;
    const QPointF pointer =
        FrameCoordinates::fromWidget(_window->mapFromGlobal(QCursor::pos()), _window->height());
    const int area = _controlAreas.controlAreaPoint(pointer);
    if (area == _controlArea)
        return;
    _controlArea = area;
    setCursorShape(area == _controlAreas.outside() ? Qt::ArrowCursor : Qt::OpenHandCursor);
    updateDisplay();
}

void DocumentController::press(const QMouseEvent& event) {
    // The other button pressed during a drag leaves it going.
    if (_isMouseDown && (event.button() == Qt::MiddleButton) != _isOrbit)
        return;
    stopTimer();
    _isMouseDown = true;
    _isManualWindowMove = false;
    _lastPointInWindow = event.position();
    _lastPoint = FrameCoordinates::fromScreen(event.globalPosition());
    _pressSnapshot = _document->snapshot();
    ++_keyStepSeries;
    const bool outside = _controlArea == _controlAreas.outside();
    _isOrbit = event.button() == Qt::MiddleButton;
    _isPictureDrag = !_isOrbit && outside && (event.modifiers() & Qt::ControlModifier);
    if (!outside || _isOrbit)
        setCursorShape(Qt::ClosedHandCursor);
}

void DocumentController::drag(const QMouseEvent& event) {
    if (!_isMouseDown)
        return;
    if (_isOrbit)
        dragOrbit(FrameCoordinates::fromScreen(event.globalPosition()), event.modifiers());
    else if (_controlArea == _controlAreas.outside() && _isPictureDrag)
        dragPictureOut(event);
    else if (_controlArea == _controlAreas.outside())
        moveWindow(event);
    else if (_controlAreas.isTiltBand(_controlArea))
        dragTilt(FrameCoordinates::fromScreen(event.globalPosition()), event.modifiers());
    else
        dragLine(FrameCoordinates::fromScreen(event.globalPosition()), event.modifiers());
}

void DocumentController::release(const QMouseEvent& event) {
    // The other button's release leaves the drag going.
    if (_isMouseDown && (event.button() == Qt::MiddleButton) != _isOrbit)
        return;
    if (_isMouseDown)
        recordDrag();
    if (_isDragging)
        updateInputArea();
    const bool movedWindow = _isManualWindowMove;
    endPress();
    if (movedWindow)
        clearControlArea();
}

// One drag, from press to release, is one undo step.
void DocumentController::recordDrag() {
    if (_isOrbit)
        _document->pushStep(tr("Orbit"), _pressSnapshot);
    else if (_controlAreas.isTiltBand(_controlArea))
        _document->pushStep(tr("Tilt"), _pressSnapshot);
    else if (_controlAreas.isLine(_controlArea))
        _document->pushStep(tr("Fold"), _pressSnapshot);
}

// Escape puts the fold back as it was at the press and ends the drag; the rest of it is ignored.
void DocumentController::cancelDrag() {
    if (!_isMouseDown || (!_isOrbit && _controlArea == _controlAreas.outside()))
        return;
    if (_document->snapshot() != _pressSnapshot)
        _document->restore(_pressSnapshot);
    else
        endPress();
}

void DocumentController::endPress() {
    setCursorShape(Qt::OpenHandCursor);
    _isMouseDown = false;
    _isDragging = false;
    _isOrbit = false;
    startTimer();
}

// The window manager moves the window where it can (the only way on Wayland); once it has taken
// the press over, no release reaches the window, so the press ends here.
void DocumentController::moveWindow(const QMouseEvent& event) {
    if (!_isManualWindowMove) {
        if (_window->windowHandle() && _window->windowHandle()->startSystemMove()) {
            endPress();
            clearControlArea();
            return;
        }
        _isManualWindowMove = true;
    }
    _window->move((event.globalPosition() - _lastPointInWindow).toPoint());
}

// The drag's own event loop takes the press over: no release reaches the window afterwards.
void DocumentController::dragPictureOut(const QMouseEvent& event) {
    if ((event.position() - _lastPointInWindow).manhattanLength() <
        QApplication::startDragDistance())
        return;
    endPress();
    const QImage picture = image();
    std::unique_ptr<QMimeData> mimeData = pictureDragData(picture);
    if (!mimeData)
        return;
    auto* drag = new QDrag(_window.get()); // deleted by Qt once the drag is over
    drag->setMimeData(mimeData.release());
    const double scale = picture.devicePixelRatio();
    QImage thumbnail = picture.scaledToWidth(int(dragImageWidth * scale), Qt::SmoothTransformation);
    thumbnail.setDevicePixelRatio(scale);
    drag->setPixmap(QPixmap::fromImage(thumbnail));
    drag->exec(Qt::CopyAction);
}

// One degree of tilt per point of motion across the tilt axis, within [-60, 60]; the excess stays
// pending.
void DocumentController::dragTilt(QPointF screenPoint, Qt::KeyboardModifiers modifiers) {
    const double pitch = _document->pitch();
    double newPitch = std::clamp(pitch + foldMove(screenPoint - _lastPoint).y,
                                 -Document::maximumPitch, Document::maximumPitch);
    if (isShift(modifiers)) {
        const double snapped = newPitch - std::fmod(newPitch, pitchSnap);
        if (snapped == pitch - std::fmod(pitch, pitchSnap)) {
            _isDragging = true;
            return;
        }
        newPitch = snapped;
    }
    _lastPoint += screenMove({0, newPitch - pitch});
    _document->setPitch(static_cast<float>(newPitch));
    _isDragging = true;
}

// Motion along the sheet's length turns the yaw, motion across it the tilt, as dragTilt turns it.
void DocumentController::dragOrbit(QPointF screenPoint, Qt::KeyboardModifiers modifiers) {
    const FoldPoint move = foldMove(screenPoint - _lastPoint);
    const double pitch = _document->pitch();
    const double yaw = _document->yaw();
    const double newPitch = turnedBy(pitch, move.y, Document::maximumPitch, isShift(modifiers));
    const double newYaw = turnedBy(yaw, move.x, Document::maximumYaw, isShift(modifiers));
    _lastPoint += screenMove({newYaw - yaw, newPitch - pitch});
    if (newPitch != pitch)
        _document->setPitch(static_cast<float>(newPitch));
    if (newYaw != yaw)
        _document->setYaw(static_cast<float>(newYaw));
    _isDragging = true;
}

// The displacement counts from the reference point, which advances only by what the solver
// applied, so refused motion stays pending.
void DocumentController::dragLine(QPointF screenPoint, Qt::KeyboardModifiers modifiers) {
    FoldPoint move = foldMove(screenPoint - _lastPoint);
    if (_document->layout().isHinged())
        return dragHingedLine(move, modifiers);
    if (isOption(modifiers))
        move.x = 0;
    if (isShift(modifiers))
        move.y = 0;
    const FoldPoint applied = _document->moveLine(_controlArea, move);
    _lastPoint += screenMove(applied);
    _lastDraggedLine = _controlArea;
    _isDragging = true;
}

// A hinged panel turns with the pointer, its angle snapped by Shift; Ctrl (or Alt) moves its
// crease along the paper instead.
void DocumentController::dragHingedLine(FoldPoint move, Qt::KeyboardModifiers modifiers) {
    const bool along = isOption(modifiers);
    const FoldPoint asked = along ? FoldPoint{0, move.x} : FoldPoint{move.x, 0};
    const FoldPoint applied =
        _document->moveLine(_controlArea, asked, isShift(modifiers) ? hingedAngleSnap : 0.0);
    _lastPoint += screenMove({along ? applied.y : applied.x, 0});
    _lastDraggedLine = _controlArea;
    _isDragging = true;
}

void DocumentController::windowActivated() {
    startTimer();
}

void DocumentController::windowDeactivated() {
    stopTimer();
    clearControlArea();
}

// A pointer that went onto one of Pleatora's own pop-ups has not left for good; see
// updateHoveredArea().
void DocumentController::pointerLeft() {
    if (_isMouseDown || QApplication::activePopupWidget())
        return;
    clearControlArea();
}

// The highlight and the open hand belong to the pointer over the window: they go when it leaves,
// when the window stops being key and when the window has moved under it.
void DocumentController::clearControlArea() {
    setCursorShape(Qt::ArrowCursor);
    if (_controlArea == _controlAreas.outside())
        return;
    _controlArea = _controlAreas.outside();
    updateDisplay();
}

void DocumentController::followPreferences() {
    reloadPreferences();
    updateDisplay();
}
