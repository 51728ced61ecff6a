// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "AppFixture.h"
#include "window/DocumentWindow.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QSettings>
#include <QTest>

AlertDismisser::AlertDismisser() {
    connect(&_timer, &QTimer::timeout, this, &AlertDismisser::dismissAlert);
    _timer.start(20);
}

void AlertDismisser::dismissAlert() {
    for (QWidget* window : QApplication::topLevelWidgets()) {
        auto* alert = qobject_cast<QMessageBox*>(window);
        if (!alert || !alert->isVisible())
            continue;
        _texts.append(alert->text() + u'\n' + alert->informativeText());
        alert->accept();
    }
}

void AppFixture::SetUp() {
    ASSERT_TRUE(_dir.isValid());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, configDirectory());
    // Each test remembers its own folds, and keeps them across its restarts.
    qputenv("XDG_STATE_HOME", _dir.filePath("state").toLocal8Bit());
    _handoverName = qEnvironmentVariable("PLEATORA_INSTANCE_NAME") + u'-' +
                    ::testing::UnitTest::GetInstance()->current_test_info()->name();
}

void AppFixture::TearDown() {
    quit();
}

void AppFixture::launch(const QStringList& paths, std::optional<size_t> documents) {
    _settings = std::make_unique<ApplicationSettings>();
    _preferences = std::make_unique<Preferences>(*_settings);
    _application =
        std::make_unique<ApplicationController>(*_settings, *_preferences, _handoverName);
    QList<QByteArray> absolutePaths;
    for (const QString& path : paths)
        absolutePaths.append(QFile::encodeName(QFileInfo(path).absoluteFilePath()));
    _application->start(absolutePaths);
    const size_t expected = documents.value_or(paths.size());
    if (expected == 0)
        return;
    // As a user waits for the windows to come up: a late activation would steal the focus.
    ASSERT_TRUE(waitFor([this, expected] { return documentCount() == expected; }));
    EXPECT_TRUE(QTest::qWaitForWindowActive(_application->documents().back()->window()));
}

void AppFixture::restart(const QStringList& paths) {
    quit();
    launch(paths);
}

void AppFixture::quit() {
    _application.reset();
    _preferences.reset();
    _settings.reset();
    runDeferredDeletes();
}

QString AppFixture::picture(const QString& name) const {
    const QString path = _dir.filePath(name);
    if (!QFile::exists(path)) {
        EXPECT_TRUE(QFile::copy(QStringLiteral(PLEATORA_SAMPLE_PICTURE), path));
    }
    return path;
}

QString AppFixture::textFile(const QString& name) const {
    const QString path = _dir.filePath(name);
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("Not a picture at all.\n");
    return path;
}

QStringList AppFixture::windowMenuTitles() {
    QMenu* menu = _application->menus().windowMenu();
    emit menu->aboutToShow();
    QStringList titles;
    for (const QAction* item : menu->actions())
        titles.append(item->text());
    return titles;
}

bool AppFixture::waitUntilOpened(int timeoutMs) {
    return QTest::qWaitFor([this] { return !_application->isOpening(); }, timeoutMs);
}

bool AppFixture::activate(QWidget* window) {
    window->raise();
    window->activateWindow();
    return QTest::qWaitForWindowActive(window);
}

bool AppFixture::waitFor(const std::function<bool()>& condition) {
    return QTest::qWaitFor(condition, 5000);
}

void AppFixture::runDeferredDeletes() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}
