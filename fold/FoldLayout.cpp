// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "fold/FoldLayout.h"

#include <algorithm>
#include <array>
#include <charconv>

namespace {

constexpr std::string_view accordionPrefix = "accordion-";

struct HingedName {
    FoldLayout::Shape shape;
    std::string_view name;
    int panels;
};

constexpr std::array hingedNames{
    HingedName{FoldLayout::Shape::letter, "letter", 3},
    HingedName{FoldLayout::Shape::roll, "roll-4", 4},
    HingedName{FoldLayout::Shape::gate, "gate", 3},
    HingedName{FoldLayout::Shape::doubleGate, "double-gate", 4},
    HingedName{FoldLayout::Shape::doubleParallel, "double-parallel", 4},
};

const HingedName* hingedNamed(FoldLayout::Shape shape) {
    const auto found = std::ranges::find(hingedNames, shape, &HingedName::shape);
    return found == hingedNames.end() ? nullptr : &*found;
}

std::optional<int> accordionPanelsNamed(std::string_view name) {
    if (name == "card")
        return 2;
    if (name == "z-fold")
        return 3;
    if (!name.starts_with(accordionPrefix))
        return std::nullopt;
    const std::string_view digits = name.substr(accordionPrefix.size());
    int panels = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), panels);
    // Only the plain decimal spelling counts: no sign, no leading zero, nothing after it.
    if (error != std::errc() || end != digits.data() + digits.size() || digits.starts_with('0'))
        return std::nullopt;
    if (panels < FoldLayout::fewestAccordionPanels || panels > FoldLayout::mostAccordionPanels)
        return std::nullopt;
    return panels;
}

} // namespace

FoldLayout FoldLayout::accordion(int panels, Axis axis) {
    return {Shape::accordion, std::clamp(panels, fewestAccordionPanels, mostAccordionPanels), axis};
}

FoldLayout FoldLayout::tent(Axis axis) {
    return {Shape::tent, 0, axis};
}

FoldLayout FoldLayout::twoTents(Axis axis) {
    return {Shape::twoTents, 0, axis};
}

FoldLayout FoldLayout::hinged(Shape shape, Axis axis) {
    return {hingedNamed(shape) ? shape : Shape::letter, 0, axis};
}

bool FoldLayout::isHinged() const {
    return hingedNamed(_shape) != nullptr;
}

std::optional<FoldLayout> FoldLayout::fromName(std::string_view name, Axis axis) {
    if (name == "two-tents")
        return twoTents(axis);
    if (name == "tent")
        return tent(axis);
    if (const std::optional<int> panels = accordionPanelsNamed(name))
        return accordion(*panels, axis);
    const auto hinged = std::ranges::find(hingedNames, name, &HingedName::name);
    if (hinged != hingedNames.end())
        return FoldLayout(hinged->shape, 0, axis);
    return std::nullopt;
}

std::optional<FoldLayout::Axis> FoldLayout::axisFromName(std::string_view name) {
    if (name == "vertical")
        return Axis::vertical;
    if (name == "horizontal")
        return Axis::horizontal;
    return std::nullopt;
}

std::string_view FoldLayout::axisName(Axis axis) {
    return axis == Axis::vertical ? "vertical" : "horizontal";
}

std::vector<FoldLayout> FoldLayout::presets(Axis axis) {
    std::vector<FoldLayout> layouts{twoTents(axis), tent(axis)};
    for (int panels = fewestAccordionPanels; panels <= mostAccordionPanels; ++panels)
        layouts.push_back(accordion(panels, axis));
    for (const HingedName& hinged : hingedNames)
        layouts.push_back(FoldLayout(hinged.shape, 0, axis));
    return layouts;
}

std::string FoldLayout::name() const {
    if (const HingedName* hinged = hingedNamed(_shape))
        return std::string(hinged->name);
    switch (_shape) {
    case Shape::twoTents:
        return "two-tents";
    case Shape::tent:
        return "tent";
    default:
        break;
    }
    if (_accordionPanels == 2)
        return "card";
    if (_accordionPanels == 3)
        return "z-fold";
    return std::string(accordionPrefix) + std::to_string(_accordionPanels);
}

int FoldLayout::panelCount() const {
    if (const HingedName* hinged = hingedNamed(_shape))
        return hinged->panels;
    switch (_shape) {
    case Shape::twoTents:
        return 6;
    case Shape::tent:
        return 4;
    default:
        break;
    }
    return _accordionPanels;
}

FoldLayout FoldLayout::withAxis(Axis axis) const {
    FoldLayout layout = *this;
    layout._axis = axis;
    return layout;
}
