// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/FailureAlert.h"
#include "app/OpeningQueue.h"
#include "fold/FoldLayout.h"

#include <QObject>
#include <QUrl>

#include <functional>
#include <memory>
#include <optional>

class DocumentController;
class Preferences;

// Turns paths into documents: reads them through one queue, makes each document from its
// decoded picture in the layout the preferences give new pictures, and tells every failure in
// one alert that is never modal.
class DocumentOpener : public QObject {
    Q_OBJECT

public:
    // Takes each document made, in the order the paths were asked for, with the layout asked
    // for it if any.
    using DocumentTaker = std::function<void(std::unique_ptr<DocumentController>, const QUrl&,
                                             const std::optional<FoldLayout>&)>;

    DocumentOpener(Preferences& preferences, DocumentTaker takeDocument);

    // Absolute paths as the system's bytes.
    void open(const QList<QByteArray>& paths,
              const std::optional<FoldLayout>& layout = std::nullopt);
    // The layout a picture opens in: flat, and not a step for Undo.
    static void startInLayout(DocumentController& controller, const FoldLayout& layout);
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
    QList<std::optional<FoldLayout>> _layouts; // one a path waiting in the queue
    FailureAlert _cantOpenAlert;
    FailureAlert _noOpenGLAlert;
};
