#include "text/Lint.h"

#include <algorithm>
#include <fstream>
#include <iterator>

#include "text/TextStore.h"

namespace twk {
namespace {
constexpr std::size_t kMaxLineBytes = 8191;
}

bool OvlFile::Load(const std::string& filePath) {
  path = filePath;
  present = false;
  lines.clear();
  sections.clear();
  endLine = 0;
  std::ifstream in(filePath, std::ios::binary);
  if (!in) return false;
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) return false;
  present = true;

  int number = 0;
  std::size_t at = 0;
  while (at < bytes.size()) {
    ++number;
    std::size_t lf = bytes.find('\n', at);
    std::size_t stop = lf == std::string::npos ? bytes.size() : lf;
    std::size_t textEnd = stop;
    if (lf != std::string::npos && textEnd > at && bytes[textEnd - 1] == '\r') --textEnd;
    // The store delivers a long line as 8191-byte pieces.
    std::size_t piece = at;
    do {
      std::size_t len = std::min(kMaxLineBytes, textEnd - piece);
      lines.push_back({bytes.substr(piece, len), number});
      piece += len;
    } while (piece < textEnd);
    at = lf == std::string::npos ? bytes.size() : lf + 1;
  }

  bool reachable = true;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::string& t = lines[i].text;
    if (t.size() < 2 || t[0] != '#') continue;
    sections.push_back({t.substr(1), i, reachable});
    if (reachable && t == "#End_Of_Ovl") {
      reachable = false;
      endLine = lines[i].number;
    }
  }
  return true;
}

const OvlSection* OvlFile::Find(const std::string& key) const {
  for (const auto& s : sections)
    if (s.reachable && s.key == key) return &s;
  return nullptr;
}

const OvlSection* OvlFile::FindUnreachable(const std::string& key) const {
  for (const auto& s : sections)
    if (!s.reachable && s.key == key) return &s;
  return nullptr;
}

std::size_t OvlFile::EndOf(const OvlSection& s) const {
  for (std::size_t i = s.header + 1; i < lines.size(); ++i)
    if (!lines[i].text.empty() && lines[i].text[0] == '#') return i;
  return lines.size();
}

int OvlFile::TailLine() const {
  if (endLine) return endLine;
  return lines.empty() ? 0 : lines.back().number;
}

std::string LintProblem::Text() const {
  return file + ":" + std::to_string(line) + ": " + message;
}

void LintReport::Add(const std::string& file, int line, std::string message) {
  problems_.push_back({file, line, std::move(message)});
}

std::vector<LintProblem> LintReport::Problems() const {
  std::vector<LintProblem> sorted = problems_;
  std::stable_sort(sorted.begin(), sorted.end(), [](const LintProblem& a, const LintProblem& b) {
    return a.file != b.file ? a.file < b.file : a.line < b.line;
  });
  return sorted;
}

std::vector<LintCheck> AllLintChecks() {
  return {
      LintFilesPresent,
      LintRequiredKeys,
      LintSectionsEnded,
      LintShadowedKeys,
      LintHelpTables,
      LintCellTexts,
      LintSheets,
      // Later checks are appended here.
  };
}

LintInput LoadLintInput(const std::string& folder, std::vector<KeyUse> keys) {
  LintInput in;
  in.folder = folder;
  if (!in.folder.empty() && in.folder.back() != '/') in.folder += '/';
  in.main.Load(MainResourceName(in.folder, kShortCode));
  in.help.Load(HelpResourceName(in.folder, kShortCode));
  in.keys = std::move(keys);
  return in;
}

LintReport RunLint(const std::string& folder, std::vector<KeyUse> keys) {
  LintInput in = LoadLintInput(folder, std::move(keys));
  LintReport report;
  for (LintCheck check : AllLintChecks()) check(in, report);
  return report;
}

}  // namespace twk
