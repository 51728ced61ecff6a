// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/RegularFile.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

RegularFile::Opening RegularFile::openForReading(const QByteArray& path, QFile& file) {
    struct stat status {};
    if (::stat(path.constData(), &status) != 0)
        return {Status::Unreadable, errno};
    if (!S_ISREG(status.st_mode))
        return {Status::NotRegular, 0};
    const int descriptor = ::open(path.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0)
        return {Status::Unreadable, errno};
    if (::fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(descriptor);
        return {Status::NotRegular, 0};
    }
    if (!file.open(descriptor, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(descriptor);
        return {Status::Unreadable, EIO};
    }
    return {Status::Opened, 0};
}

RegularFile::Opening RegularFile::openForWriting(const QByteArray& path, QFile& file) {
    struct stat status {};
    if (::lstat(path.constData(), &status) == 0) {
        if (S_ISLNK(status.st_mode) && ::unlink(path.constData()) != 0)
            return {Status::Unreadable, errno};
        if (!S_ISLNK(status.st_mode) && !S_ISREG(status.st_mode))
            return {Status::NotRegular, 0};
    }
    // Emptied only once known to be a regular file.
    const int descriptor =
        ::open(path.constData(), O_WRONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0666);
    if (descriptor < 0)
        return {errno == ENXIO ? Status::NotRegular : Status::Unreadable, errno};
    if (::fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode) ||
        ::ftruncate(descriptor, 0) != 0) {
        ::close(descriptor);
        return {Status::NotRegular, 0};
    }
    if (!file.open(descriptor, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle)) {
        ::close(descriptor);
        return {Status::Unreadable, EIO};
    }
    return {Status::Opened, 0};
}
