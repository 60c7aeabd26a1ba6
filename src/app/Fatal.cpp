#include "app/Fatal.h"

#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstdlib>

namespace twk {
namespace {

FatalReporter* g_reporter = nullptr;
bool g_happened = false;

std::string ExecutablePath() {
  char buf[PATH_MAX + 1];
  ssize_t n = ::readlink("/proc/self/exe", buf, PATH_MAX);
  if (n <= 0) return {};
  buf[n] = '\0';
  return std::string(buf);
}

}  // namespace

FatalReporter* SetFatalReporter(FatalReporter* reporter) {
  FatalReporter* old = g_reporter;
  g_reporter = reporter;
  return old;
}

bool FatalStopHappened() { return g_happened; }

void Fatal(const std::string& text) {
  g_happened = true;
  if (g_reporter) {
    g_reporter->Report(text);
    throw FatalStop{text};
  }
  std::fprintf(stderr, "%s: %s\n", ProgramFileName().c_str(), text.c_str());
  std::fflush(stderr);
  std::_Exit(kFatalExitStatus);
}

std::string ProgramFileName() {
  std::string path = ExecutablePath();
  auto slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string ProgramFolder() {
  std::string path = ExecutablePath();
  auto slash = path.find_last_of('/');
  return slash == std::string::npos ? std::string("./") : path.substr(0, slash + 1);
}

}  // namespace twk
