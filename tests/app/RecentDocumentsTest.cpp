// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "AppFixture.h"
#include "window/DocumentWindow.h"

#include <QFile>
#include <QTest>
#include <QUrl>

namespace {
QList<QUrl> urls(const QStringList& paths) {
    QList<QUrl> result;
    for (const QString& path : paths)
        result.append(QUrl::fromLocalFile(path));
    return result;
}
} // namespace

class RecentDocumentsTest : public AppFixture {
protected:
    QList<QUrl> recent() { return application().recentDocuments().recentDocumentURLs(); }
    QByteArray settingsOnDisk() {
        QFile file(settings().fileName());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    QMenu* openRecentMenu() {
        QMenu* menu = application().menus().openRecentMenu();
        emit menu->aboutToShow();
        return menu;
    }
};

TEST_F(RecentDocumentsTest, OrderSurvivesARestartAndAnOpenMovesTheFileToTheFront) {
    const QString first = picture("first.png");
    const QString second = picture("second.png");
    const QString third = picture("third.png");
    launch({first, second, third});
    ASSERT_EQ(recent(), urls({third, second, first}));

    restart();
    // A crash before the rebuild has run would leave the list on disk as it was.
    const QByteArray onDisk = settingsOnDisk();
    for (const char* name : {"first.png", "second.png", "third.png"})
        EXPECT_TRUE(onDisk.contains(name)) << name;
    QTest::qWait(50);
    EXPECT_EQ(recent(), urls({third, second, first}));

    application().openFile(first);
    ASSERT_TRUE(waitUntilOpened());
    EXPECT_EQ(recent(), urls({first, third, second}));
}

TEST_F(RecentDocumentsTest, FileOpenedAtLaunchGoesInFrontOfTheRebuiltList) {
    const QString first = picture("first.png");
    const QString second = picture("second.png");
    launch({first, second});

    const QString third = picture("third.png");
    restart({third});
    EXPECT_EQ(recent(), urls({third, second, first}));
}

TEST_F(RecentDocumentsTest, FailedOpenLeavesTheListAlone) {
    launch({picture()});
    AlertDismisser alerts;
    application().openFile(textFile("notes.png"));
    ASSERT_TRUE(waitUntilOpened());
    EXPECT_TRUE(waitFor([&alerts] { return alerts.texts().size() == 1; }));
    EXPECT_EQ(recent(), urls({picture()}));
}

TEST_F(RecentDocumentsTest, ListIsBoundedAndKeepsTheNewest) {
    launch();
    RecentDocuments list(settings());
    for (int index = 0; index < RecentDocuments::maximumCount + 3; ++index)
        list.noteNewRecentDocumentURL(QUrl::fromLocalFile(QString("/pictures/%1.png").arg(index)));
    const QList<QUrl> kept = list.recentDocumentURLs();
    ASSERT_EQ(kept.size(), RecentDocuments::maximumCount);
    EXPECT_EQ(kept.first().fileName(), QString("%1.png").arg(RecentDocuments::maximumCount + 2));
    EXPECT_EQ(kept.last().fileName(), "3.png");
}

TEST_F(RecentDocumentsTest, OpenRecentMenuOpensAnEntryAndClearEmptiesIt) {
    launch({picture("first.png"), picture("second.png")});
    QMenu* menu = openRecentMenu();
    QStringList titles;
    for (const QAction* item : menu->actions())
        if (!item->isSeparator())
            titles.append(item->text());
    ASSERT_EQ(titles, (QStringList{"second.png", "first.png", "Clear Menu"}));

    menu->actions().at(1)->trigger();
    ASSERT_TRUE(waitUntilOpened());
    ASSERT_EQ(documentCount(), 3u);
    EXPECT_EQ(document(2).window()->windowTitle(), "first.png");

    openRecentMenu()->actions().last()->trigger();
    EXPECT_TRUE(recent().isEmpty());
    EXPECT_FALSE(openRecentMenu()->actions().last()->isEnabled());
}
