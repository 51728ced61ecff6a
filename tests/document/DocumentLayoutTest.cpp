// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "document/Document.h"
#include "document/FoldFile.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

#include <memory>

namespace {

using Axis = FoldLayout::Axis;

std::unique_ptr<Document> newDocument() {
    return std::make_unique<Document>(FoldSize{600, 400}, QUrl::fromLocalFile("/tmp/sheet.png"),
                                      QSize(600, 400));
}

TEST(DocumentLayoutTest, ALayoutStartsFlatKeepsTheTiltAndIsOneUndoStepCalledLayout) {
    auto document = newDocument();
    document->moveLine(1, {30, 0});
    document->setPitch(20);
    const FoldSnapshot folded = document->snapshot();
    QSignalSpy changes(document.get(), &Document::changed);

    const FoldLayout zFold = *FoldLayout::fromName("z-fold", Axis::horizontal);
    document->setLayout(zFold);
    EXPECT_EQ(changes.count(), 1);
    EXPECT_EQ(document->layout(), zFold);
    ASSERT_NE(document->fold().panels(), nullptr);
    EXPECT_EQ(document->fold().panels()->lineCount(), 4);
    EXPECT_EQ(document->pitch(), 20.0f);
    for (const FoldPoint& point : document->fold().panels()->profile())
        EXPECT_EQ(point.y, 0.0);
    EXPECT_EQ(document->snapshot(), document->flatSnapshot(zFold, 20));
    EXPECT_EQ(document->undoStack().count(), 1);
    EXPECT_EQ(document->undoStack().undoText(), "Layout");

    document->undoStack().undo();
    EXPECT_EQ(document->layout(), FoldLayout());
    EXPECT_EQ(document->fold().panels(), nullptr);
    EXPECT_EQ(document->snapshot(), folded);
    document->undoStack().redo();
    EXPECT_EQ(document->layout(), zFold);
}

TEST(DocumentLayoutTest, TheLayoutShownChangesNothing) {
    auto document = newDocument();
    QSignalSpy changes(document.get(), &Document::changed);
    document->setLayout(FoldLayout());
    document->setLayout(FoldLayout::accordion(5));
    document->moveLine(2, {20, 0});
    const FoldSnapshot moved = document->snapshot();
    const int steps = document->undoStack().count();
    const int changed = changes.count();
    document->setLayout(FoldLayout::accordion(5));
    EXPECT_EQ(document->snapshot(), moved);
    EXPECT_EQ(document->undoStack().count(), steps);
    EXPECT_EQ(changes.count(), changed);
    EXPECT_EQ(steps, 1);
}

// Undo brings back a panel fold exactly as it was, also across a change of layout.
TEST(DocumentLayoutTest, APanelFoldComesBackWithUndo) {
    auto document = newDocument();
    document->setLayout(FoldLayout::accordion(6, Axis::horizontal));
    const FoldSnapshot before = document->snapshot();
    const FoldPoint applied = document->moveLine(2, {-25, 0});
    EXPECT_NE(applied.x, 0.0);
    document->pushStep("Fold", before);
    const FoldSnapshot folded = document->snapshot();
    EXPECT_NE(folded, before);
    document->setLayout(FoldLayout::tent());

    document->undoStack().undo();
    EXPECT_EQ(document->snapshot(), folded);
    document->undoStack().undo();
    EXPECT_EQ(document->snapshot(), before);
    EXPECT_EQ(document->layout(), FoldLayout::accordion(6, Axis::horizontal));
}

TEST(DocumentLayoutTest, ResetFlattensTheLayoutShown) {
    auto document = newDocument();
    document->setLayout(FoldLayout::tent(Axis::horizontal));
    document->moveLine(2, {0, 30});
    document->setPitch(10);
    document->resetFold();
    EXPECT_EQ(document->layout(), FoldLayout::tent(Axis::horizontal));
    EXPECT_EQ(document->snapshot(), document->flatSnapshot());
    EXPECT_EQ(document->pitch(), 0.0f);
}

// A screen of 1920 x 1080 points that leaves 1920 x 1040 to windows, as a desktop with a panel.
const SheetSizing desktop(FoldScreen{1080, {1920, 1040}}, 1.0);

// A picture opened as Pleatora opens it: its sheet by the sizing rules, in the classic.
std::unique_ptr<Document> openedOnDesktop(QSize picture) {
    auto document = std::make_unique<Document>(desktop.displaySize(picture),
                                               QUrl::fromLocalFile("/tmp/large.png"), picture);
    document->setSizing(desktop);
    return document;
}

bool windowFits(const Document& document) {
    return desktop.fits(SheetSizing::windowSize(document.sheetSize(), document.layout()));
}

// A layout whose window would not fit the screen takes the smaller sheet the sizing rules give the
// picture there, flat; Undo gives back the sheet and the fold exactly, Redo the small flat sheet.
TEST(DocumentLayoutTest, ALayoutTooLargeForTheScreenShrinksTheSheetAsOneUndoStep) {
    const QSize picture(3000, 2000);
    auto document = openedOnDesktop(picture);
    const FoldSize opened = document->sheetSize();
    document->moveLine(2, {-20, 40});
    document->setPitch(12);
    const FoldSnapshot folded = document->snapshot();
    for (const FoldLayout& layout :
         {FoldLayout::accordion(12, Axis::horizontal), FoldLayout::tent(Axis::horizontal)}) {
        ASSERT_FALSE(desktop.fits(SheetSizing::windowSize(opened, layout)));
        document->setLayout(layout);
        EXPECT_EQ(document->sheetSize(), desktop.displaySize(picture, layout));
        EXPECT_LT(document->sheetSize().width, opened.width);
        EXPECT_TRUE(windowFits(*document));
        EXPECT_EQ(document->fold().panels()->sheetSize(), document->sheetSize());
        EXPECT_EQ(document->fold().sheetSize(), document->sheetSize());
        EXPECT_EQ(document->snapshot(),
                  FoldSnapshot::take(PanelFoldModel(layout, document->sheetSize()), 12));

        document->undoStack().undo();
        EXPECT_EQ(document->layout(), FoldLayout());
        EXPECT_EQ(document->sheetSize(), opened);
        EXPECT_EQ(document->snapshot(), folded);
        document->undoStack().redo();
        EXPECT_EQ(document->sheetSize(), desktop.displaySize(picture, layout));
        EXPECT_EQ(document->snapshot(), document->flatSnapshot(layout, 12));
        document->undoStack().undo();
    }
}

// A layout that fits keeps the sheet; after a shrink, the classic and any layout whose window
// holds the picture's first sheet take it again.
TEST(DocumentLayoutTest, LayoutsThatFitKeepTheSheetThePictureOpenedWith) {
    auto small = openedOnDesktop(QSize(600, 400));
    const FoldSize smallSheet = small->sheetSize();
    small->setLayout(FoldLayout::accordion(12, Axis::horizontal));
    EXPECT_EQ(small->sheetSize(), smallSheet);

    auto medium = openedOnDesktop(QSize(1000, 700));
    const FoldSize opened = medium->sheetSize();
    const FoldLayout card = FoldLayout::accordion(2);
    const FoldLayout tall = FoldLayout::tent(Axis::horizontal);
    ASSERT_TRUE(desktop.fits(SheetSizing::windowSize(opened, card)));
    ASSERT_FALSE(desktop.fits(SheetSizing::windowSize(opened, tall)));
    medium->setLayout(card);
    EXPECT_EQ(medium->sheetSize(), opened);
    medium->setLayout(tall);
    EXPECT_LT(medium->sheetSize().height, opened.height);
    medium->setLayout(card);
    EXPECT_EQ(medium->sheetSize(), opened);
    EXPECT_EQ(medium->snapshot(), FoldSnapshot::take(PanelFoldModel(card, opened), 0));
    medium->setLayout(tall);
    medium->setLayout(FoldLayout());
    EXPECT_EQ(medium->sheetSize(), opened);
    EXPECT_EQ(medium->snapshot(), FoldSnapshot::take(FoldModel(opened), 0));
    EXPECT_EQ(medium->undoStack().count(), 5);

    auto large = openedOnDesktop(QSize(3000, 2000));
    const FoldSize classic = large->sheetSize();
    large->setLayout(FoldLayout::accordion(12));
    large->setLayout(FoldLayout());
    EXPECT_EQ(large->sheetSize(), classic);
}

// A fold file of another layout switches to it by the same rule, and Undo gives the sheet back.
TEST(DocumentLayoutTest, AFoldFileOfALargerLayoutShrinksTheSheetAndUndoGivesItBack) {
    const QSize picture(3000, 2000);
    const FoldLayout strip = FoldLayout::accordion(12, Axis::horizontal);
    PanelFoldModel model(strip, {500, 400});
    for (int step = 0; step < 10; ++step)
        model.moveLine(3, {0, 4}, 0);
    const FoldFile file = FoldFile::fromModel(model, 8);
    auto document = openedOnDesktop(picture);
    const FoldSize opened = document->sheetSize();
    document->moveLine(1, {25, 0});
    const FoldSnapshot folded = document->snapshot();

    EXPECT_LT(document->applyFold(file), 0.5);
    EXPECT_EQ(document->layout(), strip);
    EXPECT_EQ(document->sheetSize(), desktop.displaySize(picture, strip));
    EXPECT_TRUE(windowFits(*document));
    EXPECT_NE(document->snapshot(), document->flatSnapshot(strip, 8));
    document->undoStack().undo();
    EXPECT_EQ(document->sheetSize(), opened);
    EXPECT_EQ(document->snapshot(), folded);
}

} // namespace
