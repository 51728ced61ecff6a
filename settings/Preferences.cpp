// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/Preferences.h"

#include "settings/ApplicationSettings.h"
#include "settings/SettingsLog.h"

#include <QMetaType>

Preferences::Preferences(ApplicationSettings& settings, QObject* parent)
    : QObject(parent), _settings(settings) {}

bool Preferences::read(const QVariant& stored, bool& value) {
    if (stored.typeId() == QMetaType::Bool) {
        value = stored.toBool();
        return true;
    }
    // The INI format keeps no types: a stored bool comes back as the text "true" or "false".
    if (stored.typeId() != QMetaType::QString)
        return false;
    const QString text = stored.toString();
    value = text == QLatin1String("true");
    return value || text == QLatin1String("false");
}

// The INI format keeps numbers as text as well; toInt() reads both.
bool Preferences::read(const QVariant& stored, int& value) {
    bool isNumber = false;
    value = stored.toInt(&isNumber);
    return isNumber && stored.typeId() != QMetaType::Bool;
}

bool Preferences::read(const QVariant& stored, QString& value) {
    value = stored.toString();
    return stored.typeId() == QMetaType::QString;
}

bool Preferences::read(const QVariant& stored, QColor& value) {
    value = stored.value<QColor>();
    return stored.typeId() == QMetaType::QColor && value.isValid();
}

// Nothing stored is the usual case; a value that cannot be used comes from a damaged file.
void Preferences::warnIfDamaged(const char* key, const QVariant& stored) {
    if (stored.isValid())
        qCWarning(settingsLog) << "Ignoring the stored" << key << "that reads" << stored;
}

QVariant Preferences::storedValue(const char* key) const {
    return _settings.value(QLatin1String(key));
}

void Preferences::store(const char* key, const QVariant& value) {
    _settings.setValue(QLatin1String(key), value);
    emit changed();
}
