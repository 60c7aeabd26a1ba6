#include "clone/cmcCloneEngine.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace twk {
namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Upper-case digits only: the radio's records never use lower case.
int StrictHexDigit(std::uint8_t c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string Format(const char* fmt, int a, int b) {
  char buf[128];
  std::snprintf(buf, sizeof buf, fmt, a, b);
  return buf;
}

const char kMaker[] = "Zelt Inc.";

}  // namespace

const cmcRangeList& ReadRangeList() {
  static const cmcRangeList list{{0x000, 0xFFF}, {1, 0}};
  return list;
}

const cmcRangeList& WriteRangeList(bool makerMode) {
  static const cmcRangeList maker{{0x000, 0xFFF}, {1, 0}};
  static const cmcRangeList normal{{0x000, 0xFEB}, {1, 0}};
  return makerMode ? maker : normal;
}

int RangeListBytes(const cmcRangeList& list) {
  int total = 0;
  for (const auto& r : list) {
    if (r.end < r.start) break;
    total += r.end - r.start + 1;
  }
  return total;
}

std::vector<std::uint8_t> HexTextToBytes(const std::string& text) {
  std::vector<std::uint8_t> out;
  int high = -1;
  for (char c : text) {
    const int d = HexDigit(c);
    if (d < 0) continue;
    if (high < 0) {
      high = d;
    } else {
      out.push_back(static_cast<std::uint8_t>(high << 4 | d));
      high = -1;
    }
  }
  if (high >= 0) out.push_back(static_cast<std::uint8_t>(high << 4));
  return out;
}

std::string RecordText(int address, const std::uint8_t* data, int n) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string t;
  t.reserve(10 + 2 * n);
  int sum = 0;
  auto put = [&](int b) {
    t += kDigits[(b >> 4) & 15];
    t += kDigits[b & 15];
    sum += b;
  };
  put((address >> 8) & 0xFF);
  put(address & 0xFF);
  put(n & 0xFF);
  for (int i = 0; i < n; ++i) put(data[i]);
  put((0x100 - (sum & 0xFF)) & 0xFF);
  return t;
}

std::string StandardPortScript(int firstCode) {
  char buf[160];
  std::snprintf(buf, sizeof buf,
                "(4800,N,8,1)FEFEFEFEFEFEFEFEFEFEFEFEFEFEFEFEFEFEFEFE EEEF E8 %04X%04X 01 %02X%02X FD",
                firstCode & 0xFFFF, 0, 0x30, 0x43);
  return buf;
}

void ApplyStandardPreset(cmcCloneEngine& engine, int comPort, int firstCode,
                         const std::string& devicePath) {
  engine.SetPortScript(StandardPortScript(firstCode));
  engine.SetTransferPort(comPort, "9600,N,8,1", devicePath);
  engine.SetRequestPreamble(12);
  engine.SetDataPreamble(0, 0);
  engine.SetEchoCheck(true);
}

cmcCloneEngine::cmcCloneEngine(TimerService& timers, std::unique_ptr<SerialDevice> device)
    : timers_(timers),
      port_(timers, std::move(device)),
      tick_(cmcTask::Create(timers)),
      deadline_(timers) {
  tick_->SetCallback([this](cmcTask*) { Tick(); });
}

cmcCloneEngine::~cmcCloneEngine() {
  tick_->Dispose();
  port_.Close();
}

void cmcCloneEngine::SetTransferPort(int comPort, const std::string& lineSettings,
                                     const std::string& devicePath) {
  comPort_ = comPort;
  lineSettings_ = lineSettings;
  devicePath_ = devicePath;
}

bool cmcCloneEngine::StartIdentification(Completion done) {
  return Begin(cmcCloneMode::Identify, nullptr, std::move(done));
}

bool cmcCloneEngine::StartRead(const cmcRangeList& ranges, Completion done) {
  return Begin(cmcCloneMode::Read, &ranges, std::move(done));
}

bool cmcCloneEngine::StartWrite(const EepromImage& image, const cmcRangeList& ranges,
                                Completion done) {
  if (Busy()) return false;
  if (!Begin(cmcCloneMode::Write, &ranges, std::move(done))) return false;
  result_->image.Assign(image);
  return true;
}

