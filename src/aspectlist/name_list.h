#pragma once

#include <string>
#include <vector>

namespace korvo {

// An ordered list of names: the aspect types or the planets, in the order the tables group by.
// Two names are equal when they have the same bytes: case counts, nothing is trimmed.
using NameList = std::vector<std::string>;

}  // namespace korvo
