// Deterministic stand-ins for the core's interfaces, shared by all tests.
#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "app/Dialogs.h"
#include "app/Fatal.h"

namespace twk::test {

// Installs a reporter for its lifetime: a fatal stop throws FatalStop
// instead of ending the process, and the texts are recorded.
class FatalCatcher : public FatalReporter {
 public:
  FatalCatcher();
  ~FatalCatcher() override;
  void Report(const std::string& text) override { texts.push_back(text); }
  std::vector<std::string> texts;

 private:
  FatalReporter* previous_;
};

// Runs fn and returns the text of the fatal stop it caused, or "" if none.
std::string FatalTextOf(const std::function<void()>& fn);

// Message boxes answered from a script; every box shown is recorded.
class ScriptedDialogs : public Dialogs {
 public:
  struct Shown {
    std::string text, caption;
    MsgIcon icon;
    MsgButtons buttons;
  };
  MsgAnswer MessageBox(const std::string& text, const std::string& caption, MsgIcon icon,
                       MsgButtons buttons) override;
  std::deque<MsgAnswer> answers;  // popped in order; empty: Ok / Cancel
  std::vector<Shown> shown;
};

// A fresh temporary folder, removed with everything in it at the end.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

std::string ReadFileBytes(const std::filesystem::path& p);
void WriteFileBytes(const std::filesystem::path& p, const std::string& bytes);

// Runs a program through the shell with `args` (already quoted), standard
// input from /dev/null, the serial trace folder inside `scratch`, and
// returns its exit status and what it printed.
struct ProgramRun {
  int status = -1;
  std::string out, err;
};
ProgramRun RunProgram(const std::filesystem::path& exe, const std::string& args,
                      const std::filesystem::path& scratch);
// RunProgram of the built twk208-cli.
ProgramRun RunCli(const std::string& args, const std::filesystem::path& scratch);
// A path quoted for the shell.
std::string Quoted(const std::filesystem::path& p);

// The source tree and the folder of the built binaries and resources.
inline std::filesystem::path SourceDir() { return TWK208_SOURCE_DIR; }
inline std::filesystem::path BinDir() { return TWK208_BIN_DIR; }

}  // namespace twk::test
