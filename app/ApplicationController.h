// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/AnimationController.h"
#include "app/AppMenus.h"
#include "app/DocumentOpener.h"
#include "app/ExportController.h"
#include "app/InstanceHandover.h"
#include "app/RecentDocuments.h"
#include "app/StartWindow.h"
#include "document/RememberedFolds.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <memory>
#include <vector>

class ApplicationSettings;
class DocumentWindow;
class DocumentController;
class PreferencesController;
class Preferences;
class QWindow;

// Lives for the whole run: opens image files as documents and owns them, answers the menu
// commands, keeps the recent documents and follows the copy format in the preferences.
class ApplicationController : public QObject {
    Q_OBJECT

public:
    // The preferences must exist before anything reads them; the settings keep what outlives the
    // run. Later launches reach this instance through the hand-over server of that name.
    ApplicationController(ApplicationSettings& settings, Preferences& preferences,
                          const QString& handoverName);
    ~ApplicationController() override;

    // Opens the files given on the command line (absolute paths as the system's bytes) from the
    // event loop, in the layout it asked for if any; shows the start window if none opened.
    void start(const QList<QByteArray>& paths,
               const std::optional<FoldLayout>& layout = std::nullopt);
    void prepareToQuit();

    void openDocument();
    void openUrl(const QUrl& url);
    // Always true: a file that cannot be opened is told in the "Can't open" alert.
    bool openFile(const QString& path);
    // Every way of opening ends here: one queue, documents coming up as their pictures are read.
    // Without a layout a picture opens in its remembered fold, else in the preferred layout.
    void openPaths(const QList<QByteArray>& paths,
                   const std::optional<FoldLayout>& layout = std::nullopt);
    void performClose();
    void closeDocument(DocumentWindow* documentWindow);
    void copy();
    void resetFold();
    void saveFold();
    void applyFold();
    // Pages...: the front document's pages, bleed, back turn and printed size.
    void choosePages();
    void exportDocument();
    void exportAnimation();
    void showPreferences();
    bool isActionEnabled(const QAction* item) const;
    void reloadPreferences();
    void rebuildRecentDocuments();

    // The open document shown in window, or null.
    DocumentController* documentForWindow(const QWidget* window) const;
    const std::vector<std::unique_ptr<DocumentController>>& documents() const { return _documents; }
    const AppMenus& menus() const { return _menus; }
    StartWindow& startWindow() { return _startWindow; }
    PreferencesController* preferencesController() const { return _preferencesController.get(); }
    QString imageFormat() const { return _imageFormat; }
    const RecentDocuments& recentDocuments() const { return _recentDocuments; }
    const FailureAlert& cantOpenAlert() const { return _opener.cantOpenAlert(); }
    bool isOpening() const { return _opener.isOpening(); }

private:
    void connectMenus();
    void followPreferences();
    void updateActions();
    void focusWindowChanged(QWindow* window);
    void fillOpenRecentMenu();
    void fillWindowMenu();
    void openURLs(const QList<QUrl>& urls);
    void addDocument(std::unique_ptr<DocumentController> controller, const QUrl& url,
                     const std::optional<FoldLayout>& layout);
    void openHandedOverFiles(const QList<QByteArray>& paths,
                             const std::optional<FoldLayout>& layout);
    void showPleatora();
    void updateStartWindow();
    QWidget* frontmostWindow() const;
    DocumentController* frontmostDocument() const;

    ApplicationSettings& _settings;
    Preferences& _preferences;
    std::vector<std::unique_ptr<DocumentController>> _documents;
    std::unique_ptr<PreferencesController> _preferencesController;
    QString _imageFormat;

    ExportController _exportController;
    AnimationController _animationController;
    RecentDocuments _recentDocuments;
    AppMenus _menus;
    StartWindow _startWindow; // after _menus: its menu bar shows their menus
    InstanceHandover _handover;
    DocumentOpener _opener;
    QPointer<QWidget> _lastActivatedWindow;
    RememberedFolds _rememberedFolds;
};
