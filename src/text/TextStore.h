// The text store: answers "line n of section K" over an OVL resource without
// reading the file whole. (Interface fixed here; see TextStore.cpp.)
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace twk {

class TextStore {
 public:
  TextStore();
  ~TextStore();
  TextStore(const TextStore&) = delete;
  TextStore& operator=(const TextStore&) = delete;

  // Sources: only the first one set counts (returns false afterwards).
  // The file is opened lazily, at the first lookup.
  bool SetFile(const std::string& fileName);
  // In-memory lines (no line ends); the end of the array behaves like the
  // end of a file. The store keeps its own copy.
  bool SetLines(std::vector<std::string> lines);

  // Line n (0-based) of section `key`, without its line end. A missing key,
  // an unopened source or a read past the end is a fatal stop
  // ("GTEX Error !\nThe index '%s' was not found.").
  std::string GetLine(const std::string& key, int n);
  std::string GetFirstLine(const std::string& key) { return GetLine(key, 0); }
  // Lines 0.. of the section joined with "\n", stopping before the first
  // non-empty line that begins with "#".
  std::string GetSectionText(const std::string& key);
  // True when the key exists (scans headers as far as needed; no stop).
  bool HasKey(const std::string& key);

  // Counters for tests and benchmarks.
  std::uint64_t LinesRead() const;   // physical line reads from the source
  std::uint64_t BytesRead() const;   // bytes consumed from the source
  // Keys of the section entries found so far, in list order (tests).
  std::vector<std::string> SectionOrder() const;

 private:
  struct Impl;
  Impl* impl_;
};

// The two process-wide stores (main resource and help resource). They are
// created by the main frame; the core reaches them through these accessors.
TextStore& MainText();
TextStore& HelpText();
// Installs the stores (tests and start-up); returns the previous pointers.
// While none are installed (nullptr), the accessors use stores over the
// program's own resources (ProgramFolder()), created on first use.
std::pair<TextStore*, TextStore*> SetTextStores(TextStore* mainStore, TextStore* helpStore);

// The resource file names from the program folder and the short code:
// "%s%s.OVL" and "%s%sH.OVL".
std::string MainResourceName(const std::string& folder, const std::string& shortCode);
std::string HelpResourceName(const std::string& folder, const std::string& shortCode);
inline constexpr const char* kShortCode = "TWK208";

}  // namespace twk
