// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QCoreApplication>
#include <QMessageBox>
#include <QPointer>
#include <QStringList>

// One alert, never modal, for every file that failed: a failure arriving while it is up adds a
// line to it instead of another alert, so no number of failures can stack modal loops or bury
// the user in alerts. Each line reads "<reason> : <file name>".
class FailureAlert {
    Q_DECLARE_TR_FUNCTIONS(FailureAlert)

public:
    // Lines shown at once; the rest are in the alert's details.
    static constexpr qsizetype shownLines = 10;

    // closingLine: said once under the list, if there is more to say.
    explicit FailureAlert(const QString& messageText, const QString& closingLine = QString());
    ~FailureAlert();

    void add(const QString& reason, const QString& fileName);
    // The alert while it is up, else null.
    QMessageBox* alert() const { return _alert; }

private:
    void showAlert();
    void updateTexts();

    QString _messageText;
    QString _closingLine;
    QStringList _lines;
    QPointer<QMessageBox> _alert;
};
