// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "document/Document.h"
#include "document/FoldFile.h"
#include "document/SizingPlan.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>

namespace {

using Axis = FoldLayout::Axis;

const FoldLayout layouts[] = {FoldLayout(), FoldLayout::accordion(4, Axis::horizontal),
                              *FoldLayout::fromName("letter", Axis::vertical)};

std::unique_ptr<Document> documentIn(const FoldLayout& layout) {
    auto document = std::make_unique<Document>(
        FoldSize{600, 400}, QUrl::fromLocalFile("/tmp/sheet.png"), QSize(600, 400), layout);
    return document;
}

std::string nameOf(const FoldLayout& layout) {
    return layout.name() + " " + std::string(FoldLayout::axisName(layout.axis()));
}

// Every version keeps the yaw through a file and back into a document; versions 1 and 2 write
// none at 0, so those files stay as they were before the yaw.
TEST(FoldFileYaw, RoundTripsInEveryVersionAndIsLeftOutAtZero) {
    for (const FoldLayout& layout : layouts) {
        for (const float yaw : {0.0f, 35.0f, -60.0f, 12.25f}) {
            SCOPED_TRACE(nameOf(layout) + ", yaw " + std::to_string(yaw));
            auto made = documentIn(layout);
            made->setPitch(-8);
            made->setYaw(yaw);
            const QByteArray json = made->foldFile().toJson();
            const QJsonObject root = QJsonDocument::fromJson(json).object();
            EXPECT_EQ(root.contains("yaw"), yaw != 0.0f || layout.isHinged());

            QString failure;
            const std::optional<FoldFile> read = FoldFile::fromJson(json, "made", &failure);
            ASSERT_TRUE(read) << failure.toStdString();
            EXPECT_EQ(read->yaw(), yaw);
            EXPECT_EQ(read->toJson(), json);

            auto shown = documentIn(FoldLayout());
            shown->applyFold(*read);
            EXPECT_EQ(shown->yaw(), yaw);
            EXPECT_EQ(shown->pitch(), -8.0f);
            EXPECT_EQ(shown->layout(), layout);
        }
    }
}

// A yaw must be a number from -60 to 60 in every version.
TEST(FoldFileYaw, AYawOutOfRangeOrNotANumberIsRefused) {
    for (const FoldLayout& layout : layouts) {
        const QJsonObject good =
            QJsonDocument::fromJson(documentIn(layout)->foldFile().toJson()).object();
        for (const QJsonValue& bad :
             {QJsonValue(60.5), QJsonValue(-90), QJsonValue("ten"), QJsonValue(QJsonValue::Null)}) {
            QJsonObject root = good;
            root.insert("yaw", bad);
            QString failure;
            EXPECT_FALSE(
                FoldFile::fromJson(QJsonDocument(root).toJson(), "bad.pleatfold", &failure))
                << nameOf(layout);
            EXPECT_TRUE(failure.contains("yaw")) << failure.toStdString();
        }
    }
}

// The yaw is part of every undo step, and a turned document's window holds every yaw: taller
// than the unturned one, which stays as it was. (The eye stands back with the taller window, so
// panels swung toward it may then need less width.)
TEST(FoldFileYaw, UndoStepsKeepTheYawAndTurnedWindowsGrow) {
    for (const FoldLayout& layout : layouts) {
        SCOPED_TRACE(nameOf(layout));
        auto document = documentIn(layout);
        const SizingPlan unturned = document->sizingPlan();
        const FoldSnapshot before = document->snapshot();
        document->setYaw(40);
        document->setPitch(5);
        document->pushStep("Orbit", before);
        const SizingPlan turned = document->sizingPlan();
        EXPECT_GT(turned.window().height, unturned.window().height);
        document->setLayout(layout.isClassic() ? FoldLayout::accordion(3, Axis::vertical)
                                               : FoldLayout());
        EXPECT_EQ(document->yaw(), 40.0f);
        document->undoStack().undo();
        document->undoStack().undo();
        EXPECT_EQ(document->yaw(), 0.0f);
        EXPECT_EQ(document->pitch(), 0.0f);
        EXPECT_EQ(document->sizingPlan().window(), unturned.window());
        document->undoStack().redo();
        EXPECT_EQ(document->yaw(), 40.0f);
    }
}

} // namespace
