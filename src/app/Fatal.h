// Fatal stops: inconsistencies that ordinary input cannot produce (a missing
// resource key, a duplicate name, an access outside the image). The program
// shows one error box captioned with its file name and ends with status 3,
// saving nothing. The core reports through an interface so tests can watch
// the stop instead of exiting.
#pragma once

#include <string>

namespace twk {

constexpr int kFatalExitStatus = 3;

class FatalReporter {
 public:
  virtual ~FatalReporter() = default;
  // Shows the text to the user. A real reporter ends the process here
  // (status 3); a test reporter returns, and Fatal() then throws FatalStop.
  virtual void Report(const std::string& text) = 0;
};

// Thrown by Fatal() when the installed reporter returns (tests only).
struct FatalStop {
  std::string text;
};

// Installs the reporter (nullptr: the default, which prints the text to
// stderr and exits with status 3). Returns the previous one.
FatalReporter* SetFatalReporter(FatalReporter* reporter);

// True once a fatal stop has been reported in this process: shutdown code
// checks it so that nothing (settings in particular) is saved afterwards.
bool FatalStopHappened();

[[noreturn]] void Fatal(const std::string& text);

// The file name of the running program without its folder (the caption of
// the fatal box), and its folder with a trailing separator (where the
// resources lie). Both resolve the executable itself, never the working
// directory.
std::string ProgramFileName();
std::string ProgramFolder();

}  // namespace twk
