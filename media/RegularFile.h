// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>

class QFile;

// Opens a file for reading only when it is a regular file, without blocking: a FIFO, a device or
// a socket would block the reader for good or have effects of its own, so it is refused before
// it is opened and checked again once open, in case the path was swapped in between.
class RegularFile {
public:
    enum class Status { Opened, NotRegular, Unreadable };
    struct Opening {
        Status status = Status::Unreadable;
        int error = 0; // errno, for Unreadable
    };

    // path: the system's bytes. On success `file` reads the file and closes it when done.
    static Opening openForReading(const QByteArray& path, QFile& file);
    // Makes or empties a file that is written as it goes, never waiting: a link at path is
    // replaced by the new file rather than written through, and a FIFO, device or socket is
    // refused.
    static Opening openForWriting(const QByteArray& path, QFile& file);
};
