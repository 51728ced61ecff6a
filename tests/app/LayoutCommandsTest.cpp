// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
//
// Choosing a layout as a user would: the Layout menu, the preference for new pictures and a
// launch that asks for a layout.
#include "AppFixture.h"

#include "app/LayoutMenu.h"
#include "app/PreferencesController.h"
#include "window/DocumentWindow.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QTest>
#include <QUndoStack>

#include <algorithm>

namespace {

using Axis = FoldLayout::Axis;

// The menu as it shows, each item enabled and checked as the document in front asks.
LayoutMenu& shownLayoutMenu(ApplicationController& application) {
    LayoutMenu& menu = const_cast<AppMenus&>(application.menus()).layoutMenu();
    emit menu.menu()->aboutToShow();
    return menu;
}

} // namespace

using LayoutCommandsTest = AppFixture;

TEST_F(LayoutCommandsTest, ChoosingALayoutInTheMenuChangesTheDocumentAndUndoPutsItBack) {
    launch({picture()});
    ASSERT_TRUE(activate(document(0).window()));
    document(0).document().setPitch(10);
    LayoutMenu& menu = shownLayoutMenu(application());
    EXPECT_TRUE(menu.presetAction(FoldLayout())->isChecked());
    EXPECT_FALSE(menu.horizontalAction()->isChecked());

    menu.presetAction(FoldLayout::accordion(6))->trigger();
    EXPECT_EQ(document(0).document().layout(), FoldLayout::accordion(6));
    EXPECT_EQ(document(0).document().pitch(), 10); // the tilt stays
    menu.horizontalAction()->trigger();
    EXPECT_EQ(document(0).document().layout(), FoldLayout::accordion(6, Axis::horizontal));
    // The menu shows the new layout when it opens again, the accordion in its submenu.
    shownLayoutMenu(application());
    EXPECT_TRUE(menu.presetAction(FoldLayout::accordion(6))->isChecked());
    EXPECT_FALSE(menu.presetAction(FoldLayout())->isChecked());
    EXPECT_TRUE(menu.horizontalAction()->isChecked());
    menu.presetAction(FoldLayout::accordion(3))->trigger();
    EXPECT_EQ(document(0).document().layout(), FoldLayout::accordion(3, Axis::horizontal));

    QAction* undo = application().menus().undoAction();
    EXPECT_EQ(undo->text(), "Undo Layout");
    QTest::keyClick(document(0).window(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(document(0).document().layout(), FoldLayout::accordion(6, Axis::horizontal));
    QTest::keyClick(document(0).window(), Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(document(0).window(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(document(0).document().layout(), FoldLayout());
    EXPECT_EQ(document(0).document().pitch(), 10);
}

TEST_F(LayoutCommandsTest, WithoutADocumentTheLayoutMenuOffersNothing) {
    launch();
    LayoutMenu& menu = shownLayoutMenu(application());
    EXPECT_FALSE(menu.presetAction(FoldLayout::tent())->isEnabled());
    EXPECT_FALSE(menu.horizontalAction()->isEnabled());
    EXPECT_FALSE(menu.presetAction(FoldLayout())->isChecked());
}

TEST_F(LayoutCommandsTest, NewPicturesOpenInThePreferredLayoutUnlessAFoldIsRemembered) {
    launch({picture("remembered.png")});
    EXPECT_EQ(preferences().value(Preferences::newPictureLayout), "two-tents");
    EXPECT_FALSE(preferences().value(Preferences::newPictureHorizontal));
    EXPECT_EQ(document(0).document().layout(), FoldLayout());
    document(0).document().setLayout(FoldLayout::tent());
    document(0).document().setPitch(5); // a flat sheet is not remembered, a tilted one is

    // Chosen in the preferences window, as a user would.
    application().showPreferences();
    QWidget* window = application().preferencesController()->window();
    auto* menu = window->findChild<QComboBox*>("menuNewPictureLayout");
    auto* horizontal = window->findChild<QCheckBox*>("cboxNewPictureHorizontal");
    ASSERT_TRUE(menu && horizontal);
    EXPECT_EQ(menu->currentText(), "Two Tents");
    menu->setCurrentIndex(menu->findText("Z-Fold"));
    emit menu->activated(menu->currentIndex());
    horizontal->click();
    EXPECT_EQ(preferences().value(Preferences::newPictureLayout), "z-fold");
    EXPECT_TRUE(preferences().value(Preferences::newPictureHorizontal));

    // Folds are remembered by the picture's content, so the new picture must differ.
    QImage other(200, 150, QImage::Format_RGB32);
    other.fill(Qt::darkCyan);
    ASSERT_TRUE(other.save(filePath("new.png")));
    restart({picture("remembered.png"), filePath("new.png")});
    ASSERT_EQ(documentCount(), 2u);
    EXPECT_EQ(document(0).document().layout(), FoldLayout::tent());
    EXPECT_EQ(document(1).document().layout(), FoldLayout::accordion(3, Axis::horizontal));
    // Opening in the preferred layout is no step of the user's; it shows part-closed.
    EXPECT_EQ(document(1).undoStack().count(), 0);
    EXPECT_NE(document(1).document().snapshot(), document(1).document().flatSnapshot());
}

// The folds that close flat: each shows part-open from the menu, Reset Fold lays it flat, and
// Check Closing is offered for them only.
TEST_F(LayoutCommandsTest, FoldsThatCloseFlatShowPartOpenAndOfferTheirCheck) {
    launch({picture()});
    ASSERT_TRUE(activate(document(0).window()));
    LayoutMenu& menu = shownLayoutMenu(application());
    for (const FoldLayout& layout : FoldLayout::presets(Axis::vertical)) {
        if (!layout.isHinged())
            continue;
        SCOPED_TRACE(layout.name());
        menu.presetAction(layout)->trigger();
        Document& shown = document(0).document();
        ASSERT_EQ(shown.layout(), layout);
        ASSERT_TRUE(shown.fold().hinged());
        EXPECT_EQ(shown.fold().hinged()->angles(),
                  shown.fold().hinged()->poseAngles(HingedFold::Pose::presentation));
        shownLayoutMenu(application());
        EXPECT_TRUE(menu.presetAction(layout)->isChecked());
        shown.resetFold();
        EXPECT_EQ(shown.snapshot(), shown.flatSnapshot());
    }
    menu.presetAction(FoldLayout::tent())->trigger();
    shownLayoutMenu(application());
    const QList<QAction*> actions = menu.menu()->actions();
    const auto check = std::find_if(actions.begin(), actions.end(), [](const QAction* action) {
        return action->text().contains("Check");
    });
    ASSERT_NE(check, actions.end());
    EXPECT_FALSE((*check)->isEnabled());
}

TEST_F(LayoutCommandsTest, PicturesAskedForInALayoutOpenInItAlsoWhenHandedOver) {
    launch({picture()});
    document(0).document().setPitch(5);
    restart();
    application().openPaths({QFile::encodeName(picture())}, FoldLayout::accordion(9));
    ASSERT_TRUE(waitFor([this] { return documentCount() == 1; }));
    // The layout asked for wins over the remembered one; the tilt stays.
    EXPECT_EQ(document(0).document().layout(), FoldLayout::accordion(9));
    EXPECT_EQ(document(0).document().pitch(), 5);
    EXPECT_EQ(document(0).undoStack().count(), 0);

    QProcess secondLaunch;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("PLEATORA_INSTANCE_NAME", handoverName());
    secondLaunch.setProcessEnvironment(environment);
    secondLaunch.start(PLEATORA_BINARY,
                       {"--layout", "card", "--horizontal", picture("handed.png")});
    ASSERT_TRUE(secondLaunch.waitForStarted());
    EXPECT_TRUE(waitFor([&secondLaunch] { return secondLaunch.state() == QProcess::NotRunning; }));
    EXPECT_EQ(secondLaunch.exitCode(), 0);
    ASSERT_TRUE(waitFor([this] { return documentCount() == 2; }));
    EXPECT_EQ(document(1).document().layout(), FoldLayout::accordion(2, Axis::horizontal));
}
