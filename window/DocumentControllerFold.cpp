// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
//
// The fold commands of a document's window: the keyboard steps and the fold files with their
// alerts, the fold kept for the picture between runs, and the back picture.
#include "window/DocumentController.h"

#include "document/FoldFile.h"
#include "document/RememberedFolds.h"
#include "document/RendererSetup.h"
#include "media/Failure.h"
#include "media/PathText.h"
#include "settings/Preferences.h"

#include <QFileInfo>
#include <QKeyEvent>

#include <algorithm>
#include <optional>
#include <utility>

namespace {

constexpr double keyStep = 1;       // points: a key step is a drag of one point
constexpr double shiftKeyStep = 10; // points
constexpr double keyTiltStep = 1;   // degrees

enum class KeyStep { fold, tilt, orbit };

// Each row of key steps merges into one step of each kind.
int keyStepMergeId(int series, KeyStep kind) {
    return 3 * series + static_cast<int>(kind);
}

// The tilt and yaw an arrow key turns by, in degrees.
std::optional<std::pair<double, double>> orbitKey(int key) {
    switch (key) {
    case Qt::Key_Up:
        return std::pair(keyTiltStep, 0.0);
    case Qt::Key_Down:
        return std::pair(-keyTiltStep, 0.0);
    case Qt::Key_Right:
        return std::pair(0.0, keyTiltStep);
    case Qt::Key_Left:
        return std::pair(0.0, -keyTiltStep);
    default:
        return std::nullopt;
    }
}

} // namespace

void DocumentController::saveFoldToFile(const QString& path) {
    QString error;
    if (!_document->foldFile().write(path, &error))
        showAlert(tr("Can't save the fold"), error);
}

// A fold that this picture's sheet does not allow is applied as far as it allows, and the user
// is told how far that is.
void DocumentController::applyFoldFile(const QString& path) {
    QString error;
    const std::optional<FoldFile> fold = FoldFile::read(path, &error);
    if (!fold) {
        showAlert(tr("Can't apply the fold"), error);
        return;
    }
    const double distance = _document->applyFold(*fold);
    if (distance == 0)
        return;
    showAlert(tr("The fold was fitted to this picture"),
              tr("“%1” was made on a sheet of %2 × %3 points. Here the fold differs from it by up "
                 "to %4 points.")
                  .arg(QFileInfo(path).fileName())
                  .arg(fold->sheet().width, 0, 'f', 0)
                  .arg(fold->sheet().height, 0, 'f', 0)
                  .arg(distance, 0, 'f', 1));
}

void DocumentController::recallFold(const RememberedFolds& store) {
    if (!_preferences.value(Preferences::rememberFolds))
        return;
    _document->recallFold(store);
    // A remembered back picture that is gone or unreadable is let go without an alert.
    const QString back = _document->backPicture();
    _document->setBackPicture(QString());
    if (!back.isEmpty())
        showBackPicture(back);
}

void DocumentController::setBackPicture(const QString& path) {
    QString error;
    if (!showBackPicture(path, &error))
        showAlert(tr("Can't use the back picture"), error);
}

bool DocumentController::showBackPicture(const QString& path, QString* failure) {
    const QImage picture = RendererSetup::readBackPicture(path, {}, failure);
    if (picture.isNull() || !renderer().setBackImage(picture))
        return false;
    _document->setBackPicture(path);
    showPaperLook();
    updateDisplay();
    return true;
}

bool DocumentController::showPageBehind(QString* failure) {
    const Document::Printed& printed = _document->printed();
    if (printed.backPage == 0)
        return true;
    const QImage page = RendererSetup::readBackPicture(
        _document->url().toLocalFile(), {printed.backPage, printed.page.bleedPoints}, failure);
    return !page.isNull() && renderer().setBackImage(page);
}

// The preferences' look, with the document's own back picture or page and back turn.
void DocumentController::showPaperLook() {
    PaperLook look = RendererSetup::paperLook(_preferences);
    if (!_document->backPicture().isEmpty() || _document->printed().backPage != 0)
        look.back = PaperLook::Back::picture;
    look.backTurn = _document->printed().backTurn.value_or(look.backTurn);
    renderer().setPaperLook(look);
}

void DocumentController::setPrinted(const Document::Printed& printed) {
    QString error;
    if (!showPrinted(printed, &error))
        showAlert(tr("Can't show the pages"), error);
}

