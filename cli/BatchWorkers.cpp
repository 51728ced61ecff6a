// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/BatchWorkers.h"

#include <QThread>
#include <QtGlobal>

#include <algorithm>
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
};

} // namespace

BatchWorkers::BatchWorkers(int count, const ExportRecipe::Defaults& defaults, bool skipExisting,
                           FILE* frameProgress)
    : _count(std::max(1, count)), _defaults(defaults), _skipExisting(skipExisting),
      _frameProgress(frameProgress) {}

int BatchWorkers::defaultCount() {
    return std::max(1, QThread::idealThreadCount());
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
        BatchWorker worker(_defaults, _skipExisting, _frameProgress);
        std::unique_lock lock(shared.mutex);
        for (;;) {
            shared.changed.wait(lock, [&] {
                return shared.stopped || shared.next >= chosen.size() ||
                       shared.next < shared.handedOn + ahead;
            });
            if (shared.stopped || shared.next >= chosen.size())
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
    std::unique_lock lock(shared.mutex);
    while (!shared.stopped && shared.handedOn < chosen.size()) {
        shared.changed.wait(lock, [&] { return shared.done.count(shared.handedOn) > 0; });
        const BatchWorker::Result result = std::move(shared.done.at(shared.handedOn));
        shared.done.erase(shared.handedOn);
        const qsizetype position = shared.handedOn++;
        lock.unlock();
        const bool goOn = finished(chosen[position], result);
        lock.lock();
        shared.stopped = !goOn;
        shared.changed.notify_all();
    }
    lock.unlock();
    for (std::thread& thread : threads)
        thread.join();
    _timings += shared.timings;
}
