// The check list as a report for the command line: one line per failing
// check with the title of its sheet and ERROR or WARNING, the rows that
// carry the mark, and advice (never an error) on MMSIs that have the form of
// a group call or a coast station. The errors counted are the ones the
// editor's tree would count, so a file the editor refuses to clone is the
// file the command line refuses too.
#pragma once

#include <string>
#include <vector>

#include "data/EepromImage.h"

namespace twk {

struct ValidationLine {
  std::string sheetKey;
  std::string title;              // Latin-1, as the resources hold it
  bool error = false;             // else a warning
  std::vector<std::string> rows;  // first-column texts of the marked rows
  // An error line of a check that also found a warning: the rows with it.
  std::vector<std::string> warningRows;
  // "ERROR: INT channels: row 16", "WARNING: DSC directory: rows 4, 7",
  // "ERROR: DSC directory: row 3 (warning: row 5)".
  std::string Text() const;
};

struct ValidationReport {
  std::vector<ValidationLine> failures;  // in check list order
  std::vector<std::string> advice;       // "ADVICE: ..."
  int errors = 0;
  int warnings = 0;
  bool HasErrors() const { return errors > 0; }
};

// Runs the check list of "GI_WarningCheckList" over `image` (the image is
// read only: the checks run on a copy). Checks that report to a sheet the
// navigation tree does not show for this image (a plan switched off) are
// left out, as the editor's tree leaves them out.
ValidationReport ValidateImage(const EepromImage& image);

// The form of an MMSI (9 digits): a leading "00" is a coast station, a
// leading "0" a group call.
enum class MmsiForm { Individual, GroupCall, CoastStation };
MmsiForm MmsiFormOf(const std::string& digits);

}  // namespace twk
