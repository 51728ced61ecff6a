// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "AppFixture.h"
#include "app/PreferencesController.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDirIterator>
#include <QSettings>
#include <QTest>

using SettingsFileTest = AppFixture;

namespace {
std::string filesUnder(const QString& directory) {
    QStringList files;
    QDirIterator found(directory, QDir::Files, QDirIterator::Subdirectories);
    while (found.hasNext())
        files.append(found.next());
    return files.join(u' ').toStdString();
}
} // namespace

// Whatever the application object is called, the preferences, the recent documents and the
// preferences window's place go to the one file of the user's Pleatora settings.
TEST_F(SettingsFileTest, RecentDocumentsAndWindowPlaceShareTheFileOfThePreferences) {
    ASSERT_TRUE(QCoreApplication::organizationName().isEmpty());
    ASSERT_NE(QCoreApplication::applicationName(), "Pleatora");
    launch({picture()});
    application().showPreferences();
    QWidget* preferences = application().preferencesController()->window();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(preferences));
    QCheckBox* copyWithShadow = preferences->findChild<QCheckBox*>("cboxCopyWithShadow");
    ASSERT_NE(copyWithShadow, nullptr);
    QTest::keyClick(copyWithShadow, Qt::Key_Space);
    preferences->close();

    const QString userFile = configDirectory() + "/Pleatora/Pleatora.conf";
    EXPECT_EQ(filesUnder(configDirectory()), userFile.toStdString());
    const QSettings stored(userFile, QSettings::IniFormat);
    EXPECT_EQ(stored.value("copyWithShadow").toString(), "false");
    EXPECT_EQ(stored.value("RecentDocuments").toString(),
              QUrl::fromLocalFile(picture()).toString());
    EXPECT_EQ(stored.value("PrefWindow").toByteArray(), preferences->saveGeometry());
}
