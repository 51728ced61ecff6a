// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/LayoutMenu.h"

#include "app/LayoutTitles.h"
#include "document/ClosingReport.h"
#include "document/Document.h"

#include <QMessageBox>

#include <algorithm>

namespace {
// Accordions of this many panels and more go in the submenu; fewer have names of their own.
constexpr int firstAccordionInSubmenu = 4;
} // namespace

LayoutMenu::LayoutMenu()
    : _menu(std::make_unique<QMenu>(tr("&Layout"))),
      _accordionMenu(std::make_unique<QMenu>(tr("&Accordion"))) {
    // Nothing is checked while no document is in front.
    _presetGroup.setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    const std::vector<FoldLayout> presets = FoldLayout::presets(FoldLayout::Axis::vertical);
    for (const FoldLayout& layout : presets) {
        const bool inSubmenu = layout.shape() == FoldLayout::Shape::accordion &&
                               layout.panelCount() >= firstAccordionInSubmenu;
        if (!layout.isHinged())
            addPreset(inSubmenu ? _accordionMenu.get() : _menu.get(), layout);
    }
    _menu->addMenu(_accordionMenu.get());
    // The folds that close flat, as printers fold them.
    _menu->addSeparator();
    for (const FoldLayout& layout : presets) {
        if (layout.isHinged())
            addPreset(_menu.get(), layout);
    }
    _menu->addSeparator();
    _horizontal = _menu->addAction(tr("&Horizontal Creases"));
    _horizontal->setCheckable(true);
    connect(_horizontal, &QAction::triggered, this, [this](bool horizontal) {
        const QAction* preset = _presetGroup.checkedAction();
        if (!preset)
            return;
        choose(_presets[size_t(preset->data().toInt())].withAxis(
            horizontal ? FoldLayout::Axis::horizontal : FoldLayout::Axis::vertical));
    });
    _checkClosing = _menu->addAction(tr("Check &Closing..."));
    connect(_checkClosing, &QAction::triggered, this, &LayoutMenu::checkClosing);
    connect(_menu.get(), &QMenu::aboutToShow, this, &LayoutMenu::showLayoutOfDocument);
}

void LayoutMenu::checkClosing() {
    const Document* document = _findDocument ? _findDocument() : nullptr;
    if (!document || !document->layout().isHinged())
        return;
    const ClosingReport report(document->layout(), document->paper());
    QMessageBox box(
        report.closes() ? QMessageBox::Information : QMessageBox::Warning, tr("Check Closing"),
        report.closes() ? tr("The panels close flat.") : tr("The panels do not close flat."),
        QMessageBox::Ok);
    box.setInformativeText(report.text());
    box.exec();
}

void LayoutMenu::addPreset(QMenu* menu, const FoldLayout& layout) {
    QAction* action = menu->addAction(LayoutTitles::title(layout));
    action->setCheckable(true);
    action->setData(int(_presets.size()));
    _presetGroup.addAction(action);
    _presets.push_back(layout);
    connect(action, &QAction::triggered, this, [this, layout] {
        choose(layout.withAxis(_horizontal->isChecked() ? FoldLayout::Axis::horizontal
                                                        : FoldLayout::Axis::vertical));
    });
}

QAction* LayoutMenu::presetAction(const FoldLayout& layout) const {
    const auto found = std::ranges::find(_presets, layout.withAxis(FoldLayout::Axis::vertical));
    return _presetGroup.actions().at(found - _presets.begin());
}

// Without a document in front there is nothing to change, and nothing is checked.
void LayoutMenu::showLayoutOfDocument() {
    const Document* document = _findDocument ? _findDocument() : nullptr;
    for (QAction* action : _presetGroup.actions())
        action->setEnabled(document != nullptr);
    _horizontal->setEnabled(document != nullptr);
    _checkClosing->setEnabled(document && document->layout().isHinged());
    _accordionMenu->setEnabled(document != nullptr);
    if (!document) {
        if (QAction* checked = _presetGroup.checkedAction())
            checked->setChecked(false);
        _horizontal->setChecked(false);
        return;
    }
    const FoldLayout layout = document->layout();
    presetAction(layout)->setChecked(true);
    _horizontal->setChecked(layout.axis() == FoldLayout::Axis::horizontal);
}

// A layout is shown in a pose that reads at once; Reset Fold lays it flat.
void LayoutMenu::choose(const FoldLayout& layout) {
    if (Document* document = _findDocument ? _findDocument() : nullptr)
        document->setLayout(layout, HingedFold::Pose::presentation);
}
