// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "AppFixture.h"
#include "DialogSteps.h"
#include "app/ExportOptionsDialog.h"
#include "tests/WithoutFilePermissionOverride.h"
#include "window/DocumentWindow.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QImageReader>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>

namespace {

void chooseSize(ExportOptionsDialog& dialog, int menuRow, int pixelWidth = 4000) {
    dialog.findChild<QComboBox*>(QStringLiteral("menuSize"))->setCurrentIndex(menuRow);
    dialog.findChild<QSpinBox*>(QStringLiteral("spinPixelWidth"))->setValue(pixelWidth);
}

// Types the whole path, as selectFile() leaves a name field with the focus alone.
void clickSave(QFileDialog& dialog, const QString& fileName) {
    dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(fileName);
    dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Save)->click();
}

// The file dialog's folder and the name it proposes.
QString proposedFile(QFileDialog& dialog) {
    return dialog.selectedFiles().value(0);
}

} // namespace

using ExportCommandTest = AppFixture;

TEST_F(ExportCommandTest, IsEnabledLikeCopyAndAnsweredByCtrlE) {
    launch();
    emit application().menus().contextMenu()->aboutToShow();
    EXPECT_FALSE(application().menus().exportAction()->isEnabled());

    application().openFile(picture());
    ASSERT_TRUE(waitUntilOpened());
    ASSERT_EQ(documentCount(), 1u);
    DocumentWindow* window = document(0).window();
    ASSERT_TRUE(activate(window));
    EXPECT_TRUE(application().menus().exportAction()->isEnabled());
    EXPECT_TRUE(window->actions().contains(application().menus().exportAction()));

    bool asked = false;
    DialogSteps steps;
    steps.then<ExportOptionsDialog>([&](ExportOptionsDialog& dialog) {
        asked = true;
        dialog.reject();
    });
    QTest::keyClick(window, Qt::Key_E, Qt::ControlModifier);
    EXPECT_TRUE(waitFor([&] { return asked; }));
}

TEST_F(ExportCommandTest, WritesTheChosenSizeAndRemembersOptionsAndFolder) {
    launch({picture()});
    DocumentWindow* window = document(0).window();
    const QDir pictureFolder = QFileInfo(picture()).absoluteDir();
    ASSERT_TRUE(pictureFolder.mkdir(QStringLiteral("out")));
    const QString output = pictureFolder.filePath(QStringLiteral("out/mine.png"));

    QString proposed;
    DialogSteps first;
    first.then<ExportOptionsDialog>([](ExportOptionsDialog& dialog) {
        chooseSize(dialog, 2);
        dialog.findChild<QCheckBox*>(QStringLiteral("cboxWithShadow"))->setChecked(false);
        dialog.accept();
    });
    first.then<QFileDialog>([&](QFileDialog& dialog) {
        proposed = proposedFile(dialog);
        clickSave(dialog, output);
    });
    application().exportDocument();
    ASSERT_TRUE(first.done());
    EXPECT_EQ(proposed, pictureFolder.filePath(QStringLiteral("sample folded.png")));
    EXPECT_EQ(QImageReader(output).size(), window->size() * 2);

    // Again: the choices and the folder are remembered, and replacing the file asks first.
    int shownScale = -1;
    bool shownShadow = true;
    QString confirmation;
    // Without a window manager nothing gives the focus back after the dialogs; a user clicks.
    ASSERT_TRUE(activate(window));
    DialogSteps second;
    second.then<ExportOptionsDialog>([&](ExportOptionsDialog& dialog) {
        shownScale = dialog.options().scale;
        shownShadow = dialog.options().withShadow;
        chooseSize(dialog, 1);
        dialog.accept();
    });
    second.then<QFileDialog>([&](QFileDialog& dialog) {
        proposed = proposedFile(dialog);
        clickSave(dialog, output);
    });
    second.then<QMessageBox>([&](QMessageBox& box) {
        confirmation = box.text();
        box.button(QMessageBox::Yes)->click();
    });
    application().exportDocument();
    ASSERT_TRUE(second.done());
    EXPECT_EQ(shownScale, 2);
    EXPECT_FALSE(shownShadow);
    EXPECT_EQ(proposed, pictureFolder.filePath(QStringLiteral("out/sample folded.png")));
    EXPECT_TRUE(confirmation.contains(QStringLiteral("already exists")))
        << confirmation.toStdString();
    EXPECT_EQ(QImageReader(output).size(), window->size());
}

TEST_F(ExportCommandTest, FailureAlertNamesTheFileAndTheReason) {
    launch({picture()});
    const QDir pictureFolder = QFileInfo(picture()).absoluteDir();
    ASSERT_TRUE(pictureFolder.mkdir(QStringLiteral("locked")));
    const QString locked = pictureFolder.filePath(QStringLiteral("locked"));
    ASSERT_TRUE(QFile::setPermissions(locked, QFile::ReadOwner | QFile::ExeOwner));

    DialogSteps steps;
    steps.then<ExportOptionsDialog>([](ExportOptionsDialog& dialog) { dialog.accept(); });
    steps.then<QFileDialog>(
        [&](QFileDialog& dialog) { clickSave(dialog, locked + QStringLiteral("/folded.png")); });
    AlertDismisser alerts;
    {
        WithoutFilePermissionOverride asAnyUser;
        application().exportDocument();
    }
    QFile::setPermissions(locked, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    ASSERT_EQ(alerts.texts().size(), 1);
    const QString alert = alerts.texts().first();
    EXPECT_TRUE(alert.startsWith(QStringLiteral("Can't export \"folded.png\"")))
        << alert.toStdString();
    EXPECT_TRUE(alert.contains(QStringLiteral("ermission"))) << alert.toStdString();
    EXPECT_TRUE(QDir(locked).isEmpty());
}

// The export must outlast the progress dialog's delay even on a fast machine: near the largest
// width a side may have.
TEST_F(ExportCommandTest, LongExportShowsProgressAndCancelLeavesNoFile) {
    launch({picture()});
    const QDir pictureFolder = QFileInfo(picture()).absoluteDir();
    const QString output = pictureFolder.filePath(QStringLiteral("large.png"));

    bool cancelled = false;
    DialogSteps steps;
    steps.then<ExportOptionsDialog>([](ExportOptionsDialog& dialog) {
        chooseSize(dialog, 0, 16000);
        dialog.accept();
    });
    steps.then<QFileDialog>([&](QFileDialog& dialog) { clickSave(dialog, output); });
    steps.then<QProgressDialog>([&](QProgressDialog& progress) {
        cancelled = true;
        progress.cancel();
    });
    AlertDismisser alerts;
    application().exportDocument();

    EXPECT_TRUE(cancelled);
    EXPECT_FALSE(QFile::exists(output));
    EXPECT_TRUE(alerts.texts().isEmpty());
}
