// The resource keys the editor's clone commands read (the Clone Write
// confirmation and success notice, the COM selection dialog, the Clone
// Info sheet dialog).
#pragma once

#include <vector>

#include "text/ResourceKeys.h"

namespace twk {

std::vector<KeyUse> CloneCommandKeys();

}  // namespace twk
