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

#include <algorithm>
#include <cmath>
#include <functional>
#include <random>

namespace {

using Axis = FoldLayout::Axis;

std::vector<FoldLayout> everyLayout() {
    std::vector<FoldLayout> layouts;
    for (Axis axis : {Axis::vertical, Axis::horizontal})
        for (const FoldLayout& layout : FoldLayout::presets(axis))
            if (!layout.isHinged()) // version 3 files
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

std::optional<FoldFile> readBack(const QJsonObject& root, QString* failure = nullptr) {
    return FoldFile::fromJson(QJsonDocument(root).toJson(), "fold.pleatfold", failure);
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
            EXPECT_NEAR(document.fold().panels()->creases()[line], fold.creases()[line], 1e-9);
            EXPECT_NEAR(document.fold().panels()->profile()[line].x, fold.profile()[line].x, 1e-9);
            EXPECT_NEAR(document.fold().panels()->profile()[line].y, fold.profile()[line].y, 1e-9);
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
    EXPECT_EQ(document.fold().classic()->creases(), classic.creases());
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
    EXPECT_NE(refusal([](QJsonObject& r) { r.insert("pleatora-fold", 4); }).find("newer Pleatora"),
              std::string::npos);
}

} // namespace

namespace {

// A flat fold of the layout as a version 2 file whose first panel is longer and second shorter by
// `stretch` of the length: the second crease's vertex moved along the sheet.
QJsonObject stretchedFile(const FoldLayout& layout, FoldSize sheet, double stretch) {
    const PanelFoldModel flat(layout, sheet);
    QJsonObject root = jsonOf(FoldFile::fromModel(flat, 0));
    QJsonArray profile = root.value("profile").toArray();
    const QJsonArray vertex = profile[1].toArray();
    profile[1] = QJsonArray{vertex[0].toDouble() + stretch, vertex[1].toDouble()};
    root.insert("profile", profile);
    return root;
}

} // namespace

// Half a point of stretch on the length across the creases, the side the layout's axis picks, and
// less on a sheet under 1000 points long.
TEST(FoldFileLayoutTest, StretchIsMeasuredOnTheLengthAcrossTheCreases) {
    struct Case {
        FoldSize sheet;
        Axis axis;
        double stretch; // of the length
        bool sound;
    };
    const Case cases[] = {
        {{4000, 2000}, Axis::vertical, 1e-4, true},   // 0.4 of 4000 points
        {{4000, 2000}, Axis::vertical, 2e-4, false},  // 0.8 of 4000 points, 0.4 of 2000
        {{2000, 4000}, Axis::vertical, 2e-4, true},   // 0.4 of 2000 points, 0.8 of 4000
        {{2000, 4000}, Axis::vertical, 3e-4, false},  // 0.6 of 2000 points
        {{2000, 4000}, Axis::horizontal, 1e-4, true}, // 0.4 of 4000 points
        {{2000, 4000}, Axis::horizontal, 2e-4, false},
        {{4000, 2000}, Axis::horizontal, 2e-4, true}, // 0.4 of 2000 points
        {{4000, 2000}, Axis::horizontal, 3e-4, false},
        {{100, 50}, Axis::vertical, 4e-4, true}, // 0.04 points, within 1/2000 of 100
        {{100, 50}, Axis::vertical, 6e-4, false},
        {{1, 1}, Axis::horizontal, 4e-4, true},
        {{1, 1}, Axis::horizontal, 6e-4, false},
    };
    for (const Case& c : cases) {
        for (const double sign : {1.0, -1.0}) {
            const QJsonObject root =
                stretchedFile(FoldLayout::accordion(4, c.axis), c.sheet, sign * c.stretch);
            SCOPED_TRACE(QJsonDocument(root).toJson(QJsonDocument::Compact).toStdString());
            QString error;
            EXPECT_EQ(bool(readBack(root, &error)), c.sound) << error.toStdString();
            if (!c.sound)
                EXPECT_TRUE(error.contains("panels do not match the creases"))
                    << error.toStdString();
        }
    }
}

// A sheet under a point a side, or a point further than one length from the first edge, is no
// sound fold's.
TEST(FoldFileLayoutTest, TinySheetsAndFarPointsAreRefused) {
    const auto setSheet = [](QJsonArray sheet) {
        return [sheet](QJsonObject& root) { root.insert("sheet", sheet); };
    };
    const auto setPoint = [](int index, double x, double y) {
        return [=](QJsonObject& root) {
            QJsonArray profile = root.value("profile").toArray();
            profile[index] = QJsonArray{x, y};
            root.insert("profile", profile);
        };
    };
    const std::pair<std::function<void(QJsonObject&)>, const char*> cases[] = {
        {setSheet({0.001, 0.001}), "“sheet” holds 0.001, outside 1 to 1000000"},
        {setSheet({0.99, 500}), "“sheet” holds 0.99, outside 1 to 1000000"},
        {setSheet({500, 0.5}), "“sheet” holds 0.5, outside 1 to 1000000"},
        {setSheet({0, 500}), "“sheet” holds 0, outside 1 to 1000000"},
        {setPoint(1, 0.25, 1.5), "“point 2 of “profile”” holds 1.5, outside -1 to 1"},
        {setPoint(0, -1.5, 0), "“point 1 of “profile”” holds -1.5, outside -1 to 1"},
        {setPoint(3, 0.75, -1.01), "holds -1.01, outside -1 to 1"},
    };
    for (const auto& [change, reason] : cases) {
        QJsonObject root = stretchedFile(FoldLayout::accordion(3), {640, 480}, 0);
        change(root);
        QString error;
        EXPECT_FALSE(readBack(root, &error));
        EXPECT_TRUE(error.contains(QString::fromUtf8(reason))) << error.toStdString();
    }
}

// No panel is longer than the sheet and the fold begins on the flat sheet, so every point of every
// fold the limiter allows lies within one length of the first edge, on sheets of every shape.
TEST(FoldFileLayoutTest, EverySoundFoldStaysWithinOneLengthAndReadsBack) {
    unsigned seed = 100;
    for (const FoldLayout& layout : everyLayout()) {
        if (layout.isClassic())
            continue;
        for (const FoldSize sheet :
             {FoldSize{640, 480}, FoldSize{3000, 120}, FoldSize{120, 3000}, FoldSize{1, 1}}) {
            for (int trial = 0; trial < 8; ++trial) {
                const PanelFoldModel fold = randomFold(layout, sheet, seed++);
                const FoldFile file = FoldFile::fromModel(fold, 0);
                for (const FoldPoint& point : file.panelFold()->profile) {
                    // What rounding leaves past the edge is far less than 1e-12.
                    ASSERT_TRUE(std::abs(point.x) <= 1 + 1e-12 && std::abs(point.y) <= 1 + 1e-12)
                        << layout.name() << " on " << sheet.width << " x " << sheet.height
                        << ", seed " << seed - 1 << ": " << point.x << ", " << point.y;
                }
                QString error;
                ASSERT_TRUE(readBack(jsonOf(file), &error)) << error.toStdString();
            }
        }
    }
}

// Names read from a file reach the message escaped, so it stays one line and prints nothing raw.
TEST(FoldFileLayoutTest, ControlCharactersInNamesAreShownEscaped) {
    const std::pair<QString, QString> cases[] = {
        {QStringLiteral("tent\nsecond line"), QStringLiteral("tent\\nsecond line")},
        {QStringLiteral("tent\x1b[2J"), QStringLiteral("tent\\x1b[2J")},
        {QStringLiteral("ten") + QChar(0) + QStringLiteral("t cut"),
         QStringLiteral("ten\\x00t cut")},
    };
    for (const auto& [raw, escaped] : cases) {
        for (const char* key : {"layout", "axis"}) {
            QJsonObject root = stretchedFile(FoldLayout::accordion(3), {640, 480}, 0);
            root.insert(key, raw);
            QString error;
            EXPECT_FALSE(readBack(root, &error));
            EXPECT_TRUE(error.contains(escaped)) << key << ": " << error.toStdString();
            EXPECT_FALSE(
                std::any_of(error.begin(), error.end(), [](QChar c) { return c.unicode() < 0x20; }))
                << key << ": " << error.toStdString();
        }
    }
}
