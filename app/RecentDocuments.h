// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QUrl>

class ApplicationSettings;

// The persistent list of recently opened documents, most recent first, kept in the application's
// settings.
class RecentDocuments {
public:
    static constexpr qsizetype maximumCount = 10;

    explicit RecentDocuments(ApplicationSettings& settings) : _settings(settings) {}

    QList<QUrl> recentDocumentURLs() const;
    void clearRecentDocuments();
    // Puts the URL at the front; an entry already in the list moves there.
    void noteNewRecentDocumentURL(const QUrl& url);
    // Replaces the whole list in one write, most recent first; repeats keep their first place.
    void setRecentDocumentURLs(const QList<QUrl>& urls);

private:
    void store(const QList<QUrl>& urls);

    ApplicationSettings& _settings;
};
