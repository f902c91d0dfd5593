#include "aspectlist/aspect_entry.h"

#include <algorithm>

namespace korvo {
namespace {

constexpr char kMinutesMark = '\'';
constexpr char kSecondsMark = '"';

std::int64_t Capped(std::int64_t value) {
  return std::min<std::int64_t>(value, kLargestOrbSeconds);
}

std::size_t FindWhitespace(std::string_view text, std::size_t from) {
  for (std::size_t i = from; i < text.size(); ++i) {
    if (IsWhitespace(text[i])) return i;
  }
  return std::string_view::npos;
}

std::size_t SkipWhitespace(std::string_view text, std::size_t from) {
  while (from < text.size() && IsWhitespace(text[from])) ++from;
  return from;
}

// Positions in the line that split an aspect line into its fields.
struct LineSplit {
  std::size_t aspectEnd;
  std::size_t fromStart;
  std::size_t dash;
  std::size_t degreeSign;
};

std::optional<LineSplit> SplitLine(std::string_view line) {
  LineSplit split{};
  split.aspectEnd = FindWhitespace(line, 0);
  if (split.aspectEnd == std::string_view::npos) return std::nullopt;
  split.fromStart = SkipWhitespace(line, split.aspectEnd);
  split.dash = line.find('-', split.fromStart);
  if (split.dash == std::string_view::npos) return std::nullopt;
  split.degreeSign = line.find(kDegreeSign, split.dash + 1);
  if (split.degreeSign == std::string_view::npos) return std::nullopt;
  return split;
}

// Sets `toPlanet`, `orbSign` and `orbText`: the orb digits run back from the degree sign, the
// byte before them is the sign unless it is whitespace, and whitespace between the to-planet and
// the sign is dropped.
void SplitOrb(std::string_view line, const LineSplit& split, AspectFields& fields) {
  const std::size_t toStart = split.dash + 1;
  std::size_t beforeDigits = split.degreeSign;
  while (beforeDigits > toStart && IsDigit(line[beforeDigits - 1])) --beforeDigits;
  fields.orbText = line.substr(beforeDigits);
  if (beforeDigits == toStart) {  // the digits follow the '-' at once: no to-planet, no sign
    fields.toPlanet = line.substr(toStart, 0);
    fields.orbSign = ' ';
    return;
  }
  const std::size_t signPosition = beforeDigits - 1;
  std::size_t toEnd = signPosition + 1;
  if (IsWhitespace(line[signPosition])) {
    fields.orbSign = ' ';
  } else {
    fields.orbSign = line[signPosition];
    toEnd = signPosition;
  }
  while (toEnd > toStart && IsWhitespace(line[toEnd - 1])) --toEnd;
  fields.toPlanet = line.substr(toStart, toEnd - toStart);
}

// Steps over one number of an orb and the mark that closes it; leaves `text` as it was when
// it does not start with digits followed by `mark`.
bool SkipNumberAndMark(std::string_view& text, char mark) {
  std::size_t digits = 0;
  while (digits < text.size() && IsDigit(text[digits])) ++digits;
  if (digits == 0 || digits == text.size() || text[digits] != mark) return false;
  text.remove_prefix(digits + 1);
  return true;
}

}  // namespace

std::int32_t OrbSecondsOf(std::string_view orbText) {
  std::int64_t total = 0;
  std::int64_t current = 0;
  char lastMark = '\0';
  for (const char byte : orbText) {
    if (IsDigit(byte)) {
      current = Capped(current * 10 + (byte - '0'));
    } else if (byte == kDegreeSign || byte == kMinutesMark) {
      total = Capped((total + current) * 60);
      current = 0;
      lastMark = byte;
    } else if (byte == kSecondsMark) {
      total = Capped(total + current);
      current = 0;
      lastMark = byte;
    }
  }
  // An orb written in degrees alone would otherwise count its degrees as minutes.
  if (lastMark == kDegreeSign) total = Capped(total * 60);
  return static_cast<std::int32_t>(total);
}

bool IsAspectLine(std::string_view line) {
  return SplitLine(line).has_value();
}

std::optional<AspectFields> ParseAspectLine(std::string_view line) {
  const std::optional<LineSplit> split = SplitLine(line);
  if (!split) return std::nullopt;
  AspectFields fields;
  fields.aspect = line.substr(0, split->aspectEnd);
  fields.fromPlanet = line.substr(split->fromStart, split->dash - split->fromStart);
  SplitOrb(line, *split, fields);
  fields.orbSeconds = OrbSecondsOf(fields.orbText);
  return fields;
}

bool IsCompleteOrb(std::string_view orbText) {
  if (!SkipNumberAndMark(orbText, kDegreeSign)) return false;
  SkipNumberAndMark(orbText, kMinutesMark);
  SkipNumberAndMark(orbText, kSecondsMark);
  return std::all_of(orbText.begin(), orbText.end(), IsWhitespace);
}

bool IsCompleteAspectLine(std::string_view line) {
  const std::optional<AspectFields> fields = ParseAspectLine(line);
  return fields && IsCompleteOrb(fields->orbText);
}

void AddEntry(AspectList& list, const AspectFields& fields) {
  AspectEntry entry;
  entry.aspect = NumberText(list.aspectNames, fields.aspect);
  entry.fromPlanet = NumberText(list.planetNames, fields.fromPlanet);
  entry.toPlanet = NumberText(list.planetNames, fields.toPlanet);
  entry.orbText = NumberText(list.orbTexts, fields.orbText);
  entry.orbSeconds = fields.orbSeconds;
  entry.orbSign = fields.orbSign;
  list.entries.push_back(entry);
}

}  // namespace korvo
