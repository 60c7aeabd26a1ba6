// Sub-commands of twk208-cli. Each lives in its own Cmd*.cpp and registers
// itself with a static Register object, so commands never share a file.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace twk::cli {

struct Command {
  std::string name;
  std::string usage;    // e.g. "check FILE"
  std::string summary;  // one line for the help text
  // Arguments after the command name; returns the process exit status.
  std::function<int(const std::vector<std::string>& args)> run;
};

std::vector<Command>& Commands();

struct Register {
  explicit Register(Command c) { Commands().push_back(std::move(c)); }
};

// Exit status for wrong usage of a command.
// 64 as in sysexits.h: apart from every clone result code (2 is "the port
// could not be opened"), from 20 + a file code and from 30.
constexpr int kUsageExit = 64;

// write --verify: the memory read back differs from what was sent.
constexpr int kVerifyFailedExit = 31;

}  // namespace twk::cli
