// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// While one lives, fsync(2) in this test program fails with the errno given and touches nothing;
// otherwise it is the system's. Linked into the program, its fsync takes the place of the C
// library's for the code under test.
class FailingSync {
public:
    explicit FailingSync(int error);
    ~FailingSync();
    FailingSync(const FailingSync&) = delete;
    FailingSync& operator=(const FailingSync&) = delete;

    // How many times fsync was called in this program, failing or not.
    static int calls();
};
