#include "platform/cmcTask.h"
#include "platform/fake/cmcFakePlatform.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

class TaskTest : public ::testing::Test {
  protected:
    cmcFakePlatform platform;
};

TEST_F(TaskTest, RunsAtItsIntervalUntilStopped) {
    cmcTask task;
    std::vector<uint32_t> ticks;
    task.setHandler([&](cmcTask& self) {
        ticks.push_back(platform.clock.tickCount());
        if (ticks.size() == 3) self.setInterval(-1);
    });
    EXPECT_FALSE(task.setInterval(10));
    platform.clock.advance(100);
    EXPECT_EQ(ticks, (std::vector<uint32_t>{10, 20, 30}));
    EXPECT_FALSE(task.isRunning());
}

TEST_F(TaskTest, ZeroIntervalRunsEveryMillisecondAndStopForgetsTheHandler) {
    cmcTask task;
    int calls = 0;
    task.setHandler([&](cmcTask&) { ++calls; });
    task.setInterval(0);
    platform.clock.advance(5);
    EXPECT_EQ(calls, 5);
    task.stop();
    task.setInterval(1);
    platform.clock.advance(5);
    EXPECT_EQ(calls, 5);
}

TEST_F(TaskTest, BusyHandlerIsNotReentered) {
    cmcTask task;
    int depth = 0, deepest = 0, calls = 0;
    task.setHandler([&](cmcTask&) {
        ++calls;
        ++depth;
        deepest = std::max(deepest, depth);
        if (calls == 1) platform.clock.advance(5); // a modal box running the loop
        --depth;
    });
    task.setInterval(1);
    platform.clock.advance(1);
    EXPECT_EQ(deepest, 1);
}

TEST_F(TaskTest, DisposedFromItsOwnHandlerGoesAtTheNextTick) {
    auto owned = std::make_unique<cmcTask>();
    cmcTask* raw = owned.get();
    int calls = 0;
    raw->setHandler([&](cmcTask&) {
        ++calls;
        cmcTask::dispose(std::move(owned)); // the owner goes away inside the handler
    });
    raw->setInterval(1);
    platform.clock.advance(1);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(platform.clock.activeTimers(), 1u); // still alive, pending deletion
    platform.clock.advance(2);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(platform.clock.activeTimers(), 0u);
}

TEST_F(TaskTest, TickCountsDownAcrossTheCounterWrap) {
    struct Case {
        uint32_t start;
    };
    for (Case c : {Case{0}, Case{0xFFFFFFF0u}}) {
        platform.clock.setNow(c.start);
        cmcTick tick;
        tick.start(100);
        platform.clock.setNow(c.start + 99);
        EXPECT_EQ(tick.remaining(), 1u) << c.start;
        platform.clock.setNow(c.start + 100);
        EXPECT_EQ(tick.remaining(), 0u) << c.start;
        EXPECT_FALSE(tick.isRunning());
        platform.clock.setNow(c.start + 50); // stays ended until restarted
        EXPECT_EQ(tick.remaining(), 0u);
    }
}

} // namespace
