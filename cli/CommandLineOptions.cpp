// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/CommandLineOptions.h"

#include "cli/CommandLine.h"
#include "media/Failure.h"

#include <QCommandLineParser>
#include <QCoreApplication>

namespace {

QString tr(const char* text) {
    return QCoreApplication::translate("CommandLine", text);
}

// Options that only make sense with --animate or --animate-dir.
const QStringList animateOnlyOptions = {QStringLiteral("from"),      QStringLiteral("loop"),
                                        QStringLiteral("tilt-from"), QStringLiteral("duration"),
                                        QStringLiteral("fps"),       QStringLiteral("ease"),
                                        QStringLiteral("no-ease"),   QStringLiteral("sweep")};

// Options that only make sense with --export, --export-dir, --animate, --animate-dir or
// --manifest.
const QStringList exportOnlyOptions = {QStringLiteral("scale"),
                                       QStringLiteral("width"),
                                       QStringLiteral("fold"),
                                       QStringLiteral("pitch"),
                                       QStringLiteral("yaw"),
                                       QStringLiteral("shadow"),
                                       QStringLiteral("no-shadow"),
                                       QStringLiteral("lines"),
                                       QStringLiteral("no-lines"),
                                       QStringLiteral("background"),
                                       QStringLiteral("format"),
                                       QStringLiteral("overwrite"),
                                       QStringLiteral("screen-height"),
                                       QStringLiteral("shading"),
                                       QStringLiteral("shadow-opacity"),
                                       QStringLiteral("shadow-blur"),
                                       QStringLiteral("shadow-offset"),
                                       QStringLiteral("jobs"),
                                       QStringLiteral("skip-existing"),
                                       QStringLiteral("report"),
                                       QStringLiteral("shard")};

} // namespace

