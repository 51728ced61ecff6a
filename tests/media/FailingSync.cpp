// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/media/FailingSync.h"

#include <atomic>
#include <cerrno>
#include <dlfcn.h>
#include <unistd.h>

namespace {

std::atomic<int> failure{0};
std::atomic<int> callCount{0};

} // namespace

extern "C" int fsync(int descriptor) {
    ++callCount;
    if (const int error = failure.load()) {
        errno = error;
        return -1;
    }
    using Sync = int (*)(int);
    static const auto system = reinterpret_cast<Sync>(::dlsym(RTLD_NEXT, "fsync"));
    return system(descriptor);
}

FailingSync::FailingSync(int error) {
    failure = error;
}

FailingSync::~FailingSync() {
    failure = 0;
}

int FailingSync::calls() {
    return callCount;
}
