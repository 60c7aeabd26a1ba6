// Running the clone commands headless: identification first, then the read
// or write, on a real-time timer loop, with a progress bar on stderr when it
// is a terminal and the editor's error message on failure.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "clone/cmcCloneControl.h"

namespace twk::cli {

struct CloneJob {
  std::string portArg;                // number 1..256 or a device path
  cmcCloneMode mode = cmcCloneMode::Identify;
  const EepromImage* image = nullptr; // write: the image to send
  bool makerMode = false;
};

struct CloneOutcome {
  int code = 0;
  CloneInfo info;
  EepromImage image;  // read: the radio's image
  std::string tracePath;
};

// Parses --port, runs the transfer(s) and prints the failure message, the
// port's own error text and the trace's path on stderr.
CloneOutcome RunClone(const CloneJob& job);

// Finds "--port X" (and removes it); false with a message when missing or bad.
bool TakePortOption(std::vector<std::string>& args, std::string* port);
bool TakeOption(std::vector<std::string>& args, const std::string& name, std::string* value);
bool TakeFlag(std::vector<std::string>& args, const std::string& name);

}  // namespace twk::cli
