// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/ExportPlan.h"

#include "cli/RunFiles.h"
#include "document/RendererSetup.h"
#include "media/Failure.h"
#include "media/PathText.h"

#include <QDir>
#include <QFileInfo>

#include <cerrno>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace {

QString shown(const QByteArray& path) {
    return PathText::shown(path);
}

} // namespace

namespace {

QByteArray outputPath(const QByteArray& picture, const CommandLine::ExportSettings& settings,
                      bool animate) {
    if (!settings.output.isEmpty())
        return PathText::toBytes(settings.output);
    const QString name = PathText::fromBytes(picture.mid(picture.lastIndexOf('/') + 1));
    const QDir folder(settings.outputDirectory);
    if (animate) {
        const QString suffix =
            settings.format.isEmpty() ? AnimationFormat::all().first().suffix : settings.format;
        return PathText::toBytes(folder.filePath(
            QStringLiteral("%1 folded.%2").arg(QFileInfo(name).completeBaseName(), suffix)));
    }
    const QString suffix = settings.format.isEmpty() ? QStringLiteral("png") : settings.format;
    const ExportFormat format =
        ExportWriter::formatForFileName(QStringLiteral("x.") + suffix).value_or(ExportFormat());
    return PathText::toBytes(folder.filePath(format.foldedFileName(name)));
}

std::optional<ExportFormat> formatFor(const QByteArray& output,
                                      const CommandLine::ExportSettings& settings) {
    if (!settings.format.isEmpty())
        return ExportWriter::formatForFileName(QStringLiteral("x.") + settings.format);
    const QString name = PathText::fromBytes(output);
    if (QFileInfo(name).suffix().isEmpty())
        return ExportWriter::formats().first();
    return ExportWriter::formatForFileName(name);
}

} // namespace

ExportPlan::ExportPlan(const CommandLine::ExportSettings& settings, const QStringList& pictures,
                       bool animate)
    : ExportPlan(itemsOf(settings, pictures, animate), folderOf(settings),
                 PathText::toBytes(settings.report)) {}

ExportPlan::ExportPlan(const QList<Item>& items, const QByteArray& folder, const QByteArray& report,
                       const QByteArray& manifest)
    : _folder(folder) {
    RunFiles files;
    _entries.reserve(items.size());
    if (!manifest.isEmpty() && manifest != "-")
        files.addInput(manifest);
    for (const Item& item : items) {
        _entries.append(entryOf(item));
        if (!nameWithNul(item).isEmpty())
            continue;
        files.addInput(item.picture);
        for (const QString& input : inputsOf(item.settings))
            files.addInput(PathText::toBytes(input));
    }
    if (!report.isEmpty() && report != "-") {
        files.setReport(report);
        if (files.isInput(report))
            _reportFailure = tr("The report %1 is an input of this run").arg(shown(report));
    }
    refuseCollisions(files);
}

// The files a picture's settings read besides the picture.
QStringList ExportPlan::inputsOf(const CommandLine::ExportSettings& settings) {
    QStringList inputs;
    for (const QString& fold : {settings.foldFile, settings.motion.startFoldFile}) {
        if (!fold.isEmpty())
            inputs.append(fold);
    }
    if (!settings.back.isEmpty() && !RendererSetup::backOfName(settings.back))
        inputs.append(settings.back);
    for (const QString& picture : {settings.surfacePicture, settings.backgroundPicture}) {
        if (!picture.isEmpty())
            inputs.append(picture);
    }
    return inputs;
}

QByteArray ExportPlan::nameWithNul(const Item& item) {
    QStringList names = inputsOf(item.settings);
    names.append(item.settings.output);
    names.append(PathText::fromBytes(item.picture));
    for (const QString& name : names) {
        if (name.contains(QChar(0)))
            return PathText::toBytes(name);
    }
    return {};
}

bool ExportPlan::canWriteReport(QString* failure) const {
    return _reportFailure.isEmpty() || Failure::fail(failure, _reportFailure);
}

