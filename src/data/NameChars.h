// The name character rule shared by every name the radio stores (channel,
// weather and DSC names): the radio's display knows only these characters,
// so anything else becomes a space, and the lower-case letters it cannot show
// in lower case ("fjkpsvxz") become capitals. Other lower-case letters stay.
// Pure functions; used after every name edit and by the normalizing pass.
#pragma once

#include <string>
#include <string_view>

namespace twk {

// The characters a name may hold (space included).
inline constexpr std::string_view kNameCharacters =
    " =*+-./0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
// Lower-case letters that are always turned to upper case in names.
inline constexpr std::string_view kNameForcedUpper = "fjkpsvxz";

bool IsNameCharacter(char c);
// The cleaned form of one character.
char CleanNameCharacter(char c);
// Cleans `length` characters in place (a byte field of the image or a record).
void CleanNameChars(char* chars, int length);
// The cleaned copy of a text (same length).
std::string CleanName(std::string_view text);

}  // namespace twk
