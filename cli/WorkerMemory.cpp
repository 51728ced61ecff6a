// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/WorkerMemory.h"

#include <algorithm>
#include <chrono>

namespace {

constexpr qint64 bytesPerPixel = 4;
// The drawn picture, the one with its shadow and lines, and the encoder's copy.
constexpr qint64 exportCopies = 3;
// How often a waiting worker looks whether the run is stopping.
constexpr std::chrono::milliseconds stopPoll{50};

qint64 area(QSize size) {
    return qint64(std::max(0, size.width())) * std::max(0, size.height());
}

} // namespace

WorkerMemory::WorkerMemory(qint64 limit) : _limit(limit) {}

bool WorkerMemory::reserve(qint64 bytes, const std::function<bool()>& stopping) {
    std::unique_lock lock(_mutex);
    while (_held > 0 && _held + bytes > _limit) {
        if (stopping())
            return false;
        _released.wait_for(lock, stopPoll);
    }
    _held += bytes;
    return true;
}

void WorkerMemory::release(qint64 bytes) {
    {
        const std::lock_guard lock(_mutex);
        _held -= bytes;
    }
    _released.notify_all();
}

qint64 WorkerMemory::held() const {
    const std::lock_guard lock(_mutex);
    return _held;
}

qint64 WorkerMemory::pictureBytes(QSize decodePixels, QSize exportPixels) {
    return bytesPerPixel * (area(decodePixels) + exportCopies * area(exportPixels));
}