bool cmcCloneEngine::Begin(cmcCloneMode mode, const cmcRangeList* ranges, Completion done) {
  if (Busy()) return false;
  completion_ = std::move(done);
  mode_ = mode;
  records_ = 0;
  dataBytes_ = 0;
  ranges_ = ranges ? *ranges : cmcRangeList{};
  currentRange_ = 0;
  currentAddress_ = ranges_.empty() ? 0 : ranges_[0].start;
  result_ = std::make_unique<cmcCloneResult>();
  result_->mode = mode;
  result_->code = kCmcOk;
  result_->firstCode = firstCode_;
  result_->secondCode = secondCode_;
  result_->image.Resize(imageSize_);
  receive_.Reset();
  frame_.Reset();
  echo_.Reset();
  state_ = kStart;
  tick_->SetInterval(kTickMs);
  return true;
}

void cmcCloneEngine::Tick() {
  if (state_ != kIdle) Step();
  if (state_ != kIdle && port_.WriteFailed()) {
    result_->code = kCmcShortWrite;
    state_ = kDone;
  }
  if (state_ == kDone) {
    port_.Close();
    state_ = kIdle;
    receive_.Reset();
    frame_.Reset();
    echo_.Reset();
    script_.clear();
    std::unique_ptr<cmcCloneResult> result = std::move(result_);
    Completion done = std::move(completion_);
    completion_ = nullptr;
    if (observer_) observer_->OnDone(*result);
    if (done) done(*result);  // may start the next transfer
  }
  if (state_ == kIdle) tick_->SetInterval(-1);
}

int cmcCloneEngine::ReadPort() {
  const int n = port_.Read(readBlock_, sizeof readBlock_);
  if (n > 0) {
    receive_.Append(readBlock_, n);
    if (observer_) observer_->OnReceived(readBlock_, n);
  }
  return n;
}

void cmcCloneEngine::Send(const std::vector<std::uint8_t>& bytes) {
  if (bytes.empty()) return;
  port_.Write(bytes.data(), static_cast<int>(bytes.size()));
  echo_.Append(bytes.data(), static_cast<int>(bytes.size()));
  if (observer_) observer_->OnSent(bytes.data(), static_cast<int>(bytes.size()));
}

