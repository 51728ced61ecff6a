// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/OpeningQueue.h"

#include <QtConcurrent>

OpeningQueue::OpeningQueue() {
    connect(&_watcher, &QFutureWatcher<PictureReader::Result>::finished, this,
            &OpeningQueue::finishReading);
}

OpeningQueue::~OpeningQueue() {
    *_closing = true;
}

void OpeningQueue::open(const QList<QByteArray>& paths) {
    _waiting.append(paths);
    if (isIdle())
        readNext();
}

// The screen is measured here, on the GUI thread, for the worker to size the picture with.
void OpeningQueue::readNext() {
    if (_waiting.isEmpty())
        return;
    _path = _waiting.takeFirst();
    _sizing = SheetSizing::ofFirstScreen();
    _watcher.setFuture(QtConcurrent::run([path = _path, sizing = *_sizing, closing = _closing] {
        return PictureReader::read(
            path, [&sizing](QSize pixels) { return sizing.decodeSize(pixels); }, {}, {},
            [&closing] { return closing->load(); });
    }));
}

void OpeningQueue::finishReading() {
    // Copies: a handler may ask for more, which starts the next read over these members.
    const QByteArray path = _path;
    const SheetSizing sizing = *_sizing;
    _sizing.reset();
    emit pictureRead(path, _watcher.result(), sizing);
    if (isIdle()) // unless a handler of the signal has asked for more and started it
        readNext();
}
