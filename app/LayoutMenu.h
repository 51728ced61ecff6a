// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "fold/FoldLayout.h"

#include <QActionGroup>
#include <QMenu>
#include <QObject>

#include <functional>
#include <memory>
#include <vector>

class Document;

// The Layout menu: the presets by their words, the accordions of four panels and more in a
// submenu, the folds that close flat, Horizontal Creases and Check Closing. It shows the layout of
// the document in front, checked, and a choice changes that document's layout, one step for Undo.
class LayoutMenu : public QObject {
    Q_OBJECT

public:
    // The document in front, or null.
    using DocumentFinder = std::function<Document*()>;

    LayoutMenu();

    QMenu* menu() const { return _menu.get(); }
    QAction* horizontalAction() const { return _horizontal; }
    // The preset's item in the menu or its submenu; the presets' axis does not count.
    QAction* presetAction(const FoldLayout& layout) const;
    void setDocumentFinder(DocumentFinder finder) { _findDocument = std::move(finder); }

private:
    void addPreset(QMenu* menu, const FoldLayout& layout);
    void showLayoutOfDocument();
    void choose(const FoldLayout& layout);
    // Says whether the panels of the document in front close flat.
    void checkClosing();

    std::unique_ptr<QMenu> _menu;
    std::unique_ptr<QMenu> _accordionMenu;
    QActionGroup _presetGroup{this};
    QAction* _horizontal = nullptr;
    QAction* _checkClosing = nullptr;
    std::vector<FoldLayout> _presets; // vertical, in the order of _presetGroup's actions
    DocumentFinder _findDocument;
};
