// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "document/FoldFile.h"
#include "fold/FoldModel.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

FoldModel foldedModel(FoldSize size) {
    FoldModel model(size);
    model.moveLine(3, {20, 0}, 0);
    model.moveLine(2, {0, -25}, 0);
    model.moveLine(4, {0, 30}, 0);
    model.moveLine(4, {-12, 0}, 0);
    return model;
}

class FoldFileTest : public testing::Test {
protected:
    QString writeText(const QByteArray& text, const QString& name = "fold.pleatfold") {
        const QString path = _dir.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
        return path;
    }
    // A sound file's JSON with one change made to it.
    QByteArray changed(const std::function<void(QJsonObject&)>& change) {
        QJsonObject root =
            QJsonDocument::fromJson(FoldFile::fromModel(foldedModel({1000, 500}), 10).toJson())
                .object();
        change(root);
        return QJsonDocument(root).toJson();
    }

    QTemporaryDir _dir;
};

TEST_F(FoldFileTest, AFoldSavedAndAppliedToTheSameSheetComesBackExactly) {
    const FoldModel made = foldedModel({1000, 500});
    const QString path = _dir.filePath("made.pleatfold");
    QString error;
    ASSERT_TRUE(FoldFile::fromModel(made, -22.5f).write(path, &error)) << error.toStdString();

    const std::optional<FoldFile> read = FoldFile::read(path, &error);
    ASSERT_TRUE(read) << error.toStdString();
    FoldModel model({1000, 500});
    EXPECT_EQ(read->applyTo(model), 0.0);
    for (int i = 0; i < creaseLineCount; ++i) {
        EXPECT_NEAR(model.creases()[i], made.creases()[i], 1e-4);
        EXPECT_NEAR(model.profile()[i].x, made.profile()[i].x, 1e-4);
        EXPECT_NEAR(model.profile()[i].y, made.profile()[i].y, 1e-4);
    }
    EXPECT_EQ(model.leftDirection(), -1.0f);
    EXPECT_EQ(model.rightDirection(), 1.0f);
    EXPECT_EQ(read->fold().pitch, -22.5);
    EXPECT_EQ(read->sheet(), (FoldSize{1000, 500}));
}

TEST_F(FoldFileTest, TheFileHoldsTheDocumentedEntriesAsFractionsOfTheWidth) {
    const QJsonObject root =
        QJsonDocument::fromJson(FoldFile::fromModel(foldedModel({1000, 500}), 5).toJson()).object();
    EXPECT_EQ(root.value("pleatora-fold").toInt(), 1);
    EXPECT_EQ(root.value("sheet").toArray(), QJsonArray({1000, 500}));
    const QJsonArray creases = root.value("creases").toArray();
    ASSERT_EQ(creases.size(), 7);
    EXPECT_EQ(creases[0].toDouble(), 0.0);
    EXPECT_NEAR(creases[1].toDouble(), 0.15, 1e-6);
    EXPECT_EQ(creases[6].toDouble(), 1.0);
    const QJsonArray profile = root.value("profile").toArray();
    ASSERT_EQ(profile.size(), 7);
    EXPECT_NEAR(profile[0].toArray()[0].toDouble(), 0.025, 1e-6) << "the left compression of 25";
    EXPECT_LT(profile[2].toArray()[1].toDouble(), 0.0) << "the left peak away from the viewer";
    EXPECT_EQ(root.value("pitch").toDouble(), 5.0);
}

TEST_F(FoldFileTest, OnAnotherSheetTheFoldIsReachedThroughTheSolver) {
    const FoldFile file = FoldFile::fromModel(foldedModel({1000, 500}), 0);
    FoldModel sameShape({1300, 650});
    EXPECT_EQ(file.applyTo(sameShape), 0.0);
    EXPECT_NEAR(sameShape.profile()[0].x, 25 * 1.3, 1e-3);

    // A low sheet cannot hold tents as deep as these.
    FoldModel deep({256, 702.4});
    deep.moveLine(2, {0, 60}, 0);
    FoldModel low({1000, 250});
    EXPECT_GT(FoldFile::fromModel(deep, 0).applyTo(low), 1.0);
}

TEST_F(FoldFileTest, UnknownEntriesAreLeftAlone) {
    const QString path = writeText(changed([](QJsonObject& root) {
        root.insert("comment", "made for the poster");
        root.insert("colours", QJsonObject{{"paper", "white"}});
    }));
    QString error;
    EXPECT_TRUE(FoldFile::read(path, &error)) << error.toStdString();
}

TEST_F(FoldFileTest, EachKindOfBadFileIsRefusedWithItsOwnReasonAndTheFileName) {
    const auto set = [](const char* key, QJsonValue value) {
        return [key, value](QJsonObject& root) { root.insert(key, value); };
    };
    const auto setCrease = [](int index, double value) {
        return [index, value](QJsonObject& root) {
            QJsonArray creases = root.value("creases").toArray();
            creases[index] = value;
            root.insert("creases", creases);
        };
    };
    const std::pair<QByteArray, const char*> cases[] = {
        {"", "it is empty"},
        {"{\"pleatora-fold\": 1, ", "it is not JSON"},
        {"[0, 0.15, 0.3]", "not a Pleatora fold file"},
        {"{\"creases\": []}", "not a Pleatora fold file"},
        {changed(set("pleatora-fold", 4)), "made by a newer Pleatora"},
        {changed(set("pleatora-fold", "one")), "version is not a whole number"},
        {changed(set("pleatora-fold", 1.5)), "version is not a whole number"},
        {changed([](QJsonObject& root) { root.remove("profile"); }), "“profile” is missing"},
        {changed(set("creases", QJsonArray{0, 0.15, 0.3, 0.5, 0.7, 1})),
         "“creases” has 6 entries instead of 7"},
        {changed(set("creases", "0 0.15 0.3")), "“creases” must be a list of 7 numbers"},
        {changed(setCrease(3, 1e300)), "“creases” holds 1e+300, outside 0 to 1"},
        {changed(set("sheet", QJsonArray{-1000, 500})), "“sheet” holds -1000"},
        {changed(set("pitch", 75)), "“pitch” holds 75, outside -60 to 60"},
        {changed(set("pitch", QJsonValue::Null)), "“pitch” must be a number"},
        {changed(setCrease(2, 0.6)), "creases are not in order"},
        {changed(setCrease(6, 0.9)), "the first crease must lie at 0 and the last at 1"},
        {changed(setCrease(2, 0.31)), "segments do not match the creases"},
        {changed(set("profile", QJsonArray{})), "“profile” must be a list of 7 points"},
    };
    for (const auto& [text, reason] : cases) {
        QString error;
        EXPECT_FALSE(FoldFile::read(writeText(text, "bad.pleatfold"), &error)) << reason;
        EXPECT_TRUE(error.contains("“bad.pleatfold”")) << error.toStdString();
        EXPECT_TRUE(error.contains(QString::fromUtf8(reason))) << error.toStdString();
    }
    QString error;
    EXPECT_FALSE(FoldFile::read(_dir.filePath("missing.pleatfold"), &error));
    EXPECT_TRUE(error.contains("“missing.pleatfold”") && error.contains("cannot be read"))
        << error.toStdString();
}

TEST_F(FoldFileTest, AFailedSaveSaysWhy) {
    QString error;
    EXPECT_FALSE(FoldFile::fromModel(foldedModel({1000, 500}), 0)
                     .write(_dir.filePath("no such folder/fold.pleatfold"), &error));
    EXPECT_TRUE(error.contains("“fold.pleatfold” could not be saved")) << error.toStdString();
}

} // namespace
