// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QObject>
#include <QTimer>

#include <memory>

class ApplicationSettings;
class PreferencesDefaults;
class QAction;
class QCheckBox;
class QColor;
class QSlider;

namespace Ui {
class Preferences;
}

// The preferences window: every change is written to the defaults at once and announced, so the
// open documents redraw before the control's action returns.
class PreferencesController : public QObject {
    Q_OBJECT

public:
    PreferencesController(PreferencesDefaults& defaults, ApplicationSettings& settings);
    ~PreferencesController() override;

    // Builds and fills the window at the first call; shows it and brings it to the front.
    void showWindow();
    // Null until the first showWindow().
    QWidget* window() const { return _window.get(); }
    // Makes the application's shortcuts work in the window and in its colour choosers; after the
    // first showWindow().
    void addShortcutActions(const QList<QAction*>& actions);

    void changeCreaseLineColor(const QColor& color);
    void changeControlLineColor(const QColor& color);
    void changeCheckBox(const QCheckBox* sender);
    void changeMenu();
    void changeSlider(const QSlider* sender);
    void postNotification();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void setUpWindow();
    void connectControls();
    void showSliderValues();
    void restoreGeometry();
    void saveGeometry();

    PreferencesDefaults& _defaults;
    ApplicationSettings& _settings;
    std::unique_ptr<QWidget> _window;
    std::unique_ptr<Ui::Preferences> _ui;
    QTimer _geometrySave;
};
