// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/PreferencesDefaults.h"

#include "settings/ApplicationSettings.h"
#include "settings/SettingsLog.h"

#include <QMetaType>

PreferencesDefaults::PreferencesDefaults(ApplicationSettings& settings, QObject* parent)
    : QObject(parent), _registered(registeredDefaults()), _settings(settings) {}

QVariantMap PreferencesDefaults::registeredDefaults() {
    return {
        {DefaultsKey::creaseLineColor, QColor::fromRgbF(1.0f, 0.0f, 0.0f, 0.2f)},
        {DefaultsKey::controlLineColor, QColor::fromRgbF(1.0f, 0.0f, 0.0f, 0.8f)},
        {DefaultsKey::showCreaseLine, true},
        {DefaultsKey::showControlLine, true},
        {DefaultsKey::copyWithCreaseLine, true},
        {DefaultsKey::copyWithShadow, true},
        {DefaultsKey::imageFormat, QStringLiteral("TIFF")},
        {DefaultsKey::rememberFolds, true},
        // The paper's look as it was before these could be set: no shading, the usual shadow.
        {DefaultsKey::shading, 0},
        {DefaultsKey::shadowOpacity, 50},
        {DefaultsKey::shadowBlur, 24},
        {DefaultsKey::shadowOffset, 6},
        {DefaultsKey::exportScale, 1},
        {DefaultsKey::exportPixelWidth, 4000},
        {DefaultsKey::exportTransparentBackground, true},
        {DefaultsKey::exportBackgroundColor, QColor(Qt::white)},
        {DefaultsKey::exportFolder, QString()},
        {DefaultsKey::disabledDictationMenuItem, true},
        {DefaultsKey::disabledCharacterPaletteMenuItem, true},
    };
}

QColor PreferencesDefaults::creaseLineColor() const {
    return colorForKey(DefaultsKey::creaseLineColor);
}

QColor PreferencesDefaults::controlLineColor() const {
    return colorForKey(DefaultsKey::controlLineColor);
}

bool PreferencesDefaults::showCreaseLine() const {
    return boolForKey(DefaultsKey::showCreaseLine);
}

bool PreferencesDefaults::showControlLine() const {
    return boolForKey(DefaultsKey::showControlLine);
}

bool PreferencesDefaults::copyWithCreaseLine() const {
    return boolForKey(DefaultsKey::copyWithCreaseLine);
}

bool PreferencesDefaults::copyWithShadow() const {
    return boolForKey(DefaultsKey::copyWithShadow);
}

QString PreferencesDefaults::imageFormat() const {
    return stringForKey(DefaultsKey::imageFormat);
}

bool PreferencesDefaults::rememberFolds() const {
    return boolForKey(DefaultsKey::rememberFolds);
}

int PreferencesDefaults::shading() const {
    return intForKey(DefaultsKey::shading);
}

int PreferencesDefaults::shadowOpacity() const {
    return intForKey(DefaultsKey::shadowOpacity);
}

int PreferencesDefaults::shadowBlur() const {
    return intForKey(DefaultsKey::shadowBlur);
}

int PreferencesDefaults::shadowOffset() const {
    return intForKey(DefaultsKey::shadowOffset);
}

bool PreferencesDefaults::exportWithShadow() const {
    return _settings.contains(DefaultsKey::exportWithShadow)
               ? boolForKey(DefaultsKey::exportWithShadow)
               : copyWithShadow();
}

bool PreferencesDefaults::exportWithCreaseLine() const {
    return _settings.contains(DefaultsKey::exportWithCreaseLine)
               ? boolForKey(DefaultsKey::exportWithCreaseLine)
               : copyWithCreaseLine();
}

QColor PreferencesDefaults::colorForKey(const QString& key) const {
    const QVariant stored = storedValue(key);
    if (stored.typeId() == QMetaType::QColor && stored.value<QColor>().isValid())
        return stored.value<QColor>();
    return registeredValue(key, stored).value<QColor>();
}

bool PreferencesDefaults::boolForKey(const QString& key) const {
    const QVariant stored = storedValue(key);
    if (stored.typeId() == QMetaType::Bool)
        return stored.toBool();
    // The INI format keeps no types: a stored bool comes back as the text "true" or "false".
    if (stored.typeId() == QMetaType::QString) {
        const QString text = stored.toString();
        if (text == QLatin1String("true") || text == QLatin1String("false"))
            return text == QLatin1String("true");
    }
    return registeredValue(key, stored).toBool();
}

QString PreferencesDefaults::stringForKey(const QString& key) const {
    const QVariant stored = storedValue(key);
    if (stored.typeId() == QMetaType::QString)
        return stored.toString();
    return registeredValue(key, stored).toString();
}

// The INI format keeps numbers as text as well; toInt() reads both.
int PreferencesDefaults::intForKey(const QString& key) const {
    const QVariant stored = storedValue(key);
    bool isNumber = false;
    const int value = stored.toInt(&isNumber);
    if (isNumber && stored.typeId() != QMetaType::Bool)
        return value;
    return registeredValue(key, stored).toInt();
}

void PreferencesDefaults::setColor(const QString& key, const QColor& color) {
    _settings.setValue(key, color);
}

void PreferencesDefaults::setBool(const QString& key, bool value) {
    _settings.setValue(key, value);
}

void PreferencesDefaults::setString(const QString& key, const QString& value) {
    _settings.setValue(key, value);
}

void PreferencesDefaults::setInt(const QString& key, int value) {
    _settings.setValue(key, value);
}

void PreferencesDefaults::postNotification() {
    emit handleDefaultsChange();
}

QVariant PreferencesDefaults::storedValue(const QString& key) const {
    return _settings.value(key);
}

// Nothing stored is the usual case; a value that cannot be used comes from a damaged file.
QVariant PreferencesDefaults::registeredValue(const QString& key, const QVariant& stored) const {
    if (stored.isValid())
        qCWarning(settingsLog) << "Ignoring the stored" << key << "that reads" << stored;
    return _registered.value(key);
}
