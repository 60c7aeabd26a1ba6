// twk208-cli import FILE --sheet KEY --csv IN [--out FILE2] [--partial]:
// applies a CSV in the export's layout to one sheet of a clone file, every
// changed cell through the label handler as typing it would, and saves the
// result as the editor's Save does (atomically; to FILE2, else FILE).
// Refused cells are listed as "ROW,COLUMN: text given: reason"; with any
// refusal nothing is saved unless --partial is given.
#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>

#include "app/Dialogs.h"
#include "cli/CloneCli.h"
#include "cli/Command.h"
#include "cli/SheetCli.h"
#include "data/SheetCsv.h"
#include "file/CloneOpen.h"
#include "file/Csv.h"
#include "text/TextStore.h"

namespace twk::cli {
namespace {

int Usage() {
  std::fprintf(stderr,
               "usage: twk208-cli import FILE --sheet KEY --csv IN|- [--out FILE2] [--partial]\n");
  return kUsageExit;
}

bool ReadAll(const std::string& path, std::string& text) {
  if (path == "-") {
    text.assign(std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>());
    return !std::cin.bad();
  }
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream s;
  s << in.rdbuf();
  text = s.str();
  return !in.bad();
}

int RunImport(const std::vector<std::string>& args) {
  std::string file, key, csvPath, outPath;
  bool partial = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--sheet" || a == "--csv" || a == "--out") {
      if (i + 1 >= args.size()) return Usage();
      (a == "--sheet" ? key : a == "--csv" ? csvPath : outPath) = args[++i];
    } else if (a == "--partial") {
      partial = true;
    } else if (!a.empty() && a[0] == '-') {
      return Usage();
    } else if (file.empty()) {
      file = a;
    } else {
      return Usage();
    }
  }
  if (file.empty() || key.empty() || csvPath.empty()) return Usage();
  if (outPath.empty()) outPath = file;

  EepromImage image, tmpl;
  if (int rc = OpenDocumentForCli(file, image, tmpl)) return rc;
  if (!MainText().HasKey(key + "_Cells")) {
    std::fprintf(stderr, "twk208-cli: there is no sheet '%s'\n", key.c_str());
    return kCsvFileExit;
  }
  std::string text;
  if (!ReadAll(csvPath, text)) {
    std::fprintf(stderr, "twk208-cli: cannot read %s\n", csvPath.c_str());
    return kCsvFileExit;
  }
  const CsvParseResult csv = CsvParse(text);
  if (!csv.ok) {
    std::fprintf(stderr, "twk208-cli: %s: %s\n", csvPath.c_str(), csv.error.c_str());
    return kCsvFileExit;
  }

  HeadlessHooks hooks(image);
  HooksScope scope(hooks);
  std::unique_ptr<HeadlessSheet> h = BuildHeadlessSheet(key);
  const CsvImportResult result = ImportSheet(*h->sheet, hooks, csv);
  if (!result.headerMatches) {
    std::fprintf(stderr, "twk208-cli: %s: %s\n", csvPath.c_str(), result.headerProblem.c_str());
    return kCsvFileExit;
  }
  for (const CsvRefusal& r : result.refused) std::fprintf(stderr, "%s\n", r.Text().c_str());
  std::fprintf(stderr, "%s: %d cell(s) changed, %d refused, %d read-only cell(s) left as they are\n",
               csvPath.c_str(), result.changedCells, static_cast<int>(result.refused.size()),
               result.readOnlyCells);
  if (!result.refused.empty() && !partial) {
    std::fprintf(stderr, "twk208-cli: nothing saved (use --partial to save the accepted cells)\n");
    return kImportRefusedExit;
  }
  StderrDialogs dialogs;
  if (int code = SaveCloneDocument(outPath, image, tmpl, &dialogs)) return kCloneFileExitBase + code;
  std::fprintf(stderr, "saved %s\n", outPath.c_str());
  return result.refused.empty() ? 0 : kImportRefusedExit;
}

Register reg({"import", "import FILE --sheet KEY --csv IN|- [--out FILE2] [--partial]",
              "apply a CSV of one sheet to a clone file as typing would (exit 1: cells refused)",
              RunImport});

}  // namespace
}  // namespace twk::cli
