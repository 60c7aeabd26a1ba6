// The message bus: delivery order, deferred freeing, posting on the 10 ms
// tick, requests with nested reply chains.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "clone/TimerService.h"
#include "sheet/MessageBus.h"

namespace twk {
namespace {

// A subscriber that logs what it receives and runs an optional action.
struct Listener {
  std::string name;
  std::vector<std::string>* log;
  std::function<void(const Message&)> action;

  static void OnMessage(void* self, const Message& m) {
    auto* l = static_cast<Listener*>(self);
    l->log->push_back(l->name + ":" + std::to_string(m.type));
    if (l->action) l->action(m);
  }
};

class BusTest : public ::testing::Test {
 protected:
  ManualClock clock;
  MessageBus bus{clock};
  std::vector<std::string> log;

  Listener Make(std::string name) { return Listener{std::move(name), &log, nullptr}; }
  void Add(Listener& l) { bus.Subscribe(&Listener::OnMessage, &l); }
};

TEST_F(BusTest, SendReachesTheMostRecentSubscriberFirst) {
  Listener a = Make("a"), b = Make("b"), c = Make("c");
  Add(a);
  Add(b);
  Add(c);
  Message seen;
  a.action = [&](const Message& m) { seen = m; };
  bus.SendText(msg::kStatusText, 0x00FFFF, 0x000080, "warn");
  EXPECT_EQ(log, (std::vector<std::string>{"c:4", "b:4", "a:4"}));
  EXPECT_EQ(seen.mode, MessageMode::Sent);
  EXPECT_EQ(seen.value1, 0x00FFFF);
  EXPECT_EQ(seen.value2, 0x000080);
  EXPECT_EQ(seen.data.size(), 5u);  // the text with its terminating zero
  EXPECT_EQ(seen.Text(), "warn");
}

TEST_F(BusTest, SubscribingTwiceDeliversOnceAndNullCallbacksAreIgnored) {
  Listener a = Make("a"), b = Make("b");
  Add(a);
  Add(b);
  Add(a);  // moves a to the front
  bus.Subscribe(reinterpret_cast<MessageBus::Callback>(std::uintptr_t{0x1234}), &a);
  bus.Subscribe(nullptr, &a);
  bus.Send(9, 0, 0);
  EXPECT_EQ(log, (std::vector<std::string>{"a:9", "b:9"}));
  clock.Advance(10);
  EXPECT_EQ(bus.SubscriberEntries(), 2u);  // the replaced entry was freed
}

TEST_F(BusTest, UnsubscribeDuringSendTakesEffectAtOnceAndFreesOnTheNextTick) {
  Listener a = Make("a"), b = Make("b"), c = Make("c");
  Add(a);
  Add(b);
  Add(c);
  // c (called first) removes a; b removes itself and sends again.
  c.action = [&](const Message& m) {
    if (m.type == 9) bus.Unsubscribe(&Listener::OnMessage, &a);
  };
  b.action = [&](const Message& m) {
    if (m.type != 9) return;
    bus.Unsubscribe(&Listener::OnMessage, &b);
    bus.Send(20, 0, 0);  // a nested walk skips b and a
  };
  bus.Send(9, 0, 0);
  EXPECT_EQ(log, (std::vector<std::string>{"c:9", "b:9", "c:20"}));
  EXPECT_EQ(bus.SubscriberEntries(), 3u);  // flagged, not yet freed
  log.clear();
  bus.Send(9, 0, 0);
  EXPECT_EQ(log, (std::vector<std::string>{"c:9"}));
  clock.Advance(10);
  EXPECT_EQ(bus.SubscriberEntries(), 1u);
}

// A callback may run a nested event loop (a modal box) in which the 10 ms
// timer fires: entries flagged during the walk are not freed under it.
TEST_F(BusTest, TickDuringASendWalkFreesNothingTheWalkStandsOn) {
  Listener a = Make("a"), b = Make("b"), c = Make("c");
  Add(a);
  Add(b);
  Add(c);
  std::size_t entriesInTheNestedTick = 0;
  c.action = [&](const Message& m) {
    if (m.type != 9) return;
    bus.Unsubscribe(&Listener::OnMessage, &c);
    bus.Post(13, 0, 0);
    clock.Advance(10);  // the timer fires inside the callback
    entriesInTheNestedTick = bus.SubscriberEntries();
  };
  bus.Send(9, 0, 0);
  EXPECT_EQ(log, (std::vector<std::string>{"c:9", "b:13", "a:13", "b:9", "a:9"}));
  EXPECT_EQ(entriesInTheNestedTick, 3u);
  clock.Advance(10);
  EXPECT_EQ(bus.SubscriberEntries(), 2u);
}

TEST(MessageBusText, MessageWithoutDataHasAnEmptyText) {
  Message m;
  EXPECT_EQ(m.Text(), "");
  m.data = {'a', 'b', 0, 'c'};
  EXPECT_EQ(m.Text(), "ab");
  m.data = {'x', 'y'};  // no terminating zero: the whole block
  EXPECT_EQ(m.Text(), "xy");
}

TEST_F(BusTest, SubscriberAddedDuringSendIsNotReachedByThatWalk) {
  Listener a = Make("a"), late = Make("late");
  Add(a);
  a.action = [&](const Message&) { Add(late); };
  bus.Send(9, 0, 0);
  EXPECT_EQ(log, (std::vector<std::string>{"a:9"}));
  log.clear();
  a.action = nullptr;
  bus.Send(9, 0, 0);
  EXPECT_EQ(log, (std::vector<std::string>{"late:9", "a:9"}));
}

TEST_F(BusTest, PostWaitsForTheTickAndKeepsItsOwnCopy) {
  Listener a = Make("a");
  Add(a);
  std::string text = "status";
  Message seen;
  a.action = [&](const Message& m) { seen = m; };
  bus.PostText(msg::kStatusText, 1, 2, text);
  text = "changed";
  clock.Advance(9);
  EXPECT_TRUE(log.empty());
  clock.Advance(1);
  EXPECT_EQ(log, (std::vector<std::string>{"a:4"}));
  EXPECT_EQ(seen.mode, MessageMode::Posted);
  EXPECT_EQ(seen.Text(), "status");
  EXPECT_EQ(bus.QueuedMessages(), 0u);
  clock.Advance(50);
  EXPECT_EQ(log.size(), 1u);  // delivered once
}

TEST_F(BusTest, PostFromATickIsDeliveredOnTheNextTick) {
  Listener a = Make("a");
  Add(a);
  a.action = [&](const Message& m) {
    if (m.type == 13) bus.Post(14, 0, 3);
  };
  bus.Post(13, 0, 0);
  bus.Post(15, 0, 0);
  clock.Advance(10);
  EXPECT_EQ(log, (std::vector<std::string>{"a:13", "a:15"}));  // queue order; 14 waits
  EXPECT_EQ(bus.QueuedMessages(), 1u);
  clock.Advance(10);
  EXPECT_EQ(log, (std::vector<std::string>{"a:13", "a:15", "a:14"}));
}

TEST_F(BusTest, SendIsDeliveredBeforeAnEarlierPost) {
  Listener a = Make("a");
  Add(a);
  bus.Post(13, 0, 0);
  bus.Send(21, 0, 0);
  clock.Advance(10);
  EXPECT_EQ(log, (std::vector<std::string>{"a:21", "a:13"}));
}

TEST_F(BusTest, RequestsCollectRepliesMostRecentFirst) {
  Listener quiet = Make("quiet");
  Add(quiet);
  EXPECT_TRUE(bus.Request(12, 0, 0).empty());  // nobody answers
  EXPECT_EQ(log, (std::vector<std::string>{"quiet:12"}));

  Listener first = Make("first"), second = Make("second");
  first.action = [&](const Message& m) {
    if (m.mode == MessageMode::Request && m.type == 12) bus.ReplyValues(1, 10, "one", 4);
  };
  second.action = [&](const Message& m) {
    if (m.mode == MessageMode::Request && m.type == 12) bus.ReplyObject(std::string("object"), 2, 20);
  };
  Add(first);
  Add(second);
  const std::vector<ReplyRecord> replies = bus.Request(12, 0, 0);
  ASSERT_EQ(replies.size(), 2u);
  EXPECT_EQ(replies[0].value1, 2);
  EXPECT_EQ(std::any_cast<std::string>(replies[0].object), "object");
  EXPECT_EQ(replies[1].value1, 1);
  EXPECT_EQ(replies[1].value2, 10);
  EXPECT_EQ(std::string(replies[1].data.begin(), replies[1].data.end() - 1), "one");
  bus.Reply("x", 1);  // no request running: ignored
  EXPECT_TRUE(bus.Request(30, 0, 0).empty());
}

TEST_F(BusTest, NestedRequestsKeepTheirChainsApart) {
  Listener outer = Make("outer"), inner = Make("inner");
  // inner answers type 31 with 7 and type 30 with 100.
  inner.action = [&](const Message& m) {
    if (m.type == 31) bus.ReplyValues(7, 0);
    if (m.type == 30) bus.ReplyValues(100, 0);
  };
  // outer answers type 30 with the sum of an inner request's replies + 1.
  outer.action = [&](const Message& m) {
    if (m.type != 30) return;
    std::intptr_t sum = 0;
    for (const ReplyRecord& r : bus.Request(31, 0, 0)) sum += r.value1;
    bus.ReplyValues(sum + 1, 0);
  };
  Add(inner);
  Add(outer);  // outer is called first
  const std::vector<ReplyRecord> replies = bus.Request(30, 0, 0);
  ASSERT_EQ(replies.size(), 2u);
  EXPECT_EQ(replies[0].value1, 8);
  EXPECT_EQ(replies[1].value1, 100);
}

TEST(MessageBus, DestroyingDropsQueuedMessagesAndStopsTheTimer) {
  ManualClock clock;
  std::vector<std::string> log;
  Listener a{"a", &log, nullptr};
  {
    MessageBus bus(clock);
    EXPECT_EQ(clock.RunningTimers(), 1);
    bus.Subscribe(&Listener::OnMessage, &a);
    bus.Post(13, 0, 0);
  }
  EXPECT_EQ(clock.RunningTimers(), 0);
  clock.Advance(100);
  EXPECT_TRUE(log.empty());
}

TEST(MessageBus, GlobalInstance) {
  ManualClock clock;
  MessageBus bus(clock);
  MessageBus* previous = SetBus(&bus);
  EXPECT_EQ(&Bus(), &bus);
  EXPECT_EQ(BusOrNull(), &bus);
  SetBus(previous);
}

}  // namespace
}  // namespace twk
