// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
//
// The scene's options, for exports and animations alike: the floor the sheet stands on, the light
// that casts its shadow there and a picture behind it all.
#include "cli/CommandLine.h"

#include <QCommandLineParser>

namespace {

QString tr(const char* text) {
    return QCoreApplication::translate("CommandLine", text);
}

// AZIMUTH,ELEVATION in degrees; the light must stand above the floor to cast a shadow on it.
std::optional<CommandLine::Light> lightOf(const QString& text) {
    const QStringList parts = text.split(u',');
    if (parts.size() != 2)
        return std::nullopt;
    bool azimuthValid = false;
    bool elevationValid = false;
    const double azimuth = parts[0].trimmed().toDouble(&azimuthValid);
    const double elevation = parts[1].trimmed().toDouble(&elevationValid);
    if (!azimuthValid || !elevationValid || azimuth < -180 || azimuth > 180 || elevation <= 0 ||
        elevation > 90)
        return std::nullopt;
    return CommandLine::Light{azimuth, elevation};
}

} // namespace

QStringList CommandLine::sceneOptions() {
    return {QStringLiteral("surface"), QStringLiteral("surface-colour"),
            QStringLiteral("surface-picture"), QStringLiteral("light"),
            QStringLiteral("background-picture")};
}

void CommandLine::addSceneOptions(QCommandLineParser& parser) {
    parser.addOptions({
        {QStringLiteral("surface"),
         tr("What the sheet stands on: none (default) or floor, a plane under its lowest\n"
            "point that takes its shadow."),
         tr("none|floor")},
        {QStringLiteral("surface-colour"),
         tr("The floor's colour, #rrggbb or a colour name (default a light warm grey)."),
         tr("COLOUR")},
        {QStringLiteral("surface-picture"),
         tr("A picture tiled over the floor, one tile 300 mm wide at the sheet's printed\n"
            "size."),
         tr("FILE")},
        {QStringLiteral("light"),
         tr("Where the light shading the sheet and casting its shadow stands, in degrees:\n"
            "azimuth from the front, positive to the right (-180 to 180), and elevation\n"
            "above the eye's level (over 0 to 90); default -26.6,24.1, from the upper left."),
         tr("AZIMUTH,ELEVATION")},
        {QStringLiteral("background-picture"),
         tr("A picture behind the fold, scaled to cover the whole frame and cropped."), tr("FILE")},
    });
}

void CommandLine::readScene(const QCommandLineParser& parser) {
    ExportSettings& settings = exportSettings;
    if (parser.isSet(QStringLiteral("surface"))) {
        const QString surface = parser.value(QStringLiteral("surface"));
        if (surface == QLatin1String("floor"))
            settings.floor = true;
        else if (surface != QLatin1String("none"))
            return fail(tr("--surface wants none or floor, not '%1'.").arg(surface));
    }
    for (const char* option : {"surface-colour", "surface-picture", "light"}) {
        if (!settings.floor && parser.isSet(QLatin1String(option)))
            return fail(tr("--%1 needs --surface floor.").arg(QLatin1String(option)));
    }
    if (parser.isSet(QStringLiteral("surface-colour"))) {
        if (parser.isSet(QStringLiteral("surface-picture")))
            return fail(tr("--surface-colour and --surface-picture cannot be used together."));
        const QString name = parser.value(QStringLiteral("surface-colour"));
        if (!QColor::isValidColor(name) || QColor(name).alpha() != 255)
            return fail(tr("--surface-colour wants #rrggbb or a colour name, not '%1'.").arg(name));
        settings.surfaceColour = QColor(name);
    }
    settings.surfacePicture = parser.value(QStringLiteral("surface-picture"));
    settings.backgroundPicture = parser.value(QStringLiteral("background-picture"));
    for (const char* option : {"surface-picture", "background-picture"}) {
        if (parser.isSet(QLatin1String(option)) && parser.value(QLatin1String(option)).isEmpty())
            return fail(tr("--%1 wants a picture file.").arg(QLatin1String(option)));
    }
    if (parser.isSet(QStringLiteral("light"))) {
        const QString text = parser.value(QStringLiteral("light"));
        settings.light = lightOf(text);
        if (!settings.light)
            fail(tr("--light wants AZIMUTH,ELEVATION in degrees, azimuth -180 to 180 and "
                    "elevation over 0 to 90, not '%1'.")
                     .arg(text));
    }
}
