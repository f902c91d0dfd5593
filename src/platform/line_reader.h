#pragma once

#include <cstddef>
#include <istream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace korvo {

// Every line of every input file is read into a buffer of 128 bytes with its terminating zero,
// so a line holds at most 127 bytes.
inline constexpr std::size_t kLineBufferSize = 128;
inline constexpr std::size_t kLongestLine = kLineBufferSize - 1;

// One line as the program uses it: at most 127 bytes, without its line end, ending before the
// first zero byte. `wasCut` tells that the line held more than 127 bytes; the rest of it has been
// skipped and reading goes on with the next line.
struct InputLine {
  std::string_view text;
  bool wasCut = false;
};

// Reads a binary stream line by line. A line ends at LF; a CR right before that LF is dropped,
// a CR anywhere else stays. The last line counts once with or without a line end; the end of the
// file adds nothing. A failed read ends the file.
struct LineReader {
  std::istream* stream = nullptr;
  std::vector<char> chunk;
  std::size_t chunkPosition = 0;
  std::size_t chunkFilled = 0;
  bool streamDone = false;
  std::string line;
  long lineNumber = 0;  // of the line last returned, counted from 1
};

LineReader MakeLineReader(std::istream& stream);

// The next line, valid until the following call; nothing at the end of the file.
std::optional<InputLine> NextLine(LineReader& reader);

}  // namespace korvo
