#include "clone/cmcCloneControl.h"

#include <cstdio>

#include "data/Normalize.h"
#include "text/TextStore.h"

namespace twk {

std::string CloneInfo::Comment() const {
  std::string s;
  for (int i = 3; i <= 18 && i < static_cast<int>(block.size()); ++i)
    s += static_cast<char>(block[i]);
  return s;
}

int CheckIdentity(cmcCloneResult& result, CloneInfo& info, int modelCode, int secondCode) {
  if (result.code != kCmcOk || result.mode != cmcCloneMode::Identify) return result.code;
  if (result.firstCode != modelCode || result.secondCode != secondCode)
    return result.code = kCmcWrongModel;
  info.modelCode = result.firstCode;
  info.secondCode = result.secondCode;
  const auto& b = result.idBlock;
  if (b.size() < kIdBlockKept || b[0] != b.size()) return result.code = kCmcWrongModel;
  info.block.assign(b.begin(), b.begin() + kIdBlockKept);
  info.valid = true;
  if (b[2] != 1) return result.code = kCmcWrongFormat;
  return result.code;
}

int CheckImage(cmcCloneResult& result) {
  if (result.code != kCmcOk || result.mode != cmcCloneMode::Read) return result.code;
  if (!result.image.InRange(kImageFormatMarker) || result.image.GetByte(kImageFormatMarker) != 1)
    result.code = kCmcBadImage;
  return result.code;
}

std::vector<KeyUse> CloneKeys() {
  return {
      {"GI_Mess_CloneErr_Head", ResourceFile::Main, kCloneErrHeadLines},
      {"GI_Mess_CloneErr_Check", ResourceFile::Main, kCloneErrCheckLines},
  };
}

std::string CloneErrorText(TextStore& text, int code, int comPort, const std::string& devicePath) {
  if (code == kCmcOk) return "";
  std::string head = text.GetLine("GI_Mess_CloneErr_Head", code < kCloneErrHeadLines ? code : 1);
  if (code == kCmcPortError) {
    // The head names the port by its number; a device path replaces it.
    std::string formatted;
    for (std::size_t i = 0; i < head.size(); ++i) {
      if (head[i] == '%' && i + 1 < head.size()) {
        const char c = head[i + 1];
        if (c == '%') {
          formatted += '%';
          ++i;
          continue;
        }
        if (c == 'd' || c == 'i' || c == 'u') {
          // "COM%d" with a path reads "/dev/ttyUSB0", not "COM/dev/ttyUSB0".
          if (!devicePath.empty() && formatted.size() >= 3 &&
              formatted.compare(formatted.size() - 3, 3, "COM") == 0)
            formatted.resize(formatted.size() - 3);
          formatted += devicePath.empty() ? std::to_string(comPort) : devicePath;
          ++i;
          continue;
        }
      }
      formatted += head[i];
    }
    head = formatted;
  }
  std::vector<int> lines = {0, 1, 2, 3};
  switch (code) {
    case 10: lines = {0, 2, 3}; break;
    case 11:
    case 12: lines = {0, 1, 2, 3, 4, 5}; break;
    case 13: lines = {6, 7}; break;
    case 14: lines = {0, 4, 5}; break;
    case 16: lines = {}; break;
    default: break;
  }
  std::string out = head + "\n\n";
  bool first = true;
  for (int n : lines) {
    if (!first) out += "\n";
    out += text.GetLine("GI_Mess_CloneErr_Check", n);
    first = false;
  }
  return out;
}

int ApplyReadResult(const cmcCloneResult& result, EepromImage& current,
                    const EepromImage& templateImage) {
  current.Assign(result.image);
  const int modelIndex = current.InRange(kImageModelIndex) ? current.GetByte(kImageModelIndex) : 0;
  NormalizeImage(current, templateImage, modelIndex);
  return modelIndex;
}

cmcCloneControl::cmcCloneControl(TimerService& timers, std::unique_ptr<SerialDevice> device)
    : timers_(timers), engine_(timers, std::move(device)), repaint_(cmcTask::Create(timers)) {
  repaint_->SetCallback([this](cmcTask* t) {
    if (!engine_.Busy()) {
      t->SetInterval(-1);
      return;
    }
    if (progressRepaint_) progressRepaint_();
  });
}

cmcCloneControl::~cmcCloneControl() {
  repaint_->Dispose();
  if (progressUp_ && progressClose_) progressClose_();
  engine_.SetObserver(nullptr);
}

void cmcCloneControl::SetProgressHooks(std::function<void()> open, std::function<void()> close,
                                       std::function<void()> repaint) {
  progressOpen_ = std::move(open);
  progressClose_ = std::move(close);
  progressRepaint_ = std::move(repaint);
}

int cmcCloneControl::ProgressCells() const {
  if (expected_ <= 0) return 0;
  return static_cast<int>(static_cast<long long>(engine_.DataBytes()) * 33 / expected_);
}

bool cmcCloneControl::StartIdentification(Completion done) {
  return Start(cmcCloneMode::Identify, nullptr, nullptr, std::move(done));
}

bool cmcCloneControl::StartRead(const cmcRangeList& ranges, Completion done) {
  return Start(cmcCloneMode::Read, nullptr, &ranges, std::move(done));
}

bool cmcCloneControl::StartWrite(const EepromImage& image, const cmcRangeList& ranges,
                                 Completion done) {
  return Start(cmcCloneMode::Write, &image, &ranges, std::move(done));
}

bool cmcCloneControl::Start(cmcCloneMode mode, const EepromImage* image,
                            const cmcRangeList* ranges, Completion done) {
  if (engine_.Busy()) return false;
  ApplyStandardPreset(engine_, comPort_, kModelCode, devicePath_);
  static const char* kWhat[] = {"none", "info", "read", "write"};
  if (tracing_) {
    trace_ = std::make_unique<SerialTrace>(kWhat[static_cast<int>(mode)],
                                           PortLabel(comPort_, devicePath_));
    engine_.SetObserver(trace_.get());
  } else {
    trace_.reset();
    engine_.SetObserver(nullptr);
  }
  expected_ = ranges ? RangeListBytes(*ranges) : 0;
  auto cb = [this](cmcCloneResult& r) { Completed(r); };
  bool ok = false;
  switch (mode) {
    case cmcCloneMode::Identify: ok = engine_.StartIdentification(cb); break;
    case cmcCloneMode::Read: ok = engine_.StartRead(*ranges, cb); break;
    case cmcCloneMode::Write: ok = engine_.StartWrite(*image, *ranges, cb); break;
    default: break;
  }
  if (!ok) return false;
  mode_ = mode;
  completion_ = std::move(done);
  if (mode != cmcCloneMode::Identify) {
    progressUp_ = true;
    if (progressOpen_) progressOpen_();
    repaint_->SetInterval(30);
  }
  return true;
}

void cmcCloneControl::Completed(cmcCloneResult& result) {
  if (result.mode == cmcCloneMode::Identify) {
    if (identHandler_)
      identHandler_(result);
    else if (result.code == kCmcOk)
      result.code = kCmcWrongModel;
  } else if (result.mode == cmcCloneMode::Read) {
    if (readHandler_)
      readHandler_(result);
    else if (result.code == kCmcOk)
      result.code = kCmcMissingData;
  }
  if (trace_) {
    lastTrace_ = trace_->Path();
    if (result.code != 0) {
      // The checks above may have turned a transfer that went well on the
      // wire into a failure: say so in the trace too.
      trace_->OnDone(result);
    }
    engine_.SetObserver(nullptr);
    trace_.reset();
  }
  if (result.code != kCmcOk && errorSink_) {
    const std::string text =
        text_ ? CloneErrorText(*text_, result.code, comPort_, devicePath_) : std::string();
    errorSink_(text, result);
  }
  if (progressUp_) {
    progressUp_ = false;
    repaint_->SetInterval(-1);
    if (progressClose_) progressClose_();
  }
  Completion done = std::move(completion_);
  completion_ = nullptr;
  if (done) done(result);
}

}  // namespace twk
