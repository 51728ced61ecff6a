// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QList>
#include <QSize>
#include <QString>

#include <memory>

struct AVFilterContext;
struct AVFilterGraph;
struct AVFrame;

// A graph of FFmpeg's video filters fed with frames and read frame by frame, as libavfilter's
// own examples drive it.
class FilterGraph {
    Q_DECLARE_TR_FUNCTIONS(FilterGraph)

public:
    struct Input {
        QSize size;
        int pixelFormat = -1; // AVPixelFormat
        int framesPerSecond = 1;
    };

    // description: the filters between the inputs, labelled [in0], [in1], ..., and the output
    // [out], in FFmpeg's filter graph syntax. Null with the reason when FFmpeg refuses it.
    static std::unique_ptr<FilterGraph>
    create(const QByteArray& description, const QList<Input>& inputs, QString* failure = nullptr);
    ~FilterGraph();

    FilterGraph(const FilterGraph&) = delete;
    FilterGraph& operator=(const FilterGraph&) = delete;

    // Hands a frame to an input; a null frame ends that input. The frame is copied unless it is
    // reference-counted.
    bool push(int input, AVFrame* frame, QString* failure = nullptr);
    enum class Pulled { Frame, NoneYet, Failed };
    // The next frame of the output into frame, when there is one by now; NoneYet also at the
    // end. failure: the reason, when Failed.
    Pulled pull(AVFrame* frame, QString* failure = nullptr);

private:
    FilterGraph() = default;
    // failure: FFmpeg's reason.
    bool build(const QByteArray& description, const QList<Input>& inputs,
               QString* failure = nullptr);

    AVFilterGraph* _graph = nullptr;
    QList<AVFilterContext*> _inputs;
    AVFilterContext* _output = nullptr;
};
