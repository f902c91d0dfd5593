#pragma once

#include <cstddef>
#include <cstdint>
#include <istream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/text_encoding.h"

namespace korvo {

// Every line of every input file is read into a buffer of 128 bytes with its terminating zero,
// so a line holds at most 127 bytes.
inline constexpr std::size_t kLineBufferSize = 128;
inline constexpr std::size_t kLongestLine = kLineBufferSize - 1;

// One line as the program uses it: at most 127 code-page bytes, without its line end, ending
// before the first zero byte. `wasCut` tells that the line held more than 127 bytes; the rest of
// it has been skipped and reading goes on with the next line. `endedAtZeroByte` tells that a zero
// byte ended the text while more bytes followed it on the line.
struct InputLine {
  std::string_view text;
  bool wasCut = false;
  bool endedAtZeroByte = false;
  // Characters of a UTF-8 or UTF-16 line that the code page has no form for, each written as '?'.
  long charactersWithoutForm = 0;
};

enum class FileEncoding : std::uint8_t { bytes, utf16LittleEndian, utf16BigEndian };

// Reads a binary stream line by line. A line ends at LF; a CR right before that LF is dropped,
// a CR anywhere else stays. The last line counts once with or without a line end; the end of the
// file adds nothing. A failed read is not the end of the file: reading stops there, the line it
// interrupted is dropped, and `readFailed` tells the caller.
//
// Text written today is read as the same text in the run's code page: a UTF-8 byte-order mark at
// the start is dropped; a file that starts with a UTF-16 mark is decoded from UTF-16 as a whole;
// any other line that holds a byte of 0x80 or more and is, as a whole, valid UTF-8 is converted.
// Every other line is taken as code-page bytes. The 127-byte cut and the zero byte apply to the
// converted bytes.
struct LineReader {
  std::istream* stream = nullptr;
  CodePage codePage = CodePage::windows1252;
  std::vector<char> chunk;
  std::size_t chunkPosition = 0;
  std::size_t chunkFilled = 0;
  bool streamDone = false;
  bool startLookedAt = false;
  FileEncoding encoding = FileEncoding::bytes;
  std::optional<char16_t> unitPutBack;  // a UTF-16 unit read ahead after an unpaired surrogate
  std::string line;                     // the first 128 raw bytes of the line
  std::string converted;                // the first 128 converted bytes of the line
  long lineNumber = 0;                  // of the line last returned, counted from 1
  long linesReadAsUtf8 = 0;
  bool endReached = false;  // set by the call that finds the end of the file, or a failed read
  bool readFailed = false;  // the stream failed to read: the lines given are all it gave whole
};

LineReader MakeLineReader(std::istream& stream, CodePage codePage);

// The next line, valid until the following call; nothing at the end of the file or once a read
// has failed.
std::optional<InputLine> NextLine(LineReader& reader);

}  // namespace korvo
