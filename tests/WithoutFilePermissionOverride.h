// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

// Root writes into read-only folders; while this lives, the calling thread cannot, like any other
// user. Capabilities belong to a thread: the writing must happen on this one.
class WithoutFilePermissionOverride {
public:
    WithoutFilePermissionOverride() {
        if (syscall(SYS_capget, &_header, _saved) != 0)
            return;
        __user_cap_data_struct reduced[2] = {_saved[0], _saved[1]};
        reduced[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH));
        _changed = syscall(SYS_capset, &_header, reduced) == 0;
    }
    ~WithoutFilePermissionOverride() {
        if (_changed)
            syscall(SYS_capset, &_header, _saved);
    }
    WithoutFilePermissionOverride(const WithoutFilePermissionOverride&) = delete;
    WithoutFilePermissionOverride& operator=(const WithoutFilePermissionOverride&) = delete;

private:
    __user_cap_header_struct _header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct _saved[2]{};
    bool _changed = false;
};
