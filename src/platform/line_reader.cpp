#include "platform/line_reader.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace korvo {
namespace {

constexpr std::size_t kChunkSize = 1 << 16;

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LittleEndianMark = "\xFF\xFE";
constexpr std::string_view kUtf16BigEndianMark = "\xFE\xFF";

constexpr char16_t kFirstHighSurrogate = 0xD800;
constexpr char16_t kFirstLowSurrogate = 0xDC00;
constexpr char16_t kLastLowSurrogate = 0xDFFF;
// A last byte that makes no whole UTF-16 unit is read as U+FFFF, which is no character: one
// character without a code-page form, so that it shows as '?' and is logged, not lost silently.
constexpr char16_t kDanglingByteUnit = 0xFFFF;

// Refills the chunk; false when the stream has nothing more to give. A stream whose read failed
// (a failed read(2) or ReadFile sets the bad flag; the end of the file only end of file and fail)
// gives nothing more, not even the bytes of that read.
bool FillChunk(LineReader& reader) {
  if (reader.streamDone) return false;
  reader.stream->read(reader.chunk.data(), static_cast<std::streamsize>(reader.chunk.size()));
  reader.chunkFilled = static_cast<std::size_t>(reader.stream->gcount());
  reader.chunkPosition = 0;
  if (!*reader.stream) reader.streamDone = true;
  if (reader.stream->bad()) {
    reader.readFailed = true;
    reader.chunkFilled = 0;
  }
  return reader.chunkFilled > 0;
}

// Looks at the first bytes of the file for a byte-order mark and steps over it.
void LookAtStart(LineReader& reader) {
  reader.startLookedAt = true;
  if (!FillChunk(reader)) return;
  const std::string_view start(reader.chunk.data(), reader.chunkFilled);
  if (start.starts_with(kUtf8Mark)) {
    reader.chunkPosition = kUtf8Mark.size();
  } else if (start.starts_with(kUtf16LittleEndianMark)) {
    reader.encoding = FileEncoding::utf16LittleEndian;
    reader.chunkPosition = kUtf16LittleEndianMark.size();
  } else if (start.starts_with(kUtf16BigEndianMark)) {
    reader.encoding = FileEncoding::utf16BigEndian;
    reader.chunkPosition = kUtf16BigEndianMark.size();
  }
}

// What is known of the UTF-8 reading of the line so far.
struct Utf8Reading {
  bool sawHighByte = false;
  bool asciiStartCopied = false;
  bool valid = true;
  Utf8Decoder decoder;
  std::size_t length = 0;  // converted bytes, each character one byte
  long charactersWithoutForm = 0;
};

// Appends one converted byte; only the first 128 are kept.
void AppendConvertedByte(LineReader& reader, char byte, std::size_t& length) {
  if (length < kLineBufferSize) reader.converted.push_back(byte);
  ++length;
}

// Appends the code-page byte of `character`, or '?' when it has no form there.
void AppendConverted(LineReader& reader, char32_t character, bool hasForm, std::size_t& length,
                     long& charactersWithoutForm) {
  int byte = hasForm ? CodePageByte(character, reader.codePage) : -1;
  if (byte < 0) {
    byte = kNoFormByte;
    ++charactersWithoutForm;
  }
  AppendConvertedByte(reader, static_cast<char>(byte), length);
}

// Takes the bytes [begin, end) of the line into its UTF-8 reading. `rawOffset` is the position of
// `begin` in the line. Until the first byte of 0x80 or more, the converted line is the raw line,
// so nothing is converted before it.
void ReadAsUtf8(LineReader& reader, Utf8Reading& reading, const char* begin, const char* end,
                std::size_t rawOffset) {
  if (!reading.valid) return;
  if (!reading.sawHighByte) {
    const char* high = std::find_if(
        begin, end, [](char byte) { return static_cast<unsigned char>(byte) >= 0x80; });
    if (high == end) return;
    reading.sawHighByte = true;
    reading.length = rawOffset + static_cast<std::size_t>(high - begin);
    begin = high;
  }
  for (const char* position = begin; position != end; ++position) {
    const auto byte = static_cast<unsigned char>(*position);
    if (byte < 0x80 && reading.decoder.bytesStillNeeded == 0) {  // most bytes: their own form
      AppendConvertedByte(reader, *position, reading.length);
      continue;
    }
    switch (DecodeUtf8Byte(reading.decoder, byte)) {
      case Utf8Step::needMore:
        break;
      case Utf8Step::invalid:
        reading.valid = false;
        return;
      case Utf8Step::character:
        // The ASCII bytes before the first character are copied only now: a code-page line
        // mostly fails at its first high byte and never needs them.
        if (!reading.asciiStartCopied) {
          reader.converted.assign(reader.line, 0, std::min(reading.length, kLineBufferSize));
          reading.asciiStartCopied = true;
        }
        AppendConverted(reader, reading.decoder.character, true, reading.length,
                        reading.charactersWithoutForm);
        break;
    }
  }
}

// The line as used, from the first bytes of its text (`kept`, up to 128 of them), the length of
// the whole text and whether a CR before its LF is to be dropped.
InputLine FinishLine(std::string_view kept, std::size_t length, bool dropsCarriageReturn) {
  if (dropsCarriageReturn) --length;
  InputLine result;
  result.wasCut = length > kLongestLine;
  result.text = kept.substr(0, std::min(length, kLongestLine));
  const std::size_t zero = result.text.find('\0');
  if (zero != std::string_view::npos) {
    result.endedAtZeroByte = length > zero + 1;
    result.text = result.text.substr(0, zero);
  }
  return result;
}

std::optional<InputLine> NextCodePageOrUtf8Line(LineReader& reader) {
  // The line keeps its first 128 raw bytes: one more than a line may hold, so that a CR standing
  // right before the LF can still be told apart from a 128th byte of text.
  reader.line.clear();
  Utf8Reading utf8;
  std::size_t rawLength = 0;
  char lastByte = '\0';
  bool sawLineEnd = false;
  while (!sawLineEnd) {
    if (reader.chunkPosition == reader.chunkFilled && !FillChunk(reader)) break;
    const char* begin = reader.chunk.data() + reader.chunkPosition;
    const std::size_t available = reader.chunkFilled - reader.chunkPosition;
    const char* lineEnd = static_cast<const char*>(std::memchr(begin, '\n', available));
    const std::size_t taken = lineEnd ? static_cast<std::size_t>(lineEnd - begin) : available;
    const std::size_t room = kLineBufferSize - std::min(reader.line.size(), kLineBufferSize);
    reader.line.append(begin, std::min(taken, room));
    ReadAsUtf8(reader, utf8, begin, begin + taken, rawLength);
    if (taken > 0) lastByte = begin[taken - 1];
    rawLength += taken;
    reader.chunkPosition += taken + (lineEnd ? 1 : 0);
    sawLineEnd = lineEnd != nullptr;
  }
  if (!sawLineEnd && rawLength == 0) return std::nullopt;
  const bool dropsCarriageReturn = sawLineEnd && lastByte == '\r';
  // A character cut off by the end of the line leaves the line invalid as UTF-8.
  if (utf8.sawHighByte && utf8.valid && utf8.decoder.bytesStillNeeded == 0) {
    ++reader.linesReadAsUtf8;
    InputLine result = FinishLine(reader.converted, utf8.length, dropsCarriageReturn);
    result.charactersWithoutForm = utf8.charactersWithoutForm;
    return result;
  }
  return FinishLine(reader.line, rawLength, dropsCarriageReturn);
}

std::optional<unsigned char> NextByte(LineReader& reader) {
  if (reader.chunkPosition == reader.chunkFilled && !FillChunk(reader)) return std::nullopt;
  return static_cast<unsigned char>(reader.chunk[reader.chunkPosition++]);
}

std::optional<char16_t> NextUtf16Unit(LineReader& reader) {
  if (reader.unitPutBack) return std::exchange(reader.unitPutBack, std::nullopt);
  const std::optional<unsigned char> first = NextByte(reader);
  if (!first) return std::nullopt;
  const std::optional<unsigned char> second = NextByte(reader);
  if (!second) return kDanglingByteUnit;
  const bool littleEndian = reader.encoding == FileEncoding::utf16LittleEndian;
  const unsigned high = littleEndian ? *second : *first;
  const unsigned low = littleEndian ? *first : *second;
  return static_cast<char16_t>((high << 8) | low);
}

bool IsHighSurrogate(char16_t unit) {
  return unit >= kFirstHighSurrogate && unit < kFirstLowSurrogate;
}

bool IsLowSurrogate(char16_t unit) {
  return unit >= kFirstLowSurrogate && unit <= kLastLowSurrogate;
}

std::optional<InputLine> NextUtf16Line(LineReader& reader) {
  reader.converted.clear();
  std::size_t length = 0;
  long charactersWithoutForm = 0;
  bool sawUnit = false;
  bool sawLineEnd = false;
  char32_t lastCharacter = 0;
  while (const std::optional<char16_t> unit = NextUtf16Unit(reader)) {
    sawUnit = true;
    char32_t character = *unit;
    bool hasForm = !IsLowSurrogate(*unit);
    if (IsHighSurrogate(*unit)) {
      const std::optional<char16_t> next = NextUtf16Unit(reader);
      if (next && IsLowSurrogate(*next)) {
        character = 0x10000 + ((char32_t{*unit} - kFirstHighSurrogate) << 10) +
                    (char32_t{*next} - kFirstLowSurrogate);
      } else {
        reader.unitPutBack = next;
        hasForm = false;
      }
    }
    if (character == '\n') {
      sawLineEnd = true;
      break;
    }
    AppendConverted(reader, character, hasForm, length, charactersWithoutForm);
    lastCharacter = hasForm ? character : 0;
  }
  if (!sawUnit) return std::nullopt;
  InputLine result = FinishLine(reader.converted, length, sawLineEnd && lastCharacter == '\r');
  result.charactersWithoutForm = charactersWithoutForm;
  return result;
}

}  // namespace

LineReader MakeLineReader(std::istream& stream, CodePage codePage) {
  LineReader reader;
  reader.stream = &stream;
  reader.codePage = codePage;
  reader.chunk.resize(kChunkSize);
  reader.line.reserve(kLineBufferSize + 1);
  reader.converted.reserve(kLineBufferSize + 1);
  return reader;
}

std::optional<InputLine> NextLine(LineReader& reader) {
  if (!reader.startLookedAt) LookAtStart(reader);
  std::optional<InputLine> line = reader.encoding == FileEncoding::bytes
                                      ? NextCodePageOrUtf8Line(reader)
                                      : NextUtf16Line(reader);
  if (reader.readFailed) line.reset();  // a line the failed read cut short is no line
  if (line) {
    ++reader.lineNumber;
  } else {
    reader.endReached = true;
  }
  return line;
}

}  // namespace korvo