void cmcCloneEngine::Step() {
  State next = static_cast<State>(state_ + 1);
  bool progress = true;
  const bool expired = deadline_.Remaining() == 0;
  bool skip = false;

  // The cable echoes every byte: it must come back unchanged and in order
  // before anything from the radio.
  if (echoCheck_ && state_ != kFinish && !echo_.Empty()) {
    ReadPort();
    progress = false;
    while (!receive_.Empty() && !echo_.Empty()) {
      if (receive_.At(0) != echo_.At(0)) {
        result_->code = kCmcEchoError;
        next = kFinish;
        skip = true;
        break;
      }
      receive_.TakeFront();
      echo_.TakeFront();
      progress = true;
    }
    if (echo_.Empty()) echo_.Reset();
    if (receive_.Length() > 4096) receive_.Compact();
  } else if (!echoCheck_) {
    echo_.Clear();
  }
  if (echo_.Length() > 4096) echo_.Compact();

  // Data records stream with up to 128 bytes of unconfirmed echo; every
  // other transmission is confirmed whole before the answer is looked for.
  // Finish waits for no echo: the transfer has ended, and an echo that never
  // comes must not hold it.
  if (!skip && state_ != kFinish) {
    const int outstanding = echo_.Length();
    if (state_ == kSendData ? outstanding > kEchoWindow : outstanding > 0) {
      next = state_;
      skip = true;
    }
  }

  if (!skip) {
    switch (state_) {
      case kStart:
        break;
      case kPortScript:
        progress = ActPortScript(&next);
        break;
      case kOpen:
        ActOpen(&next);
        break;
      case kSendIdentRequest:
        SendRequest("FEFE EE EF E0 %04X %04X FD");
        break;
      case kAwaitIdentReply: {
        progress = false;
        std::vector<std::uint8_t> f;
        if (AssembleReply(&f)) {
          const bool ok = f.size() >= 8 && f[0] == 0xFE && f[1] == 0xEF && f[2] == 0xEE &&
                          f[3] == 0xE1 && std::all_of(f.begin() + 4, f.begin() + 8, [](std::uint8_t b) {
                            return (b >> 4) <= 9 && (b & 15) <= 9;
                          });
          if (ok) {
            result_->firstCode = f[4] << 8 | f[5];
            result_->secondCode = f[6] << 8 | f[7];
            result_->idBlock.assign(f.begin() + 8, f.end());
            result_->code = kCmcOk;
          } else {
            result_->code = kCmcFrameError;
          }
          next = kFinish;
        } else {
          next = state_;
        }
        break;
      }
      case kSendReadRequest:
        SendRequest("FEFE EE EF E2 %04X %04X FD");
        break;
      case kReceiveData:
        progress = ActReceiveData(&next);
        break;
      case kSendWriteRequest:
        SendRequest("FEFE EE EF E3 %04X %04X FD");
        break;
      case kSendData:
        progress = ActSendData(&next);
        break;
      case kSendEnd: {
        std::vector<std::uint8_t> e5 = HexTextToBytes("FEFE EE EF E5 5A 65 6C 74 20 49 6E 63 2E");
        char count[3];
        std::snprintf(count, sizeof count, "%02X", records_ % 256);
        e5.push_back(static_cast<std::uint8_t>(count[0]));
        e5.push_back(static_cast<std::uint8_t>(count[1]));
        e5.push_back(0xFD);
        Send(e5);
        break;
      }
      case kAwaitWriteResult: {
        progress = false;
        std::vector<std::uint8_t> f;
        if (AssembleReply(&f)) {
          static const std::uint8_t kOk[] = {0xFE, 0xEF, 0xEE, 0xE6, 0x00};
          result_->code = f.size() == 5 && std::equal(f.begin(), f.end(), kOk)
                              ? kCmcOk
                              : kCmcWriteRejected;
          next = kFinish;
        } else {
          next = state_;
        }
        break;
      }
      case kFinish:
        progress = false;
        if (port_.Pending() > 0) {
          next = state_;
        } else {
          progress = true;
        }
        break;
      default:
        break;
    }
  }

  if (next != state_) progress = true;
  if (progress) {
    if (next == kPortScript && !script_.empty())
      deadline_.Start(kSpeedChangeTimeout);
    else if (next == kAwaitWriteResult)
      deadline_.Start(kWriteResultTimeout);
    else
      deadline_.Start(kStepTimeout);
  } else if (expired) {
    // The first failure is the one reported: a transfer already failing
    // (and only waiting for its output to drain) keeps its code.
    if (result_->code == kCmcOk)
      result_->code = echoCheck_ && !echo_.Empty() ? kCmcEchoError : kCmcNoAnswer;
    next = state_ == kFinish ? kDone : kFinish;
  }
  state_ = next;
}

bool cmcCloneEngine::OpenPort(const std::string& lineSettings) {
  port_.Close();
  const bool ok = port_.Open(comPort_, lineSettings, devicePath_);
  if (observer_) observer_->OnPortOpen(lineSettings, ok);
  if (!ok) {
    result_->portError = port_.ErrorText();
    if (result_->portError.empty())
      result_->portError = "No serial device for COM" + std::to_string(comPort_);
    return false;
  }
  Drain();
  // Bytes read before the reopen (noise behind the speed change) belong to
  // the old line: they must not be taken for the next echo.
  receive_.Clear();
  return true;
}

void cmcCloneEngine::Drain() {
  port_.Device().Sleep(100);
  std::uint8_t b;
  for (int i = 0; i < 65535 && port_.InputWaiting() > 0; ++i) {
    if (port_.Read(&b, 1) <= 0) break;
  }
}

bool cmcCloneEngine::ActPortScript(State* next) {
  bool progress = false;
  if (!script_.empty() && script_[0] == '(') {
    const std::size_t close = script_.find(')');
    const std::string settings =
        script_.substr(1, close == std::string::npos ? std::string::npos : close - 1);
    if (close == std::string::npos)
      script_.clear();
    else
      script_.erase(0, close + 1);
    if (!OpenPort(settings)) {
      result_->code = kCmcPortError;
      *next = kFinish;
      script_.clear();
      return false;
    }
  } else if (!script_.empty()) {
    const std::size_t open = script_.find('(');
    Send(HexTextToBytes(script_.substr(0, open)));
    if (open == std::string::npos)
      script_.clear();
    else
      script_.erase(0, open);
    progress = true;
  }
  if (!script_.empty()) {
    *next = kPortScript;
    progress = true;
  } else if (port_.Pending() > 0) {
    // Output that never drains (a port without a device behind it) is no
    // progress: the deadline ends the transfer.
    *next = kPortScript;
  }
  return progress;
}

