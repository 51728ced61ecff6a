// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "fold/FoldLayout.h"

#include <gtest/gtest.h>

#include <set>

namespace {

using Axis = FoldLayout::Axis;

TEST(FoldLayout, DefaultIsTheClassic) {
    const FoldLayout layout;
    EXPECT_TRUE(layout.isClassic());
    EXPECT_EQ(layout.name(), "two-tents");
    EXPECT_EQ(layout.panelCount(), 6);
    EXPECT_FALSE(layout.withAxis(Axis::horizontal).isClassic());
    EXPECT_FALSE(FoldLayout::tent().isClassic());
}

TEST(FoldLayout, EveryPresetReadsBackFromItsName) {
    for (const Axis axis : {Axis::vertical, Axis::horizontal}) {
        const std::vector<FoldLayout> presets = FoldLayout::presets(axis);
        ASSERT_EQ(presets.size(), 18u);
        std::set<std::string> names;
        for (const FoldLayout& layout : presets) {
            EXPECT_EQ(layout.axis(), axis);
            names.insert(layout.name());
            EXPECT_EQ(FoldLayout::fromName(layout.name(), axis), layout) << layout.name();
        }
        EXPECT_EQ(names.size(), presets.size());
    }
}

TEST(FoldLayout, CardAndZFoldAreShortAccordions) {
    EXPECT_EQ(FoldLayout::fromName("accordion-2"), FoldLayout::fromName("card"));
    EXPECT_EQ(FoldLayout::fromName("accordion-3"), FoldLayout::fromName("z-fold"));
    EXPECT_EQ(FoldLayout::accordion(2).name(), "card");
    EXPECT_EQ(FoldLayout::accordion(3).name(), "z-fold");
    EXPECT_EQ(FoldLayout::accordion(12).name(), "accordion-12");
    EXPECT_EQ(FoldLayout::accordion(7).panelCount(), 7);
    EXPECT_EQ(FoldLayout::tent().panelCount(), 4);
}

TEST(FoldLayout, RefusesOtherNames) {
    for (const char* name :
         {"", "Tent", "two tents", "accordion", "accordion-", "accordion-1", "accordion-13",
          "accordion-02", "accordion-+4", "accordion-4x", "accordion- 4", "z fold", "card "})
        EXPECT_FALSE(FoldLayout::fromName(name)) << '"' << name << '"';
}

TEST(FoldLayout, AccordionPanelsStayInRange) {
    EXPECT_EQ(FoldLayout::accordion(1).panelCount(), 2);
    EXPECT_EQ(FoldLayout::accordion(40).panelCount(), 12);
}

TEST(FoldLayout, AxisNames) {
    for (const Axis axis : {Axis::vertical, Axis::horizontal})
        EXPECT_EQ(FoldLayout::axisFromName(FoldLayout::axisName(axis)), axis);
    EXPECT_EQ(FoldLayout::axisName(Axis::horizontal), "horizontal");
    EXPECT_FALSE(FoldLayout::axisFromName("Vertical"));
    EXPECT_FALSE(FoldLayout::axisFromName("across"));
}

} // namespace
