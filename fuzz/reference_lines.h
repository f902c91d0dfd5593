#pragma once

// A second, deliberately naive reading of the line and aspect-line rules, used by the fuzz
// targets as an oracle: the program's readers must agree with it on every input.

#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace korvo::fuzz {

// Stops the fuzzer with a message; libFuzzer keeps the input that got here.
[[noreturn]] inline void Fail(const char* what) {
  std::fprintf(stderr, "check failed: %s\n", what);
  std::abort();
}

inline void Check(bool condition, const char* what) {
  if (!condition) Fail(what);
}

struct ReferenceLine {
  std::string text;  // at most 127 bytes, no line end, nothing from the first zero byte on
  bool wasCut = false;
};

// Lines end at LF; a CR right before the LF is not part of the line; a last line without LF
// counts when it holds any byte; only the first 127 bytes of a line are kept, and a zero byte
// ends the text.
inline std::vector<ReferenceLine> ReferenceLines(std::string_view data) {
  std::vector<ReferenceLine> lines;
  std::size_t start = 0;
  while (start < data.size()) {
    std::size_t end = start;
    while (end < data.size() && data[end] != '\n') ++end;
    std::string raw(data.substr(start, end - start));
    if (end < data.size() && !raw.empty() && raw.back() == '\r') raw.pop_back();
    ReferenceLine line;
    line.wasCut = raw.size() > 127;
    if (line.wasCut) raw.resize(127);
    for (std::size_t i = 0; i < raw.size(); ++i) {
      if (raw[i] == '\0') {
        raw.resize(i);
        break;
      }
    }
    line.text = raw;
    lines.push_back(line);
    start = end + 1;
  }
  return lines;
}

inline bool ReferenceIsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// An aspect line holds a whitespace byte, then (after the whitespace run that follows the
// aspect name) a '-', then after that '-' a degree sign.
inline bool ReferenceIsAspectLine(std::string_view line) {
  std::size_t i = 0;
  while (i < line.size() && !ReferenceIsSpace(line[i])) ++i;
  if (i == line.size()) return false;
  while (i < line.size() && ReferenceIsSpace(line[i])) ++i;
  while (i < line.size() && line[i] != '-') ++i;
  if (i == line.size()) return false;
  for (++i; i < line.size(); ++i) {
    if (line[i] == '\xB0') return true;
  }
  return false;
}

// How many entries an aspects list yields: body lines (after the four header lines) that hold
// a degree sign and are aspect lines.
inline std::size_t ReferenceEntryCount(const std::vector<ReferenceLine>& lines) {
  std::size_t count = 0;
  for (std::size_t i = 4; i < lines.size(); ++i) {
    if (lines[i].text.find('\xB0') != std::string::npos && ReferenceIsAspectLine(lines[i].text)) {
      ++count;
    }
  }
  return count;
}

}  // namespace korvo::fuzz
