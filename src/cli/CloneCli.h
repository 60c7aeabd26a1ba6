// Helpers shared by the clone file commands of twk208-cli.
#pragma once

#include <string>

#include "data/EepromImage.h"

namespace twk::cli {

// Exit status of a command whose clone file failed to open: 20 + the code.
constexpr int kCloneFileExitBase = 20;

// Makes the program's own resources (beside the binary) the text stores, so
// that messages can be shown. Does nothing when stores are already set up.
void UseProgramResources();

// The document's open sequence on `path` into `image` (model size); the
// message of a failure goes to stderr. Returns the clone file code.
int OpenForCli(const std::string& path, EepromImage& image);

// Loads the model's initial file beside the program into `tmpl`. Returns 0,
// or 20 + the clone file code with a message on stderr.
int LoadTemplateForCli(EepromImage& tmpl);

}  // namespace twk::cli
