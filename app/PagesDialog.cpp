// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/PagesDialog.h"

#include "document/PrintedLength.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

namespace {

// The sheet names PrintedLength reads, in the order offered.
const QStringList sheetNames = {QStringLiteral("A4"), QStringLiteral("A5"),
                                QStringLiteral("Letter"), QStringLiteral("Legal")};
constexpr int asTheFileSays = 0;
const int customSheet = int(sheetNames.size()) + 1;

// A bleed is trimmed off each side; an inch or more would leave little of a page.
constexpr double mostBleedPoints = 72;

QString millimetres(double points) {
    return QString::number(points / PrintedLength::pointsPerMillimetre, 'g', 4);
}

} // namespace

PagesDialog::PagesDialog(const Document::Printed& printed, QWidget* parent)
    : QDialog(parent), _printed(printed), _frontPage(new QSpinBox(this)),
      _backPage(new QSpinBox(this)), _bleed(new QLineEdit(this)), _backTurn(new QComboBox(this)),
      _sheetSize(new QComboBox(this)), _customSheet(new QLineEdit(this)),
      _buttons(new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this)) {
    setWindowTitle(tr("Pages"));
    addPageFields();
    addLookFields();
    connect(_buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(_buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout()->addWidget(_buttons);
    checkFields();
}

void PagesDialog::addPageFields() {
    auto* form = new QFormLayout(this);
    const bool isPdf = _printed.pageCount > 0;
    _frontPage->setObjectName(QStringLiteral("frontPage"));
    _frontPage->setRange(1, std::max(1, _printed.pageCount));
    _frontPage->setValue(_printed.page.page);
    _backPage->setObjectName(QStringLiteral("backPage"));
    _backPage->setRange(0, _printed.pageCount);
    _backPage->setSpecialValueText(tr("none"));
    _backPage->setValue(_printed.backPage);
    _bleed->setObjectName(QStringLiteral("bleed"));
    _bleed->setPlaceholderText(tr("for example 3mm, 0.125in or 9pt"));
    if (_printed.page.bleedPoints > 0)
        _bleed->setText(millimetres(_printed.page.bleedPoints) + QStringLiteral("mm"));
    for (QWidget* field : {static_cast<QWidget*>(_frontPage), static_cast<QWidget*>(_backPage),
                           static_cast<QWidget*>(_bleed)})
        field->setEnabled(isPdf);
    connect(_bleed, &QLineEdit::textChanged, this, &PagesDialog::checkFields);
    form->addRow(tr("&Front page:"), _frontPage);
    form->addRow(tr("&Back page:"), _backPage);
    form->addRow(tr("B&leed:"), _bleed);
}

void PagesDialog::addLookFields() {
    auto* form = static_cast<QFormLayout*>(layout());
    _backTurn->setObjectName(QStringLiteral("backTurn"));
    _backTurn->addItem(tr("By the creases"), int(PaperLook::BackTurn::byCreases));
    _backTurn->addItem(tr("Book (left to right)"), int(PaperLook::BackTurn::book));
    _backTurn->addItem(tr("Tumble (head to toe)"), int(PaperLook::BackTurn::tumble));
    _backTurn->setCurrentIndex(
        _backTurn->findData(int(_printed.backTurn.value_or(PaperLook::BackTurn::byCreases))));
    _sheetSize->setObjectName(QStringLiteral("sheetSize"));
    _sheetSize->addItem(tr("As the file says"));
    _sheetSize->addItems(sheetNames);
    _sheetSize->addItem(tr("Custom"));
    _customSheet->setObjectName(QStringLiteral("customSheet"));
    _customSheet->setPlaceholderText(tr("W x H with a unit, for example 210x99mm"));
    selectSheet(_printed.chosenPoints);
    connect(_sheetSize, &QComboBox::currentIndexChanged, this, &PagesDialog::checkFields);
    connect(_customSheet, &QLineEdit::textChanged, this, &PagesDialog::checkFields);
    form->addRow(tr("Back &turn:"), _backTurn);
    form->addRow(tr("&Sheet size:"), _sheetSize);
    form->addRow(QString(), _customSheet);
}

// A chosen size that has a name is shown by it, any other as custom in millimetres.
void PagesDialog::selectSheet(const std::optional<QSizeF>& chosen) {
    if (!chosen) {
        _sheetSize->setCurrentIndex(asTheFileSays);
        return;
    }
    for (qsizetype i = 0; i < sheetNames.size(); ++i) {
        if (PrintedLength::parseSheet(sheetNames[i]) == chosen) {
            _sheetSize->setCurrentIndex(int(i) + 1);
            return;
        }
    }
    _sheetSize->setCurrentIndex(customSheet);
    _customSheet->setText(
        QStringLiteral("%1x%2mm").arg(millimetres(chosen->width()), millimetres(chosen->height())));
}

void PagesDialog::checkFields() {
    _customSheet->setEnabled(isCustomSheet());
    const bool sheetValid = !isCustomSheet() || sheet();
    _buttons->button(QDialogButtonBox::Ok)->setEnabled(bleed() && sheetValid);
}

// An empty bleed is none.
std::optional<double> PagesDialog::bleed() const {
    if (_bleed->text().trimmed().isEmpty())
        return 0.0;
    const std::optional<double> points = PrintedLength::parse(_bleed->text());
    return points && *points < mostBleedPoints ? points : std::nullopt;
}

std::optional<QSizeF> PagesDialog::sheet() const {
    if (isCustomSheet())
        return PrintedLength::parseSheet(_customSheet->text());
    if (_sheetSize->currentIndex() == asTheFileSays)
        return std::nullopt;
    return PrintedLength::parseSheet(_sheetSize->currentText());
}

bool PagesDialog::isCustomSheet() const {
    return _sheetSize->currentIndex() == customSheet;
}

Document::Printed PagesDialog::printed() const {
    Document::Printed printed = _printed;
    if (printed.pageCount > 0) {
        printed.page = {_frontPage->value(), bleed().value_or(0)};
        printed.backPage = _backPage->value();
    }
    const auto turn = PaperLook::BackTurn(_backTurn->currentData().toInt());
    printed.backTurn = turn == PaperLook::BackTurn::byCreases ? std::nullopt : std::optional(turn);
    printed.chosenPoints = sheet();
    return printed;
}
