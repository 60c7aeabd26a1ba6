// The clone controller without its window: applies the standard preset,
// starts the engine's transfers, runs the main frame's checks on their
// results (identity check, image check), composes the error message of a
// failed transfer and calls the running command's next step. The editor adds
// its progress window through the hooks; the headless tool prints.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "clone/SerialTrace.h"
#include "clone/cmcCloneEngine.h"
#include "text/ResourceKeys.h"

namespace twk {

class TextStore;

constexpr int kModelCode = 0x2989;
constexpr int kModelSecondCode = 1;
constexpr int kImageFormatMarker = 0x3DA;
constexpr int kImageModelIndex = 0x3D9;
constexpr int kIdBlockKept = 22;

// What the last successful identity check kept.
struct CloneInfo {
  int modelCode = 0;
  int secondCode = 0;
  std::vector<std::uint8_t> block;  // first 22 bytes of the identification block
  bool valid = false;
  int Revision() const { return block.size() > 1 ? block[1] : 0; }
  int ModelIndex() const { return block.size() > 21 ? block[21] : 0; }
  std::string Comment() const;  // block bytes 3-18
};

// The identity check: the radio's codes must be the model's, the block at
// least 22 bytes with byte 0 its length (else code 11), and block byte 2 the
// format 1 (else code 14, with the info already updated). Runs only on a
// result with code 0; sets and returns result.code.
int CheckIdentity(cmcCloneResult& result, CloneInfo& info, int modelCode = kModelCode,
                  int secondCode = kModelSecondCode);
// The image check of a read: byte 0x3DA (format marker) must be 1, else 15.
int CheckImage(cmcCloneResult& result);

// The message for a result code: line `code` of "GI_Mess_CloneErr_Head"
// (line 2 formatted with the port), two line feeds and the check lines of
// "GI_Mess_CloneErr_Check" that fit the code. "" for code 0. A device path,
// when given, names the port instead of its number.
std::string CloneErrorText(TextStore& text, int code, int comPort,
                           const std::string& devicePath = "");
std::vector<KeyUse> CloneKeys();
constexpr int kCloneErrHeadLines = 18;
constexpr int kCloneErrCheckLines = 8;

// Copies a finished read into the document's image and normalizes it
// against the template with the model index stored in the image (0x3D9).
// Returns that model index.
int ApplyReadResult(const cmcCloneResult& result, EepromImage& current,
                    const EepromImage& templateImage);

class cmcCloneControl {
 public:
  using Completion = std::function<void(cmcCloneResult& result)>;
  using Handler = std::function<void(cmcCloneResult& result)>;

  explicit cmcCloneControl(TimerService& timers = DefaultTimerService(),
                           std::unique_ptr<SerialDevice> device = MakePosixSerialDevice());
  ~cmcCloneControl();

  cmcCloneEngine& Engine() { return engine_; }
  void SetPort(int comPort, const std::string& devicePath = "") {
    comPort_ = comPort, devicePath_ = devicePath;
  }
  int ComPort() const { return comPort_; }
  const std::string& DevicePath() const { return devicePath_; }
  void SetIdentificationHandler(Handler h) { identHandler_ = std::move(h); }
  void SetReadHandler(Handler h) { readHandler_ = std::move(h); }
  // Shows the error message of a failed transfer (the editor: an error box
  // captioned "GI_Sys_AppTitle"; the tool: stderr). Without a text store
  // set, the message is not composed.
  void SetErrorSink(std::function<void(const std::string& text, const cmcCloneResult&)> sink) {
    errorSink_ = std::move(sink);
  }
  void SetTextStore(TextStore* text) { text_ = text; }
  // Progress window: opened after a read or write started, closed before the
  // command's next step; `repaint` runs every 30 ms while it is up.
  void SetProgressHooks(std::function<void()> open, std::function<void()> close,
                        std::function<void()> repaint);
  // Writes a serial trace of every transfer (on by default).
  void SetTracing(bool on) { tracing_ = on; }
  const std::string& LastTracePath() const { return lastTrace_; }

  bool Busy() const { return engine_.Busy(); }
  void SetCodes(int modelCode, int second) { engine_.SetCodes(modelCode, second); }
  void SetImageSize(int bytes) { engine_.SetImageSize(bytes); }
  bool StartIdentification(Completion done);
  bool StartRead(const cmcRangeList& ranges, Completion done);
  bool StartWrite(const EepromImage& image, const cmcRangeList& ranges, Completion done);

  cmcCloneMode Mode() const { return mode_; }
  int ExpectedDataBytes() const { return expected_; }
  int DataBytes() const { return engine_.DataBytes(); }
  // Lit cells of the 32-cell progress bar: data bytes x 33 / expected.
  int ProgressCells() const;

 private:
  bool Start(cmcCloneMode mode, const EepromImage* image, const cmcRangeList* ranges,
             Completion done);
  void Completed(cmcCloneResult& result);

  TimerService& timers_;
  cmcCloneEngine engine_;
  int comPort_ = 1;
  std::string devicePath_;
  cmcCloneMode mode_ = cmcCloneMode::None;
  int expected_ = 0;
  Handler identHandler_, readHandler_;
  Completion completion_;
  std::function<void(const std::string&, const cmcCloneResult&)> errorSink_;
  TextStore* text_ = nullptr;
  std::function<void()> progressOpen_, progressClose_, progressRepaint_;
  bool progressUp_ = false;
  cmcTask* repaint_;
  bool tracing_ = true;
  std::unique_ptr<SerialTrace> trace_;
  std::string lastTrace_;
};

}  // namespace twk
