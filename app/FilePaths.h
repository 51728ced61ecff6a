// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>

// Files travel through Pleatora as the system's bytes for their paths: a QString cannot hold a
// name that is not UTF-8, while a file URL keeps any byte percent-encoded.
namespace FilePaths {

QUrl urlOfPath(const QByteArray& path);
QByteArray pathOfURL(const QUrl& url);
// An absolute path for a name given on the command line or by a dialog.
QByteArray absolutePath(const QByteArray& path);
QByteArray absolutePath(const QString& path);
// The file name as shown to the user.
QString fileName(const QByteArray& path);

} // namespace FilePaths
