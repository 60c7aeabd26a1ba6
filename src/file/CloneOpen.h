// The document-level sequences around the clone file, shared by the editor's
// main frame and the headless tool: opening a clone file as the document,
// saving the document, and loading a model's template image.
#pragma once

#include <cstdint>
#include <string>

#include "data/EepromImage.h"
#include "text/ResourceKeys.h"

namespace twk {

class Dialogs;

// This program's model: what its clone files carry.
struct CloneModel {
  std::uint32_t modelCode = 0x2989;
  std::uint32_t subCode = 0x0001;
  int mapRevision = 1;  // written, and the only one accepted
};
inline constexpr CloneModel kTwk208Model{};

// Reads `path` into `working` and checks it, in this order: the reading
// checks (header, model, map revision, data lines), the format marker
// (0x3DA must be 1; code 8), the newer check (code 9; this model never
// reports a file as newer) and the coverage of 0x000-0xFFF. `working` is
// resized to `size` and zeroed first. A failure is shown through `dialogs`
// and its code returned; `working` then holds no usable image.
int LoadCloneFile(const std::string& path, int size, EepromImage& working, Dialogs* dialogs);

// Opening as the document: LoadCloneFile into a working image of the
// current image's size; on success the working image is copied into
// `current` and normalized against `tmpl` (model index 0). A failure leaves
// `current` untouched. `fileModelIndex` (optional) receives byte 0x3D9 of the
// file as read, before normalizing (the main frame's model change).
int OpenCloneDocument(const std::string& path, EepromImage& current, const EepromImage& tmpl,
                      Dialogs* dialogs, int* fileModelIndex = nullptr);

// The clone comment of an image: the 16 bytes at 0x3E0, every byte outside
// 32-126 as a space, trailing white space removed.
std::string CloneCommentOf(const EepromImage& image);

// Writes `image` as the model's clone file (mode 1, the comment from the
// image, map revision 1, 0x000-0xFFF). The image is not changed.
int WriteCloneFile(const std::string& path, const EepromImage& image, Dialogs* dialogs);

// Saving the document: normalize `current` against `tmpl`, then
// WriteCloneFile. A failure leaves the file on disk as it was.
int SaveCloneDocument(const std::string& path, EepromImage& current, const EepromImage& tmpl,
                      Dialogs* dialogs);

// Loading a model's template image from its initial file: read with the
// coverage ranges, then the format marker check, then normalize it against
// itself. A read failure shows its message; a format marker failure returns
// 8 without a message (the caller reports the unusable initial file). On
// failure `tmpl` is left as it was.
int LoadTemplateImage(const std::string& path, EepromImage& tmpl, Dialogs* dialogs);

// The initial file of model m: line m of "GI_App_InitialFile", a file name
// relative to the program's folder. `folder` ends with a separator.
std::string InitialFileName(int modelIndex);
std::string InitialFilePath(const std::string& folder, int modelIndex);
std::vector<KeyUse> InitialFileKeys();

}  // namespace twk
