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
