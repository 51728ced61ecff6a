// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "document/Document.h"

#include "document/FoldCommand.h"
#include "document/FoldFile.h"
#include "document/RememberedFolds.h"

Document::Document(FoldSize sheetSize, const QUrl& url, QSize pictureSize, const FoldLayout& layout)
    : _fold(layout, sheetSize), _openingSheet(sheetSize), _url(url), _pictureSize(pictureSize) {}

FoldSize Document::sheetSizeIn(const FoldLayout& layout) const {
    return _sizing.sheetInLayout(_openingSheet, _pictureSize, layout);
}

void Document::setLayout(const FoldLayout& layout, HingedFold::Pose pose) {
    if (layout == this->layout())
        return;
    const FoldCommand::SheetFold before = sheetFold();
    SheetFold fold = flatFold(layout, sheetSizeIn(layout));
    fold.setPose(pose);
    show({fold.sheetSize(), turned(fold.snapshot(_pitch))});
    pushStep(tr("Layout"), before, -1);
}

void Document::setPaper(const PanelPaper& paper) {
    _paper = paper;
    _fold = flatFold(layout(), sheetSize());
    emit replaced();
    emit changed();
}

PanelPaper Document::paper() const {
    PanelPaper paper = _paper;
    const QSizeF printed = _printed.sheetPoints();
    if (!printed.isEmpty())
        paper.printedSize = {printed.width(), printed.height()};
    return paper;
}

SheetFold Document::flatFold(const FoldLayout& layout, FoldSize sheet) const {
    return SheetFold(layout, sheet, paper());
}

FoldSnapshot Document::snapshot() const {
    return turned(_fold.snapshot(_pitch));
}

FoldSnapshot Document::turned(FoldSnapshot snapshot) const {
    snapshot.yaw = _yaw;
    return snapshot;
}

FoldSnapshot Document::flatSnapshot() const {
    return flatSnapshot(layout(), 0);
}

FoldSnapshot Document::flatSnapshot(const FoldLayout& layout, float pitch) const {
    return flatFold(layout, sheetSizeIn(layout)).snapshot(pitch);
}

void Document::switchModels(const FoldLayout& layout, FoldSize sheetSize) {
    if (layout == this->layout() && sheetSize == this->sheetSize())
        return;
    _fold = flatFold(layout, sheetSize);
}

FoldPoint Document::moveLine(long line, FoldPoint move, double snapDegrees) {
    const FoldPoint applied = _fold.moveLine(int(line), move, _pitch, snapDegrees);
    emit changed();
    return applied;
}

void Document::setPitch(float degrees) {
    _pitch = degrees;
    emit changed();
}

void Document::setYaw(float degrees) {
    _yaw = degrees;
    emit changed();
}

void Document::restore(const FoldSnapshot& snapshot) {
    show({sheetSize(), snapshot});
}

void Document::show(const FoldCommand::SheetFold& fold) {
    showQuietly(fold);
    emit replaced();
    emit changed();
}

void Document::showQuietly(const FoldCommand::SheetFold& fold) {
    switchModels(fold.fold.layout, fold.sheet);
    _fold.restore(fold.fold);
    _pitch = fold.fold.pitch;
    _yaw = fold.fold.yaw;
}

void Document::pushStep(const QString& text, const FoldSnapshot& before, int mergeId) {
    pushStep(text, {sheetSize(), before}, mergeId);
}

void Document::pushStep(const QString& text, const FoldCommand::SheetFold& before, int mergeId) {
    const FoldCommand::SheetFold after = sheetFold();
    if (after == before)
        return;
    _undoStack.push(new FoldCommand(
        text, before, after, [this](const FoldCommand::SheetFold& shown) { show(shown); },
        mergeId));
}

void Document::resetFold() {
    const FoldCommand::SheetFold before = sheetFold();
    show({sheetSizeIn(layout()), flatSnapshot()});
    pushStep(tr("Reset Fold"), before, -1);
}

FoldFile Document::foldFile() const {
    FoldFile file = FoldFile::fromFold(_fold, _pitch);
    file.setYaw(_yaw);
    return file;
}

// The picture takes the file's layout, flat on that layout's sheet, and then its fold.
double Document::showFoldFile(const FoldFile& fold) {
    const FoldLayout layout = fold.layout();
    if (layout != this->layout() || !layout.isClassic())
        showQuietly({sheetSizeIn(layout), flatSnapshot(layout, _pitch)});
    const double distance = fold.applyTo(_fold);
    _paper = _fold.paper();
    _pitch = static_cast<float>(fold.fold().pitch);
    _yaw = static_cast<float>(fold.yaw());
    emit replaced();
    emit changed();
    return distance;
}

double Document::applyFold(const FoldFile& fold) {
    const FoldCommand::SheetFold before = sheetFold();
    const double distance = showFoldFile(fold);
    pushStep(tr("Apply Fold"), before, -1);
    return distance;
}

// The key is the hash of the picture's bytes, read once.
QString Document::pictureKey() {
    if (_pictureKey.isEmpty())
        _pictureKey = RememberedFolds::keyOfPicture(_url.toLocalFile());
    return _pictureKey;
}

void Document::recallFold(const RememberedFolds& store) {
    if (const std::optional<FoldFile> fold = store.recall(pictureKey()))
        showFoldFile(*fold);
    _backPicture = store.recallBackPicture(pictureKey());
}

// A flat, untilted classic sheet is what a picture opens as anyway, so nothing is kept for it;
// another layout is kept even flat.
void Document::rememberFold(RememberedFolds& store) {
    if (snapshot() == flatSnapshot(FoldLayout(), 0))
        store.forget(pictureKey());
    else
        store.remember(pictureKey(), foldFile());
    store.rememberBackPicture(pictureKey(), _backPicture);
}
