// Fuzz target: the aspect-types reader and the planets reader on the same arbitrary file. The
// names read must be exactly those of the naive reading in reference_lines.h.

#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>
#include <string_view>

#include "base/run_log.h"
#include "inputs/aspect_types_file.h"
#include "inputs/planets_file.h"
#include "platform/line_reader.h"
#include "reference_lines.h"

namespace korvo::fuzz {
namespace {

// A line with ';' names the type before its first ';', without the whitespace right before it.
NameList ReferenceAspectTypes(const std::vector<ReferenceLine>& lines) {
  NameList names;
  for (const ReferenceLine& line : lines) {
    const std::size_t semicolon = line.text.find(';');
    if (semicolon == std::string::npos) continue;
    std::string name = line.text.substr(0, semicolon);
    while (!name.empty() && ReferenceIsSpace(name.back())) name.pop_back();
    names.push_back(name);
  }
  return names;
}

// Every line that does not start with whitespace is a planet name, whole.
NameList ReferencePlanets(const std::vector<ReferenceLine>& lines) {
  NameList names;
  for (const ReferenceLine& line : lines) {
    if (!line.text.empty() && ReferenceIsSpace(line.text.front())) continue;
    names.push_back(line.text);
  }
  return names;
}

template <typename Reader>
NameList ReadNames(std::string_view data, Reader read) {
  std::istringstream stream(std::string(data), std::ios::in | std::ios::binary);
  LineReader reader = MakeLineReader(stream, CodePage::windows1252);
  RunLog log;  // never opened
  NameList names;
  read(reader, names, log, "names");
  return names;
}

}  // namespace
}  // namespace korvo::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace korvo;
  using namespace korvo::fuzz;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const std::vector<ReferenceLine> lines = ReferenceLines(bytes, CodePage::windows1252);
  Check(ReadNames(bytes, ReadAspectTypes) == ReferenceAspectTypes(lines), "aspect types");
  Check(ReadNames(bytes, ReadPlanets) == ReferencePlanets(lines), "planets");
  return 0;
}
