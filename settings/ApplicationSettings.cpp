#include "settings/ApplicationSettings.h"

#include "settings/SettingsLog.h"

ApplicationSettings::ApplicationSettings()
    : _settings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Pleatora"),
                QStringLiteral("Pleatora")) {
    warnIfUnreadable();
}

ApplicationSettings::ApplicationSettings(const QString& filePath)
    : _settings(filePath, QSettings::NativeFormat) {
    warnIfUnreadable();
}

QVariant ApplicationSettings::value(const QString& key) const {
    return _settings.value(key);
}

void ApplicationSettings::setValue(const QString& key, const QVariant& value) {
    _settings.setValue(key, value);
    sync();
}

void ApplicationSettings::remove(const QString& key) {
    _settings.remove(key);
    sync();
}

void ApplicationSettings::warnIfUnreadable() const {
    if (_settings.status() == QSettings::FormatError)
        qCWarning(settingsLog) << "The settings file" << fileName()
                               << "is damaged; what cannot be read is ignored";
}

// Pleatora goes on with the values in memory; they are lost at the next start.
void ApplicationSettings::sync() {
    _settings.sync();
    if (_settings.status() == QSettings::AccessError)
        qCWarning(settingsLog) << "Cannot write the settings file" << fileName();
}
