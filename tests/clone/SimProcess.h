// Runs twk208-radiosim for a test: starts it with the given flags, reads the
// pseudo-terminal's path from its first output line, and terminates it at
// the end (by its own pid only).
#pragma once

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "common/TestSupport.h"

extern char** environ;

namespace twk::test {

class SimProcess {
 public:
  explicit SimProcess(const std::vector<std::string>& flags) {
    int fds[2];
    if (pipe(fds) != 0) return;
    std::vector<std::string> args = {(BinDir() / "twk208-radiosim").string()};
    args.insert(args.end(), flags.begin(), flags.end());
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t fa;
    posix_spawn_file_actions_init(&fa);
    posix_spawn_file_actions_adddup2(&fa, fds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&fa, fds[0]);
    if (posix_spawn(&pid_, argv[0], &fa, nullptr, argv.data(), environ) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&fa);
    close(fds[1]);
    if (pid_ > 0) {
      FILE* out = fdopen(fds[0], "r");
      char line[256] = {};
      if (out && std::fgets(line, sizeof line, out)) {
        path_ = line;
        while (!path_.empty() && (path_.back() == '\n' || path_.back() == '\r')) path_.pop_back();
      }
      if (out) std::fclose(out);
    } else {
      close(fds[0]);
    }
  }
  ~SimProcess() {
    if (pid_ > 0) {
      kill(pid_, SIGTERM);
      int status = 0;
      waitpid(pid_, &status, 0);
    }
  }
  SimProcess(const SimProcess&) = delete;
  SimProcess& operator=(const SimProcess&) = delete;

  const std::string& Path() const { return path_; }
  bool Ok() const { return pid_ > 0 && !path_.empty(); }

 private:
  pid_t pid_ = -1;
  std::string path_;
};

}  // namespace twk::test
