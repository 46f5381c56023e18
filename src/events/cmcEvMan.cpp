#include "events/cmcEvMan.h"

#include "platform/cmcTask.h"

#include <cstring>

namespace {

cmcEvMan* processManager = nullptr;

std::string TextOf(const std::vector<uint8_t>& data) {
    const char* text = reinterpret_cast<const char*>(data.data());
    return std::string(text, strnlen(text, data.size()));
}

std::vector<uint8_t> CopyOf(const void* data, int size) {
    if (!data || size <= 0) return {};
    const uint8_t* bytes = static_cast<const uint8_t*>(data);
    return std::vector<uint8_t>(bytes, bytes + size);
}

int TextSize(const std::string& text) {
    return static_cast<int>(text.size()) + 1;
}

} // namespace

std::string cmcEvent::Text() const {
    return TextOf(data);
}

std::string cmcEvAns::Text() const {
    return TextOf(data);
}

cmcEvMan::cmcEvMan() : task_(std::make_unique<cmcTask>()) {
    task_->setHandler([this](cmcTask&) { DeliverPass(); });
    task_->setInterval(DeliveryIntervalMs);
}

cmcEvMan::~cmcEvMan() {
    task_->stop();
    if (processManager == this) processManager = nullptr;
}

void cmcEvMan::Subscribe(cmcEvHandler handler, void* context) {
    if (!handler) return;
    Unsubscribe(handler, context);
    subscribers_.push_front(Subscriber{handler, context});
}

void cmcEvMan::Unsubscribe(cmcEvHandler handler, void* context) {
    for (Subscriber& entry : subscribers_)
        if (entry.handler == handler && entry.context == context) entry.removed = true;
}

cmcEvent cmcEvMan::MakeEvent(int code, int mode, std::intptr_t a, int b, const void* data,
                             int size) {
    cmcEvent event;
    event.code = code;
    event.mode = mode;
    event.a = a;
    event.b = b;
    event.data = CopyOf(data, size);
    return event;
}

// Calls every entry not marked removed, newest first. Entries subscribed meanwhile sit in
// front of the walk and are not called; entries are never unlinked while a walk runs.
void cmcEvMan::Deliver(const cmcEvent& event) {
    ++walkDepth_;
    for (Subscriber& entry : subscribers_)
        if (!entry.removed) entry.handler(entry.context, event);
    EndWalk();
}

void cmcEvMan::EndWalk() {
    --walkDepth_;
    if (walkDepth_ == 0 && sweepDue_) Sweep();
}

void cmcEvMan::Send(int code, std::intptr_t a, int b, const void* data, int size) {
    const cmcEvent event = MakeEvent(code, cmcEvent::Sent, a, b, data, size);
    Deliver(event);
}

void cmcEvMan::Post(int code, std::intptr_t a, int b, const void* data, int size) {
    auto queued = std::make_unique<Queued>();
    queued->event = MakeEvent(code, cmcEvent::Posted, a, b, data, size);
    queue_.push_back(std::move(queued));
}

void cmcEvMan::SendText(int code, std::intptr_t a, int b, const std::string& text) {
    Send(code, a, b, text.c_str(), TextSize(text));
}

void cmcEvMan::PostText(int code, std::intptr_t a, int b, const std::string& text) {
    Post(code, a, b, text.c_str(), TextSize(text));
}

void cmcEvMan::PostData(int code, const void* data, int size) {
    Post(code, 0, 0, data, size);
}

const cmcEvAns* cmcEvMan::Ask(int code, std::intptr_t a, int b) {
    // The previous ask's answers go now; those of asks still running (an ask from inside
    // a handler of another) stay with their frames.
    lastAnswers_.reset();
    AskFrame frame;
    frame.first = std::make_unique<cmcEvAns>();
    frame.current = frame.first.get();
    asks_.push_back(std::move(frame));

    const cmcEvent event = MakeEvent(code, cmcEvent::Asked, a, b, nullptr, 0);
    Deliver(event);

    AskFrame done = std::move(asks_.back());
    asks_.pop_back();
    // Drop the trailing empty answer: the last link of the chain.
    if (done.first.get() == done.current) {
        lastAnswers_.reset();
        return nullptr;
    }
    cmcEvAns* link = done.first.get();
    while (link->next.get() != done.current)
        link = link->next.get();
    link->next.reset();
    lastAnswers_ = std::move(done.first);
    return lastAnswers_.get();
}

void cmcEvMan::Answer(int value, int value2, const void* data, int size) {
    if (asks_.empty()) return;
    AskFrame& frame = asks_.back();
    frame.current->value = value;
    frame.current->value2 = value2;
    frame.current->data = CopyOf(data, size);
    frame.current->next = std::make_unique<cmcEvAns>();
    frame.current = frame.current->next.get();
}

void cmcEvMan::AnswerText(const std::string& text) {
    Answer(0, 0, text.c_str(), TextSize(text));
}

void cmcEvMan::DeliverPass() {
    ++walkDepth_;
    for (auto& queued : queue_)
        queued->fresh = false;
    // By index: handlers append to the queue, which may move the deque's blocks but not
    // the events themselves. An event is marked delivered before its delivery, so a pass
    // run by one of its handlers does not deliver it again.
    for (size_t i = 0; i < queue_.size(); ++i) {
        Queued& queued = *queue_[i];
        if (queued.fresh || queued.delivered) continue;
        queued.delivered = true;
        Deliver(queued.event);
    }
    sweepDue_ = true;
    EndWalk();
}

// Frees delivered events and removed entries; only when no walk is running.
void cmcEvMan::Sweep() {
    sweepDue_ = false;
    std::erase_if(queue_, [](const auto& queued) { return queued->delivered; });
    subscribers_.remove_if([](const Subscriber& entry) { return entry.removed; });
}

size_t cmcEvMan::PendingPosts() const {
    size_t count = 0;
    for (const auto& queued : queue_)
        if (!queued->delivered) ++count;
    return count;
}

size_t cmcEvMan::SubscriberEntries() const {
    return subscribers_.size();
}

size_t cmcEvMan::ActiveSubscribers() const {
    size_t count = 0;
    for (const Subscriber& entry : subscribers_)
        if (!entry.removed) ++count;
    return count;
}

cmcEvMan& cmcEvMan::Process() {
    if (!processManager) cmcFatal("No event manager.");
    return *processManager;
}

void cmcEvMan::SetProcess(cmcEvMan* manager) {
    processManager = manager;
}
