// The text store ("GTEX"): line n of section K over an OVL resource.
//
// The source is scanned for headers only as far as a lookup needs. Every
// header found becomes a section entry remembering where its line 0 starts
// and where its own reading cursor stands, so reading a section line by line
// costs one line read per line and going back restarts at the section
// start. File lines read by lookups are kept in a 64-line LRU cache keyed by
// their byte position, so re-reading recently used lines costs no file read.
#include "text/TextStore.h"

#include <cstdio>
#include <iterator>
#include <list>
#include <unordered_map>

#include "app/Fatal.h"

namespace twk {
namespace {

constexpr std::size_t kMaxLineBytes = 8191;  // longer physical lines are split
constexpr std::size_t kCacheLines = 64;
constexpr int kMoveToFrontBeyond = 10;  // list positions 0..10 stay put
constexpr const char* kEndKey = "End_Of_Ovl";

enum class SourceKind { None, Lines, File };

// One line as read from the source: its text without line end and the
// number of bytes (or array slots) it consumed, line end included.
struct RawLine {
  std::string text;
  std::int64_t consumed = 0;
};

struct Section {
  std::string key;
  std::int64_t start = 0;       // position of line 0
  int cursorLine = 0;           // number of the line the cursor stands on
  std::int64_t cursorPos = 0;   // position of that line
};

struct CachedLine {
  std::int64_t pos = 0;
  std::int64_t consumed = 0;
  std::string text;
};

std::string NotFoundText(const std::string& key) {
  return "GTEX Error !\nThe index '" + key + "' was not found.";
}

}  // namespace

struct TextStore::Impl {
  SourceKind kind = SourceKind::None;
  std::string fileName;
  std::vector<std::string> lines;

  bool openTried = false;
  bool open = false;
  std::FILE* file = nullptr;
  std::int64_t fileOffset = -1;  // where the FILE stands (-1: unknown)
  std::int64_t position = 0;     // position of the next line

  std::int64_t scanPos = 0;
  bool scanPending = true;

  // File order, except that entries found beyond position 10 move to the
  // front. std::list keeps entries in place while they are relinked.
  std::list<Section> sections;
  std::unordered_map<std::string, std::list<Section>::iterator> sectionIndex;

  // Most recent first; the map finds a line by its position.
  std::list<CachedLine> cache;
  std::unordered_map<std::int64_t, std::list<CachedLine>::iterator> cacheIndex;

  std::uint64_t linesRead = 0;
  std::uint64_t bytesRead = 0;

  ~Impl() {
    if (file) std::fclose(file);
  }

  void EnsureOpen() {
    if (openTried) return;
    openTried = true;
    if (kind == SourceKind::Lines) {
      open = true;
    } else if (kind == SourceKind::File && !fileName.empty()) {
      file = std::fopen(fileName.c_str(), "rb");
      open = file != nullptr;
    }
    if (open) {
      position = 0;
      fileOffset = 0;
    } else {
      scanPending = false;  // every later lookup fails
    }
  }

  bool Seek(std::int64_t pos) {
    if (kind == SourceKind::File) {
      if (pos != fileOffset) {
        if (std::fseek(file, static_cast<long>(pos), SEEK_SET) != 0) {
          fileOffset = -1;
          return false;
        }
        fileOffset = pos;
      }
    }
    position = pos;
    return true;
  }

  // Reads one line at `position` straight from the source; false at the end.
  // A file line ends at LF, a CR right before the LF belongs to the line
  // end. A line of more than 8191 bytes comes out as several lines; the line
  // end right after a full 8191-byte piece still belongs to that piece.
  bool ReadPhysical(RawLine& out) {
    out.text.clear();
    out.consumed = 0;
    if (kind == SourceKind::Lines) {
      if (position < 0 || position >= static_cast<std::int64_t>(lines.size())) return false;
      const std::string& l = lines[static_cast<std::size_t>(position)];
      out.text.assign(l, 0, std::min(l.size(), kMaxLineBytes));
      out.consumed = 1;
      ++position;
    } else {
      if (!file || !Seek(position)) return false;
      int c = 0;
      while (out.text.size() < kMaxLineBytes) {
        c = std::getc(file);
        if (c == EOF) break;
        ++out.consumed;
        if (c == '\n') break;
        out.text.push_back(static_cast<char>(c));
      }
      if (c == EOF && out.consumed == 0) {
        fileOffset = -1;
        std::clearerr(file);
        return false;
      }
      bool readAhead = false;  // looked at bytes beyond the line
      if (c == '\n') {
        if (!out.text.empty() && out.text.back() == '\r') out.text.pop_back();
      } else if (c != EOF) {
        // A full piece: a line end right after it still belongs to it.
        int n = std::getc(file);
        if (n == '\n') {
          ++out.consumed;
          if (out.text.back() == '\r') out.text.pop_back();
        } else if (n == '\r' && std::getc(file) == '\n') {
          out.consumed += 2;
        } else if (n != EOF) {
          readAhead = true;  // the next read seeks back to them
        }
      }
      // c == EOF: the last line has no LF (a CR at its end is text).
      std::clearerr(file);
      position += out.consumed;
      fileOffset = readAhead ? -1 : position;
    }
    ++linesRead;
    bytesRead += static_cast<std::uint64_t>(out.consumed);
    return true;
  }

