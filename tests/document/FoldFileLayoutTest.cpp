// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "document/Document.h"
#include "document/FoldFile.h"
#include "document/RememberedFolds.h"
#include "fold/PanelFoldModel.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <random>

namespace {

using Axis = FoldLayout::Axis;

std::vector<FoldLayout> everyLayout() {
    std::vector<FoldLayout> layouts;
    for (Axis axis : {Axis::vertical, Axis::horizontal})
        for (const FoldLayout& layout : FoldLayout::presets(axis))
            layouts.push_back(layout);
    return layouts;
}

// A fold the limiter allowed after random drag steps.
PanelFoldModel randomFold(const FoldLayout& layout, FoldSize sheet, unsigned seed) {
    PanelFoldModel fold(layout, sheet);
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> step(-30, 30);
    std::uniform_int_distribution<int> line(0, fold.lineCount() - 1);
    for (int i = 0; i < 200; ++i)
        fold.moveLine(line(random), {step(random), step(random)}, 0);
    return fold;
}

QJsonObject jsonOf(const FoldFile& file) {
    return QJsonDocument::fromJson(file.toJson()).object();
}

std::optional<FoldFile> readBack(const QJsonObject& root, QString* error = nullptr) {
    return FoldFile::fromJson(QJsonDocument(root).toJson(), "fold.pleatfold", error);
}

// Every fold the limiter allows is saved and read back as it was, and a document shows it again.
TEST(FoldFileLayoutTest, EveryLayoutRoundTripsThroughVersionTwo) {
    const FoldSize sheet{640, 480};
    unsigned seed = 1;
    for (const FoldLayout& layout : everyLayout()) {
        if (layout.isClassic())
            continue;
        SCOPED_TRACE(layout.name() + " " + std::string(FoldLayout::axisName(layout.axis())));
        const PanelFoldModel fold = randomFold(layout, sheet, seed++);
        const QJsonObject root = jsonOf(FoldFile::fromModel(fold, 12.5f));
        EXPECT_EQ(root.value("pleatora-fold").toInt(), 2);
        EXPECT_EQ(root.value("layout").toString().toStdString(), layout.name());
        EXPECT_EQ(root.value("axis").toString().toStdString(), FoldLayout::axisName(layout.axis()));
        EXPECT_EQ(root.value("creases").toArray().size(), fold.lineCount());
        EXPECT_EQ(root.value("profile").toArray().size(), fold.lineCount());

        QString error;
        const std::optional<FoldFile> read = readBack(root, &error);
        ASSERT_TRUE(read) << error.toStdString();
        EXPECT_EQ(read->layout(), layout);
        EXPECT_EQ(read->fold().pitch, 12.5);
        Document document(sheet, QUrl(), QSize(640, 480));
        EXPECT_EQ(document.applyFold(*read), 0.0);
        EXPECT_EQ(document.layout(), layout);
        EXPECT_EQ(document.pitch(), 12.5f);
        for (int line = 0; line < fold.lineCount(); ++line) {
            EXPECT_NEAR(document.panelFold()->creases()[line], fold.creases()[line], 1e-9);
            EXPECT_NEAR(document.panelFold()->profile()[line].x, fold.profile()[line].x, 1e-9);
            EXPECT_NEAR(document.panelFold()->profile()[line].y, fold.profile()[line].y, 1e-9);
        }
    }
}

// Older copies of Pleatora read the classic: it stays version 1, without the new entries.
TEST(FoldFileLayoutTest, TheClassicIsStillWrittenAsVersionOne) {
    Document document({640, 480}, QUrl(), QSize(640, 480));
    document.moveLine(2, {0, 30});
    const QJsonObject root = jsonOf(document.foldFile());
    EXPECT_EQ(root.value("pleatora-fold").toInt(), 1);
    EXPECT_FALSE(root.contains("layout"));
    EXPECT_FALSE(root.contains("axis"));
    const std::optional<FoldFile> read = readBack(root);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->layout(), FoldLayout());
    EXPECT_EQ(read->panelFold(), nullptr);
}

