// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "fold/FoldTypes.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// How a sheet is folded: a preset shape and the direction its creases run. The default is the
// classic: two tents between flat margins, creases running down the sheet.
class FoldLayout {
public:
    // The hinged shapes fold rigid panels flat onto each other, as printers fold them.
    enum class Shape { twoTents, tent, accordion, letter, roll, gate, doubleGate, doubleParallel };
    // Vertical creases run down the sheet, so the profile runs across it; horizontal ones run
    // across it, so the profile runs down it.
    enum class Axis { vertical, horizontal };

    static constexpr int fewestAccordionPanels = 2;
    static constexpr int mostAccordionPanels = 12;
    static_assert(mostAccordionPanels + 1 == mostCreaseLines);

    FoldLayout() = default;
    // Panels outside 2..12 are brought into that range.
    static FoldLayout accordion(int panels, Axis axis = Axis::vertical);
    static FoldLayout tent(Axis axis = Axis::vertical);
    static FoldLayout twoTents(Axis axis = Axis::vertical);
    // letter, roll, gate, doubleGate or doubleParallel.
    static FoldLayout hinged(Shape shape, Axis axis = Axis::vertical);

    // Reads a preset name (`two-tents`, `tent`, `card`, `z-fold`, `accordion-N`, `letter`,
    // `roll-4`, `gate`, `double-gate`, `double-parallel`); nothing for any other text.
    static std::optional<FoldLayout> fromName(std::string_view name, Axis axis = Axis::vertical);
    static std::optional<Axis> axisFromName(std::string_view name);
    static std::string_view axisName(Axis axis);
    // Every preset once, in menu order, with the given axis.
    static std::vector<FoldLayout> presets(Axis axis);

    // The preset's name; an accordion of two or three panels is called `card` or `z-fold`.
    std::string name() const;
    Shape shape() const { return _shape; }
    Axis axis() const { return _axis; }
    // The number of panels between the sheet's edges, flat margins included.
    int panelCount() const;
    FoldLayout withAxis(Axis axis) const;
    bool isClassic() const { return _shape == Shape::twoTents && _axis == Axis::vertical; }
    // Whether the panels are rigid and hinged at the creases, folding up to flat onto each other.
    bool isHinged() const;

    bool operator==(const FoldLayout&) const = default;

private:
    FoldLayout(Shape shape, int accordionPanels, Axis axis)
        : _shape(shape), _accordionPanels(accordionPanels), _axis(axis) {}

    Shape _shape = Shape::twoTents;
    int _accordionPanels = 0;
    Axis _axis = Axis::vertical;
};
