// libFuzzer target for the clone file reader. Every input is read three ways
// (the bare reader with coverage ranges, the document's open sequence, the
// template load); a failed read must leave the image exactly as it was, and
// a file that reads must write and read back to the same bytes. Anything
// else aborts, as does a fatal stop (an access outside the image).
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/Fatal.h"
#include "data/EepromImage.h"
#include "data/MemoryMap.h"
#include "file/CloneFile.h"
#include "file/CloneOpen.h"

namespace {

class AbortOnFatal : public twk::FatalReporter {
 public:
  void Report(const std::string& text) override {
    std::fprintf(stderr, "fatal stop: %s\n", text.c_str());
    std::abort();
  }
};

void Check(bool ok, const char* what) {
  if (!ok) {
    std::fprintf(stderr, "check failed: %s\n", what);
    std::abort();
  }
}

std::string TempPath(const char* tag) {
  std::string path = "/tmp/twk208-fuzz-" + std::to_string(::getpid()) + "-" + tag;
  return path;
}

void WriteAll(const std::string& path, const std::uint8_t* data, std::size_t size) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  Check(f != nullptr, "temporary file");
  if (size) Check(std::fwrite(data, 1, size, f) == size, "temporary write");
  std::fclose(f);
}

twk::EepromImage Pattern() {
  twk::EepromImage image(twk::mem::kImageSize);
  for (int a = 0; a < image.Size(); ++a) image.SetByte(a, static_cast<std::uint8_t>(a * 13 + 5));
  return image;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static AbortOnFatal reporter;
  static bool installed = (twk::SetFatalReporter(&reporter), true);
  (void)installed;
  static const std::string in = TempPath("in.cln");
  static const std::string out = TempPath("out.cln");
  static bool cleanup = (std::atexit([] {
                           std::remove(in.c_str());
                           std::remove(out.c_str());
                         }),
                         true);
  (void)cleanup;
  WriteAll(in, data, size);

  // 1. The bare reader, with the clone ranges.
  twk::EepromImage image = Pattern();
  const twk::EepromImage before(image);
  twk::CloneFile file;  // no dialogs: no messages
  file.Attach(image);
  file.SetModelCode(0x2989);
  file.SetSubCode(1);
  file.SetMapRevisionCheck([](int r) { return r == 1; });
  const int code = file.Read(in, twk::CloneRanges());
  Check(code >= 0 && code <= 9, "code in range");
  if (code != twk::kCloneOk) {
    Check(image.Equals(before), "image unchanged after a failed read");
  } else {
    Check(image.GetByte(0x1000) == before.GetByte(0x1000), "0x1000 never loaded");
    // What was read writes and reads back identically.
    twk::CloneFile writer;
    writer.Attach(image);
    writer.SetModelCode(0x2989);
    writer.SetSubCode(1);
    writer.SetMapRevision(1);
    Check(writer.Write(out, twk::CloneRanges()) == twk::kCloneOk, "write");
    twk::EepromImage back = Pattern();
    twk::CloneFile reader;
    reader.Attach(back);
    reader.SetModelCode(0x2989);
    reader.SetSubCode(1);
    reader.SetMapRevisionCheck([](int r) { return r == 1; });
    Check(reader.Read(out, twk::CloneRanges()) == twk::kCloneOk, "read back");
    Check(back.Equals(image), "round trip");
  }

  // 2. The document's open sequence: the current image is untouched on failure.
  twk::EepromImage current = Pattern();
  const twk::EepromImage currentBefore(current);
  twk::EepromImage tmpl(twk::mem::kImageSize);
  tmpl.SetByte(twk::mem::kFormatMarker, 1);
  const int openCode = twk::OpenCloneDocument(in, current, tmpl, nullptr);
  if (openCode != twk::kCloneOk) Check(current.Equals(currentBefore), "document unchanged");
  else Check(current.GetByte(twk::mem::kFormatMarker) == 1, "opened image has its marker");

  // 3. The template load.
  twk::EepromImage loaded = Pattern();
  const twk::EepromImage loadedBefore(loaded);
  if (twk::LoadTemplateImage(in, loaded, nullptr) != twk::kCloneOk)
    Check(loaded.Equals(loadedBefore), "template unchanged");
  return 0;
}
