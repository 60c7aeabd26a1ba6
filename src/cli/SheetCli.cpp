#include "cli/SheetCli.h"

#include "app/Dialogs.h"
#include "app/Fatal.h"
#include "cli/CloneCli.h"
#include "data/MemoryMap.h"
#include "data/ValidationReport.h"
#include "file/CloneOpen.h"
#include "text/TextStore.h"

namespace twk::cli {

int OpenDocumentForCli(const std::string& path, EepromImage& image, EepromImage& tmpl) {
  UseProgramResources();
  StderrDialogs dialogs;
  if (int rc = LoadTemplateForCli(tmpl)) return rc;
  image.Resize(mem::kImageSize);
  if (int code = OpenCloneDocument(path, image, tmpl, &dialogs)) return kCloneFileExitBase + code;
  return 0;
}

int ReportValidation(const EepromImage& image, std::FILE* out, bool advice) {
  UseProgramResources();
  const ValidationReport report = ValidateImage(image);
  for (const ValidationLine& line : report.failures) std::fprintf(out, "%s\n", line.Text().c_str());
  if (advice)
    for (const std::string& a : report.advice) std::fprintf(out, "%s\n", a.c_str());
  return report.HasErrors() ? kValidationErrorExit : 0;
}

int RefuseImageWithErrors(const EepromImage& image) {
  if (ReportValidation(image, stderr, false) == 0) return 0;
  // The editor's refusal (its first line; the second points at the tree).
  std::fprintf(stderr, "twk208-cli: %s\n", MainText().GetLine("GI_Mess_DataError", 0).c_str());
  return kValidationErrorExit;
}

}  // namespace twk::cli
