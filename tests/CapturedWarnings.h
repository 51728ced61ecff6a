// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLoggingCategory>
#include <QStringList>

#include <cstring>

// The warnings of one logging category while an instance lives; every other message goes on to
// the handler that was installed before.
class CapturedWarnings {
public:
    explicit CapturedWarnings(const char* category) {
        _category = category;
        _messages.clear();
        _previous = qInstallMessageHandler(&CapturedWarnings::handle);
    }
    ~CapturedWarnings() { qInstallMessageHandler(_previous); }
    CapturedWarnings(const CapturedWarnings&) = delete;
    CapturedWarnings& operator=(const CapturedWarnings&) = delete;

    QStringList messages() const { return _messages; }

private:
    static void handle(QtMsgType type, const QMessageLogContext& context, const QString& text) {
        if (type == QtWarningMsg && context.category &&
            std::strcmp(context.category, _category) == 0)
            _messages.append(text);
        else
            _previous(type, context, text);
    }

    static inline const char* _category = nullptr;
    static inline QStringList _messages;
    static inline QtMessageHandler _previous = nullptr;
};
