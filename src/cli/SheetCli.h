// Helpers shared by the sheet commands of twk208-cli (export, import,
// validate) and by write, which refuses an image with errors.
#pragma once

#include <cstdio>
#include <string>

#include "data/EepromImage.h"

namespace twk::cli {

// Exit status of validate (and of write before any transfer) when the check
// list finds an error.
constexpr int kValidationErrorExit = 30;
// Exit status of import when some cells were refused.
constexpr int kImportRefusedExit = 1;
// Exit status of export and import when a sheet or CSV file cannot be used.
constexpr int kCsvFileExit = 10;

// Opens `path` as the editor opens a document: the model's template from its
// initial file, then the open checks and the normalizing. On failure the
// message is on stderr and the exit status (20 + code) is returned.
int OpenDocumentForCli(const std::string& path, EepromImage& image, EepromImage& tmpl);

// Prints one line per failing check to `out` ("ERROR: title: rows" or
// "WARNING: ..."), then, when `advice` is set, the advice lines. Returns
// kValidationErrorExit when there is an error, else 0.
int ReportValidation(const EepromImage& image, std::FILE* out, bool advice);

// The gate of write: with an error in the image the lines go to stderr,
// followed by a notice that nothing was sent; returns kValidationErrorExit
// then, else 0.
int RefuseImageWithErrors(const EepromImage& image);

}  // namespace twk::cli
