// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/FailureAlert.h"
#include "app/OpeningQueue.h"

#include <QObject>
#include <QUrl>

#include <functional>
#include <memory>

class DocumentController;
class Preferences;

// Turns paths into documents: reads them through one queue, makes each document from its
// decoded picture, and tells every failure in one alert that is never modal.
class DocumentOpener : public QObject {
    Q_OBJECT

public:
    // Takes each document made, in the order the paths were asked for.
    using DocumentTaker = std::function<void(std::unique_ptr<DocumentController>, const QUrl&)>;

    DocumentOpener(Preferences& preferences, DocumentTaker takeDocument);

    // Absolute paths as the system's bytes.
    void open(const QList<QByteArray>& paths) { _queue.open(paths); }
    bool isOpening() const { return !_queue.isIdle(); }
    const FailureAlert& cantOpenAlert() const { return _cantOpenAlert; }

signals:
    // One path done with, opened or not.
    void pathDone();

private:
    void makeDocument(const QByteArray& path, const PictureReader::Result& result,
                      const SheetSizing& sizing);

    Preferences& _preferences;
    DocumentTaker _takeDocument;
    OpeningQueue _queue;
    FailureAlert _cantOpenAlert;
    FailureAlert _noOpenGLAlert;
};
