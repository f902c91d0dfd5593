#include <algorithm>

#include "platform/file_system.h"

namespace korvo {

std::string NativeName(std::string_view slashSeparatedName) {
  std::string name(slashSeparatedName);
  std::replace(name.begin(), name.end(), '/', kPathSeparator);
  return name;
}

bool OpenForWriting(std::ofstream& stream, const std::string& name) {
  stream.open(name, std::ios::out | std::ios::binary | std::ios::trunc);
  return stream.is_open();
}

}  // namespace korvo