// Both pages are read before either is shown, so a page that fails leaves the sheet as it was.
// A back page chosen here replaces a back picture; the page itself is never remembered as one.
bool DocumentController::showPrinted(Document::Printed printed, QString* failure) {
    const Document::Printed before = _document->printed();
    const bool bleedChanged = printed.page.bleedPoints != before.page.bleedPoints;
    QImage front;
    if (printed.page.page != before.page.page || bleedChanged) {
        front = readPage(printed.page, &printed.points, failure);
        if (front.isNull())
            return false;
    }
    const bool backChanged = printed.backPage != before.backPage || bleedChanged;
    QImage back;
    if (backChanged && printed.backPage != 0) {
        back = RendererSetup::readBackPicture(
            _document->url().toLocalFile(), {printed.backPage, printed.page.bleedPoints}, failure);
        if (back.isNull())
            return false;
    }
    if ((!front.isNull() && !renderer().setImage(front)) ||
        (!back.isNull() && !renderer().setBackImage(back)))
        return Failure::fail(failure, tr("The page could not be made into an OpenGL texture."));
    if (!back.isNull())
        _document->setBackPicture(QString());
    else if (backChanged && _document->backPicture().isEmpty())
        renderer().setBackImage(QImage());
    _document->setPrinted(printed);
    showPaperLook();
    showTitle();
    updateDisplay();
    return true;
}

QImage DocumentController::readPage(const ArtworkPage& page, QSizeF* points,
                                    QString* failure) const {
    const SheetSizing& sizing = _document->sizing();
    const PictureReader::Result read = PictureReader::read(
        PathText::toBytes(_document->url().toLocalFile()),
        [&sizing](QSize pixels) { return sizing.decodeSize(pixels); }, {}, page);
    if (read.picture.isNull())
        Failure::fail(failure,
                      tr("Page %1 of %2 cannot be read: %3")
                          .arg(page.page)
                          .arg(PathText::shown(_document->url().toLocalFile()), read.failure));
    *points = read.points;
    return read.picture;
}

void DocumentController::rememberFold(RememberedFolds& store) {
    if (_preferences.value(Preferences::rememberFolds))
        _document->rememberFold(store);
}

// Keys act on the fold only between drags; Escape ends a drag.
void DocumentController::handleKey(const QKeyEvent& event) {
    if (event.key() == Qt::Key_Escape)
        cancelDrag();
    if (_isMouseDown)
        return;
    constexpr Qt::KeyboardModifiers orbitKeys = Qt::ControlModifier | Qt::AltModifier;
    if ((event.modifiers() & orbitKeys) == orbitKeys && orbitKey(event.key())) {
        const auto [pitch, yaw] = *orbitKey(event.key());
        nudgeOrbit(pitch, yaw);
        return;
    }
    const double step = event.modifiers() & Qt::ShiftModifier ? shiftKeyStep : keyStep;
    switch (event.key()) {
    case Qt::Key_Left:
        nudgeLine({-step, 0});
        break;
    case Qt::Key_Right:
        nudgeLine({step, 0});
        break;
    case Qt::Key_Up:
        nudgeLine({0, step});
        break;
    case Qt::Key_Down:
        nudgeLine({0, -step});
        break;
    case Qt::Key_PageUp:
        nudgeTilt(keyTiltStep);
        break;
    case Qt::Key_PageDown:
        nudgeTilt(-keyTiltStep);
        break;
    default:
        break;
    }
}

// The line under the pointer, else the one dragged last, moves as a drag by the step would move
// it; only the peak lines take the steps toward and away from the viewer.
void DocumentController::nudgeLine(FoldPoint move) {
    const long line = _controlAreas.isLine(_controlArea) ? _controlArea : _lastDraggedLine;
    if (!_controlAreas.isLine(line))
        return;
    const FoldSnapshot before = _document->snapshot();
    FoldPoint step = foldMove({move.x, move.y});
    // A hinged panel turns by either arrow's step, as the pointer's drag across its crease would.
    if (_document->layout().isHinged())
        step = {step.x + step.y, 0};
    _document->moveLine(line, step);
    _document->pushStep(tr("Fold"), before, keyStepMergeId(_keyStepSeries, KeyStep::fold));
}

void DocumentController::nudgeTilt(double degrees) {
    const FoldSnapshot before = _document->snapshot();
    const double pitch =
        std::clamp(before.pitch + degrees, -Document::maximumPitch, Document::maximumPitch);
    if (static_cast<float>(pitch) == before.pitch)
        return;
    _document->setPitch(static_cast<float>(pitch));
    _document->pushStep(tr("Tilt"), before, keyStepMergeId(_keyStepSeries, KeyStep::tilt));
}

void DocumentController::nudgeOrbit(double pitchDegrees, double yawDegrees) {
    const FoldSnapshot before = _document->snapshot();
    const auto turned = [](float angle, double degrees, double limit) {
        return static_cast<float>(std::clamp(angle + degrees, -limit, limit));
    };
    const float pitch = turned(before.pitch, pitchDegrees, Document::maximumPitch);
    const float yaw = turned(before.yaw, yawDegrees, Document::maximumYaw);
    if (pitch == before.pitch && yaw == before.yaw)
        return;
    _document->setPitch(pitch);
    _document->setYaw(yaw);
    _document->pushStep(tr("Orbit"), before, keyStepMergeId(_keyStepSeries, KeyStep::orbit));
}
