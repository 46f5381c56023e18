#include "events/cmcEvMan.h"
#include "events/cmcEvents.h"
#include "platform/fake/cmcFakePlatform.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

namespace {

// A subscriber that records what it receives and may run an action on each event.
struct Listener {
    explicit Listener(std::string name, std::vector<std::string>* log = nullptr)
        : name(std::move(name)), log(log) {}

    std::string name;
    std::vector<std::string>* log;
    std::function<void(const cmcEvent&)> action;
    std::vector<cmcEvent> received;

    static void Handle(void* context, const cmcEvent& event) {
        auto* self = static_cast<Listener*>(context);
        self->received.push_back(event);
        if (self->log) self->log->push_back(self->name + ":" + std::to_string(event.code));
        if (self->action) self->action(event);
    }
};

class EvManTest : public ::testing::Test {
  protected:
    void Subscribe(Listener& listener) { events.Subscribe(&Listener::Handle, &listener); }
    void Unsubscribe(Listener& listener) { events.Unsubscribe(&Listener::Handle, &listener); }
    void Pass() { platform.clock.advance(cmcEvMan::DeliveryIntervalMs); }

    cmcFakePlatform platform;
    cmcEvMan events;
    std::vector<std::string> log;
};

TEST_F(EvManTest, SubscribingTwiceLeavesOneEntryAndNewestIsCalledFirst) {
    Listener first("first", &log), second("second", &log);
    Subscribe(first);
    Subscribe(second);
    Subscribe(first); // replaces the old entry and moves to the front
    events.Subscribe(nullptr, &first);
    EXPECT_EQ(events.ActiveSubscribers(), 2u);

    events.Send(ev::MenuRefresh, 3, 4);
    EXPECT_EQ(log, (std::vector<std::string>{"first:22", "second:22"}));
    ASSERT_EQ(first.received.size(), 1u);
    EXPECT_EQ(first.received[0].a, 3);
    EXPECT_EQ(first.received[0].b, 4);
    EXPECT_EQ(first.received[0].mode, cmcEvent::Sent);

    Pass(); // the replaced entry is freed at the end of a pass
    EXPECT_EQ(events.SubscriberEntries(), 2u);
}

TEST_F(EvManTest, UnsubscribedDuringASendGetsNothingMoreAndIsFreedAtThePass) {
    Listener later("later", &log), self("self", &log), front("front", &log);
    Subscribe(later);
    Subscribe(self);
    Subscribe(front);
    // "front" removes "later" before the walk reaches it; "self" removes itself.
    front.action = [&](const cmcEvent&) { Unsubscribe(later); };
    self.action = [&](const cmcEvent&) { Unsubscribe(self); };

    events.Send(ev::CommitInput);
    events.Send(ev::CommitInput);
    EXPECT_EQ(log, (std::vector<std::string>{"front:35", "self:35", "front:35"}));
    EXPECT_EQ(events.SubscriberEntries(), 3u);
    Pass();
    EXPECT_EQ(events.SubscriberEntries(), 1u);
}

TEST_F(EvManTest, PostsWaitForThePassAndPostsFromHandlersForTheNextOne) {
    Listener listener("l", &log);
    Subscribe(listener);
    listener.action = [&](const cmcEvent& event) {
        if (event.code == ev::RepaintAll) events.Post(ev::RepaintIndex, 0, 7);
    };

    events.Post(ev::RepaintAll);
    events.PostText(ev::CategoryCaption, 0, 2, "Air");
    EXPECT_TRUE(log.empty());
    platform.clock.advance(cmcEvMan::DeliveryIntervalMs - 1);
    EXPECT_TRUE(log.empty());
    platform.clock.advance(1);
    EXPECT_EQ(log, (std::vector<std::string>{"l:26", "l:71"}));
    EXPECT_EQ(listener.received[1].Text(), "Air");
    EXPECT_EQ(listener.received[1].DataSize(), 4); // with the terminating zero
    EXPECT_EQ(listener.received[1].mode, cmcEvent::Posted);
    EXPECT_EQ(events.PendingPosts(), 1u);

    Pass();
    EXPECT_EQ(log.back(), "l:29");
    EXPECT_EQ(listener.received.back().b, 7);
    EXPECT_EQ(events.PendingPosts(), 0u);
}

TEST_F(EvManTest, AskCollectsAnswersNewestFirstUntilTheNextAsk) {
    Listener older("older"), newer("newer"), silent("silent");
    older.action = [&](const cmcEvent&) { events.AnswerText("list"); };
    newer.action = [&](const cmcEvent& event) { events.Answer(event.b, 5); };
    Subscribe(silent);
    Subscribe(older);
    Subscribe(newer);

    const cmcEvAns* answer = events.Ask(ev::AskChannelList, 0, 9);
    ASSERT_NE(answer, nullptr);
    EXPECT_EQ(answer->value, 9);
    EXPECT_EQ(answer->value2, 5);
    ASSERT_NE(answer->next, nullptr);
    EXPECT_EQ(answer->next->Text(), "list");
    EXPECT_EQ(answer->next->next, nullptr);
    EXPECT_EQ(newer.received[0].mode, cmcEvent::Asked);

    Unsubscribe(older);
    Unsubscribe(newer);
    EXPECT_EQ(events.Ask(ev::AskChannelList), nullptr);
    events.Answer(1); // outside an ask: ignored
}

TEST_F(EvManTest, AnAskInsideAnAskKeepsTheOuterAnswers) {
    Listener inner("inner"), outer("outer");
    inner.action = [&](const cmcEvent& event) {
        if (event.code == ev::AskCurrentCell) events.Answer(2);
    };
    outer.action = [&](const cmcEvent& event) {
        if (event.code != ev::AskChannelList) return;
        events.Answer(1);
        events.Ask(ev::AskCurrentCell);
        events.Answer(3);
    };
    Subscribe(inner);
    Subscribe(outer);

    const cmcEvAns* answer = events.Ask(ev::AskChannelList);
    ASSERT_NE(answer, nullptr);
    EXPECT_EQ(answer->value, 1);
    ASSERT_NE(answer->next, nullptr);
    EXPECT_EQ(answer->next->value, 3);
    EXPECT_EQ(answer->next->next, nullptr);
}

// A handler shows a modal box whose nested loop runs a delivery pass. The event being
// delivered must not be delivered again or freed, and entries removed in the nested pass
// stay allocated until the outer walk has finished.
TEST_F(EvManTest, NestedDeliveryPassFromAHandler) {
    Listener last("last", &log), modal("modal", &log), remover("remover", &log);
    Subscribe(last);
    Subscribe(modal);
    Subscribe(remover);
    size_t entriesInsideNestedPass = 0;
    modal.action = [&](const cmcEvent& event) {
        if (event.code != ev::RepaintAll) return;
        for (int i = 0; i < 200; ++i)
            events.Post(ev::RepaintIndex, 0, i); // grows the queue
        events.DeliverPass();
        entriesInsideNestedPass = events.SubscriberEntries();
    };
    remover.action = [&](const cmcEvent& event) {
        if (event.code == ev::DataChanged) Unsubscribe(last);
    };

    events.Post(ev::RepaintAll);
    events.Post(ev::DataChanged);
    Pass();

    // The outer pass delivered 26 to all three; the nested pass delivered 37 (removing
    // "last") and the posts made before it; nothing was delivered twice.
    EXPECT_EQ(std::count(log.begin(), log.end(), "modal:26"), 1);
    EXPECT_EQ(std::count(log.begin(), log.end(), "modal:37"), 1);
    EXPECT_EQ(std::count(log.begin(), log.end(), "modal:29"), 200);
    EXPECT_EQ(std::count(log.begin(), log.end(), "last:26"), 0); // removed before its turn
    EXPECT_EQ(std::count(log.begin(), log.end(), "last:37"), 0);
    EXPECT_EQ(entriesInsideNestedPass, 3u);
    EXPECT_EQ(events.SubscriberEntries(), 2u);
    EXPECT_EQ(events.PendingPosts(), 0u);
}

TEST_F(EvManTest, PendingPostsAreDiscardedAtDestruction) {
    Listener listener("l", &log);
    {
        cmcEvMan local;
        local.Subscribe(&Listener::Handle, &listener);
        local.Post(ev::RepaintAll);
        local.PostData(ev::CurrentCellChanged, "abcdefghijkl", 12);
    }
    platform.clock.advance(100);
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(platform.clock.activeTimers(), 1u); // only the fixture's manager
}

TEST_F(EvManTest, ProcessWideManager) {
    cmcEvMan::SetProcess(&events);
    EXPECT_EQ(&cmcEvMan::Process(), &events);
    cmcEvMan::SetProcess(nullptr);
}

} // namespace
