// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ExportController.h"

#include "app/DrawingProgress.h"
#include "app/ExportOptionsDialog.h"
#include "settings/Preferences.h"
#include "window/DocumentController.h"
#include "window/DocumentWindow.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QProgressDialog>

namespace {

constexpr int repaintInterval = 50; // ms between event runs while a file is written

// The pictures, then the sheet as a model in one binary file, which viewers take most readily.
QList<ExportFormat> offeredFormats() {
    return ExportWriter::formats() << ExportWriter::modelFormats().first();
}

std::optional<ExportFormat> formatForNameFilter(const QString& nameFilter) {
    for (const ExportFormat& format : offeredFormats()) {
        if (format.nameFilter() == nameFilter)
            return format;
    }
    return std::nullopt;
}

} // namespace

ExportController::ExportController(Preferences& preferences) : _preferences(preferences) {}

void ExportController::exportDocument(DocumentController& document) {
    _document = &document;
    const std::optional<ExportOptions> options = chooseOptions(document);
    if (!options || !_document)
        return;
    options->writeTo(_preferences);
    const std::optional<Destination> destination = chooseFile(document);
    if (!destination || !_document)
        return;
    write(document, *options, *destination);
}

std::optional<ExportOptions> ExportController::chooseOptions(DocumentController& document) {
    ExportOptionsDialog dialog(ExportOptions::fromPreferences(_preferences),
                               document.window()->size(), document.window());
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.options();
}

std::optional<ExportController::Destination>
ExportController::chooseFile(DocumentController& document) {
    const QList<ExportFormat> formats = offeredFormats();
    QFileDialog dialog(document.window(), tr("Export"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    QStringList nameFilters;
    for (const ExportFormat& format : formats)
        nameFilters.append(format.nameFilter());
    dialog.setNameFilters(nameFilters);
    dialog.setDefaultSuffix(formats.first().suffix);
    dialog.setDirectory(proposedFolder(document));
    dialog.selectFile(formats.first().foldedFileName(document.url().fileName()));
    connect(&dialog, &QFileDialog::filterSelected, &dialog,
            [this, &dialog](const QString& nameFilter) { followFilter(dialog, nameFilter); });
    // The dialog asks before it replaces a file.
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    const QString fileName = dialog.selectedFiles().first();
    std::optional<ExportFormat> format = ExportWriter::formatForFileName(fileName);
    if (!format)
        format = formatForNameFilter(dialog.selectedNameFilter());
    return Destination{fileName, format.value_or(formats.first())};
}

// A name ending in a format's suffix changes to the suffix of the format chosen.
void ExportController::followFilter(QFileDialog& dialog, const QString& nameFilter) const {
    const std::optional<ExportFormat> format = formatForNameFilter(nameFilter);
    if (!format)
        return;
    dialog.setDefaultSuffix(format->suffix);
    const QStringList typed = dialog.selectedFiles();
    if (!typed.isEmpty() && ExportWriter::formatForFileName(typed.first()))
        dialog.selectFile(QFileInfo(typed.first()).completeBaseName() + u'.' + format->suffix);
}

QString ExportController::proposedFolder(const DocumentController& document) const {
    const QString lastFolder = _preferences.value(Preferences::exportFolder);
    if (!lastFolder.isEmpty() && QFileInfo(lastFolder).isDir())
        return lastFolder;
    return QFileInfo(document.url().toLocalFile()).absolutePath();
}

void ExportController::write(DocumentController& document, ExportOptions options,
                             const Destination& destination) {
    const QString name = QFileInfo(destination.fileName).fileName();
    if (destination.format.isModel()) {
        writeModel(document, options, destination);
        return;
    }
    if (!destination.format.hasAlpha)
        options.transparentBackground = false;
    if (QString failure; !ExportWriter::canWrite(
            QFile::encodeName(destination.fileName),
            document.document().sizingPlan().exportPixels(options), destination.format, &failure)) {
        alertFailure(name, failure);
        return;
    }
    DrawingProgress progress(name, document.window());
    // Two steps after the tiles: the lines and shadow, then the file.
    QImage picture = document.exportPicture(options, [&progress](int done, int total) {
        progress.setMaximum(total + 2);
        progress.setValue(done);
        return !progress.wasCanceled();
    });
    if (progress.wasCanceled())
        return;
    if (picture.isNull()) {
        alertFailure(name, tr("The folded picture could not be drawn at that size."));
        return;
    }
    progress.setLabelText(tr("Writing \"%1\"...").arg(name));
    progress.setValue(progress.maximum() - 1);
    writeFile(std::move(picture), destination, progress);
}

void ExportController::writeModel(DocumentController& document, const ExportOptions& options,
                                  const Destination& destination) {
    const QFileInfo file(destination.fileName);
    QString failure;
    if (document.exportModel(options, destination.fileName, destination.format, &failure) ==
        ExportWriter::Outcome::Written)
        _preferences.setValue(Preferences::exportFolder, file.absolutePath());
    else
        alertFailure(file.fileName(), failure);
}

// The encoders give no progress of their own; each write lets the dialog repaint and be cancelled.
void ExportController::writeFile(QImage picture, const Destination& destination,
                                 const QProgressDialog& progress) {
    QElapsedTimer sinceEvents;
    sinceEvents.start();
    const auto repaintAndGoOn = [&] {
        if (sinceEvents.elapsed() >= repaintInterval) {
            QCoreApplication::processEvents();
            sinceEvents.restart();
        }
        return !progress.wasCanceled();
    };
    QString failure;
    const QFileInfo file(destination.fileName);
    switch (ExportWriter::write(std::move(picture), QFile::encodeName(destination.fileName),
                                destination.format, repaintAndGoOn, &failure)) {
    case ExportWriter::Outcome::Written:
        _preferences.setValue(Preferences::exportFolder, file.absolutePath());
        break;
    case ExportWriter::Outcome::Failed:
        alertFailure(file.fileName(), failure);
        break;
    case ExportWriter::Outcome::Stopped:
        break;
    }
}

void ExportController::alertFailure(const QString& fileName, const QString& reason) {
    QMessageBox alert;
    alert.setText(tr("Can't export \"%1\"").arg(fileName));
    alert.setInformativeText(reason);
    alert.addButton(tr("OK"), QMessageBox::AcceptRole);
    alert.exec();
}
