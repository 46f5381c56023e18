#include "platform/cmcTask.h"

cmcTask::cmcTask() : timer_(cmcPlatform::get().timers->createTimer()) {
    timer_->setCallback([this] { tick(); });
}

cmcTask::~cmcTask() = default;

void cmcTask::setHandler(Handler handler) {
    handler_ = std::move(handler);
}

bool cmcTask::setInterval(int intervalMs) {
    interval_ = intervalMs;
    if (intervalMs < 0) {
        timer_->stop();
        return true;
    }
    timer_->start(intervalMs == 0 ? 1 : intervalMs);
    return false;
}

void cmcTask::stop() {
    handler_ = nullptr;
    setInterval(-1);
}

void cmcTask::dispose(std::unique_ptr<cmcTask> task) {
    if (!task) return;
    if (!task->busy_) return; // destroyed here, with the unique_ptr
    cmcTask* pending = task.release();
    pending->deletePending_ = true;
    pending->handler_ = nullptr;
    pending->timer_->start(1);
}

void cmcTask::tick() {
    if (deletePending_) {
        if (busy_) return;
        delete this;
        return;
    }
    if (busy_ || !handler_) return;
    busy_ = true;
    Handler handler = handler_; // the handler may replace itself
    handler(*this);
    busy_ = false;
}

void cmcTick::start(uint32_t durationMs) {
    duration_ = durationMs;
    startTick_ = cmcPlatform::get().clock->tickCount();
    running_ = true;
}

uint32_t cmcTick::remaining() {
    if (!running_) return 0;
    uint32_t elapsed = cmcPlatform::get().clock->tickCount() - startTick_; // modulo 2^32
    if (elapsed < duration_) return duration_ - elapsed;
    running_ = false;
    return 0;
}
