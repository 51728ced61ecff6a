#include "app/AppDelegate.h"

#include "app/FilePaths.h"
#include "app/FoldPanels.h"
#include "app/ImageFileTypes.h"
#include "app/PreferencesController.h"
#include "settings/ApplicationSettings.h"
#include "settings/PreferencesDefaults.h"
#include "window/MyWindow.h"
#include "window/MyWindowController.h"

#include <QApplication>
#include <QFileDialog>
#include <QMenuBar>
#include <QTimer>
#include <QWindow>

AppDelegate::AppDelegate(ApplicationSettings& settings, PreferencesDefaults& defaults,
                         const QString& handoverName)
    : _settings(settings), _defaults(defaults), _exportController(defaults),
      _recentDocuments(settings),
      _opener(defaults, [this](std::unique_ptr<MyWindowController> controller, const QUrl& url) {
          addDocument(std::move(controller), url);
      }) {
    // Pleatora goes on with its start window when the last document closes.
    QApplication::setQuitOnLastWindowClosed(false);
    updateInstanceValues();
    refleshRecentDocumentURL();

    _menus.fillMenuBar(_startWindow.menuBar());
    _startWindow.addActions(_menus.shortcutActions());
    connectMenus();
    connect(&_startWindow, &StartWindow::filesDropped, this, &AppDelegate::openURLs);
    connect(&_startWindow, &StartWindow::closedByUser, qApp, &QCoreApplication::quit);
    connect(&_handover, &InstanceHandover::filesHandedOver, this, &AppDelegate::openHandedOverFiles,
            Qt::QueuedConnection);
    connect(&_opener, &DocumentOpener::pathDone, this, &AppDelegate::updateStartWindow);
    _handover.listen(handoverName);
}

AppDelegate::~AppDelegate() {
    applicationWillTerminate();
    // The documents go first: their windows show this delegate's actions and menus.
    _windowControllerArray.clear();
}

void AppDelegate::applicationDidFinishLaunching(const QList<QByteArray>& paths) {
    connect(&_defaults, &PreferencesDefaults::handleDefaultsChange, this,
            &AppDelegate::didReceiveNotification, Qt::DirectConnection);
    connect(qApp, &QCoreApplication::aboutToQuit, this, &AppDelegate::applicationWillTerminate);
    // Queued behind the rebuild of the recent documents, which would otherwise put the
    // older entries back in front of the files opened now.
    QTimer::singleShot(0, this, [this, paths] { openPaths(paths); });
}

// The documents are not closed one by one at the end, so their folds are kept here.
void AppDelegate::applicationWillTerminate() {
    disconnect(&_defaults, nullptr, this, nullptr);
    for (const auto& controller : _windowControllerArray)
        controller->rememberFold(_rememberedFolds);
}

void AppDelegate::connectMenus() {
    connect(_menus.openAction(), &QAction::triggered, this, &AppDelegate::openDocument);
    connect(_menus.closeAction(), &QAction::triggered, this, &AppDelegate::performClose);
    connect(_menus.copyAction(), &QAction::triggered, this, &AppDelegate::copy);
    connect(_menus.resetFoldAction(), &QAction::triggered, this, &AppDelegate::resetFold);
    connect(_menus.saveFoldAction(), &QAction::triggered, this, &AppDelegate::saveFold);
    connect(_menus.applyFoldAction(), &QAction::triggered, this, &AppDelegate::applyFold);
    connect(_menus.exportAction(), &QAction::triggered, this, &AppDelegate::exportDocument);
    connect(_menus.preferencesAction(), &QAction::triggered, this, &AppDelegate::showPreferences);
    connect(_menus.quitAction(), &QAction::triggered, qApp, &QCoreApplication::quit);
    connect(_menus.openRecentMenu(), &QMenu::aboutToShow, this, &AppDelegate::fillOpenRecentMenu);
    connect(_menus.windowMenu(), &QMenu::aboutToShow, this, &AppDelegate::fillWindowMenu);
    for (QMenu* menu : _menus.commandMenus())
        connect(menu, &QMenu::aboutToShow, this, &AppDelegate::updateActions);
    connect(qApp, &QGuiApplication::focusWindowChanged, this, &AppDelegate::focusWindowChanged);
}

void AppDelegate::didReceiveNotification() {
    updateInstanceValues();
}

