#include "data/NameChars.h"

namespace twk {

bool IsNameCharacter(char c) {
  return c != '\0' && kNameCharacters.find(c) != std::string_view::npos;
}

char CleanNameCharacter(char c) {
  if (!IsNameCharacter(c)) return ' ';
  if (kNameForcedUpper.find(c) != std::string_view::npos) return static_cast<char>(c - 'a' + 'A');
  return c;
}

void CleanNameChars(char* chars, int length) {
  for (int i = 0; i < length; ++i) chars[i] = CleanNameCharacter(chars[i]);
}

std::string CleanName(std::string_view text) {
  std::string out(text);
  CleanNameChars(out.data(), static_cast<int>(out.size()));
  return out;
}

}  // namespace twk
