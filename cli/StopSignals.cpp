// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/StopSignals.h"

#include "media/TemporaryFiles.h"

#include <atomic>
#include <unistd.h>

namespace {

std::atomic<int> stopSignal{0};

static_assert(std::atomic<int>::is_always_lock_free, "the handler sets it");

void onStopSignal(int signal) {
    int none = 0;
    if (stopSignal.compare_exchange_strong(none, signal))
        return;
    TemporaryFiles::removeAll();
    ::_exit(StopSignals::exitCode(signal));
}

} // namespace

StopSignals::StopSignals() {
    stopSignal.store(0);
    struct sigaction action {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, &_interrupt);
    sigaction(SIGTERM, &action, &_terminate);
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    sigaction(SIGPIPE, &ignore, &_pipe);
}

StopSignals::~StopSignals() {
    sigaction(SIGINT, &_interrupt, nullptr);
    sigaction(SIGTERM, &_terminate, nullptr);
    sigaction(SIGPIPE, &_pipe, nullptr);
}

int StopSignals::received() {
    return stopSignal.load();
}
