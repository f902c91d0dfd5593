#include "inputs/existing_grid_page.h"

#include <algorithm>
#include <fstream>

#include "platform/file_system.h"

namespace korvo {
namespace {

std::string FileStart(const std::string& name) {
  std::ifstream file;
  std::string start(kGridTitleSearchBytes, '\0');
  if (!OpenForReading(file, name)) return {};
  file.read(start.data(), static_cast<std::streamsize>(start.size()));
  start.resize(static_cast<std::size_t>(std::max<std::streamsize>(file.gcount(), 0)));
  return start;
}

}  // namespace

bool MayReplaceAsGridPage(const std::string& name, std::span<const std::string> titles) {
  if (!IsPlainFile(name)) return true;
  const std::string start = FileStart(name);
  return std::any_of(titles.begin(), titles.end(), [&start](const std::string& title) {
    return start.find(title) != std::string::npos;
  });
}

}  // namespace korvo
