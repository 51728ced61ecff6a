// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/AppMenus.h"

#include "app/AboutBox.h"

#include <QKeySequence>
#include <QMenuBar>

namespace {
// Some desktops define no Preferences or Quit key; Ctrl+Comma and Ctrl+Q are the common ones.
QList<QKeySequence> shortcutsOr(QKeySequence::StandardKey key, const QKeySequence& fallback) {
    QList<QKeySequence> shortcuts = QKeySequence::keyBindings(key);
    if (shortcuts.isEmpty())
        shortcuts.append(fallback);
    return shortcuts;
}
} // namespace

AppMenus::AppMenus()
    : _undo(_undoGroup.createUndoAction(this)), _redo(_undoGroup.createRedoAction(this)),
      _open(makeAction(tr("&Open..."), QKeySequence::keyBindings(QKeySequence::Open))),
      _close(makeAction(tr("&Close"), QKeySequence::keyBindings(QKeySequence::Close))),
      _copy(makeAction(tr("&Copy"), QKeySequence::keyBindings(QKeySequence::Copy))),
      _export(makeAction(tr("&Export..."), {QKeySequence(Qt::CTRL | Qt::Key_E)})),
      _exportAnimation(
          makeAction(tr("Export &Animation..."), {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_E)})),
      _preferences(makeAction(tr("&Preferences..."),
                              shortcutsOr(QKeySequence::Preferences, Qt::CTRL | Qt::Key_Comma))),
      _quit(makeAction(tr("&Quit"), shortcutsOr(QKeySequence::Quit, Qt::CTRL | Qt::Key_Q))),
      _resetFold(makeAction(tr("Reset &Fold"))),
      _saveFold(
          makeAction(tr("&Save Fold..."), shortcutsOr(QKeySequence::Save, Qt::CTRL | Qt::Key_S))),
      _applyFold(makeAction(tr("&Apply Fold..."))),
      _backPicture(makeAction(tr("&Back Picture..."))), _pages(makeAction(tr("Pa&ges..."))),
      _about(makeAction(tr("A&bout Pleatora"))),
      _openRecentMenu(std::make_unique<QMenu>(tr("Open &Recent"))),
      _windowMenu(std::make_unique<QMenu>(tr("&Window"))), _contextMenu(std::make_unique<QMenu>()),
      _fileMenu(std::make_unique<QMenu>(tr("&File"))),
      _editMenu(std::make_unique<QMenu>(tr("&Edit"))),
      _helpMenu(std::make_unique<QMenu>(tr("&Help"))) {
    _preferences->setMenuRole(QAction::PreferencesRole);
    _quit->setMenuRole(QAction::QuitRole);
    _about->setMenuRole(QAction::AboutRole);
    connect(_about, &QAction::triggered, this, &AppMenus::showAbout);
    _undo->setShortcuts(QKeySequence::Undo);
    _redo->setShortcuts({Qt::CTRL | Qt::SHIFT | Qt::Key_Z, Qt::CTRL | Qt::Key_Y});
    buildContextMenu();
    fillFileMenu();
    fillEditMenu();
    _helpMenu->addAction(_about);
}

AppMenus::~AppMenus() {
    delete _aboutBox;
}

QAction* AppMenus::makeAction(const QString& text, const QList<QKeySequence>& shortcuts) {
    auto* action = new QAction(text, this);
    action->setShortcuts(shortcuts);
    return action;
}

void AppMenus::fillFileMenu() {
    _fileMenu->addAction(_open);
    _fileMenu->addMenu(_openRecentMenu.get());
    _fileMenu->addAction(_close);
    _fileMenu->addSeparator();
    _fileMenu->addAction(_export);
    _fileMenu->addAction(_exportAnimation);
    _fileMenu->addAction(_saveFold);
    _fileMenu->addAction(_applyFold);
    _fileMenu->addAction(_backPicture);
    _fileMenu->addAction(_pages);
    _fileMenu->addSeparator();
    _fileMenu->addAction(_quit);
}

void AppMenus::fillEditMenu() {
    _editMenu->addAction(_undo);
    _editMenu->addAction(_redo);
    _editMenu->addSeparator();
    _editMenu->addAction(_copy);
    _editMenu->addAction(_resetFold);
    _editMenu->addMenu(_layoutMenu.menu());
    _editMenu->addSeparator();
    _editMenu->addAction(_preferences);
}

void AppMenus::buildContextMenu() {
    _contextMenu->addAction(_undo);
    _contextMenu->addAction(_redo);
    _contextMenu->addSeparator();
    _contextMenu->addAction(_open);
    _contextMenu->addMenu(_openRecentMenu.get());
    _contextMenu->addAction(_close);
    _contextMenu->addSeparator();
    _contextMenu->addAction(_copy);
    _contextMenu->addAction(_export);
    _contextMenu->addAction(_exportAnimation);
    _contextMenu->addAction(_resetFold);
    _contextMenu->addMenu(_layoutMenu.menu());
    _contextMenu->addAction(_saveFold);
    _contextMenu->addAction(_applyFold);
    _contextMenu->addAction(_backPicture);
    _contextMenu->addAction(_pages);
    _contextMenu->addSeparator();
    _contextMenu->addAction(_preferences);
    _contextMenu->addSeparator();
    _contextMenu->addMenu(_windowMenu.get());
    _contextMenu->addSeparator();
    _contextMenu->addAction(_about);
    _contextMenu->addAction(_quit);
}

QList<QAction*> AppMenus::shortcutActions() const {
    return {_undo,     _redo,        _open, _close, _copy, _export, _exportAnimation,
            _saveFold, _preferences, _quit};
}

QList<QAction*> AppMenus::commandActions() const {
    return shortcutActions() + QList<QAction*>{_resetFold, _applyFold, _backPicture, _pages};
}

QList<QMenu*> AppMenus::commandMenus() const {
    return {_contextMenu.get(), _fileMenu.get(), _editMenu.get()};
}

void AppMenus::fillMenuBar(QMenuBar* menuBar) {
    menuBar->addMenu(_fileMenu.get());
    menuBar->addMenu(_editMenu.get());
    menuBar->addMenu(_windowMenu.get());
    menuBar->addMenu(_helpMenu.get());
}

void AppMenus::showAbout() {
    if (!_aboutBox)
        _aboutBox = new AboutBox;
    _aboutBox->show();
    _aboutBox->raise();
    _aboutBox->activateWindow();
}
