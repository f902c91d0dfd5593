#include "base/run_log.h"

#include <string>

#include "base/log_texts.h"
#include "platform/crlf_writer.h"
#include "platform/file_system.h"

namespace korvo {
namespace {

void WritePieces(RunLog& log, std::initializer_list<std::string_view> pieces) {
  for (const std::string_view piece : pieces) WriteCrLf(log.stream, piece);
}

}  // namespace

bool OpenRunLog(RunLog& log) {
  return OpenForWriting(log.stream, std::string(kRunLogName));
}

void LogLine(RunLog& log, std::initializer_list<std::string_view> pieces) {
  WritePieces(log, pieces);
  WriteCrLf(log.stream, "\n");
  log.stream.flush();
}

void LogLastLine(RunLog& log, std::initializer_list<std::string_view> pieces) {
  WritePieces(log, pieces);
}

void LogNameTooLong(RunLog& log, std::size_t capacity) {
  LogLine(log, {kNameLongerThan, std::to_string(capacity - 1), kBytes});
}

int RunLogState(const RunLog& log) {
  const std::ios::iostate state = log.stream.rdstate();
  return ((state & std::ios::badbit) ? 1 : 0) + ((state & std::ios::eofbit) ? 2 : 0) +
         ((state & std::ios::failbit) ? 4 : 0);
}

}  // namespace korvo
