// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "document/Document.h"

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
    ASSERT_NE(document->panelFold(), nullptr);
    EXPECT_EQ(document->panelFold()->lineCount(), 4);
    EXPECT_EQ(document->pitch(), 20.0f);
    for (const FoldPoint& point : document->panelFold()->profile())
        EXPECT_EQ(point.y, 0.0);
    EXPECT_EQ(document->snapshot(), document->flatSnapshot(zFold, 20));
    EXPECT_EQ(document->undoStack().count(), 1);
    EXPECT_EQ(document->undoStack().undoText(), "Layout");

    document->undoStack().undo();
    EXPECT_EQ(document->layout(), FoldLayout());
    EXPECT_EQ(document->panelFold(), nullptr);
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

} // namespace
