// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QObject>
#include <QTimer>

#include <memory>

class ApplicationSettings;
class Preferences;
template <typename T> struct Preference;
class QAction;
class QCheckBox;
class ColorWell;
class QColor;
class QLabel;
class QSlider;

namespace Ui {
class Preferences;
}

// The preferences window: every change is written to the preferences at once, so the
// open documents redraw before the control's action returns.
class PreferencesController : public QObject {
    Q_OBJECT

public:
    PreferencesController(Preferences& preferences, ApplicationSettings& settings);
    ~PreferencesController() override;

    // Builds and fills the window at the first call; shows it and brings it to the front.
    void showWindow();
    // Null until the first showWindow().
    QWidget* window() const { return _window.get(); }
    // Makes the application's shortcuts work in the window and in its colour choosers; after the
    // first showWindow().
    void addShortcutActions(const QList<QAction*>& actions);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void setUpWindow();
    void bindCheckBox(QCheckBox* box, const Preference<bool>& preference);
    void bindColorWell(ColorWell* well, const Preference<QColor>& preference);
    void bindImageFormatMenu();
    void addPaperLookControls();
    QSlider* addSliderRow(const QString& label, const QString& format,
                          const Preference<int>& preference);
    void bindNewPictureLayoutMenu();
    void bindSlider(QSlider* slider, QLabel* label, const QString& format,
                    const Preference<int>& preference);
    void restoreGeometry();
    void saveGeometry();

    Preferences& _preferences;
    ApplicationSettings& _settings;
    std::unique_ptr<QWidget> _window;
    std::unique_ptr<Ui::Preferences> _ui;
    QTimer _geometrySave;
};
