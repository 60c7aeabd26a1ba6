// The clone file: a text file holding an EEPROM image. A header with the
// model code, comment lines, then data lines of hexadecimal bytes with their
// addresses:
//
//   29890001                 model code and sub code, 4 digits each
//   #Comment=My boat         (mode 1; other modes: "#" + the comment)
//   #MapRev=1                (mode 1 only)
//   000010FFFF...            address, count, count bytes; 16 per line
//
// Lines end in CR LF on disk (the files are byte-identical wherever they are
// written); CR LF and LF are read alike. Every Write and Read reports a
// failure itself, as a message box keyed by the error code, and returns the
// code. A failed read leaves the image as it was; a write replaces the
// target only once the new file is complete on disk.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "data/EepromImage.h"
#include "text/ResourceKeys.h"

namespace twk {

class Dialogs;

// Result codes of Write and Read.
enum CloneFileCode : int {
  kCloneOk = 0,
  kCloneFileOpen = 1,    // the file cannot be opened
  kCloneFileAccess = 2,  // a write to the file failed
  kCloneModel = 3,       // header model code differs
  kCloneExtra = 4,       // header sub code differs
  kCloneMapRev = 5,      // map revision not accepted
  kCloneFormat = 6,      // malformed header or data line
  kCloneCoverage = 7,    // some required address was not loaded
  kCloneData = 8,        // bytes outside the image or the required ranges; bad format marker
  kCloneNewer = 9,       // the model reports the file as newer than the program
};

// The text key of a code's message ("" for 0 and for codes outside 0-9).
const char* CloneFileMessageKey(int code);
// Shows "%s\n\n%s" (headline, the code's text) with a warning icon and OK,
// captioned with the program title. Nothing for 0, for codes outside 0-9, or
// without dialogs.
void ShowCloneFileMessage(Dialogs* dialogs, int code);
// The resource keys the clone file's messages read.
std::vector<KeyUse> CloneFileKeys();

// An address range list: pairs (first, last) in order, ended by the first
// pair whose last is below its first or whose ends lie outside the image.
struct AddressRange {
  int first;
  int last;
};
using AddressRanges = std::vector<AddressRange>;
// The ranges of this radio's clone files: 0x000-0xFFF, then the end pair.
const AddressRanges& CloneRanges();

class CloneFile {
 public:
  static constexpr int kLineBufferSize = 768;  // lines are read up to 767 characters
  static constexpr int kMinDataLine = 8;
  static constexpr int kMaxDataLine = 516;     // 6 + 2 x 255

  // Messages go to `dialogs` (none when null).
  explicit CloneFile(Dialogs* dialogs = nullptr) : dialogs_(dialogs) {}

  void Attach(EepromImage& image) { Attach(image, 0, image.Size() - 1); }
  void Attach(EepromImage& image, int start, int end);

  void SetMode(int mode) { mode_ = mode; }
  void SetModelCode(std::uint32_t code) { modelCode_ = code & 0xFFFF; }
  void SetSubCode(std::uint32_t code) { subCode_ = code & 0xFFFF; }
  void SetComment(const std::string& text) { comment_ = text; }
  void SetMapRevision(int n) { mapRevision_ = n; }
  void SetLineLength(int n) { lineLength_ = n > 0 && n <= 255 ? n : 16; }
  void SetDialogs(Dialogs* dialogs) { dialogs_ = dialogs; }
  // Asked with the map revision before the first data line (mode 1); must
  // accept it, and its absence refuses every file.
  void SetMapRevisionCheck(std::function<bool(int revision)> check) {
    mapRevisionCheck_ = std::move(check);
  }
  // Replaces the built-in model check; on refusal it puts the result code
  // into `code`.
  void SetModelCheck(std::function<bool(std::uint32_t model, std::uint32_t sub, int& code)> check) {
    modelCheck_ = std::move(check);
  }

  int Mode() const { return mode_; }
  int MapRevision() const { return mapRevision_; }
  std::uint32_t ModelCode() const { return modelCode_; }
  std::uint32_t SubCode() const { return subCode_; }
  const std::string& Comment() const { return comment_; }
  int RangeStart() const { return rangeStart_; }
  int RangeEnd() const { return rangeEnd_; }

  // Writes the attached image's ranges to `path`: into a temporary file in
  // the same folder, flushed and synced, then renamed over `path`. On any
  // failure the old file is untouched and the temporary file removed.
  int Write(const std::string& path, const AddressRanges& ranges);
  // Reads `path` into the attached image. With ranges the coverage check
  // runs at the end; with none (nullptr) the caller runs CheckCoverage.
  int Read(const std::string& path, const AddressRanges* ranges);
  int Read(const std::string& path, const AddressRanges& ranges) { return Read(path, &ranges); }
  int CheckCoverage(const AddressRanges* ranges);

  // Test seam: asked before every block the writer puts into the file, with
  // the number of bytes written so far; returning false makes that write
  // fail as a failing disk would.
  void SetWriteFault(std::function<bool(std::size_t offset, std::size_t length)> fault) {
    writeFault_ = std::move(fault);
  }

 private:
  int Finish(int code);
  int ReadBody(std::FILE* file);
  int ParseDataLine(const std::string& line);
  void BuildRequired(const AddressRanges& ranges);
  std::string Compose(const AddressRanges& ranges) const;

  Dialogs* dialogs_ = nullptr;
  int mode_ = 1;
  EepromImage* image_ = nullptr;
  std::uint32_t modelCode_ = 0;
  std::uint32_t subCode_ = 0;
  std::string comment_;
  int lineLength_ = 16;
  int mapRevision_ = -1;
  int rangeStart_ = 0;
  int rangeEnd_ = 0;
  std::vector<std::uint8_t> required_;
  std::vector<std::uint8_t> loaded_;
  std::function<bool(int)> mapRevisionCheck_;
  std::function<bool(std::uint32_t, std::uint32_t, int&)> modelCheck_;
  std::function<bool(std::size_t, std::size_t)> writeFault_;
};

}  // namespace twk
