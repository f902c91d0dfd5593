// Fuzz target: the command line and the absolute-name rule on arbitrary arguments and current
// directories. Zero bytes split the input: the first piece is the current directory, the others
// are the arguments. Names that come out must fit their buffer, hold no "." or ".." segment, and
// come out unchanged when made absolute once more.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "driver/command_line.h"
#include "platform/absolute_path.h"
#include "reference_lines.h"

namespace korvo::fuzz {
namespace {

using Flavour = AbsoluteName (*)(std::string_view, std::string_view, std::size_t);

bool HasDotSegment(std::string_view name, char separator) {
  for (const std::string_view dots : {".", ".."}) {
    const std::string segment = std::string(1, separator) + std::string(dots);
    for (std::size_t at = name.find(segment); at != std::string_view::npos;
         at = name.find(segment, at + 1)) {
      const std::size_t after = at + segment.size();
      if (after == name.size() || name[after] == separator) return true;
    }
  }
  return false;
}

void CheckAbsolute(Flavour flavour, char separator, std::string_view directory,
                   std::string_view name, std::size_t capacity) {
  const std::optional<std::string> result = flavour(directory, name, capacity).name;
  if (!result) return;
  Check(result->size() + 1 <= capacity, "the name fits its buffer");
  Check(!HasDotSegment(*result, separator), "no . or .. segment left");
  const std::optional<std::string> again = flavour(directory, *result, capacity).name;
  Check(again && *again == *result, "an absolute name stays as it is");
}

}  // namespace
}  // namespace korvo::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace korvo;
  using namespace korvo::fuzz;
  std::vector<std::string> pieces(1);
  for (std::size_t i = 0; i < size; ++i) {
    if (data[i] == 0) {
      pieces.emplace_back();
    } else {
      pieces.back().push_back(static_cast<char>(data[i]));
    }
  }
  const std::string& directory = pieces.front();
  std::vector<const char*> arguments = {"korvo"};
  for (std::size_t i = 1; i < pieces.size(); ++i) arguments.push_back(pieces[i].c_str());

  const CommandLine commandLine =
      ParseCommandLine(static_cast<int>(arguments.size()), arguments.data(), directory);
  Check(commandLine.aspectTypesFileName.size() < kNameBufferSize, "-a name fits its buffer");
  for (std::size_t i = 1; i < pieces.size(); ++i) {
    for (const std::size_t capacity : {std::size_t{255}, std::size_t{256}, std::size_t{4096}}) {
      CheckAbsolute(AbsolutePathPosix, '/', directory, pieces[i], capacity);
      CheckAbsolute(AbsolutePathWindows, '\\', directory, pieces[i], capacity);
    }
  }
  return 0;
}
