// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "cli/BatchWorker.h"
#include "cli/ExportPlan.h"

#include <QList>

#include <cstdio>
#include <functional>

// Several BatchWorkers on threads of their own, each taking the next picture as it is free. The
// results come back on the calling thread in the order of the list, whatever order they finish
// in, so the messages, the report and the exit code are those of one worker. Workers run at most
// a few pictures ahead of the first unfinished one, so the results waiting stay few. Their
// pictures share WorkerMemory's limit, and a signal (StopSignals) stops them: no new picture is
// taken, those under way are abandoned, and those finished before are still handed on.
class BatchWorkers {
public:
    // Given each result in list order; returning false stops the run after the pictures under
    // way.
    using Finished = std::function<bool(qsizetype index, const BatchWorker::Result& result)>;

    // frameProgress: where an animation's bar of frames goes, null for none.
    BatchWorkers(int count, const ExportRecipe::Defaults& defaults, bool skipExisting,
                 FILE* frameProgress = nullptr);

    // The indexes of entries to export, in order.
    void run(const QList<ExportPlan::Entry>& entries, const QList<qsizetype>& chosen,
             const Finished& finished);
    const BatchWorker::Timings& timings() const { return _timings; }

    // The worker count for --jobs 0: one a core.
    static int defaultCount();
    // The workers for --jobs asked (0: defaultCount()), at most two a core: more only fight over
    // the cores and memory.
    static int boundedCount(int asked, int cores = defaultCount());
    // Mesa's software renderer spreads each frame over every core; with several workers that
    // oversubscribes the cores, so each gets its share (LP_NUM_THREADS, read when the first
    // context is made). A value the user set is kept.
    static void shareSoftwareRendererThreads(int count);

private:
    int _count = 1;
    ExportRecipe::Defaults _defaults;
    bool _skipExisting = false;
    FILE* _frameProgress = nullptr;
    BatchWorker::Timings _timings;
};
