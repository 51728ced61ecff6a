// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/LayoutMenu.h"

#include <QAction>
#include <QList>
#include <QMenu>
#include <QObject>
#include <QPointer>
#include <QUndoGroup>

#include <memory>

class AboutBox;
class QMenuBar;

// Pleatora's commands and menus. The same actions serve the start window's menu bar, the
// context menu of the document windows and the shortcuts of every window.
class AppMenus : public QObject {
    Q_OBJECT

public:
    AppMenus();
    ~AppMenus() override;

    QAction* openAction() const { return _open; }
    QAction* closeAction() const { return _close; }
    QAction* copyAction() const { return _copy; }
    QAction* exportAction() const { return _export; }
    QAction* exportAnimationAction() const { return _exportAnimation; }
    QAction* preferencesAction() const { return _preferences; }
    QAction* quitAction() const { return _quit; }
    // Undo and Redo act on the undo stack of the document in front, made the group's active one.
    QUndoGroup& undoGroup() { return _undoGroup; }
    const QUndoGroup& undoGroup() const { return _undoGroup; }
    QAction* undoAction() const { return _undo; }
    QAction* redoAction() const { return _redo; }
    QAction* resetFoldAction() const { return _resetFold; }
    QAction* saveFoldAction() const { return _saveFold; }
    QAction* applyFoldAction() const { return _applyFold; }
    QAction* backPictureAction() const { return _backPicture; }
    QAction* pagesAction() const { return _pages; }
    LayoutMenu& layoutMenu() { return _layoutMenu; }
    const LayoutMenu& layoutMenu() const { return _layoutMenu; }
    // Shows the About box, or brings the one already up to the front.
    QAction* aboutAction() const { return _about; }
    // The actions with shortcuts, to be added to every Pleatora window.
    QList<QAction*> shortcutActions() const;
    // The actions whose enabled state the application sets.
    QList<QAction*> commandActions() const;

    QMenu* openRecentMenu() const { return _openRecentMenu.get(); }
    QMenu* windowMenu() const { return _windowMenu.get(); }
    // The whole menu in one pop-up, for a right click on a document window.
    QMenu* contextMenu() const { return _contextMenu.get(); }
    // The menus that show the command actions, whose enabled state is refreshed before they show.
    QList<QMenu*> commandMenus() const;

    void fillMenuBar(QMenuBar* menuBar);

private:
    QAction* makeAction(const QString& text, const QList<QKeySequence>& shortcuts = {});
    void buildContextMenu();
    void fillFileMenu();
    void fillEditMenu();
    void showAbout();

    QUndoGroup _undoGroup; // before the actions made from it
    QAction* _undo;
    QAction* _redo;
    QAction* _open;
    QAction* _close;
    QAction* _copy;
    QAction* _export;
    QAction* _exportAnimation;
    QAction* _preferences;
    QAction* _quit;
    QAction* _resetFold;
    QAction* _saveFold;
    QAction* _applyFold;
    QAction* _backPicture;
    QAction* _pages;
    QAction* _about;
    QPointer<AboutBox> _aboutBox;
    LayoutMenu _layoutMenu;
    std::unique_ptr<QMenu> _openRecentMenu;
    std::unique_ptr<QMenu> _windowMenu;
    std::unique_ptr<QMenu> _contextMenu;
    std::unique_ptr<QMenu> _fileMenu;
    std::unique_ptr<QMenu> _editMenu;
    std::unique_ptr<QMenu> _helpMenu;
};
