// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/FailureAlert.h"

FailureAlert::FailureAlert(const QString& messageText, const QString& closingLine)
    : _messageText(messageText), _closingLine(closingLine) {}

FailureAlert::~FailureAlert() {
    delete _alert;
}

void FailureAlert::add(const QString& reason, const QString& fileName) {
    if (!_alert)
        showAlert();
    _lines.append(tr("%1 : %2").arg(reason, fileName));
    updateTexts();
}

void FailureAlert::showAlert() {
    _lines.clear();
    _alert =
        new QMessageBox(QMessageBox::Warning, QCoreApplication::applicationName(), _messageText);
    _alert->setAttribute(Qt::WA_DeleteOnClose);
    _alert->setWindowModality(Qt::NonModal);
    _alert->addButton(tr("OK"), QMessageBox::AcceptRole);
    _alert->show();
}

void FailureAlert::updateTexts() {
    QStringList shown = _lines.first(std::min(_lines.size(), shownLines));
    if (_lines.size() > shownLines)
        shown.append(tr("and %n more", nullptr, int(_lines.size() - shownLines)));
    if (!_closingLine.isEmpty())
        shown.append(_closingLine);
    _alert->setInformativeText(shown.join(u'\n'));
    _alert->setDetailedText(_lines.size() > shownLines ? _lines.join(u'\n') : QString());
}
