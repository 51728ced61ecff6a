// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "document/Document.h"

#include "document/FoldCommand.h"
#include "document/FoldFile.h"
#include "document/RememberedFolds.h"

Document::Document(FoldSize sheetSize, const QUrl& url, QSize pictureSize)
    : _fold(sheetSize), _url(url), _pictureSize(pictureSize) {}

FoldSnapshot Document::snapshot() const {
    return FoldSnapshot::take(_fold, _pitch);
}

FoldSnapshot Document::flatSnapshot() const {
    return FoldSnapshot::take(FoldModel(_fold.sheetSize()), 0);
}

FoldPoint Document::moveLine(long line, FoldPoint move) {
    const FoldPoint applied = _fold.moveLine(line, move, _pitch);
    emit changed();
    return applied;
}

void Document::setPitch(float degrees) {
    _pitch = degrees;
    emit changed();
}

void Document::restore(const FoldSnapshot& snapshot) {
    _fold.restore(snapshot);
    _pitch = snapshot.pitch;
    emit replaced();
    emit changed();
}

void Document::pushStep(const QString& text, const FoldSnapshot& before, int mergeId) {
    const FoldSnapshot after = snapshot();
    if (after == before)
        return;
    _undoStack.push(new FoldCommand(
        text, before, after, [this](const FoldSnapshot& shown) { restore(shown); }, mergeId));
}

void Document::resetFold() {
    const FoldSnapshot before = snapshot();
    restore(flatSnapshot());
    pushStep(tr("Reset Fold"), before);
}

FoldFile Document::foldFile() const {
    return FoldFile::fromModel(_fold, _pitch);
}

double Document::showFoldFile(const FoldFile& fold) {
    const double distance = fold.applyTo(_fold);
    _pitch = static_cast<float>(fold.fold().pitch);
    emit replaced();
    emit changed();
    return distance;
}

double Document::applyFold(const FoldFile& fold) {
    const FoldSnapshot before = snapshot();
    const double distance = showFoldFile(fold);
    pushStep(tr("Apply Fold"), before);
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

// A flat, untilted sheet is what a picture opens as anyway, so nothing is kept for it.
void Document::rememberFold(RememberedFolds& store) {
    if (snapshot() == flatSnapshot())
        store.forget(pictureKey());
    else
        store.remember(pictureKey(), foldFile());
    store.rememberBackPicture(pictureKey(), _backPicture);
}
