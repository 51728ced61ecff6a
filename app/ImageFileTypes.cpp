// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ImageFileTypes.h"

#include <QCoreApplication>
#include <QImageReader>
#include <QStringList>

QString ImageFileTypes::nameFilter() {
    QStringList patterns;
    for (const QByteArray& format : QImageReader::supportedImageFormats())
        patterns.append(QStringLiteral("*.") + QString::fromLatin1(format));
    patterns.append(QStringLiteral("*.pdf")); // printed artwork, its pages drawn by Poppler
    return QCoreApplication::translate("ImageFileTypes", "Images (%1)").arg(patterns.join(u' '));
}
