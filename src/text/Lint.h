// Checks of a resource folder (`twk208-cli lint`): both OVL files present,
// every key the program asks for found and ended before the end of the
// file, no section shadowed by an earlier one with the same key, help
// tables well formed.
//
// Each check is a function over a LintInput that adds problems to a
// LintReport; AllLintChecks() lists them. A new check goes into its own
// Lint<Name>.cpp, is declared below and added to AllLintChecks().
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "text/ResourceKeys.h"

namespace twk {

// One OVL file as the text store sees it, read whole for checking. Lines
// are split and ended exactly as the store does (LF, CR LF, 8191-byte
// pieces); each keeps the number of its physical line in the file.
struct OvlLine {
  std::string text;
  int number = 0;  // 1-based line number in the file
};

struct OvlSection {
  std::string key;
  std::size_t header = 0;  // index of the header in OvlFile::lines
  bool reachable = true;   // false after "#End_Of_Ovl"
};

class OvlFile {
 public:
  // Reads the file; false (and present == false) when it cannot be read.
  bool Load(const std::string& path);

  std::string path;
  bool present = false;
  std::vector<OvlLine> lines;
  std::vector<OvlSection> sections;  // every header, in file order
  int endLine = 0;                   // line number of "#End_Of_Ovl", 0 if none

  // The section a lookup finds (the first reachable one), or nullptr.
  const OvlSection* Find(const std::string& key) const;
  // The first section with that key after "#End_Of_Ovl", or nullptr.
  const OvlSection* FindUnreachable(const std::string& key) const;
  // Index of the first line beginning with "#" after the header: where every
  // reader of the section stops. lines.size() when it runs to the end.
  std::size_t EndOf(const OvlSection& s) const;
  // The line number a problem without a line of its own is reported at:
  // the "#End_Of_Ovl" line, else the last line (0 for an empty file).
  int TailLine() const;
};

struct LintInput {
  std::string folder;  // with trailing separator
  OvlFile main, help;
  std::vector<KeyUse> keys;  // what the program asks for
  const OvlFile& File(ResourceFile f) const { return f == ResourceFile::Help ? help : main; }
};

struct LintProblem {
  std::string file;
  int line = 0;  // 0: the file as a whole
  std::string message;
  std::string Text() const;  // "FILE:LINE: message"
};

class LintReport {
 public:
  void Add(const std::string& file, int line, std::string message);
  bool Clean() const { return problems_.empty(); }
  // Sorted by file and line, in the order found within a line.
  std::vector<LintProblem> Problems() const;

 private:
  std::vector<LintProblem> problems_;
};

using LintCheck = void (*)(const LintInput&, LintReport&);

// The checks (one file each).
void LintFilesPresent(const LintInput& in, LintReport& report);      // LintFiles.cpp
void LintRequiredKeys(const LintInput& in, LintReport& report);      // LintKeys.cpp
void LintSectionsEnded(const LintInput& in, LintReport& report);     // LintKeys.cpp
void LintShadowedKeys(const LintInput& in, LintReport& report);      // LintDuplicates.cpp
void LintHelpTables(const LintInput& in, LintReport& report);        // LintHelpTables.cpp
void LintCellTexts(const LintInput& in, LintReport& report);         // LintCellTexts.cpp
void LintSheets(const LintInput& in, LintReport& report);            // data/LintSheets.cpp

std::vector<LintCheck> AllLintChecks();

// Loads both resources of the folder and runs every check.
LintInput LoadLintInput(const std::string& folder, std::vector<KeyUse> keys);
LintReport RunLint(const std::string& folder, std::vector<KeyUse> keys = AllRequiredKeys());

}  // namespace twk
