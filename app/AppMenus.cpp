#include "app/AppMenus.h"

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
    : _open(makeAction(tr("&Open..."), QKeySequence::keyBindings(QKeySequence::Open))),
      _close(makeAction(tr("&Close"), QKeySequence::keyBindings(QKeySequence::Close))),
      _copy(makeAction(tr("&Copy"), QKeySequence::keyBindings(QKeySequence::Copy))),
      _preferences(makeAction(tr("&Preferences..."),
                              shortcutsOr(QKeySequence::Preferences, Qt::CTRL | Qt::Key_Comma))),
      _quit(makeAction(tr("&Quit"), shortcutsOr(QKeySequence::Quit, Qt::CTRL | Qt::Key_Q))),
      _openRecentMenu(std::make_unique<QMenu>(tr("Open &Recent"))),
      _windowMenu(std::make_unique<QMenu>(tr("&Window"))), _contextMenu(std::make_unique<QMenu>()),
      _fileMenu(std::make_unique<QMenu>(tr("&File"))),
      _editMenu(std::make_unique<QMenu>(tr("&Edit"))) {
    _preferences->setMenuRole(QAction::PreferencesRole);
    _quit->setMenuRole(QAction::QuitRole);
    buildContextMenu();

    _fileMenu->addAction(_open);
    _fileMenu->addMenu(_openRecentMenu.get());
    _fileMenu->addAction(_close);
    _fileMenu->addSeparator();
    _fileMenu->addAction(_quit);
    _editMenu->addAction(_copy);
    _editMenu->addSeparator();
    _editMenu->addAction(_preferences);
}

QAction* AppMenus::makeAction(const QString& text, const QList<QKeySequence>& shortcuts) {
    auto* action = new QAction(text, this);
    action->setShortcuts(shortcuts);
    return action;
}

void AppMenus::buildContextMenu() {
    _contextMenu->addAction(_open);
    _contextMenu->addMenu(_openRecentMenu.get());
    _contextMenu->addAction(_close);
    _contextMenu->addSeparator();
    _contextMenu->addAction(_copy);
    _contextMenu->addAction(_preferences);
    _contextMenu->addSeparator();
    _contextMenu->addMenu(_windowMenu.get());
    _contextMenu->addSeparator();
    _contextMenu->addAction(_quit);
}

QList<QAction*> AppMenus::shortcutActions() const {
    return {_open, _close, _copy, _preferences, _quit};
}

QList<QMenu*> AppMenus::commandMenus() const {
    return {_contextMenu.get(), _fileMenu.get(), _editMenu.get()};
}

void AppMenus::fillMenuBar(QMenuBar* menuBar) {
    menuBar->addMenu(_fileMenu.get());
    menuBar->addMenu(_editMenu.get());
    menuBar->addMenu(_windowMenu.get());
}
