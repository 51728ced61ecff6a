// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "cli/CommandLine.h"

#include <QCoreApplication>

#include <cstdio>

// --check-closing: says whether a hinged layout's panels close flat on the printed sheet and
// gives the exit status, 0 when they do and 4 when not; 2 when the picture that gives the sheet's
// size cannot be read.
class ClosingCheckRun {
    Q_DECLARE_TR_FUNCTIONS(ClosingCheckRun)

public:
    static constexpr int doesNotClose = 4;

    static int run(const CommandLine& commandLine, FILE* out = stdout, FILE* errors = stderr);
};
