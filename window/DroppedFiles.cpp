// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/DroppedFiles.h"

#include "media/PictureReader.h"

#include <algorithm>

bool DroppedFiles::isReadablePicture(const QUrl& url) {
    if (!url.isLocalFile())
        return false;
    // The path's own bytes, as the opening queue takes them, so that names in no UTF-8 work too.
    return PictureReader::canRead(
        QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1()));
}

bool DroppedFiles::bringsPictures(const QMimeData* mimeData) {
    const QList<QUrl> urls = mimeData->urls();
    return std::ranges::any_of(urls, &DroppedFiles::isReadablePicture);
}
