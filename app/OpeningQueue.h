// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "document/SheetSizing.h"
#include "media/PictureReader.h"

#include <QFutureWatcher>
#include <QList>
#include <QObject>

#include <atomic>
#include <memory>
#include <optional>

// Reads the files asked for one after another on a worker thread: documents come up in the
// order asked, a slow disk or a large picture never holds up the open documents, and only one
// full-size picture is in memory at a time. Closing stops a PDF page being drawn, so that quitting
// never waits out a slow page.
class OpeningQueue : public QObject {
    Q_OBJECT

public:
    OpeningQueue();
    ~OpeningQueue() override;

    // Absolute paths as the system's bytes.
    void open(const QList<QByteArray>& paths);
    bool isIdle() const { return !_sizing.has_value(); }

signals:
    // The picture decoded for a document sized by sizing, or the reason it was not.
    void pictureRead(const QByteArray& path, const PictureReader::Result& result,
                     const SheetSizing& sizing);

private:
    void readNext();
    void finishReading();

    QList<QByteArray> _waiting;
    QByteArray _path;
    std::optional<SheetSizing> _sizing; // set while a picture is being read
    QFutureWatcher<PictureReader::Result> _watcher;
    // Shared with the read in flight, which may outlive the queue.
    std::shared_ptr<std::atomic_bool> _closing = std::make_shared<std::atomic_bool>(false);
};