void CommandLineOptions::add(QCommandLineParser& parser) {
    parser.setApplicationDescription(
        tr("Shows pictures as folded sheets of paper; with --export, --export-dir or --manifest,\n"
           "writes the folded pictures to files without a window or a display; with --animate\n"
           "or --animate-dir, writes animations of them folding."));
    parser.addPositionalArgument(QStringLiteral("pictures"), tr("Pictures to open or export."),
                                 tr("[PICTURE...]"));
    parser.addOptions({
        {{QStringLiteral("h"), QStringLiteral("help")}, tr("Show this help and exit.")},
        {{QStringLiteral("v"), QStringLiteral("version")}, tr("Show the version and exit.")},
        {QStringLiteral("layout"),
         tr("Open or export the pictures folded this way: two-tents (the default), tent, card,\n"
            "z-fold, accordion-N (N from 2 to 12), letter, roll-4, gate, double-gate or\n"
            "double-parallel. Opened part-open; exported flat unless --pose or --fold says."),
         tr("NAME")},
        {QStringLiteral("horizontal"), tr("With --layout: creases running across the sheet.")},
        {QStringLiteral("export"), tr("Export the one PICTURE, folded, to OUT."), tr("OUT")},
        {QStringLiteral("export-dir"), tr("Export every PICTURE to DIR/<name> folded.<ext>."),
         tr("DIR")},
        {QStringLiteral("animate"),
         tr("Animate the one PICTURE folding, to OUT (.mp4, .webm, .gif, .webp or .png)."),
         tr("OUT")},
        {QStringLiteral("animate-dir"), tr("Animate every PICTURE to DIR/<name> folded.<ext>."),
         tr("DIR")},
        {QStringLiteral("from"),
         tr("The fold the animation starts from (default: flat, or closed for\n"
            "the folds that close flat)."),
         tr("FILE")},
        {QStringLiteral("loop"), tr("Go there and back, and play for ever.")},
        {QStringLiteral("tilt-from"),
         tr("The tilt the animation starts from, -60 to 60 degrees (default: the start fold's)."),
         tr("DEGREES")},
        {QStringLiteral("duration"), tr("The animation's length, 0.5 to 30 seconds (default 3)."),
         tr("SECONDS")},
        {QStringLiteral("fps"), tr("Frames a second, 10 to 60, GIF at most 50 (default 30)."),
         tr("N")},
        {QStringLiteral("ease"), tr("Start and end the move slowly (the default).")},
        {QStringLiteral("no-ease"), tr("Move at an even speed.")},
        {QStringLiteral("sweep"),
         tr("Turn the sheet through 0 to 120 degrees about the creases, centred on\n"
            "the yaw; without --from the fold stays as it is (default 0)."),
         tr("DEGREES")},
        {QStringLiteral("scale"), tr("Size as N times the window, 1 to 8 (default 1)."), tr("N")},
        {QStringLiteral("width"),
         tr("Size as an exact width in pixels; the height follows (animations: default 1080)."),
         tr("PX")},
        {QStringLiteral("fold"), tr("The fold to apply, a .pleatfold file (default: flat)."),
         tr("FILE")},
        {QStringLiteral("pitch"), tr("The tilt, -60 to 60 degrees (overrides the fold's)."),
         tr("DEGREES")},
        {QStringLiteral("yaw"),
         tr("The turn about the creases, -60 to 60 degrees (overrides the fold's)."),
         tr("DEGREES")},
        {QStringLiteral("shadow"), tr("With the shadow.")},
        {QStringLiteral("no-shadow"), tr("Without the shadow.")},
        {QStringLiteral("lines"), tr("With the crease lines.")},
        {QStringLiteral("no-lines"), tr("Without the crease lines.")},
        {QStringLiteral("background"), tr("transparent (default), #rrggbb or a colour name."),
         tr("COLOUR")},
        {QStringLiteral("format"),
         tr("png, tiff, jpeg, webp, pdf, or glb or gltf for a 3D model (default: from OUT,\n"
            "else png); for animations mp4, webm, gif, webp or png (default: from OUT, else mp4)."),
         tr("FORMAT")},
        {QStringLiteral("overwrite"), tr("Replace existing output files.")},
        {QStringLiteral("screen-height"),
         tr("The height of the 16:9 screen that sizes the sheet as the application would\n"
            "(default 1080)."),
         tr("PX")},
        {QStringLiteral("shading"), tr("Facet shading, 0 to 100 percent."), tr("PERCENT")},
        {QStringLiteral("shadow-opacity"), tr("Shadow opacity, 0 to 100 percent."), tr("PERCENT")},
        {QStringLiteral("shadow-blur"), tr("Shadow softness, in points."), tr("POINTS")},
        {QStringLiteral("shadow-offset"), tr("Shadow offset downward, in points."), tr("POINTS")},
        {QStringLiteral("manifest"),
         tr("Export the pictures a CSV or JSON lines FILE lists, each row with its own\n"
            "output and settings (- reads standard input); stills only."),
         tr("FILE")},
        {QStringLiteral("jobs"),
         tr("Pictures exported or animated at once (default: one a core; at most\n"
            "two a core)."),
         tr("N")},
        {QStringLiteral("shard"),
         tr("Only the pictures whose output hashes to I of N, 0 <= I < N."), tr("I/N")},
        {QStringLiteral("skip-existing"), tr("Leave outputs that exist, reported as skipped.")},
        {QStringLiteral("report"),
         tr("Write one JSON object a picture and a summary to FILE (- for standard output)."),
         tr("FILE")},
    });
    parser.setApplicationDescription(
        parser.applicationDescription() +
        tr("\n\nExit status: 0 when every picture was written or skipped, 1 when some failed,\n"
           "2 for a mistake on the command line, 3 when the environment stands in the way\n"
           "(no OpenGL, an output folder or report that cannot be written): worth a retry\n"
           "elsewhere; 4 when --check-closing finds panels that do not close flat;\n"
           "130 or 143 when SIGINT or SIGTERM stopped the run."));
}

bool CommandLineOptions::inPlace(const QCommandLineParser& parser, bool animate, bool anyOutput,
                                 QString* failure) {
    for (const QString& option : animateOnlyOptions) {
        if (!animate && parser.isSet(option))
            return Failure::fail(failure, tr("--%1 needs --animate or --animate-dir.").arg(option));
    }
    for (const QString& option : exportOnlyOptions + CommandLine::paperOptions() +
                                     CommandLine::artworkOptions() + CommandLine::sceneOptions() +
                                     CommandLine::panelOptions()) {
        if (!anyOutput && parser.isSet(option))
            return Failure::fail(
                failure,
                tr("--%1 needs --export, --export-dir, --animate, --animate-dir or --manifest.")
                    .arg(option));
    }
    return true;
}
