// The one list of resource keys the program asks for, used by
// `twk208-cli lint`. Each module declares the keys it reads next to the code
// that reads them, as a function returning KeyUse entries, and adds that
// function to AllRequiredKeys() in ResourceKeys.cpp.
#pragma once

#include <string>
#include <vector>

namespace twk {

enum class ResourceFile { Main, Help };

struct KeyUse {
  std::string key;
  ResourceFile file = ResourceFile::Main;
  int minLines = 1;  // lines the program reads (0..minLines-1 must exist)
};

std::vector<KeyUse> AllRequiredKeys();

// The resources' own keys: the title and the help tables.
std::vector<KeyUse> ResourceBaseKeys();

}  // namespace twk
