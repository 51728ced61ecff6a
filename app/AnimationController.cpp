// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/AnimationController.h"

#include "app/AnimationOptionsDialog.h"
#include "app/DrawingProgress.h"
#include "document/FoldFile.h"
#include "media/AnimationFormat.h"
#include "settings/Preferences.h"
#include "window/DocumentController.h"
#include "window/DocumentWindow.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QProgressDialog>

namespace {

QString nameFilter(const AnimationFormat& format) {
    return QStringLiteral("%1 (*.%2)").arg(format.description, format.suffix);
}

} // namespace

AnimationController::AnimationController(Preferences& preferences) : _preferences(preferences) {}

void AnimationController::exportAnimation(DocumentController& document) {
    _document = &document;
    AnimationOptionsDialog dialog(
        ExportOptions::fromPreferences(_preferences),
        AnimationOptions::fromPreferences(_preferences), document.window()->size(),
        document.document().turnedSizingPlan().windowPoints(), document.window());
    if (dialog.exec() != QDialog::Accepted || !_document)
        return;
    remember(dialog.exportOptions(), dialog.animationOptions());
    const QString fileName = chooseFile(document);
    if (fileName.isEmpty() || !_document)
        return;
    write(document, fileName, dialog.exportOptions(), dialog.animationOptions());
}

// The shadow, lines and background are Export's too; the width is the animation's own.
void AnimationController::remember(const ExportOptions& options,
                                   const AnimationOptions& animation) {
    ExportOptions remembered = ExportOptions::fromPreferences(_preferences);
    remembered.withShadow = options.withShadow;
    remembered.withCreaseLine = options.withCreaseLine;
    remembered.transparentBackground = options.transparentBackground;
    remembered.backgroundColor = options.backgroundColor;
    remembered.writeTo(_preferences);
    animation.writeTo(_preferences);
}

QString AnimationController::chooseFile(DocumentController& document) {
    QStringList nameFilters;
    QStringList suffixes;
    for (const AnimationFormat& format : AnimationFormat::all()) {
        nameFilters.append(nameFilter(format));
        suffixes.append(format.suffix);
    }
    // A 3D model plays the motion in a model viewer.
    for (const ExportFormat& format : ExportWriter::modelFormats()) {
        nameFilters.append(format.nameFilter());
        suffixes.append(format.suffix);
    }
    QFileDialog dialog(document.window(), tr("Export Animation"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilters(nameFilters);
    dialog.setDefaultSuffix(suffixes.first());
    const QString lastFolder = _preferences.value(Preferences::exportFolder);
    dialog.setDirectory(!lastFolder.isEmpty() && QFileInfo(lastFolder).isDir()
                            ? lastFolder
                            : QFileInfo(document.url().toLocalFile()).absolutePath());
    dialog.selectFile(
        QStringLiteral("%1 folded.%2")
            .arg(QFileInfo(document.url().fileName()).completeBaseName(), suffixes.first()));
    connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog, suffixes](const QString& f) {
        dialog.setDefaultSuffix(suffixes.value(dialog.nameFilters().indexOf(f)));
    });
    // The dialog asks before it replaces a file.
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().first();
}

// Flat, or the fold file's fold fitted to this sheet, in the picture's layout; at the tilt asked,
// else the file's, else the current one. Alerts and gives nothing when the fold file cannot be
// used.
std::optional<FoldSnapshot> AnimationController::startFold(const DocumentController& document,
                                                           const AnimationOptions& animation,
                                                           const QString& fileName) const {
    const Document& current = document.document();
    const FoldLayout layout = current.layout();
    SheetFold start = current.fold();
    start.setPose(HingedFold::Pose::flat);
    // Hinged panels open from closed, as a printed piece comes out of its envelope.
    if (layout.isHinged())
        start.setPose(HingedFold::Pose::closed);
    float pitch = current.pitch();
    if (!animation.startFoldFile.isEmpty()) {
        QString failure;
        const std::optional<FoldFile> file = FoldFile::read(animation.startFoldFile, &failure);
        if (file && file->layout() != layout)
            failure = tr("The start fold is folded in another layout than the picture.");
        if (!failure.isEmpty()) {
            alertFailure(fileName, failure);
            return std::nullopt;
        }
        file->applyTo(start);
        pitch = float(file->fold().pitch);
    }
    return start.snapshot(animation.tiltFrom.value_or(pitch));
}

void AnimationController::write(DocumentController& document, const QString& fileName,
                                const ExportOptions& options, const AnimationOptions& animation) {
    const QString name = QFileInfo(fileName).fileName();
    if (const std::optional<ExportFormat> model = ExportWriter::formatForFileName(fileName);
        model && model->isModel())
        return writeModel(document, fileName, *model, options, animation);
    const std::optional<AnimationFormat> format = AnimationFormat::forFileName(fileName);
    if (!format)
        return alertFailure(name, tr("An animation is written as %1, or as a 3D model .glb or "
                                     ".gltf.")
                                      .arg(AnimationFormat::suffixList()));
    if (animation.timing.framesPerSecond > format->highestFrameRate)
        return alertFailure(name, tr("%1 plays at most %2 frames a second.")
                                      .arg(format->description)
                                      .arg(format->highestFrameRate));
    const std::optional<FoldSnapshot> start = startFold(document, animation, name);
    if (!start)
        return;
    DrawingProgress progress(name, document.window());
    QString failure;
    const auto outcome = document.exportAnimation(
        fileName, options, *start, animation.timing,
        [&progress](int done, int total) {
            progress.setMaximum(total);
            progress.setValue(done);
            return !progress.wasCanceled();
        },
        &failure);
    if (outcome == AnimationExport::Outcome::Written)
        _preferences.setValue(Preferences::exportFolder, QFileInfo(fileName).absolutePath());
    else if (outcome == AnimationExport::Outcome::Failed)
        alertFailure(name, failure);
}

void AnimationController::writeModel(DocumentController& document, const QString& fileName,
                                     const ExportFormat& format, const ExportOptions& options,
                                     const AnimationOptions& animation) {
    const QString name = QFileInfo(fileName).fileName();
    const std::optional<FoldSnapshot> start = startFold(document, animation, name);
    if (!start)
        return;
    QString failure;
    const auto outcome =
        document.exportAnimatedModel(fileName, options, format, *start, animation.timing, &failure);
    if (outcome == ExportWriter::Outcome::Written)
        _preferences.setValue(Preferences::exportFolder, QFileInfo(fileName).absolutePath());
    else if (outcome == ExportWriter::Outcome::Failed)
        alertFailure(name, failure);
}

void AnimationController::alertFailure(const QString& fileName, const QString& reason) {
    QMessageBox alert;
    alert.setText(tr("Can't export \"%1\"").arg(fileName));
    alert.setInformativeText(reason);
    alert.addButton(tr("OK"), QMessageBox::AcceptRole);
    alert.exec();
}
