#pragma once

#include "platform/cmcPlatform.h"

#include <functional>
#include <memory>

// A periodic timer of the user-interface thread that calls one handler. The busy flag
// keeps a tick from re-entering a handler that is still running (one that shows a modal
// box, say). The handler stops the task itself when it has no more to do.
class cmcTask {
  public:
    using Handler = std::function<void(cmcTask&)>;

    cmcTask();
    ~cmcTask();
    cmcTask(const cmcTask&) = delete;
    cmcTask& operator=(const cmcTask&) = delete;

    void setHandler(Handler handler);
    // Negative stops the timer, 0 runs it every millisecond, positive at that period.
    // Returns true when the task is now stopped.
    bool setInterval(int intervalMs);
    int interval() const { return interval_; }
    bool isRunning() const { return interval_ >= 0; }
    bool isBusy() const { return busy_; }
    // Forgets the handler and stops.
    void stop();

    // Destroys a task at once, or, when its handler is running right now, at its next
    // tick: an owner may be destroyed from inside its own task's handler.
    static void dispose(std::unique_ptr<cmcTask> task);

    // One tick, as the timer delivers it.
    void tick();

  private:
    std::unique_ptr<cmcTimer> timer_;
    Handler handler_;
    int interval_ = -1;
    bool busy_ = false;
    bool deletePending_ = false;
};

// A millisecond countdown on the wrapping tick counter.
class cmcTick {
  public:
    void start(uint32_t durationMs);
    // Milliseconds left; 0 when not running. Reaching 0 clears running.
    uint32_t remaining();
    bool isRunning() const { return running_; }

  private:
    uint32_t duration_ = 0;
    uint32_t startTick_ = 0;
    bool running_ = false;
};
