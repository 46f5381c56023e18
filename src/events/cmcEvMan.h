#pragma once

// The process-wide event manager. Components announce changes by raising numbered events
// (cmcEvents.h) instead of calling each other: send delivers at once, post delivers from
// the manager's 10 ms task after the raising code has finished, ask delivers at once and
// collects the handlers' answers.

#include <cstdint>
#include <deque>
#include <list>
#include <memory>
#include <string>
#include <vector>

class cmcTask;

// One raised event. Handlers get it by reference for the length of their call.
struct cmcEvent {
    enum Mode { Posted = 0, Sent = 1, Asked = 2 };

    int code = 0;
    int mode = Sent;
    // First argument: a number, or for a few events an object (a menu, an item list);
    // wide enough for a pointer, see Ref() and As().
    std::intptr_t a = 0;
    int b = 0;
    // An owned copy of the raiser's data; text comes with its terminating zero byte.
    std::vector<uint8_t> data;

    int DataSize() const { return static_cast<int>(data.size()); }
    // The data as text, up to its terminating zero.
    std::string Text() const;
    template <class T> T* As() const { return reinterpret_cast<T*>(a); }
};

// One answer to an ask. The chain of an ask stays valid until the next ask starts.
struct cmcEvAns {
    int value = 0;
    int value2 = 0;
    std::vector<uint8_t> data;
    std::unique_ptr<cmcEvAns> next; // the next handler's answer, if any

    int DataSize() const { return static_cast<int>(data.size()); }
    std::string Text() const;
};

// A handler is a plain function with the subscribing object as its context, so a
// subscription is known by the pair (handler, context).
using cmcEvHandler = void (*)(void* context, const cmcEvent& event);

class cmcEvMan {
  public:
    static constexpr int DeliveryIntervalMs = 10;

    // Starts the delivery task; needs the platform installed.
    cmcEvMan();
    // Stops the task and discards pending posts without delivering them.
    ~cmcEvMan();
    cmcEvMan(const cmcEvMan&) = delete;
    cmcEvMan& operator=(const cmcEvMan&) = delete;

    // A null handler is ignored. The same handler and context subscribed again replaces the
    // old entry; the newest subscriber is called first.
    void Subscribe(cmcEvHandler handler, void* context);
    // The entry gets nothing more, not even from a delivery now in progress.
    void Unsubscribe(cmcEvHandler handler, void* context);

    void Send(int code, std::intptr_t a = 0, int b = 0, const void* data = nullptr, int size = 0);
    void Post(int code, std::intptr_t a = 0, int b = 0, const void* data = nullptr, int size = 0);
    // Text travels with its terminating zero.
    void SendText(int code, std::intptr_t a, int b, const std::string& text);
    void PostText(int code, std::intptr_t a, int b, const std::string& text);
    void PostData(int code, const void* data, int size);

    // Delivers at once and returns the first answer, or nullptr when no handler answered.
    // The answers stay valid until the next ask.
    const cmcEvAns* Ask(int code, std::intptr_t a = 0, int b = 0);
    // Called by a handler of an ask; ignored outside an ask.
    void Answer(int value, int value2 = 0, const void* data = nullptr, int size = 0);
    void AnswerText(const std::string& text);

    // One delivery pass over the posted events; the task runs it every 10 ms. A handler
    // may run one itself (a modal box's nested loop): nothing an outer pass or send is
    // walking is freed until the outermost walk has finished.
    void DeliverPass();

    // For tests and diagnostics.
    size_t PendingPosts() const;      // queued events not yet delivered
    size_t SubscriberEntries() const; // entries held, including those marked removed
    size_t ActiveSubscribers() const; // entries not marked removed

    // Pass an object in the first argument.
    static std::intptr_t Ref(const void* object) { return reinterpret_cast<std::intptr_t>(object); }

    // The process-wide event manager of the running program.
    static cmcEvMan& Process();
    static void SetProcess(cmcEvMan* manager);

  private:
    struct Subscriber {
        cmcEvHandler handler;
        void* context;
        bool removed = false;
    };
    struct Queued {
        cmcEvent event;
        bool fresh = true; // posted during the current pass: waits for the next one
        bool delivered = false;
    };
    struct AskFrame {
        std::unique_ptr<cmcEvAns> first;
        cmcEvAns* current = nullptr;
    };

    static cmcEvent MakeEvent(int code, int mode, std::intptr_t a, int b, const void* data,
                              int size);
    void Deliver(const cmcEvent& event);
    void EndWalk();
    void Sweep();

    std::list<Subscriber> subscribers_; // newest first; list nodes stay put during walks
    std::deque<std::unique_ptr<Queued>> queue_;
    std::vector<AskFrame> asks_;            // asks in progress, innermost last
    std::unique_ptr<cmcEvAns> lastAnswers_; // the chain of the most recent ask
    int walkDepth_ = 0;                     // sends, asks and passes now running
    bool sweepDue_ = false;                 // a pass ended inside another walk
    std::unique_ptr<cmcTask> task_;
};
