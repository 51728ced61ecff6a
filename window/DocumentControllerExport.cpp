// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
//
// Export of a document: the folded picture drawn afresh at any size for a file, and the picture a
// drag out of the window carries.
#include "window/DocumentController.h"

#include "document/ModelExport.h"
#include "document/RendererSetup.h"
#include "media/ExportWriter.h"
#include "media/Failure.h"
#include "media/GltfWriter.h"
#include "media/PictureEncoder.h"
#include "window/WindowLog.h"

#include <QDir>
#include <QMimeData>
#include <QStandardPaths>

QImage DocumentController::exportPicture(const ExportOptions& options,
                                         const SheetRenderer::TileProgress& progress) {
    return _presenter->exportPicture(*_document, options, progress);
}

ExportWriter::Outcome DocumentController::exportModel(const ExportOptions& options,
                                                      const QString& fileName,
                                                      const ExportFormat& format,
                                                      QString* failure) {
    const QSize texturePixels = modelTexturePixels(options);
    const std::optional<ModelExport::Sides> sides = modelSides(texturePixels, failure);
    if (!sides)
        return ExportWriter::Outcome::Failed;
    const PaperModel model =
        ModelExport::model(_document->fold(), _document->pitch(), *sides, texturePixels);
    return GltfWriter::write(
        model, format.name == "GLB" ? GltfWriter::Container::binary : GltfWriter::Container::json,
        QFile::encodeName(fileName), failure);
}

ExportWriter::Outcome
DocumentController::exportAnimatedModel(const QString& fileName, const ExportOptions& options,
                                        const ExportFormat& format, const FoldSnapshot& start,
                                        const FoldMotion::Timing& timing, QString* failure) {
    const QSize texturePixels = modelTexturePixels(options);
    const std::optional<ModelExport::Sides> sides = modelSides(texturePixels, failure);
    if (!sides)
        return ExportWriter::Outcome::Failed;
    const SheetFold& fold = _document->fold();
    const std::vector<FoldSnapshot> frames =
        FoldMotion::frames(fold.sheetSize(), start, _document->snapshot(), timing);
    const PaperModel model =
        ModelExport::animatedModel(fold, frames, timing, *sides, texturePixels);
    return GltfWriter::write(
        model, format.name == "GLB" ? GltfWriter::Container::binary : GltfWriter::Container::json,
        QFile::encodeName(fileName), failure);
}

QSize DocumentController::modelTexturePixels(const ExportOptions& options) const {
    const double pixelsPerPoint = _document->sizingPlan().exportPixelsPerPoint(options);
    const FoldSize sheet = _document->fold().sheetSize();
    return {qRound(sheet.width * pixelsPerPoint), qRound(sheet.height * pixelsPerPoint)};
}

std::optional<ModelExport::Sides> DocumentController::modelSides(QSize texturePixels,
                                                                 QString* failure) {
    const Document::Printed& printed = _document->printed();
    const QString pictureFile = _document->url().toLocalFile();
    const PictureReader::Result front = PictureReader::read(
        QFile::encodeName(pictureFile), [&](QSize) { return texturePixels; }, {}, printed.page);
    if (front.picture.isNull()) {
        Failure::fail(failure, front.failure);
        return std::nullopt;
    }
    QImage back;
    if (!_document->backPicture().isEmpty())
        back = RendererSetup::readBackPicture(_document->backPicture(), {}, failure);
    else if (printed.backPage != 0)
        back = RendererSetup::readBackPicture(
            pictureFile, {printed.backPage, printed.page.bleedPoints}, failure);
    if (back.isNull() && (!_document->backPicture().isEmpty() || printed.backPage != 0))
        return std::nullopt;
    return ModelExport::Sides{printed.sheetPoints(), front.picture, back, renderer().paperLook()};
}

AnimationExport::Outcome
DocumentController::exportAnimation(const QString& fileName, const ExportOptions& options,
                                    const FoldSnapshot& start, const FoldMotion::Timing& timing,
                                    const AnimationExport::Progress& progress, QString* failure) {
    const AnimationExport::Outcome outcome = _presenter->exportAnimation(
        *_document, options, fileName, start, timing, progress, failure);
    updateDisplay();
    return outcome;
}

std::unique_ptr<QMimeData> DocumentController::pictureDragData(const QImage& picture) const {
    const QByteArray png = PictureEncoder::encodedData(picture, "PNG");
    if (png.isEmpty())
        return nullptr;
    auto mimeData = std::make_unique<QMimeData>();
    mimeData->setData(QStringLiteral("image/png"), png);
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
    const ExportFormat pngFormat = ExportWriter::formats().first();
    const QString path = QDir(folder).filePath(pngFormat.foldedFileName(url().fileName()));
    QString failure;
    // Renamed over whatever has that name in the cache, a planted link included.
    if (QDir().mkpath(folder) && ExportWriter::writeData(png, QFile::encodeName(path), &failure) ==
                                     ExportWriter::Outcome::Written)
        mimeData->setUrls({QUrl::fromLocalFile(path)});
    else
        qCWarning(windowLog) << "The dragged picture goes without its file:" << path << failure;
    return mimeData;
}
