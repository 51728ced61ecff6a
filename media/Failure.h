// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// A function that can fail says why through a trailing QString* failure, set exactly when it
// fails (docs/code.md, "Failures").
namespace Failure {

// False, with the reason in failure when one is given.
inline bool fail(QString* failure, const QString& reason) {
    if (failure)
        *failure = reason;
    return false;
}

} // namespace Failure