void cmcCloneEngine::ActOpen(State* next) {
  if (!OpenPort(lineSettings_)) {
    result_->code = kCmcPortError;
    *next = kFinish;
    return;
  }
  switch (mode_) {
    case cmcCloneMode::Identify: *next = kSendIdentRequest; break;
    case cmcCloneMode::Read: *next = kSendReadRequest; break;
    case cmcCloneMode::Write: *next = kSendWriteRequest; break;
    default: result_->code = kCmcPortError, *next = kFinish; break;
  }
}

void cmcCloneEngine::SendRequest(const char* format) {
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(std::max(requestPreamble_, 0)), 0xFE);
  const auto body = HexTextToBytes(Format(format, firstCode_ & 0xFFFF, secondCode_ & 0xFFFF));
  bytes.insert(bytes.end(), body.begin(), body.end());
  Send(bytes);
  frame_.Clear();
}

bool cmcCloneEngine::AssembleReply(std::vector<std::uint8_t>* out) {
  ReadPort();
  bool have = false;
  while (!receive_.Empty()) {
    const int b = receive_.TakeFront();
    if (b == 0xFE) {
      frame_.Assign(reinterpret_cast<const std::uint8_t*>("\xFE"), 1);
    } else if (frame_.Empty()) {
      // not inside a frame: discarded
    } else if (b == 0xFD) {
      out->assign(frame_.Data(), frame_.Data() + frame_.Length());
      frame_.Clear();
      have = true;
    } else if (frame_.Length() >= kMaxFrame) {
      frame_.Clear();
      out->assign(1, 0x00);  // fails every check
      return true;
    } else {
      frame_.Push(static_cast<std::uint8_t>(b));
    }
  }
  return have;
}

bool cmcCloneEngine::ActReceiveData(State* next) {
  bool progress = false;
  *next = kReceiveData;
  ReadPort();
  while (!receive_.Empty()) {
    const int b = receive_.TakeFront();
    if (b == 0xFE) {
      frame_.Assign(reinterpret_cast<const std::uint8_t*>("\xFE"), 1);
    } else if (frame_.Empty()) {
      // not inside a frame: discarded
    } else if (b == 0xFD) {
      const int outcome = CheckDataFrame();
      frame_.Clear();
      if (outcome == -1) {  // record accepted
        ++records_;
        progress = true;
        continue;
      }
      result_->code = outcome == -2 ? CoverageCheck() : outcome;
      *next = kFinish;
      break;
    } else {
      frame_.Push(static_cast<std::uint8_t>(b));
      if (frame_.Length() > kMaxFrame) {
        result_->code = kCmcFrameError;
        *next = kFinish;
        break;
      }
    }
  }
  if (receive_.Length() > 4096) receive_.Compact();
  return progress;
}

// -1: record accepted, -2: end of data, otherwise a result code.
int cmcCloneEngine::CheckDataFrame() {
  const int len = frame_.Length();
  const std::uint8_t* f = frame_.Data();
  if (len < 12 || len > kMaxFrame + 1 || f[0] != 0xFE || f[1] != 0xEF || f[2] != 0xEE)
    return kCmcFrameError;
  if (f[3] == 0xE4) return DecodeRecord(f + 4, len - 4);
  if (f[3] == 0xE5) {
    if (len != 15 || std::memcmp(f + 4, kMaker, 9) != 0) return kCmcFrameError;
    char count[3];
    std::snprintf(count, sizeof count, "%02X", records_ % 256);
    if (f[13] != count[0] || f[14] != count[1]) return kCmcCountError;
    return -2;
  }
  return kCmcFrameError;
}

