#include "sheet/MessageBus.h"

#include <cstring>

#include "app/Fatal.h"

namespace twk {

std::string Message::Text() const {
  if (data.empty()) return {};
  const auto* p = reinterpret_cast<const char*>(data.data());
  return std::string(p, strnlen(p, data.size()));
}

MessageBus::MessageBus(TimerService& timers) : timers_(timers) {
  timer_ = timers_.Create([this] { Tick(); });
  timers_.Start(timer_, kTickMs);
}

MessageBus::~MessageBus() { timers_.Destroy(timer_); }

void MessageBus::Subscribe(Callback callback, void* object) {
  if (reinterpret_cast<std::uintptr_t>(callback) < 0x10000) return;
  Unsubscribe(callback, object);
  subscribers_.push_front(Subscriber{callback, object});
}

void MessageBus::Unsubscribe(Callback callback, void* object) {
  for (Subscriber& s : subscribers_)
    if (s.callback == callback && s.object == object) s.removed = true;
}

void MessageBus::Deliver(const Message& m) {
  // Entries are never erased during a walk (only flagged), so the iterator
  // stays valid whatever the callbacks do; entries added at the front are
  // not reached by this walk. A tick that runs inside a callback (a nested
  // event loop) leaves the flagged entries to a tick after the walk.
  ++walks_;
  struct Done {
    int& walks;
    ~Done() { --walks; }
  } done{walks_};
  for (auto it = subscribers_.begin(); it != subscribers_.end(); ++it)
    if (!it->removed) it->callback(it->object, m);
}

namespace {
Message Make(int type, MessageMode mode, std::intptr_t v1, std::int32_t v2) {
  Message m;
  m.type = type;
  m.mode = mode;
  m.value1 = v1;
  m.value2 = v2;
  return m;
}
void SetText(Message& m, std::string_view text) {
  m.data.assign(text.begin(), text.end());
  m.data.push_back(0);
}
}  // namespace

void MessageBus::Send(int type, std::intptr_t value1, std::int32_t value2) {
  Deliver(Make(type, MessageMode::Sent, value1, value2));
}

void MessageBus::SendText(int type, std::intptr_t value1, std::int32_t value2,
                          std::string_view text) {
  Message m = Make(type, MessageMode::Sent, value1, value2);
  SetText(m, text);
  Deliver(m);
}

void MessageBus::Enqueue(Message m) { queue_.push_back(Queued{std::move(m)}); }

void MessageBus::Post(int type, std::intptr_t value1, std::int32_t value2) {
  Enqueue(Make(type, MessageMode::Posted, value1, value2));
}

void MessageBus::PostText(int type, std::intptr_t value1, std::int32_t value2,
                          std::string_view text) {
  Message m = Make(type, MessageMode::Posted, value1, value2);
  SetText(m, text);
  Enqueue(std::move(m));
}

std::vector<ReplyRecord> MessageBus::Request(int type, std::intptr_t value1, std::int32_t value2) {
  // The chain of this request: replies fill its last (empty) record and
  // append a fresh one; the trailing empty record is dropped at the end.
  std::vector<ReplyRecord> chain(1);
  chains_.push_back(&chain);
  struct Pop {
    std::vector<std::vector<ReplyRecord>*>& chains;
    ~Pop() { chains.pop_back(); }
  } pop{chains_};
  Deliver(Make(type, MessageMode::Request, value1, value2));
  chain.pop_back();
  return chain;
}

ReplyRecord& MessageBus::CurrentReply() { return chains_.back()->back(); }

void MessageBus::Reply(const void* data, std::size_t length) { ReplyValues(0, 0, data, length); }

void MessageBus::ReplyValues(std::intptr_t value1, std::int32_t value2, const void* data,
                             std::size_t length) {
  if (chains_.empty()) return;
  ReplyRecord& r = CurrentReply();
  r.value1 = value1;
  r.value2 = value2;
  if (data != nullptr && length > 0) {
    const auto* p = static_cast<const std::uint8_t*>(data);
    r.data.assign(p, p + length);
  }
  chains_.back()->emplace_back();
}

void MessageBus::ReplyObject(std::any object, std::intptr_t value1, std::int32_t value2) {
  if (chains_.empty()) return;
  CurrentReply().object = std::move(object);
  ReplyValues(value1, value2);
}

void MessageBus::Tick() {
  if (ticking_) return;  // a timer callback is never re-entered
  ticking_ = true;
  for (Queued& q : queue_) q.isNew = false;
  // Messages posted during the walk are appended with the new flag set and
  // are skipped until the next tick.
  for (auto it = queue_.begin(); it != queue_.end(); ++it) {
    if (it->delivered || it->isNew) continue;
    it->delivered = true;
    Deliver(it->message);
  }
  queue_.remove_if([](const Queued& q) { return q.delivered; });
  if (walks_ == 0) subscribers_.remove_if([](const Subscriber& s) { return s.removed; });
  ticking_ = false;
}

namespace {
MessageBus*& TheBus() {
  static MessageBus* bus = nullptr;
  return bus;
}
}  // namespace

MessageBus* SetBus(MessageBus* bus) {
  MessageBus* previous = TheBus();
  TheBus() = bus;
  return previous;
}

MessageBus& Bus() {
  if (TheBus() == nullptr) Fatal("The message bus does not exist.");
  return *TheBus();
}

MessageBus* BusOrNull() { return TheBus(); }

}  // namespace twk