QList<ExportPlan::Item> ExportPlan::itemsOf(const CommandLine::ExportSettings& settings,
                                            const QStringList& pictures, bool animate) {
    QList<Item> items;
    for (const QString& picture : pictures)
        items.append({PathText::toBytes(picture), settings, 0, {}, animate});
    return items;
}

QByteArray ExportPlan::folderOf(const CommandLine::ExportSettings& settings) {
    return PathText::toBytes(settings.output.isEmpty() ? settings.outputDirectory
                                                       : QFileInfo(settings.output).path());
}

ExportPlan::Entry ExportPlan::entryOf(const Item& item) {
    Entry entry;
    entry.picture = item.picture;
    entry.settings = item.settings;
    entry.line = item.line;
    entry.key =
        item.settings.output.isEmpty() ? item.picture : PathText::toBytes(item.settings.output);
    entry.failure = item.failure;
    // The system ends a name at a NUL, so such a name would reach another file than it says.
    if (const QByteArray name = nameWithNul(item); !name.isEmpty())
        entry.failure = tr("The name %1 holds a NUL byte").arg(shown(name));
    if (!entry.failure.isEmpty())
        return entry;
    entry.output = outputPath(entry.picture, item.settings, item.animate);
    // An animation's format is always its name's suffix; --format names --animate-dir's files.
    entry.animated = item.animate;
    if (item.animate)
        entry.animationFormat = AnimationFormat::forFileName(PathText::fromBytes(entry.output));
    // A 3D model plays the motion too; its name, as a video's, says which.
    const std::optional<ExportFormat> format =
        item.animate ? ExportWriter::formatForFileName(PathText::fromBytes(entry.output))
                     : formatFor(entry.output, item.settings);
    if (!item.animate || (!entry.animationFormat && format && format->isModel()))
        entry.format = format;
    if (item.animate && !entry.animationFormat && !entry.format)
        entry.failure = tr("An animation is written as %1, or as a 3D model .glb or .gltf, not %2")
                            .arg(AnimationFormat::suffixList(), shown(entry.output));
    else if (!item.animate && !entry.format)
        entry.failure =
            tr("Pleatora cannot write this kind of file here: %1").arg(shown(entry.output));
    return entry;
}

// Every picture of a collision is refused, whichever comes first, so no order of the list and no
// shard of it writes one where another would.
void ExportPlan::refuseCollisions(RunFiles& files) {
    for (qsizetype i = 0; i < _entries.size(); ++i) {
        if (!_entries[i].output.isEmpty())
            files.addOutput(_entries[i].output, i);
    }
    for (qsizetype i = 0; i < _entries.size(); ++i) {
        Entry& entry = _entries[i];
        if (!entry.failure.isEmpty())
            continue;
        const QList<qsizetype> sharing = files.otherOwners(entry.output, i);
        struct stat status {};
        if (files.isInput(entry.output))
            entry.failure = tr("Its output %1 is an input of this run").arg(shown(entry.output));
        else if (files.isReport(entry.output))
            entry.failure = tr("Its output %1 is the report of this run").arg(shown(entry.output));
        else if (!sharing.isEmpty())
            entry.failure = tr("Its output %1 would also be that of %2")
                                .arg(shown(entry.output), shown(_entries[sharing[0]].picture));
        else if (::stat(entry.output.constData(), &status) == 0 && !S_ISREG(status.st_mode))
            entry.failure = tr("Its output %1 is not a regular file").arg(shown(entry.output));
    }
}

bool ExportPlan::canWriteFolder(QString* failure) const {
    if (_folder.isEmpty())
        return true;
    const QByteArray& folder = _folder;
    struct stat status {};
    int error = 0;
    if (::stat(folder.constData(), &status) != 0)
        error = errno;
    else if (!S_ISDIR(status.st_mode))
        error = ENOTDIR;
    else if (::access(folder.constData(), W_OK | X_OK) != 0)
        error = errno;
    if (!error)
        return true;
    return Failure::fail(
        failure,
        tr("The output folder %1 cannot be written: %2")
            .arg(shown(folder), QString::fromStdString(std::generic_category().message(error))));
}
