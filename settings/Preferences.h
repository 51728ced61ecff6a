// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QObject>
#include <QString>
#include <QVariant>

#include <type_traits>

class ApplicationSettings;

// One stored preference: its key in the settings file, and the value it has while nothing usable
// is stored there, which is never written. Some follow another preference until first chosen.
template <typename T> struct Preference {
    const char* key;
    T fallback;
    const Preference<T>* followsUntilChosen = nullptr;
};

// The user's preferences, stored in the application's settings. One instance serves the whole
// process; writing a value that differs from the stored one emits changed() before it returns.
class Preferences : public QObject {
    Q_OBJECT

public:
    // The table of preferences; the keys are those of the settings file.
    static inline const Preference<QColor> creaseLineColor{
        "creaseLineColor", QColor::fromRgbF(1.0f, 0.0f, 0.0f, 0.2f)};
    static inline const Preference<QColor> controlLineColor{
        "controlLineColor", QColor::fromRgbF(1.0f, 0.0f, 0.0f, 0.8f)};
    static inline const Preference<bool> showCreaseLine{"showCreaseLine", true};
    static inline const Preference<bool> showControlLine{"showControlLine", true};
    static inline const Preference<bool> copyWithCreaseLine{"copyWithCreaseLine", true};
    static inline const Preference<bool> copyWithShadow{"copyWithShadow", true};
    static inline const Preference<QString> imageFormat{"imageFormat", QStringLiteral("TIFF")};
    static inline const Preference<bool> rememberFolds{"rememberFolds", true};
    // How a picture opens when no fold is remembered for it: a layout's name, and its axis.
    static inline const Preference<QString> newPictureLayout{"newPictureLayout",
                                                             QStringLiteral("two-tents")};
    static inline const Preference<bool> newPictureHorizontal{"newPictureHorizontal", false};
    // The paper's look as it was before these could be set: no shading, the usual shadow.
    static inline const Preference<int> shading{"shading", 0};              // percent
    static inline const Preference<int> shadowOpacity{"shadowOpacity", 50}; // percent
    static inline const Preference<int> shadowBlur{"shadowBlur", 24};       // points
    static inline const Preference<int> shadowOffset{"shadowOffset", 6};    // points
    // What panels seen from behind show unless the document has a back picture: "same" (the
    // picture through the paper) or "paper" (paperBackColor).
    static inline const Preference<QString> paperBack{"paperBack", QStringLiteral("same")};
    static inline const Preference<QColor> paperBackColor{"paperBackColor", QColor(Qt::white)};
    static inline const Preference<int> paperGrain{"paperGrain", 0};       // percent
    static inline const Preference<int> creaseShading{"creaseShading", 0}; // percent
    static inline const Preference<int> paperGloss{"paperGloss", 0};       // percent
    // 1..4 times the window, or 0 for exportPixelWidth.
    static inline const Preference<int> exportScale{"exportScale", 1};
    static inline const Preference<int> exportPixelWidth{"exportPixelWidth", 4000};
    // Until the user first chooses them, exports take shadow and lines as Copy does.
    static inline const Preference<bool> exportWithShadow{"exportWithShadow", true,
                                                          &copyWithShadow};
    static inline const Preference<bool> exportWithCreaseLine{"exportWithCreaseLine", true,
                                                              &copyWithCreaseLine};
    static inline const Preference<bool> exportTransparentBackground{"exportTransparentBackground",
                                                                     true};
    static inline const Preference<QColor> exportBackgroundColor{"exportBackgroundColor",
                                                                 QColor(Qt::white)};
    static inline const Preference<QString> exportFolder{"exportFolder", QString()};
    static inline const Preference<int> animationPixelWidth{"animationPixelWidth", 1080};
    static inline const Preference<int> animationDuration{"animationDuration", 3000}; // ms
    static inline const Preference<int> animationFrameRate{"animationFrameRate", 30};
    static inline const Preference<bool> animationLoop{"animationLoop", false};
    static inline const Preference<bool> animationEase{"animationEase", true};
    // A fold file; empty: flat.
    static inline const Preference<QString> animationStartFold{"animationStartFold", QString()};
    static inline const Preference<bool> animationTiltMoves{"animationTiltMoves", false};
    static inline const Preference<int> animationTiltFrom{"animationTiltFrom", 0}; // degrees
    static inline const Preference<int> animationSweep{"animationSweep", 0};       // degrees

    explicit Preferences(ApplicationSettings& settings, QObject* parent = nullptr);

    template <typename T> T value(const Preference<T>& preference) const {
        const QVariant stored = storedValue(preference.key);
        T value;
        if (read(stored, value))
            return value;
        warnIfDamaged(preference.key, stored);
        if (preference.followsUntilChosen)
            return this->value(*preference.followsUntilChosen);
        return preference.fallback;
    }

    template <typename T>
    void setValue(const Preference<T>& preference, const std::type_identity_t<T>& value) {
        const QVariant stored = storedValue(preference.key);
        T old;
        if (read(stored, old) && old == value)
            return;
        store(preference.key, QVariant::fromValue(value));
    }

signals:
    // Connections must be direct, so that every document has redrawn before the change that
    // emitted it returns.
    void changed();

private:
    static bool read(const QVariant& stored, bool& value);
    static bool read(const QVariant& stored, int& value);
    static bool read(const QVariant& stored, QString& value);
    static bool read(const QVariant& stored, QColor& value);
    static void warnIfDamaged(const char* key, const QVariant& stored);

    QVariant storedValue(const char* key) const;
    void store(const char* key, const QVariant& value);

    ApplicationSettings& _settings;
};
