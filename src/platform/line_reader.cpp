#include "platform/line_reader.h"

#include <algorithm>
#include <cstring>

namespace korvo {
namespace {

constexpr std::size_t kChunkSize = 1 << 16;

// Refills the chunk; false when the stream has nothing more to give.
bool FillChunk(LineReader& reader) {
  if (reader.streamDone) return false;
  reader.stream->read(reader.chunk.data(), static_cast<std::streamsize>(reader.chunk.size()));
  reader.chunkFilled = static_cast<std::size_t>(reader.stream->gcount());
  reader.chunkPosition = 0;
  if (!*reader.stream) reader.streamDone = true;
  return reader.chunkFilled > 0;
}

}  // namespace

LineReader MakeLineReader(std::istream& stream) {
  LineReader reader;
  reader.stream = &stream;
  reader.chunk.resize(kChunkSize);
  reader.line.reserve(kLineBufferSize + 1);
  return reader;
}

std::optional<InputLine> NextLine(LineReader& reader) {
  // The line keeps its first 128 raw bytes: one more than a line may hold, so that a CR standing
  // right before the LF can still be told apart from a 128th byte of text.
  reader.line.clear();
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
    if (taken > 0) lastByte = begin[taken - 1];
    rawLength += taken;
    reader.chunkPosition += taken + (lineEnd ? 1 : 0);
    sawLineEnd = lineEnd != nullptr;
  }
  if (!sawLineEnd && rawLength == 0) return std::nullopt;
  ++reader.lineNumber;
  const std::size_t length = (sawLineEnd && lastByte == '\r') ? rawLength - 1 : rawLength;
  InputLine result;
  result.wasCut = length > kLongestLine;
  result.text = std::string_view(reader.line).substr(0, std::min(length, kLongestLine));
  result.text = result.text.substr(0, result.text.find('\0'));
  return result;
}

}  // namespace korvo
