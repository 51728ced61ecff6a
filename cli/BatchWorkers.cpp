// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/BatchWorkers.h"

#include "cli/StopSignals.h"
#include "cli/WorkerMemory.h"

#include <QThread>
#include <QtGlobal>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

namespace {

// What the workers and the calling thread share during one run.
struct Shared {
    std::mutex mutex;
    std::condition_variable changed;
    std::map<qsizetype, BatchWorker::Result> done; // finished, not yet handed on
    qsizetype next = 0;                            // position in the chosen list
    qsizetype handedOn = 0;
    bool stopped = false;
    BatchWorker::Timings timings;
    WorkerMemory memory;
};

// How often the calling thread looks whether a signal asked to stop.
constexpr std::chrono::milliseconds signalPoll{50};

} // namespace

BatchWorkers::BatchWorkers(int count, const ExportRecipe::Defaults& defaults, bool skipExisting,
                           FILE* frameProgress)
    : _count(std::max(1, count)), _defaults(defaults), _skipExisting(skipExisting),
      _frameProgress(frameProgress) {}

int BatchWorkers::defaultCount() {
    return std::max(1, QThread::idealThreadCount());
}

int BatchWorkers::boundedCount(int asked, int cores) {
    const int most = 2 * std::max(1, cores);
    return std::clamp(asked > 0 ? asked : cores, 1, most);
}

void BatchWorkers::shareSoftwareRendererThreads(int count) {
    if (qEnvironmentVariableIsSet("LP_NUM_THREADS"))
        return;
    const int share = std::max(1, defaultCount() / std::max(1, count));
    qputenv("LP_NUM_THREADS", QByteArray::number(share));
}

void BatchWorkers::run(const QList<ExportPlan::Entry>& entries, const QList<qsizetype>& chosen,
                       const Finished& finished) {
    Shared shared;
    const qsizetype ahead = 2 * qsizetype(_count);
    const auto work = [&] {
        BatchWorker worker(_defaults, _skipExisting, _frameProgress, &shared.memory);
        std::unique_lock lock(shared.mutex);
        for (;;) {
            shared.changed.wait(lock, [&] {
                return shared.stopped || shared.next >= chosen.size() ||
                       shared.next < shared.handedOn + ahead;
            });
            if (shared.stopped || StopSignals::requested() || shared.next >= chosen.size())
                break;
            const qsizetype position = shared.next++;
            lock.unlock();
            BatchWorker::Result result = worker.exportEntry(entries[chosen[position]]);
            lock.lock();
            shared.done.emplace(position, std::move(result));
            shared.changed.notify_all();
        }
        shared.timings += worker.timings();
    };
    std::vector<std::thread> threads;
    for (int i = 0; i < std::min<qsizetype>(_count, chosen.size()); ++i)
        threads.emplace_back(work);
    const auto stop = [&] {
        shared.stopped = true;
        shared.changed.notify_all();
    };
    std::unique_lock lock(shared.mutex);
    // Once stopped, the pictures under way still come back, and those finished are handed on.
    while (shared.handedOn < chosen.size() && !(shared.stopped && shared.handedOn >= shared.next)) {
        if (!shared.changed.wait_for(lock, signalPoll,
                                     [&] { return shared.done.count(shared.handedOn) > 0; })) {
            if (StopSignals::requested() && !shared.stopped)
                stop();
            continue;
        }
        const BatchWorker::Result result = std::move(shared.done.at(shared.handedOn));
        shared.done.erase(shared.handedOn);
        const qsizetype position = shared.handedOn++;
        shared.changed.notify_all(); // the workers ahead may take another
        if (result.status == BatchWorker::Status::Stopped) {
            stop();
            break;
        }
        lock.unlock();
        const bool goOn = finished(chosen[position], result);
        lock.lock();
        if (!goOn) {
            stop();
            break;
        }
    }
    lock.unlock();
    for (std::thread& thread : threads)
        thread.join();
    _timings += shared.timings;
}
