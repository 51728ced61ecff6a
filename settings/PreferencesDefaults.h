// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QObject>
#include <QString>
#include <QVariant>
#include <QVariantMap>

// Names of the stored preferences; the values are the keys in the settings file.
namespace DefaultsKey {
inline constexpr char creaseLineColor[] = "creaseLineColor";
inline constexpr char controlLineColor[] = "controlLineColor";
inline constexpr char showCreaseLine[] = "showCreaseLine";
inline constexpr char showControlLine[] = "showControlLine";
inline constexpr char copyWithCreaseLine[] = "copyWithCreaseLine";
inline constexpr char copyWithShadow[] = "copyWithShadow";
inline constexpr char imageFormat[] = "imageFormat";
inline constexpr char rememberFolds[] = "rememberFolds";
inline constexpr char shading[] = "shading";
inline constexpr char shadowOpacity[] = "shadowOpacity";
inline constexpr char shadowBlur[] = "shadowBlur";
inline constexpr char shadowOffset[] = "shadowOffset";
inline constexpr char exportScale[] = "exportScale"; // 1..4 times the window, 0: exportPixelWidth
inline constexpr char exportPixelWidth[] = "exportPixelWidth";
inline constexpr char exportWithShadow[] = "exportWithShadow";
inline constexpr char exportWithCreaseLine[] = "exportWithCreaseLine";
inline constexpr char exportTransparentBackground[] = "exportTransparentBackground";
inline constexpr char exportBackgroundColor[] = "exportBackgroundColor";
inline constexpr char exportFolder[] = "exportFolder";
inline constexpr char disabledDictationMenuItem[] = "NSDisabledDictationMenuItem";
inline constexpr char disabledCharacterPaletteMenuItem[] = "NSDisabledCharacterPaletteMenuItem";
} // namespace DefaultsKey

class ApplicationSettings;

// The user's preferences: stored values in the application's settings, with registered fallbacks
// held here and never written. One instance serves the whole process; every consumer copies what
// it needs and reloads it when handleDefaultsChange() is emitted.
class PreferencesDefaults : public QObject {
    Q_OBJECT

public:
    explicit PreferencesDefaults(ApplicationSettings& settings, QObject* parent = nullptr);

    // The fallbacks, registered before anything reads a value.
    static QVariantMap registeredDefaults();

    QColor creaseLineColor() const;
    QColor controlLineColor() const;
    bool showCreaseLine() const;
    bool showControlLine() const;
    bool copyWithCreaseLine() const;
    bool copyWithShadow() const;
    QString imageFormat() const;
    bool rememberFolds() const;
    int shading() const;       // percent
    int shadowOpacity() const; // percent
    int shadowBlur() const;    // points
    int shadowOffset() const;  // points
    // Until the user first chooses them, exports take shadow and lines as Copy does.
    bool exportWithShadow() const;
    bool exportWithCreaseLine() const;

    QColor colorForKey(const QString& key) const;
    bool boolForKey(const QString& key) const;
    QString stringForKey(const QString& key) const;
    int intForKey(const QString& key) const;

    void setColor(const QString& key, const QColor& color);
    void setBool(const QString& key, bool value);
    void setString(const QString& key, const QString& value);
    void setInt(const QString& key, int value);

    // Announces that some preference changed; receivers reload everything they use.
    void postNotification();

signals:
    // The "PleatoraHandleDefaultsChange" notification. Connections must be direct, so that
    // every document has redrawn before the change that posted it returns.
    void handleDefaultsChange();

private:
    QVariant storedValue(const QString& key) const;
    QVariant registeredValue(const QString& key, const QVariant& stored) const;

    QVariantMap _registered;
    ApplicationSettings& _settings;
};
