// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/PreferencesController.h"

#include "app/AppLog.h"
#include "settings/ApplicationSettings.h"
#include "settings/PreferencesDefaults.h"
#include "ui_Preferences.h"

#include <QEvent>

namespace {
const QString frameAutosaveName = QStringLiteral("PrefWindow");
// A window dragged across the screen moves many times a second; its place is written once it
// rests.
constexpr int geometrySaveDelay = 250; // ms
} // namespace

PreferencesController::PreferencesController(PreferencesDefaults& defaults,
                                             ApplicationSettings& settings)
    : _defaults(defaults), _settings(settings), _ui(std::make_unique<Ui::Preferences>()) {
    _geometrySave.setSingleShot(true);
    _geometrySave.setInterval(geometrySaveDelay);
    connect(&_geometrySave, &QTimer::timeout, this, &PreferencesController::saveGeometry);
}

PreferencesController::~PreferencesController() {
    if (_window && _window->isVisible())
        saveGeometry();
}

void PreferencesController::showWindow() {
    if (!_window)
        setUpWindow();
    _window->show();
    _window->raise();
    _window->activateWindow();
}

void PreferencesController::addShortcutActions(const QList<QAction*>& actions) {
    _window->addActions(actions);
    _ui->cwellCreaseLineColor->setDialogActions(actions);
    _ui->cwellControlLineColor->setDialogActions(actions);
}

void PreferencesController::setUpWindow() {
    _window = std::make_unique<QWidget>();
    _ui->setupUi(_window.get());
    restoreGeometry();
    _window->installEventFilter(this);

    _ui->cboxShowCreaseLine->setChecked(_defaults.showCreaseLine());
    _ui->cwellCreaseLineColor->setColor(_defaults.creaseLineColor());
    _ui->cboxShowControlLine->setChecked(_defaults.showControlLine());
    _ui->cwellControlLineColor->setColor(_defaults.controlLineColor());
    _ui->cboxCopyWithCreaseLine->setChecked(_defaults.copyWithCreaseLine());
    _ui->cboxCopyWithShadow->setChecked(_defaults.copyWithShadow());
    _ui->cboxRememberFolds->setChecked(_defaults.rememberFolds());
    const bool isFirstItem = _ui->menuImageFormat->itemText(0) == _defaults.imageFormat();
    _ui->menuImageFormat->setCurrentIndex(isFirstItem ? 0 : 1);
    _ui->sliderShading->setValue(_defaults.shading());
    _ui->sliderShadowOpacity->setValue(_defaults.shadowOpacity());
    _ui->sliderShadowBlur->setValue(_defaults.shadowBlur());
    _ui->sliderShadowOffset->setValue(_defaults.shadowOffset());
    showSliderValues();

    connectControls();
}

void PreferencesController::connectControls() {
    // clicked and activated come from the user's hand only, never from filling the window.
    for (QCheckBox* box :
         {_ui->cboxShowCreaseLine, _ui->cboxShowControlLine, _ui->cboxCopyWithCreaseLine,
          _ui->cboxCopyWithShadow, _ui->cboxRememberFolds})
        connect(box, &QCheckBox::clicked, this, [this, box] { changeCheckBox(box); });
    connect(_ui->cwellCreaseLineColor, &ColorWell::colorChanged, this,
            &PreferencesController::changeCreaseLineColor);
    connect(_ui->cwellControlLineColor, &ColorWell::colorChanged, this,
            &PreferencesController::changeControlLineColor);
    connect(_ui->menuImageFormat, &QComboBox::activated, this, &PreferencesController::changeMenu);
    // Connected after filling, so only the user's changes are written; every step of a drag is,
    // so the documents follow the slider live.
    for (QSlider* slider : {_ui->sliderShading, _ui->sliderShadowOpacity, _ui->sliderShadowBlur,
                            _ui->sliderShadowOffset})
        connect(slider, &QSlider::valueChanged, this, [this, slider] { changeSlider(slider); });
}

void PreferencesController::showSliderValues() {
    _ui->labelShadingValue->setText(tr("%1%").arg(_ui->sliderShading->value()));
    _ui->labelShadowOpacityValue->setText(tr("%1%").arg(_ui->sliderShadowOpacity->value()));
    _ui->labelShadowBlurValue->setText(tr("%1 pt").arg(_ui->sliderShadowBlur->value()));
    _ui->labelShadowOffsetValue->setText(tr("%1 pt").arg(_ui->sliderShadowOffset->value()));
}

void PreferencesController::changeCreaseLineColor(const QColor& color) {
    _defaults.setColor(DefaultsKey::creaseLineColor, color);
    postNotification();
}

void PreferencesController::changeControlLineColor(const QColor& color) {
    _defaults.setColor(DefaultsKey::controlLineColor, color);
    postNotification();
}

void PreferencesController::changeCheckBox(const QCheckBox* sender) {
    QString key = DefaultsKey::copyWithShadow;
    if (sender == _ui->cboxShowCreaseLine)
        key = DefaultsKey::showCreaseLine;
    else if (sender == _ui->cboxShowControlLine)
        key = DefaultsKey::showControlLine;
    else if (sender == _ui->cboxCopyWithCreaseLine)
        key = DefaultsKey::copyWithCreaseLine;
    else if (sender == _ui->cboxRememberFolds)
        key = DefaultsKey::rememberFolds;
    _defaults.setBool(key, sender->isChecked());
    postNotification();
}

void PreferencesController::changeMenu() {
    _defaults.setString(DefaultsKey::imageFormat, _ui->menuImageFormat->currentText());
    postNotification();
}

void PreferencesController::changeSlider(const QSlider* sender) {
    QString key = DefaultsKey::shadowOffset;
    if (sender == _ui->sliderShading)
        key = DefaultsKey::shading;
    else if (sender == _ui->sliderShadowOpacity)
        key = DefaultsKey::shadowOpacity;
    else if (sender == _ui->sliderShadowBlur)
        key = DefaultsKey::shadowBlur;
    _defaults.setInt(key, sender->value());
    showSliderValues();
    postNotification();
}

void PreferencesController::postNotification() {
    _defaults.postNotification();
}

// The place is kept as soon as the window moves, so that it survives a crash, and at close.
bool PreferencesController::eventFilter(QObject* watched, QEvent* event) {
    if (watched != _window.get())
        return QObject::eventFilter(watched, event);
    if (event->type() == QEvent::Close)
        saveGeometry();
    else if ((event->type() == QEvent::Move || event->type() == QEvent::Resize) &&
             _window->isVisible())
        _geometrySave.start();
    return QObject::eventFilter(watched, event);
}

// Without a stored place the window opens where the window manager puts it.
void PreferencesController::restoreGeometry() {
    const QByteArray geometry = _settings.value(frameAutosaveName).toByteArray();
    if (!geometry.isEmpty() && !_window->restoreGeometry(geometry))
        qCWarning(appLog) << "Ignoring the stored place of the preferences window";
}

void PreferencesController::saveGeometry() {
    _settings.setValue(frameAutosaveName, _window->saveGeometry());
}
