// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/CommandLine.h"

#include "cli/CommandLineOptions.h"
#include "fold/FoldMotion.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>

#include <cmath>

namespace {

QString tr(const char* text) {
    return QCoreApplication::translate("CommandLine", text);
}

const QStringList formats = {QStringLiteral("png"),  QStringLiteral("tiff"), QStringLiteral("jpeg"),
                             QStringLiteral("webp"), QStringLiteral("pdf"),  QStringLiteral("glb"),
                             QStringLiteral("gltf")};
const QStringList animationFormats = {
    QStringLiteral("mp4"), QStringLiteral("webm"), QStringLiteral("gif"), QStringLiteral("webp"),
    QStringLiteral("png"), QStringLiteral("glb"),  QStringLiteral("gltf")};

} // namespace

CommandLine CommandLine::parse(const QStringList& arguments) {
    CommandLine result;
    QCommandLineParser parser;
    CommandLineOptions::add(parser);
    CommandLine::addPaperOptions(parser);
    CommandLine::addArtworkOptions(parser);
    CommandLine::addSceneOptions(parser);
    CommandLine::addPanelOptions(parser);
    if (!parser.parse(arguments)) {
        result.fail(parser.errorText());
        return result;
    }
    result.pictures = parser.positionalArguments();
    if (!result.checkGivenOnce(parser))
        return result;
    if (parser.isSet(QStringLiteral("help"))) {
        // Made only when shown: it costs more than the parse, once for every manifest row.
        result.helpText = parser.helpText();
        result.mode = Mode::Help;
        return result;
    }
    if (parser.isSet(QStringLiteral("version"))) {
        result.mode = Mode::Version;
        return result;
    }
    if (parser.isSet(QStringLiteral("check-closing"))) {
        result.readClosingCheck(parser);
        return result;
    }
    result.checkExportShape(parser);
    result.readLayout(parser);
    if (result.mode == Mode::Export || result.mode == Mode::Animate)
        result.readExportSettings(parser);
    if (result.mode == Mode::Animate)
        result.readMotion(parser);
    return result;
}

QString CommandLine::layoutNames() {
    QStringList names;
    for (const FoldLayout& layout : FoldLayout::presets(FoldLayout::Axis::vertical))
        names.append(QString::fromStdString(layout.name()));
    return names.join(QStringLiteral(", "));
}

void CommandLine::readLayout(const QCommandLineParser& parser) {
    const bool horizontal = parser.isSet(QStringLiteral("horizontal"));
    if (!parser.isSet(QStringLiteral("layout"))) {
        if (horizontal)
            fail(tr("--horizontal needs --layout."));
        return;
    }
    const QString name = parser.value(QStringLiteral("layout"));
    layout = FoldLayout::fromName(name.toStdString(), horizontal ? FoldLayout::Axis::horizontal
                                                                 : FoldLayout::Axis::vertical);
    if (!layout)
        fail(tr("--layout wants one of %1, not '%2'.").arg(layoutNames(), name));
    exportSettings.layout = layout;
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
    if (QString misplaced;
        !CommandLineOptions::inPlace(parser, animate, outputs > 0 || listed, &misplaced))
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
    // Its messages would begin with an empty name.
    if (pictures.contains(QString()))
        return fail(tr("A picture's name is empty."));
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

// A value given twice would quietly lose one of them.
bool CommandLine::checkGivenOnce(const QCommandLineParser& parser) {
    for (const QString& name : parser.optionNames()) {
        if (parser.values(name).size() > 1) {
            fail(tr("--%1 can be given only once.").arg(name));
            return false;
        }
    }
    return true;
}

std::optional<int> CommandLine::wholeNumberOption(const QCommandLineParser& parser,
                                                  const QString& name, int lowest, int highest) {
    const std::optional<double> value = numberOption(parser, name, lowest, highest);
    if (!value)
        return std::nullopt;
    if (*value == std::floor(*value))
        return int(*value);
    fail(tr("--%1 wants a whole number from %2 to %3, not '%4'.")
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
    settings.scale = wholeNumberOption(parser, QStringLiteral("scale"), 1, 8);
    settings.width = wholeNumberOption(parser, QStringLiteral("width"), 16, 16384);
    settings.pitch = numberOption(parser, QStringLiteral("pitch"), -60, 60);
    settings.yaw = numberOption(parser, QStringLiteral("yaw"), -60, 60);
    settings.screenHeight = wholeNumberOption(parser, QStringLiteral("screen-height"), 100, 100000)
                                .value_or(settings.screenHeight);
    settings.foldFile = parser.value(QStringLiteral("fold"));
    settings.overwrite = parser.isSet(QStringLiteral("overwrite"));
    readSwitches(parser);
    readLook(parser);
    readPaper(parser);
    readArtwork(parser);
    readScene(parser);
    readPanels(parser);
    readRunOptions(parser);
}

void CommandLine::readRunOptions(const QCommandLineParser& parser) {
    ExportSettings& settings = exportSettings;
    settings.manifest = parser.value(QStringLiteral("manifest"));
    settings.report = parser.value(QStringLiteral("report"));
    settings.skipExisting = parser.isSet(QStringLiteral("skip-existing"));
    if (settings.skipExisting && settings.overwrite)
        return fail(tr("--skip-existing and --overwrite cannot be used together."));
    settings.jobs =
        wholeNumberOption(parser, QStringLiteral("jobs"), 1, 256).value_or(settings.jobs);
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
                     .arg(animate ? tr("mp4, webm, gif, webp, png, glb or gltf")
                                  : tr("png, tiff, jpeg, webp, pdf, glb or gltf"),
                          parser.value(QStringLiteral("format"))));
    }
    if (parser.isSet(QStringLiteral("background"))) {
        const QString name = parser.value(QStringLiteral("background"));
        // transparent, in any case, is no background; a background is otherwise opaque, so a
        // see-through colour in any spelling is refused as --back-colour refuses it.
        if (name.compare(QLatin1String("transparent"), Qt::CaseInsensitive) != 0) {
            if (!QColor::isValidColor(name) || QColor(name).alpha() != 255)
                fail(tr("--background wants transparent, #rrggbb or a colour name, not '%1'.")
                         .arg(name));
            else
                settings.background = QColor(name);
        }
    }
    settings.shading = wholeNumberOption(parser, QStringLiteral("shading"), 0, 100);
    settings.shadowOpacity = wholeNumberOption(parser, QStringLiteral("shadow-opacity"), 0, 100);
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
    motion.sweep =
        numberOption(parser, QStringLiteral("sweep"), 0, 2 * FoldMotion::largestYaw).value_or(0);
    motion.framesPerSecond =
        wholeNumberOption(parser, QStringLiteral("fps"), 10, 60).value_or(motion.framesPerSecond);
    const QString suffix = exportSettings.format.isEmpty()
                               ? QFileInfo(exportSettings.output).suffix().toLower()
                               : exportSettings.format;
    // GIF stores each frame's delay in hundredths of a second.
    if (suffix == QLatin1String("gif") && motion.framesPerSecond > 50)
        fail(tr("A GIF plays at most 50 frames a second; --fps %1 is too many.")
                 .arg(motion.framesPerSecond));
}
