#include "text/CodePage.h"

namespace twk {

CodePage CodePage::DoubleByte(
    std::initializer_list<std::pair<std::uint8_t, std::uint8_t>> leadRanges) {
  CodePage page;
  page.doubleByte_ = true;
  for (const auto& [lo, hi] : leadRanges)
    for (int b = lo; b <= hi; ++b) page.lead_[static_cast<std::size_t>(b)] = true;
  return page;
}

namespace {
const CodePage& SingleBytePage() {
  static const CodePage page;
  return page;
}
const CodePage*& Active() {
  static const CodePage* page = &SingleBytePage();
  return page;
}
}  // namespace

const CodePage& ActiveCodePage() { return *Active(); }

const CodePage* SetActiveCodePage(const CodePage* page) {
  const CodePage* previous = Active();
  Active() = page != nullptr ? page : &SingleBytePage();
  return previous;
}

}  // namespace twk
