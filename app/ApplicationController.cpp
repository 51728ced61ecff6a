// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ApplicationController.h"

#include "app/FilePaths.h"
#include "app/FoldPanels.h"
#include "app/ImageFileTypes.h"
#include "app/PagesDialog.h"
#include "app/PreferencesController.h"
#include "settings/ApplicationSettings.h"
#include "settings/Preferences.h"
#include "window/DocumentController.h"
#include "window/DocumentWindow.h"

#include <QApplication>
#include <QFileDialog>
#include <QMenuBar>
#include <QTimer>
#include <QWindow>

ApplicationController::ApplicationController(ApplicationSettings& settings,
                                             Preferences& preferences, const QString& handoverName)
    : _settings(settings), _preferences(preferences), _exportController(preferences),
      _animationController(preferences), _recentDocuments(settings),
      _opener(preferences, [this](std::unique_ptr<DocumentController> controller, const QUrl& url,
                                  const std::optional<FoldLayout>& layout) {
          addDocument(std::move(controller), url, layout);
      }) {
    // Pleatora goes on with its start window when the last document closes.
    QApplication::setQuitOnLastWindowClosed(false);
    reloadPreferences();
    rebuildRecentDocuments();

    _menus.fillMenuBar(_startWindow.menuBar());
    _startWindow.addActions(_menus.shortcutActions());
    connectMenus();
    connect(&_startWindow, &StartWindow::filesDropped, this, &ApplicationController::openURLs);
    connect(&_startWindow, &StartWindow::closedByUser, qApp, &QCoreApplication::quit);
    connect(&_handover, &InstanceHandover::filesHandedOver, this,
            &ApplicationController::openHandedOverFiles, Qt::QueuedConnection);
    connect(&_opener, &DocumentOpener::pathDone, this, &ApplicationController::updateStartWindow);
    _handover.listen(handoverName);
}

ApplicationController::~ApplicationController() {
    prepareToQuit();
    // The documents go first: their windows show this delegate's actions and menus.
    _documents.clear();
}

void ApplicationController::start(const QList<QByteArray>& paths,
                                  const std::optional<FoldLayout>& layout) {
    connect(&_preferences, &Preferences::changed, this, &ApplicationController::followPreferences,
            Qt::DirectConnection);
    connect(qApp, &QCoreApplication::aboutToQuit, this, &ApplicationController::prepareToQuit);
    // Queued behind the rebuild of the recent documents, which would otherwise put the
    // older entries back in front of the files opened now.
    QTimer::singleShot(0, this, [this, paths, layout] { openPaths(paths, layout); });
}

// The documents are not closed one by one at the end, so their folds are kept here.
void ApplicationController::prepareToQuit() {
    disconnect(&_preferences, nullptr, this, nullptr);
    for (const auto& controller : _documents)
        controller->rememberFold(_rememberedFolds);
}

void ApplicationController::connectMenus() {
    connect(_menus.openAction(), &QAction::triggered, this, &ApplicationController::openDocument);
    connect(_menus.closeAction(), &QAction::triggered, this, &ApplicationController::performClose);
    connect(_menus.copyAction(), &QAction::triggered, this, &ApplicationController::copy);
    connect(_menus.resetFoldAction(), &QAction::triggered, this, &ApplicationController::resetFold);
    connect(_menus.saveFoldAction(), &QAction::triggered, this, &ApplicationController::saveFold);
    connect(_menus.applyFoldAction(), &QAction::triggered, this, &ApplicationController::applyFold);
    connect(_menus.backPictureAction(), &QAction::triggered, this, [this] {
        if (DocumentController* controller = frontmostDocument())
            FoldPanels::showBackPicturePanel(*controller);
    });
    connect(_menus.pagesAction(), &QAction::triggered, this, &ApplicationController::choosePages);
    connect(_menus.exportAction(), &QAction::triggered, this,
            &ApplicationController::exportDocument);
    connect(_menus.exportAnimationAction(), &QAction::triggered, this,
            &ApplicationController::exportAnimation);
    connect(_menus.preferencesAction(), &QAction::triggered, this,
            &ApplicationController::showPreferences);
    connect(_menus.quitAction(), &QAction::triggered, qApp, &QCoreApplication::quit);
    connect(_menus.openRecentMenu(), &QMenu::aboutToShow, this,
            &ApplicationController::fillOpenRecentMenu);
    connect(_menus.windowMenu(), &QMenu::aboutToShow, this, &ApplicationController::fillWindowMenu);
    for (QMenu* menu : _menus.commandMenus())
        connect(menu, &QMenu::aboutToShow, this, &ApplicationController::updateActions);
    connect(qApp, &QGuiApplication::focusWindowChanged, this,
            &ApplicationController::focusWindowChanged);
    _menus.layoutMenu().setDocumentFinder([this]() -> Document* {
        DocumentController* controller = frontmostDocument();
        return controller ? &controller->document() : nullptr;
    });
}