// Applying a file takes its layout, as one step: undo brings back the layout and fold before.
TEST(FoldFileLayoutTest, ApplyingAFileSwitchesTheLayoutInOneUndoStep) {
    const FoldSize sheet{640, 480};
    const PanelFoldModel fold = randomFold(FoldLayout::accordion(7, Axis::horizontal), sheet, 9);
    Document document(sheet, QUrl(), QSize(640, 480));
    document.moveLine(1, {25, 0});
    const FoldSnapshot before = document.snapshot();
    document.applyFold(FoldFile::fromModel(fold, -20));
    EXPECT_EQ(document.layout(), FoldLayout::accordion(7, Axis::horizontal));
    EXPECT_EQ(document.undoStack().count(), 1);
    EXPECT_EQ(document.undoStack().undoText(), "Apply Fold");
    document.undoStack().undo();
    EXPECT_EQ(document.snapshot(), before);

    // A classic file brings the classic back.
    document.undoStack().redo();
    FoldModel classic({640, 480});
    classic.moveLine(0, {30, 0}, 0);
    document.applyFold(FoldFile::fromModel(classic, 0));
    EXPECT_EQ(document.layout(), FoldLayout());
    EXPECT_EQ(document.fold().creases(), classic.creases());
}

// A picture's remembered fold keeps its layout, even flat.
TEST(FoldFileLayoutTest, ARememberedFoldKeepsItsLayout) {
    QTemporaryDir dir;
    QFile picture(dir.filePath("picture.png"));
    ASSERT_TRUE(picture.open(QIODevice::WriteOnly));
    picture.write("picture bytes");
    picture.close();
    const QUrl url = QUrl::fromLocalFile(picture.fileName());
    RememberedFolds store(dir.filePath("folds"));
    const FoldLayout layout = FoldLayout::accordion(5, Axis::horizontal);
    Document closed({640, 480}, url, QSize(640, 480));
    closed.setLayout(layout);
    closed.rememberFold(store);

    Document reopened({640, 480}, url, QSize(640, 480));
    reopened.recallFold(store);
    EXPECT_EQ(reopened.layout(), layout);
    EXPECT_EQ(reopened.snapshot(), reopened.flatSnapshot());
    EXPECT_EQ(reopened.undoStack().count(), 0);

    // Back to the flat classic, nothing is kept.
    reopened.setLayout(FoldLayout());
    reopened.rememberFold(store);
    Document third({640, 480}, url, QSize(640, 480));
    third.recallFold(store);
    EXPECT_EQ(third.layout(), FoldLayout());
}

// What the reader refuses in a version 2 file, each with its reason.
TEST(FoldFileLayoutTest, AFaultyVersionTwoFileSaysWhatIsWrong) {
    const QJsonObject sound =
        jsonOf(FoldFile::fromModel(randomFold(FoldLayout::accordion(4), {640, 480}, 3), 0));
    const auto refusal = [&](const std::function<void(QJsonObject&)>& change) {
        QJsonObject root = sound;
        change(root);
        QString error;
        EXPECT_FALSE(readBack(root, &error));
        return error.toStdString();
    };
    EXPECT_NE(refusal([](QJsonObject& r) {
                  r.insert("layout", "accordion-13");
              }).find("names no layout Pleatora knows: “accordion-13”"),
              std::string::npos);
    EXPECT_NE(refusal([](QJsonObject& r) {
                  r.insert("axis", "diagonal");
              }).find("not “vertical” or “horizontal”"),
              std::string::npos);
    EXPECT_NE(refusal([](QJsonObject& r) { r.remove("axis"); }).find("“axis” is missing"),
              std::string::npos);
    EXPECT_NE(refusal([](QJsonObject& r) {
                  r.insert("layout", "z-fold");
              }).find("“creases” has 5 entries instead of 4"),
              std::string::npos);
    EXPECT_NE(refusal([](QJsonObject& r) {
                  QJsonArray profile = r.value("profile").toArray();
                  profile[2] = QJsonArray{profile[2].toArray()[0].toDouble() + 0.01,
                                          profile[2].toArray()[1].toDouble()};
                  r.insert("profile", profile);
              }).find("panels do not match the creases"),
              std::string::npos);
    EXPECT_NE(refusal([](QJsonObject& r) {
                  QJsonArray creases = r.value("creases").toArray();
                  const QJsonValue second = creases[1];
                  creases[1] = creases[2];
                  creases[2] = second;
                  r.insert("creases", creases);
              }).find("not in order"),
              std::string::npos);
    EXPECT_NE(refusal([](QJsonObject& r) { r.insert("pleatora-fold", 3); }).find("newer Pleatora"),
              std::string::npos);
}

} // namespace
