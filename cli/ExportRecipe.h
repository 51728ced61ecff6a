// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "cli/CommandLine.h"
#include "document/ExportOptions.h"
#include "document/ExportPicture.h"
#include "document/SheetSizing.h"
#include "document/SizingPlan.h"
#include "fold/PanelPaper.h"
#include "media/ExportWriter.h"
#include "render/FloorScene.h"
#include "render/PaperLook.h"

#include <QColor>
#include <QSize>

#include <optional>

class Preferences;

// How one picture of an export run is drawn: its export settings over the user's preferences,
// worked out without touching the preferences again, so that any worker thread can use it.
class ExportRecipe {
public:
    // The preferences an export falls back on, read once on the main thread.
    struct Defaults {
        bool withShadow = false;
        bool withCreaseLine = false;
        QColor creaseLineColor;
        int shading = 0;       // percent
        int shadowOpacity = 0; // percent
        double shadowBlur = 0;
        double shadowOffset = 0;
        PaperLook paper;

        static Defaults of(const Preferences& preferences);
    };

    // An animation is 1080 pixels wide unless the settings give a width or scale.
    static constexpr int animationWidth = 1080;

    // still: the format of a still; none for an animation, whose encoder decides how a
    // transparent background is kept. layout: the one the picture is folded in, --layout's or the
    // fold file's; foldYaw: the fold file's yaw, which --yaw overrides.
    ExportRecipe(const CommandLine::ExportSettings& settings, const Defaults& defaults,
                 const std::optional<ExportFormat>& still, const FoldLayout& layout = FoldLayout(),
                 double foldYaw = 0);

    // The sizes of a picture of that many pixels: its sheet, the layout's window for it, large
    // enough for any pose it allows (and any yaw once turned), and the export's pixels.
    SizingPlan plan(QSize picturePixels) const;
    double yaw() const { return _yaw; }

    const FoldLayout& layout() const { return _layout; }
    const ExportOptions& options() const { return _options; }
    const ExportPicture::Look& look() const { return _look; }
    float shading() const { return _shading; }
    const PaperLook& paperLook() const { return _paper; }
    // The back picture's file when the paper's back is a picture.
    const QString& backPictureFile() const { return _backPictureFile; }
    // The page of a PDF that is the front.
    ArtworkPage frontPage() const {
        return {_settings.frontPage.value_or(1), _settings.bleedPoints};
    }
    // What is printed on the back of a picture of pageCount pages (0 for a picture): a back
    // picture's file, or a page of the picture's own PDF (the second, unless --pages says); an
    // empty file for none. The paper's back is then a picture.
    struct BackSide {
        QString file;
        ArtworkPage page;
    };
    BackSide backSide(const QString& picture, int pageCount) const;
    std::optional<double> pitch() const { return _pitch; }
    // The paper hinged panels are folded from, on a sheet printed at this size unless the
    // settings give the sheet's size; the widths are those given, as fractions.
    PanelPaper panelPaper(QSizeF printedPoints) const {
        return panelPaperOf(_settings, printedPoints);
    }
    static PanelPaper panelPaperOf(const CommandLine::ExportSettings& settings,
                                   QSizeF printedPoints);
    // Why the widths given with their unit cannot be this sheet's panels (they must add up to
    // its length across the creases within half a millimetre); empty when they can.
    static QString panelWidthsMismatch(const CommandLine::ExportSettings& settings,
                                       QSizeF printedPoints);
    HingedFold::Pose pose() const { return _settings.pose; }
    // The floor of a sheet printed at this size unless the settings give the sheet's size.
    FloorScene floor(QSizeF printedPoints) const;
    // Why the floor's or the background's picture cannot be read; empty when they can.
    const QString& sceneFailure() const { return _sceneFailure; }

private:
    void setPaper(const CommandLine::ExportSettings& settings, const PaperLook& defaults);
    void setScene(const CommandLine::ExportSettings& settings);
    QImage readPicture(const QString& path);

    SheetSizing _sizing;
    FoldLayout _layout;
    ExportOptions _options;
    ExportPicture::Look _look;
    float _shading = 0;
    PaperLook _paper;
    QString _backPictureFile;
    FloorScene _floor;
    QString _sceneFailure;
    std::optional<double> _pitch;
    double _yaw = 0;
    CommandLine::ExportSettings _settings;
};
