// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/ExportPlan.h"

#include "media/Failure.h"
#include "media/PathText.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QSet>

#include <cerrno>
#include <filesystem>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace {

// Folders as named, each with every link resolved: a manifest's rows share few folders, and
// resolving one costs a system call a component.
using ResolvedFolders = QHash<QByteArray, QByteArray>;

// Where a name puts its file: the folder with every link resolved, then the name itself, so that
// two spellings of one place compare equal. Replacing an output replaces this entry.
QByteArray place(const QByteArray& path, ResolvedFolders& folders) {
    namespace fs = std::filesystem;
    const fs::path given(path.toStdString());
    const QByteArray named = QByteArray::fromStdString(given.parent_path().native());
    auto known = folders.constFind(named);
    if (known == folders.constEnd()) {
        std::error_code error;
        fs::path folder = fs::canonical(fs::absolute(given, error).parent_path(), error);
        if (error)
            folder = fs::absolute(given, error).parent_path().lexically_normal();
        known = folders.insert(named, QByteArray::fromStdString(folder.native()));
    }
    return QByteArray::fromStdString((fs::path(known->toStdString()) / given.filename()).native());
}

// The file a name reaches through any links, when it exists.
QByteArray target(const QByteArray& path) {
    std::error_code error;
    const auto resolved = std::filesystem::canonical(path.toStdString(), error);
    return error ? QByteArray() : QByteArray::fromStdString(resolved.native());
}

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
    : ExportPlan(itemsOf(settings, pictures, animate), folderOf(settings)) {}

ExportPlan::ExportPlan(const QList<Item>& items, const QByteArray& folder) : _folder(folder) {
    QList<QByteArray> otherInputs;
    QSet<QByteArray> seen; // a list search here made planning quadratic in the fold files
    _entries.reserve(items.size());
    for (const Item& item : items) {
        _entries.append(entryOf(item));
        for (const QString& foldFile :
             {item.settings.foldFile, item.settings.motion.startFoldFile}) {
            const QByteArray fold = PathText::toBytes(foldFile);
            if (!fold.isEmpty() && !seen.contains(fold)) {
                seen.insert(fold);
                otherInputs.append(fold);
            }
        }
    }
    refuseCollisions(otherInputs);
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
    if (!entry.failure.isEmpty())
        return entry;
    entry.output = outputPath(entry.picture, item.settings, item.animate);
    // An animation's format is always its name's suffix; --format names --animate-dir's files.
    if (item.animate)
        entry.animationFormat = AnimationFormat::forFileName(PathText::fromBytes(entry.output));
    else
        entry.format = formatFor(entry.output, item.settings);
    if (item.animate && !entry.animationFormat)
        entry.failure = tr("An animation is written as %1, not %2")
                            .arg(AnimationFormat::suffixList(), shown(entry.output));
    else if (!item.animate && !entry.format)
        entry.failure =
            tr("Pleatora cannot write this kind of file here: %1").arg(shown(entry.output));
    return entry;
}

// Every picture of a collision is refused, whichever comes first, so no order of the list and no
// shard of it writes one where another would.
void ExportPlan::refuseCollisions(const QList<QByteArray>& otherInputs) {
    ResolvedFolders folders;
    QSet<QByteArray> inputs; // where each input is, and what it reaches through links
    QHash<QByteArray, QList<qsizetype>> outputs;
    QList<QByteArray> allInputs = otherInputs;
    for (qsizetype i = 0; i < _entries.size(); ++i) {
        allInputs.append(_entries[i].picture);
        if (!_entries[i].output.isEmpty())
            outputs[place(_entries[i].output, folders)].append(i);
    }
    for (const QByteArray& input : allInputs) {
        inputs.insert(place(input, folders));
        if (const QByteArray reached = target(input); !reached.isEmpty())
            inputs.insert(reached);
    }
    for (qsizetype i = 0; i < _entries.size(); ++i) {
        Entry& entry = _entries[i];
        const QByteArray output = place(entry.output, folders);
        const QList<qsizetype>& sharing = outputs.value(output);
        struct stat status {};
        if (!entry.failure.isEmpty())
            continue;
        if (inputs.contains(output))
            entry.failure = tr("Its output %1 is an input of this run").arg(shown(entry.output));
        else if (sharing.size() > 1)
            entry.failure = tr("Its output %1 would also be that of %2")
                                .arg(shown(entry.output),
                                     shown(_entries[sharing[sharing[0] == i ? 1 : 0]].picture));
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