  // A read for a lookup: file lines go through the cache.
  bool ReadCached(RawLine& out) {
    if (kind != SourceKind::File) return ReadPhysical(out);
    auto hit = cacheIndex.find(position);
    if (hit != cacheIndex.end()) {
      auto it = hit->second;
      out.text = it->text;
      out.consumed = it->consumed;
      position += it->consumed;
      cache.splice(cache.begin(), cache, it);
      return true;
    }
    std::int64_t at = position;
    if (!ReadPhysical(out)) return false;
    if (cache.size() >= kCacheLines) {
      cacheIndex.erase(cache.back().pos);
      cache.pop_back();
    }
    cache.push_front(CachedLine{at, out.consumed, out.text});
    cacheIndex[at] = cache.begin();
    return true;
  }

  // One step of the header scan; returns the entry it appended, if any.
  Section* ScanStep() {
    RawLine line;
    if (!Seek(scanPos) || !ReadPhysical(line)) {
      scanPending = false;
      return nullptr;
    }
    scanPos = position;
    if (line.text.size() < 2 || line.text[0] != '#') return nullptr;
    sections.push_back(Section{line.text.substr(1), scanPos, 0, scanPos});
    // The first entry of a key wins: a later duplicate is never indexed.
    sectionIndex.emplace(sections.back().key, std::prev(sections.end()));
    if (sections.back().key == kEndKey) scanPending = false;
    return &sections.back();
  }

  Section* Find(const std::string& key) {
    EnsureOpen();
    if (!open) return nullptr;
    // Positions 0..10 of the list are walked; an entry further back is
    // taken from the index and moved to the front, just as a walk of the
    // whole list would find and move it (the first entry of a key always
    // stands before its duplicates).
    int i = 0;
    for (auto it = sections.begin(); it != sections.end() && i <= kMoveToFrontBeyond; ++it, ++i) {
      if (it->key == key) return &*it;
    }
    if (auto hit = sectionIndex.find(key); hit != sectionIndex.end()) {
      sections.splice(sections.begin(), sections, hit->second);
      return &*hit->second;
    }
    while (scanPending) {
      Section* s = ScanStep();
      if (s && s->key == key) return s;
    }
    return nullptr;
  }
};

TextStore::TextStore() : impl_(new Impl) {}
TextStore::~TextStore() { delete impl_; }

bool TextStore::SetFile(const std::string& fileName) {
  if (impl_->kind != SourceKind::None) return false;
  impl_->kind = SourceKind::File;
  impl_->fileName = fileName;
  return true;
}

bool TextStore::SetLines(std::vector<std::string> lines) {
  if (impl_->kind != SourceKind::None) return false;
  impl_->kind = SourceKind::Lines;
  impl_->lines = std::move(lines);
  return true;
}

std::string TextStore::GetLine(const std::string& key, int n) {
  Impl& s = *impl_;
  Section* sec = s.Find(key);
  if (!sec || n < 0) Fatal(NotFoundText(key));
  int line = sec->cursorLine;
  std::int64_t pos = sec->cursorPos;
  if (n < line) {
    line = 0;
    pos = sec->start;
  }
  RawLine raw;
  if (!s.Seek(pos)) Fatal(NotFoundText(key));
  for (; line <= n; ++line) {
    if (!s.ReadCached(raw)) Fatal(NotFoundText(key));
  }
  sec->cursorLine = n + 1;
  sec->cursorPos = s.position;
  // In-memory lines may carry a line feed of their own: cut there.
  auto lf = raw.text.find('\n');
  if (lf != std::string::npos) raw.text.resize(lf);
  return raw.text;
}

std::string TextStore::GetSectionText(const std::string& key) {
  std::string text;
  for (int n = 0;; ++n) {
    std::string line = GetLine(key, n);
    if (!line.empty() && line[0] == '#') break;
    if (n > 0) text += '\n';
    text += line;
  }
  return text;
}

bool TextStore::HasKey(const std::string& key) { return impl_->Find(key) != nullptr; }

std::uint64_t TextStore::LinesRead() const { return impl_->linesRead; }
std::uint64_t TextStore::BytesRead() const { return impl_->bytesRead; }

std::vector<std::string> TextStore::SectionOrder() const {
  std::vector<std::string> keys;
  for (const auto& s : impl_->sections) keys.push_back(s.key);
  return keys;
}

namespace {

TextStore* g_main = nullptr;
TextStore* g_help = nullptr;

// Without installed stores (the headless tool), the stores over the
// program's own resources are created on first use.
TextStore& FallbackStore(bool help) {
  static TextStore mainStore, helpStore;
  static bool set = false;
  if (!set) {
    set = true;
    mainStore.SetFile(MainResourceName(ProgramFolder(), kShortCode));
    helpStore.SetFile(HelpResourceName(ProgramFolder(), kShortCode));
  }
  return help ? helpStore : mainStore;
}

}  // namespace

TextStore& MainText() { return g_main ? *g_main : FallbackStore(false); }
TextStore& HelpText() { return g_help ? *g_help : FallbackStore(true); }

std::pair<TextStore*, TextStore*> SetTextStores(TextStore* mainStore, TextStore* helpStore) {
  std::pair<TextStore*, TextStore*> previous{g_main, g_help};
  g_main = mainStore;
  g_help = helpStore;
  return previous;
}

std::string MainResourceName(const std::string& folder, const std::string& shortCode) {
  return folder + shortCode + ".OVL";
}

std::string HelpResourceName(const std::string& folder, const std::string& shortCode) {
  return folder + shortCode + "H.OVL";
}

}  // namespace twk
