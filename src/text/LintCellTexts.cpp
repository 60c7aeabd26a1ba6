// Lint of the cell texts: every cell text in the sections the program reads
// as cell markup (sheet rows and base cells, menu, popup and tree bodies,
// cell models, the warning check list) parses without a stop, so every
// category and label name is known and every cell model exists; and every
// popup menu a cell names has its "_Body" and "_BasicCell" sections.
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "app/Fatal.h"
#include "sheet/CellMarkup.h"
#include "text/Lint.h"
#include "text/TextStore.h"

namespace twk {
namespace {

bool EndsWith(std::string_view s, std::string_view suffix) {
  return s.size() >= suffix.size() && s.substr(s.size() - suffix.size()) == suffix;
}
bool StartsWith(std::string_view s, std::string_view prefix) {
  return s.substr(0, prefix.size()) == prefix;
}

// Sections of whole cell texts, one a line, that are not named by a suffix.
constexpr const char* kCellListSections[] = {"GI_WarningCheckList"};

// Turns fatal stops into exceptions while the check runs.
class Catcher : public FatalReporter {
 public:
  Catcher() : previous_(SetFatalReporter(this)) {}
  ~Catcher() override { SetFatalReporter(previous_); }
  void Report(const std::string&) override {}

 private:
  FatalReporter* previous_;
};

std::string OneLine(std::string text) {
  for (char& c : text)
    if (c == '\n') c = ' ';
  return text;
}

class CellLint {
 public:
  CellLint(const LintInput& in, LintReport& report) : in_(in), report_(report) {
    std::vector<std::string> lines;
    lines.reserve(in.main.lines.size());
    for (const OvlLine& l : in.main.lines) lines.push_back(l.text);
    models_.SetLines(std::move(lines));
    previousModels_ = SetCellModelStore(&models_);
  }
  ~CellLint() { SetCellModelStore(previousModels_); }

  void Run() {
    for (const OvlSection& s : in_.main.sections) {
      if (!s.reachable || in_.main.Find(s.key) != &s) continue;  // dead sections are never read
      const std::string& k = s.key;
      if (StartsWith(k, "CellModel_")) {
        CheckModel(s);
      } else if (EndsWith(k, "_BasicCell")) {
        ParseLines(s, 1, nullptr, Kind::Plain);
      } else if (EndsWith(k, "_Cells")) {
        const std::optional<CellDescriptor> base = BaseOf(k.substr(0, k.size() - 6));
        ParseLines(s, -1, base ? &*base : nullptr, Kind::Rows);
      } else if (EndsWith(k, "_Body")) {
        const std::optional<CellDescriptor> base = BaseOf(k.substr(0, k.size() - 5));
        ParseLines(s, -1, base ? &*base : nullptr, Kind::Items);
      } else {
        for (const char* list : kCellListSections)
          if (k == list) ParseLines(s, -1, nullptr, Kind::Plain);
      }
    }
  }

 private:
  enum class Kind { Plain, Rows, Items };

  const std::string& File() const { return in_.main.path; }

  // Parses one cell text; a stop becomes a problem at that line.
  bool Parse(CellDescriptor& cell, std::string_view text, std::int32_t* vars,
             const CellDescriptor* base, int line) {
    try {
      ParseCell(cell, text, vars, base);
    } catch (const FatalStop& stop) {
      static const std::string kMissing = "GTEX Error !\nThe index 'CellModel_";
      if (StartsWith(stop.text, kMissing)) {
        const std::string name = stop.text.substr(kMissing.size(),
                                                  stop.text.size() - kMissing.size() - 16);
        report_.Add(File(), line, "cell model '" + name + "' does not exist (no section CellModel_" +
                                      name + "): " + std::string(text));
      } else {
        report_.Add(File(), line, "cell text stops the program (" + OneLine(stop.text) +
                                      "): " + std::string(text));
      }
      return false;
    }
    if (cell.popupKey && !cell.popupKey->empty()) CheckPopup(*cell.popupKey, line);
    return true;
  }

  void CheckPopup(const std::string& key, int line) {
    if (!popupsChecked_.insert(key).second) return;  // reported once, at its first use
    for (const char* suffix : {"_Body", "_BasicCell"})
      if (in_.main.Find(key + suffix) == nullptr)
        report_.Add(File(), line, "popup menu '" + key + "' has no section " + key + suffix);
  }

  std::optional<CellDescriptor> BaseOf(const std::string& prefix) {
    const OvlSection* s = in_.main.Find(prefix + "_BasicCell");
    if (s == nullptr || s->header + 1 >= in_.main.EndOf(*s)) return std::nullopt;
    CellDescriptor base;
    Catcher catcher;
    try {
      ParseCell(base, in_.main.lines[s->header + 1].text, nullptr, nullptr);
    } catch (const FatalStop&) {
      return std::nullopt;  // reported where the base cell section itself is checked
    }
    return base;
  }

  void CheckModel(const OvlSection& s) {
    if (s.header + 1 >= in_.main.EndOf(s)) return;  // an empty section: the key check reports it
    const OvlLine& l = in_.main.lines[s.header + 1];
    Catcher catcher;
    CellDescriptor cell;
    ChannelVariables vars = {};
    Parse(cell, "{" + l.text + "}", vars, nullptr, l.number);
  }

  // Lines of a section up to its end ("#" line); at most `count` (-1: all).
  void ParseLines(const OvlSection& s, int count, const CellDescriptor* base, Kind kind) {
    Catcher catcher;
    ChannelVariables vars = {};  // each sheet has its own channel variables
    CellDescriptor cell;
    const std::size_t end = in_.main.EndOf(s);
    int n = 0;
    for (std::size_t i = s.header + 1; i < end && (count < 0 || n < count); ++i, ++n) {
      const OvlLine& l = in_.main.lines[i];
      if (kind == Kind::Rows) {
        if (!l.text.empty() && l.text[0] == ':') continue;  // control line
        std::string_view rest = l.text;
        do {
          const RowSplit split = SplitRow(rest);
          Parse(cell, split.cell, vars, base, l.number);
          rest = split.rest;
        } while (!rest.empty());
      } else if (kind == Kind::Items) {
        const std::size_t plus = l.text.find('+');
        const std::string_view text = plus == std::string::npos
                                          ? std::string_view(l.text)
                                          : std::string_view(l.text).substr(plus + 1);
        Parse(cell, text, nullptr, base, l.number);
      } else {
        Parse(cell, l.text, nullptr, base, l.number);
      }
    }
  }

  const LintInput& in_;
  LintReport& report_;
  TextStore models_;
  TextStore* previousModels_;
  std::set<std::string> popupsChecked_;
};

}  // namespace

void LintCellTexts(const LintInput& in, LintReport& report) {
  if (!in.main.present) return;
  CellLint(in, report).Run();
}

}  // namespace twk
