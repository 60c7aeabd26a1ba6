// twk208-cli export FILE [--sheet KEY]... [--out DIR]: the sheets of a clone
// file as CSV files, one per sheet, named after the sheet's title, each
// holding the header rows and every row as the editor's grid shows it.
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "cli/Command.h"
#include "cli/SheetCli.h"
#include "data/SheetCsv.h"
#include "file/Csv.h"
#include "text/TextStore.h"

namespace twk::cli {
namespace {

int Usage() {
  std::fprintf(stderr, "usage: twk208-cli export FILE [--sheet KEY]... [--out DIR|-]\n");
  return kUsageExit;
}

int RunExport(const std::vector<std::string>& args) {
  std::string file, outDir = ".";
  std::vector<std::string> keys;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--sheet" || args[i] == "--out") {
      if (i + 1 >= args.size()) return Usage();
      if (args[i] == "--sheet")
        keys.push_back(args[i + 1]);
      else
        outDir = args[i + 1];
      ++i;
    } else if (!args[i].empty() && args[i][0] == '-') {
      return Usage();
    } else if (file.empty()) {
      file = args[i];
    } else {
      return Usage();
    }
  }
  if (file.empty()) return Usage();

  EepromImage image, tmpl;
  if (int rc = OpenDocumentForCli(file, image, tmpl)) return rc;
  HeadlessHooks hooks(image);
  HooksScope scope(hooks);
  if (keys.empty()) keys = TreeSheetKeys(image, false);
  for (const std::string& key : keys)
    if (!MainText().HasKey(key + "_Cells")) {
      std::fprintf(stderr, "twk208-cli: there is no sheet '%s'\n", key.c_str());
      return kCsvFileExit;
    }
  const bool toStdout = outDir == "-";
  if (toStdout && keys.size() != 1) {
    std::fprintf(stderr, "twk208-cli: --out - writes a single sheet: name it with --sheet\n");
    return kUsageExit;
  }

  if (!toStdout) {
    std::error_code ec;
    std::filesystem::create_directories(outDir, ec);
  }
  for (const std::string& key : keys) {
    std::unique_ptr<HeadlessSheet> h = BuildHeadlessSheet(key);
    const std::string text = CsvFormat(ExportSheet(*h->sheet, hooks));
    if (toStdout) {
      std::fwrite(text.data(), 1, text.size(), stdout);
      continue;
    }
    const std::filesystem::path path =
        std::filesystem::path(outDir) / CsvFileNameFor(Latin1ToUtf8(SheetTitle(*h->sheet)));
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    out.close();
    if (!out) {
      std::fprintf(stderr, "twk208-cli: cannot write %s\n", path.string().c_str());
      return kCsvFileExit;
    }
    std::fprintf(stderr, "%s: %s\n", key.c_str(), path.string().c_str());
  }
  return 0;
}

Register reg({"export", "export FILE [--sheet KEY]... [--out DIR|-]",
              "the sheets of a clone file as CSV files (default: every sheet of the tree)",
              RunExport});

}  // namespace
}  // namespace twk::cli