void AppDelegate::updateInstanceValues() {
    _strImageFormat = _defaults.imageFormat();
}

// The list is rebuilt in full and written once, from the event loop: a crash at start-up leaves
// it as it was instead of erased.
void AppDelegate::refleshRecentDocumentURL() {
    const QList<QUrl> urls = _recentDocuments.recentDocumentURLs();
    QTimer::singleShot(0, this, [this, urls] { _recentDocuments.setRecentDocumentURLs(urls); });
}

bool AppDelegate::validateMenuItem(const QAction* item) const {
    if (item == _menus.closeAction())
        return QApplication::activeWindow() != nullptr;
    if (item == _menus.copyAction() || item == _menus.exportAction())
        return !_windowControllerArray.empty();
    if (item == _menus.undoAction())
        return _menus.undoGroup().canUndo();
    if (item == _menus.redoAction())
        return _menus.undoGroup().canRedo();
    if (item == _menus.resetFoldAction() || item == _menus.saveFoldAction() ||
        item == _menus.applyFoldAction())
        return frontmostDocument() != nullptr;
    return true;
}

void AppDelegate::updateActions() {
    for (QAction* action : _menus.commandActions())
        action->setEnabled(validateMenuItem(action));
}

void AppDelegate::openDocument() {
    auto* panel = new QFileDialog(nullptr, tr("Open"));
    panel->setAttribute(Qt::WA_DeleteOnClose);
    panel->setFileMode(QFileDialog::ExistingFile);
    panel->setAcceptMode(QFileDialog::AcceptOpen);
    panel->setNameFilter(ImageFileTypes::nameFilter());
    connect(panel, &QFileDialog::finished, this, [this, panel](int result) {
        if (result != QDialog::Accepted)
            return;
        for (const QUrl& url : panel->selectedUrls())
            openDocumentWithURL(url);
    });
    panel->show();
}

void AppDelegate::openDocumentWithURL(const QUrl& url) {
    openPaths({FilePaths::pathOfURL(url)});
}

bool AppDelegate::openFile(const QString& path) {
    openPaths({FilePaths::absolutePath(path)});
    return true;
}

void AppDelegate::openPaths(const QList<QByteArray>& paths) {
    _opener.open(paths);
    updateStartWindow();
}

void AppDelegate::addDocument(std::unique_ptr<MyWindowController> controller, const QUrl& url) {
    MyWindow* window = controller->window();
    window->addActions(_menus.shortcutActions());
    connect(window, &MyWindow::contextMenuRequested, this,
            [this](const QPoint& globalPos) { _menus.contextMenu()->popup(globalPos); });
    connect(window, &MyWindow::filesDropped, this, &AppDelegate::openURLs);
    connect(window, &MyWindow::closeRequested, this, [this, window] { closeDocument(window); });
    _menus.undoGroup().addStack(&controller->undoStack());
    controller->recallFold(_rememberedFolds);

    _windowControllerArray.push_back(std::move(controller));
    _windowControllerArray.back()->showWindow();
    // The Window menu lists the documents by their window titles, the file names.
    _recentDocuments.noteNewRecentDocumentURL(url);
    updateActions();
}

void AppDelegate::performClose() {
    QWidget* keyWindow = QApplication::activeWindow();
    if (!keyWindow)
        return;
    auto* documentWindow = qobject_cast<MyWindow*>(keyWindow);
    if (!documentWindow) {
        keyWindow->close();
        return;
    }
    closeDocument(documentWindow);
}

MyWindowController* AppDelegate::documentForWindow(const QWidget* window) const {
    auto entry = std::ranges::find_if(_windowControllerArray, [window](const auto& controller) {
        return controller->window() == window;
    });
    return entry == _windowControllerArray.end() ? nullptr : entry->get();
}

void AppDelegate::closeDocument(MyWindow* documentWindow) {
    auto entry = std::ranges::find_if(_windowControllerArray, [documentWindow](const auto& c) {
        return c->window() == documentWindow;
    });
    if (entry == _windowControllerArray.end())
        return;
    MyWindowController* controller = entry->get();
    controller->rememberFold(_rememberedFolds);
    _menus.undoGroup().removeStack(&controller->undoStack());
    controller->stopTimer();
    documentWindow->close();
    disconnect(&_defaults, nullptr, controller, nullptr);
    // Deleted once the event that asked for Close (a key press in that very window) is done.
    entry->release()->deleteLater();
    _windowControllerArray.erase(entry);
    updateStartWindow();
    updateActions();
}

