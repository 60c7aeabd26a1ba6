// cmcCloneEngine: the clone protocol. A state machine advanced every 10 ms by
// a cmcTask; it never waits for the radio. One transfer at a time: an
// identification (E0/E1), a clone read (E2, E4 records, E5) or a clone write
// (E3, E4 records, E5, E6). Every transfer ends with exactly one result code
// in a cmcCloneResult handed to a one-shot completion callback, after the
// port has been closed and the engine is idle again.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "clone/TimerService.h"
#include "clone/cmcBuff.h"
#include "clone/cmcPort.h"
#include "clone/cmcTask.h"
#include "data/EepromImage.h"

namespace twk {

// Result codes of a transfer (the engine sets 0-10 and 17; the clone
// controller's checks set 11-16).
enum cmcCloneCode : int {
  kCmcOk = 0,
  kCmcPortError = 2,
  kCmcEchoError = 4,
  kCmcNoAnswer = 5,
  kCmcFrameError = 6,
  kCmcCountError = 7,
  kCmcMissingData = 8,
  kCmcAddressError = 9,
  kCmcWriteRejected = 10,
  kCmcWrongModel = 11,
  kCmcWrongFormat = 14,
  kCmcBadImage = 15,
  kCmcBadImage2 = 16,
  kCmcShortWrite = 17,
};

enum class cmcCloneMode : int { None = 0, Identify = 1, Read = 2, Write = 3 };

// {start, end}, both inclusive; a range whose end is below its start ends a
// list (the end of the vector does too).
struct cmcRange {
  int start;
  int end;
};
using cmcRangeList = std::vector<cmcRange>;

const cmcRangeList& ReadRangeList();                 // 0x000-0xFFF
const cmcRangeList& WriteRangeList(bool makerMode);  // maker 0x000-0xFFF, else 0x000-0xFEB
// Sum of (end - start + 1) over the list.
int RangeListBytes(const cmcRangeList& list);

struct cmcCloneResult {
  cmcCloneMode mode = cmcCloneMode::None;
  int code = 0;
  int firstCode = 0;
  int secondCode = 0;
  std::vector<std::uint8_t> idBlock;  // bytes 8.. of the E1 reply
  EepromImage image;
  std::vector<std::uint8_t> receivedMap;  // bit k%8 of byte k/8 per address
  std::string portError;                  // why the port failed (code 2)
};

// Watches the bytes of a transfer (the serial trace).
class cmcCloneObserver {
 public:
  virtual ~cmcCloneObserver() = default;
  virtual void OnPortOpen(const std::string& /*lineSettings*/, bool /*ok*/) {}
  virtual void OnSent(const std::uint8_t* /*bytes*/, int /*n*/) {}
  virtual void OnReceived(const std::uint8_t* /*bytes*/, int /*n*/) {}
  virtual void OnDone(const cmcCloneResult& /*result*/) {}
};

// The hex-text rule: every hex digit is a nibble, everything else is ignored,
// nibbles pair high first, an odd last nibble fills a high half.
std::vector<std::uint8_t> HexTextToBytes(const std::string& text);
// Record text of an E4 frame: "%04X" address, "%02X" count, data, checksum.
std::string RecordText(int address, const std::uint8_t* data, int n);

class cmcCloneEngine {
 public:
  enum State : int {
    kIdle = 0,
    kStart = 2,
    kPortScript = 3,
    kOpen = 4,
    kSendIdentRequest = 5,
    kAwaitIdentReply = 6,
    kSendReadRequest = 7,
    kReceiveData = 8,
    kSendWriteRequest = 9,
    kSendData = 10,
    kSendEnd = 11,
    kAwaitWriteResult = 12,
    kFinish = 13,
    kDone = 14,
  };
  static constexpr int kMaxFrame = 521;
  static constexpr int kEchoWindow = 128;
  static constexpr int kStepTimeout = 1000;
  static constexpr int kSpeedChangeTimeout = 1000;
  static constexpr int kWriteResultTimeout = 2000;
  static constexpr int kTickMs = 10;

  using Completion = std::function<void(cmcCloneResult& result)>;

