// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QSize>
#include <QtGlobal>

#include <condition_variable>
#include <functional>
#include <mutex>

// The memory the workers' pictures may take at once. Each worker reserves what its picture takes
// as soon as the header gives the picture's size, and waits while the others hold too much, so
// large pictures run on fewer workers than --jobs asks; one larger than the whole limit runs
// alone.
class WorkerMemory {
public:
    static constexpr qint64 defaultLimit = qint64(2) << 30;

    explicit WorkerMemory(qint64 limit = defaultLimit);

    // Waits until bytes fit beside those held, or none are held. False, holding nothing more,
    // when stopping() turns true meanwhile (asked now and then).
    bool reserve(qint64 bytes, const std::function<bool()>& stopping);
    void release(qint64 bytes);
    qint64 held() const;

    // One picture's estimate: decoded at decodePixels, then drawn, finished and encoded at
    // exportPixels, each step holding a picture of its own.
    static qint64 pictureBytes(QSize decodePixels, QSize exportPixels);

private:
    const qint64 _limit;
    qint64 _held = 0;
    mutable std::mutex _mutex;
    std::condition_variable _released;
};
