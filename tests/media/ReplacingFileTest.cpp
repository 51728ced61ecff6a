// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/ReplacingFile.h"
#include "tests/media/FailingSync.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>
#include <functional>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace {

class ReplacingFileTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(_dir.isValid()); }

    QByteArray path(const char* name) const { return QFile::encodeName(_dir.filePath(name)); }

    void writeOld(const char* name) const {
        QFile file(_dir.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("old");
    }

    QByteArray contents(const char* name) const {
        QFile file(_dir.filePath(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    // What is left beside the destinations: no temporary file, whatever happened.
    QStringList leftovers() const {
        return QDir(_dir.path()).entryList({".pleatora-*"}, QDir::AllEntries | QDir::Hidden);
    }

    static bool save(const QByteArray& destination, QString* failure) {
        ReplacingFile file(destination);
        const bool saved = file.open() && file.write("new") == 3 && file.commit();
        *failure = file.failure();
        return saved;
    }

    QTemporaryDir _dir;
};

// The file type the destination has after a save.
mode_t typeOf(const QByteArray& path) {
    struct stat status {};
    return ::lstat(path.constData(), &status) == 0 ? status.st_mode & S_IFMT : 0;
}

// A link is replaced rather than written through; a FIFO or device is refused and left as it was.
TEST_F(ReplacingFileTest, ReplacesFilesAndLinksAndRefusesSpecialFiles) {
    writeOld("old");
    writeOld("target");
    ASSERT_EQ(::mkfifo(path("fifo"), 0600), 0);
    ASSERT_EQ(::symlink(path("target"), path("link")), 0);
    ASSERT_EQ(::symlink(path("missing"), path("dangling")), 0);
    ASSERT_EQ(::mkdir(path("folder"), 0700), 0);

    struct Case {
        QByteArray destination;
        bool saved;
        mode_t typeAfter;
        const char* failure; // part of the reason, when refused
    };
    const Case cases[] = {
        {path("old"), true, S_IFREG, ""},
        {path("new"), true, S_IFREG, ""},
        {path("link"), true, S_IFREG, ""},
        {path("dangling"), true, S_IFREG, ""},
        {path("fifo"), false, S_IFIFO, "Not a regular file"},
        {path("folder"), false, S_IFDIR, "Is a directory"},
        {"/dev/null", false, S_IFCHR, ""},
    };
    for (const Case& c : cases) {
        QString failure;
        EXPECT_EQ(save(c.destination, &failure), c.saved) << c.destination.constData();
        EXPECT_EQ(typeOf(c.destination), c.typeAfter) << c.destination.constData();
        EXPECT_TRUE(failure.contains(QLatin1String(c.failure)))
            << c.destination.constData() << ": " << failure.toStdString();
        if (c.saved) {
            QFile saved(QFile::decodeName(c.destination));
            ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
            EXPECT_EQ(saved.readAll(), "new");
        }
    }
    EXPECT_EQ(contents("target"), "old");
    EXPECT_TRUE(leftovers().isEmpty()) << leftovers().join(' ').toStdString();
    EXPECT_TRUE(QDir("/dev").entryList({".pleatora-*"}, QDir::AllEntries | QDir::Hidden).isEmpty());
}

// Data the disk refuses shows only when it is flushed: a failed flush fails the save and keeps
// the old file whole.
TEST_F(ReplacingFileTest, AFailedFlushFailsTheSaveAndKeepsTheOldFile) {
    writeOld("picture");
    for (const int error : {EIO, ENOSPC, EDQUOT}) {
        QString failure;
        {
            const FailingSync failing(error);
            EXPECT_FALSE(save(path("picture"), &failure)) << error;
        }
        EXPECT_EQ(failure.toStdString(), std::generic_category().message(error));
        EXPECT_EQ(contents("picture"), "old");
        EXPECT_TRUE(leftovers().isEmpty()) << leftovers().join(' ').toStdString();
    }
    // Flushed for real otherwise.
    const int before = FailingSync::calls();
    QString failure;
    EXPECT_TRUE(save(path("picture"), &failure)) << failure.toStdString();
    EXPECT_EQ(FailingSync::calls(), before + 1);
    EXPECT_EQ(contents("picture"), "new");
}

} // namespace
