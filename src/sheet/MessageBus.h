// The application-wide message bus. Components subscribe a callback with
// their object pointer; anyone broadcasts a message (type, two values, an
// optional byte block) synchronously (send), queued for the next 10 ms tick
// (post), or as a request whose subscribers' replies are collected.
// Delivery visits the most recent subscriber first. Unsubscribed entries are
// only flagged during deliveries and freed at the end of a tick, so a
// callback may unsubscribe itself or others at any time.
#pragma once

#include <any>
#include <cstdint>
#include <list>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "clone/TimerService.h"

namespace twk {

// Message types.
namespace msg {
constexpr int kSheetDestroyed = 1;        // send; value 1 = the grid (a pointer)
constexpr int kMenuStateChanged = 2;      // send; the main frame answers with 9 and 20
constexpr int kMainFrame = 3;             // post; for the main frame
constexpr int kStatusText = 4;            // send/post text; text colour, background, text
constexpr int kMakerTool5 = 5;            // 5..8: maker tools, for the main frame
constexpr int kMakerTool6 = 6;
constexpr int kMakerTool7 = 7;
constexpr int kEeDebugToMain = 8;         // send; from the EEPROM debug window
constexpr int kRefreshMenuStates = 9;     // send
constexpr int kRemoveMirroredItems = 10;  // send; value 2 = cell label of the menu item
constexpr int kAddPopupItems = 11;        // send/post text; value 1 = menu builder, value 2 = label, text = popup key
constexpr int kRequestParentCell = 12;    // request; value 1 = owner menu item; reply: a CellDescriptor copy
constexpr int kRepaintAll = 13;           // post
constexpr int kRepaintCategory = 14;      // post; value 2 = category
constexpr int kRepaintLabel = 15;         // post; value 2 = label
constexpr int kRepaintIndex = 16;         // post; value 2 = index
constexpr int kRepaintIndexAtMost = 17;   // post; value 2 = index
constexpr int kRepaintIndexAtLeast = 18;  // post; value 2 = index
constexpr int kToolbarRefresh = 20;       // send
constexpr int kCommitEditors = 21;        // send; before file and clone commands
constexpr int kEeDebugRefresh = 23;       // post
constexpr int kEeDebugFocus = 24;         // post; value 2 = EEPROM address
constexpr int kPlanOptionsChanged = 27;   // send
constexpr int kAttributeChanged = 28;     // post; value 1 = 0 or 1
}  // namespace msg

// Status line colours (0x00BBGGRR).
constexpr std::uint32_t kStatusWarnText = 0x00FFFF;  // yellow
constexpr std::uint32_t kStatusWarnBack = 0x000080;  // maroon

enum class MessageMode : int { Posted = 0, Sent = 1, Request = 2 };

struct Message {
  int type = 0;
  MessageMode mode = MessageMode::Sent;
  std::intptr_t value1 = 0;  // integer or pointer
  std::int32_t value2 = 0;
  std::vector<std::uint8_t> data;  // own copy; texts keep their terminating zero

  // The data block read as a text (up to its first zero byte).
  std::string Text() const;
};

// One reply of a request: values, a copy of the data block, and an optional
// typed object (a cell descriptor copy for request 12).
struct ReplyRecord {
  std::intptr_t value1 = 0;
  std::int32_t value2 = 0;
  std::vector<std::uint8_t> data;
  std::any object;
};

class MessageBus {
 public:
  using Callback = void (*)(void* object, const Message& message);

  // Starts the 10 ms delivery timer on `timers`, which must outlive the bus.
  explicit MessageBus(TimerService& timers = DefaultTimerService());
  // Stops the timer, drops queued messages undelivered, subscriptions and replies.
  ~MessageBus();
  MessageBus(const MessageBus&) = delete;
  MessageBus& operator=(const MessageBus&) = delete;

  static constexpr int kTickMs = 10;

  // A null callback (any value below 0x10000) is ignored. An existing entry
  // with the same callback and object is removed first; the new entry goes
  // to the front.
  void Subscribe(Callback callback, void* object);
  // Marks every matching entry removed (freed at the end of the next tick).
  void Unsubscribe(Callback callback, void* object);

  void Send(int type, std::intptr_t value1, std::int32_t value2);
  void SendText(int type, std::intptr_t value1, std::int32_t value2, std::string_view text);
  void Post(int type, std::intptr_t value1, std::int32_t value2);
  void PostText(int type, std::intptr_t value1, std::int32_t value2, std::string_view text);

  // Synchronous broadcast in request mode; returns the replies in the order
  // given (most recent subscriber first); empty when nobody replied.
  // Requests may nest: a reply handler may itself issue a request.
  std::vector<ReplyRecord> Request(int type, std::intptr_t value1, std::int32_t value2);
  // Answers the request being delivered (ignored outside a request).
  void Reply(const void* data, std::size_t length);
  void ReplyValues(std::intptr_t value1, std::int32_t value2, const void* data = nullptr,
                   std::size_t length = 0);
  void ReplyObject(std::any object, std::intptr_t value1 = 0, std::int32_t value2 = 0);

  // One delivery tick, as the timer runs it (public for tests).
  void Tick();

  // For tests: entries still allocated (including removed ones not yet
  // freed) and messages waiting in the queue.
  std::size_t SubscriberEntries() const { return subscribers_.size(); }
  std::size_t QueuedMessages() const { return queue_.size(); }

 private:
  struct Subscriber {
    Callback callback;
    void* object;
    bool removed = false;
  };
  struct Queued {
    Message message;
    bool delivered = false;
    bool isNew = true;
  };

  void Deliver(const Message& m);
  void Enqueue(Message m);
  ReplyRecord& CurrentReply();

  TimerService& timers_;
  TimerService::TimerId timer_;
  bool ticking_ = false;
  int walks_ = 0;  // synchronous deliveries in progress (they may nest)
  std::list<Subscriber> subscribers_;  // front = most recent
  std::list<Queued> queue_;            // posting order
  std::vector<std::vector<ReplyRecord>*> chains_;  // open requests, innermost last
};

// The process-wide bus, created at start-up before any window. Returns the
// previous one. Bus() is a fatal stop when none is installed.
MessageBus* SetBus(MessageBus* bus);
MessageBus& Bus();
MessageBus* BusOrNull();

}  // namespace twk
