// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/ApplicationSettings.h"

#include "settings/SettingsLog.h"

#include <QStandardPaths>

#include <sys/stat.h>

namespace {

// QSettings opens its file, and its lock file, without asking what they are: a FIFO there would
// block Pleatora before its first window, and a device could have effects of its own.
bool isSpecialFile(const QString& path) {
    struct stat status {};
    for (const QString& file : {path, path + QStringLiteral(".lock")}) {
        if (::stat(QFile::encodeName(file).constData(), &status) == 0 && !S_ISREG(status.st_mode))
            return true;
    }
    return false;
}

} // namespace

ApplicationSettings::ApplicationSettings() {
    const QString userFile =
        QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
        QStringLiteral("/Pleatora/Pleatora.conf");
    if (!isSpecialFile(userFile))
        _settings =
            std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                        QStringLiteral("Pleatora"), QStringLiteral("Pleatora"));
    else
        useStandIn(userFile);
    warnIfUnreadable();
}

ApplicationSettings::ApplicationSettings(const QString& filePath) {
    if (!isSpecialFile(filePath))
        _settings = std::make_unique<QSettings>(filePath, QSettings::NativeFormat);
    else
        useStandIn(filePath);
    warnIfUnreadable();
}

ApplicationSettings::~ApplicationSettings() = default;

// The preferences then start from their defaults and last as long as this run.
void ApplicationSettings::useStandIn(const QString& refused) {
    qCWarning(settingsLog) << "The settings file" << refused
                           << "is not a regular file; settings are kept for this run only";
    _standIn = std::make_unique<QTemporaryDir>();
    _settings = std::make_unique<QSettings>(_standIn->filePath(QStringLiteral("Pleatora.conf")),
                                            QSettings::NativeFormat);
}

QVariant ApplicationSettings::value(const QString& key) const {
    return _settings->value(key);
}

void ApplicationSettings::setValue(const QString& key, const QVariant& value) {
    _settings->setValue(key, value);
    sync();
}

void ApplicationSettings::remove(const QString& key) {
    _settings->remove(key);
    sync();
}

void ApplicationSettings::warnIfUnreadable() const {
    if (_settings->status() == QSettings::FormatError)
        qCWarning(settingsLog) << "The settings file" << fileName()
                               << "is damaged; what cannot be read is ignored";
}

// Pleatora goes on with the values in memory; they are lost at the next start.
void ApplicationSettings::sync() {
    _settings->sync();
    if (_settings->status() == QSettings::AccessError)
        qCWarning(settingsLog) << "Cannot write the settings file" << fileName();
}