void ApplicationController::followPreferences() {
    reloadPreferences();
}

void ApplicationController::reloadPreferences() {
    _imageFormat = _preferences.value(Preferences::imageFormat);
}

// The list is rebuilt in full and written once, from the event loop: a crash at start-up leaves
// it as it was instead of erased.
void ApplicationController::rebuildRecentDocuments() {
    const QList<QUrl> urls = _recentDocuments.recentDocumentURLs();
    QTimer::singleShot(0, this, [this, urls] { _recentDocuments.setRecentDocumentURLs(urls); });
}

bool ApplicationController::isActionEnabled(const QAction* item) const {
    if (item == _menus.closeAction())
        return QApplication::activeWindow() != nullptr;
    if (item == _menus.copyAction() || item == _menus.exportAction() ||
        item == _menus.exportAnimationAction())
        return !_documents.empty();
    if (item == _menus.undoAction())
        return _menus.undoGroup().canUndo();
    if (item == _menus.redoAction())
        return _menus.undoGroup().canRedo();
    if (item == _menus.resetFoldAction() || item == _menus.saveFoldAction() ||
        item == _menus.applyFoldAction() || item == _menus.backPictureAction() ||
        item == _menus.pagesAction())
        return frontmostDocument() != nullptr;
    return true;
}

void ApplicationController::updateActions() {
    for (QAction* action : _menus.commandActions())
        action->setEnabled(isActionEnabled(action));
}

void ApplicationController::openDocument() {
    auto* panel = new QFileDialog(nullptr, tr("Open"));
    panel->setAttribute(Qt::WA_DeleteOnClose);
    panel->setFileMode(QFileDialog::ExistingFile);
    panel->setAcceptMode(QFileDialog::AcceptOpen);
    panel->setNameFilter(ImageFileTypes::nameFilter());
    connect(panel, &QFileDialog::finished, this, [this, panel](int result) {
        if (result != QDialog::Accepted)
            return;
        for (const QUrl& url : panel->selectedUrls())
            openUrl(url);
    });
    panel->show();
}

void ApplicationController::openUrl(const QUrl& url) {
    openPaths({FilePaths::pathOfURL(url)});
}

bool ApplicationController::openFile(const QString& path) {
    openPaths({FilePaths::absolutePath(path)});
    return true;
}

void ApplicationController::openPaths(const QList<QByteArray>& paths,
                                      const std::optional<FoldLayout>& layout) {
    _opener.open(paths, layout);
    updateStartWindow();
}

void ApplicationController::addDocument(std::unique_ptr<DocumentController> controller,
                                        const QUrl& url, const std::optional<FoldLayout>& layout) {
    DocumentWindow* window = controller->window();
    window->addActions(_menus.shortcutActions());
    connect(window, &DocumentWindow::contextMenuRequested, this,
            [this](const QPoint& globalPos) { _menus.contextMenu()->popup(globalPos); });
    connect(window, &DocumentWindow::filesDropped, this, &ApplicationController::openURLs);
    connect(window, &DocumentWindow::closeRequested, this,
            [this, window] { closeDocument(window); });
    _menus.undoGroup().addStack(&controller->undoStack());
    controller->recallFold(_rememberedFolds);
    if (layout)
        DocumentOpener::startInLayout(*controller, *layout);

    _documents.push_back(std::move(controller));
    _documents.back()->showWindow();
    // The Window menu lists the documents by their window titles, the file names.
    _recentDocuments.noteNewRecentDocumentURL(url);
    updateActions();
}

void ApplicationController::performClose() {
    QWidget* keyWindow = QApplication::activeWindow();
    if (!keyWindow)
        return;
    auto* documentWindow = qobject_cast<DocumentWindow*>(keyWindow);
    if (!documentWindow) {
        keyWindow->close();
        return;
    }
    closeDocument(documentWindow);
}

DocumentController* ApplicationController::documentForWindow(const QWidget* window) const {
    auto entry = std::ranges::find_if(
        _documents, [window](const auto& controller) { return controller->window() == window; });
    return entry == _documents.end() ? nullptr : entry->get();
}

void ApplicationController::closeDocument(DocumentWindow* documentWindow) {
    auto entry = std::ranges::find_if(
        _documents, [documentWindow](const auto& c) { return c->window() == documentWindow; });
    if (entry == _documents.end())
        return;
    DocumentController* controller = entry->get();
    controller->rememberFold(_rememberedFolds);
    _menus.undoGroup().removeStack(&controller->undoStack());
    controller->stopTimer();
    documentWindow->close();
    disconnect(&_preferences, nullptr, controller, nullptr);
    // Deleted once the event that asked for Close (a key press in that very window) is done.
    entry->release()->deleteLater();
    _documents.erase(entry);
    updateStartWindow();
    updateActions();
}

