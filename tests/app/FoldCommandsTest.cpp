// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "AppFixture.h"

#include "document/FoldFile.h"
#include "fold/FoldModel.h"
#include "render/SheetRenderer.h"
#include "window/DocumentWindow.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QTest>
#include <QUndoStack>

namespace {

QFileDialog* filePanel() {
    for (QWidget* window : QApplication::topLevelWidgets())
        if (auto* panel = qobject_cast<QFileDialog*>(window); panel && panel->isVisible())
            return panel;
    return nullptr;
}

// Both tents raised, one each way, the middle moved and the sheet tilted.
FoldModel shapedFold(FoldSize sheet) {
    FoldModel fold(sheet);
    fold.moveLine(2, {0, 15}, 0);
    fold.moveLine(4, {0, -20}, 0);
    fold.moveLine(3, {10, 0}, 0);
    return fold;
}

void expectSameFold(const FoldSnapshot& actual, const FoldSnapshot& expected) {
    for (int i = 0; i < creaseLineCount; ++i) {
        EXPECT_NEAR(actual.creasePoint[i], expected.creasePoint[i], 1e-4) << "crease " << i;
        EXPECT_NEAR(actual.coordinates[i].x, expected.coordinates[i].x, 1e-4) << "vertex " << i;
        EXPECT_NEAR(actual.coordinates[i].y, expected.coordinates[i].y, 1e-4) << "vertex " << i;
    }
    EXPECT_EQ(actual.pitch, expected.pitch);
}

class FoldCommandsTest : public AppFixture {
protected:
    QString writeFold(const QString& name, const FoldModel& fold, float pitch = 12) {
        const QString path = QFileInfo(picture()).dir().filePath(name);
        EXPECT_TRUE(FoldFile::fromModel(fold, pitch).write(path, nullptr));
        return path;
    }
    // A fold made for the first document's sheet, applied to it.
    FoldSnapshot foldFirstDocument() {
        const QString path = writeFold("made.pleatfold", shapedFold(sheet(0)));
        document(0).applyFoldFile(path);
        return document(0).snapshot();
    }
    FoldSize sheet(size_t index) { return document(index).document().sheetSize(); }
    FoldSnapshot flat(size_t index) { return FoldSnapshot::take(FoldModel(sheet(index)), 0); }
};

TEST_F(FoldCommandsTest, UndoAndRedoActOnTheDocumentInFrontAndNameTheirStep) {
    launch({picture("first.png"), picture("second.png")});
    const FoldSnapshot folded = foldFirstDocument();
    QWidget* window = document(0).window();
    ASSERT_TRUE(activate(window));
    QAction* undo = application().menus().undoAction();
    QAction* redo = application().menus().redoAction();
    EXPECT_TRUE(undo->isEnabled());
    EXPECT_EQ(undo->text(), "Undo Apply Fold");

    QTest::keyClick(window, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(document(0).snapshot(), flat(0));
    EXPECT_EQ(redo->text(), "Redo Apply Fold");
    QTest::keyClick(window, Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(document(0).snapshot(), folded);
    QTest::keyClick(window, Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(window, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(document(0).snapshot(), folded);

    // The other document has nothing to undo, and Ctrl+Z there leaves the first alone.
    ASSERT_TRUE(activate(document(1).window()));
    EXPECT_FALSE(undo->isEnabled());
    EXPECT_EQ(undo->text(), "Undo");
    QTest::keyClick(document(1).window(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(document(0).snapshot(), folded);
}

TEST_F(FoldCommandsTest, FoldCommandsWaitForADocument) {
    launch();
    ASSERT_TRUE(waitFor([this] { return application().startWindow().isVisible(); }));
    ASSERT_TRUE(activate(&application().startWindow()));
    for (QMenu* menu : application().menus().commandMenus())
        emit menu->aboutToShow();
    const AppMenus& menus = application().menus();
    for (QAction* action : {menus.undoAction(), menus.redoAction(), menus.resetFoldAction(),
                            menus.saveFoldAction(), menus.applyFoldAction()})
        EXPECT_FALSE(action->isEnabled()) << action->text().toStdString();

    application().openFile(picture());
    ASSERT_TRUE(waitUntilOpened());
    ASSERT_TRUE(activate(document(0).window()));
    for (QAction* action :
         {menus.resetFoldAction(), menus.saveFoldAction(), menus.applyFoldAction()})
        EXPECT_TRUE(action->isEnabled()) << action->text().toStdString();
}

TEST_F(FoldCommandsTest, ResetFoldFromTheMenuIsUndoable) {
    launch({picture()});
    const FoldSnapshot folded = foldFirstDocument();
    ASSERT_TRUE(activate(document(0).window()));

    application().menus().resetFoldAction()->trigger();
    EXPECT_EQ(document(0).snapshot(), flat(0));
    EXPECT_EQ(application().menus().undoAction()->text(), "Undo Reset Fold");
    application().menus().undoAction()->trigger();
    EXPECT_EQ(document(0).snapshot(), folded);
}

TEST_F(FoldCommandsTest, SaveFoldOffersAFileBesideThePictureAndWritesTheFoldShown) {
    launch({picture("poster.png")});
    foldFirstDocument();
    ASSERT_TRUE(activate(document(0).window()));

    application().menus().saveFoldAction()->trigger();
    QFileDialog* panel = filePanel();
    ASSERT_NE(panel, nullptr);
    EXPECT_FALSE(panel->isModal());
    EXPECT_EQ(panel->acceptMode(), QFileDialog::AcceptSave);
    ASSERT_EQ(panel->selectedFiles().size(), 1);
    const QString path = panel->selectedFiles().first();
    EXPECT_EQ(path, QFileInfo(picture("poster.png")).dir().filePath("poster.pleatfold"));
    static_cast<QDialog*>(panel)->accept();

    QFile saved(path);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.readAll(), document(0).document().foldFile().toJson());
}

TEST_F(FoldCommandsTest, ApplyFoldAppliesTheChosenFileAsOneStep) {
    launch({picture()});
    const QString path = writeFold("chosen.pleatfold", shapedFold(sheet(0)), -8);
    ASSERT_TRUE(activate(document(0).window()));

    application().menus().applyFoldAction()->trigger();
    QFileDialog* panel = filePanel();
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->fileMode(), QFileDialog::ExistingFile);
    EXPECT_TRUE(panel->nameFilters().join(' ').contains("*.pleatfold"));
    panel->selectFile(path);
    static_cast<QDialog*>(panel)->accept();

    expectSameFold(document(0).snapshot(), FoldSnapshot::take(shapedFold(sheet(0)), -8));
    EXPECT_EQ(document(0).undoStack().count(), 1);
}

TEST_F(FoldCommandsTest, ABadFoldFileGivesOneAlertAndChangesNothing) {
    launch({picture()});
    AlertDismisser alerts;
    const QString path = QFileInfo(picture()).dir().filePath("bad.pleatfold");
    QFile bad(path);
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write(R"({"pleatora-fold": 1, "sheet": [800, 600], "creases": [0, 0.2, 0.4, 0.6, 0.8, 1],
                 "profile": [], "pitch": 0})");
    bad.close();

    document(0).applyFoldFile(path);
    ASSERT_EQ(alerts.texts().size(), 1);
    EXPECT_EQ(alerts.texts().first(), "Can't apply the fold\n“bad.pleatfold” is not a fold "
                                      "Pleatora can use: “creases” has 6 entries instead of 7.");
    EXPECT_EQ(document(0).snapshot(), flat(0));
    EXPECT_EQ(document(0).undoStack().count(), 0);
}

TEST_F(FoldCommandsTest, AFoldTheSheetCannotHoldIsFittedAndTheUserIsTold) {
    launch({picture()});
    AlertDismisser alerts;
    FoldModel deep({256, 702.4});
    deep.moveLine(2, {0, 60}, 0);
    deep.moveLine(4, {0, 60}, 0);
    const QString path = writeFold("deep.pleatfold", deep);

    document(0).applyFoldFile(path);
    ASSERT_EQ(alerts.texts().size(), 1);
    EXPECT_TRUE(alerts.texts().first().startsWith(
        "The fold was fitted to this picture\n“deep.pleatfold” was made on a sheet of 256 × 702 "
        "points. Here the fold differs from it by up to "))
        << alerts.texts().first().toStdString();
    EXPECT_GT(document(0).foldModel().profile()[0].x, 0) << "folded as far as the sheet allows";
    EXPECT_EQ(document(0).undoStack().undoText(), "Apply Fold");
}

TEST_F(FoldCommandsTest, AFoldComesBackAfterARestartWhereverThePictureMoved) {
    launch({picture("a.png")});
    const FoldSnapshot folded = foldFirstDocument();

    restart({picture("a.png")});
    expectSameFold(document(0).snapshot(), folded);
    EXPECT_EQ(document(0).undoStack().count(), 0) << "an opened picture has nothing to undo";

    // Renamed or moved: the same content keeps the fold.
    const QString moved = QFileInfo(picture()).dir().filePath("moved.png");
    ASSERT_TRUE(QFile::copy(picture("a.png"), moved));
    restart({moved});
    expectSameFold(document(0).snapshot(), folded);

    // Edited: another picture, which starts flat.
    QImage edited(picture("a.png"));
    edited.setPixelColor(0, 0, Qt::red);
    const QString editedPath = QFileInfo(picture()).dir().filePath("edited.png");
    ASSERT_TRUE(edited.save(editedPath));
    restart({editedPath});
    EXPECT_EQ(document(0).snapshot(), flat(0));
}

TEST_F(FoldCommandsTest, ClosingAFlatPictureForgetsItsFold) {
    launch({picture()});
    foldFirstDocument();
    application().closeDocument(document(0).window());
    application().openFile(picture());
    ASSERT_TRUE(waitUntilOpened());
    EXPECT_NE(document(0).snapshot(), flat(0)) << "remembered at Close";

    document(0).document().resetFold();
    application().closeDocument(document(0).window());
    runDeferredDeletes();
    restart({picture()});
    EXPECT_EQ(document(0).snapshot(), flat(0));
}

// A back picture is printed on the sheet's back at once and comes back with the picture, even
// flat; one that cannot be read changes nothing.
TEST_F(FoldCommandsTest, BackPictureIsShownAndRememberedWithThePicture) {
    launch({picture()});
    const QString back = QFileInfo(picture()).dir().filePath("back.png");
    QImage backPicture(200, 100, QImage::Format_RGB32);
    backPicture.fill(Qt::darkRed);
    ASSERT_TRUE(backPicture.save(back));
    document(0).setBackPicture(back);
    EXPECT_EQ(document(0).document().backPicture(), back);
    EXPECT_EQ(document(0).renderer().paperLook().back, PaperLook::Back::picture);

    restart({picture()});
    EXPECT_EQ(document(0).document().backPicture(), back);
    EXPECT_EQ(document(0).renderer().paperLook().back, PaperLook::Back::picture);

    // Gone by the next start: the back is the preferences' again, without an alert.
    ASSERT_TRUE(QFile::remove(back));
    restart({picture()});
    EXPECT_TRUE(document(0).document().backPicture().isEmpty());
    EXPECT_EQ(document(0).renderer().paperLook().back, PaperLook::Back::same);
}

TEST_F(FoldCommandsTest, WithRememberingOffNoFoldIsKeptOrBroughtBack) {
    launch({picture()});
    const FoldSnapshot kept = foldFirstDocument();
    restart();
    preferences().setValue(Preferences::rememberFolds, false);
    application().openFile(picture());
    ASSERT_TRUE(waitUntilOpened());
    EXPECT_EQ(document(0).snapshot(), flat(0)) << "the fold kept before stays unused";

    document(0).applyFoldFile(writeFold("other.pleatfold", shapedFold(sheet(0)), -30));
    restart({picture()});
    EXPECT_EQ(document(0).snapshot(), flat(0));

    application().closeDocument(document(0).window());
    preferences().setValue(Preferences::rememberFolds, true);
    application().openFile(picture());
    ASSERT_TRUE(waitUntilOpened());
    expectSameFold(document(0).snapshot(), kept);
}

} // namespace

TEST_F(FoldCommandsTest, ControlSOpensSaveFoldForTheDocumentInFront) {
    launch({picture()});
    QAction* save = application().menus().saveFoldAction();
    EXPECT_EQ(save->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_S));
    // No other command answers the same keys.
    for (const QAction* action : application().menus().shortcutActions())
        if (action != save)
            EXPECT_FALSE(action->shortcuts().contains(save->shortcut()))
                << action->text().toStdString();
    ASSERT_TRUE(activate(document(0).window()));
    QTest::keyClick(document(0).window(), Qt::Key_S, Qt::ControlModifier);
    ASSERT_TRUE(waitFor([] { return filePanel() != nullptr; }));
    EXPECT_EQ(filePanel()->acceptMode(), QFileDialog::AcceptSave);
    filePanel()->reject();
}
