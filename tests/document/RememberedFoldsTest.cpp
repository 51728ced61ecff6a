// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "document/RememberedFolds.h"
#include "fold/FoldModel.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QStringList warnings;

void keepWarnings(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type == QtWarningMsg)
        warnings.append(QString::fromLatin1(context.category) + ": " + message);
}

FoldFile foldWithLeftCompression(double compression) {
    FoldModel model({1000, 500});
    model.moveLine(0, {compression, 0}, 0);
    return FoldFile::fromModel(model, 0);
}

class RememberedFoldsTest : public testing::Test {
protected:
    QString writePicture(const QString& name, const QByteArray& bytes) {
        const QString path = _dir.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }
    QString folder() const { return _dir.filePath("state/pleatora/folds"); }

    QTemporaryDir _dir;
};

TEST_F(RememberedFoldsTest, TheKeyFollowsThePicturesContentNotItsName) {
    const QString key = RememberedFolds::keyOfPicture(writePicture("a.png", "picture bytes"));
    EXPECT_EQ(key.size(), 64);
    EXPECT_EQ(RememberedFolds::keyOfPicture(writePicture("renamed.png", "picture bytes")), key);
    EXPECT_NE(RememberedFolds::keyOfPicture(writePicture("a.png", "picture bytes, edited")), key);
    EXPECT_TRUE(RememberedFolds::keyOfPicture(_dir.filePath("gone.png")).isEmpty());
}

TEST_F(RememberedFoldsTest, AFoldComesBackUntilItIsForgotten) {
    RememberedFolds store(folder());
    EXPECT_FALSE(store.recall("abc"));
    store.remember("abc", foldWithLeftCompression(15));
    store.remember("def", foldWithLeftCompression(30));

    const std::optional<FoldFile> recalled = RememberedFolds(folder()).recall("abc");
    ASSERT_TRUE(recalled);
    EXPECT_NEAR(recalled->fold().profile[0].x, 0.015, 1e-9);
    store.forget("abc");
    EXPECT_FALSE(store.recall("abc"));
    EXPECT_TRUE(store.recall("def"));
}

TEST_F(RememberedFoldsTest, OnlyTheFoldsRememberedLastAreKept) {
    RememberedFolds store(folder(), 3);
    const QDateTime longAgo = QDateTime::currentDateTime().addDays(-1);
    for (int i = 0; i < 5; ++i) {
        const QString key = QString::number(i);
        store.remember(key, foldWithLeftCompression(10 + i));
        // File times are coarse; spread them as minutes apart.
        QFile entry(folder() + "/" + key + ".pleatfold");
        ASSERT_TRUE(entry.open(QIODevice::ReadWrite));
        entry.setFileTime(longAgo.addSecs(60 * i), QFileDevice::FileModificationTime);
    }
    EXPECT_EQ(QDir(folder()).entryList(QDir::Files).size(), 3);
    EXPECT_FALSE(store.recall("0"));
    EXPECT_FALSE(store.recall("1"));
    for (const char* kept : {"2", "3", "4"})
        EXPECT_TRUE(store.recall(kept)) << kept;
}

TEST_F(RememberedFoldsTest, ADamagedEntryIsIgnoredWithAWarning) {
    RememberedFolds store(folder());
    store.remember("abc", foldWithLeftCompression(15));
    QFile entry(folder() + "/abc.pleatfold");
    ASSERT_TRUE(entry.open(QIODevice::WriteOnly | QIODevice::Truncate));
    entry.write("{\"pleatora-fold\": 1, \"sheet\": [1000");
    entry.close();

    warnings.clear();
    const QtMessageHandler previous = qInstallMessageHandler(keepWarnings);
    const std::optional<FoldFile> recalled = store.recall("abc");
    qInstallMessageHandler(previous);
    EXPECT_FALSE(recalled);
    ASSERT_EQ(warnings.size(), 1);
    EXPECT_TRUE(warnings[0].startsWith("pleatora.document: ")) << warnings[0].toStdString();
    EXPECT_TRUE(warnings[0].contains("abc.pleatfold")) << warnings[0].toStdString();
}

TEST_F(RememberedFoldsTest, TheFolderFollowsXdgStateHome) {
    const QByteArray saved = qgetenv("XDG_STATE_HOME");
    qputenv("XDG_STATE_HOME", "/var/tmp/state");
    EXPECT_EQ(RememberedFolds::defaultFolder(), "/var/tmp/state/pleatora/folds");
    qputenv("XDG_STATE_HOME", "relative/state");
    EXPECT_EQ(RememberedFolds::defaultFolder(), QDir::homePath() + "/.local/state/pleatora/folds");
    qunsetenv("XDG_STATE_HOME");
    EXPECT_EQ(RememberedFolds::defaultFolder(), QDir::homePath() + "/.local/state/pleatora/folds");
    if (!saved.isNull())
        qputenv("XDG_STATE_HOME", saved);
}

} // namespace

TEST_F(RememberedFoldsTest, ABackPictureComesBackWithTheFoldUntilItIsForgotten) {
    RememberedFolds store(folder());
    EXPECT_TRUE(store.recallBackPicture("abc").isEmpty());
    const QString path = _dir.filePath("backs/cover ü.png");
    store.rememberBackPicture("abc", path);
    store.remember("abc", foldWithLeftCompression(15));
    EXPECT_EQ(RememberedFolds(folder()).recallBackPicture("abc"), path);
    EXPECT_TRUE(store.recallBackPicture("def").isEmpty());
    // Forgetting the fold keeps the back picture: a flat sheet may have one too.
    store.forget("abc");
    EXPECT_EQ(store.recallBackPicture("abc"), path);
    store.rememberBackPicture("abc", QString());
    EXPECT_TRUE(store.recallBackPicture("abc").isEmpty());
    EXPECT_TRUE(QDir(folder()).entryList(QDir::Files).isEmpty());
}
