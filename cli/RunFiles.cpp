// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/RunFiles.h"

#include <algorithm>
#include <filesystem>
#include <sys/stat.h>

namespace {

QByteArray identityOf(const struct stat& status) {
    return QByteArray::number(quint64(status.st_dev)) + ':' +
           QByteArray::number(quint64(status.st_ino));
}

// The folder the name is in, by identity when it exists, else by its absolute spelling.
QByteArray folderOf(const QByteArray& path) {
    const qsizetype slash = path.lastIndexOf('/');
    const QByteArray folder = slash < 0 ? QByteArray(".") : slash == 0 ? "/" : path.left(slash);
    struct stat status {};
    if (::stat(folder.constData(), &status) == 0)
        return identityOf(status);
    std::error_code error;
    const auto absolute = std::filesystem::absolute(folder.toStdString(), error);
    return QByteArray::fromStdString(absolute.lexically_normal().native());
}

} // namespace

QList<QByteArray> RunFiles::identities(const QByteArray& path, bool followLinks) {
    QList<QByteArray> found = {folderOf(path) + '/' + path.mid(path.lastIndexOf('/') + 1)};
    struct stat status {};
    const int result =
        followLinks ? ::stat(path.constData(), &status) : ::lstat(path.constData(), &status);
    if (result == 0 && !S_ISLNK(status.st_mode))
        found.append(identityOf(status));
    return found;
}

void RunFiles::addInput(const QByteArray& path) {
    for (const QByteArray& identity : identities(path, true))
        _inputs.insert(identity);
}

void RunFiles::setReport(const QByteArray& path) {
    _report = identities(path, false);
}

void RunFiles::addOutput(const QByteArray& path, qsizetype owner) {
    for (const QByteArray& identity : identities(path, false))
        _outputs[identity].append(owner);
}

bool RunFiles::isInput(const QByteArray& path) const {
    const QList<QByteArray> found = identities(path, false);
    return std::any_of(found.begin(), found.end(),
                       [this](const QByteArray& identity) { return _inputs.contains(identity); });
}

bool RunFiles::isReport(const QByteArray& path) const {
    const QList<QByteArray> found = identities(path, false);
    return std::any_of(found.begin(), found.end(),
                       [this](const QByteArray& identity) { return _report.contains(identity); });
}

QList<qsizetype> RunFiles::otherOwners(const QByteArray& path, qsizetype owner) const {
    QList<qsizetype> others;
    for (const QByteArray& identity : identities(path, false)) {
        for (qsizetype other : _outputs.value(identity)) {
            if (other != owner && !others.contains(other))
                others.append(other);
        }
    }
    std::sort(others.begin(), others.end());
    return others;
}
