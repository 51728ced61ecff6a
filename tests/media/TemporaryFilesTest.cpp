// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
//
// The table of live temporary files that a signal handler empties: what ReplacingFile lists, what
// it lets go, and a full table.
#include "media/TemporaryFiles.h"
#include "media/ReplacingFile.h"

#include <QDir>
#include <QTemporaryDir>

#include <vector>

#include <gtest/gtest.h>

namespace {

QStringList temporaries(const QTemporaryDir& folder) {
    return QDir(folder.path())
        .entryList({QStringLiteral(".pleatora-*")}, QDir::Files | QDir::Hidden);
}

} // namespace

TEST(TemporaryFilesTest, RemoveAllDeletesExactlyTheFilesStillBeingWritten) {
    QTemporaryDir folder;
    const QByteArray kept = QDir(folder.path()).filePath(QStringLiteral("kept.png")).toUtf8();
    ReplacingFile committed(kept);
    ASSERT_TRUE(committed.open());
    committed.write("done");
    ASSERT_TRUE(committed.commit());
    std::vector<std::unique_ptr<ReplacingFile>> open;
    for (int i = 0; i < 3; ++i) {
        open.push_back(std::make_unique<ReplacingFile>(
            QDir(folder.path()).filePath(QStringLiteral("%1.png").arg(i)).toUtf8()));
        ASSERT_TRUE(open.back()->open());
        open.back()->write("part");
    }
    ASSERT_EQ(temporaries(folder).size(), 3);

    TemporaryFiles::removeAll();

    EXPECT_TRUE(temporaries(folder).isEmpty());
    EXPECT_TRUE(QFile::exists(QString::fromUtf8(kept)));
    for (const auto& file : open)
        EXPECT_FALSE(file->commit()) << "its temporary file is gone";
}

// Every file, committed or discarded, gives its slot back, or a long run would fill the table.
TEST(TemporaryFilesTest, SlotsComeBackWhateverBecomesOfTheFile) {
    QTemporaryDir folder;
    const QByteArray destination = QDir(folder.path()).filePath(QStringLiteral("a.png")).toUtf8();
    for (int i = 0; i < 1200; ++i) {
        ReplacingFile file(destination);
        ASSERT_TRUE(file.open());
        if (i % 2) {
            ASSERT_TRUE(file.commit());
        }
    }
    const int slot = TemporaryFiles::add("/nonexistent/x");
    EXPECT_GE(slot, 0);
    TemporaryFiles::remove(slot);
}

TEST(TemporaryFilesTest, AFullTableRefusesAndTakesAgainOnceASlotIsFree) {
    std::vector<int> taken;
    for (int slot = TemporaryFiles::add("/nonexistent/x"); slot >= 0;
         slot = TemporaryFiles::add("/nonexistent/x"))
        taken.push_back(slot);
    EXPECT_GE(taken.size(), 64u);
    TemporaryFiles::remove(taken.back());
    const int again = TemporaryFiles::add("/nonexistent/y");
    EXPECT_EQ(again, taken.back());
    TemporaryFiles::remove(again);
    taken.pop_back();
    for (int slot : taken)
        TemporaryFiles::remove(slot);
    EXPECT_EQ(TemporaryFiles::add(QByteArray(8192, 'a')), -1) << "a name too long is not listed";
}
