// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/DocumentController.h"

#include "document/FrameCoordinates.h"
#include "document/PrintedLength.h"
#include "document/SheetOutline.h"
#include "media/PictureEncoder.h"
#include "render/SheetRenderer.h"
#include "settings/Preferences.h"
#include "window/DocumentWindow.h"
#include "window/PictureView.h"
#include "window/WindowLog.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMessageBox>
#include <QMimeData>
#include <QScreen>

#include <algorithm>

namespace {

constexpr int hoverPollInterval = 66; // ms, fifteen polls a second

// A window moved the least way that brings it into the area, along each axis where it fits.
QRect keptInside(QRect window, const QRect& area) {
    if (window.width() <= area.width())
        window.moveLeft(std::clamp(window.left(), area.left(), area.right() + 1 - window.width()));
    if (window.height() <= area.height())
        window.moveTop(std::clamp(window.top(), area.top(), area.bottom() + 1 - window.height()));
    return window;
}

// A PDF's title, or that of a picture given a printed size, says the size it is printed at.
QString title(const Document& document) {
    const QString name = document.url().fileName();
    const Document::Printed& printed = document.printed();
    if (!printed.scalable && !printed.chosenPoints)
        return name;
    return QStringLiteral("%1 \u2014 %2")
        .arg(name, PrintedLength::describeSheet(printed.sheetPoints()));
}

} // namespace

std::unique_ptr<DocumentController>
DocumentController::create(const PictureReader::Result& picture, const SheetSizing& sizing,
                           const QUrl& url, Preferences& preferences, QString* failure,
                           const FoldLayout& layout) {
    const SizingPlan plan = SizingPlan::forPicture(sizing, picture.pixelSize, layout);
    auto document = std::make_unique<Document>(plan.sheet(), url, picture.pixelSize, layout);
    document->setSizing(sizing);
    // A PDF of two pages or more is printed on both sides: page 2 is the back.
    document->setPrinted({picture.points, picture.scalable, ArtworkPage(), picture.pageCount,
                          picture.pageCount >= 2 ? 2 : 0, std::nullopt, std::nullopt});
    std::unique_ptr<DocumentController> controller(
        new DocumentController(std::move(document), plan.windowPoints(), preferences));
    controller->_presenter = FramePresenter::create(*controller->_document, plan.windowPoints(),
                                                    controller->_scale, picture.picture, failure);
    if (!controller->_presenter || !controller->showPageBehind(failure))
        return nullptr;
    controller->followLayout();
    controller->reloadPreferences();
    controller->presentFrame();
    controller->updateInputArea();
    controller->_preferencesConnection =
        connect(&preferences, &Preferences::changed, controller.get(),
                &DocumentController::followPreferences, Qt::DirectConnection);
    controller->startTimer();
    return controller;
}

DocumentController::DocumentController(std::unique_ptr<Document> document, QSize size,
                                       Preferences& preferences)
    : _preferences(preferences), _document(std::move(document)) {
    auto view = new PictureView(size);
    _window = std::make_unique<DocumentWindow>(size);
    _window->setContentView(view);
    showTitle();
    _pictureView = view;
    listenToWindow();
    listenToDocument();
    // The window is not on screen yet: the ratio of the screen it will open on, not the largest.
    _scale = _window->screen()->devicePixelRatio();
    _timer.setInterval(hoverPollInterval);
    connect(&_timer, &QTimer::timeout, this, &DocumentController::updateHoveredArea);
}

DocumentController::~DocumentController() {
    stopTimer();
    // Closing and destroying the window can still send activation events; none may reach a
    // controller that is going away.
    _window->disconnect(this);
    _window->close();
    _document->disconnect(this);
    disconnect(_preferencesConnection);
}

void DocumentController::listenToWindow() {
    DocumentWindow* window = _window.get();
    connect(window, &DocumentWindow::mousePressed, this, &DocumentController::press);
    connect(window, &DocumentWindow::mouseDragged, this, &DocumentController::drag);
    connect(window, &DocumentWindow::mouseReleased, this, &DocumentController::release);
    connect(window, &DocumentWindow::keyPressed, this, &DocumentController::handleKey);
    connect(window, &DocumentWindow::activated, this, &DocumentController::windowActivated);
    connect(window, &DocumentWindow::deactivated, this, &DocumentController::windowDeactivated);
    connect(window, &DocumentWindow::mouseLeft, this, &DocumentController::pointerLeft);
}

void DocumentController::listenToDocument() {
    connect(_document.get(), &Document::replaced, this, &DocumentController::documentReplaced);
    connect(_document.get(), &Document::changed, this, &DocumentController::documentChanged);
}

// Undo, redo, Reset and fold files replace the fold: a drag still going on ends, since the fold it
// started from is gone, and so does a row of key steps.
void DocumentController::documentReplaced() {
    if (_isMouseDown)
        endPress();
    ++_keyStepSeries;
}

// The hit areas stay as they were during a drag; the input area follows once it ends.
void DocumentController::documentChanged() {
    followLayout();
    updateDisplay();
    if (!_isMouseDown)
        updateInputArea();
}

