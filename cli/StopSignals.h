// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <csignal>

// SIGINT and SIGTERM during a command-line run, while an object lives: the first asks the run to
// stop (the workers abandon their pictures, the report gets its summary); a second ends the
// process at once, after removing the temporary files (TemporaryFiles). SIGPIPE is ignored, so a
// closed pipe fails a write like any other fault instead of killing the run.
class StopSignals {
public:
    StopSignals();
    ~StopSignals();
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

    // The signal that asked to stop, 0 while none has.
    static int received();
    static bool requested() { return received() != 0; }
    // The exit code of a run stopped by that signal: 130 for SIGINT, 143 for SIGTERM.
    static int exitCode(int signal) { return 128 + signal; }

private:
    struct sigaction _interrupt {};
    struct sigaction _terminate {};
    struct sigaction _pipe {};
};
