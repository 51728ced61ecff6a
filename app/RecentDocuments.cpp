#include "app/RecentDocuments.h"

#include <QSettings>

namespace {
const QString settingsKey = QStringLiteral("RecentDocuments");
}

QList<QUrl> RecentDocuments::recentDocumentURLs() const {
    QList<QUrl> urls;
    for (const QString& entry : QSettings().value(settingsKey).toStringList()) {
        const QUrl url(entry);
        if (url.isValid() && url.isLocalFile())
            urls.append(url);
    }
    return urls;
}

void RecentDocuments::clearRecentDocuments() {
    QSettings().remove(settingsKey);
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
    QSettings().setValue(settingsKey, entries);
}