void AppDelegate::copy() {
    if (MyWindowController* controller = documentForWindow(frontmostWindow()))
        controller->copyImageWithFormat(_strImageFormat);
}

void AppDelegate::resetFold() {
    if (MyWindowController* controller = frontmostDocument())
        controller->resetFold();
}

void AppDelegate::saveFold() {
    if (MyWindowController* controller = frontmostDocument())
        FoldPanels::showSavePanel(*controller);
}

void AppDelegate::applyFold() {
    if (MyWindowController* controller = frontmostDocument())
        FoldPanels::showApplyPanel(*controller);
}

void AppDelegate::exportDocument() {
    if (MyWindowController* controller = frontmostDocument())
        _exportController.exportDocument(*controller);
}

void AppDelegate::showPreferences() {
    const bool isFirstShowing = !_preferenceController;
    if (isFirstShowing)
        _preferenceController = std::make_unique<PreferencesController>(_defaults, _settings);
    _preferenceController->showWindow();
    if (isFirstShowing)
        _preferenceController->addShortcutActions(_menus.shortcutActions());
}

void AppDelegate::fillOpenRecentMenu() {
    QMenu* menu = _menus.openRecentMenu();
    menu->clear();
    const QList<QUrl> urls = _recentDocuments.recentDocumentURLs();
    for (const QUrl& url : urls) {
        QAction* item =
            menu->addAction(url.fileName(), this, [this, url] { openDocumentWithURL(url); });
        item->setToolTip(url.toLocalFile());
    }
    menu->setToolTipsVisible(true);
    menu->addSeparator();
    QAction* clear = menu->addAction(tr("Clear Menu"), this,
                                     [this] { _recentDocuments.clearRecentDocuments(); });
    clear->setEnabled(!urls.isEmpty());
}

void AppDelegate::fillWindowMenu() {
    QMenu* menu = _menus.windowMenu();
    menu->clear();
    for (const auto& controller : _windowControllerArray) {
        QPointer<MyWindow> window = controller->window();
        menu->addAction(window->windowTitle(), this, [window] {
            if (!window)
                return;
            window->raise();
            window->activateWindow();
        });
    }
}

void AppDelegate::openURLs(const QList<QUrl>& urls) {
    QList<QByteArray> paths;
    for (const QUrl& url : urls)
        paths.append(FilePaths::pathOfURL(url));
    openPaths(paths);
}

void AppDelegate::openHandedOverFiles(const QList<QByteArray>& paths) {
    openPaths(paths);
    showPleatora();
}

void AppDelegate::showPleatora() {
    QWidget* window = frontmostWindow();
    if (!window && !_windowControllerArray.empty())
        window = _windowControllerArray.back()->window();
    if (!window)
        window = &_startWindow;
    window->show();
    window->raise();
    window->activateWindow();
}

// While pictures are being read and no document is open yet, it stays as it is: shown at
// launch, a document is on its way.
void AppDelegate::updateStartWindow() {
    if (!_windowControllerArray.empty())
        _startWindow.hide();
    else if (!_opener.isOpening())
        _startWindow.show();
}

QWidget* AppDelegate::frontmostWindow() const {
    if (QWidget* active = QApplication::activeWindow())
        return active;
    if (_lastActivatedWindow && _lastActivatedWindow->isVisible())
        return _lastActivatedWindow;
    return nullptr;
}

MyWindowController* AppDelegate::frontmostDocument() const {
    return documentForWindow(frontmostWindow());
}

// The frontmost window is the Pleatora window activated last; menus that pop up do not count.
void AppDelegate::focusWindowChanged(QWindow* window) {
    if (window && window->type() != Qt::Popup) {
        const QWidgetList windows = QApplication::topLevelWidgets();
        const auto activated = std::ranges::find_if(
            windows, [window](const QWidget* widget) { return widget->windowHandle() == window; });
        if (activated != windows.end()) {
            _lastActivatedWindow = *activated;
            // Undo and Redo follow the document in front, and do nothing elsewhere.
            MyWindowController* document = documentForWindow(*activated);
            _menus.undoGroup().setActiveStack(document ? &document->undoStack() : nullptr);
        }
    }
    updateActions();
}
