// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/RegularFile.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using Status = RegularFile::Status;

// Only a regular file is opened, a link to one included; anything else is refused at once,
// without blocking on a FIFO that no one writes to.
TEST(RegularFileTest, OpensRegularFilesOnlyAndNeverBlocks) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QByteArray folder = QFile::encodeName(dir.path()) + '/';
    {
        QFile file(dir.filePath("picture"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("contents");
    }
    ASSERT_EQ(::mkfifo(folder + "fifo", 0600), 0);
    ASSERT_EQ(::symlink(folder + "picture", folder + "link"), 0);
    ASSERT_EQ(::symlink(folder + "missing", folder + "dangling"), 0);
    ASSERT_EQ(::symlink(folder + "fifo", folder + "link to fifo"), 0);
    ASSERT_EQ(::symlink(folder + "loop", folder + "loop"), 0);

    struct Case {
        QByteArray path;
        Status status;
        int error;
    };
    const Case cases[] = {
        {folder + "picture", Status::Opened, 0},
        {folder + "link", Status::Opened, 0},
        {folder + "fifo", Status::NotRegular, 0},
        {folder + "link to fifo", Status::NotRegular, 0},
        {"/dev/null", Status::NotRegular, 0},
        {folder, Status::NotRegular, 0},
        {folder + "missing", Status::Unreadable, ENOENT},
        {folder + "dangling", Status::Unreadable, ENOENT},
        {folder + "loop", Status::Unreadable, ELOOP},
    };
    for (const Case& c : cases) {
        QFile file;
        const RegularFile::Opening opening = RegularFile::openForReading(c.path, file);
        EXPECT_EQ(opening.status, c.status) << c.path.constData();
        EXPECT_EQ(opening.error, c.error) << c.path.constData();
        EXPECT_EQ(file.isOpen(), c.status == Status::Opened) << c.path.constData();
        if (file.isOpen())
            EXPECT_EQ(file.readAll(), "contents");
    }
}

} // namespace
