// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "AppFixture.h"
#include "window/DocumentWindow.h"

#include <QApplication>
#include <QFile>
#include <QImage>
#include <QMessageBox>
#include <QScreen>

#include <sys/stat.h>

namespace {

QList<QMessageBox*> visibleAlerts() {
    QList<QMessageBox*> alerts;
    for (QWidget* window : QApplication::topLevelWidgets())
        if (auto* alert = qobject_cast<QMessageBox*>(window); alert && alert->isVisible())
            alerts.append(alert);
    return alerts;
}

} // namespace

class OpeningTest : public AppFixture {
protected:
    QByteArray bytes(const QString& path) const { return QFile::encodeName(path); }

    QString imageFile(const QString& name, QSize size) const {
        QImage picture(size, QImage::Format_RGB32);
        picture.fill(Qt::darkCyan);
        EXPECT_TRUE(picture.save(filePath(name)));
        return filePath(name);
    }
};

TEST_F(OpeningTest, FifoOnTheCommandLineIsRefusedAndThePictureBesideItOpens) {
    const QString fifo = filePath("waiting.png");
    ASSERT_EQ(::mkfifo(bytes(fifo).constData(), 0600), 0);
    AlertDismisser alerts;
    launch({fifo, picture()}, 1);
    ASSERT_TRUE(waitFor([&alerts] { return alerts.texts().size() == 1; }));
    EXPECT_EQ(alerts.texts().first(), "Can't open\nNot a regular file : waiting.png");
}

TEST_F(OpeningTest, TwoHundredBadPathsGiveOneAlertThatIsNotModal) {
    launch({picture()});
    QList<QByteArray> paths;
    for (int i = 0; i < 200; ++i)
        paths.append(bytes(filePath(QString("missing-%1.png").arg(i))));
    paths.append(bytes(textFile("notes.png")));
    application().openPaths(paths);
    // What is asserted is one alert that is not modal, not how fast 201 failures arrive.
    ASSERT_TRUE(waitUntilOpened(60000));

    ASSERT_EQ(visibleAlerts().size(), 1);
    QMessageBox* alert = visibleAlerts().first();
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_EQ(alert->text(), "Can't open");
    const QStringList shown = alert->informativeText().split(u'\n');
    ASSERT_EQ(shown.size(), 11);
    EXPECT_EQ(shown.first(), "Unreadable (No such file or directory) : missing-0.png");
    EXPECT_EQ(shown.last(), "and 191 more");
    const QStringList all = alert->detailedText().split(u'\n');
    ASSERT_EQ(all.size(), 201);
    EXPECT_EQ(all.last(), "Not a picture Pleatora can read : notes.png");

    // While it is up, a later failure joins it; the documents stay usable meanwhile.
    application().openFile(filePath("gone.png"));
    ASSERT_TRUE(waitUntilOpened());
    EXPECT_EQ(visibleAlerts().size(), 1);
    EXPECT_EQ(alert->detailedText().split(u'\n').size(), 202);
    EXPECT_TRUE(activate(document(0).window()));

    // Once dismissed, the next failure has an alert of its own.
    alert->accept();
    application().openFile(filePath("gone.png"));
    ASSERT_TRUE(waitFor([] { return visibleAlerts().size() == 1; }));
    EXPECT_EQ(visibleAlerts().first()->informativeText(),
              "Unreadable (No such file or directory) : gone.png");
}

// 9000 x 8000 is past Qt's default allocation limit, and takes a while to decode.
TEST_F(OpeningTest, LargePictureOpensWhileTheEventLoopGoesOn) {
    launch();
    QImage large(9000, 8000, QImage::Format_RGB888);
    large.fill(Qt::darkRed);
    const QString path = filePath("large.png");
    ASSERT_TRUE(large.save(path, "PNG", 90));
    large = QImage();
    AlertDismisser alerts;

    application().openFile(path);
    // Back at once: the picture is read on a worker thread.
    EXPECT_TRUE(application().isOpening());
    EXPECT_EQ(documentCount(), 0u);
    ASSERT_TRUE(waitFor([this] { return documentCount() == 1; }));
    EXPECT_TRUE(alerts.texts().isEmpty()) << alerts.texts().join(u'\n').toStdString();
    EXPECT_EQ(document(0).window()->windowTitle(), "large.png");
}

TEST_F(OpeningTest, LongStripOpensAWindowThatFitsTheScreen) {
    launch({imageFile("strip.png", QSize(20000, 1))});
    const QRect available = QGuiApplication::screens().first()->availableGeometry();
    const QSize window = document(0).window()->size();
    EXPECT_LE(window.width(), available.width());
    EXPECT_LE(window.height(), available.height());
    EXPECT_GT(window.width(), available.width() * 0.9); // as large as it fits
}
