// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/CommandLine.h"

#include "document/Failure.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>

#include <cmath>

namespace {

QString tr(const char* text) {
    return QCoreApplication::translate("CommandLine", text);
}

const QStringList formats = {QStringLiteral("png"), QStringLiteral("tiff"), QStringLiteral("jpeg"),
                             QStringLiteral("webp"), QStringLiteral("pdf")};
const QStringList animationFormats = {QStringLiteral("mp4"), QStringLiteral("webm"),
                                      QStringLiteral("gif"), QStringLiteral("webp"),
                                      QStringLiteral("png")};

// Options that only make sense with --animate or --animate-dir.
const QStringList animateOnlyOptions = {QStringLiteral("from"),      QStringLiteral("loop"),
                                        QStringLiteral("tilt-from"), QStringLiteral("duration"),
                                        QStringLiteral("fps"),       QStringLiteral("ease"),
                                        QStringLiteral("no-ease")};

// Options that only make sense with --export, --export-dir, --animate, --animate-dir or
// --manifest.
const QStringList exportOnlyOptions = {
    QStringLiteral("scale"),       QStringLiteral("width"),
    QStringLiteral("fold"),        QStringLiteral("pitch"),
    QStringLiteral("shadow"),      QStringLiteral("no-shadow"),
    QStringLiteral("lines"),       QStringLiteral("no-lines"),
    QStringLiteral("background"),  QStringLiteral("format"),
    QStringLiteral("overwrite"),   QStringLiteral("screen-height"),
    QStringLiteral("shading"),     QStringLiteral("shadow-opacity"),
    QStringLiteral("shadow-blur"), QStringLiteral("shadow-offset"),
    QStringLiteral("jobs"),        QStringLiteral("skip-existing"),
    QStringLiteral("report"),      QStringLiteral("shard")};

void addOptions(QCommandLineParser& parser) {
    parser.setApplicationDescription(
        tr("Shows pictures as folded sheets of paper; with --export, --export-dir or --manifest,\n"
           "writes the folded pictures to files without a window or a display; with --animate\n"
           "or --animate-dir, writes animations of them folding."));
    parser.addPositionalArgument(QStringLiteral("pictures"), tr("Pictures to open or export."),
                                 tr("[PICTURE...]"));
    parser.addOptions({
        {{QStringLiteral("h"), QStringLiteral("help")}, tr("Show this help and exit.")},
        {{QStringLiteral("v"), QStringLiteral("version")}, tr("Show the version and exit.")},
        {QStringLiteral("export"), tr("Export the one PICTURE, folded, to OUT."), tr("OUT")},
        {QStringLiteral("export-dir"), tr("Export every PICTURE to DIR/<name> folded.<ext>."),
         tr("DIR")},
        {QStringLiteral("animate"),
         tr("Animate the one PICTURE folding, to OUT (.mp4, .webm, .gif, .webp or .png)."),
         tr("OUT")},
        {QStringLiteral("animate-dir"), tr("Animate every PICTURE to DIR/<name> folded.<ext>."),
         tr("DIR")},
        {QStringLiteral("from"), tr("The fold the animation starts from (default: flat)."),
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
        {QStringLiteral("scale"), tr("Size as N times the window, 1 to 8 (default 1)."), tr("N")},
        {QStringLiteral("width"),
         tr("Size as an exact width in pixels; the height follows (animations: default 1080)."),
         tr("PX")},
        {QStringLiteral("fold"), tr("The fold to apply, a .pleatfold file (default: flat)."),
         tr("FILE")},
        {QStringLiteral("pitch"), tr("The tilt, -60 to 60 degrees (overrides the fold's)."),
         tr("DEGREES")},
        {QStringLiteral("shadow"), tr("With the shadow.")},
        {QStringLiteral("no-shadow"), tr("Without the shadow.")},
        {QStringLiteral("lines"), tr("With the crease lines.")},
        {QStringLiteral("no-lines"), tr("Without the crease lines.")},
        {QStringLiteral("background"), tr("transparent (default), #rrggbb or a colour name."),
         tr("COLOUR")},
        {QStringLiteral("format"),
         tr("png, tiff, jpeg, webp or pdf (default: from OUT, else png); for animations\n"
            "mp4, webm, gif, webp or png (default: from OUT, else mp4)."),
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
        {QStringLiteral("jobs"), tr("Pictures exported or animated at once (default: one a core)."),
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
           "elsewhere."));
}

// Whether every option given is in place; failure: one of the motion's without an animation, or
// one of an export's without any output.
bool optionsInPlace(const QCommandLineParser& parser, bool animate, bool anyOutput,
                    QString* failure = nullptr) {
    for (const QString& option : animateOnlyOptions) {
        if (!animate && parser.isSet(option))
            return Failure::fail(failure, tr("--%1 needs --animate or --animate-dir.").arg(option));
    }
    for (const QString& option : exportOnlyOptions + CommandLine::paperOptions()) {
        if (!anyOutput && parser.isSet(option))
            return Failure::fail(
                failure,
                tr("--%1 needs --export, --export-dir, --animate, --animate-dir or --manifest.")
                    .arg(option));
    }
    return true;
}

} // namespace

CommandLine CommandLine::parse(const QStringList& arguments) {
    CommandLine result;
    QCommandLineParser parser;
    addOptions(parser);
    CommandLine::addPaperOptions(parser);
    result.helpText = parser.helpText();
    if (!parser.parse(arguments)) {
        result.fail(parser.errorText());
        return result;
    }
    result.pictures = parser.positionalArguments();
    if (parser.isSet(QStringLiteral("help"))) {
        result.mode = Mode::Help;
        return result;
    }
    if (parser.isSet(QStringLiteral("version"))) {
        result.mode = Mode::Version;
        return result;
    }
    result.checkExportShape(parser);
    if (result.mode == Mode::Export || result.mode == Mode::Animate)
        result.readExportSettings(parser);
    if (result.mode == Mode::Animate)
        result.readMotion(parser);
    return result;
}

void CommandLine::fail(const QString& message) {
    if (mode == Mode::Error)
        return; // the first problem is the one reported
    mode = Mode::Error;
    failure = message;
}

void CommandLine::checkExportShape(const QCommandLineParser& parser) {
    const bool one = parser.isSet(QStringLiteral("export"));
    const bool animateOne = parser.isSet(QStringLiteral("animate"));
    const bool animate = animateOne || parser.isSet(QStringLiteral("animate-dir"));
    const bool listed = parser.isSet(QStringLiteral("manifest"));
    const int outputs = one + parser.isSet(QStringLiteral("export-dir")) + animateOne +
                        parser.isSet(QStringLiteral("animate-dir"));
    if (QString misplaced; !optionsInPlace(parser, animate, outputs > 0 || listed, &misplaced))
        return fail(misplaced);
    if (outputs == 0 && !listed)
        return;
    if (outputs > 1)
        return fail(tr("Only one of --export, --export-dir, --animate and --animate-dir can be "
                       "used at a time."));
    if (listed && animate)
        return fail(tr("--manifest lists stills; it cannot be used with --animate or "
                       "--animate-dir."));
    if (listed && (one || !pictures.isEmpty()))
        return fail(tr("--manifest lists the pictures; give no --export and no PICTURE."));
    if (pictures.isEmpty() && !listed)
        return fail(animate ? tr("No picture to animate.") : tr("No picture to export."));
    const QString single = animate ? QStringLiteral("animate") : QStringLiteral("export");
    if (parser.isSet(single) && pictures.size() > 1)
        return fail(tr("--%1 takes one picture; use --%1-dir for several.").arg(single));
    mode = animate ? Mode::Animate : Mode::Export;
    exportSettings.output = parser.value(single);
    exportSettings.outputDirectory = parser.value(single + QStringLiteral("-dir"));
}

std::optional<double> CommandLine::numberOption(const QCommandLineParser& parser,
                                                const QString& name, double lowest,
                                                double highest) {
    if (!parser.isSet(name))
        return std::nullopt;
    bool isNumber = false;
    const double value = parser.value(name).toDouble(&isNumber);
    if (isNumber && value >= lowest && value <= highest)
        return value;
    fail(tr("--%1 wants a number from %2 to %3, not '%4'.")
             .arg(name)
             .arg(lowest)
             .arg(highest)
             .arg(parser.value(name)));
    return std::nullopt;
}

void CommandLine::readExportSettings(const QCommandLineParser& parser) {
    ExportSettings& settings = exportSettings;
    if (parser.isSet(QStringLiteral("scale")) && parser.isSet(QStringLiteral("width")))
        return fail(tr("--scale and --width cannot be used together."));
    if (const auto scale = numberOption(parser, QStringLiteral("scale"), 1, 8)) {
        if (*scale != std::floor(*scale))
            return fail(tr("--scale wants a whole number from 1 to 8, not '%1'.")
                            .arg(parser.value(QStringLiteral("scale"))));
        settings.scale = int(*scale);
    }
    if (const auto width = numberOption(parser, QStringLiteral("width"), 16, 16384))
        settings.width = int(*width);
    settings.pitch = numberOption(parser, QStringLiteral("pitch"), -60, 60);
    if (const auto height = numberOption(parser, QStringLiteral("screen-height"), 100, 100000))
        settings.screenHeight = int(*height);
    settings.foldFile = parser.value(QStringLiteral("fold"));
    settings.overwrite = parser.isSet(QStringLiteral("overwrite"));
    readSwitches(parser);
    readLook(parser);
    readPaper(parser);
    readRunOptions(parser);
}

void CommandLine::readRunOptions(const QCommandLineParser& parser) {
    ExportSettings& settings = exportSettings;
    settings.manifest = parser.value(QStringLiteral("manifest"));
    settings.report = parser.value(QStringLiteral("report"));
    settings.skipExisting = parser.isSet(QStringLiteral("skip-existing"));
    if (settings.skipExisting && settings.overwrite)
        return fail(tr("--skip-existing and --overwrite cannot be used together."));
    if (const auto jobs = numberOption(parser, QStringLiteral("jobs"), 1, 256)) {
        if (*jobs != std::floor(*jobs))
            return fail(tr("--jobs wants a whole number from 1 to 256, not '%1'.")
                            .arg(parser.value(QStringLiteral("jobs"))));
        settings.jobs = int(*jobs);
    }
    if (!parser.isSet(QStringLiteral("shard")))
        return;
    const QString shard = parser.value(QStringLiteral("shard"));
    const QStringList parts = shard.split(QLatin1Char('/'));
    bool isIndex = false;
    bool isCount = false;
    const int index = parts.size() == 2 ? parts[0].toInt(&isIndex) : 0;
    const int count = parts.size() == 2 ? parts[1].toInt(&isCount) : 0;
    if (!isIndex || !isCount || count < 1 || index < 0 || index >= count)
        return fail(tr("--shard wants I/N with 0 <= I < N, such as 0/4, not '%1'.").arg(shard));
    settings.shardIndex = index;
    settings.shardCount = count;
}

void CommandLine::readSwitches(const QCommandLineParser& parser) {
    const auto either = [&](const QString& on, const QString& off) -> std::optional<bool> {
        if (parser.isSet(on) && parser.isSet(off)) {
            fail(tr("--%1 and --%2 cannot be used together.").arg(on, off));
            return std::nullopt;
        }
        if (parser.isSet(on) || parser.isSet(off))
            return parser.isSet(on);
        return std::nullopt;
    };
    exportSettings.shadow = either(QStringLiteral("shadow"), QStringLiteral("no-shadow"));
    exportSettings.lines = either(QStringLiteral("lines"), QStringLiteral("no-lines"));
}

void CommandLine::readLook(const QCommandLineParser& parser) {
    ExportSettings& settings = exportSettings;
    if (parser.isSet(QStringLiteral("format"))) {
        settings.format = parser.value(QStringLiteral("format")).toLower();
        const bool animate = mode == Mode::Animate;
        if (!(animate ? animationFormats : formats).contains(settings.format))
            fail(tr("--format wants %1, not '%2'.")
                     .arg(animate ? tr("mp4, webm, gif, webp or png")
                                  : tr("png, tiff, jpeg, webp or pdf"),
                          parser.value(QStringLiteral("format"))));
    }
    if (parser.isSet(QStringLiteral("background"))) {
        const QString name = parser.value(QStringLiteral("background"));
        if (name != QLatin1String("transparent")) {
            if (!QColor::isValidColor(name))
                fail(tr("--background wants transparent, #rrggbb or a colour name, not '%1'.")
                         .arg(name));
            else
                settings.background = QColor(name);
        }
    }
    if (const auto shading = numberOption(parser, QStringLiteral("shading"), 0, 100))
        settings.shading = int(*shading);
    if (const auto opacity = numberOption(parser, QStringLiteral("shadow-opacity"), 0, 100))
        settings.shadowOpacity = int(*opacity);
    settings.shadowBlur = numberOption(parser, QStringLiteral("shadow-blur"), 0, 100);
    settings.shadowOffset = numberOption(parser, QStringLiteral("shadow-offset"), -100, 100);
}

void CommandLine::readMotion(const QCommandLineParser& parser) {
    MotionSettings& motion = exportSettings.motion;
    motion.startFoldFile = parser.value(QStringLiteral("from"));
    motion.loop = parser.isSet(QStringLiteral("loop"));
    if (parser.isSet(QStringLiteral("ease")) && parser.isSet(QStringLiteral("no-ease")))
        return fail(tr("--ease and --no-ease cannot be used together."));
    motion.ease = !parser.isSet(QStringLiteral("no-ease"));
    motion.tiltFrom = numberOption(parser, QStringLiteral("tilt-from"), -60, 60);
    motion.duration = numberOption(parser, QStringLiteral("duration"), 0.5, 30).value_or(3);
    const auto rate = numberOption(parser, QStringLiteral("fps"), 10, 60);
    if (rate && *rate != std::floor(*rate))
        return fail(tr("--fps wants a whole number from 10 to 60, not '%1'.")
                        .arg(parser.value(QStringLiteral("fps"))));
    motion.framesPerSecond = int(rate.value_or(30));
    const QString suffix = exportSettings.format.isEmpty()
                               ? QFileInfo(exportSettings.output).suffix().toLower()
                               : exportSettings.format;
    // GIF stores each frame's delay in hundredths of a second.
    if (suffix == QLatin1String("gif") && motion.framesPerSecond > 50)
        fail(tr("A GIF plays at most 50 frames a second; --fps %1 is too many.")
                 .arg(motion.framesPerSecond));
}
