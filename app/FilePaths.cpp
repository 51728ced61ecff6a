// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/FilePaths.h"

#include <QFile>

#include <filesystem>

namespace FilePaths {

QUrl urlOfPath(const QByteArray& path) {
    return QUrl::fromEncoded("file://" + path.toPercentEncoding("/"));
}

QByteArray pathOfURL(const QUrl& url) {
    return QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1());
}

QByteArray absolutePath(const QByteArray& path) {
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(path.toStdString(), error);
    return error ? path : QByteArray::fromStdString(absolute.native());
}

QByteArray absolutePath(const QString& path) {
    return absolutePath(QFile::encodeName(path));
}

QString fileName(const QByteArray& path) {
    return QFile::decodeName(path.mid(path.lastIndexOf('/') + 1));
}

} // namespace FilePaths
