// Fuzz target: ParseAspectLine on one arbitrary line, and ReadAspectsList on an arbitrary file.
// Besides the sanitizers' checks, the results must agree with the naive reading of
// reference_lines.h and with an orb value computed here in wider arithmetic.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "aspectlist/aspect_entry.h"
#include "aspectlist/entry_order.h"
#include "base/run_log.h"
#include "inputs/aspects_list_file.h"
#include "platform/line_reader.h"
#include "reference_lines.h"

namespace korvo::fuzz {
namespace {

// The orb rule: a digit extends the current number, 0xB0 and the apostrophe add it to the total
// and multiply by 60, the double quote adds it; degrees alone count once more times 60. Values
// are held below 2^40 (well above the 32-bit cap), which cannot change the capped result since
// every step only grows.
std::int64_t ReferenceOrbSeconds(std::string_view orbText) {
  constexpr std::uint64_t kBound = std::uint64_t{1} << 40;
  const auto bounded = [](std::uint64_t value) { return value < kBound ? value : kBound; };
  std::uint64_t total = 0;
  std::uint64_t current = 0;
  char lastMark = 0;
  for (const char c : orbText) {
    if (c >= '0' && c <= '9') {
      current = bounded(current * 10 + static_cast<std::uint64_t>(c - '0'));
    } else if (c == '\xB0' || c == '\'') {
      total = bounded((total + current) * 60);
      current = 0;
      lastMark = c;
    } else if (c == '"') {
      total = bounded(total + current);
      current = 0;
      lastMark = c;
    }
  }
  if (lastMark == '\xB0') total = bounded(total * 60);
  return static_cast<std::int64_t>(total < 2147483647u ? total : 2147483647u);
}

bool Within(std::string_view inner, const char* begin, const char* end) {
  return inner.data() >= begin && inner.data() + inner.size() <= end;
}

void CheckParsedLine(std::string_view line) {
  const std::optional<AspectFields> entry = ParseAspectLine(line);
  Check(entry.has_value() == ReferenceIsAspectLine(line), "entry exactly for aspect lines");
  if (!entry) return;

  // All four texts lie in the line, in field order, the orb text at its end.
  const char* copy = line.data();
  const char* copyEnd = copy + line.size();
  Check(Within(entry->aspect, copy, copyEnd) && entry->aspect.data() == copy,
        "aspect at the line's start");
  Check(Within(entry->fromPlanet, copy, copyEnd) && Within(entry->toPlanet, copy, copyEnd) &&
            Within(entry->orbText, copy, copyEnd),
        "texts inside the line");
  Check(entry->orbText.data() + entry->orbText.size() == copyEnd, "orb text runs to the end");

  // The aspect name is everything before the first whitespace, followed by whitespace only
  // up to the from-planet, which ends at the first '-'.
  Check(entry->aspect.size() < line.size() && ReferenceIsSpace(line[entry->aspect.size()]),
        "aspect ends at whitespace");
  for (const char c : entry->aspect) Check(!ReferenceIsSpace(c), "no whitespace in aspect");
  for (const char* p = copy + entry->aspect.size(); p < entry->fromPlanet.data(); ++p) {
    Check(ReferenceIsSpace(*p), "only whitespace before the from-planet");
  }
  Check(entry->fromPlanet.empty() || !ReferenceIsSpace(entry->fromPlanet.front()),
        "from-planet starts after the whitespace");
  Check(entry->fromPlanet.find('-') == std::string_view::npos, "from-planet ends at first '-'");
  const char* dash = entry->fromPlanet.data() + entry->fromPlanet.size();
  Check(dash < copyEnd && *dash == '-', "the '-' follows the from-planet");
  Check(entry->toPlanet.data() == dash + 1, "to-planet starts after the '-'");

  // Between the to-planet and the orb: whitespace, then at most the sign byte.
  const char* gap = entry->toPlanet.data() + entry->toPlanet.size();
  const char* orb = entry->orbText.data();
  Check(gap <= orb, "to-planet before orb");
  Check(entry->toPlanet.empty() || !ReferenceIsSpace(entry->toPlanet.back()),
        "to-planet has no trailing whitespace");
  std::string_view between(gap, static_cast<std::size_t>(orb - gap));
  if (entry->orbSign != ' ') {
    Check(!ReferenceIsSpace(entry->orbSign), "sign is never whitespace other than the space");
    Check(!between.empty() && between.back() == entry->orbSign, "sign stands before the orb");
    between.remove_suffix(1);
  }
  for (const char c : between) Check(ReferenceIsSpace(c), "only whitespace before the sign");

  // The orb text: digits, then the degree sign; its value as the orb rule says.
  const std::size_t degree = entry->orbText.find('\xB0');
  Check(degree != std::string_view::npos, "orb text holds the degree sign");
  for (std::size_t i = 0; i < degree; ++i) {
    Check(entry->orbText[i] >= '0' && entry->orbText[i] <= '9', "orb starts with digits");
  }
  Check(entry->orbSeconds == ReferenceOrbSeconds(entry->orbText), "orb seconds");

  // Added to a list, the entry keeps copies of its texts and gives them back unchanged.
  const std::string before(line);
  AspectList list;
  AddEntry(list, *entry);
  AddEntry(list, *entry);
  Check(list.entries.size() == 2 && std::string_view(before) == line, "one entry per call");
  for (const EntryRef ref : {EntryRef{0}, EntryRef{1}}) {
    Check(AspectNameText(list, ref) == entry->aspect &&
              FromPlanetText(list, ref) == entry->fromPlanet &&
              ToPlanetText(list, ref) == entry->toPlanet && OrbTextOf(list, ref) == entry->orbText,
          "the list gives back the entry's texts");
    Check(AspectNameText(list, ref).data() < line.data() ||
              AspectNameText(list, ref).data() >= line.data() + line.size(),
          "the list keeps its own copies");
  }
  Check(TextCount(list.aspectNames) == 1 && TextCount(list.orbTexts) == 1,
        "equal texts are kept once");
}

void CheckAspectsList(std::string_view data) {
  std::istringstream stream(std::string(data), std::ios::in | std::ios::binary);
  LineReader reader = MakeLineReader(stream, CodePage::windows1252);
  RunLog log;  // never opened: its lines go nowhere, as for a log that could not be created
  std::vector<std::string> headerLines;
  AspectList aspects;
  ReadAspectsList(reader, headerLines, aspects, log, "input");

  const std::vector<ReferenceLine> lines = ReferenceLines(data, CodePage::windows1252);
  std::vector<std::string> expectedHeader;
  for (std::size_t i = 0; i < 4; ++i)
    expectedHeader.push_back(i < lines.size() ? lines[i].text : "");
  Check(headerLines == expectedHeader, "header lines");
  Check(aspects.entries.size() == ReferenceEntryCount(lines), "one entry per aspect line");
  for (const EntryRef ref : ReadingOrder(aspects)) {
    const std::string_view orbText = OrbTextOf(aspects, ref);
    Check(orbText.size() <= 127, "line cut at 127 bytes");
    Check(orbText.find('\n') == std::string_view::npos &&
              orbText.find('\0') == std::string_view::npos,
          "no line end or zero byte in a line");
  }
}

}  // namespace
}  // namespace korvo::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  korvo::fuzz::CheckParsedLine(bytes);
  korvo::fuzz::CheckAspectsList(bytes);
  return 0;
}