void ApplicationController::copy() {
    if (DocumentController* controller = documentForWindow(frontmostWindow()))
        controller->copyPicture(_imageFormat);
}

void ApplicationController::resetFold() {
    if (DocumentController* controller = frontmostDocument())
        controller->document().resetFold();
}

void ApplicationController::saveFold() {
    if (DocumentController* controller = frontmostDocument())
        FoldPanels::showSavePanel(*controller);
}

void ApplicationController::applyFold() {
    if (DocumentController* controller = frontmostDocument())
        FoldPanels::showApplyPanel(*controller);
}

void ApplicationController::choosePages() {
    DocumentController* controller = frontmostDocument();
    if (!controller)
        return;
    PagesDialog dialog(controller->document().printed(), controller->window());
    if (dialog.exec() == QDialog::Accepted)
        controller->setPrinted(dialog.printed());
}

void ApplicationController::exportDocument() {
    if (DocumentController* controller = frontmostDocument())
        _exportController.exportDocument(*controller);
}

void ApplicationController::exportAnimation() {
    if (DocumentController* controller = frontmostDocument())
        _animationController.exportAnimation(*controller);
}

void ApplicationController::showPreferences() {
    const bool isFirstShowing = !_preferencesController;
    if (isFirstShowing)
        _preferencesController = std::make_unique<PreferencesController>(_preferences, _settings);
    _preferencesController->showWindow();
    if (isFirstShowing)
        _preferencesController->addShortcutActions(_menus.shortcutActions());
}

void ApplicationController::fillOpenRecentMenu() {
    QMenu* menu = _menus.openRecentMenu();
    menu->clear();
    const QList<QUrl> urls = _recentDocuments.recentDocumentURLs();
    for (const QUrl& url : urls) {
        QAction* item = menu->addAction(url.fileName(), this, [this, url] { openUrl(url); });
        item->setToolTip(url.toLocalFile());
    }
    menu->setToolTipsVisible(true);
    menu->addSeparator();
    QAction* clear = menu->addAction(tr("Clear Menu"), this,
                                     [this] { _recentDocuments.clearRecentDocuments(); });
    clear->setEnabled(!urls.isEmpty());
}

void ApplicationController::fillWindowMenu() {
    QMenu* menu = _menus.windowMenu();
    menu->clear();
    for (const auto& controller : _documents) {
        QPointer<DocumentWindow> window = controller->window();
        menu->addAction(window->windowTitle(), this, [window] {
            if (!window)
                return;
            window->raise();
            window->activateWindow();
        });
    }
}

void ApplicationController::openURLs(const QList<QUrl>& urls) {
    QList<QByteArray> paths;
    for (const QUrl& url : urls)
        paths.append(FilePaths::pathOfURL(url));
    openPaths(paths);
}

void ApplicationController::openHandedOverFiles(const QList<QByteArray>& paths,
                                                const std::optional<FoldLayout>& layout) {
    openPaths(paths, layout);
    showPleatora();
}

void ApplicationController::showPleatora() {
    QWidget* window = frontmostWindow();
    if (!window && !_documents.empty())
        window = _documents.back()->window();
    if (!window)
        window = &_startWindow;
    window->show();
    window->raise();
    window->activateWindow();
}

// While pictures are being read and no document is open yet, it stays as it is: shown at
// launch, a document is on its way.
void ApplicationController::updateStartWindow() {
    if (!_documents.empty())
        _startWindow.hide();
    else if (!_opener.isOpening())
        _startWindow.show();
}

QWidget* ApplicationController::frontmostWindow() const {
    if (QWidget* active = QApplication::activeWindow())
        return active;
    if (_lastActivatedWindow && _lastActivatedWindow->isVisible())
        return _lastActivatedWindow;
    return nullptr;
}

DocumentController* ApplicationController::frontmostDocument() const {
    return documentForWindow(frontmostWindow());
}

// The frontmost window is the Pleatora window activated last; menus that pop up do not count.
void ApplicationController::focusWindowChanged(QWindow* window) {
    if (window && window->type() != Qt::Popup) {
        const QWidgetList windows = QApplication::topLevelWidgets();
        const auto activated = std::ranges::find_if(
            windows, [window](const QWidget* widget) { return widget->windowHandle() == window; });
        if (activated != windows.end()) {
            _lastActivatedWindow = *activated;
            // Undo and Redo follow the document in front, and do nothing elsewhere.
            DocumentController* document = documentForWindow(*activated);
            _menus.undoGroup().setActiveStack(document ? &document->undoStack() : nullptr);
        }
    }
    updateActions();
}
