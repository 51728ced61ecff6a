// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/FfmpegLog.h"

#include "media/DocumentLog.h"

#include <cstdarg>
#include <mutex>

extern "C" {
#include <libavutil/error.h>
#include <libavutil/log.h>
}

namespace {

thread_local QString lastMessage;

void logged(void* object, int level, const char* format, va_list arguments) {
    if (level > AV_LOG_ERROR)
        return;
    // The component's name without the address that FFmpeg's own prefix carries.
    char line[1024];
    int printPrefix = 0;
    av_log_format_line2(nullptr, level, format, arguments, line, sizeof line, &printPrefix);
    const AVClass* component = object ? *static_cast<AVClass**>(object) : nullptr;
    lastMessage = QString::fromUtf8(line).trimmed();
    if (component)
        lastMessage.prepend(QString::fromUtf8(component->item_name(object)) + QStringLiteral(": "));
    qCWarning(documentLog) << "FFmpeg:" << lastMessage;
}

} // namespace

void FfmpegLog::install() {
    static std::once_flag once;
    std::call_once(once, [] { av_log_set_callback(logged); });
}

QString FfmpegLog::reason(int error) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(error, text, sizeof text);
    QString reason = QString::fromUtf8(text);
    if (!lastMessage.isEmpty())
        reason += QStringLiteral(" (%1)").arg(lastMessage);
    forget();
    return reason;
}

void FfmpegLog::forget() {
    lastMessage.clear();
}
