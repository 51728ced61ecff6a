// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "document/ClosingReport.h"
#include "document/FoldFile.h"
#include "fold/SheetFold.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <functional>

namespace {

using Axis = FoldLayout::Axis;
using Pose = HingedFold::Pose;

std::vector<FoldLayout> hingedLayouts() {
    std::vector<FoldLayout> layouts;
    for (const Axis axis : {Axis::vertical, Axis::horizontal})
        for (const FoldLayout& layout : FoldLayout::presets(axis))
            if (layout.isHinged())
                layouts.push_back(layout);
    return layouts;
}

std::optional<FoldFile> readBack(const QByteArray& json, QString* failure = nullptr) {
    return FoldFile::fromJson(json, QStringLiteral("hinged.pleatfold"), failure);
}

constexpr FoldSize a4{842, 595};

// Every hinged layout and pose comes back from its file with its paper and angles, on the sheet it
// was made on and, scaled, on a larger one.
TEST(HingedFoldFile, EveryLayoutAndPoseRoundTripsThroughVersionThree) {
    for (const FoldLayout& layout : hingedLayouts()) {
        for (const Pose pose : {Pose::flat, Pose::presentation, Pose::closed}) {
            SCOPED_TRACE(layout.name() + " " + std::string(FoldLayout::axisName(layout.axis())) +
                         " pose " + std::to_string(int(pose)));
            PanelPaper paper;
            paper.printedSize = {841.89, 595.28};
            paper.thickness = 0.5;
            SheetFold made(layout, a4, paper);
            made.setPose(pose);
            const QByteArray json = FoldFile::fromFold(made, -12.5f).toJson();
            EXPECT_EQ(QJsonDocument::fromJson(json).object().value("pleatora-fold").toInt(), 3);
            QString failure;
            const std::optional<FoldFile> read = readBack(json, &failure);
            ASSERT_TRUE(read) << qPrintable(failure);
            EXPECT_EQ(read->layout(), layout);
            EXPECT_EQ(read->fold().pitch, -12.5);
            for (const double scale : {1.0, 1.5}) {
                SheetFold shown(layout, {a4.width * scale, a4.height * scale});
                EXPECT_EQ(read->applyTo(shown), 0.0);
                ASSERT_TRUE(shown.hinged());
                EXPECT_EQ(shown.hinged()->angles(), made.hinged()->angles());
                EXPECT_EQ(shown.paper().printedSize, paper.printedSize);
                EXPECT_NEAR(shown.hinged()->thickness(), made.hinged()->thickness() * scale, 1e-9);
                for (int panel = 0; panel < layout.panelCount(); ++panel)
                    EXPECT_NEAR(shown.hinged()->widths()[std::size_t(panel)],
                                made.hinged()->widths()[std::size_t(panel)] * scale, 1e-6);
            }
        }
    }
}

// What the reader refuses in a version 3 file, each with its reason.
TEST(HingedFoldFile, AFaultyVersionThreeFileSaysWhatIsWrong) {
    SheetFold made(FoldLayout::hinged(FoldLayout::Shape::letter), a4);
    made.setPose(Pose::presentation);
    const QJsonObject sound =
        QJsonDocument::fromJson(FoldFile::fromFold(made, 0).toJson()).object();
    const std::vector<std::pair<std::function<void(QJsonObject&)>, const char*>> cases{
        {[](QJsonObject& r) { r.remove("widths"); }, "“widths” is missing"},
        {[](QJsonObject& r) {
             r.insert("widths", QJsonArray{0.5, 0.5});
         },
         "“widths” has 2 entries instead of 3"},
        {[](QJsonObject& r) {
             r.insert("widths", QJsonArray{0.5, 0.4, 0.3});
         },
         "do not add up to the whole sheet"},
        {[](QJsonObject& r) {
             r.insert("angles", QJsonArray{-190, 0});
         },
         "“angles” holds -190, outside -180 to 180"},
        {[](QJsonObject& r) { r.insert("thickness", 5); }, "“thickness” holds 5"},
        {[](QJsonObject& r) { r.insert("pleatora-fold", 4); }, "newer Pleatora"},
    };
    for (const auto& [change, reason] : cases) {
        QJsonObject root = sound;
        change(root);
        QString failure;
        EXPECT_FALSE(readBack(QJsonDocument(root).toJson(), &failure)) << reason;
        EXPECT_TRUE(failure.contains(QString::fromUtf8(reason))) << qPrintable(failure);
    }
}

// A fold the paper of the sheet shown cannot take is folded as far as it goes, and said so.
TEST(HingedFoldFile, AnglesThePaperRefusesStopAtContact) {
    SheetFold made(FoldLayout::hinged(FoldLayout::Shape::letter), a4);
    made.setPose(Pose::closed);
    QJsonObject root = QJsonDocument::fromJson(FoldFile::fromFold(made, 0).toJson()).object();
    root.insert("widths", QJsonArray{0.3, 0.3, 0.4}); // the panel folding in is too wide
    const std::optional<FoldFile> read = readBack(QJsonDocument(root).toJson());
    ASSERT_TRUE(read);
    SheetFold shown(made.layout(), a4);
    EXPECT_GT(read->applyTo(shown), 1.0);
    EXPECT_TRUE(shown.hinged()->allows(shown.hinged()->angles()));
}

// The report a designer reads: the printer's widths close, equal thirds of A4 do not.
TEST(HingedFoldFile, TheClosingReportNamesEachPanelThatFoldsIn) {
    PanelPaper paper;
    paper.printedSize = {297 * PanelPaper::pointsPerMillimetre,
                         210 * PanelPaper::pointsPerMillimetre};
    paper.widths = {100.0 / 297, 100.0 / 297, 97.0 / 297};
    const FoldLayout letter = FoldLayout::hinged(FoldLayout::Shape::letter);
    const ClosingReport fits(letter, paper);
    EXPECT_TRUE(fits.closes());
    EXPECT_TRUE(fits.text().contains(QStringLiteral("Panel 3 folds in: 97.00 mm wide")))
        << qPrintable(fits.text());
    paper.widths = {1.0 / 3, 1.0 / 3, 1.0 / 3};
    const ClosingReport tooWide(letter, paper);
    EXPECT_FALSE(tooWide.closes());
    EXPECT_TRUE(tooWide.text().contains(QStringLiteral("too wide"))) << qPrintable(tooWide.text());
    EXPECT_TRUE(tooWide.text().endsWith(QStringLiteral("It does not close flat.")));
}

} // namespace
