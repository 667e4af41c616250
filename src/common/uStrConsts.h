// The program's fixed texts, kept as string resources (IDS_* in resource.h).
#pragma once
#include <string>
#include "res/resource.h"

// The string resource with the given identifier; empty when it is missing.
std::string ResStr(unsigned id);