int cmcCloneEngine::DecodeRecord(const std::uint8_t* text, int n) {
  if (n % 2) return kCmcFrameError;
  std::vector<std::uint8_t> d;
  d.reserve(n / 2);
  for (int i = 0; i < n; i += 2) {
    const int hi = StrictHexDigit(text[i]), lo = StrictHexDigit(text[i + 1]);
    if (hi < 0 || lo < 0) return kCmcFrameError;
    d.push_back(static_cast<std::uint8_t>(hi << 4 | lo));
  }
  if (d.size() < 4 || static_cast<int>(d.size()) != d[2] + 4) return kCmcFrameError;
  int sum = 0;
  for (auto b : d) sum += b;
  if (sum & 0xFF) return kCmcFrameError;
  const int address = d[0] << 8 | d[1];
  const int count = d[2];
  const int limit = std::min(imageSize_, result_->image.Size());
  if (address < 0 || address + count > limit) return kCmcAddressError;
  auto& map = result_->receivedMap;
  for (int i = 0; i < count; ++i) {
    const int a = address + i;
    result_->image.SetByte(a, d[3 + i]);
    if (static_cast<int>(map.size()) <= a / 8) map.resize(a / 8 + 1, 0);
    map[a / 8] |= static_cast<std::uint8_t>(1 << (a % 8));
  }
  dataBytes_ += count;
  return -1;
}

int cmcCloneEngine::CoverageCheck() const {
  const std::size_t len = static_cast<std::size_t>((imageSize_ + 7) / 8);
  std::vector<std::uint8_t> expected(len, 0);
  for (const auto& r : ranges_) {
    if (r.end < r.start) break;
    for (int a = std::max(r.start, 0); a <= r.end && a / 8 < static_cast<int>(len); ++a)
      expected[a / 8] |= static_cast<std::uint8_t>(1 << (a % 8));
  }
  std::vector<std::uint8_t> got = result_->receivedMap;
  if (got.size() > len) return kCmcAddressError;
  got.resize(len, 0);
  if (got == expected) return kCmcOk;
  for (std::size_t i = 0; i < len; ++i)
    if (got[i] & ~expected[i]) return kCmcAddressError;
  return kCmcMissingData;
}

const cmcRange* cmcCloneEngine::CurrentRange() const {
  if (currentRange_ >= ranges_.size()) return nullptr;
  const cmcRange& r = ranges_[currentRange_];
  return r.end < r.start ? nullptr : &r;
}

void cmcCloneEngine::BuildRecord() {
  const cmcRange* r = CurrentRange();
  int n = 16 - currentAddress_ % 16;
  n = std::min(n, r->end - currentAddress_ + 1);
  frame_.PushN(0xFE, records_ == 0 ? dataPreambleFirst_ : dataPreambleLater_);
  static const std::uint8_t kHead[] = {0xFE, 0xFE, 0xEE, 0xEF, 0xE4};
  frame_.Append(kHead, 5);
  std::uint8_t data[16];
  for (int i = 0; i < n; ++i) data[i] = result_->image.GetByte(currentAddress_ + i);
  const std::string text = RecordText(currentAddress_, data, n);
  frame_.Append(reinterpret_cast<const std::uint8_t*>(text.data()), static_cast<int>(text.size()));
  frame_.Push(0xFD);
  ++records_;
  currentAddress_ += n;
  dataBytes_ += n;
}

bool cmcCloneEngine::ActSendData(State* next) {
  bool progress = false;
  *next = kSendData;
  for (int pass = 0; pass < 8; ++pass) {
    const cmcRange* r = CurrentRange();
    // Every range built: the records still staged go out below, once the
    // port has room; the end frame follows when nothing is left.
    const bool allBuilt = r == nullptr;
    if (allBuilt) {
      if (port_.Pending() == 0 && frame_.Empty()) *next = kSendEnd;
    } else if (currentAddress_ > r->end) {
      ++currentRange_;
      if (const cmcRange* n = CurrentRange()) currentAddress_ = n->start;
    } else {
      BuildRecord();
    }
    if (*next != kSendData || frame_.Empty()) break;
    if (port_.Pending() <= 4 * frame_.Length()) {
      Send(frame_);
      frame_.Clear();
      progress = true;
    } else {
      break;
    }
    if (allBuilt) break;
  }
  return progress;
}

}  // namespace twk
