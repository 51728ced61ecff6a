// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <deque>
#include <functional>

// Answers the modal dialogs of a command one after another, as a user would: each step waits
// until a dialog of its kind is the modal one. A step may open the next dialog itself.
class DialogSteps : public QObject {
public:
    DialogSteps() {
        connect(&_timer, &QTimer::timeout, this, &DialogSteps::answer);
        _timer.start(20);
    }
    template <typename Dialog> void then(std::function<void(Dialog&)> step) {
        _steps.push_back({[](QWidget* modal) {
                              auto* dialog = qobject_cast<Dialog*>(modal);
                              return dialog && dialog->isVisible();
                          },
                          [step](QWidget* modal) { step(*qobject_cast<Dialog*>(modal)); }});
    }
    bool done() const { return _steps.empty(); }

private:
    struct Step {
        std::function<bool(QWidget*)> matches;
        std::function<void(QWidget*)> act;
    };

    void answer() {
        QWidget* modal = QApplication::activeModalWidget();
        if (_steps.empty() || !_steps.front().matches(modal))
            return;
        // Not from within the timer's own event: a timer is not run again until that returns,
        // and the step may open a dialog of its own.
        QTimer::singleShot(0, modal, [act = _steps.front().act, modal] { act(modal); });
        _steps.pop_front();
    }

    QTimer _timer;
    std::deque<Step> _steps;
};
