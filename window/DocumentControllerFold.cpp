// The fold as a document: undo steps, Reset, the keyboard steps, fold files and the fold kept
// for the picture between runs.
#include "window/DocumentController.h"

#include "render/SheetRenderer.h"
#include "settings/PreferencesDefaults.h"
#include "window/FoldCommand.h"
#include "window/FoldFile.h"
#include "window/RememberedFolds.h"

#include <QFileInfo>
#include <QKeyEvent>

#include <algorithm>

namespace {

constexpr double keyStep = 1;       // points: a key step is a drag of one point
constexpr double shiftKeyStep = 10; // points
constexpr double keyTiltStep = 1;   // degrees

// Each row of key steps merges into one fold step and one tilt step.
int keyStepMergeId(int series, bool isTilt) {
    return 2 * series + (isTilt ? 1 : 0);
}

bool isCreaseLine(long area) {
    return area >= 0 && area < creaseLineCount;
}

} // namespace

FoldSnapshot DocumentController::snapshot() const {
    return FoldSnapshot::take(_fold, _renderer->pitch());
}

FoldSnapshot DocumentController::flatSnapshot() const {
    return FoldSnapshot::take(FoldModel(_fold.sheetSize()), 0);
}

// Undo, redo and a cancelled drag put back a fold taken before. Each ends a row of key steps, and
// a drag still going on: the fold it started from is gone.
void DocumentController::showSnapshot(const FoldSnapshot& snapshot) {
    if (_isMouseDown)
        endPress();
    _fold.restore(snapshot);
    _renderer->setPitch(snapshot.pitch);
    pushFoldToRenderer();
    updateDisplay();
    updateInputArea();
    ++_keyStepSeries;
}

// The change from before to now, already shown, becomes one undo step.
void DocumentController::pushFoldStep(const QString& text, const FoldSnapshot& before,
                                      int mergeId) {
    const FoldSnapshot after = snapshot();
    if (after == before)
        return;
    _undoStack.push(new FoldCommand(
        text, before, after, [this](const FoldSnapshot& shown) { showSnapshot(shown); }, mergeId));
}

void DocumentController::resetFold() {
    const FoldSnapshot before = snapshot();
    showSnapshot(flatSnapshot());
    pushFoldStep(tr("Reset Fold"), before);
}

FoldFile DocumentController::foldFile() const {
    return FoldFile::fromModel(_fold, _renderer->pitch());
}

double DocumentController::showFoldFile(const FoldFile& fold) {
    if (_isMouseDown)
        endPress();
    const double distance = fold.applyTo(_fold);
    _renderer->setPitch(static_cast<float>(fold.fold().pitch));
    pushFoldToRenderer();
    updateDisplay();
    updateInputArea();
    ++_keyStepSeries;
    return distance;
}

double DocumentController::applyFold(const FoldFile& fold) {
    const FoldSnapshot before = snapshot();
    const double distance = showFoldFile(fold);
    pushFoldStep(tr("Apply Fold"), before);
    return distance;
}

void DocumentController::saveFoldToFile(const QString& path) {
    QString error;
    if (!foldFile().write(path, &error))
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
    const double distance = applyFold(*fold);
    if (distance == 0)
        return;
    showAlert(
        tr("The fold was fitted to this picture"),
        tr("“%1” was made on a sheet of %2 × %3 points. Here the fold differs from it by up to "
           "%4 points.")
            .arg(QFileInfo(path).fileName())
            .arg(fold->sheet().width, 0, 'f', 0)
            .arg(fold->sheet().height, 0, 'f', 0)
            .arg(distance, 0, 'f', 1));
}

void DocumentController::recallFold(const RememberedFolds& store) {
    if (!_defaults.rememberFolds())
        return;
    _pictureKey = RememberedFolds::keyOfPicture(_url.toLocalFile());
    if (const std::optional<FoldFile> fold = store.recall(_pictureKey))
        showFoldFile(*fold);
}

// A flat, untilted sheet is what a picture opens as anyway, so nothing is kept for it.
void DocumentController::rememberFold(RememberedFolds& store) {
    if (!_defaults.rememberFolds())
        return;
    if (_pictureKey.isEmpty())
        _pictureKey = RememberedFolds::keyOfPicture(_url.toLocalFile());
    if (snapshot() == flatSnapshot())
        store.forget(_pictureKey);
    else
        store.remember(_pictureKey, foldFile());
}

// Keys act on the fold only between drags; Escape ends a drag.
void DocumentController::keyDown(const QKeyEvent& event) {
    if (event.key() == Qt::Key_Escape)
        cancelDrag();
    if (_isMouseDown)
        return;
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
// it; only the peak lines take the up and down steps.
void DocumentController::nudgeLine(FoldPoint move) {
    const long line = isCreaseLine(_controlArea) ? _controlArea : _lastDraggedLine;
    if (!isCreaseLine(line))
        return;
    const FoldSnapshot before = snapshot();
    _fold.moveLine(line, move, _renderer->pitch());
    if (snapshot() == before)
        return;
    pushFoldToRenderer();
    updateDisplay();
    updateInputArea();
    pushFoldStep(tr("Fold"), before, keyStepMergeId(_keyStepSeries, false));
}

void DocumentController::nudgeTilt(double degrees) {
    const FoldSnapshot before = snapshot();
    const double pitch = std::clamp(before.pitch + degrees, -maximumPitch, maximumPitch);
    if (static_cast<float>(pitch) == before.pitch)
        return;
    _renderer->setPitch(static_cast<float>(pitch));
    updateDisplay();
    updateInputArea();
    pushFoldStep(tr("Tilt"), before, keyStepMergeId(_keyStepSeries, true));
}
