// Small builders for clone file tests: a valid file for an image, and the
// main resource installed so that the messages can be looked up.
#pragma once

#include <cstdio>
#include <memory>
#include <utility>
#include <string>
#include <vector>

#include "common/TestSupport.h"
#include "data/EepromImage.h"
#include "data/MemoryMap.h"
#include "text/TextStore.h"

namespace twk::test {

// Installs the project's main resource as the main text store.
class ResourceStores {
 public:
  ResourceStores() {
    main_.SetFile((SourceDir() / "resources" / "TWK208.OVL").string());
    help_.SetFile((SourceDir() / "resources" / "TWK208H.OVL").string());
    previous_ = SetTextStores(&main_, &help_);
  }
  ~ResourceStores() { SetTextStores(previous_.first, previous_.second); }

 private:
  TextStore main_, help_;
  std::pair<TextStore*, TextStore*> previous_;
};

// An image with a recognisable pattern and the format marker set.
inline EepromImage PatternImage() {
  EepromImage image(mem::kImageSize);
  for (int a = 0; a < mem::kImageSize; ++a) image.SetByte(a, static_cast<std::uint8_t>(a * 7 + 3));
  image.SetByte(mem::kFormatMarker, 1);
  return image;
}

// One data line for bytes [first, first + n) of the image.
inline std::string DataLine(const EepromImage& image, int first, int n) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%04X%02X", first, n);
  std::string line = buf;
  for (int i = 0; i < n; ++i) {
    std::snprintf(buf, sizeof buf, "%02X", image.GetByte(first + i));
    line += buf;
  }
  return line;
}

// The lines of a valid clone file of the image (no line ends).
inline std::vector<std::string> CloneLines(const EepromImage& image) {
  std::vector<std::string> lines = {"29890001", "#Comment=test", "#MapRev=1"};
  for (int a = 0; a <= 0xFFF; a += 16) lines.push_back(DataLine(image, a, 16));
  return lines;
}

inline std::string JoinLines(const std::vector<std::string>& lines, const std::string& end) {
  std::string text;
  for (const auto& l : lines) text += l + end;
  return text;
}

}  // namespace twk::test
