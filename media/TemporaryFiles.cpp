// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/TemporaryFiles.h"

#include <atomic>
#include <climits>
#include <cstring>
#include <unistd.h>

namespace {

enum SlotState { freeSlot, filling, live };

struct Slot {
    std::atomic<int> state{freeSlot};
    char path[PATH_MAX];
};

// Enough for one temporary file a worker on any machine; untouched slots cost no memory.
constexpr int slotCount = 512;
Slot table[slotCount];

static_assert(std::atomic<int>::is_always_lock_free, "a signal handler reads the slots");

} // namespace

int TemporaryFiles::add(const QByteArray& path) {
    if (path.size() >= PATH_MAX)
        return -1;
    for (int i = 0; i < slotCount; ++i) {
        int expected = freeSlot;
        if (table[i].state.compare_exchange_strong(expected, filling)) {
            std::memcpy(table[i].path, path.constData(), size_t(path.size()) + 1);
            table[i].state.store(live);
            return i;
        }
    }
    return -1;
}

void TemporaryFiles::remove(int slot) {
    if (slot >= 0 && slot < slotCount)
        table[slot].state.store(freeSlot);
}

void TemporaryFiles::removeAll() {
    for (Slot& slot : table) {
        if (slot.state.load() == live)
            ::unlink(slot.path);
    }
}
