#include "file/CloneOpen.h"

#include "data/MemoryMap.h"
#include "data/Normalize.h"
#include "file/CloneFile.h"
#include "text/TextStore.h"

namespace twk {

namespace {

void SetUp(CloneFile& file, EepromImage& image) {
  file.Attach(image);
  file.SetModelCode(kTwk208Model.modelCode);
  file.SetSubCode(kTwk208Model.subCode);
  file.SetMapRevisionCheck([](int revision) { return revision == kTwk208Model.mapRevision; });
}

bool HasFormatMarker(const EepromImage& image) {
  return image.InRange(mem::kFormatMarker) &&
         image.GetByte(mem::kFormatMarker) == mem::kFormatMarkerValue;
}

// The model's newer check: a model whose files can come from a later program
// would decide here. This one never reports a file as newer.
bool FileIsNewer(const EepromImage&) { return false; }

}  // namespace

int LoadCloneFile(const std::string& path, int size, EepromImage& working, Dialogs* dialogs) {
  working.Resize(size);
  working.Fill(0);
  CloneFile file(dialogs);
  SetUp(file, working);
  if (int code = file.Read(path, nullptr)) return code;
  int code = kCloneOk;
  if (!HasFormatMarker(working))
    code = kCloneData;
  else if (FileIsNewer(working))
    code = kCloneNewer;
  else
    code = file.CheckCoverage(&CloneRanges());
  ShowCloneFileMessage(dialogs, code);
  return code;
}

int OpenCloneDocument(const std::string& path, EepromImage& current, const EepromImage& tmpl,
                      Dialogs* dialogs, int* fileModelIndex) {
  EepromImage working;
  if (int code = LoadCloneFile(path, current.Size(), working, dialogs)) return code;
  if (fileModelIndex) *fileModelIndex = working.GetByte(mem::kModelIndex);
  current.Assign(working);
  NormalizeImage(current, tmpl, 0);
  return kCloneOk;
}

std::string CloneCommentOf(const EepromImage& image) {
  std::string comment;
  for (int i = 0; i < mem::kCloneCommentLength; ++i) {
    const int a = mem::kCloneComment + i;
    const int c = image.InRange(a) ? image.GetByte(a) : ' ';
    comment.push_back(c >= 32 && c <= 126 ? static_cast<char>(c) : ' ');
  }
  while (!comment.empty() && (comment.back() == ' ' || comment.back() == '\t')) comment.pop_back();
  return comment;
}

int WriteCloneFile(const std::string& path, const EepromImage& image, Dialogs* dialogs) {
  // The writer attaches an image it may also read into: give it a copy.
  EepromImage source(image);
  CloneFile file(dialogs);
  SetUp(file, source);
  file.SetMode(1);
  file.SetMapRevision(kTwk208Model.mapRevision);
  file.SetComment(CloneCommentOf(image));
  return file.Write(path, CloneRanges());
}

int SaveCloneDocument(const std::string& path, EepromImage& current, const EepromImage& tmpl,
                      Dialogs* dialogs) {
  NormalizeImage(current, tmpl, 0);
  return WriteCloneFile(path, current, dialogs);
}

int LoadTemplateImage(const std::string& path, EepromImage& tmpl, Dialogs* dialogs) {
  EepromImage working;
  working.Resize(tmpl.Size() > 0 ? tmpl.Size() : mem::kImageSize);
  CloneFile file(dialogs);
  SetUp(file, working);
  if (int code = file.Read(path, CloneRanges())) return code;
  if (!HasFormatMarker(working)) return kCloneData;
  NormalizeImage(working, working, 0);
  tmpl.Assign(working);
  return kCloneOk;
}

std::string InitialFileName(int modelIndex) {
  return MainText().GetLine("GI_App_InitialFile", modelIndex);
}

std::string InitialFilePath(const std::string& folder, int modelIndex) {
  return folder + InitialFileName(modelIndex);
}

std::vector<KeyUse> InitialFileKeys() { return {{"GI_App_InitialFile", ResourceFile::Main, 1}}; }

}  // namespace twk
