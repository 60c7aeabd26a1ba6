// The normalizing pass: runs over a freshly loaded image (opened clone file,
// Clone Read) and before an image is saved or sent. Fixed bytes come from the
// model's template image, the channel attribute bits the record does not
// carry come from the template, names are cleaned, records are re-encoded,
// and derived bytes (per-plan slot words, current weather channel, self ID
// state) are set consistently.
#pragma once

#include "data/EepromImage.h"

namespace twk {

// `image` and `tmpl` must both have the model's size (0x1001). `modelIndex`
// is the program's current model index (always 0 for this program).
// `tmpl` may be the same object as `image` (normalizing the template itself).
void NormalizeImage(EepromImage& image, const EepromImage& tmpl, int modelIndex);

}  // namespace twk
