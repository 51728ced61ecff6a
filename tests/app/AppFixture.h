// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/ApplicationController.h"
#include "settings/ApplicationSettings.h"
#include "settings/Preferences.h"
#include "window/DocumentController.h"

#include <QStringList>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>

// Closes every alert that comes up, as a user would press OK, and keeps its texts. Alerts are
// not modal: any visible message box counts.
class AlertDismisser : public QObject {
public:
    AlertDismisser();
    QStringList texts() const { return _texts; }

private:
    void dismissAlert();

    QTimer _timer;
    QStringList _texts;
};

// A Pleatora launch per test with its own settings directory (the user's settings file is
// looked for there); restart() ends it and launches again on the same settings.
class AppFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Waits for the documents of all the paths, or as many as given.
    void launch(const QStringList& paths = {}, std::optional<size_t> documents = std::nullopt);
    void restart(const QStringList& paths = {});
    void quit();

    // A copy of the sample picture under the given name in the test's directory.
    QString picture(const QString& name = QStringLiteral("sample.png")) const;
    QString textFile(const QString& name) const;
    // Where a file of that name goes in the test's directory.
    QString filePath(const QString& name) const { return _dir.filePath(name); }

    ApplicationController& application() { return *_application; }
    ApplicationSettings& settings() { return *_settings; }
    Preferences& preferences() { return *_preferences; }
    DocumentController& document(size_t index) { return *_application->documents().at(index); }
    size_t documentCount() const { return _application->documents().size(); }
    // The titles the Window menu shows when it opens.
    QStringList windowMenuTitles();

    // Waits until every file asked for has been read and opened or refused.
    // A long list of files can take longer than the usual wait on a loaded machine.
    bool waitUntilOpened(int timeoutMs = 5000);

    static bool activate(QWidget* window);
    static bool waitFor(const std::function<bool()>& condition);
    // Runs pending deleteLater() calls, as the event loop would after the current event.
    static void runDeferredDeletes();

    QString handoverName() const { return _handoverName; }
    QString configDirectory() const { return _dir.filePath(QStringLiteral("config")); }

private:
    QTemporaryDir _dir;
    QString _handoverName;
    std::unique_ptr<ApplicationSettings> _settings;
    std::unique_ptr<Preferences> _preferences;
    std::unique_ptr<ApplicationController> _application;
};
