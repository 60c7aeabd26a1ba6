#include "file/CloneFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <filesystem>

#include "app/Dialogs.h"
#include "text/TextStore.h"

namespace twk {

namespace {

constexpr const char* kCodeKeys[10] = {
    "",
    "GI_Mess_FileErr_FileOpen",
    "GI_Mess_FileErr_FileAccess",
    "GI_Mess_FileErr_Model",
    "GI_Mess_FileErr_Extra",
    "GI_Mess_FileErr_MapRev",
    "GI_Mess_FileErr_Format",
    "GI_Mess_FileErr_Coverage",
    "GI_Mess_FileErr_Data",
    "GI_Mess_FileErr_Newer",
};
constexpr const char* kHeadlineKey = "GI_Mess_FileErr_Headline";
constexpr const char* kTitleKey = "GI_Sys_AppTitle";
constexpr const char* kCommentTag = "Comment=";
constexpr const char* kMapRevTag = "MapRev=";

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

int HexNumber(const std::string& s, std::size_t at, int digits) {
  int v = 0;
  for (int i = 0; i < digits; ++i) v = v * 16 + HexValue(s[at + static_cast<std::size_t>(i)]);
  return v;
}

// Digits after an optional sign, stopping at the first other character;
// 0 when there are none. Saturates instead of overflowing.
int LeadingNumber(const char* s) {
  bool negative = false;
  if (*s == '+' || *s == '-') negative = *s++ == '-';
  long long v = 0;
  while (*s >= '0' && *s <= '9') {
    v = v * 10 + (*s++ - '0');
    if (v > INT_MAX) v = INT_MAX;
  }
  return static_cast<int>(negative ? -v : v);
}

// One line without its line end (LF, or CR LF), at most `limit` characters.
// A longer line is cut there and `cut` is set; the rest stays unread (see
// SkipRest). Returns false at the end of the file when nothing was read.
bool ReadLine(std::FILE* file, std::string& line, std::size_t limit, bool& cut) {
  line.clear();
  cut = false;
  int c;
  bool any = false;
  while ((c = std::getc(file)) != EOF) {
    any = true;
    if (c == '\n') break;
    if (line.size() == limit) {
      std::ungetc(c, file);
      cut = true;
      break;
    }
    line.push_back(static_cast<char>(c));
  }
  if (!cut && !line.empty() && line.back() == '\r') line.pop_back();  // CR LF
  return any;
}

void SkipRest(std::FILE* file) {
  int c;
  while ((c = std::getc(file)) != EOF && c != '\n') {
  }
}

bool TestBit(const std::vector<std::uint8_t>& map, int a) {
  return map[static_cast<std::size_t>(a / 8)] & (1u << (a % 8));
}
void SetBit(std::vector<std::uint8_t>& map, int a) {
  map[static_cast<std::size_t>(a / 8)] |= static_cast<std::uint8_t>(1u << (a % 8));
}

}  // namespace

const char* CloneFileMessageKey(int code) {
  if (code < 0 || code > 9) return "";
  return kCodeKeys[code];
}

void ShowCloneFileMessage(Dialogs* dialogs, int code) {
  if (!dialogs || code <= 0 || code > 9) return;
  TextStore& text = MainText();
  const std::string body =
      text.GetFirstLine(kHeadlineKey) + "\n\n" + text.GetSectionText(kCodeKeys[code]);
  dialogs->MessageBox(body, text.GetFirstLine(kTitleKey), MsgIcon::Warning, MsgButtons::Ok);
}

std::vector<KeyUse> CloneFileKeys() {
  std::vector<KeyUse> keys;
  keys.push_back({kHeadlineKey, ResourceFile::Main, 1});
  for (int code = 1; code <= 9; ++code) keys.push_back({kCodeKeys[code], ResourceFile::Main, 1});
  return keys;
}

const AddressRanges& CloneRanges() {
  static const AddressRanges ranges = {{0x000, 0xFFF}, {1, 0}};
  return ranges;
}

void CloneFile::Attach(EepromImage& image, int start, int end) {
  image_ = &image;
  rangeStart_ = start < 0 ? 0 : start;
  rangeEnd_ = end > image.Size() - 1 ? image.Size() - 1 : end;
  const std::size_t bytes = static_cast<std::size_t>((image.Size() + 7) / 8);
  required_.assign(bytes, 0);
  loaded_.assign(bytes, 0);
  for (int a = 0; a < image.Size(); ++a) SetBit(required_, a);
}

int CloneFile::Finish(int code) {
  ShowCloneFileMessage(dialogs_, code);
  return code;
}

// --- Writing ----------------------------------------------------------------

std::string CloneFile::Compose(const AddressRanges& ranges) const {
  std::string out;
  char buf[16];
  auto line = [&out](const std::string& text) { out += text + "\r\n"; };
  // A line end inside the comment would start a data line of its own.
  std::string comment = comment_;
  for (char& c : comment)
    if (c == '\r' || c == '\n') c = ' ';
  std::snprintf(buf, sizeof buf, "%04X%04X", static_cast<unsigned>(modelCode_ & 0xFFFF),
                static_cast<unsigned>(subCode_ & 0xFFFF));
  line(buf);
  if (mode_ == 1) {
    line(std::string("#") + kCommentTag + comment);
    line(std::string("#") + kMapRevTag + std::to_string(mapRevision_));
  } else {
    line("#" + comment);
  }
  if (!image_) return out;
  for (const AddressRange& r : ranges) {
    if (r.first > r.last || !image_->InRange(r.first) || !image_->InRange(r.last)) break;
    int a = r.first;
    while (a <= r.last) {
      int n = lineLength_ - (a % lineLength_);
      if (a + n - 1 > r.last) n = r.last - a + 1;
      std::snprintf(buf, sizeof buf, "%04X%02X", static_cast<unsigned>(a), static_cast<unsigned>(n));
      std::string text = buf;
      for (int i = 0; i < n; ++i) {
        std::snprintf(buf, sizeof buf, "%02X", image_->GetByte(a + i));
        text += buf;
      }
      line(text);
      a += n;
    }
  }
  return out;
}

int CloneFile::Write(const std::string& path, const AddressRanges& ranges) {
  namespace fs = std::filesystem;
  const std::string content = Compose(ranges);

  // Saving over a link replaces the file it points to, not the link.
  std::string target = path;
  std::error_code ec;
  if (fs::is_symlink(path, ec)) {
    const fs::path resolved = fs::canonical(path, ec);
    if (ec) return Finish(kCloneFileOpen);
    target = resolved.string();
  }
  // A file the user may not write stays refused, as opening it would be.
  if (target.empty() ||
      (::access(target.c_str(), F_OK) == 0 && ::access(target.c_str(), W_OK) != 0))
    return Finish(kCloneFileOpen);
  // Only a regular file is replaced: the rename would put a file in place of
  // a folder, a pipe or a device (as root even of /dev/null).
  struct stat existing {};
  if (::stat(target.c_str(), &existing) == 0 && !S_ISREG(existing.st_mode))
    return Finish(kCloneFileOpen);

  // The new file is built beside the target, so the final rename stays on
  // one file system and replaces the target in one step.
  std::string tmpName = target + ".XXXXXX";
  const int fd = ::mkstemp(tmpName.data());
  if (fd < 0) return Finish(kCloneFileOpen);

  // Keep the permissions of a file being replaced; a new file gets the
  // usual ones (0666 less the umask).
  struct stat st {};
  mode_t mode;
  if (::stat(target.c_str(), &st) == 0) {
    mode = st.st_mode & 07777;
  } else {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    mode = 0666 & ~mask;
  }
  ::fchmod(fd, mode);

  bool ok = true;
  std::size_t offset = 0;
  while (ok && offset < content.size()) {
    // One line per write, so that a failure falls inside the data.
    std::size_t end = content.find('\n', offset);
    std::size_t len = (end == std::string::npos ? content.size() : end + 1) - offset;
    if (writeFault_ && !writeFault_(offset, len)) {
      ok = false;
      break;
    }
    const char* p = content.data() + offset;
    std::size_t left = len;
    while (left > 0) {
      ssize_t w = ::write(fd, p, left);
      if (w < 0 && errno == EINTR) continue;
      if (w <= 0) {
        ok = false;
        break;
      }
      p += w;
      left -= static_cast<std::size_t>(w);
    }
    offset += len;
  }
  if (ok && ::fsync(fd) != 0) ok = false;
  if (::close(fd) != 0) ok = false;
  if (ok && std::rename(tmpName.c_str(), target.c_str()) != 0) ok = false;
  if (!ok) {
    ::unlink(tmpName.c_str());
    return Finish(kCloneFileAccess);
  }
  // Make the rename itself durable.
  std::string folder = fs::path(target).parent_path().string();
  if (folder.empty()) folder = ".";
  const int dfd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
  if (dfd >= 0) {
    ::fsync(dfd);
    ::close(dfd);
  }
  return Finish(kCloneOk);
}

// --- Reading ----------------------------------------------------------------

int CloneFile::ParseDataLine(const std::string& line) {
  const std::size_t len = line.size();
  if (len < kMinDataLine || len > kMaxDataLine) return kCloneFormat;
  for (char c : line)
    if (HexValue(c) < 0) return kCloneFormat;
  const int address = HexNumber(line, 0, 4);
  const int n = HexNumber(line, 4, 2);
  if (len != static_cast<std::size_t>(6 + 2 * n)) return kCloneFormat;
  if (!image_->InRange(address) || !image_->InRange(address + n - 1)) return kCloneData;
  for (int i = 0; i < n; ++i) {
    image_->SetByte(address + i,
                    static_cast<std::uint8_t>(HexNumber(line, 6 + 2 * static_cast<std::size_t>(i), 2)));
    SetBit(loaded_, address + i);
  }
  return kCloneOk;
}

int CloneFile::ReadBody(std::FILE* file) {
  std::string line;
  const std::size_t limit = kLineBufferSize - 1;

  // Header: exactly 8 decimal digits, each taken as a hexadecimal digit.
  bool cut = false;
  if (!ReadLine(file, line, limit, cut)) return std::ferror(file) ? kCloneFileOpen : kCloneFormat;
  if (cut || line.size() != 8) return kCloneFormat;
  for (char c : line)
    if (c < '0' || c > '9') return kCloneFormat;
  const std::uint32_t model = static_cast<std::uint32_t>(HexNumber(line, 0, 4));
  const std::uint32_t sub = static_cast<std::uint32_t>(HexNumber(line, 4, 4));
  if (modelCheck_) {
    int code = kCloneModel;
    // A refusal is never a success, whatever code the check left.
    if (!modelCheck_(model, sub, code)) return code != kCloneOk ? code : kCloneModel;
  } else {
    if (model != modelCode_) return kCloneModel;
    if (sub != subCode_) return kCloneExtra;
  }

  // The revision is the file's: without a "MapRev=" line before the data it
  // is -1, whatever the object held before (a revision set for writing).
  mapRevision_ = -1;
  bool firstData = true;
  while (ReadLine(file, line, limit, cut)) {
    if (!line.empty() && line[0] == '#') {
      // A comment may be of any length; only its beginning is looked at.
      if (cut) SkipRest(file);
      if (line.find(kMapRevTag, 1) != std::string::npos && line.size() >= 8)
        mapRevision_ = LeadingNumber(line.c_str() + 8);
      continue;
    }
    if (firstData) {
      firstData = false;
      if (mode_ == 1 && !(mapRevisionCheck_ && mapRevisionCheck_(mapRevision_)))
        return kCloneMapRev;
    }
    if (int code = ParseDataLine(line)) return code;
  }
  if (std::ferror(file)) return kCloneFileOpen;
  return kCloneOk;
}

int CloneFile::Read(const std::string& path, const AddressRanges* ranges) {
  if (!image_) return Finish(kCloneFileOpen);
  EepromImage backup;
  backup.Assign(*image_);
  std::fill(loaded_.begin(), loaded_.end(), 0);

  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return Finish(kCloneFileOpen);
  // Only a regular file is a clone file (a folder, a pipe or a device is
  // not, and a device may never end).
  struct stat st {};
  if (::fstat(::fileno(file), &st) != 0 || !S_ISREG(st.st_mode)) {
    std::fclose(file);
    return Finish(kCloneFileOpen);
  }
  int code = ReadBody(file);
  if (code == kCloneOk && ranges) code = CheckCoverage(ranges);
  std::fclose(file);
  if (code != kCloneOk) image_->Assign(backup);
  return Finish(code);
}

void CloneFile::BuildRequired(const AddressRanges& ranges) {
  std::fill(required_.begin(), required_.end(), 0);
  for (const AddressRange& r : ranges) {
    if (r.first > r.last || !image_->InRange(r.first) || !image_->InRange(r.last)) break;
    for (int a = r.first; a <= r.last; ++a) SetBit(required_, a);
  }
}

int CloneFile::CheckCoverage(const AddressRanges* ranges) {
  if (!ranges || !image_ || loaded_.empty()) return kCloneCoverage;
  BuildRequired(*ranges);
  if (loaded_ == required_) return kCloneOk;
  for (int a = 0; a < image_->Size(); ++a)
    if (TestBit(loaded_, a) && !TestBit(required_, a)) return kCloneData;
  return kCloneCoverage;
}

}  // namespace twk
