// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/PreferencesController.h"

#include "app/AppLog.h"
#include "app/LayoutTitles.h"
#include "app/NewPictureLayout.h"
#include "settings/ApplicationSettings.h"
#include "settings/Preferences.h"
#include "ui_Preferences.h"

#include <QComboBox>
#include <QEvent>
#include <QLabel>
#include <QSlider>

#include <algorithm>

namespace {
const QString frameAutosaveName = QStringLiteral("PrefWindow");
// A window dragged across the screen moves many times a second; its place is written once it
// rests.
constexpr int geometrySaveDelay = 250; // ms
} // namespace

PreferencesController::PreferencesController(Preferences& preferences,
                                             ApplicationSettings& settings)
    : _preferences(preferences), _settings(settings), _ui(std::make_unique<Ui::Preferences>()) {
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

    bindCheckBox(_ui->cboxShowCreaseLine, Preferences::showCreaseLine);
    bindCheckBox(_ui->cboxShowControlLine, Preferences::showControlLine);
    bindCheckBox(_ui->cboxCopyWithCreaseLine, Preferences::copyWithCreaseLine);
    bindCheckBox(_ui->cboxCopyWithShadow, Preferences::copyWithShadow);
    bindCheckBox(_ui->cboxRememberFolds, Preferences::rememberFolds);
    bindCheckBox(_ui->cboxNewPictureHorizontal, Preferences::newPictureHorizontal);
    bindNewPictureLayoutMenu();
    bindColorWell(_ui->cwellCreaseLineColor, Preferences::creaseLineColor);
    bindColorWell(_ui->cwellControlLineColor, Preferences::controlLineColor);
    bindImageFormatMenu();
    bindSlider(_ui->sliderShading, _ui->labelShadingValue, tr("%1%"), Preferences::shading);
    bindSlider(_ui->sliderShadowOpacity, _ui->labelShadowOpacityValue, tr("%1%"),
               Preferences::shadowOpacity);
    bindSlider(_ui->sliderShadowBlur, _ui->labelShadowBlurValue, tr("%1 pt"),
               Preferences::shadowBlur);
    bindSlider(_ui->sliderShadowOffset, _ui->labelShadowOffsetValue, tr("%1 pt"),
               Preferences::shadowOffset);
    addPaperLookControls();
}

// The back, grain, crease shading and gloss follow the shadow in the paper group.
void PreferencesController::addPaperLookControls() {
    auto* back = new QComboBox;
    back->setObjectName(QStringLiteral("menuPaperBack"));
    back->addItem(tr("Same picture"), QStringLiteral("same"));
    back->addItem(tr("Plain paper"), QStringLiteral("paper"));
    back->setCurrentIndex(std::max(0, back->findData(_preferences.value(Preferences::paperBack))));
    connect(back, &QComboBox::activated, this, [this, back] {
        _preferences.setValue(Preferences::paperBack, back->currentData().toString());
    });
    auto* colour = new ColorWell;
    colour->setObjectName(QStringLiteral("cwellPaperBackColor"));
    bindColorWell(colour, Preferences::paperBackColor);
    auto* label = new QLabel(tr("Back:"));
    label->setBuddy(back);
    const int row = _ui->layoutPaper->rowCount();
    _ui->layoutPaper->addWidget(label, row, 0);
    _ui->layoutPaper->addWidget(back, row, 1);
    _ui->layoutPaper->addWidget(colour, row, 2);
    addSliderRow(tr("Grain:"), tr("%1%"), Preferences::paperGrain)
        ->setObjectName(QStringLiteral("sliderPaperGrain"));
    addSliderRow(tr("Crease shading:"), tr("%1%"), Preferences::creaseShading)
        ->setObjectName(QStringLiteral("sliderCreaseShading"));
    addSliderRow(tr("Gloss:"), tr("%1%"), Preferences::paperGloss)
        ->setObjectName(QStringLiteral("sliderPaperGloss"));
}

QSlider* PreferencesController::addSliderRow(const QString& label, const QString& format,
                                             const Preference<int>& preference) {
    auto* slider = new QSlider(Qt::Horizontal);
    slider->setRange(0, 100);
    auto* value = new QLabel;
    value->setMinimumWidth(_ui->labelShadingValue->minimumWidth());
    value->setAlignment(_ui->labelShadingValue->alignment());
    auto* name = new QLabel(label);
    name->setBuddy(slider);
    const int row = _ui->layoutPaper->rowCount();
    _ui->layoutPaper->addWidget(name, row, 0);
    _ui->layoutPaper->addWidget(slider, row, 1);
    _ui->layoutPaper->addWidget(value, row, 2);
    bindSlider(slider, value, format, preference);
    return slider;
}

// Each control is filled before it is connected, and clicked, activated and colorChanged come
// from the user's hand only, so only the user's changes are written.
void PreferencesController::bindCheckBox(QCheckBox* box, const Preference<bool>& preference) {
    box->setChecked(_preferences.value(preference));
    connect(box, &QCheckBox::clicked, this,
            [this, &preference](bool checked) { _preferences.setValue(preference, checked); });
}

void PreferencesController::bindColorWell(ColorWell* well, const Preference<QColor>& preference) {
    well->setColor(_preferences.value(preference));
    connect(well, &ColorWell::colorChanged, this,
            [this, &preference](const QColor& color) { _preferences.setValue(preference, color); });
}

void PreferencesController::bindImageFormatMenu() {
    QComboBox* menu = _ui->menuImageFormat;
    const bool isFirstItem = menu->itemText(0) == _preferences.value(Preferences::imageFormat);
    menu->setCurrentIndex(isFirstItem ? 0 : 1);
    connect(menu, &QComboBox::activated, this,
            [this, menu] { _preferences.setValue(Preferences::imageFormat, menu->currentText()); });
}

// The menu lists the presets by their words and stores their names.
void PreferencesController::bindNewPictureLayoutMenu() {
    QComboBox* menu = _ui->menuNewPictureLayout;
    const FoldLayout preferred = NewPictureLayout::of(_preferences);
    for (const FoldLayout& layout : FoldLayout::presets(FoldLayout::Axis::vertical)) {
        menu->addItem(LayoutTitles::title(layout), QString::fromStdString(layout.name()));
        if (layout == preferred.withAxis(FoldLayout::Axis::vertical))
            menu->setCurrentIndex(menu->count() - 1);
    }
    connect(menu, &QComboBox::activated, this, [this, menu] {
        _preferences.setValue(Preferences::newPictureLayout, menu->currentData().toString());
    });
}

// Every step of a slider's drag is written, so the documents follow it live.
void PreferencesController::bindSlider(QSlider* slider, QLabel* label, const QString& format,
                                       const Preference<int>& preference) {
    slider->setValue(_preferences.value(preference));
    label->setText(format.arg(slider->value()));
    connect(slider, &QSlider::valueChanged, this, [this, label, format, &preference](int value) {
        label->setText(format.arg(value));
        _preferences.setValue(preference, value);
    });
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
