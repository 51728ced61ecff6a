// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/FilterGraph.h"

#include "media/Failure.h"
#include "media/FfmpegLog.h"

extern "C" {
#include <libavfilter/avfilter.h>
#include <libavfilter/buffersink.h>
#include <libavfilter/buffersrc.h>
#include <libavutil/frame.h>
#include <libavutil/mem.h>
}

namespace {

struct InOutList {
    AVFilterInOut* first = nullptr;
    ~InOutList() { avfilter_inout_free(&first); }

    // Appends the pad of filter under the name the description gives it.
    bool add(const QByteArray& name, AVFilterContext* filter) {
        AVFilterInOut** last = &first;
        while (*last)
            last = &(*last)->next;
        *last = avfilter_inout_alloc();
        if (!*last)
            return false;
        (*last)->name = av_strdup(name.constData());
        (*last)->filter_ctx = filter;
        return (*last)->name != nullptr;
    }
};

} // namespace

std::unique_ptr<FilterGraph> FilterGraph::create(const QByteArray& description,
                                                 const QList<Input>& inputs, QString* failure) {
    FfmpegLog::install();
    FfmpegLog::forget();
    std::unique_ptr<FilterGraph> graph(new FilterGraph);
    QString reason;
    if (graph->build(description, inputs, &reason))
        return graph;
    if (failure)
        *failure = tr("FFmpeg's filters “%1” cannot be set up: %2")
                       .arg(QString::fromUtf8(description), reason);
    return nullptr;
}

FilterGraph::~FilterGraph() {
    avfilter_graph_free(&_graph);
}

// The graph's open ends, named in the description, are the buffer sources' outputs and the
// sink's input.
bool FilterGraph::build(const QByteArray& description, const QList<Input>& inputs,
                        QString* failure) {
    _graph = avfilter_graph_alloc();
    if (!_graph)
        return Failure::fail(failure, tr("out of memory"));
    InOutList sources;
    InOutList sink;
    for (qsizetype i = 0; i < inputs.size(); ++i) {
        const Input& in = inputs[i];
        const QByteArray arguments = QStringLiteral("video_size=%1x%2:pix_fmt=%3:time_base=1/%4")
                                         .arg(in.size.width())
                                         .arg(in.size.height())
                                         .arg(in.pixelFormat)
                                         .arg(in.framesPerSecond)
                                         .toLatin1();
        const QByteArray name = "in" + QByteArray::number(i);
        AVFilterContext* source = nullptr;
        const int result =
            avfilter_graph_create_filter(&source, avfilter_get_by_name("buffer"), name.constData(),
                                         arguments.constData(), nullptr, _graph);
        if (result < 0)
            return Failure::fail(failure, FfmpegLog::reason(result));
        _inputs.append(source);
        if (!sources.add(name, source))
            return Failure::fail(failure, tr("out of memory"));
    }
    int result = avfilter_graph_create_filter(&_output, avfilter_get_by_name("buffersink"), "out",
                                              nullptr, nullptr, _graph);
    if (result >= 0)
        result = sink.add("out", _output) ? 0 : AVERROR(ENOMEM);
    if (result >= 0)
        result = avfilter_graph_parse_ptr(_graph, description.constData(), &sink.first,
                                          &sources.first, nullptr);
    if (result >= 0)
        result = avfilter_graph_config(_graph, nullptr);
    if (result < 0)
        return Failure::fail(failure, FfmpegLog::reason(result));
    return true;
}

bool FilterGraph::push(int input, AVFrame* frame, QString* failure) {
    const int result = av_buffersrc_add_frame_flags(
        _inputs.value(input), frame, AV_BUFFERSRC_FLAG_KEEP_REF | AV_BUFFERSRC_FLAG_PUSH);
    if (result < 0 && failure)
        *failure = tr("FFmpeg's filters failed: %1").arg(FfmpegLog::reason(result));
    return result >= 0;
}

FilterGraph::Pulled FilterGraph::pull(AVFrame* frame, QString* failure) {
    av_frame_unref(frame);
    const int result = av_buffersink_get_frame(_output, frame);
    if (result >= 0)
        return Pulled::Frame;
    if (result == AVERROR(EAGAIN) || result == AVERROR_EOF)
        return Pulled::NoneYet;
    if (failure)
        *failure = tr("FFmpeg's filters failed: %1").arg(FfmpegLog::reason(result));
    return Pulled::Failed;
}
