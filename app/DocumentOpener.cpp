// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/DocumentOpener.h"

#include "app/FilePaths.h"
#include "app/NewPictureLayout.h"
#include "window/DocumentController.h"

DocumentOpener::DocumentOpener(Preferences& preferences, DocumentTaker takeDocument)
    : _preferences(preferences), _takeDocument(std::move(takeDocument)),
      _cantOpenAlert(tr("Can't open")),
      _noOpenGLAlert(tr("Can't draw the folded picture"),
                     tr("Pleatora needs OpenGL 2.1 with the compatibility profile.")) {
    connect(&_queue, &OpeningQueue::pictureRead, this, &DocumentOpener::makeDocument);
}

void DocumentOpener::open(const QList<QByteArray>& paths, const std::optional<FoldLayout>& layout) {
    for (qsizetype i = 0; i < paths.size(); ++i)
        _layouts.append(layout);
    _queue.open(paths);
}

void DocumentOpener::startInLayout(DocumentController& controller, const FoldLayout& layout) {
    if (controller.document().layout() == layout)
        return;
    controller.document().setLayout(layout, HingedFold::Pose::presentation);
    controller.undoStack().clear();
}

void DocumentOpener::makeDocument(const QByteArray& path, const PictureReader::Result& result,
                                  const SheetSizing& sizing) {
    const QUrl url = FilePaths::urlOfPath(path);
    const std::optional<FoldLayout> layout = _layouts.takeFirst();
    if (result.picture.isNull()) {
        _cantOpenAlert.add(result.failure, url.fileName());
    } else {
        QString failure;
        std::unique_ptr<DocumentController> controller =
            DocumentController::create(result, sizing, url, _preferences, &failure);
        if (controller) {
            // Before any remembered fold, which brings its own layout.
            startInLayout(*controller, NewPictureLayout::of(_preferences));
            _takeDocument(std::move(controller), url, layout);
        } else
            _noOpenGLAlert.add(failure, url.fileName());
    }
    emit pathDone();
}
