// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QSettings>
#include <QString>
#include <QTemporaryDir>
#include <QVariant>

#include <memory>

// The application's settings file, the one store of what Pleatora keeps between runs: the
// preferences, the recent documents and the preferences window's place. It is named after
// Pleatora itself, whatever names the application object carries, and every write reaches the
// file before it returns. One instance serves the whole process. A settings file that is a FIFO,
// a device or a socket is never opened: a stand-in keeps the settings for that run instead.
class ApplicationSettings {
public:
    // The user's file (organisation and application "Pleatora").
    ApplicationSettings();
    // The file at the given path, in the same format.
    explicit ApplicationSettings(const QString& filePath);
    ~ApplicationSettings();

    bool contains(const QString& key) const { return _settings->contains(key); }
    QVariant value(const QString& key) const;
    void setValue(const QString& key, const QVariant& value);
    void remove(const QString& key);
    QString fileName() const { return _settings->fileName(); }

private:
    void useStandIn(const QString& refused);
    void warnIfUnreadable() const;
    void sync();

    std::unique_ptr<QTemporaryDir> _standIn;
    std::unique_ptr<QSettings> _settings;
};
