// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/ReplacingFile.h"

#include "media/TemporaryFiles.h"

#include <QCoreApplication>

#include <cerrno>
#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>
#include <utility>

namespace {

// Not an errno: the destination is a device, FIFO or socket.
constexpr int notRegular = -1;

// The mode a new file gets from open(2): 0666 less the umask, which can only be read by setting.
mode_t newFileMode() {
    static const mode_t mode = [] {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        return 0666 & ~mask;
    }();
    return mode;
}

} // namespace

ReplacingFile::ReplacingFile(const QByteArray& destination) : _destination(destination) {}

ReplacingFile::~ReplacingFile() {
    discard();
}

bool ReplacingFile::open() {
    const qsizetype slash = _destination.lastIndexOf('/');
    // Short, so that it fits wherever the destination's own name does.
    QByteArray name = _destination.left(slash + 1) + ".pleatora-XXXXXX";
    _descriptor = ::mkostemp(name.data(), O_CLOEXEC);
    if (_descriptor < 0) {
        _error = errno;
        return false;
    }
    _temporary = name;
    _listed = TemporaryFiles::add(name);
    struct stat status {};
    const bool replacing =
        ::stat(_destination.constData(), &status) == 0 && S_ISREG(status.st_mode);
    ::fchmod(_descriptor, replacing ? status.st_mode & 07777 : newFileMode());
    if (QFile::open(_descriptor, QIODevice::WriteOnly | QIODevice::Unbuffered,
                    QFileDevice::DontCloseHandle))
        return true;
    failWith(EIO);
    discard();
    return false;
}

qint64 ReplacingFile::writeData(const char* data, qint64 length) {
    if (_error)
        return -1;
    qint64 written = 0;
    while (written < length) {
        const ssize_t step = ::write(_descriptor, data + written, size_t(length - written));
        if (step < 0 && errno == EINTR)
            continue;
        if (step <= 0) {
            failWith(step < 0 ? errno : ENOSPC);
            return -1;
        }
        written += step;
    }
    return written;
}

// Also as the device's error, for writers that know it only as a QIODevice.
void ReplacingFile::failWith(int error) {
    if (_error)
        return;
    _error = error;
    setErrorString(failure());
}

bool ReplacingFile::commit() {
    if (_descriptor < 0) {
        failWith(EBADF);
        return false;
    }
    QFile::close();
    // A disk can refuse data only when it is flushed, and close can report it too.
    if (::fsync(_descriptor) != 0)
        failWith(errno);
    if (::close(_descriptor) != 0)
        failWith(errno);
    _descriptor = -1;
    struct stat status {};
    if (!_error && ::lstat(_destination.constData(), &status) == 0 && !S_ISREG(status.st_mode) &&
        !S_ISLNK(status.st_mode))
        failWith(S_ISDIR(status.st_mode) ? EISDIR : notRegular);
    if (!_error && ::rename(_temporary.constData(), _destination.constData()) != 0)
        failWith(errno);
    if (_error) {
        discard();
        return false;
    }
    TemporaryFiles::remove(std::exchange(_listed, -1));
    _temporary.clear();
    return true;
}

QString ReplacingFile::failure() const {
    if (_error == notRegular)
        return QCoreApplication::translate("ReplacingFile", "Not a regular file");
    return QString::fromStdString(std::generic_category().message(_error));
}

void ReplacingFile::discard() {
    if (isOpen())
        QFile::close();
    if (_descriptor >= 0)
        ::close(_descriptor);
    _descriptor = -1;
    // Deleted before it leaves the table, so a process ended in between still removes it.
    if (!_temporary.isEmpty())
        ::unlink(_temporary.constData());
    TemporaryFiles::remove(std::exchange(_listed, -1));
    _temporary.clear();
}
