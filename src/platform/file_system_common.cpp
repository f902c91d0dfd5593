#include <algorithm>
#include <cstdio>

#include "platform/file_system.h"

namespace korvo {

std::string NativeName(std::string_view slashSeparatedName) {
  std::string name(slashSeparatedName);
  std::replace(name.begin(), name.end(), '/', kPathSeparator);
  return name;
}

bool FinishWholeFile(WholeFile& file) {
  file.stream.close();
  const bool written = !file.stream.fail();
  if (file.temporaryName.empty()) return written;
  if (written && MoveFileOver(file.temporaryName, file.name)) return true;
  std::remove(file.temporaryName.c_str());
  return false;
}

bool OpenForWriting(std::ofstream& stream, const std::string& name) {
  stream.open(name, std::ios::out | std::ios::binary | std::ios::trunc);
  return stream.is_open();
}

}  // namespace korvo