  explicit cmcCloneEngine(TimerService& timers = DefaultTimerService(),
                          std::unique_ptr<SerialDevice> device = MakePosixSerialDevice());
  ~cmcCloneEngine();
  cmcCloneEngine(const cmcCloneEngine&) = delete;
  cmcCloneEngine& operator=(const cmcCloneEngine&) = delete;

  // Configuration, while idle.
  void SetCodes(int first, int second) { firstCode_ = first, secondCode_ = second; }
  void SetImageSize(int bytes) { imageSize_ = bytes; }
  // COM port number and line settings; a non-empty device path overrides
  // the number's device.
  void SetTransferPort(int comPort, const std::string& lineSettings,
                       const std::string& devicePath = "");
  void SetRequestPreamble(int n) { requestPreamble_ = n; }
  void SetDataPreamble(int first, int later) { dataPreambleFirst_ = first, dataPreambleLater_ = later; }
  void SetPortScript(const std::string& text) { script_ = text; }
  void SetEchoCheck(bool on) { echoCheck_ = on; }
  void SetObserver(cmcCloneObserver* observer) { observer_ = observer; }

  // Each returns false and changes nothing while a transfer runs.
  bool StartIdentification(Completion done);
  bool StartRead(const cmcRangeList& ranges, Completion done);
  bool StartWrite(const EepromImage& image, const cmcRangeList& ranges, Completion done);

  bool Busy() const { return state_ != kIdle; }
  int DataBytes() const { return dataBytes_; }
  int Records() const { return records_; }
  State CurrentState() const { return state_; }
  int ComPort() const { return comPort_; }
  const std::string& DevicePath() const { return devicePath_; }
  const std::string& PortScript() const { return script_; }
  int EchoOutstanding() const { return echo_.Length(); }
  cmcPort& Port() { return port_; }
  bool TickRunning() const { return !tick_->Stopped(); }

  // One tick as the task runs it (public for tests).
  void Tick();

 private:
  bool Begin(cmcCloneMode mode, const cmcRangeList* ranges, Completion done);
  void Step();
  bool ActPortScript(State* next);
  void ActOpen(State* next);
  void SendRequest(const char* format);
  void Send(const std::vector<std::uint8_t>& bytes);
  void Send(const cmcBuff& bytes) { Send(std::vector<std::uint8_t>(bytes.Data(), bytes.Data() + bytes.Length())); }
  bool OpenPort(const std::string& lineSettings);
  void Drain();
  int ReadPort();
  // Single-reply assembly: true with *frame set when a frame completed.
  bool AssembleReply(std::vector<std::uint8_t>* frame);
  bool ActReceiveData(State* next);
  int CheckDataFrame();
  int DecodeRecord(const std::uint8_t* text, int n);
  int CoverageCheck() const;
  bool ActSendData(State* next);
  void BuildRecord();
  const cmcRange* CurrentRange() const;

  TimerService& timers_;
  cmcPort port_;
  cmcTask* tick_;
  cmcCloneObserver* observer_ = nullptr;

  int firstCode_ = 0, secondCode_ = 0;
  int imageSize_ = 1;
  int comPort_ = 1;
  std::string devicePath_;
  std::string lineSettings_ = "9600,n,8,1";
  int requestPreamble_ = 0;
  int dataPreambleFirst_ = 0, dataPreambleLater_ = 0;
  cmcCloneMode mode_ = cmcCloneMode::None;
  bool echoCheck_ = false;

  cmcBuff receive_, frame_, echo_;
  std::uint8_t readBlock_[256];
  std::string script_;
  int records_ = 0;
  int dataBytes_ = 0;
  cmcRangeList ranges_;
  std::size_t currentRange_ = 0;
  int currentAddress_ = 0;
  std::unique_ptr<cmcCloneResult> result_;
  Completion completion_;
  State state_ = kIdle;
  cmcDeadline deadline_;
};

// The standard preset the clone commands apply before every transfer: the
// 4800-baud E8 speed change, then 9600 baud, 12 request preamble bytes, no
// data preamble, echo check on.
void ApplyStandardPreset(cmcCloneEngine& engine, int comPort, int firstCode,
                         const std::string& devicePath = "");
std::string StandardPortScript(int firstCode);

}  // namespace twk
