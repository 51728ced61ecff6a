// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
//
// The table of a run's files: every spelling of one file is that file, and nothing else is.
#include "cli/RunFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <unistd.h>

#include <gtest/gtest.h>

namespace {

class RunFilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(QDir(_folder.path()).mkpath(QStringLiteral("sub")));
        QFile file(QString::fromUtf8(path("a.png")));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("picture");
        file.close();
        ASSERT_EQ(::symlink("a.png", path("link.png").constData()), 0);
        ASSERT_EQ(::symlink("sub", path("sublink").constData()), 0);
        ASSERT_EQ(::link(path("a.png").constData(), path("hard.png").constData()), 0);
    }
    QByteArray path(const QByteArray& name) const {
        return QFile::encodeName(_folder.path()) + '/' + name;
    }

    QTemporaryDir _folder;
};

} // namespace

TEST_F(RunFilesTest, EverySpellingOfAnInputIsThatInputAndNoOtherNameIs) {
    const struct {
        QByteArray added, asked;
        bool same;
    } cases[] = {
        {"a.png", "a.png", true},
        {"a.png", "./a.png", true},
        {"a.png", "sub/../a.png", true},
        {"a.png", "hard.png", true},    // another name of the same inode
        {"link.png", "a.png", true},    // what the link reaches
        {"link.png", "link.png", true}, // and the link itself
        {"a.png", "link.png", false},   // replacing the link leaves the picture alone
        {"a.png", "b.png", false},
        {"a.png", "sub/a.png", false},
        {"sub/new.png", "sublink/new.png", true}, // a new name, by its folder's identity
        {"sub/new.png", "sub/new.png\xff", false},
    };
    for (const auto& c : cases) {
        RunFiles files;
        files.addInput(path(c.added));
        EXPECT_EQ(files.isInput(path(c.asked)), c.same)
            << c.added.constData() << " / " << c.asked.constData();
        EXPECT_FALSE(files.isReport(path(c.asked)));
        files.setReport(path(c.asked));
        EXPECT_TRUE(files.isReport(path(c.asked)));
    }
}

TEST_F(RunFilesTest, OutputsSharingAFileNameEachOtherAndOnlyEachOther) {
    RunFiles files;
    const QList<QByteArray> outputs = {"sub/x.png", "sublink/x.png", "sub/y.png",
                                       "hard.png",  "a.png",         "./sub/x.png"};
    for (qsizetype i = 0; i < outputs.size(); ++i)
        files.addOutput(path(outputs[i]), i);
    EXPECT_EQ(files.otherOwners(path(outputs[0]), 0), (QList<qsizetype>{1, 5}));
    EXPECT_EQ(files.otherOwners(path(outputs[1]), 1), (QList<qsizetype>{0, 5}));
    EXPECT_TRUE(files.otherOwners(path(outputs[2]), 2).isEmpty());
    EXPECT_EQ(files.otherOwners(path(outputs[3]), 3), QList<qsizetype>{4});
    EXPECT_TRUE(files.otherOwners(path("sub/z.png"), 6).isEmpty());
    EXPECT_FALSE(files.isInput(path(outputs[0])));
}
