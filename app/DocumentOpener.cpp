// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/DocumentOpener.h"

#include "app/FilePaths.h"
#include "window/DocumentController.h"

DocumentOpener::DocumentOpener(Preferences& preferences, DocumentTaker takeDocument)
    : _preferences(preferences), _takeDocument(std::move(takeDocument)),
      _cantOpenAlert(tr("Can't open")),
      _noOpenGLAlert(tr("Can't draw the folded picture"),
                     tr("Pleatora needs OpenGL 2.1 with the compatibility profile.")) {
    connect(&_queue, &OpeningQueue::pictureRead, this, &DocumentOpener::makeDocument);
}

void DocumentOpener::makeDocument(const QByteArray& path, const PictureReader::Result& result,
                                  const SheetSizing& sizing) {
    const QUrl url = FilePaths::urlOfPath(path);
    if (result.picture.isNull()) {
        _cantOpenAlert.add(result.failure, url.fileName());
    } else {
        QString failure;
        std::unique_ptr<DocumentController> controller =
            DocumentController::create(result, sizing, url, _preferences, &failure);
        if (controller)
            _takeDocument(std::move(controller), url);
        else
            _noOpenGLAlert.add(failure, url.fileName());
    }
    emit pathDone();
}
