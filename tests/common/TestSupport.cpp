#include "common/TestSupport.h"

#include <stdlib.h>
#include <sys/wait.h>

#include <cstdlib>

#include <fstream>
#include <sstream>

namespace twk::test {

FatalCatcher::FatalCatcher() : previous_(SetFatalReporter(this)) {}
FatalCatcher::~FatalCatcher() { SetFatalReporter(previous_); }

std::string FatalTextOf(const std::function<void()>& fn) {
  FatalCatcher catcher;
  try {
    fn();
  } catch (const FatalStop& stop) {
    return stop.text;
  }
  return "";
}

MsgAnswer ScriptedDialogs::MessageBox(const std::string& text, const std::string& caption,
                                      MsgIcon icon, MsgButtons buttons) {
  shown.push_back({text, caption, icon, buttons});
  if (!answers.empty()) {
    MsgAnswer a = answers.front();
    answers.pop_front();
    return a;
  }
  return buttons == MsgButtons::Ok ? MsgAnswer::Ok : MsgAnswer::Cancel;
}

TempDir::TempDir() {
  std::string tmpl = (std::filesystem::temp_directory_path() / "twk208-test-XXXXXX").string();
  char* made = ::mkdtemp(tmpl.data());
  if (!made) throw std::runtime_error("mkdtemp failed");
  path_ = made;
}

TempDir::~TempDir() {
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

std::string ReadFileBytes(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

void WriteFileBytes(const std::filesystem::path& p, const std::string& bytes) {
  std::ofstream out(p, std::ios::binary | std::ios::trunc);
  out << bytes;
}

std::string Quoted(const std::filesystem::path& p) {
  std::string out = "'";
  for (char c : p.string()) {
    if (c == '\'') out += "'\\''";
    else out += c;
  }
  return out + "'";
}

ProgramRun RunProgram(const std::filesystem::path& exe, const std::string& args,
                      const std::filesystem::path& scratch) {
  const auto out = scratch / "stdout.txt", err = scratch / "stderr.txt";
  const std::string cmd = "XDG_CACHE_HOME=" + Quoted(scratch / "cache") + " " + Quoted(exe) +
                          " " + args + " >" + Quoted(out) + " 2>" + Quoted(err) + " </dev/null";
  const int raw = std::system(cmd.c_str());
  ProgramRun r;
  r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  r.out = ReadFileBytes(out);
  r.err = ReadFileBytes(err);
  return r;
}

ProgramRun RunCli(const std::string& args, const std::filesystem::path& scratch) {
  return RunProgram(BinDir() / "twk208-cli", args, scratch);
}

}  // namespace twk::test
