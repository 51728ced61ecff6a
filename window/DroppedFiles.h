#pragma once

#include <QList>
#include <QMimeData>
#include <QUrl>

#include <algorithm>

// What a drop onto a Pleatora window opens: the dropped files when every item is a local file,
// nothing otherwise (links and remote items are refused whole).
inline QList<QUrl> droppedLocalFiles(const QMimeData* mimeData) {
    const QList<QUrl> urls = mimeData->urls();
    if (urls.isEmpty() || !std::ranges::all_of(urls, &QUrl::isLocalFile))
        return {};
    return urls;
}
