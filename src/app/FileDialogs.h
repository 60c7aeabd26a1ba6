// The common file dialogs for opening and saving clone files, behind an
// interface: the editor shows the toolkit's dialogs, tests script the names.
#pragma once

#include <deque>
#include <string>
#include <vector>

namespace twk {

struct FileDialogRequest {
  std::string defaultExtension;  // without the dot, e.g. "cln"
  // Pairs of description and pattern separated by vertical bars:
  // "Clone files (*.cln)|*.cln|All files (*.*)|*.*".
  std::string filter;
  std::string initialName;    // file name offered (save: the document's name)
  std::string initialFolder;  // with or without a trailing separator
};

class FileDialogs {
 public:
  virtual ~FileDialogs() = default;
  // Open: the file must exist. Returns false when the user cancelled.
  virtual bool ChooseOpenFile(const FileDialogRequest& request, std::string& path) = 0;
  // Save: asks before overwriting an existing file, refuses read-only files.
  virtual bool ChooseSaveFile(const FileDialogRequest& request, std::string& path) = 0;
};

// Answers from a script: each entry is a chosen path, "" cancels; an empty
// script cancels. Every request is recorded.
class ScriptedFileDialogs : public FileDialogs {
 public:
  struct Asked {
    bool save = false;
    FileDialogRequest request;
  };
  bool ChooseOpenFile(const FileDialogRequest& request, std::string& path) override {
    return Answer(false, request, path);
  }
  bool ChooseSaveFile(const FileDialogRequest& request, std::string& path) override {
    return Answer(true, request, path);
  }
  std::deque<std::string> answers;
  std::vector<Asked> asked;

 private:
  bool Answer(bool save, const FileDialogRequest& request, std::string& path) {
    asked.push_back({save, request});
    if (answers.empty()) return false;
    path = answers.front();
    answers.pop_front();
    return !path.empty();
  }
};

// The pattern that goes with a filter's description ("a|b|c|d" -> {"a","b"},
// {"c","d"}); a description without a pattern is dropped.
struct FilterPair {
  std::string description;
  std::string pattern;
};
inline std::vector<FilterPair> SplitFilter(const std::string& filter) {
  std::vector<std::string> parts;
  std::string cur;
  for (char c : filter) {
    if (c == '|') {
      parts.push_back(cur);
      cur.clear();
    } else {
      cur += c;
    }
  }
  parts.push_back(cur);
  std::vector<FilterPair> out;
  for (std::size_t i = 0; i + 1 < parts.size(); i += 2)
    if (!parts[i].empty() || !parts[i + 1].empty()) out.push_back({parts[i], parts[i + 1]});
  return out;
}

}  // namespace twk
