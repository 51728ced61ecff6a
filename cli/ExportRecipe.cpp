// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/ExportRecipe.h"

#include "document/PrintedLength.h"

#include "document/RendererSetup.h"
#include "settings/Preferences.h"

#include "media/PictureReader.h"

#include <QFile>

#include <cmath>

namespace {

// The command line's screen: 16:9 with nothing taken by panels, as a full-screen virtual display.
SheetSizing sizingForScreenHeight(int height) {
    const FoldScreen screen{double(height), {height * 16.0 / 9.0, double(height)}};
    return SheetSizing(screen, 1.0);
}

} // namespace

ExportRecipe::Defaults ExportRecipe::Defaults::of(const Preferences& preferences) {
    // Like Copy unless told otherwise.
    return {preferences.value(Preferences::copyWithShadow),
            preferences.value(Preferences::copyWithCreaseLine),
            preferences.value(Preferences::creaseLineColor),
            preferences.value(Preferences::shading),
            preferences.value(Preferences::shadowOpacity),
            double(preferences.value(Preferences::shadowBlur)),
            double(preferences.value(Preferences::shadowOffset)),
            RendererSetup::paperLook(preferences)};
}

ExportRecipe::ExportRecipe(const CommandLine::ExportSettings& settings, const Defaults& defaults,
                           const std::optional<ExportFormat>& still, const FoldLayout& layout,
                           double foldYaw)
    : _sizing(sizingForScreenHeight(settings.screenHeight)), _layout(layout),
      _pitch(settings.pitch), _yaw(settings.yaw.value_or(foldYaw)), _settings(settings) {
    const bool byWidth = settings.width || (!still && !settings.scale);
    _options.scale = byWidth ? 0 : settings.scale.value_or(1);
    _options.pixelWidth = settings.width.value_or(still ? 0 : animationWidth);
    _options.withShadow = settings.shadow.value_or(defaults.withShadow);
    _options.withCreaseLine = settings.lines.value_or(defaults.withCreaseLine);
    _options.transparentBackground = !settings.background && (!still || still->hasAlpha);
    _options.backgroundColor = settings.background.value_or(QColor(Qt::white));
    _look.creaseLineColor = defaults.creaseLineColor;
    _look.shadowOpacity = settings.shadowOpacity.value_or(defaults.shadowOpacity) / 100.0;
    _look.shadowBlur = settings.shadowBlur.value_or(defaults.shadowBlur);
    _look.shadowOffset = settings.shadowOffset.value_or(defaults.shadowOffset);
    _shading = settings.shading.value_or(defaults.shading) / 100.0f;
    setPaper(settings, defaults.paper);
    setScene(settings);
}

// The floor's shadow stands in for the window's drop shadow.
void ExportRecipe::setScene(const CommandLine::ExportSettings& settings) {
    _floor.shown = settings.floor;
    _floor.colour = settings.surfaceColour.value_or(_floor.colour);
    if (settings.light) {
        _floor.lightAzimuth = settings.light->azimuth;
        _floor.lightElevation = settings.light->elevation;
    }
    _floor.picture = readPicture(settings.surfacePicture);
    _options.backgroundPicture = readPicture(settings.backgroundPicture);
    if (_floor.shown)
        _options.withShadow = false;
}

QImage ExportRecipe::readPicture(const QString& path) {
    if (path.isEmpty())
        return {};
    PictureReader::Result read =
        PictureReader::read(QFile::encodeName(path), [](QSize pixels) { return pixels; });
    if (read.picture.isNull() && _sceneFailure.isEmpty())
        _sceneFailure = QCoreApplication::translate("ExportRecipe", "%1 cannot be read: %2")
                            .arg(path, read.failure);
    return std::move(read.picture);
}

FloorScene ExportRecipe::floor(QSizeF printedPoints) const {
    FloorScene floor = _floor;
    floor.printedSheetPoints = _settings.sheetPoints.value_or(printedPoints);
    return floor;
}

// Any other word than same or paper names the back picture's file.
void ExportRecipe::setPaper(const CommandLine::ExportSettings& settings,
                            const PaperLook& defaults) {
    _paper = defaults;
    if (!settings.back.isEmpty()) {
        _paper.back = RendererSetup::backOfName(settings.back).value_or(PaperLook::Back::picture);
        if (_paper.back == PaperLook::Back::picture)
            _backPictureFile = settings.back;
    }
    _paper.backColour = settings.backColour.value_or(defaults.backColour);
    _paper.backTurn = settings.backTurn.value_or(defaults.backTurn);
    const auto percent = [](const std::optional<int>& given, float fallback) {
        return given ? *given / 100.0f : fallback;
    };
    _paper.grain = percent(settings.grain, defaults.grain);
    _paper.creaseShading = percent(settings.creaseShading, defaults.creaseShading);
    _paper.gloss = percent(settings.gloss, defaults.gloss);
}

// The sheet is the classic's for every layout, as a picture opens; only the window follows the
// layout.
SizingPlan ExportRecipe::plan(QSize picturePixels) const {
    return SizingPlan(picturePixels, _sizing.displaySize(picturePixels), _layout,
                      _yaw != 0 || _settings.motion.sweep != 0);
}

// A back named on the command line wins over the PDF's own pages.
ExportRecipe::BackSide ExportRecipe::backSide(const QString& picture, int pageCount) const {
    if (!_settings.back.isEmpty())
        return {_backPictureFile, {}};
    const int page = _settings.backPage.value_or(pageCount >= 2 ? 2 : 0);
    if (page == 0)
        return {};
    return {picture, {page, _settings.bleedPoints}};
}

PanelPaper ExportRecipe::panelPaperOf(const CommandLine::ExportSettings& settings,
                                      QSizeF printedPoints) {
    const QSizeF printed = settings.sheetPoints.value_or(printedPoints);
    PanelPaper paper;
    paper.printedSize = {printed.width(), printed.height()};
    paper.thickness = settings.paperThicknessPoints.value_or(paper.thickness);
    paper.foldInAllowance = settings.foldInAllowancePoints.value_or(paper.foldInAllowance);
    paper.widths = settings.panelWidths;
    if (!settings.panelWidthsAreFractions && !paper.widths.empty()) {
        double total = 0;
        for (const double width : paper.widths)
            total += width;
        for (double& width : paper.widths)
            width /= total;
    }
    return paper;
}

QString ExportRecipe::panelWidthsMismatch(const CommandLine::ExportSettings& settings,
                                          QSizeF printedPoints) {
    if (settings.panelWidths.empty() || settings.panelWidthsAreFractions || !settings.layout)
        return {};
    const QSizeF printed = settings.sheetPoints.value_or(printedPoints);
    const bool vertical = settings.layout->axis() == FoldLayout::Axis::vertical;
    const double length = vertical ? printed.width() : printed.height();
    double total = 0;
    for (const double width : settings.panelWidths)
        total += width;
    constexpr double halfMillimetre = 0.5 * PrintedLength::pointsPerMillimetre;
    if (std::abs(total - length) <= halfMillimetre)
        return {};
    return QCoreApplication::translate("ExportRecipe",
                                       "The panels add up to %1 mm, but the sheet is %2 mm %3.")
        .arg(total / PrintedLength::pointsPerMillimetre, 0, 'f', 1)
        .arg(length / PrintedLength::pointsPerMillimetre, 0, 'f', 1)
        .arg(vertical ? QCoreApplication::translate("ExportRecipe", "wide")
                      : QCoreApplication::translate("ExportRecipe", "high"));
}
