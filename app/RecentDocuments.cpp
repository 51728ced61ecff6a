// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/RecentDocuments.h"

#include "app/AppLog.h"
#include "settings/ApplicationSettings.h"

namespace {
const QString settingsKey = QStringLiteral("RecentDocuments");
}

QList<QUrl> RecentDocuments::recentDocumentURLs() const {
    QList<QUrl> urls;
    for (const QString& entry : _settings.value(settingsKey).toStringList()) {
        const QUrl url(entry);
        if (url.isValid() && url.isLocalFile())
            urls.append(url);
        else
            qCWarning(appLog) << "Ignoring the recent document entry" << entry;
    }
    return urls;
}

void RecentDocuments::clearRecentDocuments() {
    _settings.remove(settingsKey);
}

void RecentDocuments::noteNewRecentDocumentURL(const QUrl& url) {
    QList<QUrl> urls = recentDocumentURLs();
    urls.removeAll(url);
    urls.prepend(url);
    store(urls.first(std::min(urls.size(), maximumCount)));
}

void RecentDocuments::setRecentDocumentURLs(const QList<QUrl>& urls) {
    QList<QUrl> unique;
    for (const QUrl& url : urls)
        if (!unique.contains(url))
            unique.append(url);
    store(unique.first(std::min(unique.size(), maximumCount)));
}

void RecentDocuments::store(const QList<QUrl>& urls) {
    QStringList entries;
    for (const QUrl& url : urls)
        entries.append(url.toString());
    _settings.setValue(settingsKey, entries);
}