void DocumentController::followLayout() {
    const FoldLayout layout = _document->layout();
    const FoldSize sheet = _document->sheetSize();
    const bool turned = _document->yaw() != 0.0f;
    if (layout == _shownLayout && sheet == _shownSheet && turned == _shownTurned)
        return;
    if (layout != _shownLayout) {
        _shownLayout = layout;
        _controlAreas.setLayout(layout.panelCount() + 1, layout.axis());
        _controlArea = _controlAreas.outside();
        _lastDraggedLine = _controlAreas.outside();
    }
    _shownSheet = sheet;
    _shownTurned = turned;
    renderer().setImageSize(QSizeF(sheet.width, sheet.height));
    resizeWindow(_document->sizingPlan().windowPoints());
}

// The window keeps its centre where it can, and stays on the screen's available area where it
// fits.
void DocumentController::resizeWindow(QSize size) {
    if (size == _window->size())
        return;
    if (!_presenter->resize(size))
        qCWarning(windowLog) << "The renderer could not take a window of" << size;
    QRect placed(QPoint(), size);
    placed.moveCenter(_window->geometry().center());
    _pictureView->setFixedSize(size);
    _window->setFixedSize(size);
    _window->move(keptInside(placed, _window->screen()->availableGeometry()).topLeft());
}

// Horizontal creases are vertical ones with the frame's axes swapped and mirrored: the sheet's
// length runs down the screen and a tent rises toward the viewer to the left.
FoldPoint DocumentController::foldMove(QPointF screenMove) const {
    if (_shownLayout.axis() == FoldLayout::Axis::vertical)
        return {screenMove.x(), screenMove.y()};
    return {-screenMove.y(), -screenMove.x()};
}

QPointF DocumentController::screenMove(FoldPoint foldMove) const {
    if (_shownLayout.axis() == FoldLayout::Axis::vertical)
        return {foldMove.x, foldMove.y};
    return {-foldMove.y, -foldMove.x};
}

void DocumentController::showAlert(const QString& messageText, const QString& infoText) {
    QMessageBox alert;
    alert.setText(messageText);
    alert.setInformativeText(infoText);
    alert.addButton(tr("OK"), QMessageBox::AcceptRole);
    alert.exec();
}

void DocumentController::showTitle() {
    _window->setWindowTitle(title(*_document));
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

void DocumentController::reloadPreferences() {
    _presenter->setOverlay(LineOverlay{_preferences.value(Preferences::creaseLineColor),
                                       _preferences.value(Preferences::controlLineColor),
                                       _preferences.value(Preferences::showCreaseLine),
                                       _preferences.value(Preferences::showControlLine)});
    _copyWithCreaseLines = _preferences.value(Preferences::copyWithCreaseLine);
    _copyWithShadow = _preferences.value(Preferences::copyWithShadow);
    _presenter->setShading(float(_preferences.value(Preferences::shading) / 100.0));
    showPaperLook();
    _presenter->setShadow(_preferences.value(Preferences::shadowOpacity) / 100.0,
                          _preferences.value(Preferences::shadowBlur),
                          _preferences.value(Preferences::shadowOffset));
}

// The view's picture is handed to the presenter and back, so that it is redrawn in place.
QRect DocumentController::presentFrame() {
    _presenter->showFold(*_document);
    QImage picture = _pictureView->takeImage();
    const QRect changed = _presenter->present(picture, int(_controlArea));
    _pictureView->setImage(std::move(picture));
    if (!_isDragging)
        _controlAreas.updateTrackingAreaPath(endPoints());
    return changed;
}

void DocumentController::updateDisplay() {
    const QRect changed = presentFrame();
    if (!changed.isEmpty())
        _window->display(changed);
}

// Clicks on the transparent margin go to the windows behind, as they would on the macOS desktop.
void DocumentController::updateInputArea() {
    _window->setInputArea(SheetOutline::polygons(endPoints(), _window->height(),
                                                 _controlAreas.lineCount(), _shownLayout.axis()));
}

QImage DocumentController::drawLines(QImage image) const {
    _presenter->overlay().draw(image, endPoints(), static_cast<int>(_controlArea));
    return image;
}

QImage DocumentController::image() {
    if (_copyWithShadow)
        return captureWithCopyLines();
    return _presenter->sheetPicture(_copyWithCreaseLines, int(_controlArea));
}

// The window is captured as shown, redrawn first with the lines the copy wants (a copy without
// crease lines hides the control line too) and afterwards with its own again.
QImage DocumentController::captureWithCopyLines() {
    const LineOverlay shown = _presenter->overlay();
    const bool redraw = _copyWithCreaseLines != shown.showCreaseLine;
    if (redraw) {
        LineOverlay copied = shown;
        copied.showCreaseLine = _copyWithCreaseLines;
        copied.showControlLine = _copyWithCreaseLines && shown.showControlLine;
        _presenter->setOverlay(copied);
        updateDisplay();
    }
    QImage picture = _window->capture(_scale);
    _presenter->setOverlay(shown);
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
