// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class QCommandLineParser;

// The options `pleatora` takes, with their help, and which of them belong to which runs.
class CommandLineOptions {
public:
    static void add(QCommandLineParser& parser);
    // Whether every option given is in place; failure: one of the motion's without an animation,
    // or one of an export's without any output.
    static bool inPlace(const QCommandLineParser& parser, bool animate, bool anyOutput,
                        QString* failure = nullptr);
};
