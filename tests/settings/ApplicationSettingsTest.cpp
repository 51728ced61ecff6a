// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/ApplicationSettings.h"
#include "tests/CapturedWarnings.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <sys/stat.h>

namespace {

class ApplicationSettingsTest : public ::testing::Test {
protected:
    QString path(const QString& name = QStringLiteral("Pleatora.conf")) const {
        return _dir.filePath(name);
    }
    QTemporaryDir _dir;
};

TEST_F(ApplicationSettingsTest, UserFileIsPleatorasWhateverTheApplicationIsCalled) {
    ASSERT_TRUE(QCoreApplication::organizationName().isEmpty());
    ApplicationSettings settings;
    EXPECT_EQ(settings.fileName(),
              qEnvironmentVariable("XDG_CONFIG_HOME") + QStringLiteral("/Pleatora/Pleatora.conf"));
}

TEST_F(ApplicationSettingsTest, EveryChangeIsInTheFileWhenItReturns) {
    ApplicationSettings settings(path());
    settings.setValue(QStringLiteral("first"), 1);
    settings.setValue(QStringLiteral("second"), QStringLiteral("two"));
    settings.remove(QStringLiteral("first"));

    const QSettings file(path(), QSettings::NativeFormat);
    EXPECT_FALSE(file.contains(QStringLiteral("first")));
    EXPECT_EQ(file.value(QStringLiteral("second")).toString(), "two");
}

TEST_F(ApplicationSettingsTest, FileThatCannotBeWrittenLeavesAWarningAndKeepsTheValue) {
    // A directory cannot be made under a plain file, whoever runs the test.
    QFile blocker(path(QStringLiteral("plain-file")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    ApplicationSettings settings(path(QStringLiteral("plain-file/Pleatora.conf")));

    CapturedWarnings warnings("pleatora.settings");
    settings.setValue(QStringLiteral("showCreaseLine"), false);

    ASSERT_EQ(warnings.messages().size(), 1);
    EXPECT_TRUE(warnings.messages().first().contains(settings.fileName()));
    EXPECT_EQ(settings.value(QStringLiteral("showCreaseLine")), false);
}

TEST_F(ApplicationSettingsTest, DamagedFileLeavesAWarningAndItsReadableEntriesCount) {
    QFile damaged(path());
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
    damaged.write("[General\nimageFormat=PDF\n");
    damaged.close();

    CapturedWarnings warnings("pleatora.settings");
    const ApplicationSettings settings(path());

    EXPECT_EQ(warnings.messages().size(), 1);
    EXPECT_EQ(settings.value(QStringLiteral("imageFormat")).toString(), "PDF");
}

// Opening a FIFO would block before the first window; it is left alone and the settings last for
// the run.
TEST_F(ApplicationSettingsTest, FifoAsTheFileIsLeftAloneWithAWarning) {
    ASSERT_EQ(::mkfifo(QFile::encodeName(path()).constData(), 0600), 0);
    CapturedWarnings warnings("pleatora.settings");
    ApplicationSettings settings(path());
    settings.setValue(QStringLiteral("showCreaseLine"), false);

    ASSERT_EQ(warnings.messages().size(), 1);
    EXPECT_TRUE(warnings.messages().first().contains(path()));
    EXPECT_EQ(settings.value(QStringLiteral("showCreaseLine")), false);
    struct stat status {};
    ASSERT_EQ(::stat(QFile::encodeName(path()).constData(), &status), 0);
    EXPECT_TRUE(S_ISFIFO(status.st_mode));
}

} // namespace
