// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
//
// How many workers a run gets: --jobs bounded by the cores, and the pictures' memory shared under
// one limit.
#include "cli/WorkerMemory.h"
#include "cli/BatchWorkers.h"

#include <QRandomGenerator>

#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

TEST(WorkerMemoryTest, JobsAreAtMostTwoACore) {
    struct Case {
        int asked, cores, expected;
    };
    for (const Case& c : {Case{256, 2, 4}, Case{256, 16, 32}, Case{0, 2, 2}, Case{0, 1, 1},
                          Case{1, 8, 1}, Case{3, 1, 2}, Case{4, 2, 4}, Case{5, 2, 4}})
        EXPECT_EQ(BatchWorkers::boundedCount(c.asked, c.cores), c.expected)
            << "--jobs " << c.asked << " on " << c.cores << " cores";
}

// Whatever sizes the workers ask for, two or more never hold more than the limit together, and
// one larger than the limit still runs, alone.
TEST(WorkerMemoryTest, WorkersTogetherStayUnderTheLimitAndALargePictureRunsAlone) {
    struct Case {
        qint64 limit;
        int workers;
        qint64 largest; // the sizes asked for go up to this
    };
    for (const Case& c :
         {Case{100, 4, 40}, Case{100, 8, 150}, Case{1000, 3, 1000}, Case{50, 6, 10}}) {
        WorkerMemory memory(c.limit);
        std::mutex mutex;
        qint64 together = 0;
        int holders = 0, mostHolders = 0;
        bool overLimit = false;
        const auto work = [&](quint32 seed) {
            QRandomGenerator random(seed);
            for (int i = 0; i < 40; ++i) {
                const qint64 bytes = 1 + random.bounded(c.largest);
                ASSERT_TRUE(memory.reserve(bytes, [] { return false; }));
                {
                    const std::lock_guard lock(mutex);
                    together += bytes;
                    mostHolders = std::max(mostHolders, ++holders);
                    overLimit |= holders > 1 && together > c.limit;
                }
                std::this_thread::sleep_for(std::chrono::microseconds(200));
                {
                    const std::lock_guard lock(mutex);
                    together -= bytes;
                    --holders;
                }
                memory.release(bytes);
            }
        };
        std::vector<std::thread> threads;
        for (int i = 0; i < c.workers; ++i)
            threads.emplace_back(work, quint32(i + 1));
        for (std::thread& thread : threads)
            thread.join();
        EXPECT_FALSE(overLimit) << "limit " << c.limit;
        EXPECT_EQ(memory.held(), 0);
        if (c.largest * 2 <= c.limit) {
            EXPECT_GT(mostHolders, 1) << "small pictures share the memory";
        }
    }
}

TEST(WorkerMemoryTest, AWaitingWorkerGivesUpWhenTheRunStops) {
    WorkerMemory memory(100);
    ASSERT_TRUE(memory.reserve(80, [] { return false; }));
    std::atomic<bool> stopping = false;
    bool reserved = true;
    std::thread waiting([&] { reserved = memory.reserve(30, [&] { return stopping.load(); }); });
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(memory.held(), 80) << "30 more do not fit beside 80";
    stopping = true;
    waiting.join();
    EXPECT_FALSE(reserved);
    EXPECT_EQ(memory.held(), 80);
}

TEST(WorkerMemoryTest, AnEstimateGrowsWithBothTheDecodedAndTheExportedPicture) {
    const QSize small(100, 80), large(4000, 3000);
    const qint64 smallest = WorkerMemory::pictureBytes(small, small);
    EXPECT_GT(WorkerMemory::pictureBytes(large, small), smallest);
    EXPECT_GT(WorkerMemory::pictureBytes(small, large), WorkerMemory::pictureBytes(large, small))
        << "an export holds several copies of itself";
    // 60 photographs exported at 16384 pixels wide do not fit 2 GiB on 4 workers.
    EXPECT_GT(4 * WorkerMemory::pictureBytes({4000, 3000}, {16384, 12288}),
              WorkerMemory::defaultLimit);
}
