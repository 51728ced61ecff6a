// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>

// The temporary files being written now, in a table that a signal handler may read: fixed slots,
// no allocation and no lock, so that a process ended at once by a signal can remove them first.
class TemporaryFiles {
public:
    // path: the system's bytes. The slot to give back to remove(), or -1 when the table is full
    // or the name too long (the file is then not removed by removeAll()).
    static int add(const QByteArray& path);
    // Forgets the slot's file (once it is renamed or deleted); -1 is ignored.
    static void remove(int slot);
    // Deletes every file in the table. Async-signal-safe.
    static void removeAll();
};
