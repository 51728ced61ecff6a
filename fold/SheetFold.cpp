// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "fold/SheetFold.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace {

double lengthOf(const FoldLayout& layout, FoldSize sheet) {
    return layout.axis() == FoldLayout::Axis::vertical ? sheet.width : sheet.height;
}

std::vector<double> widthsOf(const std::vector<double>& creases) {
    std::vector<double> widths(creases.size() - 1);
    for (std::size_t i = 0; i + 1 < creases.size(); ++i)
        widths[i] = creases[i + 1] - creases[i];
    return widths;
}

constexpr double degreesPerRadian = 180.0 / 3.14159265358979323846;

// An edge turns the crease next to it; a crease line turns its own crease.
int creaseOfLine(int line, int panelCount) {
    return std::clamp(line - 1, 0, panelCount - 2);
}

} // namespace

SheetFold::SheetFold(const FoldLayout& layout, FoldSize sheetSize, const PanelPaper& paper)
    : _layout(layout), _sheetSize(sheetSize), _paper(paper), _model(FoldModel(sheetSize)) {
    if (layout.isHinged())
        _model = flatHinged();
    else if (!layout.isClassic())
        _model = PanelFoldModel(layout, sheetSize);
}

// Lengths as printed become sheet units in proportion to the sheet shown.
HingedFold SheetFold::flatHinged() const {
    const double length = lengthOf(_layout, _sheetSize);
    const double printed = lengthOf(_layout, _paper.printedSize);
    const double toSheet = printed > 0.0 ? length / printed : 1.0;
    std::vector<double> widths =
        HingedFold::presetWidths(_layout, length, _paper.foldInAllowance * toSheet);
    if (int(_paper.widths.size()) == _layout.panelCount()) {
        widths = _paper.widths;
        for (double& width : widths)
            width *= length;
    }
    HingedFold fold(_layout, widths, _paper.thickness * toSheet);
    fold.setWidthsFixed(!_paper.widths.empty());
    return fold;
}

FoldSnapshot SheetFold::snapshot(float pitch) const {
    if (const FoldModel* model = classic())
        return FoldSnapshot::take(*model, pitch);
    if (const PanelFoldModel* model = panels())
        return FoldSnapshot::take(*model, pitch);
    FoldSnapshot snapshot;
    snapshot.pitch = pitch;
    snapshot.layout = _layout;
    snapshot.panelCreases = creases();
    snapshot.panelProfile = profile();
    snapshot.hingedAngles = hinged()->angles();
    snapshot.hingedThickness = hinged()->thickness();
    return snapshot;
}

// The folds come from these models, so a panel fold is sound and hinged angles are allowed.
void SheetFold::restore(const FoldSnapshot& snapshot) {
    if (FoldModel* model = std::get_if<FoldModel>(&_model))
        model->restore(snapshot);
    else if (PanelFoldModel* model = std::get_if<PanelFoldModel>(&_model))
        model->restore(snapshot.panelCreases, snapshot.panelProfile);
    else if (HingedFold* model = hinged(); snapshot.panelCreases.size() > 1) {
        HingedFold fold(_layout, widthsOf(snapshot.panelCreases), snapshot.hingedThickness);
        fold.setWidthsFixed(model->widthsFixed());
        if (fold.setAngles(snapshot.hingedAngles))
            *model = fold;
    }
}

void SheetFold::setPose(HingedFold::Pose pose) {
    if (HingedFold* model = hinged()) {
        model->setAngles(model->poseAngles(pose));
        return;
    }
    if (_layout.isClassic()) {
        _model = FoldModel(_sheetSize);
        return;
    }
    PanelFoldModel model(_layout, _sheetSize);
    if (pose != HingedFold::Pose::flat)
        model.presentationPose();
    _model = model;
}

FoldPoint SheetFold::moveLine(int line, FoldPoint move, float pitch, double snapDegrees) {
    if (FoldModel* model = std::get_if<FoldModel>(&_model))
        return model->moveLine(line, move, pitch);
    if (PanelFoldModel* model = std::get_if<PanelFoldModel>(&_model))
        return model->moveLine(line, move, pitch);
    HingedFold& model = *hinged();
    const int crease = creaseOfLine(line, model.panelCount());
    // The panel beyond the crease, seen from the anchor, turns as if its far edge followed the
    // pointer: toward the anchor it folds away from the viewer.
    const bool rightOfAnchor = crease >= model.anchorPanel();
    const double radius = model.widths()[std::size_t(rightOfAnchor ? crease + 1 : crease)];
    const double towardAnchor = rightOfAnchor ? -move.x : move.x;
    double turn = -towardAnchor / radius * degreesPerRadian;
    if (snapDegrees > 0.0) {
        const double current = model.angles()[std::size_t(crease)];
        turn = std::round((current + turn) / snapDegrees) * snapDegrees - current;
    }
    const double applied = model.turnCrease(crease, turn);
    const double moved = -applied / degreesPerRadian * radius;
    const bool creaseLine = line > 0 && line < model.panelCount();
    double along = creaseLine && move.y != 0.0 ? model.moveCrease(crease, move.y) : 0.0;
    // The window holds the panels of the layout's own widths swinging; no crease moves past that.
    if (along != 0.0 && model.reach() > HingedFold::presetReach(_layout, model.length()) + 1e-9) {
        model.moveCrease(crease, -along);
        along = 0.0;
    }
    return {rightOfAnchor ? -moved : moved, along};
}

int SheetFold::lineCount() const {
    if (const PanelFoldModel* model = panels())
        return model->lineCount();
    if (const HingedFold* model = hinged())
        return model->panelCount() + 1;
    return creaseLineCount;
}

std::vector<double> SheetFold::creases() const {
    if (const PanelFoldModel* model = panels())
        return model->creases();
    if (const HingedFold* model = hinged())
        return model->creases();
    const auto& creases = classic()->creases();
    return {creases.begin(), creases.end()};
}

std::vector<FoldPoint> SheetFold::profile() const {
    if (const PanelFoldModel* model = panels())
        return model->profile();
    if (const HingedFold* model = hinged())
        return model->profile();
    const auto& profile = classic()->profile();
    return {profile.begin(), profile.end()};
}

std::vector<HingedFold::SurfacePoint> SheetFold::surface() const {
    if (const HingedFold* model = hinged())
        return model->surface();
    return {};
}
