// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// FFmpeg's own messages: errors go to Pleatora's log instead of the terminal (the encoders'
// chatter is dropped), and the last one on this thread explains the failure that follows it.
class FfmpegLog {
public:
    // Routes FFmpeg's messages here; once per process, before any other FFmpeg call.
    static void install();
    // The error code's text, with FFmpeg's last message on this thread when it logged one since
    // the last call; clears that message.
    static QString reason(int error);
    // Forgets the last message, so that a reason names only what went wrong after this.
    static void forget();
};
