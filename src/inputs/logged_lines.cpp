#include "inputs/logged_lines.h"

#include <string>

#include "aspectlist/aspect_entry.h"
#include "base/log_texts.h"
#include "platform/text_encoding.h"

namespace korvo {
namespace {

std::string_view CodePageName(CodePage codePage) {
  return codePage == CodePage::windows1251 ? kWindows1251 : kWindows1252;
}

// Logged as a line is read, in this order: characters without a code-page form, a cut at 127
// bytes, a zero byte that ended the text early.
void LogWhatTheLineLost(RunLog& log, const InputLine& line, const LineReader& reader,
                        std::string_view fileName) {
  if (!line.charactersWithoutForm && !line.wasCut && !line.endedAtZeroByte) return;
  const std::string lineNumber = std::to_string(reader.lineNumber);
  if (line.charactersWithoutForm > 0) {
    LogLine(log, {kLine, lineNumber, kOf, fileName, kLineOfFileSeparator,
                  std::to_string(line.charactersWithoutForm), kCharactersNotIn,
                  CodePageName(reader.codePage), kWrittenAsQuestionMarks});
  }
  if (line.wasCut) LogLine(log, {kLine, lineNumber, kOf, fileName, kCutAt127Bytes});
  if (line.endedAtZeroByte) LogLine(log, {kLine, lineNumber, kOf, fileName, kCutAtAZeroByte});
}

// Logged once, after the last line: a file read as UTF-16, or one with lines read as UTF-8.
void LogHowTheFileWasRead(RunLog& log, const LineReader& reader, std::string_view fileName) {
  if (reader.encoding != FileEncoding::bytes) {
    LogLine(log, {kRead, fileName, kAsUtf16});
  } else if (reader.linesReadAsUtf8 > 0) {
    LogLine(log, {kRead, std::to_string(reader.linesReadAsUtf8), kLinesOf, fileName, kAsUtf8});
  }
}

}  // namespace

std::optional<InputLine> NextLineLogged(LineReader& reader, RunLog& log,
                                        std::string_view fileName) {
  const bool endWasReached = reader.endReached;
  std::optional<InputLine> line = NextLine(reader);
  if (line) {
    LogWhatTheLineLost(log, *line, reader, fileName);
  } else if (!endWasReached) {
    LogHowTheFileWasRead(log, reader, fileName);
  }
  return line;
}

void LogNameAtWhitespaceEdge(RunLog& log, const LineReader& reader, std::string_view fileName,
                             std::string_view name) {
  if (name.empty() || (!IsWhitespace(name.front()) && !IsWhitespace(name.back()))) return;
  LogLine(log, {kLine, std::to_string(reader.lineNumber), kOf, fileName, kTheName,
                CodePageToUtf8(name, reader.codePage), kBeginsOrEndsWithWhitespace});
}

void LogNamesNotInFile(RunLog& log, std::string_view namedText, std::span<const std::string> names,
                       CodePage codePage, std::string_view fileName) {
  for (const std::string& name : names) {
    LogLine(log, {namedText, CodePageToUtf8(name, codePage), kIsNotIn, fileName});
  }
}

bool ReadToTheEnd(const LineReader& reader, RunLog& log, std::string_view fileLabel,
                  std::string_view fileName) {
  if (!reader.readFailed) return true;
  LogLine(log, {fileLabel, fileName, kCannotBeReadAfterLine, std::to_string(reader.lineNumber)});
  return false;
}

}  // namespace korvo
